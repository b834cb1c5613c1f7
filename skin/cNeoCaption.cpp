#include "skin/cNeoCaption.h"

#include "skin/ComError.h"
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
HRESULT Read(OLE_COLOR* out, OLE_COLOR value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
}
HRESULT ReadFont(IFontDisp** out, const px::win::ScopedComPtr<IFontDisp>& font) {
    if (!out) return E_POINTER;
    *out = font.get();
    if (*out) (*out)->AddRef();
    return S_OK;
}
HRESULT WriteFont(px::win::ScopedComPtr<IFontDisp>& font, IFontDisp* value) {
    if (!value) return E_INVALIDARG;
    value->AddRef();
    font.reset(value);
    return S_OK;
}
}  // namespace

// Colour and font properties only store: they take effect at the next Attach.
STDMETHODIMP cNeoCaption::get_ActiveCaptionColor(OLE_COLOR* v) { return Read(v, activeCaptionColor_); }
STDMETHODIMP cNeoCaption::put_ActiveCaptionColor(OLE_COLOR v) { activeCaptionColor_ = v; return S_OK; }
STDMETHODIMP cNeoCaption::get_MenuBackgroundColor(OLE_COLOR* v) { return Read(v, menuBackgroundColor_); }
STDMETHODIMP cNeoCaption::put_MenuBackgroundColor(OLE_COLOR v) { menuBackgroundColor_ = v; return S_OK; }
STDMETHODIMP cNeoCaption::get_InActiveCaptionColor(OLE_COLOR* v) { return Read(v, inActiveCaptionColor_); }
STDMETHODIMP cNeoCaption::put_InActiveCaptionColor(OLE_COLOR v) { inActiveCaptionColor_ = v; return S_OK; }
STDMETHODIMP cNeoCaption::get_ActiveMenuColor(OLE_COLOR* v) { return Read(v, activeMenuColor_); }
STDMETHODIMP cNeoCaption::put_ActiveMenuColor(OLE_COLOR v) { activeMenuColor_ = v; return S_OK; }
STDMETHODIMP cNeoCaption::get_ActiveMenuColorOver(OLE_COLOR* v) { return Read(v, activeMenuColorOver_); }
STDMETHODIMP cNeoCaption::put_ActiveMenuColorOver(OLE_COLOR v) { activeMenuColorOver_ = v; return S_OK; }
STDMETHODIMP cNeoCaption::get_InActiveMenuColor(OLE_COLOR* v) { return Read(v, inActiveMenuColor_); }
STDMETHODIMP cNeoCaption::put_InActiveMenuColor(OLE_COLOR v) { inActiveMenuColor_ = v; return S_OK; }
STDMETHODIMP cNeoCaption::get_CaptionFont(IFontDisp** v) { return ReadFont(v, captionFont_); }
STDMETHODIMP cNeoCaption::putref_CaptionFont(IFontDisp* v) { return WriteFont(captionFont_, v); }
STDMETHODIMP cNeoCaption::get_MenuFont(IFontDisp** v) { return ReadFont(v, menuFont_); }
STDMETHODIMP cNeoCaption::putref_MenuFont(IFontDisp* v) { return WriteFont(menuFont_, v); }

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
