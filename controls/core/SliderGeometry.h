#pragma once
// The slider's geometry: where the thumb sits for a value, which value a
// thumb position means, the rail rectangle and where the value tip goes.
// C is the control's inner length along the slider, T the thumb's length.
#include <cstdint>
#include <optional>

#include "base/Geometry.h"

namespace px::controls {

enum SliderOrientation : int { SliderHorizontal = 0, SliderVertical = 1 };

// Thumb left (horizontal) or top (vertical) for value v: Min at the left or
// the bottom, Max at the right or the top.
int ThumbOffsetForValue(int64_t v, int64_t min, int64_t range, int C, int T, int orientation);

// The value a thumb offset stands for, rounded half to even; nothing when the
// thumb fills the whole length (C <= T) or the range is empty.
std::optional<int64_t> ValueForThumbOffset(int offset, int64_t min, int64_t range, int C, int T, int orientation);

// Thumb offset for a pointer coordinate with the grab offset, kept on the rail.
int DragThumbOffset(int pointer, int grab, int C, int T);

// The 4-pixel rail running between the thumb's centre at both ends.
Rect RailRect(int orientation, Size control, Size thumb);

// The value tip window for a text of `text` pixels beside the thumb (`thumb`
// in control coordinates, `controlScreen` the control's screen origin).
Rect ValueTipRect(int orientation, Point controlScreen, Rect thumb, Size text);

// Where the rail picture of rail style 99 goes.
Point RailPictureOrigin(int orientation, Size control, Size picture);

}  // namespace px::controls
