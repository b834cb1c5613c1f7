// The main window in its skin, in-process: the library's classes are offered
// through registered class objects, so the window creates them through COM as
// the program does and the test can look at the subclass registry and the
// keyboard hook. The skin values and their order, the margins and the first
// size, re-skins keeping one subclass, hook and manager, a refused skin, the
// colour key, no leaks over re-skins and activation changes, and the close
// button's Unload event with Cancel. scripts/test.sh runs these in a process of
// their own: the last one unloads the main window and with it the program's
// windows.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <string>

#include "app/frmDesktopImage.h"
#include "base/Text.h"
#include "base/win/ScopedWin.h"
#include "skin/KeyboardHook.h"
#include "skin/Module.h"
#include "skin/Server.h"
#include "skin/SubTimer.h"
#include "skin/cNCCalcSize.h"
#include "skin/cNeoCaption.h"
#include "skin/cSkinConfiguration.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"
#include "tests/win/support/MessageTally.h"

namespace px {
namespace {

using test::PumpPending;
using test::PumpUntil;
using win::ScopedComPtr;

constexpr HRESULT kLibraryError = static_cast<HRESULT>(0x80040619u);
constexpr int kCaptionHeight = 40, kTile = 6;
constexpr COLORREF kSideColour = RGB(243, 244, 246);

size_t Subscriptions() {
    auto* r = veltrim::SubclassRegistry::ExistingForThread();
    return r ? r->SubscriptionCount() : 0;
}

// The two creatable classes the main window asks for, registered for this process.
class RegisteredClasses {
public:
    RegisteredClasses() {
        for (const CLSID* clsid : {&CLSID_cNeoCaption, &CLSID_cSkinConfiguration}) {
            ScopedComPtr<IUnknown> factory;
            EXPECT_EQ(veltrim::GetClassObject(*clsid, IID_IUnknown, reinterpret_cast<void**>(factory.put())), S_OK);
            DWORD cookie = 0;
            EXPECT_EQ(::CoRegisterClassObject(*clsid, factory.get(), CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
                      S_OK);
            cookies_[count_++] = cookie;
        }
    }
    ~RegisteredClasses() {
        for (int i = 0; i < count_; ++i) ::CoRevokeClassObject(cookies_[i]);
    }

private:
    DWORD cookies_[2] = {};
    int count_ = 0;
};

// Answers Unload with Cancel while `cancel` is set.
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
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        if (id != 1) return S_OK;
        ++unloads;
        windowAtUnload = ::IsWindow(frmDesktopImage::Get().hwnd()) != FALSE;
        if (cancel && params->cArgs == 1 && params->rgvarg[0].vt == (VT_BOOL | VT_BYREF))
            *params->rgvarg[0].pboolVal = VARIANT_TRUE;
        return S_OK;
    }
    long refs = 1;
    bool cancel = true, windowAtUnload = false;
    int unloads = 0;
};

LRESULT CALLBACK BackdropProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_ERASEBKGND) {
        RECT r;
        ::GetClientRect(hwnd, &r);
        win::ScopedBrush brush(::CreateSolidBrush(RGB(200, 30, 160)));
        ::FillRect(reinterpret_cast<HDC>(wp), &r, brush.get());
        return 1;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

// A plain window without a minimum size, for frames narrower than any the main window takes.
LRESULT CALLBACK PlainProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_GETMINMAXINFO) {
        reinterpret_cast<MINMAXINFO*>(lp)->ptMinTrackSize = POINT{1, 1};
        return 0;
    }
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

void RegisterTestClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    WNDCLASSW wc{};
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpfnWndProc = BackdropProc;
    wc.lpszClassName = L"PixtrelSkinBackdrop";
    ::RegisterClassW(&wc);
    wc.lpfnWndProc = PlainProc;
    wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = L"PixtrelSkinPlain";
    ::RegisterClassW(&wc);
}

// A plain magenta window, the thing that lies behind the main window.
win::ScopedHwnd Backdrop(const RECT& at) {
    RegisterTestClasses();
    return win::ScopedHwnd(::CreateWindowExW(WS_EX_TOOLWINDOW, L"PixtrelSkinBackdrop", L"", WS_POPUP | WS_VISIBLE,
                                             at.left, at.top, at.right - at.left, at.bottom - at.top, nullptr,
                                             nullptr, ::GetModuleHandleW(nullptr), nullptr));
}

