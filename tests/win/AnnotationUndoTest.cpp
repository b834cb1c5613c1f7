// Undo and redo in the annotation window, in-process: the keys through the
// program's message filter, strokes and printed text redrawn pixel for pixel
// against a picture drawn with only the steps expected, and GDI balance over
// many redraws.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "app/Application.h"
#include "app/Form1.h"
#include "app/frmDesktopImage.h"
#include "base/win/DibInfo.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

using px::Form1;
using px::frmDesktopImage;
using px::test::PumpPending;
using px::test::PumpUntil;

namespace {

std::vector<uint32_t> Pixels(HBITMAP bmp) {
    BITMAP bm{};
    if (!bmp || !::GetObjectW(bmp, sizeof(bm), &bm)) return {};
    BITMAPINFO bi = px::win::TopDownDibInfo(bm.bmWidth, bm.bmHeight);
    std::vector<uint32_t> p(static_cast<size_t>(bm.bmWidth * bm.bmHeight));
    px::win::ScopedGetDC screen(nullptr);
    ::GetDIBits(screen, bmp, 0, static_cast<UINT>(bm.bmHeight), p.data(), &bi, DIB_RGB_COLORS);
    for (uint32_t& v : p) v &= 0xFFFFFF;  // the spare byte carries nothing
    return p;
}

std::vector<uint32_t> Shown() { return Pixels(Form1::Get().Picture1().CopyImage().get()); }

px::win::ScopedBitmap MakeCapture(int w, int h) {
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    px::win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    px::win::ScopedSelectObject sel(dc.get(), bmp.get());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ::SetPixelV(dc.get(), x, y, RGB(200 - x % 90, 180 - y % 70, 120 + (x ^ y) % 60));
    return bmp;
}

HWND Picture1() { return Form1::Get().Picture1().hwnd(); }

// Stroke i (1-based): its own colour, crossing every earlier one, so the order of drawing shows.
void Stroke(int i) {
    Form1::Get().Picture1().SetForeColor(RGB(25 * i, 255 - 20 * i, (70 * i) % 256));
    const POINT pts[] = {{4, 6 + 9 * i}, {150, 6 + 9 * i}, {14 + 13 * i, 112}, {14 + 13 * i, 20}};
    ::PostMessageW(Picture1(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(pts[0].x, pts[0].y));
    for (size_t k = 1; k < std::size(pts); ++k)
        ::PostMessageW(Picture1(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(pts[k].x, pts[k].y));
    ::PostMessageW(Picture1(), WM_LBUTTONUP, 0, MAKELPARAM(pts[3].x, pts[3].y));
    PumpPending();
}

// Ctrl+<key> as the program's loop sees it: the key state says Ctrl is down while the key arrives.
void CtrlKey(char key) {
    BYTE state[256] = {};
    ::GetKeyboardState(state);
    state[VK_CONTROL] = state[VK_LCONTROL] = 0x80;
    ::SetKeyboardState(state);
    MSG msg{Picture1(), WM_KEYDOWN, static_cast<WPARAM>(key), 1, 0, {}};
    const bool taken = px::win::Form::PreTranslate(msg);
    state[VK_CONTROL] = state[VK_LCONTROL] = 0;
    ::SetKeyboardState(state);
    EXPECT_TRUE(taken) << "Ctrl+" << key << " is the window's";
}

class AnnotationUndo : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring data = px::Application::Get().Paths().folder + L"\\Data";
        ::CreateDirectoryW(data.c_str(), nullptr);
        ::SetCursorPos(1270, 790);
        ASSERT_TRUE(frmDesktopImage::Get().Capture().Replace(MakeCapture(160, 120)));
        capture_ = Pixels(frmDesktopImage::Get().Capture().Picture());
    }
    void TearDown() override {
        Form1::Get().Unload();
        frmDesktopImage::Get().Hide();
        PumpPending();
    }
    void Open() {
        Form1::Get().Show(frmDesktopImage::Get().Capture());
        ASSERT_TRUE(PumpUntil([] { return Form1::Get().IsVisible(); }));
        ::SetActiveWindow(Form1::Get().hwnd());
        ASSERT_TRUE(PumpUntil([] { return ::GetActiveWindow() == Form1::Get().hwnd(); }));
        PumpPending();
    }
    void Reopen() {
        Form1::Get().Unload();
        PumpPending();
        Open();
    }
    std::vector<uint32_t> capture_;
};

}  // namespace

