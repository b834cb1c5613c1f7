#pragma once
// The main window's captions, measures (96-dpi units, scaled by the window's DPI) and colours.
#include <windows.h>

namespace px::look {

constexpr wchar_t kCaption[] = L" Orvo Pixtrel 4.5";
constexpr wchar_t kTrayTip[] = L"Orvo Pixtrel 4.5";

constexpr int kClientW = 960, kClientH = 620;
constexpr int kSideW = 248;  // the options column on the left
constexpr int kPad = 14;     // inside the column
constexpr int kColumnW = kSideW - 2 * kPad;
constexpr int kMainX = kSideW + 12;  // the view and its tool row
constexpr int kToolY = 12, kToolH = 32;
constexpr int kViewY = kToolY + kToolH + 10;
constexpr int kStatusH = 44;
constexpr int kMinClientW = kSideW + 640, kMinClientH = 610;

constexpr COLORREF kSideColor = RGB(243, 244, 246);
constexpr COLORREF kMainColor = RGB(251, 251, 252);
constexpr COLORREF kLineColor = RGB(222, 225, 230);
constexpr COLORREF kHeaderText = RGB(84, 94, 110);
constexpr COLORREF kHoverColor = RGB(220, 232, 250);
constexpr COLORREF kViewBackColor = 0x9C8E85;  // red 0x85, green 0x8E, blue 0x9C

}  // namespace px::look