COLORREF ScreenPixel(POINT p) {
    win::ScopedGetDC screen(nullptr);
    return ::GetPixel(screen, p.x, p.y);
}

class MainWindowSkin : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        classes_ = new RegisteredClasses();
        // The load is watched when this suite is the first to load the window (its own process).
        frmDesktopImage& form = frmDesktopImage::Get();
        if (form.IsLoaded()) return;
        test::MessageTally tally([] { return frmDesktopImage::Get().hwnd(); });
        form.Load();
        load_ = tally.Counts();
        loadWatched_ = true;
    }
    static void TearDownTestSuite() {
        delete classes_;
        classes_ = nullptr;
    }
    void SetUp() override {
        form_.ShowNormal();
        // Loaded before the classes were registered (by another test in this process): attach now.
        if (!form_.Skin().Attached()) form_.AttachSkin();
        ASSERT_TRUE(form_.Skin().Attached()) << px::Narrow(form_.Skin().Failure()) << " loaded " << form_.IsLoaded();
        ::RedrawWindow(form_.hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpPending();
    }
    veltrim::cNeoCaption* Painter() { return static_cast<veltrim::cNeoCaption*>(form_.Skin().Caption()); }
    _cSkinConfiguration* Skin() { return form_.Skin().Skin(); }
    HWND hwnd() { return form_.hwnd(); }
    frmDesktopImage& form_ = frmDesktopImage::Get();
    static RegisteredClasses* classes_;
    static inline test::MessageCounts load_;
    static inline bool loadWatched_ = false;
};
RegisteredClasses* MainWindowSkin::classes_ = nullptr;

// The window loads hidden: its controls and its skin go on unseen, and the
// skin costs one frame recalculation (the menu taken off) besides the resize
// that keeps the client area.
TEST_F(MainWindowSkin, TheWindowLoadsUnseenAndTheSkinRecalculatesTheFrameOnce) {
    if (!loadWatched_) GTEST_SKIP() << "the window was loaded before this suite";
    EXPECT_EQ(load_.shown, 0) << load_.ToString();
    EXPECT_EQ(load_.paint + load_.childPaint + load_.erase + load_.childErase + load_.ncPaint, 0) << load_.ToString();
    EXPECT_GE(load_.frameChanged, 1) << load_.ToString();  // the tally sees the frame change
    EXPECT_LE(load_.frameChanged, 2) << load_.ToString();
}