TEST_F(AnnotationUndo, TenStrokesFiveUndosTwoRedosLeaveStrokesOneToSeven) {
    Open();
    for (int i = 1; i <= 7; ++i) Stroke(i);
    const auto seven = Shown();
    for (int i = 8; i <= 10; ++i) Stroke(i);
    const auto ten = Shown();
    ASSERT_NE(ten, seven);
    for (int i = 0; i < 5; ++i) CtrlKey('Z');
    for (int i = 0; i < 2; ++i) CtrlKey('Y');
    const auto result = Shown();
    EXPECT_EQ(result, seven) << "the redraw equals the picture as it was after stroke 7";

    // And equals a fresh drawing of strokes 1 to 7 only, in a window opened again on the capture.
    Reopen();
    EXPECT_EQ(Shown(), capture_);
    for (int i = 1; i <= 7; ++i) Stroke(i);
    EXPECT_EQ(Shown(), result);
}

TEST_F(AnnotationUndo, UndoToTheStartShowsTheCaptureAndRedoBringsEverythingBack) {
    Open();
    for (int i = 1; i <= 3; ++i) Stroke(i);
    const auto three = Shown();
    for (int i = 0; i < 4; ++i) CtrlKey('Z');  // one more than there is
    EXPECT_EQ(Shown(), capture_);
    EXPECT_FALSE(Form1::Get().Undo());
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(Form1::Get().Redo());
    EXPECT_FALSE(Form1::Get().Redo());
    EXPECT_EQ(Shown(), three);
    // The window shows what the surface holds once painted.
    px::test::ClientPixels screen(Picture1());
    EXPECT_EQ(screen.at(100, 6 + 9 * 3) & 0xFFFFFF, RGB(75, 195, 210) & 0xFFFFFF);
}

TEST_F(AnnotationUndo, PrintedTextIsOneStepAndThePenAndFontSurviveTheRedraw) {
    Open();
    auto& pic = Form1::Get().Picture1();
    Stroke(1);
    const auto one = Shown();
    pic.SetCurrentPosition(20, 40);
    pic.SetForeColor(RGB(0, 0, 255));
    pic.SetFontName(L"Arial");
    pic.SetFontSize(16);
    pic.SetFontStyle(1);
    Form1::Get().PrintAnnotationText(L"Ab\r\nCd");
    const auto withText = Shown();
    ASSERT_NE(withText, one);
    Stroke(2);
    const auto all = Shown();

    // Different pen and font now: the redraw must use the recorded ones and leave these.
    pic.SetForeColor(RGB(1, 2, 3));
    pic.SetFontName(L"Tahoma");
    pic.SetFontSize(9);
    pic.SetFontStyle(0);
    pic.SetCurrentPosition(7, 8);
    CtrlKey('Z');
    EXPECT_EQ(Shown(), withText);
    CtrlKey('Z');
    EXPECT_EQ(Shown(), one);
    CtrlKey('Y');
    CtrlKey('Y');
    EXPECT_EQ(Shown(), all);
    EXPECT_EQ(pic.ForeColor(), RGB(1, 2, 3));
    EXPECT_EQ(pic.FontName(), L"Tahoma");
    EXPECT_EQ(pic.FontSize(), 9);
    EXPECT_EQ(pic.FontStyle(), 0);
    EXPECT_EQ(pic.CurrentPosition().x, 7);
    EXPECT_EQ(pic.CurrentPosition().y, 8);

    // A new stroke after an undo drops the undone step for good.
    CtrlKey('Z');
    Stroke(3);
    EXPECT_FALSE(Form1::Get().Redo());
    EXPECT_EQ(Form1::Get().History().Recorded(), 3u);
}

TEST_F(AnnotationUndo, ApplyTakesThePictureAsUndoneAndOtherKeysAreNotTaken) {
    Open();
    Stroke(1);
    const auto one = Shown();
    Stroke(2);
    CtrlKey('Z');
    MSG plain{Picture1(), WM_KEYDOWN, 'Z', 1, 0, {}};
    EXPECT_FALSE(px::win::Form::PreTranslate(plain)) << "Z without Ctrl is no editing key";
    EXPECT_EQ(Shown(), one);
    ::PostMessageW(::GetDlgItem(Form1::Get().hwnd(), Form1::IdCmdApply), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
    ::PostMessageW(::GetDlgItem(Form1::Get().hwnd(), Form1::IdCmdApply), WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
    ASSERT_TRUE(PumpUntil([] { return !Form1::Get().IsLoaded(); }));
    EXPECT_EQ(Pixels(frmDesktopImage::Get().Capture().Picture()), one);
}

TEST_F(AnnotationUndo, ManyRedrawsLeaveNoGdiObjectsBehind) {
    Open();
    for (int i = 1; i <= 4; ++i) Stroke(i);
    Form1::Get().PrintAnnotationText(L"leak?");
    CtrlKey('Z');  // the first redraw makes the font the later ones reuse
    CtrlKey('Y');
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int round = 0; round < 25; ++round) {
        for (int i = 0; i < 5; ++i) Form1::Get().Undo();
        for (int i = 0; i < 5; ++i) Form1::Get().Redo();
    }
    PumpPending();
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}
