// The menu bar on a skinned test window with a real menu, driven with real
// input from inside the menu loops: a click on a band item opens its
// drop-down, the mouse and Left/Right switch, a click on the open item closes
// it, Alt+F opens File, a letter typed inside a drop-down runs the entry with
// that "&" letter, a state change made while open survives the restore, the
// drop-down is drawn in the skin's colours, and 100 drop-down cycles leak
// nothing.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "base/win/ScopedWin.h"
#include "skin/SubTimer.h"
#include "skin/cMenuBar.h"
#include "skin/cNeoCaption.h"
#include "skin/cSkinConfiguration.h"
#include "skin/cToolbarMenu.h"
#include "skin/core/DropDownLayout.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/ModalScript.h"
#include "tests/win/support/GdiCount.h"
#include "tests/win/support/SkinTestObjects.h"

using px::test::FormStub;
using px::win::ScopedComPtr;
using Caption = veltrim::cNeoCaption;

namespace {

constexpr int kW = 420, kH = 260;
constexpr COLORREF kBand = RGB(40, 60, 120), kText = RGB(255, 255, 255), kOver = RGB(255, 255, 0);
enum : UINT { kNew = 101, kOpen, kSave, kExit, kUndo = 201, kChecked, kRadio, kZoom = 301 };

COLORREF CaptionArt(int x, int y) { return RGB(x % 200, 40 + y * 4, 100); }
COLORREF BorderArt(int x, int y) { return RGB(200 + y, x * 8, 50); }

// Caption 40 high (the band from y 20), four-pixel border tiles, the menu in
// white on a dark blue band, yellow under the mouse.
ScopedComPtr<_cSkinConfiguration> MenuSkin() {
    ScopedComPtr<_cSkinConfiguration> s(static_cast<_cSkinConfiguration*>(new veltrim::cSkinConfiguration()));
    s->put_ButtonWidth(10);
    s->put_ButtonHeight(10);
    s->put_ActiveLeftEnd(20);
    s->put_ActiveRightStart(40);
    s->put_ActiveRightEnd(60);
    s->put_InactiveOffset(100);
    s->put_ActiveMenuColor(kText);
    s->put_ActiveMenuColorOver(kOver);
    s->put_InActiveMenuColor(RGB(128, 128, 128));
    s->put_MenuBackgroundColor(kBand);
    s->putref_Caption(px::test::ArtPicture(200, 40, CaptionArt).get());
    s->putref_Borders(px::test::ArtPicture(28, 4, BorderArt).get());
    return s;
}

// What the test window hears of its menus.
struct Heard {
    std::vector<HMENU> opened;  // every drop-down, in order
    std::vector<UINT> commands;
    int loopsLeft = 0;
} g_heard;

LRESULT CALLBACK MenuWindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITMENUPOPUP) g_heard.opened.push_back(reinterpret_cast<HMENU>(wp));
    if (msg == WM_COMMAND && HIWORD(wp) == 0) g_heard.commands.push_back(LOWORD(wp));
    if (msg == WM_EXITMENULOOP) ++g_heard.loopsLeft;
    return ::DefWindowProcW(hwnd, msg, wp, lp);
}

HMENU Popup(std::initializer_list<std::pair<UINT, const wchar_t*>> entries) {
    HMENU m = ::CreatePopupMenu();
    for (const auto& [id, text] : entries)
        ::AppendMenuW(m, id ? MF_STRING : MF_SEPARATOR, id, text);
    return m;
}

void SendKey(WORD vk, bool up) {
    INPUT in{};
    in.type = INPUT_KEYBOARD;
    in.ki.wVk = vk;
    in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &in, sizeof in);
}
void Tap(WORD vk) {
    SendKey(vk, false);
    SendKey(vk, true);
}
void MoveMouse(POINT p) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>((p.x * 65536 + 65535) / ::GetSystemMetrics(SM_CXSCREEN));
    in.mi.dy = static_cast<LONG>((p.y * 65536 + 65535) / ::GetSystemMetrics(SM_CYSCREEN));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    ::SendInput(1, &in, sizeof in);
}
void Click(POINT p) {
    MoveMouse(p);
    INPUT in[2]{};
    in[0].type = in[1].type = INPUT_MOUSE;
    in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    ::SendInput(2, in, sizeof in[0]);
}

