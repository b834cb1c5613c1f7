#include "skin/cNeoCaption.h"

#include "skin/ComError.h"
#include "skin/Module.h"
#include "skin/SkinColourise.h"

namespace veltrim {

cNeoCaption::cNeoCaption()
    : DispatchFor<_cNeoCaption>(IID__cNeoCaption),
      DispatchFor<_INCAreaModifier>(IID__INCAreaModifier),
      events_(*this, DIID___cNeoCaption) {}

STDMETHODIMP cNeoCaption::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__cNeoCaption) {
        *out = static_cast<_cNeoCaption*>(this);
    } else if (iid == IID__INCAreaModifier) {
        *out = static_cast<_INCAreaModifier*>(this);
    } else if (iid == IID_IConnectionPointContainer) {
        *out = static_cast<IConnectionPointContainer*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
        *out = static_cast<ISupportErrorInfo*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP cNeoCaption::InterfaceSupportsErrorInfo(REFIID iid) {
    return iid == IID__cNeoCaption || iid == IID__INCAreaModifier ? S_OK : S_FALSE;
}

STDMETHODIMP cNeoCaption::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return EnumerateConnectionPoints(*this, {&events_}, out);
}

STDMETHODIMP cNeoCaption::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (iid != DIID___cNeoCaption) return CONNECT_E_NOCONNECTION;
    events_.AddRef();
    *out = &events_;
    return S_OK;
}

void cNeoCaption::RaiseUnload(VARIANT_BOOL& cancel) {
    VARIANTARG arg;
    ::VariantInit(&arg);
    arg.vt = VT_BOOL | VT_BYREF;
    arg.pboolVal = &cancel;
    events_.Fire(1, &arg, 1);
}

void cNeoCaption::RaiseRepaint() { events_.Fire(2); }

STDMETHODIMP cNeoCaption::get_ActiveCaptionColor(OLE_COLOR* value) {
    if (!value) return E_POINTER;
    *value = activeCaptionColor_;
    return S_OK;
}

STDMETHODIMP cNeoCaption::put_ActiveCaptionColor(OLE_COLOR value) {
    activeCaptionColor_ = value;
    return S_OK;
}

// The members below come with the caption painter.
STDMETHODIMP cNeoCaption::Detach() {
    return NotImplemented(kClassName, IID__cNeoCaption, L"Detach");
}
STDMETHODIMP cNeoCaption::Attach(IDispatch* /*f*/, IPictureDisp* /*picCaption*/, IPictureDisp* /*picBorder*/, long /*lButtonWidth*/, long /*lButtonHeight*/, long /*lActiveLeftEnd*/, long /*lActiveRightStart*/, long /*lActiveRightEnd*/, long /*lInactiveOffset*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"Attach");
}
STDMETHODIMP cNeoCaption::get_MenuBackgroundColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"MenuBackgroundColor");
}
STDMETHODIMP cNeoCaption::put_MenuBackgroundColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"MenuBackgroundColor");
}
STDMETHODIMP cNeoCaption::get_InActiveCaptionColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"InActiveCaptionColor");
}
STDMETHODIMP cNeoCaption::put_InActiveCaptionColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"InActiveCaptionColor");
}
STDMETHODIMP cNeoCaption::get_CaptionFont(IFontDisp** /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"CaptionFont");
}
STDMETHODIMP cNeoCaption::putref_CaptionFont(IFontDisp* /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"CaptionFont");
}
STDMETHODIMP cNeoCaption::get_MenuFont(IFontDisp** /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"MenuFont");
}
STDMETHODIMP cNeoCaption::putref_MenuFont(IFontDisp* /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"MenuFont");
}
STDMETHODIMP cNeoCaption::get_ActiveMenuColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"ActiveMenuColor");
}
STDMETHODIMP cNeoCaption::put_ActiveMenuColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"ActiveMenuColor");
}
STDMETHODIMP cNeoCaption::get_ActiveMenuColorOver(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"ActiveMenuColorOver");
}
STDMETHODIMP cNeoCaption::put_ActiveMenuColorOver(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"ActiveMenuColorOver");
}
STDMETHODIMP cNeoCaption::get_InActiveMenuColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"InActiveMenuColor");
}
STDMETHODIMP cNeoCaption::put_InActiveMenuColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"InActiveMenuColor");
}
STDMETHODIMP cNeoCaption::get_SkinConfiguration(_cSkinConfiguration** /*value*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"SkinConfiguration");
}
STDMETHODIMP cNeoCaption::Attach2(IDispatch* /*f*/, _cSkinConfiguration* /*cSkin*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"Attach2");
}
// Recolouring, used on the skin at attach time and open to clients; the key
// colour is the attached skin's transparent colour (none before any skin).
STDMETHODIMP cNeoCaption::ColouriseColour(OLE_COLOR* oColour, float Hue, float Saturation) {
    if (!oColour) return E_POINTER;
    veltrim::ColouriseColour(*oColour, Hue, Saturation, transparentColor_);
    return S_OK;
}
STDMETHODIMP cNeoCaption::ColouriseDC(long lHDC, long lWidth, long lHeight, float Hue, float Saturation) {
    return Guarded(kClassName, IID__cNeoCaption, [&] {
        veltrim::ColouriseDC(HandleFrom<HDC>(lHDC), lWidth, lHeight, Hue, Saturation, transparentColor_);
        return S_OK;
    });
}
STDMETHODIMP cNeoCaption::AdjustRGBColour(OLE_COLOR* oColour, float PercentRed, float PercentGreen, float PercentBlue) {
    if (!oColour) return E_POINTER;
    veltrim::AdjustRGBColour(*oColour, PercentRed, PercentGreen, PercentBlue, transparentColor_);
    return S_OK;
}
STDMETHODIMP cNeoCaption::AdjustRGBDC(long lHDC, long lWidth, long lHeight, float PercentRed, float PercentGreen, float PercentBlue) {
    return Guarded(kClassName, IID__cNeoCaption, [&] {
        veltrim::AdjustRGBDC(HandleFrom<HDC>(lHDC), lWidth, lHeight, PercentRed, PercentGreen, PercentBlue, transparentColor_);
        return S_OK;
    });
}
STDMETHODIMP cNeoCaption::Paint(long /*hdc*/, long* /*left*/, long* /*top*/, long* /*Width*/, long* /*Height*/, VARIANT /*menu*/) {
    return NotImplemented(kClassName, IID__cNeoCaption, L"Paint");
}