TEST_F(MainWindowSkin, TheSkinHoldsTheWindowsValuesAndTheFrameKeepsTheClientSize) {
    _cSkinConfiguration* s = Skin();
    using LongGet = HRESULT (STDMETHODCALLTYPE _cSkinConfiguration::*)(long*);
    using ColourGet = HRESULT (STDMETHODCALLTYPE _cSkinConfiguration::*)(OLE_COLOR*);
    const struct {
        const char* name;
        LongGet get;
        long want;
    } longs[] = {{"MenuStartOffsetX", &_cSkinConfiguration::get_MenuStartOffsetX, -20},
                 {"TopSizingBorderHeight", &_cSkinConfiguration::get_TopSizingBorderHeight, 15},
                 {"LeftBorderWidth", &_cSkinConfiguration::get_LeftBorderWidth, 1},
                 {"RightBorderWidth", &_cSkinConfiguration::get_RightBorderWidth, 1},
                 {"ButtonWidth", &_cSkinConfiguration::get_ButtonWidth, 19},
                 {"ButtonHeight", &_cSkinConfiguration::get_ButtonHeight, 20},
                 {"ActiveLeftEnd", &_cSkinConfiguration::get_ActiveLeftEnd, 20},
                 {"ActiveRightStart", &_cSkinConfiguration::get_ActiveRightStart, 775},
                 {"ActiveRightEnd", &_cSkinConfiguration::get_ActiveRightEnd, 779}};
    for (const auto& row : longs) {
        long v = 0;
        EXPECT_EQ((s->*row.get)(&v), S_OK) << row.name;
        EXPECT_EQ(v, row.want) << row.name;
    }
    const struct {
        const char* name;
        ColourGet get;
        OLE_COLOR want;
    } colours[] = {{"ActiveMenuColor", &_cSkinConfiguration::get_ActiveMenuColor, 0xFFFFFF},
                   {"ActiveMenuColorOver", &_cSkinConfiguration::get_ActiveMenuColorOver, 0xC0FFFF},
                   {"InActiveMenuColor", &_cSkinConfiguration::get_InActiveMenuColor, 0xFFFFFF},
                   {"MenuBackgroundColor", &_cSkinConfiguration::get_MenuBackgroundColor, RGB(115, 142, 172)}};
    for (const auto& row : colours) {
        OLE_COLOR c = 0;
        EXPECT_EQ((s->*row.get)(&c), S_OK) << row.name;
        EXPECT_EQ(c, row.want) << row.name;
    }
    VARIANT_BOOL title = VARIANT_TRUE;
    s->get_DrawTitle(&title);
    EXPECT_EQ(title, VARIANT_FALSE);
    // Both fonts are the window's own face.
    LOGFONTW own{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(::GetDlgItem(hwnd(), frmDesktopImage::IdChkGrid), WM_GETFONT,
                                                        0, 0)),
                 sizeof own, &own);
    for (bool menu : {false, true}) {
        ScopedComPtr<IFontDisp> font;
        ASSERT_EQ(menu ? s->get_MenuFont(font.put()) : s->get_CaptionFont(font.put()), S_OK);
        ASSERT_TRUE(font);
        ScopedComPtr<IFont> f;
        ASSERT_EQ(font->QueryInterface(IID_IFont, reinterpret_cast<void**>(f.put())), S_OK);
        win::ScopedBstr name;
        f->get_Name(name.put());
        EXPECT_EQ(std::wstring(name.get()), std::wstring(own.lfFaceName));
    }
    // The frame: 1-pixel sides, the caption bitmap's height on top, one border tile at the bottom;
    // the client area is the window's designed size.
    const FrameMargins m = form_.Skin().Margins();
    EXPECT_EQ(m.left, 1);
    EXPECT_EQ(m.top, kCaptionHeight);
    EXPECT_EQ(m.right, 1);
    EXPECT_EQ(m.bottom, kTile);
    RECT client{};
    ::GetClientRect(hwnd(), &client);
    EXPECT_EQ(client.right, form_.Scale(960));
    EXPECT_EQ(client.bottom, form_.Scale(620));
    // The minimum size is the minimum client area in the skin's frame.
    MINMAXINFO mmi{};
    ::SendMessageW(hwnd(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
    EXPECT_EQ(mmi.ptMinTrackSize.x, form_.Scale(248 + 640) + 2);
    EXPECT_EQ(mmi.ptMinTrackSize.y, form_.Scale(610) + kCaptionHeight + kTile);
    // The menu went to the skin's frame manager.
    long menu = 0;
    Painter()->Manager()->get_hMenu(&menu);
    EXPECT_NE(menu, 0);
}

TEST_F(MainWindowSkin, ReskinningKeepsOneSubclassOneHookOneManager) {
    const size_t subscriptions = Subscriptions();
    veltrim::cNCCalcSize* manager = Painter()->Manager();
    ASSERT_NE(manager, nullptr);
    ASSERT_EQ(form_.Skin().Reskin(), S_OK);
    ASSERT_EQ(form_.Skin().Reskin(), S_OK);
    EXPECT_EQ(Subscriptions(), subscriptions);
    EXPECT_EQ(Painter()->Manager(), manager);
    EXPECT_TRUE(veltrim::KeyboardHookInstalled());
    EXPECT_EQ(::GetPropW(hwnd(), veltrim::kImplementationProperty),
              static_cast<HANDLE>(static_cast<_INCAreaModifier*>(Painter())));
}

TEST_F(MainWindowSkin, ASkinWithAZeroBorderIsRefusedAndTheWindowKeepsItsSkin) {
    ScopedComPtr<_cSkinConfiguration> bad;
    ASSERT_EQ(Painter()->get_SkinConfiguration(bad.put()), S_OK);
    // A one-pixel border bitmap said to hold an inactive row: tiles of half a pixel.
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 7, -1, 1, 32, BI_RGB};
    void* bits = nullptr;
    PICTDESC pd{};
    pd.cbSizeofstruct = sizeof pd;
    pd.picType = PICTYPE_BITMAP;
    pd.bmp.hbitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    ScopedComPtr<IPictureDisp> thin;
    ASSERT_EQ(::OleCreatePictureIndirect(&pd, IID_IPictureDisp, TRUE, reinterpret_cast<void**>(thin.put())), S_OK);
    bad->putref_Borders(thin.get());
    bad->put_BorderHasInactiveVersion(VARIANT_TRUE);
    EXPECT_EQ(form_.Skin().Reskin(bad.get()), kLibraryError);
    // Still the main window's skin, on the same manager.
    EXPECT_EQ(Painter()->AttachedWindow(), hwnd());
    RECT w{}, c{};
    ::GetWindowRect(hwnd(), &w);
    ::GetClientRect(hwnd(), &c);
    EXPECT_EQ((w.bottom - w.top) - c.bottom, kCaptionHeight + kTile);
    EXPECT_EQ(form_.Skin().Reskin(), S_OK);
}

