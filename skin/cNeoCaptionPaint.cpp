// cNeoCaption: the one painting path (window frame, Paint, skin samples), hit
// testing and the control buttons.
#include <algorithm>
#include <string>
#include <vector>

#include "skin/ComError.h"
#include "skin/Module.h"
#include "skin/cNCCalcSize.h"
#include "skin/cNeoCaption.h"
#include "skin/core/MenuBarLayout.h"

namespace veltrim {

namespace {

px::win::ScopedFont FontFrom(IFontDisp* disp, HDC dc, int weight) {
    px::win::ScopedComPtr<IFont> font;
    if (!disp || FAILED(disp->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.put())))) return {};
    LOGFONTW lf{};
    px::win::ScopedBstr name;
    CY size{};
    BOOL italic = FALSE, underline = FALSE, strike = FALSE;
    SHORT charset = DEFAULT_CHARSET;
    font->get_Name(name.put());
    font->get_Size(&size);
    font->get_Italic(&italic);
    font->get_Underline(&underline);
    font->get_Strikethrough(&strike);
    font->get_Charset(&charset);
    if (name.get()) ::lstrcpynW(lf.lfFaceName, name.get(), LF_FACESIZE);
    // The size is in points times 10,000.
    lf.lfHeight = -::MulDiv(static_cast<int>(size.int64), ::GetDeviceCaps(dc, LOGPIXELSY), 720000);
    lf.lfWeight = weight;
    lf.lfItalic = italic ? 1 : 0;
    lf.lfUnderline = underline ? 1 : 0;
    lf.lfStrikeOut = strike ? 1 : 0;
    lf.lfCharSet = static_cast<BYTE>(charset);
    return px::win::ScopedFont(::CreateFontIndirectW(&lf));
}

bool IsBold(IFontDisp* disp) {
    px::win::ScopedComPtr<IFont> font;
    BOOL bold = FALSE;
    if (disp && SUCCEEDED(disp->QueryInterface(IID_IFont, reinterpret_cast<void**>(font.put())))) font->get_Bold(&bold);
    return bold != FALSE;
}

void Blit(HDC to, HDC from, const core::Copy& c, int dx = 0, int dy = 0) {
    if (c.width > 0 && c.height > 0)
        ::BitBlt(to, c.dstX + dx, c.dstY + dy, c.width, c.height, from, c.srcX, c.srcY, SRCCOPY);
}

// Fills [x, end) of a row band by doubling what [x, x + first) holds: a few
// copies whatever the width, never one per tile.
void DoubleAcross(HDC dc, int x, int first, int end, int y, int h) {
    for (int done = first; x + done < end; done *= 2)
        ::BitBlt(dc, x + done, y, std::min(done, end - x - done), h, dc, x, y, SRCCOPY);
}
void DoubleDown(HDC dc, int first, int end, int w) {
    for (int done = first; done < end; done *= 2) ::BitBlt(dc, 0, done, w, std::min(done, end - done), dc, 0, 0, SRCCOPY);
}

std::wstring WindowText(HWND hwnd) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
    return text;
}

}  // namespace

void cNeoCaption::MakeFonts() {
    px::win::ScopedGetDC screen(nullptr);
    titleFontActive_ = FontFrom(skinCaptionFont_.get(), screen, FW_BOLD);
    titleFontInactive_ = FontFrom(skinCaptionFont_.get(), screen, IsBold(skinCaptionFont_.get()) ? FW_BOLD : FW_NORMAL);
    menuFontHandle_ = FontFrom(skinMenuFont_.get(), screen, FW_NORMAL);
    RECT r{0, 0, 0, 0};
    px::win::ScopedSelectObject sel(screen, titleFontActive_.get());
    ::DrawTextW(screen, L"Tg", 2, &r, DT_CALCRECT | DT_SINGLELINE);
    tgHeight_ = r.bottom - r.top;
}

