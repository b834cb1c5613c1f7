#pragma once
// Where the picture and the caption go on a button face, the displayed
// picture size, and the outline of each button shape.
#include <vector>

#include "base/Geometry.h"

namespace px::controls {

enum PictureAlignment : int {
    PicLeftEdge = 0,
    PicRightEdge = 1,
    PicLeftOfCaption = 2,
    PicRightOfCaption = 3,
    PicTopCentre = 4,
    PicBottomCentre = 5,
};

enum CaptionAlignment : int { CapLeft = 0, CapRight = 1, CapCentre = 2 };

// PictureSize: 0..3 fixed squares of 16, 24, 32, 48 pixels at 96 dpi, scaled
// to the button's dpi; 4 the picture's own size (its pixels, as they are).
inline constexpr int kPictureSizeActual = 4;
Size PictureDisplaySize(int pictureSize, Size actual, int dpi = 96);

// A caption beside a picture that sits above or below it can only be centred.
inline bool PictureForcesCentredCaption(int pictureAlign) {
    return pictureAlign == PicTopCentre || pictureAlign == PicBottomCentre;
}

struct FaceLayout {
    Rect picture;  // empty when there is no picture
    Rect caption;  // the text block, as wide as its widest line
};

inline constexpr int kFaceGap = 4;  // between picture and caption, at 96 dpi

// Places a picture of `picture` pixels and a text block of `text` pixels inside
// `content`. Without a caption the picture is centred whatever its alignment.
// `gap` is kFaceGap scaled to the button's dpi.
FaceLayout LayoutFace(Rect content, Size text, Size picture, int pictureAlign, int captionAlign, int gap = kFaceGap);

// Shapes: 0 rectangle, 1 rounded rectangle, 2 capsule, 3 oval, 4 circle,
// 5 diamond, 6 octagon, 7 custom (the picture is the face), 8 custom (the
// button's own face inside the picture's outline).
enum ButtonShapes : int {
    ShapeRectangle = 0,
    ShapeRounded = 1,
    ShapeCapsule = 2,
    ShapeOval = 3,
    ShapeCircle = 4,
    ShapeDiamond = 5,
    ShapeOctagon = 6,
    ShapeCustomPicture = 7,
    ShapeCustomFace = 8,
};
inline bool IsCustomShape(int shape) { return shape == ShapeCustomPicture || shape == ShapeCustomFace; }

struct ShapeOutline {
    enum Kind { Rectangle, RoundRect, Ellipse, Polygon, Custom } kind = Rectangle;
    Rect bounds;                // rectangle, round rectangle and ellipse
    int cornerW = 0, cornerH = 0;  // round rectangle corner ellipse
    std::vector<Point> points;  // polygon, clockwise from the top
};

ShapeOutline OutlineForShape(int shape, int w, int h);

// The part of a w x h face where picture and caption fit inside the shape,
// `border` pixels in from its outline.
Rect ContentRect(int shape, int w, int h, int border);

}  // namespace px::controls
