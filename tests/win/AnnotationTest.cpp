// The annotation window and the text inserter in-process: freehand strokes
// and "Apply" against the scratch file, "Cancel", text placement through the
// modal inserter (its colour dialog driven for real), the size field's
// "Invalid Size" box, the style boxes, the font list and GDI balance.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/Application.h"
#include "base/Text.h"
#include "app/Form1.h"
#include "app/Form2.h"
#include "app/core/AnnotationText.h"
#include "app/frmDesktopImage.h"
#include "base/FontDescription.h"
#include "base/win/DibInfo.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/ModalScript.h"
#include "tests/win/support/GdiCount.h"

using px::Form1;
using px::Form2;
using px::frmDesktopImage;
using px::test::FindThreadDialog;
using px::test::ModalScript;
using px::test::PostLeftClick;
using px::test::PumpPending;
using px::test::PumpUntil;

namespace {

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);

struct Pixels {
    int w = 0, h = 0;
    std::vector<COLORREF> p;
    COLORREF at(int x, int y) const { return p[static_cast<size_t>(y * w + x)]; }
    bool operator==(const Pixels&) const = default;
};

Pixels BitmapPixels(HBITMAP bmp) {
    Pixels out;
    BITMAP bm{};
    if (!bmp || !::GetObjectW(bmp, sizeof(bm), &bm)) return out;
    out.w = bm.bmWidth;
    out.h = std::abs(bm.bmHeight);
    BITMAPINFO bi = px::win::TopDownDibInfo(out.w, out.h);
    std::vector<uint32_t> raw(static_cast<size_t>(out.w * out.h));
    px::win::ScopedGetDC screen(nullptr);
    ::GetDIBits(screen, bmp, 0, static_cast<UINT>(out.h), raw.data(), &bi, DIB_RGB_COLORS);
    out.p.reserve(raw.size());
    for (uint32_t v : raw) out.p.push_back(RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF));
    return out;
}

Pixels FilePixels(const std::wstring& path) {
    px::win::ScopedBitmap bmp(static_cast<HBITMAP>(
        ::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION)));
    return BitmapPixels(bmp.get());
}

std::string FileBytes(const std::wstring& path) {
    std::ifstream f(px::Narrow(path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(f), {});
}

// A capture in the display's format, as the capture paths make them.
px::win::ScopedBitmap MakeCapture(int w, int h, const std::function<COLORREF(int, int)>& color) {
    px::win::ScopedGetDC screen(nullptr);
    px::win::ScopedBitmap bmp(::CreateCompatibleBitmap(screen, w, h));
    px::win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    px::win::ScopedSelectObject sel(dc.get(), bmp.get());
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) ::SetPixelV(dc.get(), x, y, color(x, y));
    return bmp;
}

// Distinct, never the stroke colours.
COLORREF Gradient(int x, int y) { return RGB(40 + x % 150, 30 + y % 150, 90 + (x + y) % 100); }

HWND Form1Child(int id) { return ::GetDlgItem(Form1::Get().hwnd(), id); }
HWND Form2Child(int id) { return ::GetDlgItem(Form2::Get().hwnd(), id); }
HWND Picture1() { return Form1::Get().Picture1().hwnd(); }

void ClickButton(HWND button) {
    PostLeftClick(button, 5, 5);
    PumpPending();
}