core::CaptionState cNeoCaption::StateFor(HWND window, bool active) const {
    core::CaptionState s;
    s.active = active;
    const LONG_PTR style = window ? ::GetWindowLongPtrW(window, GWL_STYLE) : WS_OVERLAPPEDWINDOW;
    s.maximised = (style & WS_MAXIMIZE) != 0;
    s.hasMaximise = (style & WS_MAXIMIZEBOX) != 0;
    s.hasMinimise = (style & WS_MINIMIZEBOX) != 0;
    s.canClose = method_ == ECNCUseClientArea || (style & WS_SYSMENU);
    s.canSize = method_ == ECNCUseClientArea || (style & WS_THICKFRAME);
    return s;
}

core::Box cNeoCaption::PaintFrame(HDC target, int left, int top, int w, int h, bool active, HWND window, HMENU menu,
                                  bool sample) {
    if (!loaded_ || w < 1 || h < 1) return core::Box{left, top, left, top};
    core::CaptionState s = StateFor(window, active);
    const std::wstring text = window ? WindowText(window) : std::wstring();
    if (geo_.values.DrawTitle && !text.empty() && geo_.values.TitleStartOffsetY >= 1) s.titleTextHeight = tgHeight_;
    if (!sample && window == hwnd_ && (pressed_[0] || pressed_[1] || pressed_[2])) {
        // A button is drawn pressed while it is pressed and the cursor is over it
        // (the cursor is only asked for then: under X each ask waits for the server).
        POINT p{};
        RECT wr{};
        ::GetCursorPos(&p);
        ::GetWindowRect(window, &wr);
        const auto under = core::ButtonAt(core::LayoutCaption(geo_, w, h, s), p.x - wr.left, p.y - wr.top);
        for (int b = 0; b < 3; ++b) s.pressed[b] = pressed_[b] && under && *under == b;
    }
    const core::CaptionLayout l = core::LayoutCaption(geo_, w, h, s);
    if (!band_.Ensure(w, geo_.captionHeight)) return {};
    HDC band = band_.dc();
    Blit(band, caption_.dc(), l.leftEnd);
    core::Copy tile = l.firstTile;
    tile.width = std::min(tile.width, l.tilesEnd - tile.dstX);
    Blit(band, caption_.dc(), tile);
    if (tile.width > 0) DoubleAcross(band, tile.dstX, tile.width, l.tilesEnd, 0, geo_.captionHeight);
    Blit(band, caption_.dc(), l.rightEnd);
    if (l.drawTitle && !text.empty()) {
        px::win::ScopedSelectObject sel(band, (active ? titleFontActive_ : titleFontInactive_).get());
        ::SetBkMode(band, TRANSPARENT);
        ::SetTextColor(band, static_cast<COLORREF>(active ? colours_.activeCaption : colours_.inactiveCaption));
        RECT r{l.title.left, l.title.top, l.title.right, l.title.bottom};
        ::DrawTextW(band, text.c_str(), static_cast<int>(text.size()), &r,
                    DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    const int itemsRight = RenderMenu(band, l, left, top, menu, active, window, sample);
    menuBand_ = core::Box{l.menuBand.left, l.menuBand.top, l.menuBand.left + itemsRight, l.menuBand.bottom};
    for (int b = 0; b < 3; ++b)
        if (l.buttons[b]) Blit(band, caption_.dc(), l.glyphs[b]);
    ::BitBlt(target, left, top, w, geo_.captionHeight, band, 0, 0, SRCCOPY);
    DrawBorders(target, left, top, w, h, l);
    core::Box client{l.client.left + left, l.client.top + top, l.client.right + left, l.client.bottom + top};
    if (sample) {
        px::win::ScopedBrush fill(::CreateSolidBrush(static_cast<COLORREF>(colours_.menuBackground)));
        RECT r{client.left, client.top, client.right, client.bottom};
        ::FillRect(target, &r, fill.get());
    }
    return client;
}

void cNeoCaption::LoadMenuLook() {
    menuBar_->SetMenuLook(menuFontHandle_.get(), MenuColours{colours_.activeMenu, colours_.activeMenuOver,
                                                             colours_.inactiveMenu, colours_.menuBackground});
    menuBar_->put_CaptionHeight(geo_.captionHeight);
}

// The menu bar draws the top-level items on the band. Its item rectangles are
// kept in the owner's client coordinates: the band is drawn at left, top of
// the target, whose origin lies where the window's client area does not.
int cNeoCaption::RenderMenu(HDC band, const core::CaptionLayout& l, int left, int top, HMENU menu, bool active,
                            HWND window, bool sample) {
    if (menu != menuBar_->hMenu()) menuBar_->put_hMenu(menu);
    core::Margins toClient{-left, -top, 0, 0};
    if (!sample && window && window == hwnd_ && method_ != ECNCUseClientArea) {
        RECT wr{};
        POINT origin{0, 0};
        ::GetWindowRect(window, &wr);
        ::ClientToScreen(window, &origin);
        toClient = {origin.x - wr.left - left, origin.y - wr.top - top, 0, 0};
    }
    const int bandTop = l.menuBand.top, ch = geo_.captionHeight;
    return menuBar_->Render(menuFontHandle_.get(), band, l.menuLeft, bandTop, l.tilesEnd - l.menuLeft, ch - bandTop,
                            2 - (ch - bandTop), active, toClient);
}

void cNeoCaption::DrawBorders(HDC target, int left, int top, int w, int h, const core::CaptionLayout& l) {
    const int s = l.tileSide, ch = geo_.captionHeight;
    const int edge = h - ch;
    if (edge > 0 && strip_.Ensure(2 * s, edge)) {
        HDC strip = strip_.dc();
        ::BitBlt(strip, 0, 0, s, s, border_.dc(), 0, l.tileRow, SRCCOPY);
        ::BitBlt(strip, s, 0, s, s, border_.dc(), 4 * s, l.tileRow, SRCCOPY);
        DoubleDown(strip, s, edge, 2 * s);
        Blit(target, strip, l.leftEdge, left, top);
        Blit(target, strip, l.rightEdge, left, top);
    }
    if (!bottom_.Ensure(w, s)) return;
    HDC row = bottom_.dc();
    core::Copy tile = l.bottomTile;
    tile.dstY = 0;
    tile.width = std::min(s, l.bottomRight.dstX - s);
    Blit(row, border_.dc(), tile);
    if (tile.width > 0) DoubleAcross(row, s, tile.width, l.bottomRight.dstX, 0, s);
    core::Copy corner = l.bottomLeft;
    corner.dstY = 0;
    Blit(row, border_.dc(), corner);
    corner = l.bottomRight;
    corner.dstY = 0;
    Blit(row, border_.dc(), corner);
    ::BitBlt(target, left, top + h - s, w, s, row, 0, 0, SRCCOPY);
}

core::CaptionLayout cNeoCaption::WindowLayout(int* w, int* h) const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    const bool active = manager_ && manager_->IsWindowActive();
    if (w) *w = r.right - r.left;
    if (h) *h = r.bottom - r.top;
    return core::LayoutCaption(geo_, r.right - r.left, r.bottom - r.top, StateFor(hwnd_, active));
}

void cNeoCaption::DrawButton(HDC target, const core::CaptionLayout& l, int b, bool pressed) {
    if (!l.buttons[b]) return;
    core::Copy g = l.glyphs[b];
    g.srcY = pressed ? geo_.values.ButtonHeight : 0;
    Blit(target, caption_.dc(), g);
}

STDMETHODIMP cNeoCaption::NCPaint(long hdc, long lLeft, long lTop, long lRight, long lBottom) {
    if (method_ == ECNCUseClientArea) {
        RaiseRepaint();
        return S_OK;
    }
    if (!hwnd_ || !manager_) return S_OK;
    long menu = 0;
    manager_->get_hMenu(&menu);
    PaintFrame(HandleFrom<HDC>(hdc), lLeft, lTop, lRight - lLeft, lBottom - lTop, manager_->IsWindowActive(), hwnd_,
               HandleFrom<HMENU>(menu), false);
    return S_OK;
}

STDMETHODIMP cNeoCaption::HitTest(long x, long y, ECNCHitTestConstants* eHitTest) {
    if (!eHitTest) return E_POINTER;
    if (!loaded_ || !hwnd_) return S_OK;
    int w = 0, h = 0;
    const core::CaptionLayout l = WindowLayout(&w, &h);
    VARIANT_BOOL canSize = VARIANT_FALSE;
    get_CanSize(&canSize);
    *eHitTest = static_cast<ECNCHitTestConstants>(
        core::CaptionHitCode(geo_, l, menuBand_, x, y, w, h, canSize != VARIANT_FALSE, *eHitTest));
    // A pressed button dragged off shows its normal glyph.
    const auto under = core::ButtonAt(l, x, y);
    bool redraw = false;
    for (int b = 0; b < 3; ++b) redraw |= pressed_[b] && !(under && *under == b);
    if (redraw) {
        px::win::ScopedWindowDC dc(hwnd_);
        for (int b = 0; b < 3; ++b)
            if (pressed_[b]) DrawButton(dc.get(), l, b, under && *under == b);
    }
    return S_OK;
}

STDMETHODIMP cNeoCaption::NCMouseDown(long x, long y, VARIANT_BOOL* bHandled, long hdc, long, long, long, long) {
    if (!bHandled) return E_POINTER;
    if (!loaded_ || !hwnd_) return S_OK;
    if (x >= menuBand_.left && x < menuBand_.right && y >= menuBand_.top && y < menuBand_.bottom) {
        // A press on the band that came as a non-client message: the drop-down
        // opens once the manager's handling (and its window DC) is done.
        RECT wr{};
        ::GetWindowRect(hwnd_, &wr);
        if (menuBar_->OpenItemAtLater(POINT{wr.left + x, wr.top + y})) *bHandled = VARIANT_TRUE;
        return S_OK;
    }
    const core::CaptionLayout l = WindowLayout();
    if (const auto b = core::ButtonAt(l, x, y)) {
        DrawButton(HandleFrom<HDC>(hdc), l, *b, true);
        pressed_[*b] = true;
        *bHandled = VARIANT_TRUE;
    }
    return S_OK;
}

STDMETHODIMP cNeoCaption::NCMouseUp(long x, long y, long hdc, long, long, long, long) {
    if (!loaded_ || !hwnd_ || !manager_) return S_OK;
    // The client may detach or release this object from its Unload handler.
    px::win::ScopedComPtr<cNeoCaption> self(this);
    AddRef();
    const HWND hwnd = hwnd_;
    px::win::ScopedComPtr<cNCCalcSize> manager(manager_);
    manager->AddRef();
    const core::CaptionLayout l = WindowLayout();
    const auto b = core::ButtonAt(l, x, y);
    const bool click = b && pressed_[*b];
    pressed_ = {};
    for (int i = 0; i < 3; ++i) DrawButton(HandleFrom<HDC>(hdc), l, i, false);
    if (!click) return S_OK;
    if (*b == core::kClose) {
        VARIANT_BOOL cancel = VARIANT_FALSE;
        RaiseUnload(cancel);
        if (cancel != VARIANT_FALSE) return S_OK;
        if (method_ == ECNCUseClientArea) DetachNow();
        ::PostMessageW(hwnd, WM_SYSCOMMAND, SC_CLOSE, 0);
    } else if (*b == core::kMaximise) {
        manager->SysCommand(::IsZoomed(hwnd) ? static_cast<ECNCSysCommandConstants>(SC_RESTORE)
                                             : static_cast<ECNCSysCommandConstants>(SC_MAXIMIZE));
    } else {
        manager->SysCommand(static_cast<ECNCSysCommandConstants>(SC_MINIMIZE));
    }
    return S_OK;
}

STDMETHODIMP cNeoCaption::Paint(long hdc, long* left, long* top, long* Width, long* Height, VARIANT menu) {
    if (!left || !top || !Width || !Height) return E_POINTER;
    return Guarded(kClassName, IID__cNeoCaption, [&]() -> HRESULT {
        HMENU hMenu = nullptr;
        VARIANT* m = (menu.vt == (VT_VARIANT | VT_BYREF)) ? menu.pvarVal : &menu;
        switch (m->vt & ~VT_BYREF) {
        case VT_I4: hMenu = HandleFrom<HMENU>((m->vt & VT_BYREF) ? *m->plVal : m->lVal); break;
        case VT_I2: hMenu = HandleFrom<HMENU>((m->vt & VT_BYREF) ? *m->piVal : m->iVal); break;
        case VT_DISPATCH: {
            IDispatch* d = (m->vt & VT_BYREF) ? *m->ppdispVal : m->pdispVal;
            px::win::ScopedComPtr<ITypeInfo> info;
            px::win::ScopedBstr name;
            if (!d || FAILED(d->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.put())) ||
                FAILED(info->GetDocumentation(MEMBERID_NIL, name.put(), nullptr, nullptr, nullptr)) ||
                std::wstring_view(name.get() ? name.get() : L"") != L"cPopupMenu")
                return RaiseError(kClassName, IID__cNeoCaption,
                                  L"Invalid Menu Parameter: must be hMenu or cPopupMenu object");
            // The popup-menu object's own menu handle (the menu bar reads its
            // items through it when that comes).
            LPOLESTR prop = const_cast<LPOLESTR>(L"hMenu");
            DISPID id = 0;
            DISPPARAMS none{};
            px::win::ScopedVariant v;
            if (SUCCEEDED(d->GetIDsOfNames(IID_NULL, &prop, 1, LOCALE_USER_DEFAULT, &id)) &&
                SUCCEEDED(d->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, v.ptr(), nullptr,
                                    nullptr)) &&
                SUCCEEDED(::VariantChangeType(v.ptr(), v.ptr(), 0, VT_I4)))
                hMenu = HandleFrom<HMENU>(v.get().lVal);
            menuBar_->put_PopupMenuObject(d);
            break;
        }
        default:
            return RaiseError(kClassName, IID__cNeoCaption,
                              L"Invalid Menu Parameter: must be hMenu or cPopupMenu object");
        }
        const bool active = manager_ ? manager_->IsWindowActive() : true;
        const core::Box c = PaintFrame(HandleFrom<HDC>(hdc), *left, *top, *Width, *Height, active, hwnd_, hMenu, false);
        *left = c.left, *top = c.top, *Width = c.Width(), *Height = c.Height();
        return S_OK;
    });
}