HWND VisibleDropDown() {
    HWND found = nullptr;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM lp) -> BOOL {
            wchar_t cls[16] = L"";
            ::GetClassNameW(h, cls, 16);
            if (std::wstring(cls) == L"#32768" && ::IsWindowVisible(h)) *reinterpret_cast<HWND*>(lp) = h;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

std::wstring EntryText(HMENU m, UINT id) {
    wchar_t buf[64] = L"";
    ::GetMenuStringW(m, id, buf, 64, MF_BYCOMMAND);
    return buf;
}
UINT EntryType(HMENU m, UINT id) {
    MENUITEMINFOW mii{sizeof mii, MIIM_FTYPE};
    ::GetMenuItemInfoW(m, id, FALSE, &mii);
    return mii.fType;
}

class MenuBar : public ::testing::Test {
protected:
    void SetUp() override {
        static bool registered = false;
        if (!registered) {
            WNDCLASSW wc{};
            wc.lpfnWndProc = MenuWindowProc;
            wc.hInstance = ::GetModuleHandleW(nullptr);
            wc.hbrBackground = static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH));
            wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
            wc.lpszClassName = L"VeltrimMenuBarTest";
            registered = ::RegisterClassW(&wc) != 0;
        }
        file_ = Popup({{kNew, L"&New\tCtrl+N"}, {kOpen, L"&Open"}, {kSave, L"&Save"}, {0, nullptr}, {kExit, L"E&xit"}});
        ::EnableMenuItem(file_, kSave, MF_GRAYED);
        edit_ = Popup({{kUndo, L"&Undo"}, {kChecked, L"&Checked"}, {kRadio, L"&Radio"}});
        ::CheckMenuItem(edit_, kChecked, MF_CHECKED);
        ::CheckMenuRadioItem(edit_, kRadio, kRadio, kRadio, MF_BYCOMMAND);
        view_ = Popup({{kZoom, L"&Zoom"}});
        HMENU bar = ::CreateMenu();
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file_), L"&File");
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(edit_), L"&Edit");
        ::AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(view_), L"&View");
        hwnd_ = ::CreateWindowExW(0, L"VeltrimMenuBarTest", L"Menu test", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 80,
                                  kW, kH, nullptr, bar, ::GetModuleHandleW(nullptr), nullptr);
        ::SetForegroundWindow(hwnd_);
        form_ = std::make_unique<FormStub>(hwnd_);
        ASSERT_EQ(caption_->Attach2(form_.get(), MenuSkin().get()), S_OK);
        ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        MoveMouse(Away());
        px::test::PumpUntil([&] { return Bar()->ItemCount() == 3 && Bar()->Hot() == 0; }, 2000);
        g_heard = {};
    }
    void TearDown() override {
        caption_->Detach();
        caption_.reset();
        if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
    }
    veltrim::cMenuBar* Bar() const { return caption_->MenuBar(); }
    POINT ItemCentre(int item) const {
        const RECT r = Bar()->ItemScreenRect(item);
        return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    POINT Away() const {
        RECT r{};
        ::GetWindowRect(hwnd_, &r);
        return {r.left + kW / 2, r.top + kH - 40};  // inside the client area, far from the band
    }
    bool Open(HMENU m) const { return !g_heard.opened.empty() && g_heard.opened.back() == m && VisibleDropDown(); }
    bool Closed() const { return !Bar()->Loop()->Tracking() && !VisibleDropDown(); }
    // Runs the script from inside the menu loops until it is done and every drop-down is closed.
    bool Run(px::test::ModalScript& script, int timeoutMs = 8000) {
        script.Start();
        const bool done = px::test::PumpUntil([&] { return script.Done() && Closed(); }, timeoutMs);
        if (!done && VisibleDropDown()) ::EndMenu();  // never leave a failed test inside a menu loop
        return done;
    }

    ScopedComPtr<Caption> caption_{new Caption()};
    HWND hwnd_ = nullptr;
    HMENU file_ = nullptr, edit_ = nullptr, view_ = nullptr;
    std::unique_ptr<FormStub> form_;
};

}  // namespace

