// The brightness and contrast window driven as the user drives it: scroll bar
// moves, the live preview, "Apply" into a scratch file (and into a folder that
// does not exist), "Cancel", no picture at all, and handle hygiene.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <vector>

#include "base/Text.h"
#include "capture/ClipboardBitmap.h"
#include "capture/CurrentCapture.h"
#include "imaging/core/GeneralNumberFormat.h"
#include "imaging/frmBrightnessAndContrast.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

namespace px {
namespace {

using test::ClientLParam;
using test::PumpUntil;

std::filesystem::path TempDir() {
    wchar_t buf[MAX_PATH];
    ::GetTempPathW(MAX_PATH, buf);
    auto dir = std::filesystem::path(buf) / L"pixtrel-bc-test";
    std::filesystem::create_directories(dir);
    return dir;
}

// A capture-like bitmap: a gradient with a few solid blocks.
win::ScopedBitmap MakeCapture(int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    win::ScopedBitmap bmp(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* p = static_cast<uint8_t*>(bits);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint8_t* q = p + (static_cast<size_t>(y) * w + x) * 4;
            q[0] = static_cast<uint8_t>(x * 255 / w);
            q[1] = static_cast<uint8_t>(y * 255 / h);
            q[2] = static_cast<uint8_t>((x / 16 + y / 16) % 2 ? 200 : 30);
        }
    return bmp;
}

void PostClick(HWND h) {
    RECT r{};
    ::GetClientRect(h, &r);
    ::PostMessageW(h, WM_LBUTTONDOWN, MK_LBUTTON, ClientLParam(r.right / 2, r.bottom / 2));
    ::PostMessageW(h, WM_LBUTTONUP, 0, ClientLParam(r.right / 2, r.bottom / 2));
}

// What a scroll bar control sends its parent when the user moves it.
void Scroll(frmBrightnessAndContrast& f, HWND bar, WORD code, int pos = 0) {
    ::SendMessageW(f.hwnd(), WM_HSCROLL, MAKEWPARAM(code, pos), reinterpret_cast<LPARAM>(bar));
}

// The result must be the source mapped byte by byte with the bars' values.
void ExpectResultFollowsTheBars(const frmBrightnessAndContrast& f) {
    const Dib24Bits s = f.SourceBuffer().Bits();
    const Dib24Bits r = f.ResultBuffer().Bits();
    ASSERT_FALSE(s.empty());
    ASSERT_FALSE(r.empty());
    const auto table = cBrightnessContrast::MakeTable(ContrastFromSlider(f.ContrastBarValue()),
                                                      BrightnessFromSlider(f.BrightnessBarValue()));
    const size_t covered = 3 * static_cast<size_t>(s.bytesPerScanLine / 3);
    for (int row = 0; row < s.height; ++row)
        for (size_t i = 0; i < covered; ++i) {
            const size_t at = static_cast<size_t>(row) * s.bytesPerScanLine + i;
            ASSERT_EQ(r.bits[at], table[s.bits[at]]) << "row " << row << " byte " << i;
        }
}

// The window works on a current capture of its own, with its scratch file at `path`.
struct Outcome {
    std::unique_ptr<CurrentCapture> capture;
    int changed = 0;  // Apply went through
    int closed = 0;   // the window said it was gone
};

void Open(frmBrightnessAndContrast& f, HBITMAP picture, std::filesystem::path path, Outcome& o) {
    if (!o.capture) {
        if (path.empty()) path = TempDir() / L"scratch.bmp";
        std::filesystem::create_directories(path.parent_path());
        o.capture = std::make_unique<CurrentCapture>(path.wstring());
        if (picture) ASSERT_TRUE(o.capture->Replace(CopyBitmap(picture)));
        o.capture->Changed.connect([&o] { ++o.changed; });
        f.Closed.connect([&o] { ++o.closed; });
    }
    f.Show(nullptr, *o.capture);
}

// The bottom-up 24-bit rows of a bitmap, as a cDIBSection holds them.
std::vector<uint8_t> Rows24(HBITMAP bmp, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, h, 1, 24, BI_RGB};
    std::vector<uint8_t> bits(static_cast<size_t>((w * 3 + 3) & ~3) * h);
    win::ScopedGetDC screen(nullptr);
    EXPECT_EQ(::GetDIBits(screen, bmp, 0, static_cast<UINT>(h), bits.data(), &bi, DIB_RGB_COLORS), h);
    return bits;
}

TEST(frmBrightnessAndContrast, OpensWithTheCaptureAndAnUnchangedPreview) {
    auto capture = MakeCapture(300, 200);
    frmBrightnessAndContrast f;
    Outcome o;
    Open(f, capture.get(), L"", o);
    ASSERT_TRUE(f.IsLoaded());
    EXPECT_TRUE(::IsWindowVisible(f.hwnd()));
    EXPECT_EQ(win::GetWindowTextString(f.hwnd()), L"") << "no caption text of its own";
    EXPECT_EQ(f.BrightnessBarValue(), 255);
    EXPECT_EQ(f.ContrastBarValue(), 100);
    EXPECT_EQ(f.BrightnessAmountText(), L"0");
    EXPECT_EQ(f.ContrastAmountText(), L"1");
    EXPECT_EQ(f.SourceBuffer().Width(), 300);
    EXPECT_EQ(f.SourceBuffer().Height(), 200);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_POS};
    ::GetScrollInfo(f.hscBrightness(), SB_CTL, &si);
    EXPECT_EQ(si.nMin, 0);
    EXPECT_EQ(si.nMax, 510);
    EXPECT_EQ(si.nPos, 255);
    ::GetScrollInfo(f.hscContrast(), SB_CTL, &si);
    EXPECT_EQ(si.nMax, 200);
    EXPECT_EQ(si.nPos, 100);
    RECT pic{};
    ::GetClientRect(f.picResult(), &pic);
    EXPECT_EQ(pic.right, 300);
    EXPECT_EQ(pic.bottom, 200);
    const Dib24Bits s = f.SourceBuffer().Bits(), r = f.ResultBuffer().Bits();
    EXPECT_TRUE(std::equal(s.bits, s.bits + static_cast<size_t>(s.bytesPerScanLine) * s.height, r.bits));
    f.Unload();
    EXPECT_EQ(o.changed, 0) << "unloading changes nothing";
    EXPECT_EQ(o.closed, 1) << "but says the window is gone";
}

