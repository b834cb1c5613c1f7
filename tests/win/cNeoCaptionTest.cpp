// The caption painter on a real window with test artwork: the frame on screen
// equals the artwork at the computed places, a skin sample equals the
// window's own frame, re-skins keep one subclass, hook and manager, the close
// button raises Unload, bad geometry is refused (values beyond the limit by
// name and value), the colour key, and no leaks.
#include <windows.h>
#include <commctrl.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "base/win/ScopedWin.h"
#include "skin/KeyboardHook.h"
#include "skin/SubTimer.h"
#include "skin/cNCCalcSize.h"
#include "skin/cNeoCaption.h"
#include "skin/cSkinConfiguration.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"
#include "tests/win/support/MessageTally.h"
#include "tests/win/support/SkinTestObjects.h"

using px::test::FormStub;
using px::win::ScopedComPtr;
using Caption = veltrim::cNeoCaption;  // the generated header declares the coclass at global scope

namespace {

constexpr HRESULT kLibraryError = static_cast<HRESULT>(0x80040619u);
constexpr int kW = 320, kH = 240;

// Artwork whose every pixel tells where it came from: caption 200 x 30
// (left end 20, tile 21..40, right end 40..60, 10 x 10 glyphs from x 60 in a
// normal and a pressed row), border 28 x 4 (seven 4-pixel tiles).
COLORREF CaptionArt(int x, int y) { return RGB(x, 40 + y * 4, 100); }
COLORREF BorderArt(int x, int y) { return RGB(200 + y, x * 8, 50); }

ScopedComPtr<_cSkinConfiguration> TestSkin(int borderHeight = 4) {
    ScopedComPtr<_cSkinConfiguration> s(static_cast<_cSkinConfiguration*>(new veltrim::cSkinConfiguration()));
    s->put_ButtonWidth(10);
    s->put_ButtonHeight(10);
    s->put_ActiveLeftEnd(20);
    s->put_ActiveRightStart(40);
    s->put_ActiveRightEnd(60);
    s->put_InactiveOffset(100);
    s->putref_Caption(px::test::ArtPicture(200, 30, CaptionArt).get());
    s->putref_Borders(px::test::ArtPicture(28, borderHeight, BorderArt).get());
    return s;
}

// What the frame of a kW x kH window with all three buttons shows at x, y;
// nullopt inside the client area.
std::optional<COLORREF> ExpectedFrame(int x, int y) {
    if (y < 30) {
        if (x >= 288 && x < 298 && y >= 5 && y < 15) return CaptionArt(90 + x - 288, y - 5);  // minimise
        if (x >= 299 && x < 309 && y >= 5 && y < 15) return CaptionArt(80 + x - 299, y - 5);  // maximise
        if (x >= 310 && x < 320 && y >= 5 && y < 15) return CaptionArt(60 + x - 310, y - 5);  // close
        if (x < 20) return CaptionArt(x, y);
        if (x >= 300) return CaptionArt(40 + x - 300, y);
        return CaptionArt(21 + (x - 20) % 20, y);
    }
    if (y >= kH - 4) {
        if (x < 4) return BorderArt(8 + x, y - (kH - 4));
        if (x >= kW - 4) return BorderArt(24 + x - (kW - 4), y - (kH - 4));
        return BorderArt(12 + (x - 4) % 4, y - (kH - 4));
    }
    if (x < 4) return BorderArt(x, (y - 30) % 4);
    if (x >= kW - 4) return BorderArt(16 + x - (kW - 4), (y - 30) % 4);
    return std::nullopt;
}

// The pixels of a w x h area of a DC as 0x00RRGGBB-free COLORREFs.
std::vector<COLORREF> Grab(HDC from, int x, int y, int w, int h) {
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
    void* bits = nullptr;
    px::win::ScopedBitmap dib(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    px::win::AutoDeleteDC mem(::CreateCompatibleDC(from));
    {
        px::win::ScopedSelectObject sel(mem.get(), dib.get());
        ::BitBlt(mem.get(), 0, 0, w, h, from, x, y, SRCCOPY);
    }
    std::vector<COLORREF> out(static_cast<size_t>(w) * h);
    auto* p = static_cast<const uint32_t*>(bits);
    for (size_t i = 0; i < out.size(); ++i) out[i] = RGB((p[i] >> 16) & 0xFF, (p[i] >> 8) & 0xFF, p[i] & 0xFF);
    return out;
}

// The screenshot as a 32-bit bitmap file in the test artefacts (or the current folder).
void SaveShot(const std::vector<COLORREF>& shot, int w, int h, const char* name) {
    const char* dir = std::getenv("PIXTREL_ARTEFACTS");
    std::string path = dir && *dir ? std::string(dir) + "\\" + name : name;
    BITMAPINFOHEADER info{sizeof info, w, -h, 1, 32, BI_RGB};
    const DWORD bytes = static_cast<DWORD>(shot.size() * 4);
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof file + sizeof info + bytes), 0, 0,
                          static_cast<DWORD>(sizeof file + sizeof info)};
    std::vector<uint32_t> px(shot.size());
    for (size_t i = 0; i < shot.size(); ++i)
        px[i] = GetRValue(shot[i]) << 16 | GetGValue(shot[i]) << 8 | GetBValue(shot[i]);
    if (FILE* f = std::fopen(path.c_str(), "wb")) {
        std::fwrite(&file, sizeof file, 1, f);
        std::fwrite(&info, sizeof info, 1, f);
        std::fwrite(px.data(), 4, px.size(), f);
        std::fclose(f);
    }
}

