// cNeoCaption: loading a skin, attaching to a window and detaching, the skin
// handed back, and the margins and flags the frame manager asks for.
#include <string>
#include <utility>

#include "skin/ComError.h"
#include "skin/Module.h"
#include "skin/SkinColourise.h"
#include "skin/SkinFontObject.h"
#include "skin/SkinTransfer.h"
#include "skin/cNCCalcSize.h"
#include "skin/cNeoCaption.h"
#include "skin/cSkinConfiguration.h"
#include "skin/core/SkinDocument.h"

namespace veltrim {

namespace {

// The client's window handle, read late-bound from its "hwnd" property.
HWND WindowOf(IDispatch* f) {
    if (!f) return nullptr;
    LPOLESTR name = const_cast<LPOLESTR>(L"hwnd");
    DISPID id = 0;
    if (FAILED(f->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_USER_DEFAULT, &id))) return nullptr;
    DISPPARAMS none{};
    px::win::ScopedVariant result;
    if (FAILED(f->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, result.ptr(), nullptr,
                         nullptr)))
        return nullptr;
    if (FAILED(::VariantChangeType(result.ptr(), result.ptr(), 0, VT_I4))) return nullptr;
    return HandleFrom<HWND>(result.get().lVal);
}

void Activate(HWND hwnd) {
    if (!::IsWindowVisible(hwnd)) return;
    ::SetForegroundWindow(hwnd);
    ::SetFocus(hwnd);
    ::SendMessageW(hwnd, WM_NCACTIVATE, 1, 0);
}

}  // namespace

HRESULT cNeoCaption::LoadSkin(_cSkinConfiguration* skin) {
    core::SkinGeometry g;
    SkinObjects objects;
    HRESULT hr = ReadSkin(skin, g.values, objects);
    if (FAILED(hr)) return hr;
    if (!PictureSize(objects.caption.get(), g.captionWidth, g.captionHeight) ||
        !PictureSize(objects.borders.get(), g.borderWidth, g.borderHeight))
        return S_FALSE;  // a skin without its two pictures is ignored
    // Values and pictures beyond the limit are refused in the skin configuration's own words.
    const std::string range = px::SkinGeometryRangeMessage(g.values, {{g.captionWidth, "wide"},
                                                                      {g.captionHeight, "high"},
                                                                      {g.borderWidth, "wide"},
                                                                      {g.borderHeight, "high"}});
    if (!range.empty()) return RaiseError(kClassName, IID__cNeoCaption, std::wstring(range.begin(), range.end()));
    // A tile or caption below one pixel would never end the painter's strips.
    if (!g.Usable())
        return RaiseError(kClassName, IID__cNeoCaption,
                          L"Invalid skin: the border and caption pictures must be at least one pixel high");
    if (!caption_.CreateFromPicture(objects.caption.get()) || !border_.CreateFromPicture(objects.borders.get()))
        return RaiseError(kClassName, IID__cNeoCaption, L"The skin pictures could not be copied", E_OUTOFMEMORY);
    geo_ = g;
    capPicture_ = objects.caption;
    borderPicture_ = objects.borders;
    skinCaptionFont_ = objects.captionFont ? objects.captionFont : NewSkinFont();
    skinMenuFont_ = objects.menuFont ? objects.menuFont : NewSkinFont();
    transparentColor_ = static_cast<OLE_COLOR>(g.values.TransparentColor);

    // The painter works on recoloured copies; the skin's own values stay as given.
    const px::SkinValues& v = g.values;
    OLE_COLOR c[6] = {static_cast<OLE_COLOR>(v.ActiveCaptionColor), static_cast<OLE_COLOR>(v.InActiveCaptionColor),
                      static_cast<OLE_COLOR>(v.ActiveMenuColor),    static_cast<OLE_COLOR>(v.ActiveMenuColorOver),
                      static_cast<OLE_COLOR>(v.InActiveMenuColor),  static_cast<OLE_COLOR>(v.MenuBackgroundColor)};
    if (v.Colourise) {
        for (OLE_COLOR& colour : c) veltrim::ColouriseColour(colour, v.Hue, v.Saturation, transparentColor_);
        veltrim::ColouriseDC(border_.dc(), g.borderWidth, g.borderHeight, v.Hue, v.Saturation, transparentColor_);
        veltrim::ColouriseDC(caption_.dc(), g.captionWidth, g.captionHeight, v.Hue, v.Saturation, transparentColor_);
    }
    if (v.AdjustRGB) {
        for (OLE_COLOR& colour : c)
            veltrim::AdjustRGBColour(colour, v.PercentRed, v.PercentGreen, v.PercentBlue, transparentColor_);
        veltrim::AdjustRGBDC(border_.dc(), g.borderWidth, g.borderHeight, v.PercentRed, v.PercentGreen,
                             v.PercentBlue, transparentColor_);
        veltrim::AdjustRGBDC(caption_.dc(), g.captionWidth, g.captionHeight, v.PercentRed, v.PercentGreen,
                             v.PercentBlue, transparentColor_);
    }
    colours_ = {TranslatedColour(c[0]), TranslatedColour(c[1]), TranslatedColour(c[2]),
                TranslatedColour(c[3]), TranslatedColour(c[4]), TranslatedColour(c[5])};
    MakeFonts();
    LoadMenuLook();
    loaded_ = true;
    return S_OK;
}