TEST(frmBrightnessAndContrast, EveryScrollMoveUpdatesLabelsAndPreview) {
    auto capture = MakeCapture(64, 48);
    frmBrightnessAndContrast f;
    Outcome o;
    Open(f, capture.get(), L"", o);
    Scroll(f, f.hscContrast(), SB_LINELEFT);  // 100 -> 90: 1 / 1.4
    EXPECT_EQ(f.ContrastBarValue(), 90);
    EXPECT_EQ(px::Narrow(f.ContrastAmountText()),
              FormatGeneralNumber(1.0 / 1.4, px::Narrow(f.ContrastAmountText()).substr(1, 1)));
    ExpectResultFollowsTheBars(f);
    Scroll(f, f.hscBrightness(), SB_PAGERIGHT);  // +64
    EXPECT_EQ(f.BrightnessAmountText(), L"64");
    ExpectResultFollowsTheBars(f);
    Scroll(f, f.hscBrightness(), SB_THUMBTRACK, 10);  // dragging: the Scroll event
    EXPECT_EQ(f.BrightnessAmountText(), L"-245");
    ExpectResultFollowsTheBars(f);
    Scroll(f, f.hscContrast(), SB_THUMBPOSITION, 99);
    EXPECT_EQ(f.ContrastBarValue(), 99);
    const std::string shown = px::Narrow(f.ContrastAmountText());
    EXPECT_TRUE(shown == "0.961538461538462" || shown == "0,961538461538462") << shown;
    Scroll(f, f.hscContrast(), SB_RIGHT);
    EXPECT_EQ(f.ContrastAmountText(), L"5");
    EXPECT_EQ(::GetScrollPos(f.hscContrast(), SB_CTL), 200);
    ExpectResultFollowsTheBars(f);
    f.Unload();
}