std::vector<COLORREF> Screenshot(HWND hwnd) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    px::test::PumpPending();
    RECT r{};
    ::GetWindowRect(hwnd, &r);
    px::win::ScopedGetDC screen(nullptr);
    return Grab(screen, r.left, r.top, r.right - r.left, r.bottom - r.top);
}

// Answers Unload with Cancel when asked to.
class UnloadSink final : public IDispatch {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IDispatch || iid == DIID___cNeoCaption) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id == 1) {
            ++unloads;
            if (cancel && params->cArgs == 1 && params->rgvarg[0].vt == (VT_BOOL | VT_BYREF))
                *params->rgvarg[0].pboolVal = VARIANT_TRUE;
        }
        return S_OK;
    }
    long refs = 1;
    bool cancel = true;
    int unloads = 0;
};

LRESULT CALLBACK TestProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) { return ::DefWindowProcW(hwnd, msg, wp, lp); }

HWND MakeWindow(const wchar_t* title, DWORD exStyle = 0) {
    static bool registered = false;
    if (!registered) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = TestProc;
        wc.hInstance = ::GetModuleHandleW(nullptr);
        wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
        wc.lpszClassName = L"VeltrimCaptionTest";
        ::RegisterClassW(&wc);
        registered = true;
    }
    HWND hwnd = ::CreateWindowExW(exStyle, L"VeltrimCaptionTest", title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 120, 90,
                                  kW, kH, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ::SetForegroundWindow(hwnd);
    px::test::PumpPending();
    return hwnd;
}

size_t Subscriptions() {
    auto* r = veltrim::SubclassRegistry::ExistingForThread();
    return r ? r->SubscriptionCount() : 0;
}

class CaptionPainter : public ::testing::Test {
protected:
    void SetUp() override {
        hwnd_ = MakeWindow(L"");
        form_ = std::make_unique<FormStub>(hwnd_);
    }
    void TearDown() override {
        caption_.reset();
        if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    ScopedComPtr<Caption> caption_{new Caption()};
    HWND hwnd_ = nullptr;
    std::unique_ptr<FormStub> form_;
};

void ExpectFrame(const std::vector<COLORREF>& shot, const char* when) {
    int wrong = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const auto want = ExpectedFrame(x, y);
            if (want && shot[static_cast<size_t>(y) * kW + x] != *want && ++wrong <= 5)
                ADD_FAILURE() << when << ": pixel " << x << "," << y << " is " << std::hex
                              << shot[static_cast<size_t>(y) * kW + x] << ", artwork " << *want;
        }
    EXPECT_EQ(wrong, 0) << when;
}

}  // namespace

