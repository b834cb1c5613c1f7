#include "skin/cNeoCaption.h"

#include "skin/ComError.h"
#include "skin/ComProperty.h"
#include "skin/Module.h"
#include "skin/SkinColourise.h"
#include "skin/SkinFontObject.h"

namespace veltrim {

cNeoCaption::cNeoCaption()
    : DispatchFor<_cNeoCaption>(IID__cNeoCaption),
      DispatchFor<_INCAreaModifier>(IID__INCAreaModifier),
      events_(*this, DIID___cNeoCaption),
      captionFont_(NewSkinFont()),
      menuFont_(NewSkinFont()) {}

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

namespace {
// A font property refuses null: the painter always has a font to draw with.
HRESULT PutFont(px::win::ScopedComPtr<IFontDisp>& font, IFontDisp* value) {
    return value ? PutObject(font, value) : E_INVALIDARG;
}
}  // namespace

// Colour and font properties only store: they take effect at the next Attach.
STDMETHODIMP cNeoCaption::get_ActiveCaptionColor(OLE_COLOR* v) { return GetValue(v, activeCaptionColor_); }
STDMETHODIMP cNeoCaption::put_ActiveCaptionColor(OLE_COLOR v) { return PutValue(activeCaptionColor_, v); }
STDMETHODIMP cNeoCaption::get_MenuBackgroundColor(OLE_COLOR* v) { return GetValue(v, menuBackgroundColor_); }
STDMETHODIMP cNeoCaption::put_MenuBackgroundColor(OLE_COLOR v) { return PutValue(menuBackgroundColor_, v); }
STDMETHODIMP cNeoCaption::get_InActiveCaptionColor(OLE_COLOR* v) { return GetValue(v, inActiveCaptionColor_); }
STDMETHODIMP cNeoCaption::put_InActiveCaptionColor(OLE_COLOR v) { return PutValue(inActiveCaptionColor_, v); }
STDMETHODIMP cNeoCaption::get_ActiveMenuColor(OLE_COLOR* v) { return GetValue(v, activeMenuColor_); }
STDMETHODIMP cNeoCaption::put_ActiveMenuColor(OLE_COLOR v) { return PutValue(activeMenuColor_, v); }
STDMETHODIMP cNeoCaption::get_ActiveMenuColorOver(OLE_COLOR* v) { return GetValue(v, activeMenuColorOver_); }
STDMETHODIMP cNeoCaption::put_ActiveMenuColorOver(OLE_COLOR v) { return PutValue(activeMenuColorOver_, v); }
STDMETHODIMP cNeoCaption::get_InActiveMenuColor(OLE_COLOR* v) { return GetValue(v, inActiveMenuColor_); }
STDMETHODIMP cNeoCaption::put_InActiveMenuColor(OLE_COLOR v) { return PutValue(inActiveMenuColor_, v); }
STDMETHODIMP cNeoCaption::get_CaptionFont(IFontDisp** v) { return GetObjectRef(v, captionFont_); }
STDMETHODIMP cNeoCaption::putref_CaptionFont(IFontDisp* v) { return PutFont(captionFont_, v); }
STDMETHODIMP cNeoCaption::get_MenuFont(IFontDisp** v) { return GetObjectRef(v, menuFont_); }
STDMETHODIMP cNeoCaption::putref_MenuFont(IFontDisp* v) { return PutFont(menuFont_, v); }

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
}  // namespace veltrim