// Reads and dismisses the message box that "Apply" shows, from inside its own loop.
std::wstring g_messageText;
int g_messages = 0;
void CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR id, DWORD) {
    HWND box = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM out) -> BOOL {
            wchar_t cls[16] = {};
            ::GetClassNameW(h, cls, 16);
            if (std::wstring(cls) == L"#32770" && ::IsWindowVisible(h)) {
                *reinterpret_cast<HWND*>(out) = h;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&box));
    if (!box) return;
    g_messageText = win::GetWindowTextString(::GetDlgItem(box, 0xFFFF));
    ++g_messages;
    ::KillTimer(nullptr, id);
    ::PostMessageW(box, WM_COMMAND, IDOK, 0);
}

TEST(frmBrightnessAndContrast, ApplyIntoAMissingFolderSaysSoAndKeepsEverything) {
    auto capture = MakeCapture(40, 30);
    const auto path = TempDir() / L"no-such-folder" / L"temp.bmp";
    frmBrightnessAndContrast f;
    Outcome o;
    Open(f, capture.get(), path, o);
    HBITMAP before = o.capture->Picture();
    std::filesystem::remove_all(path.parent_path());  // the folder goes away under the open window
    Scroll(f, f.hscBrightness(), SB_PAGERIGHT);
    g_messageText.clear();
    g_messages = 0;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, CloseMessageBox);
    PostClick(f.cmdApply());
    ASSERT_TRUE(PumpUntil([] { return g_messages > 0; }, 5000));
    ::KillTimer(nullptr, timer);
    EXPECT_NE(g_messageText.find(path.wstring()), std::wstring::npos) << px::Narrow(g_messageText);
    wchar_t platform[256];
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                                     ERROR_PATH_NOT_FOUND, 0, platform, 256, nullptr);
    std::wstring reason(platform, n);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r')) reason.pop_back();
    EXPECT_NE(g_messageText.find(reason), std::wstring::npos) << px::Narrow(g_messageText);
    EXPECT_TRUE(f.IsLoaded()) << "the window stays open";
    EXPECT_EQ(o.changed, 0) << "the capture is not replaced";
    EXPECT_EQ(o.capture->Picture(), before);
    EXPECT_EQ(f.BrightnessBarValue(), 255 + 64) << "the user's settings are kept";
    EXPECT_FALSE(std::filesystem::exists(path));
    f.Unload();
}

TEST(frmBrightnessAndContrast, ApplyReplacesTheCaptureOnceWithTheResult) {
    auto capture = MakeCapture(37, 21);
    const auto path = TempDir() / L"temp.bmp";
    std::filesystem::remove(path);
    frmBrightnessAndContrast f;
    Outcome o;
    Open(f, capture.get(), path, o);
    std::filesystem::remove(path);
    Scroll(f, f.hscContrast(), SB_PAGERIGHT);
    ExpectResultFollowsTheBars(f);
    const Dib24Bits r = f.ResultBuffer().Bits();
    const std::vector<uint8_t> expected(r.bits, r.bits + static_cast<size_t>(r.bytesPerScanLine) * r.height);
    PostClick(f.cmdApply());
    ASSERT_TRUE(PumpUntil([&] { return o.changed > 0; }));
    test::PumpPending();
    EXPECT_EQ(o.changed, 1) << "one Changed for one Apply";
    EXPECT_EQ(o.closed, 1);
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(f.ResultBuffer().hDIB(), nullptr) << "buffers are released on unload";
    EXPECT_EQ(o.capture->Size().cx, 37);
    EXPECT_EQ(Rows24(o.capture->Picture(), 37, 21), expected) << "the capture is the result";
    EXPECT_TRUE(std::filesystem::exists(path)) << "and the scratch file was written";
}

