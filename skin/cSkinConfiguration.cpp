#include "skin/cSkinConfiguration.h"

#include "skin/ComError.h"

namespace veltrim {

cSkinConfiguration::cSkinConfiguration() : DispatchFor<_cSkinConfiguration>(IID__cSkinConfiguration) {}

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

STDMETHODIMP cSkinConfiguration::get_ButtonWidth(long* value) {
    if (!value) return E_POINTER;
    *value = buttonWidth_;
    return S_OK;
}

STDMETHODIMP cSkinConfiguration::put_ButtonWidth(long value) {
    buttonWidth_ = value;
    return S_OK;
}

STDMETHODIMP cSkinConfiguration::get_Name(BSTR* value) {
    if (!value) return E_POINTER;
    *value = ::SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *value ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP cSkinConfiguration::put_Name(BSTR value) {
    name_.assign(value ? value : L"", value ? ::SysStringLen(value) : 0);
    return S_OK;
}

// The members below come with the skin settings.
STDMETHODIMP cSkinConfiguration::get_ButtonHeight(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ButtonHeight");
}
STDMETHODIMP cSkinConfiguration::put_ButtonHeight(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ButtonHeight");
}
STDMETHODIMP cSkinConfiguration::get_ActiveLeftEnd(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveLeftEnd");
}
STDMETHODIMP cSkinConfiguration::put_ActiveLeftEnd(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveLeftEnd");
}
STDMETHODIMP cSkinConfiguration::get_ActiveRightStart(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveRightStart");
}
STDMETHODIMP cSkinConfiguration::put_ActiveRightStart(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveRightStart");
}
STDMETHODIMP cSkinConfiguration::get_ActiveRightEnd(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveRightEnd");
}
STDMETHODIMP cSkinConfiguration::put_ActiveRightEnd(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveRightEnd");
}
STDMETHODIMP cSkinConfiguration::get_InactiveOffset(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"InactiveOffset");
}
STDMETHODIMP cSkinConfiguration::put_InactiveOffset(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"InactiveOffset");
}
STDMETHODIMP cSkinConfiguration::get_Caption(IPictureDisp** /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Caption");
}
STDMETHODIMP cSkinConfiguration::putref_Caption(IPictureDisp* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Caption");
}
STDMETHODIMP cSkinConfiguration::get_Borders(IPictureDisp** /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Borders");
}
STDMETHODIMP cSkinConfiguration::putref_Borders(IPictureDisp* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Borders");
}
STDMETHODIMP cSkinConfiguration::get_ActiveCaptionColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveCaptionColor");
}
STDMETHODIMP cSkinConfiguration::put_ActiveCaptionColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveCaptionColor");
}
STDMETHODIMP cSkinConfiguration::get_InActiveCaptionColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"InActiveCaptionColor");
}
STDMETHODIMP cSkinConfiguration::put_InActiveCaptionColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"InActiveCaptionColor");
}
STDMETHODIMP cSkinConfiguration::get_CaptionFont(IFontDisp** /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"CaptionFont");
}
STDMETHODIMP cSkinConfiguration::putref_CaptionFont(IFontDisp* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"CaptionFont");
}
STDMETHODIMP cSkinConfiguration::get_ActiveMenuColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveMenuColor");
}
STDMETHODIMP cSkinConfiguration::put_ActiveMenuColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveMenuColor");
}
STDMETHODIMP cSkinConfiguration::get_ActiveMenuColorOver(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveMenuColorOver");
}
STDMETHODIMP cSkinConfiguration::put_ActiveMenuColorOver(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ActiveMenuColorOver");
}
STDMETHODIMP cSkinConfiguration::get_InActiveMenuColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"InActiveMenuColor");
}
STDMETHODIMP cSkinConfiguration::put_InActiveMenuColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"InActiveMenuColor");
}
STDMETHODIMP cSkinConfiguration::get_MenuBackgroundColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuBackgroundColor");
}
STDMETHODIMP cSkinConfiguration::put_MenuBackgroundColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuBackgroundColor");
}
STDMETHODIMP cSkinConfiguration::get_MenuFont(IFontDisp** /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuFont");
}
STDMETHODIMP cSkinConfiguration::putref_MenuFont(IFontDisp* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuFont");
}
STDMETHODIMP cSkinConfiguration::get_BorderHasInactiveVersion(VARIANT_BOOL* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"BorderHasInactiveVersion");
}
STDMETHODIMP cSkinConfiguration::put_BorderHasInactiveVersion(VARIANT_BOOL /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"BorderHasInactiveVersion");
}
STDMETHODIMP cSkinConfiguration::get_LeftBorderWidth(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"LeftBorderWidth");
}
STDMETHODIMP cSkinConfiguration::put_LeftBorderWidth(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"LeftBorderWidth");
}
STDMETHODIMP cSkinConfiguration::get_RightBorderWidth(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"RightBorderWidth");
}
STDMETHODIMP cSkinConfiguration::put_RightBorderWidth(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"RightBorderWidth");
}
STDMETHODIMP cSkinConfiguration::get_TopSizingBorderHeight(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"TopSizingBorderHeight");
}
STDMETHODIMP cSkinConfiguration::put_TopSizingBorderHeight(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"TopSizingBorderHeight");
}
STDMETHODIMP cSkinConfiguration::get_BottomSizingBorderHeight(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"BottomSizingBorderHeight");
}
STDMETHODIMP cSkinConfiguration::put_BottomSizingBorderHeight(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"BottomSizingBorderHeight");
}
STDMETHODIMP cSkinConfiguration::get_DrawTitle(VARIANT_BOOL* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"DrawTitle");
}
STDMETHODIMP cSkinConfiguration::put_DrawTitle(VARIANT_BOOL /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"DrawTitle");
}
STDMETHODIMP cSkinConfiguration::get_TitleStartOffsetY(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"TitleStartOffsetY");
}
STDMETHODIMP cSkinConfiguration::put_TitleStartOffsetY(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"TitleStartOffsetY");
}
STDMETHODIMP cSkinConfiguration::get_ControlButtonHasInactiveVersion(VARIANT_BOOL* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ControlButtonHasInactiveVersion");
}
STDMETHODIMP cSkinConfiguration::put_ControlButtonHasInactiveVersion(VARIANT_BOOL /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ControlButtonHasInactiveVersion");
}
STDMETHODIMP cSkinConfiguration::get_CustomControlButtonPosition(VARIANT_BOOL* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"CustomControlButtonPosition");
}
STDMETHODIMP cSkinConfiguration::put_CustomControlButtonPosition(VARIANT_BOOL /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"CustomControlButtonPosition");
}
STDMETHODIMP cSkinConfiguration::get_ControlButtonOffsetX(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ControlButtonOffsetX");
}
STDMETHODIMP cSkinConfiguration::put_ControlButtonOffsetX(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ControlButtonOffsetX");
}
STDMETHODIMP cSkinConfiguration::get_ControlButtonOffsetY(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ControlButtonOffsetY");
}
STDMETHODIMP cSkinConfiguration::put_ControlButtonOffsetY(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"ControlButtonOffsetY");
}
STDMETHODIMP cSkinConfiguration::get_MenuStartOffsetY(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuStartOffsetY");
}
STDMETHODIMP cSkinConfiguration::put_MenuStartOffsetY(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuStartOffsetY");
}
STDMETHODIMP cSkinConfiguration::get_MenuStartOffsetX(long* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuStartOffsetX");
}
STDMETHODIMP cSkinConfiguration::put_MenuStartOffsetX(long /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"MenuStartOffsetX");
}
STDMETHODIMP cSkinConfiguration::get_Colourise(VARIANT_BOOL* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Colourise");
}
STDMETHODIMP cSkinConfiguration::put_Colourise(VARIANT_BOOL /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Colourise");
}
STDMETHODIMP cSkinConfiguration::get_Hue(float* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Hue");
}
STDMETHODIMP cSkinConfiguration::put_Hue(float /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Hue");
}
STDMETHODIMP cSkinConfiguration::get_Saturation(float* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Saturation");
}
STDMETHODIMP cSkinConfiguration::put_Saturation(float /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Saturation");
}
STDMETHODIMP cSkinConfiguration::get_AdjustRGB(VARIANT_BOOL* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"AdjustRGB");
}
STDMETHODIMP cSkinConfiguration::put_AdjustRGB(VARIANT_BOOL /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"AdjustRGB");
}
STDMETHODIMP cSkinConfiguration::get_PercentRed(float* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"PercentRed");
}
STDMETHODIMP cSkinConfiguration::put_PercentRed(float /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"PercentRed");
}
STDMETHODIMP cSkinConfiguration::get_PercentBlue(float* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"PercentBlue");
}
STDMETHODIMP cSkinConfiguration::put_PercentBlue(float /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"PercentBlue");
}
STDMETHODIMP cSkinConfiguration::get_PercentGreen(float* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"PercentGreen");
}
STDMETHODIMP cSkinConfiguration::put_PercentGreen(float /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"PercentGreen");
}
STDMETHODIMP cSkinConfiguration::get_TransparentColor(OLE_COLOR* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"TransparentColor");
}
STDMETHODIMP cSkinConfiguration::put_TransparentColor(OLE_COLOR /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"TransparentColor");
}
STDMETHODIMP cSkinConfiguration::get_Method(ECNCDrawMethodConstants* /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Method");
}
STDMETHODIMP cSkinConfiguration::put_Method(ECNCDrawMethodConstants /*value*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Method");
}
STDMETHODIMP cSkinConfiguration::DrawSample(long /*lhWnd*/, long /*lHDC*/, long /*lLeft*/, long /*lTop*/, long /*lWidth*/, long /*lHeight*/, VARIANT_BOOL /*bActive*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"DrawSample");
}
STDMETHODIMP cSkinConfiguration::Restore(BSTR /*sXml*/, IPictureDisp* /*picCaption*/, IPictureDisp* /*picBorders*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Restore");
}
STDMETHODIMP cSkinConfiguration::Store(BSTR* /*sXml*/) {
    return NotImplemented(kClassName, IID__cSkinConfiguration, L"Store");
}

}  // namespace veltrim
