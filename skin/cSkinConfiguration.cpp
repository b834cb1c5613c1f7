#include "skin/cSkinConfiguration.h"

#include <olectl.h>

#include <new>
#include <optional>

#include "skin/ComError.h"
#include "skin/ComProperty.h"
#include "skin/Module.h"
#include "skin/SkinFontObject.h"
#include "skin/SkinXmlDom.h"
#include "skin/cNeoCaption.h"
#include "skin/core/SkinDocument.h"

namespace veltrim {
namespace {

using px::win::ScopedComPtr;

// Height in pixels of what the painter will draw from a picture; nullopt
// when there is no picture (nothing is drawn then).
std::optional<int32_t> PictureHeight(IPictureDisp* picture) {
    if (!picture) return std::nullopt;
    ScopedComPtr<IPicture> p;
    if (FAILED(picture->QueryInterface(IID_IPicture, reinterpret_cast<void**>(p.put()))) || !p) return 0;
    SHORT type = PICTYPE_UNINITIALIZED;
    p->get_Type(&type);
    if (type == PICTYPE_BITMAP) {
        OLE_HANDLE handle = 0;
        BITMAP bm{};
        if (SUCCEEDED(p->get_Handle(&handle)) &&
            ::GetObjectW(HandleFrom<HBITMAP>(static_cast<long>(handle)), sizeof bm, &bm))
            return bm.bmHeight;
        return 0;
    }
    OLE_YSIZE_HIMETRIC himetric = 0;
    if (FAILED(p->get_Height(&himetric))) return 0;
    px::win::ScopedGetDC screen(nullptr);
    return ::MulDiv(himetric, ::GetDeviceCaps(screen, LOGPIXELSY), 2540);
}

}  // namespace

cSkinConfiguration::cSkinConfiguration() : DispatchFor<_cSkinConfiguration>(IID__cSkinConfiguration) {
    try {
        captionFont_ = NewSkinFont();
        menuFont_ = NewSkinFont();
        values_ = px::SkinValues::Defaults(NewSkinFontValues());
    } catch (const std::exception&) {
        // No font object: the fonts stay empty and Store reports the failure.
    }
}

STDMETHODIMP cSkinConfiguration::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (iid == IID_IUnknown || iid == IID_IDispatch || iid == IID__cSkinConfiguration) {
        *out = static_cast<_cSkinConfiguration*>(this);
    } else if (iid == IID_ISupportErrorInfo) {
        *out = static_cast<ISupportErrorInfo*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP cSkinConfiguration::InterfaceSupportsErrorInfo(REFIID iid) {
    return iid == IID__cSkinConfiguration ? S_OK : S_FALSE;
}

px::SkinValues cSkinConfiguration::Current() const {
    px::SkinValues v = values_;
    v.CaptionFont = ReadSkinFont(captionFont_.get());
    v.MenuFont = ReadSkinFont(menuFont_.get());
    return v;
}

HRESULT cSkinConfiguration::Failed(int32_t number, const std::string& description) {
    return RaiseError(kClassName, IID__cSkinConfiguration, WideFromUtf8(description), static_cast<HRESULT>(number));
}

// Restore parses and converts into a copy and commits only when everything
// succeeded, so a failed call leaves the earlier settings whole.
STDMETHODIMP cSkinConfiguration::Restore(BSTR sXml, IPictureDisp* picCaption, IPictureDisp* picBorders) {
    try {
        ::SetErrorInfo(0, nullptr);
        const std::wstring_view xml(sXml ? sXml : L"", sXml ? ::SysStringLen(sXml) : 0);
        px::SkinValues next = px::RestoreSkinValues(LoadSkinElement(xml), Current(), NewSkinFontValues());
        px::ValidateSkinGeometry(next, PictureHeight(picCaption), PictureHeight(picBorders));
        ScopedComPtr<IFontDisp> captionFont = NewSkinFont(next.CaptionFont);
        ScopedComPtr<IFontDisp> menuFont = NewSkinFont(next.MenuFont);
        values_ = std::move(next);
        captionFont_ = std::move(captionFont);
        menuFont_ = std::move(menuFont);
        caption_ = Hold(picCaption);
        borders_ = Hold(picBorders);
        return S_OK;
    } catch (const px::Error& e) {
        return Failed(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        return Failed(E_OUTOFMEMORY, "Out of memory");
    }
}

STDMETHODIMP cSkinConfiguration::Store(BSTR* sXml) {
    if (!sXml) return E_POINTER;
    *sXml = nullptr;
    try {
        ::SetErrorInfo(0, nullptr);
        const std::wstring xml = WriteSkinDocument(px::StoreSkinDocument(Current()));
        *sXml = ::SysAllocStringLen(xml.data(), static_cast<UINT>(xml.size()));
        return *sXml ? S_OK : E_OUTOFMEMORY;
    } catch (const px::Error& e) {
        return Failed(e.number(), e.description());
    } catch (const std::bad_alloc&) {
        return Failed(E_OUTOFMEMORY, "Out of memory");
    }
}

// A sample of this skin through the caption painter's own painting path.
STDMETHODIMP cSkinConfiguration::DrawSample(long lhWnd, long lHDC, long lLeft, long lTop, long lWidth, long lHeight,
                                            VARIANT_BOOL bActive) {
    return Guarded(kClassName, IID__cSkinConfiguration, [&] {
        return cNeoCaption::DrawSample(this, HandleFrom<HWND>(lhWnd), HandleFrom<HDC>(lHDC), lLeft, lTop, lWidth,
                                       lHeight, bActive != VARIANT_FALSE);
    });
}

STDMETHODIMP cSkinConfiguration::get_Name(BSTR* value) {
    if (!value) return E_POINTER;
    const std::wstring name = WideFromUtf8(values_.Name);
    *value = ::SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP cSkinConfiguration::put_Name(BSTR value) {
    try {
        values_.Name = Utf8FromWide(std::wstring_view(value ? value : L"", value ? ::SysStringLen(value) : 0));
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

// Objects: the client's own objects are kept (a font changed through the
// property afterwards is the skin's font).
STDMETHODIMP cSkinConfiguration::get_Caption(IPictureDisp** v) { return GetObjectRef(v, caption_); }
STDMETHODIMP cSkinConfiguration::putref_Caption(IPictureDisp* v) { return PutObject(caption_, v); }
STDMETHODIMP cSkinConfiguration::get_Borders(IPictureDisp** v) { return GetObjectRef(v, borders_); }
STDMETHODIMP cSkinConfiguration::putref_Borders(IPictureDisp* v) { return PutObject(borders_, v); }
STDMETHODIMP cSkinConfiguration::get_CaptionFont(IFontDisp** v) { return GetObjectRef(v, captionFont_); }
STDMETHODIMP cSkinConfiguration::putref_CaptionFont(IFontDisp* v) { return PutObject(captionFont_, v); }
STDMETHODIMP cSkinConfiguration::get_MenuFont(IFontDisp** v) { return GetObjectRef(v, menuFont_); }
STDMETHODIMP cSkinConfiguration::putref_MenuFont(IFontDisp* v) { return PutObject(menuFont_, v); }

// Plain values.
STDMETHODIMP cSkinConfiguration::get_ButtonWidth(long* v) { return GetValue(v, values_.ButtonWidth); }
STDMETHODIMP cSkinConfiguration::put_ButtonWidth(long v) { return PutValue(values_.ButtonWidth, v); }
STDMETHODIMP cSkinConfiguration::get_ButtonHeight(long* v) { return GetValue(v, values_.ButtonHeight); }
STDMETHODIMP cSkinConfiguration::put_ButtonHeight(long v) { return PutValue(values_.ButtonHeight, v); }
STDMETHODIMP cSkinConfiguration::get_ActiveLeftEnd(long* v) { return GetValue(v, values_.ActiveLeftEnd); }
STDMETHODIMP cSkinConfiguration::put_ActiveLeftEnd(long v) { return PutValue(values_.ActiveLeftEnd, v); }
STDMETHODIMP cSkinConfiguration::get_ActiveRightStart(long* v) { return GetValue(v, values_.ActiveRightStart); }
STDMETHODIMP cSkinConfiguration::put_ActiveRightStart(long v) { return PutValue(values_.ActiveRightStart, v); }
STDMETHODIMP cSkinConfiguration::get_ActiveRightEnd(long* v) { return GetValue(v, values_.ActiveRightEnd); }
STDMETHODIMP cSkinConfiguration::put_ActiveRightEnd(long v) { return PutValue(values_.ActiveRightEnd, v); }
STDMETHODIMP cSkinConfiguration::get_InactiveOffset(long* v) { return GetValue(v, values_.InactiveOffset); }
STDMETHODIMP cSkinConfiguration::put_InactiveOffset(long v) { return PutValue(values_.InactiveOffset, v); }
STDMETHODIMP cSkinConfiguration::get_ActiveCaptionColor(OLE_COLOR* v) { return GetValue(v, values_.ActiveCaptionColor); }
STDMETHODIMP cSkinConfiguration::put_ActiveCaptionColor(OLE_COLOR v) { return PutValue(values_.ActiveCaptionColor, v); }
STDMETHODIMP cSkinConfiguration::get_InActiveCaptionColor(OLE_COLOR* v) { return GetValue(v, values_.InActiveCaptionColor); }
STDMETHODIMP cSkinConfiguration::put_InActiveCaptionColor(OLE_COLOR v) { return PutValue(values_.InActiveCaptionColor, v); }
STDMETHODIMP cSkinConfiguration::get_ActiveMenuColor(OLE_COLOR* v) { return GetValue(v, values_.ActiveMenuColor); }
STDMETHODIMP cSkinConfiguration::put_ActiveMenuColor(OLE_COLOR v) { return PutValue(values_.ActiveMenuColor, v); }
STDMETHODIMP cSkinConfiguration::get_ActiveMenuColorOver(OLE_COLOR* v) { return GetValue(v, values_.ActiveMenuColorOver); }
STDMETHODIMP cSkinConfiguration::put_ActiveMenuColorOver(OLE_COLOR v) { return PutValue(values_.ActiveMenuColorOver, v); }
STDMETHODIMP cSkinConfiguration::get_InActiveMenuColor(OLE_COLOR* v) { return GetValue(v, values_.InActiveMenuColor); }
STDMETHODIMP cSkinConfiguration::put_InActiveMenuColor(OLE_COLOR v) { return PutValue(values_.InActiveMenuColor, v); }
STDMETHODIMP cSkinConfiguration::get_MenuBackgroundColor(OLE_COLOR* v) { return GetValue(v, values_.MenuBackgroundColor); }
STDMETHODIMP cSkinConfiguration::put_MenuBackgroundColor(OLE_COLOR v) { return PutValue(values_.MenuBackgroundColor, v); }
STDMETHODIMP cSkinConfiguration::get_BorderHasInactiveVersion(VARIANT_BOOL* v) { return GetBool(v, values_.BorderHasInactiveVersion); }
STDMETHODIMP cSkinConfiguration::put_BorderHasInactiveVersion(VARIANT_BOOL v) { return PutBool(values_.BorderHasInactiveVersion, v); }
STDMETHODIMP cSkinConfiguration::get_LeftBorderWidth(long* v) { return GetValue(v, values_.LeftBorderWidth); }
STDMETHODIMP cSkinConfiguration::put_LeftBorderWidth(long v) { return PutValue(values_.LeftBorderWidth, v); }
STDMETHODIMP cSkinConfiguration::get_RightBorderWidth(long* v) { return GetValue(v, values_.RightBorderWidth); }
STDMETHODIMP cSkinConfiguration::put_RightBorderWidth(long v) { return PutValue(values_.RightBorderWidth, v); }
STDMETHODIMP cSkinConfiguration::get_TopSizingBorderHeight(long* v) { return GetValue(v, values_.TopSizingBorderHeight); }
STDMETHODIMP cSkinConfiguration::put_TopSizingBorderHeight(long v) { return PutValue(values_.TopSizingBorderHeight, v); }
STDMETHODIMP cSkinConfiguration::get_BottomSizingBorderHeight(long* v) { return GetValue(v, values_.BottomSizingBorderHeight); }
STDMETHODIMP cSkinConfiguration::put_BottomSizingBorderHeight(long v) { return PutValue(values_.BottomSizingBorderHeight, v); }
STDMETHODIMP cSkinConfiguration::get_DrawTitle(VARIANT_BOOL* v) { return GetBool(v, values_.DrawTitle); }
STDMETHODIMP cSkinConfiguration::put_DrawTitle(VARIANT_BOOL v) { return PutBool(values_.DrawTitle, v); }
STDMETHODIMP cSkinConfiguration::get_TitleStartOffsetY(long* v) { return GetValue(v, values_.TitleStartOffsetY); }
STDMETHODIMP cSkinConfiguration::put_TitleStartOffsetY(long v) { return PutValue(values_.TitleStartOffsetY, v); }
STDMETHODIMP cSkinConfiguration::get_ControlButtonHasInactiveVersion(VARIANT_BOOL* v) { return GetBool(v, values_.ControlButtonHasInactiveVersion); }
STDMETHODIMP cSkinConfiguration::put_ControlButtonHasInactiveVersion(VARIANT_BOOL v) { return PutBool(values_.ControlButtonHasInactiveVersion, v); }
STDMETHODIMP cSkinConfiguration::get_CustomControlButtonPosition(VARIANT_BOOL* v) { return GetBool(v, values_.CustomControlButtonPosition); }
STDMETHODIMP cSkinConfiguration::put_CustomControlButtonPosition(VARIANT_BOOL v) { return PutBool(values_.CustomControlButtonPosition, v); }
STDMETHODIMP cSkinConfiguration::get_ControlButtonOffsetX(long* v) { return GetValue(v, values_.ControlButtonOffsetX); }
STDMETHODIMP cSkinConfiguration::put_ControlButtonOffsetX(long v) { return PutValue(values_.ControlButtonOffsetX, v); }
STDMETHODIMP cSkinConfiguration::get_ControlButtonOffsetY(long* v) { return GetValue(v, values_.ControlButtonOffsetY); }
STDMETHODIMP cSkinConfiguration::put_ControlButtonOffsetY(long v) { return PutValue(values_.ControlButtonOffsetY, v); }
STDMETHODIMP cSkinConfiguration::get_MenuStartOffsetY(long* v) { return GetValue(v, values_.MenuStartOffsetY); }
STDMETHODIMP cSkinConfiguration::put_MenuStartOffsetY(long v) { return PutValue(values_.MenuStartOffsetY, v); }
STDMETHODIMP cSkinConfiguration::get_MenuStartOffsetX(long* v) { return GetValue(v, values_.MenuStartOffsetX); }
STDMETHODIMP cSkinConfiguration::put_MenuStartOffsetX(long v) { return PutValue(values_.MenuStartOffsetX, v); }
STDMETHODIMP cSkinConfiguration::get_Colourise(VARIANT_BOOL* v) { return GetBool(v, values_.Colourise); }
STDMETHODIMP cSkinConfiguration::put_Colourise(VARIANT_BOOL v) { return PutBool(values_.Colourise, v); }
STDMETHODIMP cSkinConfiguration::get_Hue(float* v) { return GetValue(v, values_.Hue); }
STDMETHODIMP cSkinConfiguration::put_Hue(float v) { return PutValue(values_.Hue, v); }
STDMETHODIMP cSkinConfiguration::get_Saturation(float* v) { return GetValue(v, values_.Saturation); }
STDMETHODIMP cSkinConfiguration::put_Saturation(float v) { return PutValue(values_.Saturation, v); }
STDMETHODIMP cSkinConfiguration::get_AdjustRGB(VARIANT_BOOL* v) { return GetBool(v, values_.AdjustRGB); }
STDMETHODIMP cSkinConfiguration::put_AdjustRGB(VARIANT_BOOL v) { return PutBool(values_.AdjustRGB, v); }
STDMETHODIMP cSkinConfiguration::get_PercentRed(float* v) { return GetValue(v, values_.PercentRed); }
STDMETHODIMP cSkinConfiguration::put_PercentRed(float v) { return PutValue(values_.PercentRed, v); }
STDMETHODIMP cSkinConfiguration::get_PercentBlue(float* v) { return GetValue(v, values_.PercentBlue); }
STDMETHODIMP cSkinConfiguration::put_PercentBlue(float v) { return PutValue(values_.PercentBlue, v); }
STDMETHODIMP cSkinConfiguration::get_PercentGreen(float* v) { return GetValue(v, values_.PercentGreen); }
STDMETHODIMP cSkinConfiguration::put_PercentGreen(float v) { return PutValue(values_.PercentGreen, v); }
STDMETHODIMP cSkinConfiguration::get_TransparentColor(OLE_COLOR* v) { return GetValue(v, values_.TransparentColor); }
STDMETHODIMP cSkinConfiguration::put_TransparentColor(OLE_COLOR v) { return PutValue(values_.TransparentColor, v); }
STDMETHODIMP cSkinConfiguration::get_Method(ECNCDrawMethodConstants* v) { return GetValue(v, values_.Method); }
STDMETHODIMP cSkinConfiguration::put_Method(ECNCDrawMethodConstants v) { return PutValue(values_.Method, v); }

}  // namespace veltrim