STDMETHODIMP cNeoCaption::Attach2(IDispatch* f, _cSkinConfiguration* cSkin) {
    return Guarded(kClassName, IID__cNeoCaption, [&]() -> HRESULT {
        if (!cSkin) return E_POINTER;
        ECNCDrawMethodConstants method = ECNCModifyNonClientArea;
        cSkin->get_Method(&method);
        const HWND window = WindowOf(f);
        const bool reskin = hwnd_ && window == hwnd_ && method == method_ && manager_ &&
                            manager_->ManagedWindow() == hwnd_;
        px::win::ScopedComPtr<IPictureDisp> probe;
        if (FAILED(cSkin->get_Caption(probe.put())) || !probe || FAILED(cSkin->get_Borders(probe.put())) || !probe)
            return S_OK;  // a skin without its pictures changes nothing
        if (!reskin) DetachNow();
        HRESULT hr = LoadSkin(cSkin);
        if (hr != S_OK) return hr;
        if (!reskin) {
            if (!::IsWindow(window)) return RaiseError(kClassName, IID__cNeoCaption, L"Invalid window", E_INVALIDARG);
            hwnd_ = window;
            method_ = method;
            pressed_ = {};
            menuBar_->Attach(hwnd_, method_ == ECNCUseClientArea);
            manager_ = new cNCCalcSize();
            hr = manager_->Attach(static_cast<_INCAreaModifier*>(this));
            if (FAILED(hr)) {
                DetachNow();
                return hr;
            }
        }
        if (reskin) manager_->Display(f);
        else manager_->DisplayAfterAttach(f);
        ApplyColourKey();
        if (::IsWindowVisible(hwnd_)) {
            Activate(hwnd_);
            ::RedrawWindow(hwnd_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_FRAME);
        }
        return S_OK;
    });
}

void cNeoCaption::ApplyColourKey() {
    const LONG_PTR ex = ::GetWindowLongPtrW(hwnd_, GWL_EXSTYLE);
    const int32_t key = TranslatedColour(transparentColor_);
    if (static_cast<int32_t>(transparentColor_) == -1 || key == -1) {
        // Only a layered style this object set is taken away; the client's own stays.
        if (layeredByUs_) ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
        layeredByUs_ = false;
        return;
    }
    if (!(ex & WS_EX_LAYERED)) {
        ::SetWindowLongPtrW(hwnd_, GWL_EXSTYLE, ex | WS_EX_LAYERED);
        layeredByUs_ = true;
    }
    ::SetLayeredWindowAttributes(hwnd_, static_cast<COLORREF>(key), 0, LWA_COLORKEY);  // a failure is ignored
}

void cNeoCaption::DetachNow() {
    cNCCalcSize* manager = std::exchange(manager_, nullptr);
    const HWND hwnd = std::exchange(hwnd_, nullptr);
    if (manager) {
        long menu = 0;
        manager->get_hMenu(&menu);
        manager->Detach();
        // The menu goes back to the window (the manager took it off the window).
        if (menu && ::IsWindow(hwnd) && !::GetMenu(hwnd)) ::SetMenu(hwnd, HandleFrom<HMENU>(menu));
        manager->Release();
    }
    if (layeredByUs_ && ::IsWindow(hwnd))
        ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) & ~WS_EX_LAYERED);
    layeredByUs_ = false;
    menuBar_->Detach();
    pressed_ = {};
    menuBand_ = {};
}

void cNeoCaption::FinalRelease() { DetachNow(); }

STDMETHODIMP cNeoCaption::Detach() {
    DetachNow();
    return S_OK;
}