TEST_F(CaptionPainter, TheFrameOnScreenIsTheArtworkAtTheComputedPlaces) {
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    auto shot = Screenshot(hwnd_);
    ASSERT_EQ(shot.size(), static_cast<size_t>(kW) * kH);
    SaveShot(shot, kW, kH, "CaptionPainter.bmp");
    ExpectFrame(shot, "attached");
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    EXPECT_EQ(client.right, kW - 4 - 4);  // margins 4 and 3, plus the manager's extra pixel
    EXPECT_EQ(client.bottom, kH - 30 - 4);
    EXPECT_EQ(shot[static_cast<size_t>(kH / 2) * kW + kW / 2], RGB(255, 255, 255));  // the client is the window's
    ::SetWindowTextW(hwnd_, L"");
    ExpectFrame(Screenshot(hwnd_), "after SetWindowText");
}

// The first attach recalculates the frame once: taking the menu off the window
// does it already, and what it leaves is the frame a forced recalculation gives.
TEST_F(CaptionPainter, TheFirstAttachRecalculatesTheFrameOnceWithOrWithoutAMenu) {
    auto skin = TestSkin();
    for (bool withMenu : {true, false}) {
        HMENU menu = nullptr;
        if (withMenu) {
            menu = ::CreateMenu();
            ::AppendMenuW(menu, MF_STRING, 1, L"&File");
            ::SetMenu(hwnd_, menu);
        }
        px::test::MessageTally tally(hwnd_);
        ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
        EXPECT_EQ(tally.Counts().frameChanged, 1) << "menu " << withMenu << ": " << tally.Counts().ToString();
        RECT attached{}, recalculated{};
        ::GetClientRect(hwnd_, &attached);
        ::SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
        ::GetClientRect(hwnd_, &recalculated);
        EXPECT_EQ(attached.right, recalculated.right) << "menu " << withMenu;
        EXPECT_EQ(attached.bottom, recalculated.bottom) << "menu " << withMenu;
        EXPECT_LT(attached.bottom, kH - 30) << "menu " << withMenu;  // the skin's frame, not the system's
        ASSERT_EQ(caption_->Detach(), S_OK);
        if (withMenu) {
            EXPECT_EQ(::GetMenu(hwnd_), menu);
            ::SetMenu(hwnd_, nullptr);
            ::DestroyMenu(menu);
        }
    }
}

TEST_F(CaptionPainter, ASkinSampleEqualsTheWindowsOwnFrame) {
    ::SetWindowTextW(hwnd_, L"Sample title");
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    const auto shot = Screenshot(hwnd_);
    px::win::ScopedGetDC screen(nullptr);
    px::win::MemoryBitmapDC mem(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, kW, kH)));
    ASSERT_EQ(Caption::DrawSample(skin.get(), hwnd_, mem.dc(), 0, 0, kW, kH, true), S_OK);
    const auto sample = Grab(mem.dc(), 0, 0, kW, kH);
    int wrong = 0, titlePixels = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const size_t i = static_cast<size_t>(y) * kW + x;
            if (!ExpectedFrame(x, y)) continue;
            wrong += sample[i] != shot[i];
            titlePixels += y < 30 && shot[i] != *ExpectedFrame(x, y);
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_GT(titlePixels, 20);  // the title is drawn, in both
    // The inside of a sample is the menu background.
    EXPECT_EQ(sample[static_cast<size_t>(kH / 2) * kW + kW / 2], RGB(255, 255, 255));
}

