// A gallery of every button style, shape, mode, caption style, gradient and
// caption/picture alignment, and of the slider's rail styles, saved as a
// screenshot (ControlGallery.bmp in PIXTREL_ARTEFACTS, else the current
// folder) for people to look at. The test itself checks that every control
// painted a face of its own and that the picture file was written whole.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "controls/core/ColorMath.h"
#include "base/Text.h"
#include "controls/crkSlider.h"
#include "controls/frmValueTip.h"
#include "controls/uxButtons_H.h"
#include "tests/win/ControlTestHost.h"

using px::test::PumpPending;
using px::test::PumpUntil;
using px::win::crkSlider;
using px::win::uxButtons_H;

namespace {

// A label drawn by the gallery window itself.
struct Label {
    int x, y;
    std::wstring text;
};

class Gallery : public px::test::TestHost {
public:
    Gallery() : TestHost(10, 10, 1000, 760, RGB(236, 233, 216)) {}
    std::vector<Label> labels;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg == WM_PAINT) {
            px::win::ScopedPaint ps(hwnd());
            px::win::ScopedSelectObject font(ps, ::GetStockObject(DEFAULT_GUI_FONT));
            ::SetBkMode(ps, TRANSPARENT);
            for (auto& l : labels) ::TextOutW(ps, l.x, l.y, l.text.c_str(), static_cast<int>(l.text.size()));
            return 0;
        }
        return TestHost::HandleMessage(msg, wp, lp);
    }
};

std::string ArtefactPath(const char* name) {
    const char* dir = std::getenv("PIXTREL_ARTEFACTS");
    std::string d = dir && *dir ? dir : ".";
    if (d.back() != '/' && d.back() != '\\') d += '\\';
    return d + name;
}

// The window as it is on the screen, written as a 24-bit bitmap file.
bool SaveWindowShot(HWND hwnd, const std::string& path, int& w, int& h) {
    RECT r;
    ::GetWindowRect(hwnd, &r);
    w = r.right - r.left;
    h = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;  // bottom-up, as the file stores it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    px::win::ScopedBitmap bmp(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    if (!bmp) return false;
    {
        px::win::ScopedGetDC screen(nullptr);
        px::win::AutoDeleteDC mem(::CreateCompatibleDC(screen));
        px::win::ScopedSelectObject sel(mem.get(), bmp.get());
        ::BitBlt(mem.get(), 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
    }
    ::GdiFlush();
    const DWORD stride = (static_cast<DWORD>(w) * 3 + 3) & ~3u;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(BITMAPINFOHEADER);
    fh.bfSize = fh.bfOffBits + stride * static_cast<DWORD>(h);
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = std::fwrite(&fh, sizeof(fh), 1, f) == 1 && std::fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, f) == 1 &&
              std::fwrite(bits, stride, static_cast<size_t>(h), f) == static_cast<size_t>(h);
    return std::fclose(f) == 0 && ok;
}

// More than one colour on the face: the control drew something of its own.
bool PaintedAFace(HWND hwnd) {
    px::test::ClientPixels px(hwnd);
    COLORREF first = px.at(px.width() / 2, px.height() / 2);
    for (int y = 0; y < px.height(); y += 2)
        for (int x = 0; x < px.width(); x += 2)
            if (px.at(x, y) != first) return true;
    return false;
}

px::win::OlePicture GlyphIcon(int size, COLORREF colour) {
    return px::test::MakeIconPicture(size, [=](int x, int y) -> uint32_t {
        double c = (size - 1) / 2.0, d = std::hypot(x - c, y - c);
        if (d > size * 0.45) return 0;  // transparent
        bool ring = d > size * 0.32;
        uint32_t rgb = ring ? 0x202020u : ((GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour));
        return 0xFF000000u | rgb;
    });
}

// A five-pointed star on a magenta key: the outline of the custom shapes.
px::win::OlePicture StarBitmap(int size) {
    return px::test::MakeBitmapPicture(size, size, [=](int x, int y) -> uint32_t {
        double cx = size / 2.0, cy = size / 2.0 + 2, dx = x + 0.5 - cx, dy = y + 0.5 - cy;
        double a = std::atan2(dy, dx) + 3.14159265 / 2, r = std::hypot(dx, dy);
        double k = std::fmod(a + 2 * 3.14159265, 2 * 3.14159265 / 5) / (2 * 3.14159265 / 5);
        double edge = size * (0.22 + 0.26 * std::abs(k - 0.5) * 2);
        if (r > edge) return 0xFF00FFu;
        int shade = 170 + static_cast<int>(80 * (1 - r / edge));
        return static_cast<uint32_t>(shade << 16 | (shade - 40) << 8 | 30);
    });
}