TEST_F(MainWindowSkin, AColourKeyShowsWhatLiesBehindTheWindow) {
    RECT r{};
    ::GetWindowRect(hwnd(), &r);
    win::ScopedHwnd backdrop = Backdrop(r);
    ::SetWindowPos(backdrop.get(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    ::SetForegroundWindow(hwnd());
    POINT side{8, form_.Scale(300)};  // the options column's background
    ::ClientToScreen(hwnd(), &side);
    ASSERT_TRUE(PumpUntil([&] { return ScreenPixel(side) == kSideColour; }));
    Skin()->put_TransparentColor(kSideColour);
    ASSERT_EQ(form_.Skin().Reskin(), S_OK);
    EXPECT_TRUE(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(side) == RGB(200, 30, 160); }))
        << std::hex << ScreenPixel(side);
    Skin()->put_TransparentColor(static_cast<OLE_COLOR>(-1));
    ASSERT_EQ(form_.Skin().Reskin(), S_OK);
    EXPECT_FALSE(::GetWindowLongPtrW(hwnd(), GWL_EXSTYLE) & WS_EX_LAYERED);
    ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_TRUE(PumpUntil([&] { return ScreenPixel(side) == kSideColour; }));
}

// Pixels of the window's top-left w x h through its own DC with the title colour.
int TitlePixels(HWND hwnd, int w, int h) {
    win::ScopedWindowDC dc(hwnd);
    int n = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) n += ::GetPixel(dc.get(), x, y) == RGB(0xCC, 0xCC, 0xCC);
    return n;
}

// A window object for a plain test window: answers hwnd, late-bound.
class WindowObject final : public IDispatch {
public:
    explicit WindowObject(HWND hwnd) : hwnd_(hwnd) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
        return ::lstrcmpiW(names[0], L"hwnd") == 0 ? (*id = 1, S_OK) : DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (id != 1 || !result) return S_OK;  // Refresh and the rest: nothing to do
        result->vt = VT_I4;
        result->lVal = static_cast<LONG>(reinterpret_cast<LONG_PTR>(hwnd_));
        return S_OK;
    }

private:
    HWND hwnd_;
};