STDMETHODIMP cNeoCaption::get_hwnd(long* /*hwnd*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"hwnd");
}
STDMETHODIMP cNeoCaption::GetTopMarginHeight(long* /*cy*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"GetTopMarginHeight");
}
STDMETHODIMP cNeoCaption::GetLeftMarginWidth(long* /*cx*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"GetLeftMarginWidth");
}
STDMETHODIMP cNeoCaption::GetRightMarginWidth(long* /*cx*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"GetRightMarginWidth");
}
STDMETHODIMP cNeoCaption::GetBottomMarginHeight(long* /*cy*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"GetBottomMarginHeight");
}
STDMETHODIMP cNeoCaption::NCPaint(long /*hdc*/, long /*lLeft*/, long /*lTop*/, long /*lRight*/, long /*lBottom*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"NCPaint");
}
STDMETHODIMP cNeoCaption::HitTest(long /*x*/, long /*y*/, ECNCHitTestConstants* /*eHitTest*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"HitTest");
}
STDMETHODIMP cNeoCaption::NCMouseDown(long /*x*/, long /*y*/, VARIANT_BOOL* /*bHandled*/, long /*hdc*/, long /*lLeft*/, long /*lTop*/, long /*lRight*/, long /*lBottom*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"NCMouseDown");
}
STDMETHODIMP cNeoCaption::NCMouseUp(long /*x*/, long /*y*/, long /*hdc*/, long /*lLeft*/, long /*lTop*/, long /*lRight*/, long /*lBottom*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"NCMouseUp");
}
STDMETHODIMP cNeoCaption::InitMenuPopup(long /*wParam*/, long /*lParam*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"InitMenuPopup");
}
STDMETHODIMP cNeoCaption::ExitMenuLoop() {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"ExitMenuLoop");
}
STDMETHODIMP cNeoCaption::AltKeyAccelerator(long /*vKey*/, long* /*result*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"AltKeyAccelerator");
}
STDMETHODIMP cNeoCaption::get_Method(ECNCDrawMethodConstants* /*eMethod*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"Method");
}
STDMETHODIMP cNeoCaption::get_CanSize(VARIANT_BOOL* /*bCanSize*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"CanSize");
}
STDMETHODIMP cNeoCaption::get_CanClose(VARIANT_BOOL* /*bCanClose*/) {
    return NotImplemented(kClassName, IID__INCAreaModifier, L"CanClose");
}

}  // namespace veltrim