TEST(ControlGallery, EveryStyleShapeAndAlignmentDrawsAndIsSaved) {
    Gallery g;
    HWND h = g.hwnd();
    std::vector<std::unique_ptr<uxButtons_H>> buttons;
    std::vector<std::unique_ptr<crkSlider>> sliders;
    auto button = [&](int x, int y, int w, int bh, const std::wstring& caption) -> uxButtons_H& {
        buttons.push_back(std::make_unique<uxButtons_H>());
        EXPECT_TRUE(buttons.back()->Create(h, L"cmdGallery", x, y, w, bh));
        buttons.back()->SetCaption(caption);
        return *buttons.back();
    };
    auto icon16 = GlyphIcon(16, RGB(40, 160, 60));
    auto icon32 = GlyphIcon(32, RGB(200, 60, 40));
    auto star = StarBitmap(56);

    // Styles 0..7: up, checked (down), disabled.
    static const wchar_t* kStyles[] = {L"0 flat", L"1 thin 3-D", L"2 standard", L"3 hot", L"4 office",
                                       L"5 plastic", L"6 etched", L"7 glass"};
    g.labels.push_back({10, 8, L"ButtonStyle: normal / on (check) / disabled / gradient"});
    for (int s = 0; s < 8; ++s) {
        int x = 10 + s * 122;
        button(x, 26, 116, 28, kStyles[s]).SetButtonStyle(s);
        auto& on = button(x, 58, 116, 28, L"&Checked");
        on.SetButtonStyle(s);
        on.SetMode(1);
        on.SetValue(true);
        auto& off = button(x, 90, 116, 28, L"Disabled");
        off.SetButtonStyle(s);
        off.SetPicture(icon16);
        off.SetEnabled(false);
        auto& gr = button(x, 122, 116, 28, L"Gradient");
        gr.SetButtonStyle(s);
        gr.SetGradientMode(3);
        gr.SetGradientColor(RGB(120, 160, 230));
    }

    // Shapes 0..8.
    static const wchar_t* kShapes[] = {L"Rectangle", L"Rounded", L"Capsule", L"Oval", L"Circle",
                                       L"Diamond", L"Octagon"};
    g.labels.push_back({10, 160, L"ButtonShape 0..6 (standard style), 7 and 8 cut from a star picture"});
    for (int s = 0; s < 7; ++s) {
        auto& b = button(10 + s * 104, 178, 98, 56, kShapes[s]);
        b.SetButtonShape(s);
        b.SetBackColor(RGB(210, 225, 245));
    }
    auto& c7 = button(740, 178, 60, 60, L"");
    c7.SetPicture(star);
    c7.SetButtonShape(7);
    auto& c8 = button(810, 178, 60, 60, L"8");
    c8.SetPicture(star);
    c8.SetButtonShape(8);
    c8.SetBackColor(RGB(250, 200, 90));
    auto& c7on = button(880, 178, 60, 60, L"");
    c7on.SetPicture(star);
    c7on.SetButtonShape(7);
    c7on.SetCustomClick(4);
    c7on.SetMode(1);
    c7on.SetValue(true);

    // Caption styles, gradient modes, colours.
    g.labels.push_back({10, 246, L"CaptionStyle 0..2, GradientMode 0..4, hover colours, fonts, two-line caption"});
    static const wchar_t* kCapStyles[] = {L"Plain", L"Raised", L"Engraved"};
    for (int s = 0; s < 3; ++s) {
        auto& b = button(10 + s * 104, 264, 98, 30, kCapStyles[s]);
        b.SetCaptionStyle(s);
        b.SetFont({L"Tahoma", 10, px::FontStyleBit::Bold});
    }
    static const wchar_t* kGradients[] = {L"None", L"Left>Right", L"Right>Left", L"Top>Bottom", L"Bottom>Top"};
    for (int m = 0; m < 5; ++m) {
        auto& b = button(322 + m * 104, 264, 98, 30, kGradients[m]);
        b.SetGradientMode(m);
        b.SetBackColor(RGB(255, 255, 255));
        b.SetGradientColor(RGB(70, 130, 200));
        b.SetButtonStyle(1);
    }
    auto& twoLines = button(850, 264, 120, 40, L"Copy to||&Clipboard");
    twoLines.SetButtonStyle(5);
    twoLines.SetBackColor(RGB(180, 220, 180));
    auto& hover = button(10, 302, 200, 30, L"Hover colours (pointer over it)");
    hover.SetHoverBackColor(RGB(255, 240, 160));
    hover.SetHoverForeColor(RGB(160, 0, 0));
    hover.SetButtonStyle(3);
    auto& italic = button(220, 302, 200, 30, L"Italic && underlined");
    italic.SetFont({L"Tahoma", 9, px::FontStyleBit::Italic | px::FontStyleBit::Underline});

    // Picture alignments 0..5 and caption alignments 0..2.
    g.labels.push_back({10, 344, L"PictureAlign 0..5 (caption centred), CaptionAlign 0..2 with the picture left of it"});
    static const wchar_t* kPicAligns[] = {L"Left edge", L"Right edge", L"Left of", L"Right of", L"Top", L"Bottom"};
    for (int a = 0; a < 6; ++a) {
        auto& b = button(10 + a * 130, 362, 124, a >= 4 ? 64 : 40, kPicAligns[a]);
        b.SetPicture(a >= 4 ? icon32 : icon16);
        b.SetPictureAlign(a);
    }
    static const wchar_t* kCapAligns[] = {L"Caption left", L"Caption right", L"Caption centre"};
    for (int a = 0; a < 3; ++a) {
        auto& b = button(10 + a * 170, 432, 164, 32, kCapAligns[a]);
        b.SetPicture(icon16);
        b.SetPictureAlign(2);
        b.SetCaptionAlign(a);
    }
    for (int s = 0; s < 4; ++s) {
        auto& b = button(530 + s * 50, 432, 44, 32, L"");
        b.SetPicture(icon16);
        b.SetPictureSize(s);
    }

    // Modes: push, check, option group.
    g.labels.push_back({10, 474, L"Mode: push, check (off/on), option group (second on), focus rectangle"});
    button(10, 492, 90, 28, L"Push");
    auto& chk = button(106, 492, 90, 28, L"Check");
    chk.SetMode(1);
    auto& chkOn = button(202, 492, 90, 28, L"Check on");
    chkOn.SetMode(1);
    chkOn.SetValue(true);
    for (int i = 0; i < 3; ++i) {
        auto& o = button(310 + i * 80, 492, 76, 28, L"Option " + std::to_wstring(i + 1));
        o.SetMode(2);
        o.SetButtonStyle(4);
        if (i == 1) o.SetValue(true);
    }
    auto& focused = button(560, 492, 120, 28, L"Has the focus");
    ::SetFocus(focused.hwnd());

    // Sliders: rail styles 0..4 and 99, horizontal and vertical.
    g.labels.push_back({10, 532, L"crkSlider RailStyle 0..4 and 99 (rail picture), horizontal and vertical, value tip"});
    for (int r = 0; r < 5; ++r) {
        sliders.push_back(std::make_unique<crkSlider>());
        crkSlider& s = *sliders.back();
        EXPECT_TRUE(s.Create(h, L"sliderGallery", RECT{10, 556 + r * 30, 310, 580 + r * 30},
                             {{"Orientation", 0}, {"RailStyle", r}, {"Min", 50}, {"Max", 200}, {"Value", 50 + r * 35}}));
        g.labels.push_back({320, 560 + r * 30, L"RailStyle " + std::to_wstring(r)});
    }
    sliders.push_back(std::make_unique<crkSlider>());
    crkSlider& pictured = *sliders.back();
    EXPECT_TRUE(pictured.Create(h, L"sliderPicture", RECT{420, 556, 720, 580}, {{"Orientation", 0}, {"Value", 7}}));
    pictured.SetRailPicture(px::test::MakeBitmapPicture(296, 6, [](int x, int) {
        return static_cast<uint32_t>((40 + x * 200 / 296) << 8 | 60);
    }));
    pictured.SetSliderIcon(GlyphIcon(16, RGB(60, 90, 220)));
    pictured.SetRailStyle(99);
    g.labels.push_back({730, 560, L"RailStyle 99, icon thumb"});
    for (int r = 0; r < 3; ++r) {
        sliders.push_back(std::make_unique<crkSlider>());
        crkSlider& v = *sliders.back();
        EXPECT_TRUE(v.Create(h, L"sliderV", RECT{450 + r * 40, 600, 471 + r * 40, 740}, {{"RailStyle", r}, {"Value", 3 + r * 3}}));
    }
    // The pointer over the hover button.
    POINT over = px::test::ScreenPointOf(hover.hwnd(), 100, 15);
    ASSERT_TRUE(px::test::PointerAt(over));
    ::PostMessageW(hover.hwnd(), WM_MOUSEMOVE, 0, px::test::ClientLParam(100, 15));
    ASSERT_TRUE(PumpUntil([&] { return hover.IsHovering(); }));
    // One slider mid-drag so its value tip shows (messages only: the real pointer stays on the hover button).
    crkSlider& dragged = *sliders[2];
    ::SendMessageW(dragged.hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, px::test::ClientLParam(dragged.ThumbRect().left + 2, 10));
    ::SendMessageW(dragged.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, px::test::ClientLParam(dragged.ThumbRect().left + 40, 10));
    HWND tip = px::win::frmValueTip::Instance().hwnd();
    EXPECT_TRUE(::IsWindowVisible(tip));
    ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ::RedrawWindow(tip, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpPending();

    for (auto& b : buttons) EXPECT_TRUE(PaintedAFace(b->hwnd())) << px::Narrow(b->Caption());
    for (auto& s : sliders) EXPECT_TRUE(PaintedAFace(s->hwnd())) << px::Narrow(s->Name());

    int w = 0, ht = 0;
    std::string path = ArtefactPath("ControlGallery.bmp");
    ASSERT_TRUE(SaveWindowShot(h, path, w, ht)) << path;
    FILE* f = std::fopen(path.c_str(), "rb");
    ASSERT_NE(f, nullptr);
    std::fseek(f, 0, SEEK_END);
    long size = std::ftell(f);
    std::fclose(f);
    EXPECT_EQ(size, static_cast<long>(14 + 40 + ((w * 3 + 3) & ~3) * ht));

    ::SendMessageW(dragged.hwnd(), WM_LBUTTONUP, 0, px::test::ClientLParam(5, 5));
    px::test::PointerAt({1200, 780});
    PumpUntil([&] { return !hover.IsHovering(); });
}

}  // namespace
