#pragma once
// A C++ INCAreaModifier for the frame manager's tests and the frame test
// program: margins 4/40/4/4, a caption band, borders and bottom row in four
// known colours, caption "buttons" at the right of the band (they answer
// HTSYSMENU and mark a press as handled), and a record of every call.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "skin/veltrim_h.h"

namespace px::test {

class TestModifier final : public _INCAreaModifier {
public:
    static constexpr COLORREF kCaption = RGB(200, 40, 40), kLeft = RGB(40, 200, 40), kRight = RGB(40, 40, 200),
                              kBottom = RGB(220, 200, 40);
    static constexpr long kLeftMargin = 4, kTopMargin = 40, kRightMargin = 4, kBottomMargin = 4;
    static constexpr int kButtonSize = 24;  // a square zone at the right end of the caption band

    explicit TestModifier(HWND hwnd) : hwnd_(hwnd) {}

    // IUnknown: counted, never deleted (the tests own the object on the stack or heap).
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(++refs); }
    STDMETHODIMP_(ULONG) Release() override { return static_cast<ULONG>(--refs); }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

    STDMETHODIMP get_hwnd(long* hwnd) override;
    STDMETHODIMP GetTopMarginHeight(long* cy) override { *cy = kTopMargin; return S_OK; }
    STDMETHODIMP GetLeftMarginWidth(long* cx) override { *cx = kLeftMargin; return S_OK; }
    STDMETHODIMP GetRightMarginWidth(long* cx) override { *cx = kRightMargin; return S_OK; }
    STDMETHODIMP GetBottomMarginHeight(long* cy) override { *cy = kBottomMargin; return S_OK; }
    STDMETHODIMP NCPaint(long hdc, long lLeft, long lTop, long lRight, long lBottom) override;
    STDMETHODIMP HitTest(long x, long y, ECNCHitTestConstants* eHitTest) override;
    STDMETHODIMP NCMouseDown(long x, long y, VARIANT_BOOL* bHandled, long hdc, long lLeft, long lTop, long lRight,
                             long lBottom) override;
    STDMETHODIMP NCMouseUp(long x, long y, long hdc, long lLeft, long lTop, long lRight, long lBottom) override;
    STDMETHODIMP InitMenuPopup(long, long) override { ++menuPopups; return S_OK; }
    STDMETHODIMP ExitMenuLoop() override { ++menuLoopsLeft; return S_OK; }
    STDMETHODIMP AltKeyAccelerator(long vKey, long* result) override;
    STDMETHODIMP get_Method(ECNCDrawMethodConstants* m) override { *m = method; return S_OK; }
    STDMETHODIMP get_CanSize(VARIANT_BOOL* b) override { *b = canSize ? VARIANT_TRUE : VARIANT_FALSE; return S_OK; }
    STDMETHODIMP get_CanClose(VARIANT_BOOL* b) override { *b = VARIANT_TRUE; return S_OK; }

    // The button zone in window coordinates for a window `width` wide.
    RECT ButtonZone(int width) const { return {width - 4 - kButtonSize, 8, width - 4, 8 + kButtonSize}; }

    long refs = 1;
    bool canSize = true;
    ECNCDrawMethodConstants method = ECNCModifyNonClientArea;
    int paints = 0, menuPopups = 0, menuLoopsLeft = 0;
    int presses = 0, releases = 0, clicks = 0;  // clicks: a release on the button after a press on it
    bool pressedOnButton = false;
    std::vector<long> altKeys;
    long altAnswer = 1;
    RECT menuBand{};  // window coordinates answered as HTMENU
    // Runs inside NCMouseUp (a client may detach or release from there).
    std::function<void()> onMouseUp;
    // Told of each press, release, click and Alt key as it happens ("press", "alt 70").
    std::function<void(const std::string&)> onEvent;

private:
    bool OnButton(long x, long y) const;
    HWND hwnd_;
};

}  // namespace px::test