TEST_F(MenuBar, ClickOpensMouseAndArrowsSwitchClickOnTheOpenItemCloses) {
    EXPECT_EQ(::SendMessageW(hwnd_, WM_NCHITTEST, 0, MAKELPARAM(ItemCentre(1).x, ItemCentre(1).y)), HTCLIENT);
    px::test::ModalScript script;
    script.Then([] { return true; }, [&] { Click(ItemCentre(1)); })
        .Then([&] { return Open(file_); }, [&] { MoveMouse(ItemCentre(2)); })
        .Then([&] { return Open(edit_); }, [] { Tap(VK_RIGHT); })
        .Then([&] { return Open(view_); }, [] { Tap(VK_LEFT); })
        .Then([&] { return Open(edit_) && g_heard.opened.size() == 4; }, [&] { Click(ItemCentre(2)); });
    ASSERT_TRUE(Run(script)) << "steps done: " << script.StepsDone();
    EXPECT_EQ(g_heard.opened, (std::vector<HMENU>{file_, edit_, view_, edit_}));
    EXPECT_TRUE(g_heard.commands.empty());
    EXPECT_FALSE(veltrim::MenuFilterHookInstalled());
    EXPECT_EQ(Bar()->Pressed(), 0);
    // Entries are themselves again: type, text and data back.
    EXPECT_EQ(Bar()->ConvertedCount(), 0u);
    EXPECT_EQ(EntryText(file_, kNew), L"&New\tCtrl+N");
    EXPECT_FALSE(EntryType(file_, kNew) & MFT_OWNERDRAW);
    EXPECT_TRUE(EntryType(file_, 0) & MFT_SEPARATOR || ::GetMenuState(file_, 3, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(EntryType(edit_, kRadio) & MFT_RADIOCHECK);
}

TEST_F(MenuBar, AltLetterOpensItsDropDownAndOnlyItemLettersAnswer) {
    long answer = -1;
    ASSERT_EQ(caption_->AltKeyAccelerator('Q', &answer), S_OK);
    EXPECT_EQ(answer, 0);  // no item has Q: the key goes on
    px::test::ModalScript script;
    script.Then([] { return true; },
                [] {
                    SendKey(VK_MENU, false);
                    Tap('F');
                    SendKey(VK_MENU, true);
                })
        .Then([&] { return Open(file_); }, [] { Tap(VK_ESCAPE); });
    ASSERT_TRUE(Run(script)) << "steps done: " << script.StepsDone();
    EXPECT_EQ(g_heard.opened, std::vector<HMENU>{file_});
    EXPECT_TRUE(g_heard.commands.empty());

    // A press on the band that arrives as a non-client message opens the item under it.
    g_heard = {};
    const POINT onEdit = ItemCentre(2);
    px::test::ModalScript press;
    press.Then([] { return true; },
               [&] { ::PostMessageW(hwnd_, WM_NCLBUTTONDOWN, HTMENU, MAKELPARAM(onEdit.x, onEdit.y)); })
        .Then([&] { return Open(edit_); }, [] { Tap(VK_ESCAPE); });
    ASSERT_TRUE(Run(press)) << "steps done: " << press.StepsDone();
    EXPECT_EQ(g_heard.opened, std::vector<HMENU>{edit_});
}

TEST_F(MenuBar, ALetterInsideADropDownRunsTheEntryWithThatLetterAndNoOther) {
    struct Row {
        WORD key;
        std::vector<UINT> commands;
    } rows[] = {{'X', {kExit}}, {'O', {kOpen}}, {'N', {kNew}}, {'S', {}}, {'Q', {}}};
    for (const Row& r : rows) {
        g_heard = {};
        px::test::ModalScript script;
        script.Then([] { return true; }, [&] { Click(ItemCentre(1)); })
            .Then([&] { return Open(file_); }, [&] { Tap(r.key); })
            // The timer comes only after the key's handling. An unknown letter leaves
            // the drop-down open: Escape closes it.
            .Then([] { return true; }, [] { if (VisibleDropDown()) Tap(VK_ESCAPE); });
        ASSERT_TRUE(Run(script)) << char(r.key) << " steps done: " << script.StepsDone();
        px::test::PumpPending();  // the command is posted
        EXPECT_EQ(g_heard.commands, r.commands) << char(r.key);
    }
    // A top-level letter that no entry has switches to that drop-down.
    g_heard = {};
    px::test::ModalScript script;
    script.Then([] { return true; }, [&] { Click(ItemCentre(1)); })
        .Then([&] { return Open(file_); }, [] { Tap('V'); })
        .Then([&] { return Open(view_); }, [] { Tap(VK_ESCAPE); });
    ASSERT_TRUE(Run(script)) << "steps done: " << script.StepsDone();
    EXPECT_EQ(g_heard.opened, (std::vector<HMENU>{file_, view_}));
    EXPECT_TRUE(g_heard.commands.empty());
}

TEST_F(MenuBar, AStateChangeWhileOpenSurvivesTheRestore) {
    bool ownerDrawnWhileOpen = false;
    px::test::ModalScript script;
    script.Then([] { return true; }, [&] { Click(ItemCentre(1)); })
        .Then([&] { return Open(file_); },
              [&] {
                  ownerDrawnWhileOpen = (EntryType(file_, kSave) & MFT_OWNERDRAW) != 0;
                  // What a capture finishing does: the save entries are enabled.
                  ::EnableMenuItem(file_, kSave, MF_ENABLED);
                  ::CheckMenuItem(file_, kOpen, MF_CHECKED);
                  Tap(VK_ESCAPE);
              });
    ASSERT_TRUE(Run(script)) << "steps done: " << script.StepsDone();
    EXPECT_TRUE(ownerDrawnWhileOpen);
    EXPECT_FALSE(::GetMenuState(file_, kSave, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_TRUE(::GetMenuState(file_, kOpen, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(EntryText(file_, kSave), L"&Save");
    EXPECT_FALSE(EntryType(file_, kSave) & MFT_OWNERDRAW);
    // And the enabled entry now runs from its letter.
    g_heard = {};
    px::test::ModalScript again;
    again.Then([] { return true; }, [&] { Click(ItemCentre(1)); }).Then([&] { return Open(file_); }, [] { Tap('S'); });
    ASSERT_TRUE(Run(again));
    px::test::PumpPending();
    EXPECT_EQ(g_heard.commands, std::vector<UINT>{kSave});
}

TEST_F(MenuBar, TheDropDownIsDrawnInTheSkinsColoursDisabledEntriesHalfBlended) {
    std::vector<COLORREF> shot;
    RECT popup{};
    px::test::ModalScript script;
    // The drop-down reaches the screen a little after it is painted: grab until its background shows.
    const auto grab = [&] {
        shot.clear();
        HWND h = VisibleDropDown();
        if (!h) return false;
        ::UpdateWindow(h);
        ::GetWindowRect(h, &popup);
        const int w = popup.right - popup.left, h2 = popup.bottom - popup.top;
        if (w <= 0 || h2 <= 0) return false;
        px::win::ScopedGetDC screen(nullptr);
        px::win::MemoryBitmapDC mem(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, w, h2)));
        ::BitBlt(mem.dc(), 0, 0, w, h2, screen, popup.left, popup.top, SRCCOPY);
        BITMAPINFO bi{};
        bi.bmiHeader = {sizeof(BITMAPINFOHEADER), w, -h2, 1, 32, BI_RGB};
        std::vector<RGBQUAD> px(static_cast<size_t>(w) * h2);
        const px::win::ScopedBitmap bitmap = mem.Detach();  // read only once deselected
        ::GetDIBits(screen, bitmap.get(), 0, h2, px.data(), &bi, DIB_RGB_COLORS);
        for (const RGBQUAD& q : px) shot.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
        return !shot.empty() &&
               static_cast<size_t>(std::count(shot.begin(), shot.end(), kBand)) > shot.size() / 2;
    };
    script.Then([] { return true; }, [&] { Click(ItemCentre(1)); })
        .Then([&] { return Open(file_) && grab(); }, [&] { Tap(VK_ESCAPE); });
    ASSERT_TRUE(Run(script)) << "steps done: " << script.StepsDone();
    ASSERT_FALSE(shot.empty());
    const auto blended = static_cast<COLORREF>(veltrim::core::Blend50(kText, kBand));
    size_t band = 0, text = 0, disabled = 0;
    for (COLORREF c : shot) band += c == kBand, text += c == kText, disabled += c == blended;
    EXPECT_GT(band, shot.size() / 2);  // the background is the skin's
    EXPECT_GT(text, 20u);               // the enabled entries in the menu colour
    EXPECT_GT(disabled, 5u);            // "Save" in the blend
}

TEST_F(MenuBar, TheBandShowsTheMenuWhereItsHitRectanglesAreAndASampleEqualsTheFrame) {
    RECT wr{};
    ::GetWindowRect(hwnd_, &wr);
    px::win::ScopedGetDC screen(nullptr);
    // Menu text pixels lie inside the first item's rectangle, in window terms.
    const RECT item = Bar()->ItemScreenRect(1);
    int textPixels = 0;
    for (LONG y = item.top; y < item.bottom; ++y)
        for (LONG x = item.left; x < item.right; ++x) textPixels += ::GetPixel(screen, x, y) == kText;
    EXPECT_GT(textPixels, 10);
    // Left of it, down to the band's start, only caption art.
    for (LONG x = wr.left + 20; x < item.left; ++x) EXPECT_NE(::GetPixel(screen, x, (item.top + item.bottom) / 2), kText);

    px::win::MemoryBitmapDC mem(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, kW, kH)));
    ScopedComPtr<_cSkinConfiguration> skin = MenuSkin();
    ASSERT_EQ(skin->DrawSample(static_cast<long>(reinterpret_cast<LONG_PTR>(hwnd_)),
                               static_cast<long>(reinterpret_cast<LONG_PTR>(mem.dc())), 0, 0, kW, kH, VARIANT_TRUE),
              S_OK);
    POINT origin{0, 0};
    ::ClientToScreen(hwnd_, &origin);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    ::OffsetRect(&client, origin.x - wr.left, origin.y - wr.top);
    int compared = 0, wrong = 0;
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const POINT p{x, y};
            if (::PtInRect(&client, p)) continue;
            ++compared;
            const bool bad = ::GetPixel(mem.dc(), x, y) != ::GetPixel(screen, wr.left + x, wr.top + y);
            wrong += bad;
        }
    EXPECT_GT(compared, 40 * kW);
    EXPECT_EQ(wrong, 0);
}

TEST_F(MenuBar, AHundredDropDownCyclesLeaveGdiWindowsHooksAndTimersAsTheyWere) {
    auto cycle = [&] {
        px::test::ModalScript script;
        script.Then([] { return true; }, [&] { Click(ItemCentre(1)); })
            .Then([&] { return Open(file_); }, [&] { Click(ItemCentre(1)); });
        return Run(script);
    };
    ASSERT_TRUE(cycle());
    MoveMouse(Away());
    px::test::PumpUntil([&] { return Bar()->Hot() == 0 && veltrim::IntervalTimer::RunningOnThread() == 0; });
    const long gdi = px::test::GdiObjectCount();
    const size_t windows = px::test::WindowCountOfThisProcess();
    const size_t installs = veltrim::MenuFilterHookInstalls();
    const size_t timers = veltrim::IntervalTimer::RunningOnThread();
    for (int i = 0; i < 100; ++i) ASSERT_TRUE(cycle()) << "cycle " << i;
    MoveMouse(Away());
    px::test::PumpUntil([&] { return Bar()->Hot() == 0 && veltrim::IntervalTimer::RunningOnThread() == timers; });
    EXPECT_EQ(px::test::GdiObjectCount(), gdi);
    EXPECT_EQ(px::test::WindowCountOfThisProcess(), windows);
    EXPECT_EQ(veltrim::MenuFilterHookInstalls() - installs, 100u);  // one install per drop-down
    EXPECT_FALSE(veltrim::MenuFilterHookInstalled());                 // and none left
    EXPECT_EQ(veltrim::IntervalTimer::RunningOnThread(), timers);
    EXPECT_EQ(Bar()->ConvertedCount(), 0u);
}

namespace {

// Type information that answers only its name, so a late-bound object passes
// for the client's popup-menu object.
class NamedTypeInfo final : public ITypeInfo {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_ITypeInfo ? static_cast<ITypeInfo*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetDocumentation(MEMBERID, BSTR* name, BSTR* doc, DWORD* ctx, BSTR* file) override {
        if (name) *name = ::SysAllocString(L"cPopupMenu");
        if (doc) *doc = nullptr;
        if (ctx) *ctx = 0;
        if (file) *file = nullptr;
        return S_OK;
    }
    STDMETHODIMP GetTypeAttr(TYPEATTR**) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeComp(ITypeComp**) override { return E_NOTIMPL; }
    STDMETHODIMP GetFuncDesc(UINT, FUNCDESC**) override { return E_NOTIMPL; }
    STDMETHODIMP GetVarDesc(UINT, VARDESC**) override { return E_NOTIMPL; }
    STDMETHODIMP GetNames(MEMBERID, BSTR*, UINT, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRefTypeOfImplType(UINT, HREFTYPE*) override { return E_NOTIMPL; }
    STDMETHODIMP GetImplTypeFlags(UINT, INT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(LPOLESTR*, UINT, MEMBERID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(PVOID, MEMBERID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetDllEntry(MEMBERID, INVOKEKIND, BSTR*, BSTR*, WORD*) override { return E_NOTIMPL; }
    STDMETHODIMP GetRefTypeInfo(HREFTYPE, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP AddressOfMember(MEMBERID, INVOKEKIND, PVOID*) override { return E_NOTIMPL; }
    STDMETHODIMP CreateInstance(IUnknown*, REFIID, PVOID*) override { return E_NOTIMPL; }
    STDMETHODIMP GetMops(MEMBERID, BSTR*) override { return E_NOTIMPL; }
    STDMETHODIMP GetContainingTypeLib(ITypeLib**, UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP_(void) ReleaseTypeAttr(TYPEATTR*) override {}
    STDMETHODIMP_(void) ReleaseFuncDesc(FUNCDESC*) override {}
    STDMETHODIMP_(void) ReleaseVarDesc(VARDESC*) override {}
};

// A popup-menu object: hMenu, ItemForID (the index of a command) and Caption
// (its own caption of that index), by name.
class PopupMenuObject final : public IDispatch {
public:
    PopupMenuObject(HMENU menu, std::vector<std::pair<UINT, std::wstring>> captions)
        : menu_(menu), captions_(std::move(captions)) {}
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        *out = iid == IID_IUnknown || iid == IID_IDispatch ? static_cast<IDispatch*>(this) : nullptr;
        return *out ? S_OK : E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 1; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        *info = &type_;
        return S_OK;
    }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
        const wchar_t* known[] = {L"hMenu", L"ItemForID", L"Caption"};
        for (DISPID i = 0; i < 3; ++i)
            if (::lstrcmpiW(names[0], known[i]) == 0) return *id = i + 1, S_OK;
        return DISP_E_UNKNOWNNAME;
    }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO*, UINT*) override {
        if (!result) return E_POINTER;
        const long arg = p && p->cArgs == 1 && p->rgvarg[0].vt == VT_I4 ? p->rgvarg[0].lVal : -1;
        result->vt = VT_I4;
        if (id == 1) {
            result->lVal = static_cast<long>(reinterpret_cast<LONG_PTR>(menu_));
        } else if (id == 2) {
            result->lVal = -1;
            for (size_t i = 0; i < captions_.size(); ++i)
                if (captions_[i].first == static_cast<UINT>(arg)) result->lVal = static_cast<long>(i);
        } else if (id == 3 && arg >= 0 && static_cast<size_t>(arg) < captions_.size()) {
            result->vt = VT_BSTR;
            result->bstrVal = ::SysAllocString(captions_[static_cast<size_t>(arg)].second.c_str());
        } else {
            return DISP_E_MEMBERNOTFOUND;
        }
        return S_OK;
    }

private:
    HMENU menu_;
    std::vector<std::pair<UINT, std::wstring>> captions_;
    NamedTypeInfo type_;
};

// Paint into a fresh surface with `menu` as the menu argument; the band's pixels.
std::vector<COLORREF> PaintedBand(Caption* caption, const VARIANT& menu) {
    px::win::ScopedGetDC screen(nullptr);
    px::win::MemoryBitmapDC mem(screen, px::win::ScopedBitmap(::CreateCompatibleBitmap(screen, kW, kH)));
    long left = 0, top = 0, w = kW, h = kH;
    EXPECT_EQ(caption->Paint(static_cast<long>(reinterpret_cast<LONG_PTR>(mem.dc())), &left, &top, &w, &h, menu), S_OK);
    std::vector<COLORREF> band;
    for (int y = 20; y < 40; ++y)
        for (int x = 0; x < kW; ++x) band.push_back(::GetPixel(mem.dc(), x, y));
    return band;
}

}  // namespace

TEST_F(MenuBar, PaintDrawsThePopupMenuObjectsOwnCaptions) {
    // Top-level items with command identifiers, captioned by the object.
    HMENU plain = ::CreateMenu(), renamed = ::CreateMenu();
    ::AppendMenuW(plain, MF_STRING, 11, L"&File");
    ::AppendMenuW(plain, MF_STRING, 12, L"&Edit");
    ::AppendMenuW(renamed, MF_STRING, 11, L"&Picture");
    ::AppendMenuW(renamed, MF_STRING, 12, L"&Tools");
    PopupMenuObject object(plain, {{12, L"&Tools"}, {11, L"&Picture"}});
    px::win::ScopedVariant byObject, byPlain, byRenamed;
    byObject.get().vt = VT_DISPATCH;
    byObject.get().pdispVal = &object;
    byPlain.get().vt = byRenamed.get().vt = VT_I4;
    byPlain.get().lVal = static_cast<long>(reinterpret_cast<LONG_PTR>(plain));
    byRenamed.get().lVal = static_cast<long>(reinterpret_cast<LONG_PTR>(renamed));
    const auto fromObject = PaintedBand(caption_.get(), byObject.get());
    byObject.get().vt = VT_EMPTY;  // not ours to release
    EXPECT_EQ(fromObject, PaintedBand(caption_.get(), byRenamed.get()));
    EXPECT_NE(fromObject, PaintedBand(caption_.get(), byPlain.get()));
    ::DestroyMenu(plain);
    ::DestroyMenu(renamed);
}