HRESULT cNeoCaption::DrawSample(_cSkinConfiguration* skin, HWND window, HDC target, int left, int top, int w, int h,
                                bool active) {
    px::win::ScopedComPtr<cNeoCaption> painter(new cNeoCaption());
    HRESULT hr = painter->LoadSkin(skin);
    if (hr != S_OK) return hr;
    painter->PaintFrame(target, left, top, w, h, active, window, MenuOf(window), true);
    return S_OK;
}

// The window's menu; a skinned window's is held by its frame manager, the
// window itself has none while the band draws it.
HMENU cNeoCaption::MenuOf(HWND window) {
    if (!window) return nullptr;
    if (HMENU menu = ::GetMenu(window)) return menu;
    auto* impl = static_cast<_INCAreaModifier*>(::GetPropW(window, kImplementationProperty));
    px::win::ScopedComPtr<_cNeoCaption> painter;
    if (!impl || FAILED(impl->QueryInterface(IID__cNeoCaption, reinterpret_cast<void**>(painter.put())))) return nullptr;
    cNCCalcSize* manager = static_cast<cNeoCaption*>(painter.get())->Manager();
    long menu = 0;
    if (manager) manager->get_hMenu(&menu);
    return HandleFrom<HMENU>(menu);
}

}  // namespace veltrim