STDMETHODIMP cNeoCaption::Attach(IDispatch* f, IPictureDisp* picCaption, IPictureDisp* picBorder, long lButtonWidth,
                                 long lButtonHeight, long lActiveLeftEnd, long lActiveRightStart, long lActiveRightEnd,
                                 long lInactiveOffset) {
    return Guarded(kClassName, IID__cNeoCaption, [&]() -> HRESULT {
        px::SkinValues v = px::SkinValues::Defaults(NewSkinFontValues());
        v.ButtonWidth = lButtonWidth, v.ButtonHeight = lButtonHeight, v.ActiveLeftEnd = lActiveLeftEnd;
        v.ActiveRightStart = lActiveRightStart, v.ActiveRightEnd = lActiveRightEnd, v.InactiveOffset = lInactiveOffset;
        v.ActiveCaptionColor = static_cast<int32_t>(activeCaptionColor_);
        v.InActiveCaptionColor = static_cast<int32_t>(inActiveCaptionColor_);
        v.ActiveMenuColor = static_cast<int32_t>(activeMenuColor_);
        v.ActiveMenuColorOver = static_cast<int32_t>(activeMenuColorOver_);
        v.InActiveMenuColor = static_cast<int32_t>(inActiveMenuColor_);
        v.MenuBackgroundColor = static_cast<int32_t>(menuBackgroundColor_);
        SkinObjects o;
        if (picCaption) picCaption->AddRef(), o.caption.reset(picCaption);
        if (picBorder) picBorder->AddRef(), o.borders.reset(picBorder);
        o.captionFont = captionFont_;
        o.menuFont = menuFont_;
        px::win::ScopedComPtr<cSkinConfiguration> skin(new cSkinConfiguration());
        HRESULT hr = WriteSkin(skin.get(), v, o);
        return FAILED(hr) ? hr : Attach2(f, skin.get());
    });
}

STDMETHODIMP cNeoCaption::get_SkinConfiguration(_cSkinConfiguration** value) {
    if (!value) return E_POINTER;
    *value = nullptr;
    return Guarded(kClassName, IID__cNeoCaption, [&]() -> HRESULT {
        px::win::ScopedComPtr<cSkinConfiguration> skin(new cSkinConfiguration());
        SkinObjects o{capPicture_, borderPicture_, skinCaptionFont_ ? skinCaptionFont_ : captionFont_,
                      skinMenuFont_ ? skinMenuFont_ : menuFont_};
        px::SkinValues v = geo_.values;
        if (!loaded_) v = px::SkinValues::Defaults(NewSkinFontValues());
        // The skin's own colours, never the recoloured ones: a read-and-attach
        // round trip must not recolour twice.
        HRESULT hr = WriteSkin(skin.get(), v, o);
        if (FAILED(hr)) return hr;
        *value = skin.get();
        (*value)->AddRef();
        return S_OK;
    });
}

STDMETHODIMP cNeoCaption::get_hwnd(long* hwnd) {
    if (!hwnd) return E_POINTER;
    *hwnd = HandleTo(hwnd_);
    return S_OK;
}
STDMETHODIMP cNeoCaption::get_Method(ECNCDrawMethodConstants* eMethod) {
    if (!eMethod) return E_POINTER;
    *eMethod = method_;
    return S_OK;
}
STDMETHODIMP cNeoCaption::GetTopMarginHeight(long* cy) {
    if (!cy) return E_POINTER;
    if (loaded_) *cy = geo_.FrameMargins().top;
    return S_OK;
}
STDMETHODIMP cNeoCaption::GetLeftMarginWidth(long* cx) {
    if (!cx) return E_POINTER;
    if (loaded_) *cx = geo_.FrameMargins().left;
    return S_OK;
}
STDMETHODIMP cNeoCaption::GetRightMarginWidth(long* cx) {
    if (!cx) return E_POINTER;
    if (loaded_) *cx = geo_.FrameMargins().right;
    return S_OK;
}
STDMETHODIMP cNeoCaption::GetBottomMarginHeight(long* cy) {
    if (!cy) return E_POINTER;
    if (loaded_) *cy = geo_.FrameMargins().bottom;
    return S_OK;
}
STDMETHODIMP cNeoCaption::get_CanSize(VARIANT_BOOL* b) {
    if (!b) return E_POINTER;
    *b = method_ == ECNCUseClientArea || (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_THICKFRAME) ? VARIANT_TRUE
                                                                                                  : VARIANT_FALSE;
    return S_OK;
}
STDMETHODIMP cNeoCaption::get_CanClose(VARIANT_BOOL* b) {
    if (!b) return E_POINTER;
    *b = method_ == ECNCUseClientArea || (::GetWindowLongPtrW(hwnd_, GWL_STYLE) & WS_SYSMENU) ? VARIANT_TRUE
                                                                                               : VARIANT_FALSE;
    return S_OK;
}

// The menu messages go to the menu bar.
STDMETHODIMP cNeoCaption::InitMenuPopup(long wParam, long) {
    if (hwnd_) menuBar_->InitMenuPopup(HandleFrom<HMENU>(wParam));
    return S_OK;
}
STDMETHODIMP cNeoCaption::ExitMenuLoop() {
    menuBar_->ExitMenuLoop();
    return S_OK;
}
STDMETHODIMP cNeoCaption::AltKeyAccelerator(long vKey, long* result) {
    if (!result) return E_POINTER;
    *result = hwnd_ && menuBar_->AltKeyAccelerator(vKey) ? 1 : 0;
    return S_OK;
}

}  // namespace veltrim