TEST_F(CaptionPainter, AttachingTwiceKeepsOneSubclassOneHookOneManager) {
    const size_t before = Subscriptions();
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    const size_t once = Subscriptions();
    veltrim::cNCCalcSize* manager = caption_->Manager();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(caption_->Attach2(form_.get(), TestSkin().get()), S_OK);
    EXPECT_EQ(Subscriptions(), once);
    EXPECT_GT(once, before);
    EXPECT_EQ(caption_->Manager(), manager);
    EXPECT_TRUE(veltrim::KeyboardHookInstalled());
    EXPECT_EQ(::GetPropW(hwnd_, veltrim::kImplementationProperty),
              static_cast<HANDLE>(static_cast<_INCAreaModifier*>(caption_.get())));
    caption_->Detach();
    EXPECT_EQ(Subscriptions(), before);
    EXPECT_EQ(::GetPropW(hwnd_, veltrim::kImplementationProperty), nullptr);
    EXPECT_FALSE(veltrim::KeyboardHookInstalled());
}

TEST_F(CaptionPainter, AZeroBorderIsRefusedWithoutAHang) {
    auto skin = TestSkin(1);
    skin->put_BorderHasInactiveVersion(VARIANT_TRUE);  // half of one pixel: a zero tile
    EXPECT_EQ(caption_->Attach2(form_.get(), skin.get()), kLibraryError);
    EXPECT_EQ(caption_->Manager(), nullptr);
    EXPECT_EQ(::GetPropW(hwnd_, veltrim::kImplementationProperty), nullptr);
    // A skin without pictures changes nothing.
    ScopedComPtr<_cSkinConfiguration> bare(static_cast<_cSkinConfiguration*>(new veltrim::cSkinConfiguration()));
    EXPECT_EQ(caption_->Attach2(form_.get(), bare.get()), S_OK);
    EXPECT_EQ(caption_->Manager(), nullptr);
}

std::wstring LastErrorDescription() {
    ScopedComPtr<IErrorInfo> info;
    px::win::ScopedBstr description;
    if (::GetErrorInfo(0, info.put()) == S_OK && info) info->GetDescription(description.put());
    return std::wstring(description.view());
}

// A value set through a property bypasses Restore's check: Attach refuses it with Restore's own text.
TEST_F(CaptionPainter, ValuesBeyondTheLimitAreRefusedNamingTheValueAsRestoreDoes) {
    struct Case {
        HRESULT (STDMETHODCALLTYPE _cSkinConfiguration::*put)(long);
        long value;
        const wchar_t* stored;
    } cases[] = {
        {&_cSkinConfiguration::put_ButtonWidth, 1 << 21, L"<Buttons buttonWidth=\"2097152\"/>"},
        {&_cSkinConfiguration::put_MenuStartOffsetX, -(1 << 20) - 1, L"<Menu menuStartOffsetX=\"-1048577\"/>"},
        {&_cSkinConfiguration::put_ControlButtonOffsetY, INT32_MIN, L"<Buttons controlButtonOffsetY=\"-2147483648\"/>"},
    };
    for (const Case& c : cases) {
        ScopedComPtr<_cSkinConfiguration> restored(static_cast<_cSkinConfiguration*>(new veltrim::cSkinConfiguration()));
        px::win::ScopedBstr xml{std::wstring(L"<NeoCaptionSkin>") + c.stored + L"</NeoCaptionSkin>"};
        ASSERT_EQ(restored->Restore(xml.get(), nullptr, nullptr), kLibraryError) << c.stored;
        const std::wstring restoreText = LastErrorDescription();
        ASSERT_NE(restoreText.find(std::to_wstring(c.value)), std::wstring::npos) << restoreText;

        auto skin = TestSkin();
        (skin.get()->*c.put)(c.value);
        EXPECT_EQ(caption_->Attach2(form_.get(), skin.get()), kLibraryError) << c.value;
        EXPECT_EQ(LastErrorDescription(), restoreText);
        EXPECT_EQ(caption_->Manager(), nullptr);
    }
    // The limit itself is drawn.
    auto skin = TestSkin();
    skin->put_MenuStartOffsetX(-(1 << 20));
    EXPECT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    EXPECT_NE(caption_->Manager(), nullptr);
}

