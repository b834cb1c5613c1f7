#pragma once
// The values of one skin configuration without its pictures, with the value a
// new object holds and the reset that a restore starts from. Fonts are kept
// here as plain descriptions; the COM object keeps font objects and converts
// at its edges. Text is UTF-8.
#include <cstdint>
#include <string>

namespace px {

// What a stored Font element describes.
struct SkinFont {
    std::string name;
    int64_t size = 0;  // points x 10000, as the font object keeps it (8.25 pt = 82500)
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikethrough = false;
    int16_t charSet = 0;
    bool operator==(const SkinFont&) const = default;
};

// A new font object named as every new skin font is; its other attributes are
// the font object's own defaults, which the caller passes in.
inline constexpr const char* kSkinFontName = "MS Sans Serif";

// Members in the order of the object's properties, named after them.
struct SkinValues {
    int32_t ButtonWidth = 0;
    int32_t ButtonHeight = 0;
    int32_t ActiveLeftEnd = 0;
    int32_t ActiveRightStart = 0;
    int32_t ActiveRightEnd = 0;
    int32_t InactiveOffset = 0;
    int32_t ActiveCaptionColor = 13421772;   // 0xCCCCCC
    int32_t InActiveCaptionColor = 10066329;  // 0x999999
    SkinFont CaptionFont;
    int32_t ActiveMenuColor = 0;
    int32_t ActiveMenuColorOver = 0;
    int32_t InActiveMenuColor = 8421504;     // 0x808080
    int32_t MenuBackgroundColor = 16777215;  // 0xFFFFFF
    SkinFont MenuFont;
    bool BorderHasInactiveVersion = false;
    int32_t LeftBorderWidth = 0;
    int32_t RightBorderWidth = 0;
    int32_t TopSizingBorderHeight = 0;
    int32_t BottomSizingBorderHeight = 0;
    bool DrawTitle = true;
    int32_t TitleStartOffsetY = 0;
    bool ControlButtonHasInactiveVersion = false;
    bool CustomControlButtonPosition = false;
    int32_t ControlButtonOffsetX = 0;
    int32_t ControlButtonOffsetY = 0;
    int32_t MenuStartOffsetY = 0;
    int32_t MenuStartOffsetX = 0;
    std::string Name;
    bool Colourise = false;
    float Hue = 0.0f;
    float Saturation = 0.0f;
    bool AdjustRGB = false;
    float PercentRed = 0.0f;
    float PercentBlue = 0.0f;
    float PercentGreen = 0.0f;
    int32_t TransparentColor = -1;  // no colour key
    int32_t Method = 0;

    bool operator==(const SkinValues&) const = default;

    // A new object's values, both fonts `newFont`.
    static SkinValues Defaults(const SkinFont& newFont);
    // Every value back to its default except the button size, the caption
    // geometry and the drawing mode (and the pictures, which are not here):
    // a stored skin without them keeps what the client set.
    void Reset(const SkinFont& newFont);
};

}  // namespace px