// Presses at the first point, moves through the others with the left button held, releases at the last.
void Stroke(std::initializer_list<POINT> points) {
    auto it = points.begin();
    ::PostMessageW(Picture1(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(it->x, it->y));
    POINT last = *it;
    for (++it; it != points.end(); ++it) {
        ::PostMessageW(Picture1(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(it->x, it->y));
        last = *it;
    }
    ::PostMessageW(Picture1(), WM_LBUTTONUP, 0, MAKELPARAM(last.x, last.y));
    PumpPending();
}

// Every test starts with a known capture and the scratch file written from it.
class Annotation : public ::testing::Test {
protected:
    void SetUp() override {
        const std::wstring data = px::Application::Get().Paths().folder + L"\\Data";
        ::CreateDirectoryW(data.c_str(), nullptr);
        scratch_ = px::Application::Get().Paths().ScratchBitmapPath();
        ::SetCursorPos(1270, 790);  // the real pointer stays off our windows
        SetCapture(160, 120, Gradient);
    }
    void TearDown() override {
        Form2::Get().Unload();
        Form1::Get().Unload();
        frmDesktopImage::Get().Hide();
        PumpPending();
    }
    void SetCapture(int w, int h, const std::function<COLORREF(int, int)>& color) {
        ASSERT_TRUE(frmDesktopImage::Get().Capture().Replace(MakeCapture(w, h, color)));
        capture_ = BitmapPixels(frmDesktopImage::Get().Capture().Picture());
        ASSERT_EQ(capture_.w, w);
    }
    void OpenForm1() {
        Form1::Get().Show(frmDesktopImage::Get().Capture());
        ASSERT_TRUE(PumpUntil([] { return Form1::Get().IsVisible(); }));
        PumpPending();
    }
    std::wstring scratch_;
    Pixels capture_;
};

}  // namespace

TEST_F(Annotation, LoadCopiesTheCaptureAndScrollsLargePictures) {
    SetCapture(1500, 1100, Gradient);  // larger than the window
    OpenForm1();
    EXPECT_EQ(px::win::GetWindowTextString(Form1::Get().hwnd()), L" Orvo Pixtrel 4.5");
    auto& pic = Form1::Get().Picture1();
    EXPECT_EQ(pic.SurfaceSize().cx, 1500);
    EXPECT_EQ(pic.SurfaceSize().cy, 1100);
    EXPECT_EQ(BitmapPixels(pic.CopyImage().get()), capture_);
    EXPECT_EQ(pic.DrawWidth(), 1);

    // PictureA sits in the scrolling frame at the capture's size; the frame scrolls it.
    HWND frame = Form1Child(Form1::IdFraScroll1);
    HWND pictureA = ::GetParent(Picture1());
    EXPECT_EQ(::GetParent(pictureA), frame);
    RECT ra;
    ::GetWindowRect(pictureA, &ra);
    EXPECT_EQ(ra.right - ra.left, 1500);
    auto style = ::GetWindowLongPtrW(frame, GWL_STYLE);
    EXPECT_TRUE((style & WS_HSCROLL) && (style & WS_VSCROLL));
    ::SendMessageW(frame, WM_VSCROLL, MAKEWPARAM(SB_BOTTOM, 0), 0);
    ::SendMessageW(frame, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
    RECT frameRect, shown;
    ::GetWindowRect(frame, &frameRect);
    ::GetWindowRect(pictureA, &shown);
    EXPECT_LT(shown.top, frameRect.top) << "scrolled to the bottom, the picture moves up";
    EXPECT_LT(shown.left, frameRect.left);
    RECT client;
    ::GetClientRect(frame, &client);
    POINT bottom{0, client.bottom};
    ::ClientToScreen(frame, &bottom);
    EXPECT_EQ(shown.bottom, bottom.y) << "the last row is at the frame's bottom edge";

    // The pen preview: a circle of the pen width at the centre of Picture50.
    HWND preview = Form1Child(Form1::IdPicture50);
    px::test::ClientPixels dot(preview);
    int dark = 0;
    for (int y = 0; y < dot.height(); ++y)
        for (int x = 0; x < dot.width(); ++x) dark += px::test::Brightness(dot.at(x, y)) < 100;
    EXPECT_GT(dark, 0);
    for (int y = 0; y < dot.height(); ++y)
        for (int x = 0; x < dot.width(); ++x)
            if (px::test::Brightness(dot.at(x, y)) < 100) {
                EXPECT_TRUE(std::abs(x - dot.width() / 2) <= 2 && std::abs(y - dot.height() / 2) <= 2)
                    << "ink away from the centre at " << x << "," << y;
            }
}

TEST_F(Annotation, FreehandStrokeAndApplyChangeExactlyTheStrokedPixels) {
    OpenForm1();
    // The annotation colour through "Text Color" and the real colour dialog.
    ModalScript pick;
    pick.Then([] { return FindThreadDialog(Form1::Get().hwnd()) != nullptr; },
              [] { px::test::PickColorInDialog(FindThreadDialog(Form1::Get().hwnd()), kRed); });
    pick.Start();
    ClickButton(Form1Child(Form1::IdCmdColor));
    ASSERT_TRUE(PumpUntil([&] { return pick.Done() && !FindThreadDialog(); }));
    EXPECT_EQ(Form1::Get().AnnotationColor(), kRed);
    ASSERT_TRUE(PumpUntil([] {
        px::test::ClientPixels swatch(Form1Child(Form1::IdPicture51));
        return swatch.at(swatch.width() / 2, swatch.height() / 2) == kRed;
    })) << "Timer1 keeps the swatch in step";

    Stroke({{10, 10}, {30, 10}, {30, 25}, {40, 35}});
    std::set<std::pair<int, int>> stroked;
    for (int x = 10; x <= 30; ++x) stroked.insert({x, 10});
    for (int y = 10; y <= 25; ++y) stroked.insert({30, y});
    for (int k = 0; k <= 10; ++k) stroked.insert({30 + k, 25 + k});
    // A move with no button held draws nothing, nor does a right-button drag.
    ::PostMessageW(Picture1(), WM_MOUSEMOVE, 0, MAKELPARAM(100, 100));
    ::PostMessageW(Picture1(), WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(100, 100));
    ::PostMessageW(Picture1(), WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(120, 110));
    ::PostMessageW(Picture1(), WM_RBUTTONUP, 0, MAKELPARAM(120, 110));
    PumpPending();

    ::DeleteFileW(scratch_.c_str());
    ClickButton(Form1Child(Form1::IdCmdApply));
    EXPECT_FALSE(Form1::Get().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(frmDesktopImage::Get().hwnd()));
    EXPECT_FALSE(::IsIconic(frmDesktopImage::Get().hwnd()));

    Pixels file = FilePixels(scratch_);
    ASSERT_EQ(file.w, capture_.w);
    ASSERT_EQ(file.h, capture_.h);
    int wrong = 0;
    for (int y = 0; y < file.h; ++y)
        for (int x = 0; x < file.w; ++x) {
            COLORREF expected = stroked.count({x, y}) ? kRed : capture_.at(x, y);
            if (file.at(x, y) != expected && ++wrong < 5) ADD_FAILURE() << "pixel " << x << "," << y;
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(BitmapPixels(frmDesktopImage::Get().Capture().Picture()), file) << "the capture is the marked-up picture";
}

TEST_F(Annotation, ApplyWithoutDrawingRewritesTheSamePicture) {
    OpenForm1();
    ::DeleteFileW(scratch_.c_str());
    ClickButton(Form1Child(Form1::IdCmdApply));
    EXPECT_FALSE(Form1::Get().IsLoaded());
    EXPECT_EQ(FilePixels(scratch_), capture_);
}

// Sound behaviour where the scratch file cannot be written: the annotation window
// says so, the capture stays, and the annotations stay open instead of being lost.
TEST_F(Annotation, ApplyThatCannotWriteTheScratchFileKeepsTheAnnotations) {
    OpenForm1();
    Form1::Get().Picture1().SetForeColor(kRed);
    Stroke({{5, 5}, {60, 5}});
    ::DeleteFileW(scratch_.c_str());
    ASSERT_TRUE(::CreateDirectoryW(scratch_.c_str(), nullptr)) << "a folder where the file should go";
    HBITMAP captureBefore = frmDesktopImage::Get().Capture().Picture();
    int boxes = 0;
    ModalScript closer;
    closer.Then([] { return FindThreadDialog() != nullptr; },
                [&] {
                    ++boxes;
                    ::PostMessageW(FindThreadDialog(), WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                });
    closer.Start();
    ClickButton(Form1Child(Form1::IdCmdApply));
    PumpUntil([&] { return closer.Done() && !FindThreadDialog(); });
    ::RemoveDirectoryW(scratch_.c_str());
    EXPECT_EQ(boxes, 1) << "the user is told";
    EXPECT_TRUE(Form1::Get().IsLoaded());
    EXPECT_EQ(Form1::Get().Picture1().PixelAt(30, 5), kRed) << "the drawing is still there";
    EXPECT_EQ(frmDesktopImage::Get().Capture().Picture(), captureBefore);
    // Once the file can be written again, Apply goes through.
    ClickButton(Form1Child(Form1::IdCmdApply));
    EXPECT_FALSE(Form1::Get().IsLoaded());
    EXPECT_EQ(FilePixels(scratch_).at(30, 5), kRed);
}

TEST_F(Annotation, CancelLeavesTheCaptureAsItWas) {
    const std::string fileBefore = FileBytes(scratch_);
    HBITMAP captureBefore = frmDesktopImage::Get().Capture().Picture();
    OpenForm1();
    Form1::Get().Picture1().SetForeColor(kRed);
    Stroke({{5, 5}, {60, 60}});
    ASSERT_EQ(Form1::Get().Picture1().PixelAt(60, 60), kRed);
    ClickButton(Form1Child(Form1::IdCmdCancel));
    EXPECT_FALSE(Form1::Get().IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(frmDesktopImage::Get().hwnd()));
    EXPECT_EQ(frmDesktopImage::Get().Capture().Picture(), captureBefore);
    EXPECT_EQ(BitmapPixels(captureBefore), capture_);
    EXPECT_EQ(FileBytes(scratch_), fileBefore);

    // Opened again, it starts from the capture, not from the cancelled drawing.
    OpenForm1();
    EXPECT_EQ(BitmapPixels(Form1::Get().Picture1().CopyImage().get()), capture_);
}

TEST_F(Annotation, TwoLinesOfTextGoUnderEachOtherFromTheClickedPointInTheSwatchColour) {
    SetCapture(200, 150, [](int, int) { return kWhite; });
    OpenForm1();
    auto& pic = Form1::Get().Picture1();
    pic.SetForeColor(kRed);

    ClickButton(Form1Child(Form1::IdCommand3));  // "Add Text"
    EXPECT_TRUE(Form1::Get().TextPlacementMode());
    EXPECT_FALSE(Form1::Get().Command3().Enabled());
    EXPECT_FALSE(::IsWindowEnabled(Form1Child(Form1::IdCommand3)));
    ::SendMessageW(Picture1(), WM_SETCURSOR, reinterpret_cast<WPARAM>(Picture1()), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_IBEAM));
    // Moving without a button does not draw while the mode is on.
    ::PostMessageW(Picture1(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 140));
    PumpPending();
    EXPECT_EQ(pic.PixelAt(150, 140), kWhite);

    const int tx = 20, ty = 30;
    bool sawDefaults = false;
    ModalScript script;
    script
        .Then([] { return Form2::Get().IsVisible(); },
              [&] {
                  HWND f2 = Form2::Get().hwnd();
                  sawDefaults = px::win::GetWindowTextString(f2) == L"Text Inserter" &&
                                px::win::GetWindowTextString(Form2Child(Form2::IdText2)) == L"8" &&
                                px::win::GetWindowTextString(Form2Child(Form2::IdCombo1)) == L"Arial" &&
                                Form2::Get().TextColor() == kRed;
                  ::SetWindowTextW(Form2Child(Form2::IdText1), L"AB\r\nCD");
                  ::SetWindowTextW(Form2Child(Form2::IdText2), L"20");
                  ::SendMessageW(f2, WM_COMMAND, MAKEWPARAM(Form2::IdCheck1, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(Form2Child(Form2::IdCheck1)));
                  PostLeftClick(Form2Child(Form2::IdPicture1), 5, 5);  // the swatch: colour dialog
              })
        .Then([] { return FindThreadDialog(Form2::Get().hwnd()) != nullptr; },
              [] { px::test::PickColorInDialog(FindThreadDialog(Form2::Get().hwnd()), kBlue); })
        .Then([] { return !FindThreadDialog() && Form2::Get().TextColor() == kBlue; },
              [] { PostLeftClick(Form2Child(Form2::IdCommand1), 5, 5); });  // "OK"
    script.Start();
    PostLeftClick(Picture1(), tx, ty);  // the placing click opens the inserter modally
    ASSERT_TRUE(PumpUntil([&] { return script.Done() && !Form2::Get().IsLoaded(); }, 15000))
        << "script stopped after step " << script.StepsDone();
    EXPECT_TRUE(sawDefaults);
    EXPECT_FALSE(Form1::Get().TextPlacementMode());
    EXPECT_TRUE(Form1::Get().Command3().Enabled());
    EXPECT_EQ(pic.ForeColor(), kRed) << "the pen colour is restored";
    EXPECT_EQ(pic.FontSize(), 8.0) << "the font size is restored";
    EXPECT_EQ(pic.FontStyle(), px::FontStyleBit::Bold) << "the style stays as the boxes set it";

    // Ink rows: blue only, at or right of and below the clicked point, in two separate bands.
    Pixels shown = BitmapPixels(pic.CopyImage().get());
    std::vector<int> inkLeft(static_cast<size_t>(shown.h), -1);
    int stray = 0;
    for (int y = 0; y < shown.h; ++y)
        for (int x = 0; x < shown.w; ++x) {
            COLORREF c = shown.at(x, y);
            if (c == kBlue) {
                if (x < tx || y < ty) ++stray;
                if (inkLeft[static_cast<size_t>(y)] < 0) inkLeft[static_cast<size_t>(y)] = x;
            } else if (c != kWhite && (GetRValue(c) > GetBValue(c))) {
                ++stray;  // anything reddish: the pen colour must not have printed
            }
        }
    EXPECT_EQ(stray, 0);
    std::vector<std::pair<int, int>> bands;  // [first, last] rows with ink
    for (int y = 0; y < shown.h; ++y) {
        if (inkLeft[static_cast<size_t>(y)] < 0) continue;
        if (!bands.empty() && bands.back().second == y - 1)
            bands.back().second = y;
        else
            bands.push_back({y, y});
    }
    ASSERT_EQ(bands.size(), 2u) << "two lines, one under the other";
    EXPECT_GE(bands[0].first, ty);
    EXPECT_LT(bands[0].first, ty + 10);
    EXPECT_GT(bands[1].first, bands[0].second);
    auto leftOf = [&](std::pair<int, int> band) {
        int left = shown.w;
        for (int y = band.first; y <= band.second; ++y) left = std::min(left, inkLeft[static_cast<size_t>(y)]);
        return left;
    };
    EXPECT_GE(leftOf(bands[0]), tx);
    EXPECT_LE(leftOf(bands[0]), tx + 3);
    EXPECT_GE(leftOf(bands[1]), tx) << "the second line starts at the clicked x too";
    EXPECT_LE(leftOf(bands[1]), tx + 3);

    // Freehand strokes afterwards use the annotation colour again.
    Stroke({{100, 120}, {150, 120}});
    for (int x = 100; x <= 150; ++x) EXPECT_EQ(pic.PixelAt(x, 120), kRed) << x;
}

TEST_F(Annotation, InserterCancelLeavesAddTextDisabledUntilForm1Reopens) {
    OpenForm1();
    ClickButton(Form1Child(Form1::IdCommand3));
    ModalScript script;
    script.Then([] { return Form2::Get().IsVisible(); },
                [] { PostLeftClick(Form2Child(Form2::IdCommand2), 5, 5); });  // "Cancel"
    script.Start();
    PostLeftClick(Picture1(), 50, 50);
    ASSERT_TRUE(PumpUntil([&] { return script.Done() && !Form2::Get().IsLoaded(); }));
    EXPECT_FALSE(Form1::Get().TextPlacementMode());
    EXPECT_FALSE(Form1::Get().Command3().Enabled());
    EXPECT_EQ(Form1::Get().Command3().BackColor(), 0xC0C0C0u);
    EXPECT_EQ(BitmapPixels(Form1::Get().Picture1().CopyImage().get()), capture_) << "nothing printed";
    // Freehand works again once the mode is off.
    Form1::Get().Picture1().SetForeColor(kRed);
    Stroke({{10, 60}, {20, 60}});
    EXPECT_EQ(Form1::Get().Picture1().PixelAt(15, 60), kRed);

    Form1::Get().Unload();
    OpenForm1();
    EXPECT_TRUE(Form1::Get().Command3().Enabled());
}

TEST_F(Annotation, InserterLoadsDefaultsAndListsTheScreenFonts) {
    Form1::Get().Load();
    Form1::Get().Picture1().SetFontStyle(px::FontStyleBit::Italic | px::FontStyleBit::Underline);
    Form1::Get().Picture1().SetForeColor(RGB(0, 128, 0));
    Form2::Get().Show();
    ASSERT_TRUE(PumpUntil([] { return Form2::Get().IsVisible(); }));
    EXPECT_EQ(Form1::Get().Picture1().FontStyle(), 0) << "loading turns every style off";
    EXPECT_EQ(Form2::Get().TextColor(), RGB(0, 128, 0));
    px::test::ClientPixels swatch(Form2Child(Form2::IdPicture1));
    EXPECT_EQ(swatch.at(swatch.width() / 2, swatch.height() / 2), RGB(0, 128, 0));
    EXPECT_EQ(px::win::GetWindowTextString(Form2Child(Form2::IdText1)), L"Type Text Here\r\n");
    EXPECT_EQ(px::win::GetWindowTextString(Form2Child(Form2::IdText2)), L"8");
    EXPECT_EQ(px::win::GetWindowTextString(Form2Child(Form2::IdCombo1)), L"Arial");
    for (int id = Form2::IdCheck1; id <= Form2::IdCheck4; ++id)
        EXPECT_EQ(::SendMessageW(Form2Child(id), BM_GETCHECK, 0, 0), BST_UNCHECKED);

    // Centred on the screen.
    RECT r;
    ::GetWindowRect(Form2::Get().hwnd(), &r);
    EXPECT_NEAR((r.left + r.right) / 2, ::GetSystemMetrics(SM_CXSCREEN) / 2, 1);
    EXPECT_NEAR((r.top + r.bottom) / 2, ::GetSystemMetrics(SM_CYSCREEN) / 2, 1);

    // One entry per installed family, none twice; the progress bar ran over them and is hidden again.
    HWND combo = Form2Child(Form2::IdCombo1);
    const int count = static_cast<int>(::SendMessageW(combo, CB_GETCOUNT, 0, 0));
    ASSERT_GT(count, 0);
    std::set<std::wstring> names;
    for (int i = 0; i < count; ++i) {
        wchar_t name[LF_FACESIZE + 1] = L"";
        ::SendMessageW(combo, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(name));
        EXPECT_TRUE(names.insert(name).second) << "listed twice: " << px::Narrow(name);
        LOGFONTW lf{};
        lf.lfCharSet = DEFAULT_CHARSET;
        ::lstrcpynW(lf.lfFaceName, name, LF_FACESIZE);
        px::win::ScopedGetDC screen(nullptr);
        bool installed = false;
        ::EnumFontFamiliesExW(
            screen, &lf, [](const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM lp) -> int {
                *reinterpret_cast<bool*>(lp) = true;
                return 0;
            },
            reinterpret_cast<LPARAM>(&installed), 0);
        EXPECT_TRUE(installed) << px::Narrow(name);
    }
    HWND progress = Form1::Get().FontPro();
    EXPECT_FALSE(::IsWindowVisible(progress));
    EXPECT_EQ(::SendMessageW(progress, PBM_GETRANGE, FALSE, 0), count);
    EXPECT_EQ(::SendMessageW(progress, PBM_GETPOS, 0, 0), count - 1);

    // Picking a name in the list sets the text box's font.
    ::SendMessageW(combo, CB_SETCURSEL, 0, 0);
    ::SendMessageW(Form2::Get().hwnd(), WM_COMMAND, MAKEWPARAM(Form2::IdCombo1, CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(combo));
    LOGFONTW lf{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Form2Child(Form2::IdText1), WM_GETFONT, 0, 0)), sizeof(lf),
                 &lf);
    wchar_t first[LF_FACESIZE + 1] = L"";
    ::SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(first));
    EXPECT_STREQ(lf.lfFaceName, first);
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
}

TEST_F(Annotation, StyleBoxesToggleOnTheTextBoxAndThePicture) {
    using namespace px::FontStyleBit;
    Form1::Get().Load();
    Form2::Get().Show();
    ASSERT_TRUE(PumpUntil([] { return Form2::Get().IsVisible(); }));
    auto click = [](int id) {
        ::SendMessageW(Form2::Get().hwnd(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                       reinterpret_cast<LPARAM>(Form2Child(id)));
    };
    auto textFont = [] {
        LOGFONTW lf{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Form2Child(Form2::IdText1), WM_GETFONT, 0, 0)),
                     sizeof(lf), &lf);
        return lf;
    };
    auto& pic = Form1::Get().Picture1();
    struct Case {
        int id;
        int pictureStyle;
        bool checked;
    } cases[] = {
        {Form2::IdCheck1, Bold, true},
        {Form2::IdCheck2, Bold | Underline, true},
        {Form2::IdCheck3, Bold | Underline | Italic, true},
        {Form2::IdCheck4, Bold | Underline | Italic | Strikeout, true},
        {Form2::IdCheck1, Underline | Italic | Strikeout, false},
        {Form2::IdCheck3, Underline | Strikeout, false},
    };
    for (auto& c : cases) {
        click(c.id);
        EXPECT_EQ(pic.FontStyle(), c.pictureStyle) << c.id;
        EXPECT_EQ(::SendMessageW(Form2Child(c.id), BM_GETCHECK, 0, 0), c.checked ? BST_CHECKED : BST_UNCHECKED);
    }
    LOGFONTW lf = textFont();
    EXPECT_EQ(lf.lfWeight, FW_NORMAL);
    EXPECT_TRUE(lf.lfUnderline);
    EXPECT_FALSE(lf.lfItalic);
    EXPECT_TRUE(lf.lfStrikeOut);

    // The rule reads the text box, not the picture: a style only the picture has is added, not removed.
    pic.SetFontStyle(pic.FontStyle() | Bold);
    click(Form2::IdCheck1);
    EXPECT_TRUE(pic.FontStyle() & Bold);
    EXPECT_EQ(textFont().lfWeight, FW_BOLD);
}

TEST_F(Annotation, SizeFieldRefusesWhatIsNotAUsableNumber) {
    Form1::Get().Load();
    Form2::Get().Show();
    ASSERT_TRUE(PumpUntil([] { return Form2::Get().IsVisible(); }));
    HWND size = Form2Child(Form2::IdText2);
    int boxes = 0;
    std::wstring texts;
    bool errorIcon = true;
    ModalScript closer;
    for (int i = 0; i < 6; ++i)
        closer.Then([] { return FindThreadDialog(Form2::Get().hwnd()) != nullptr; },
                    [&] {
                        HWND box = FindThreadDialog(Form2::Get().hwnd());
                        ++boxes;
                        texts += px::test::DialogStaticTexts(box) + L";";
                        errorIcon = errorIcon && px::test::DialogIcon(box) == ::LoadIconW(nullptr, IDI_HAND);
                        ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
                    });
    closer.Start();
    auto textHeight = [] {
        LOGFONTW lf{};
        ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(Form2Child(Form2::IdText1), WM_GETFONT, 0, 0)),
                     sizeof(lf), &lf);
        return lf.lfHeight;
    };
    px::win::ScopedGetDC screen(nullptr);
    const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);

    struct Case {
        const wchar_t* typed;
        int boxesAfter;
        const wchar_t* fieldAfter;
        double points;  // the text box's size afterwards
    } cases[] = {
        {L"14", 0, L"14", 14},   {L"abc", 1, L"8", 8},   {L"", 1, L"", 8},  // cleared: nothing happens
        {L"20", 1, L"20", 20},   {L"0", 2, L"8", 8},     {L"12x", 3, L"8", 8},
        {L"99999", 4, L"8", 8},
    };
    for (auto& c : cases) {
        ::SetWindowTextW(size, c.typed);  // the change event runs (and any box closes) before this returns
        EXPECT_EQ(boxes, c.boxesAfter) << px::Narrow(c.typed);
        EXPECT_EQ(px::win::GetWindowTextString(size), c.fieldAfter) << px::Narrow(c.typed);
        EXPECT_EQ(textHeight(), px::FontCharacterHeight(c.points, dpi)) << px::Narrow(c.typed);
    }
    EXPECT_EQ(texts, L"Invalid Size;Invalid Size;Invalid Size;Invalid Size;");
    EXPECT_TRUE(errorIcon) << "the box shows the error icon";
}

TEST_F(Annotation, OpeningAndClosingLeavesNoGdiObjectsBehind) {
    auto cycle = [](bool apply) {
        Form1::Get().Show(frmDesktopImage::Get().Capture());
        PumpUntil([] { return Form1::Get().IsVisible(); });
        Form1::Get().Picture1().SetForeColor(kRed);
        Stroke({{5, 5}, {50, 40}});
        Form2::Get().Show();
        PumpUntil([] { return Form2::Get().IsVisible(); });
        Form2::Get().Unload();
        ClickButton(Form1Child(apply ? Form1::IdCmdApply : Form1::IdCmdCancel));
        PumpPending();
    };
    cycle(false);  // first use: classes, cached cursors and fonts
    cycle(true);
    const long before = px::test::GdiObjectCount();
    for (int i = 0; i < 4; ++i) cycle(i % 2 == 0);
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}