TEST_F(CaptionPainter, CloseRaisesUnloadACancelKeepsTheWindowThenItCloses) {
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    ScopedComPtr<IConnectionPoint> point;
    ASSERT_EQ(caption_->FindConnectionPoint(DIID___cNeoCaption, point.put()), S_OK);
    UnloadSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    const LPARAM onClose = MAKELPARAM(r.left + 314, r.top + 9);
    EXPECT_EQ(::SendMessageW(hwnd_, WM_NCHITTEST, 0, onClose), HTSYSMENU);
    auto click = [&] {
        ::SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTSYSMENU, onClose);
        ::SendMessageW(hwnd_, WM_NCLBUTTONUP, HTSYSMENU, onClose);
        px::test::PumpUntil([&] { return !::IsWindow(hwnd_); }, 300);
    };
    click();
    EXPECT_EQ(sink.unloads, 1);
    EXPECT_TRUE(::IsWindow(hwnd_));
    EXPECT_NE(caption_->Manager(), nullptr);
    // A release over the button without a press there is no click.
    ::SendMessageW(hwnd_, WM_NCLBUTTONUP, HTSYSMENU, onClose);
    EXPECT_EQ(sink.unloads, 1);
    sink.cancel = false;
    click();
    EXPECT_EQ(sink.unloads, 2);
    EXPECT_FALSE(::IsWindow(hwnd_));
    point->Unadvise(cookie);
}

TEST_F(CaptionPainter, MaximiseShowsTheRestoreGlyph) {
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    const LPARAM onMax = MAKELPARAM(r.left + 303, r.top + 9);
    ::SendMessageW(hwnd_, WM_NCLBUTTONDOWN, HTSYSMENU, onMax);
    ::SendMessageW(hwnd_, WM_NCLBUTTONUP, HTSYSMENU, onMax);
    ASSERT_TRUE(px::test::PumpUntil([&] { return ::IsZoomed(hwnd_) != FALSE; }, 2000));
    ::GetWindowRect(hwnd_, &r);
    const int w = r.right - r.left;
    ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    px::test::PumpPending();
    // The maximised frame reaches past the screen's edges: read it through the window's own DC.
    px::win::ScopedWindowDC dc(hwnd_);
    const int cellLeft = w - 21;  // the close cell ends one pixel past the window's right, 11 wide each
    EXPECT_EQ(::GetPixel(dc.get(), cellLeft + 3, 9), CaptionArt(70 + 3, 4));  // the restore glyph
    EXPECT_EQ(::GetPixel(dc.get(), w - 10 + 3, 9), CaptionArt(60 + 3, 4));    // close stays
    caption_->Detach();
}

TEST_F(CaptionPainter, TheColourKeyAndTheClientsOwnLayeredStyle) {
    auto skin = TestSkin();
    skin->put_TransparentColor(RGB(1, 2, 3));
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    EXPECT_TRUE(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED);
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(::GetLayeredWindowAttributes(hwnd_, &key, nullptr, &flags));
    EXPECT_EQ(key, RGB(1, 2, 3));
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));
    skin->put_TransparentColor(static_cast<OLE_COLOR>(-1));
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    EXPECT_FALSE(::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE) & WS_EX_LAYERED);  // the library's own style goes
    caption_->Detach();

    HWND layered = MakeWindow(L"", WS_EX_LAYERED);
    FormStub form(layered);
    ScopedComPtr<Caption> other(new Caption());
    ASSERT_EQ(other->Attach2(&form, skin.get()), S_OK);
    EXPECT_TRUE(::GetWindowLongPtrW(layered, GWL_EXSTYLE) & WS_EX_LAYERED);  // the client's own stays
    other->Detach();
    EXPECT_TRUE(::GetWindowLongPtrW(layered, GWL_EXSTYLE) & WS_EX_LAYERED);
    ::DestroyWindow(layered);
}

