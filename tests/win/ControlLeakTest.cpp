// A thousand buttons and sliders, made with every kind of drawing object they
// own (fonts, back buffers, shape regions, tooltips, pictures) and driven
// through hover, press and drag, must leave the process's GDI objects and
// windows as they found them.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "base/FontDescription.h"
#include "controls/crkSlider.h"
#include "controls/uxButtons_H.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

using px::test::ClientLParam;
using px::test::PumpPending;
using px::win::crkSlider;
using px::win::uxButtons_H;

namespace {

class ControlLeaks : public ::testing::Test {
protected:
    // Makes `total` buttons and as many sliders, `batch` alive at a time.
    void Cycle(int total, int batch) {
        for (int done = 0; done < total; done += batch) {
            std::vector<std::unique_ptr<uxButtons_H>> buttons;
            std::vector<std::unique_ptr<crkSlider>> sliders;
            for (int i = 0; i < batch; ++i) {
                const int k = done + i;
                auto b = std::make_unique<uxButtons_H>();
                ASSERT_TRUE(b->Create(host_.hwnd(), L"cmdLeak", 5 + (i % 10) * 60, 5 + (i / 10) * 30, 58, 28));
                b->DelayDrawing(true);
                b->SetButtonStyle(k % 8);
                b->SetButtonShape(k % 7);
                b->SetGradientMode(k % 5);
                b->SetCaption(L"&Leak||" + std::to_wstring(k));
                if (k % 3 == 0) b->SetFont({L"Tahoma", 9, px::FontStyleBit::Bold});
                if (k % 4 == 0) b->SetFontStyle(px::FontStyleBit::Italic);
                if (k % 25 == 0) b->SetToolTipText(L"tip");  // a top-level window each: the costly part under Wine
                if (k % 2 == 0) b->SetPicture(icon_);
                if (k % 7 == 3) {
                    b->SetPicture(disc_);
                    b->SetButtonShape(7 + k % 2);
                }
                b->SetMode(k % 3);
                b->DelayDrawing(false);
                if (k % 6 == 0) b->SetEnabled(false);  // disabled pictures go through a pixel copy
                ::SendMessageW(b->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(20, 10));
                ::SendMessageW(b->hwnd(), WM_LBUTTONUP, 0, ClientLParam(20, 10));
                ::SendMessageW(b->hwnd(), WM_SETFOCUS, 0, 0);
                b->hDC();
                buttons.push_back(std::move(b));

                auto s = std::make_unique<crkSlider>();
                ASSERT_TRUE(s->Create(host_.hwnd(), L"sliderLeak", 5 + (i % 10) * 60, 320, 58, 21));
                s->SetOrientation(k % 2);
                s->SetRailStyle(k % 5);
                if (k % 4 == 1) s->SetSliderIcon(icon_);
                if (k % 25 == 0) s->SetToolTipText(L"tip");
                s->SetShowValueTip(k % 10 == 0);
                ::SendMessageW(s->hwnd(), WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(3, 3));
                ::SendMessageW(s->hwnd(), WM_MOUSEMOVE, MK_LBUTTON, ClientLParam(40, 40));
                ::SendMessageW(s->hwnd(), WM_LBUTTONUP, 0, ClientLParam(40, 40));
                sliders.push_back(std::move(s));
            }
            PumpPending();
        }
        PumpPending();
    }

    px::test::TestHost host_{20, 20, 640, 400};
    px::win::OlePicture icon_ = px::test::MakeIconPicture(16, [](int x, int y) {
        return (x + y) % 5 == 0 ? 0u : 0xFF2080C0u;
    });
    px::win::OlePicture disc_ = px::test::MakeBitmapPicture(30, 30, [](int x, int y) {
        return (x - 15) * (x - 15) + (y - 15) * (y - 15) < 196 ? 0x2060A0u : 0xFF00FFu;
    });
};

TEST_F(ControlLeaks, AThousandButtonsAndSlidersLeaveGdiAndWindowCountsWhereTheyStarted) {
    ASSERT_TRUE(icon_ && disc_);
    Cycle(20, 20);  // first use: window classes, the value tip, the platform's caches
    const long gdiBefore = px::test::GdiObjectCount();
    const size_t windowsBefore = px::test::WindowCountOfThisProcess();
    ASSERT_GT(gdiBefore, 0);
    Cycle(1000, 10);  // few alive at a time: Wine's window operations slow down with many siblings
    EXPECT_EQ(px::test::GdiObjectCount(), gdiBefore);
    EXPECT_EQ(px::test::WindowCountOfThisProcess(), windowsBefore);
}

}  // namespace
