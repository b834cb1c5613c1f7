#include "tests/win/support/TestModifier.h"

#include "base/win/ScopedWin.h"

namespace px::test {

STDMETHODIMP TestModifier::QueryInterface(REFIID iid, void** out) {
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__INCAreaModifier) {
        *out = static_cast<_INCAreaModifier*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP TestModifier::get_hwnd(long* hwnd) {
    *hwnd = static_cast<long>(reinterpret_cast<LONG_PTR>(hwnd_));
    return S_OK;
}

STDMETHODIMP TestModifier::NCPaint(long hdc, long lLeft, long lTop, long lRight, long lBottom) {
    ++paints;
    HDC dc = reinterpret_cast<HDC>(static_cast<LONG_PTR>(hdc));
    if (!dc) return S_OK;
    auto fill = [&](RECT r, COLORREF c) {
        px::win::ScopedBrush b(::CreateSolidBrush(c));
        ::FillRect(dc, &r, b.get());
    };
    fill({lLeft, lTop, lRight, lTop + kTopMargin}, kCaption);
    fill({lLeft, lTop + kTopMargin, lLeft + kLeftMargin, lBottom - kBottomMargin - 1}, kLeft);
    fill({lRight - kRightMargin - 1, lTop + kTopMargin, lRight, lBottom - kBottomMargin - 1}, kRight);
    fill({lLeft, lBottom - kBottomMargin - 1, lRight, lBottom}, kBottom);
    return S_OK;
}

bool TestModifier::OnButton(long x, long y) const {
    RECT r{};
    ::GetWindowRect(hwnd_, &r);
    RECT zone = ButtonZone(r.right - r.left);
    POINT p{x, y};
    return ::PtInRect(&zone, p) != FALSE;
}

STDMETHODIMP TestModifier::HitTest(long x, long y, ECNCHitTestConstants* eHitTest) {
    POINT p{x, y};
    if (::PtInRect(&menuBand, p)) *eHitTest = static_cast<ECNCHitTestConstants>(HTMENU);
    if (OnButton(x, y)) *eHitTest = static_cast<ECNCHitTestConstants>(HTSYSMENU);
    return S_OK;
}

STDMETHODIMP TestModifier::NCMouseDown(long x, long y, VARIANT_BOOL* bHandled, long, long, long, long, long) {
    ++presses;
    if (onEvent) onEvent("press");
    if (OnButton(x, y)) {
        pressedOnButton = true;
        *bHandled = VARIANT_TRUE;
    }
    return S_OK;
}

STDMETHODIMP TestModifier::NCMouseUp(long x, long y, long, long, long, long, long) {
    ++releases;
    if (onEvent) onEvent("release");
    if (pressedOnButton && OnButton(x, y)) {
        ++clicks;
        if (onEvent) onEvent("click");
    }
    pressedOnButton = false;  // every release clears the mark
    if (onMouseUp) onMouseUp();
    return S_OK;
}

STDMETHODIMP TestModifier::AltKeyAccelerator(long vKey, long* result) {
    altKeys.push_back(vKey);
    if (onEvent) onEvent("alt " + std::to_string(vKey));
    *result = altAnswer;
    return S_OK;
}

}  // namespace px::test