TEST_F(CaptionPainter, SkinConfigurationGivesTheOriginalColoursSoReattachingRecoloursOnce) {
    auto skin = TestSkin();
    skin->put_Colourise(VARIANT_TRUE);
    skin->put_Hue(3.5f);
    skin->put_Saturation(0.6f);
    skin->put_ActiveCaptionColor(RGB(200, 40, 40));
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    const auto first = Screenshot(hwnd_);
    ScopedComPtr<_cSkinConfiguration> back;
    ASSERT_EQ(caption_->get_SkinConfiguration(back.put()), S_OK);
    OLE_COLOR colour = 0;
    back->get_ActiveCaptionColor(&colour);
    EXPECT_EQ(colour, RGB(200, 40, 40));
    for (int i = 0; i < 3; ++i) ASSERT_EQ(caption_->Attach2(form_.get(), back.get()), S_OK);
    EXPECT_EQ(Screenshot(hwnd_), first);
    EXPECT_NE(first[5 * kW + 5], CaptionArt(5, 5));  // it was recoloured at all
}

TEST_F(CaptionPainter, TwoHundredReskinsAndFiftyAttachCyclesLeakNothing) {
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    Screenshot(hwnd_);
    const long gdi = px::test::GdiObjectCount();
    for (int i = 0; i < 200; ++i) ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    Screenshot(hwnd_);
    EXPECT_EQ(px::test::GdiObjectCount(), gdi);
    caption_->Detach();
    const long detached = px::test::GdiObjectCount();
    const size_t subs = Subscriptions();
    for (int i = 0; i < 50; ++i) {
        ScopedComPtr<Caption> c(new Caption());
        ASSERT_EQ(c->Attach2(form_.get(), skin.get()), S_OK);
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        if (i % 2) c->Detach();  // the final release detaches the others
    }
    EXPECT_EQ(px::test::GdiObjectCount(), detached);
    EXPECT_EQ(Subscriptions(), subs);
    EXPECT_FALSE(veltrim::KeyboardHookInstalled());
}

TEST_F(CaptionPainter, Timings) {
    ::SetWindowTextW(hwnd_, L"Timing title");
    ::SetWindowPos(hwnd_, nullptr, 0, 0, 3840, 600, SWP_NOZORDER | SWP_NOMOVE);
    px::test::PumpPending();
    using Clock = std::chrono::steady_clock;
    auto median = [](int n, const std::function<void()>& f) {
        std::vector<double> ms;
        for (int i = 0; i < n; ++i) {
            auto t = Clock::now();
            f();
            ms.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t).count());
        }
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    };
    auto repaint = [&] { ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW); };
    const double system = median(50, repaint);
    auto skin = TestSkin();
    const double attach = median(1, [&] { caption_->Attach2(form_.get(), skin.get()); });
    const double reskin = median(20, [&] { caption_->Attach2(form_.get(), skin.get()); });
    const double skinned = median(50, repaint);
    px::win::ScopedWindowDC dc(hwnd_);
    const double frameOnly = median(50, [&] { caption_->NCPaint(static_cast<long>(reinterpret_cast<LONG_PTR>(dc.get())), 0, 0, 3840, 600); });
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    // The screen limits the window's width; the same painter into a 3840-wide surface.
    px::win::ScopedGetDC screen(nullptr);
    px::win::MemoryBitmapDC wide(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, 3840, 600)));
    const double at3840 = median(50, [&] { caption_->PaintFrame(wide.dc(), 0, 0, 3840, 600, true, hwnd_, nullptr, false); });
    std::printf("[ caption  ] window %ld wide: system frame and client repaint %.3f ms, skinned %.3f ms, frame paint "
                "alone %.3f ms; frame paint at 3840 x 600 %.3f ms; Attach2 %.2f ms, re-skin %.2f ms\n",
                r.right - r.left, system, skinned, frameOnly, at3840, attach, reskin);
}

