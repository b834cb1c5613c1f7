#pragma once
// cNeoCaption: the caption painter a client attaches to one of its windows.
// It implements INCAreaModifier for its frame manager and raises the events
// of __cNeoCaption (Unload, Repaint) through its connection point.
// Creatable through COM as veltrim.cNeoCaption.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "skin/ComObject.h"
#include "skin/ConnectionPoint.h"
#include "skin/veltrim_h.h"

namespace veltrim {

class cNeoCaption final : public ComObjectBase,
                          public DispatchFor<_cNeoCaption>,
                          public DispatchFor<_INCAreaModifier>,
                          public IConnectionPointContainer,
                          public ISupportErrorInfo {
public:
    static constexpr wchar_t kClassName[] = L"cNeoCaption";
    static constexpr OLE_COLOR kDefaultActiveCaptionColor = 0xCCCCCC;
    cNeoCaption();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefCount(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseCount(); }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    // IConnectionPointContainer: one point, for __cNeoCaption.
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

    // Events to the client. Unload may be cancelled by a handler.
    void RaiseUnload(VARIANT_BOOL& cancel);
    void RaiseRepaint();

    // _cNeoCaption
    STDMETHODIMP Detach() override;
    STDMETHODIMP Attach(IDispatch* f, IPictureDisp* picCaption, IPictureDisp* picBorder, long lButtonWidth, long lButtonHeight, long lActiveLeftEnd, long lActiveRightStart, long lActiveRightEnd, long lInactiveOffset) override;
    STDMETHODIMP get_MenuBackgroundColor(OLE_COLOR* value) override;
    STDMETHODIMP put_MenuBackgroundColor(OLE_COLOR value) override;
    STDMETHODIMP get_ActiveCaptionColor(OLE_COLOR* value) override;
    STDMETHODIMP put_ActiveCaptionColor(OLE_COLOR value) override;
    STDMETHODIMP get_InActiveCaptionColor(OLE_COLOR* value) override;
    STDMETHODIMP put_InActiveCaptionColor(OLE_COLOR value) override;
    STDMETHODIMP get_CaptionFont(IFontDisp** value) override;
    STDMETHODIMP putref_CaptionFont(IFontDisp* value) override;
    STDMETHODIMP get_MenuFont(IFontDisp** value) override;
    STDMETHODIMP putref_MenuFont(IFontDisp* value) override;
    STDMETHODIMP get_ActiveMenuColor(OLE_COLOR* value) override;
    STDMETHODIMP put_ActiveMenuColor(OLE_COLOR value) override;
    STDMETHODIMP get_ActiveMenuColorOver(OLE_COLOR* value) override;
    STDMETHODIMP put_ActiveMenuColorOver(OLE_COLOR value) override;
    STDMETHODIMP get_InActiveMenuColor(OLE_COLOR* value) override;
    STDMETHODIMP put_InActiveMenuColor(OLE_COLOR value) override;
    STDMETHODIMP get_SkinConfiguration(_cSkinConfiguration** value) override;
    STDMETHODIMP Attach2(IDispatch* f, _cSkinConfiguration* cSkin) override;
    STDMETHODIMP ColouriseColour(OLE_COLOR* oColour, float Hue, float Saturation) override;
    STDMETHODIMP ColouriseDC(long lHDC, long lWidth, long lHeight, float Hue, float Saturation) override;
    STDMETHODIMP AdjustRGBColour(OLE_COLOR* oColour, float PercentRed, float PercentGreen, float PercentBlue) override;
    STDMETHODIMP AdjustRGBDC(long lHDC, long lWidth, long lHeight, float PercentRed, float PercentGreen, float PercentBlue) override;
    STDMETHODIMP Paint(long hdc, long* left, long* top, long* Width, long* Height, VARIANT menu) override;

    // _INCAreaModifier
    STDMETHODIMP get_hwnd(long* hwnd) override;
    STDMETHODIMP GetTopMarginHeight(long* cy) override;
    STDMETHODIMP GetLeftMarginWidth(long* cx) override;
    STDMETHODIMP GetRightMarginWidth(long* cx) override;
    STDMETHODIMP GetBottomMarginHeight(long* cy) override;
    STDMETHODIMP NCPaint(long hdc, long lLeft, long lTop, long lRight, long lBottom) override;
    STDMETHODIMP HitTest(long x, long y, ECNCHitTestConstants* eHitTest) override;
    STDMETHODIMP NCMouseDown(long x, long y, VARIANT_BOOL* bHandled, long hdc, long lLeft, long lTop, long lRight, long lBottom) override;
    STDMETHODIMP NCMouseUp(long x, long y, long hdc, long lLeft, long lTop, long lRight, long lBottom) override;
    STDMETHODIMP InitMenuPopup(long wParam, long lParam) override;
    STDMETHODIMP ExitMenuLoop() override;
    STDMETHODIMP AltKeyAccelerator(long vKey, long* result) override;
    STDMETHODIMP get_Method(ECNCDrawMethodConstants* eMethod) override;
    STDMETHODIMP get_CanSize(VARIANT_BOOL* bCanSize) override;
    STDMETHODIMP get_CanClose(VARIANT_BOOL* bCanClose) override;

private:
    ConnectionPoint events_;
    OLE_COLOR activeCaptionColor_ = kDefaultActiveCaptionColor;
    OLE_COLOR transparentColor_ = static_cast<OLE_COLOR>(-1);  // the skin's colour key; -1: none
};

}  // namespace veltrim
