#pragma once
// The persisted properties of the two controls with their defaults, ranges
// and persisted names. A window declares a control as a PropertyBag; the
// control loads it through these and saves its settings back the same way.
#include <cstdint>
#include <string>

#include "base/FontDescription.h"
#include "controls/core/PropertyBag.h"

namespace px::controls {

inline constexpr uint32_t kDefaultForeColor = 0x80000012u;      // system button text
inline constexpr uint32_t kDefaultBackColor = 0x8000000Fu;      // system button face
inline constexpr uint32_t kDefaultGradientColor = 0x80000014u;  // system 3-D highlight

namespace HoverLock {
inline constexpr int Fore = 1;  // the hover text colour follows ForeColor
inline constexpr int Back = 2;  // the hover face colour follows BackColor
inline constexpr int Both = 3;
}  // namespace HoverLock

// Ranges of the button's numbered properties; settings outside are ignored.
namespace ButtonRange {
inline bool Style(int v) { return v >= 0 && v <= 7; }
inline bool Mode(int v) { return v >= 0 && v <= 2; }
inline bool CaptionAlign(int v) { return v >= 0 && v <= 2; }
inline bool CaptionStyle(int v) { return v >= 0 && v <= 2; }
inline bool Shape(int v) { return v >= 0 && v <= 8; }
inline bool CustomClick(int v) { return v >= 0 && v <= 8; }
inline bool PictureAlign(int v) { return v >= 0 && v <= 5; }
inline bool PictureSize(int v) { return v >= 0 && v <= 4; }
inline bool GradientMode(int v) { return v >= 0 && v <= 4; }
inline bool HoverLocks(int v) { return v >= 0 && v <= 3; }
// 0 default, 1..15 the platform's standard pointers, 99 the custom MouseIcon.
inline bool MousePointer(int v) { return (v >= 0 && v <= 15) || v == 99; }
}  // namespace ButtonRange

struct ButtonProperties {
    int buttonStyle = 2;
    int mode = 0;
    bool value = false;
    std::wstring caption;
    int captionAlign = 2;
    int captionStyle = 0;
    int shape = 0;
    int customClick = 0;
    std::wstring picture;  // picture reference: a file path, "\..." under the program folder, or "res:<id>"
    int pictureAlign = 2;
    int pictureSize = 4;
    bool enabled = true;
    bool showFocusRect = true;
    int mousePointer = 0;
    std::wstring mouseIcon;  // picture reference of a .cur or .ico
    FontDescription font;
    uint32_t foreColor = kDefaultForeColor;
    uint32_t backColor = kDefaultBackColor;
    uint32_t gradientColor = kDefaultGradientColor;
    int gradientMode = 0;
    uint32_t hoverForeColor = kDefaultForeColor;
    uint32_t hoverBackColor = kDefaultBackColor;
    int hoverColorLocks = HoverLock::Both;

    // The colours shown while hovering, locks applied.
    uint32_t EffectiveHoverFore() const { return (hoverColorLocks & HoverLock::Fore) ? foreColor : hoverForeColor; }
    uint32_t EffectiveHoverBack() const { return (hoverColorLocks & HoverLock::Back) ? backColor : hoverBackColor; }
    void ResetDefaultColors();

    // Keys that are missing or out of range keep their defaults; the caption
    // defaults to the control's own name.
    static ButtonProperties Load(const PropertyBag& bag, const std::wstring& controlName);
    void Save(PropertyBag& bag) const;

    friend bool operator==(const ButtonProperties&, const ButtonProperties&) = default;
};

namespace SliderRange {
inline bool Orientation(int v) { return v == 0 || v == 1; }
inline bool RailStyle(int v) { return (v >= 0 && v <= 4) || v == 99; }
}  // namespace SliderRange

struct SliderProperties {
    uint32_t backColor = kDefaultBackColor;
    bool enabled = true;
    int orientation = 1;
    int railStyle = 0;
    bool showValueTip = true;
    int32_t min = 0;
    int32_t max = 10;
    int32_t value = 0;
    std::wstring sliderIcon;   // picture reference of the thumb
    std::wstring railPicture;  // picture reference of rail style 99

    static SliderProperties Load(const PropertyBag& bag);
    void Save(PropertyBag& bag) const;

    friend bool operator==(const SliderProperties&, const SliderProperties&) = default;
};

}  // namespace px::controls