TEST_F(CaptionPainter, PaintTakesAMenuHandleAndRefusesAnythingElse) {
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    px::win::ScopedGetDC screen(nullptr);
    px::win::MemoryBitmapDC mem(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, kW, kH)));
    const long hdc = static_cast<long>(reinterpret_cast<LONG_PTR>(mem.dc()));
    long left = 0, top = 0, w = kW, h = kH;
    px::win::ScopedVariant menu;
    menu.get().vt = VT_I4;
    menu.get().lVal = 0;
    ASSERT_EQ(caption_->Paint(hdc, &left, &top, &w, &h, menu.get()), S_OK);
    EXPECT_EQ(left, 4);  // the area inside the frame
    EXPECT_EQ(top, 30);
    EXPECT_EQ(w, kW - 8);
    EXPECT_EQ(h, kH - 34);
    const auto painted = Grab(mem.dc(), 0, 0, kW, kH);
    EXPECT_EQ(painted[5 * kW + 5], CaptionArt(5, 5));
    EXPECT_EQ(painted[static_cast<size_t>(kH - 1) * kW + 1], BorderArt(9, 3));

    px::win::ScopedVariant text;
    text.get().vt = VT_BSTR;
    text.get().bstrVal = ::SysAllocString(L"File");
    EXPECT_EQ(caption_->Paint(hdc, &left, &top, &w, &h, text.get()), kLibraryError);
    ScopedComPtr<IErrorInfo> info;
    ASSERT_EQ(::GetErrorInfo(0, info.put()), S_OK);
    px::win::ScopedBstr description, source;
    info->GetDescription(description.put());
    info->GetSource(source.put());
    EXPECT_STREQ(description.get(), L"Invalid Menu Parameter: must be hMenu or cPopupMenu object");
    EXPECT_STREQ(source.get(), L"win_tests.cNeoCaption");
}