// The main window cannot become that narrow (its minimum size): the main
// window's skin, with its title on, goes on a plain window instead.
TEST_F(MainWindowSkin, AWindowNarrowerThanTheRightEndShowsNoTitle) {
    ScopedComPtr<_cSkinConfiguration> titled;
    ASSERT_EQ(Painter()->get_SkinConfiguration(titled.put()), S_OK);
    titled->put_DrawTitle(VARIANT_TRUE);
    titled->put_ActiveCaptionColor(RGB(0xCC, 0xCC, 0xCC));
    RegisterTestClasses();
    win::ScopedHwnd plain(::CreateWindowExW(0, L"PixtrelSkinPlain", L" Orvo Pixtrel 4.5",
                                            WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 300, 200, nullptr, nullptr,
                                            ::GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(plain);
    WindowObject object(plain.get());
    ScopedComPtr<veltrim::cNeoCaption> painter(new veltrim::cNeoCaption());
    ASSERT_EQ(painter->Attach2(&object, titled.get()), S_OK);
    ::RedrawWindow(plain.get(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_GT(TitlePixels(plain.get(), 200, kCaptionHeight), 20);  // at 300 pixels the title shows
    // Four pixels wide, one less than the right end: the caption still paints, without a title.
    ::SetWindowPos(plain.get(), nullptr, 0, 0, 4, 200, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT narrow{};
    ::GetWindowRect(plain.get(), &narrow);
    ASSERT_EQ(narrow.right - narrow.left, 4);
    ::RedrawWindow(plain.get(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_EQ(TitlePixels(plain.get(), 4, kCaptionHeight), 0);
    painter->Detach();
}

TEST_F(MainWindowSkin, TwoHundredReskinsAndAHundredActivationChangesLeaveTheCountsUnchanged) {
    RECT r{0, 0, 200, 100};
    win::ScopedHwnd other = Backdrop(r);
    ::SetForegroundWindow(hwnd());
    PumpPending();
    ASSERT_EQ(form_.Skin().Reskin(), S_OK);  // every surface the painter grows into exists
    PumpPending();
    const long gdi = test::GdiObjectCount();
    const size_t windows = test::WindowCountOfThisProcess();
    const size_t subscriptions = Subscriptions();
    for (int i = 0; i < 200; ++i) ASSERT_EQ(form_.Skin().Reskin(), S_OK);
    PumpPending();
    EXPECT_EQ(test::GdiObjectCount(), gdi);
    int activations = 0;
    for (int i = 0; i < 100; ++i) {
        HWND to = i % 2 ? hwnd() : other.get();
        ::SetForegroundWindow(to);
        activations += PumpUntil([&] { return ::GetForegroundWindow() == to; }, 2000);
        ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    }
    EXPECT_EQ(activations, 100);
    PumpPending();
    EXPECT_EQ(test::GdiObjectCount(), gdi);
    EXPECT_EQ(test::WindowCountOfThisProcess(), windows);
    EXPECT_EQ(Subscriptions(), subscriptions);
    EXPECT_TRUE(veltrim::KeyboardHookInstalled());
}

// Last in this process: the main window unloads, and the program's windows with it.
TEST_F(MainWindowSkin, CloseRaisesUnloadACancelKeepsTheWindowThenItUnloads) {
    ScopedComPtr<IConnectionPoint> point;
    ASSERT_EQ(Painter()->FindConnectionPoint(DIID___cNeoCaption, point.put()), S_OK);
    UnloadSink sink;
    DWORD cookie = 0;
    ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
    RECT r{};
    ::GetWindowRect(hwnd(), &r);
    const int w = r.right - r.left;
    // The close glyph: its cell ends at the right end's start + its width - the tile side + 4.
    const LPARAM onClose = MAKELPARAM(r.left + (w - 4 + 5 - kTile + 4) - 20 + 9, r.top + 15);
    EXPECT_EQ(::SendMessageW(hwnd(), WM_NCHITTEST, 0, onClose), HTSYSMENU);
    const HWND main = hwnd();
    long menu = 0;
    Painter()->Manager()->get_hMenu(&menu);
    ASSERT_TRUE(::IsMenu(veltrim::HandleFrom<HMENU>(menu)));
    auto click = [&] {
        ::SendMessageW(main, WM_NCLBUTTONDOWN, HTSYSMENU, onClose);
        ::SendMessageW(main, WM_NCLBUTTONUP, HTSYSMENU, onClose);
        PumpUntil([&] { return !::IsWindow(main); }, 500);
    };
    click();
    EXPECT_EQ(sink.unloads, 1);
    EXPECT_TRUE(::IsWindow(main));
    EXPECT_TRUE(form_.IsLoaded());
    EXPECT_TRUE(form_.Skin().Attached());
    sink.cancel = false;
    click();
    EXPECT_EQ(sink.unloads, 2);
    EXPECT_TRUE(sink.windowAtUnload);  // raised before the window goes
    EXPECT_FALSE(::IsWindow(main));
    EXPECT_FALSE(form_.IsLoaded());
    EXPECT_FALSE(form_.Skin().Attached());  // detached in its slot of the shutdown order
    EXPECT_FALSE(::IsMenu(veltrim::HandleFrom<HMENU>(menu)));  // handed back and gone with the window
    point->Unadvise(cookie);
    point.reset();
}

}  // namespace
}  // namespace px