TEST(frmBrightnessAndContrast, CancelWritesNothing) {
    auto capture = MakeCapture(20, 20);
    const auto path = TempDir() / L"cancelled.bmp";
    std::filesystem::remove(path);
    frmBrightnessAndContrast f;
    Outcome o;
    Open(f, capture.get(), path, o);
    std::filesystem::remove(path);
    Scroll(f, f.hscBrightness(), SB_LEFT);
    PostClick(f.cmdCancel());
    ASSERT_TRUE(PumpUntil([&] { return o.closed > 0; }));
    EXPECT_FALSE(f.IsLoaded());
    EXPECT_EQ(o.changed, 0);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(frmBrightnessAndContrast, WithoutAPictureNothingIsWritten) {
    const auto path = TempDir() / L"nothing.bmp";
    std::filesystem::remove(path);
    frmBrightnessAndContrast f;
    Outcome o;
    Open(f, nullptr, path, o);
    ASSERT_TRUE(f.IsLoaded());
    EXPECT_EQ(f.SourceBuffer().hDIB(), nullptr);
    EXPECT_EQ(f.ResultBuffer().hDIB(), nullptr);
    Scroll(f, f.hscContrast(), SB_LINELEFT);
    EXPECT_EQ(f.ContrastBarValue(), 90);
    PostClick(f.cmdApply());
    ASSERT_TRUE(PumpUntil([&] { return !f.IsLoaded(); }));
    EXPECT_EQ(o.changed, 0);
    EXPECT_EQ(o.closed, 1);
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(frmBrightnessAndContrast, OpeningAndClosingLeavesTheGdiCountUnchanged) {
    auto capture = MakeCapture(120, 90);
    frmBrightnessAndContrast f;
    Outcome o;
    Open(f, capture.get(), L"", o);  // first load registers classes and caches fonts
    f.Unload();
    const long before = test::GdiObjectCount();
    for (int i = 0; i < 30; ++i) {
        Open(f, capture.get(), L"", o);
        Scroll(f, f.hscBrightness(), SB_LINERIGHT);
        test::PumpPending();
        PostClick(f.cmdCancel());
        ASSERT_TRUE(PumpUntil([&] { return !f.IsLoaded(); }));
    }
    EXPECT_EQ(test::GdiObjectCount(), before);
}

// The scrolling area shows bars only when the picture is larger than it, and
// the bars move the preview; what the preview shows is the result buffer.
TEST(frmBrightnessAndContrast, ScrollingAreaHasBarsOnlyForALargePictureAndShowsTheResult) {
    const struct {
        int w, h;
        bool bars;
    } cases[] = {{64, 48, false}, {2400, 1400, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + " x " + std::to_string(c.h));
        auto capture = MakeCapture(c.w, c.h);
        frmBrightnessAndContrast f;
        Outcome o;
        Open(f, capture.get(), L"", o);
        const LONG_PTR style = ::GetWindowLongPtrW(f.ScrollingArea(), GWL_STYLE);
        EXPECT_EQ((style & WS_HSCROLL) != 0, c.bars);
        EXPECT_EQ((style & WS_VSCROLL) != 0, c.bars);
        EXPECT_EQ(::GetParent(f.picResult()), f.ScrollingArea());
        Scroll(f, f.hscBrightness(), SB_PAGERIGHT);
        test::PumpPending();
        // Every 13th pixel of the visible preview against the result buffer.
        const test::ClientPixels shown(f.picResult());
        int compared = 0;
        for (int y = 0; y < std::min(c.h, 300); y += 13)
            for (int x = 0; x < std::min(c.w, 600); x += 13, ++compared)
                ASSERT_EQ(shown.at(x, y), ::GetPixel(f.ResultBuffer().hDC(), x, y)) << x << "," << y;
        EXPECT_GT(compared, 10);
        ::SendMessageW(f.ScrollingArea(), WM_HSCROLL, SB_PAGERIGHT, 0);
        ::SendMessageW(f.ScrollingArea(), WM_VSCROLL, SB_LINEDOWN, 0);
        RECT child;
        ::GetWindowRect(f.picResult(), &child);
        ::MapWindowPoints(nullptr, f.ScrollingArea(), reinterpret_cast<POINT*>(&child), 2);
        EXPECT_EQ(child.left < 0, c.bars) << "a page to the right";
        EXPECT_EQ(child.top < 0, c.bars) << "a line down";
        if (c.bars) {
            EXPECT_EQ(child.top, -16);
        }
        f.Unload();
    }
}

}  // namespace
}  // namespace px
