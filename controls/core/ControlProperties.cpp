#include "controls/core/ControlProperties.h"

#include "controls/core/ColorMath.h"

namespace px::controls {

namespace {

int ReadRanged(const PropertyBag& bag, const char* key, int def, bool (*valid)(int)) {
    int32_t v = bag.ReadInt32(key, def);
    return valid(v) ? v : def;
}

uint32_t ReadOleColor(const PropertyBag& bag, const char* key, uint32_t def) {
    uint32_t c = bag.ReadColor(key, def);
    return IsValidOleColor(c) ? c : def;
}

}  // namespace

void ButtonProperties::ResetDefaultColors() {
    foreColor = hoverForeColor = kDefaultForeColor;
    backColor = hoverBackColor = kDefaultBackColor;
    gradientColor = kDefaultGradientColor;
    hoverColorLocks = HoverLock::Both;
}

ButtonProperties ButtonProperties::Load(const PropertyBag& bag, const std::wstring& controlName) {
    ButtonProperties p;
    p.buttonStyle = ReadRanged(bag, "BackStyle", p.buttonStyle, ButtonRange::Style);
    p.mode = ReadRanged(bag, "Mode", p.mode, ButtonRange::Mode);
    // Push buttons have no pressed state to keep.
    p.value = p.mode != 0 && bag.ReadBool("Value", false);
    p.caption = bag.ReadString("Caption", controlName);
    p.captionAlign = ReadRanged(bag, "CapAlign", p.captionAlign, ButtonRange::CaptionAlign);
    p.captionStyle = ReadRanged(bag, "CapStyle", p.captionStyle, ButtonRange::CaptionStyle);
    p.shape = ReadRanged(bag, "Shape", p.shape, ButtonRange::Shape);
    p.customClick = ReadRanged(bag, "CustomClick", p.customClick, ButtonRange::CustomClick);
    p.picture = bag.ReadString("Image", L"");
    p.pictureAlign = ReadRanged(bag, "ImgAlign", p.pictureAlign, ButtonRange::PictureAlign);
    p.pictureSize = ReadRanged(bag, "ImgSize", p.pictureSize, ButtonRange::PictureSize);
    p.enabled = bag.ReadBool("Enabled", true);
    p.showFocusRect = bag.ReadBool("Focus", true);
    p.mousePointer = ReadRanged(bag, "mPointer", p.mousePointer, ButtonRange::MousePointer);
    p.mouseIcon = bag.ReadString("mIcon", L"");
    FontDescription f;
    if (ParseFontDescription(bag.ReadString("Font", L""), f)) p.font = f;
    p.foreColor = ReadOleColor(bag, "cFore", kDefaultForeColor);
    p.backColor = ReadOleColor(bag, "cBack", kDefaultBackColor);
    p.gradientColor = ReadOleColor(bag, "cGradient", kDefaultGradientColor);
    p.gradientMode = ReadRanged(bag, "Gradient", p.gradientMode, ButtonRange::GradientMode);
    p.hoverForeColor = ReadOleColor(bag, "cFHover", p.foreColor);
    p.hoverBackColor = ReadOleColor(bag, "cBHover", p.backColor);
    p.hoverColorLocks = ReadRanged(bag, "LockHover", p.hoverColorLocks, ButtonRange::HoverLocks);
    // Pictures above or below the caption only allow a centred caption.
    if (p.pictureAlign == 4 || p.pictureAlign == 5) p.captionAlign = 2;
    // Custom shapes show the picture at its own size.
    if (p.shape == 7 || p.shape == 8) p.pictureSize = 4;
    return p;
}

void ButtonProperties::Save(PropertyBag& bag) const {
    bag.Write("BackStyle", buttonStyle);
    bag.Write("Mode", mode);
    bag.Write("Value", value);
    bag.Write("Caption", caption);
    bag.Write("CapAlign", captionAlign);
    bag.Write("CapStyle", captionStyle);
    bag.Write("Shape", shape);
    bag.Write("CustomClick", customClick);
    bag.Write("Image", picture);
    bag.Write("ImgAlign", pictureAlign);
    bag.Write("ImgSize", pictureSize);
    bag.Write("Enabled", enabled);
    bag.Write("Focus", showFocusRect);
    bag.Write("mPointer", mousePointer);
    bag.Write("mIcon", mouseIcon);
    bag.Write("Font", FormatFontDescription(font));
    bag.Write("cFore", foreColor);
    bag.Write("cBack", backColor);
    bag.Write("cGradient", gradientColor);
    bag.Write("Gradient", gradientMode);
    bag.Write("cFHover", hoverForeColor);
    bag.Write("cBHover", hoverBackColor);
    bag.Write("LockHover", hoverColorLocks);
}

SliderProperties SliderProperties::Load(const PropertyBag& bag) {
    SliderProperties p;
    p.backColor = ReadOleColor(bag, "BackColor", kDefaultBackColor);
    p.enabled = bag.ReadBool("Enabled", true);
    p.orientation = ReadRanged(bag, "Orientation", p.orientation, SliderRange::Orientation);
    p.railStyle = ReadRanged(bag, "RailStyle", p.railStyle, SliderRange::RailStyle);
    p.showValueTip = bag.ReadBool("ShowValueTip", true);
    p.min = bag.ReadInt32("Min", 0);
    p.max = bag.ReadInt32("Max", 10);
    p.value = bag.ReadInt32("Value", 0);
    if (p.min >= p.max) {
        p.min = 0;
        p.max = 10;
    }
    if (p.value < p.min) p.value = p.min;
    if (p.value > p.max) p.value = p.max;
    p.sliderIcon = bag.ReadString("SliderIcon", L"");
    p.railPicture = bag.ReadString("RailPicture", L"");
    return p;
}

void SliderProperties::Save(PropertyBag& bag) const {
    bag.Write("BackColor", backColor);
    bag.Write("Enabled", enabled);
    bag.Write("Orientation", orientation);
    bag.Write("RailStyle", railStyle);
    bag.Write("ShowValueTip", showValueTip);
    bag.Write("Min", min);
    bag.Write("Max", max);
    bag.Write("Value", value);
    bag.Write("SliderIcon", sliderIcon);
    bag.Write("RailPicture", railPicture);
}

}  // namespace px::controls