TEST_F(CaptionPainter, ActivationChangesPaintTheInactiveColumnsAndLeakNothing) {
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    HWND other = MakeWindow(L"other");
    ::SetWindowPos(other, nullptr, 700, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    px::test::PumpPending();
    auto shot = Screenshot(hwnd_);
    EXPECT_EQ(shot[5 * kW + 5], CaptionArt(100 + 5, 5));  // the inactive caption lies 100 further right
    EXPECT_EQ(shot[5 * kW + 311], CaptionArt(61, 0));     // glyphs without an inactive version stay
    ::SetForegroundWindow(hwnd_);
    px::test::PumpPending();
    const long gdi = px::test::GdiObjectCount();
    for (int i = 0; i < 100; ++i) {
        ::SetForegroundWindow(i % 2 ? hwnd_ : other);
        px::test::PumpPending();
    }
    EXPECT_EQ(px::test::GdiObjectCount(), gdi);
    shot = Screenshot(hwnd_);
    EXPECT_EQ(shot[5 * kW + 5], CaptionArt(5, 5));
    ::DestroyWindow(other);
}

namespace {

// A skinned window with three static children and a second window beside it
// (not overlapping, so nothing is uncovered by a change of the active window).
struct WindowWithChildren {
    explicit WindowWithChildren(HWND hwnd) : other(MakeWindow(L"other")) {
        ::SetWindowPos(other, nullptr, 700, 400, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        for (int i = 0; i < 3; ++i)
            ::CreateWindowExW(0, L"STATIC", L"label", WS_CHILD | WS_VISIBLE | SS_LEFT, 10, 10 + 30 * i, 120, 20, hwnd,
                              nullptr, ::GetModuleHandleW(nullptr), nullptr);
    }
    ~WindowWithChildren() { ::DestroyWindow(other); }
    HWND other;
};

bool ActivateAndWait(HWND hwnd) {
    ::SetForegroundWindow(hwnd);
    const bool done = px::test::PumpUntil([&] { return ::GetForegroundWindow() == hwnd; });
    px::test::PumpPending();
    return done;
}

// Hidden and shown again (as around a capture) until the window is back in front and painted.
px::test::MessageCounts HideAndShow(HWND hwnd) {
    px::test::MessageTally tally(hwnd);
    ::ShowWindow(hwnd, SW_HIDE);
    px::test::PumpPending();
    ::ShowWindow(hwnd, SW_SHOW);
    EXPECT_TRUE(ActivateAndWait(hwnd));
    ::UpdateWindow(hwnd);
    px::test::PumpPending();
    return tally.Counts();
}

}  // namespace

TEST_F(CaptionPainter, AnActivationChangeRepaintsTheFrameAloneAndAShowNoMoreThanTheSystemFrame) {
    WindowWithChildren w(hwnd_);
    ASSERT_TRUE(ActivateAndWait(hwnd_));
    const px::test::MessageCounts system = HideAndShow(hwnd_);
    ASSERT_GT(system.childPaint, 0);  // the tally sees the children being painted

    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    ASSERT_TRUE(ActivateAndWait(hwnd_));
    {
        px::test::MessageTally tally(hwnd_);
        ASSERT_TRUE(tally.Hooked());
        for (int i = 0; i < 10; ++i) ASSERT_TRUE(ActivateAndWait(i % 2 ? hwnd_ : w.other));
        const px::test::MessageCounts c = tally.Counts();
        EXPECT_EQ(c.ncActivate, 10) << c.ToString();
        EXPECT_EQ(c.paint + c.childPaint + c.erase + c.childErase, 0) << c.ToString();
        EXPECT_EQ(c.frameChanged + c.style, 0) << c.ToString();
    }
    // The frame still follows: the active caption after the last change.
    auto shot = Screenshot(hwnd_);
    EXPECT_EQ(shot[5 * kW + 5], CaptionArt(5, 5));

    const px::test::MessageCounts skinned = HideAndShow(hwnd_);
    EXPECT_LE(skinned.childPaint, system.childPaint) << skinned.ToString() << " / " << system.ToString();
    EXPECT_LE(skinned.paint, system.paint) << skinned.ToString() << " / " << system.ToString();
    EXPECT_EQ(skinned.frameChanged, 0) << skinned.ToString();
}

namespace {
// The menu the window holds when its last message comes.
LRESULT CALLBACK RecordMenuAtNcDestroy(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR data) {
    if (msg == WM_NCDESTROY) *reinterpret_cast<HMENU*>(data) = ::GetMenu(hwnd);
    return ::DefSubclassProc(hwnd, msg, wp, lp);
}
}  // namespace

TEST_F(CaptionPainter, DestroyedWhileSkinnedTheWindowGetsItsMenuBackAndDestroysIt) {
    HMENU menu = ::CreateMenu();
    ::AppendMenuW(menu, MF_STRING, 1, L"&File");
    ::SetMenu(hwnd_, menu);
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    ASSERT_EQ(::GetMenu(hwnd_), nullptr);  // the band draws it meanwhile
    HMENU atEnd = nullptr;
    ASSERT_TRUE(::SetWindowSubclass(hwnd_, &RecordMenuAtNcDestroy, 1, reinterpret_cast<DWORD_PTR>(&atEnd)));
    ::DestroyWindow(hwnd_);
    EXPECT_EQ(atEnd, menu);
    EXPECT_FALSE(::IsMenu(menu));  // went with the window, not left behind
    caption_->Detach();  // a later detach finds nothing to give back
    EXPECT_FALSE(::IsMenu(menu));
}

TEST_F(CaptionPainter, TheCursorOverTheClientAreaChangesNoStyleOverTheFrameTheVisibleBitIsGuarded) {
    WindowWithChildren w(hwnd_);
    auto skin = TestSkin();
    ASSERT_EQ(caption_->Attach2(form_.get(), skin.get()), S_OK);
    px::test::PumpPending();
    px::test::MessageTally tally(hwnd_);
    ::SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
    EXPECT_EQ(tally.Counts().style, 0) << tally.Counts().ToString();
    ::SendMessageW(hwnd_, WM_SETCURSOR, reinterpret_cast<WPARAM>(hwnd_), MAKELPARAM(HTCAPTION, WM_MOUSEMOVE));
    EXPECT_EQ(tally.Counts().style, 2) << tally.Counts().ToString();  // off for the default handling, then on
    EXPECT_TRUE(::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_VISIBLE);
    EXPECT_EQ(::GetMenu(hwnd_), nullptr);
}
