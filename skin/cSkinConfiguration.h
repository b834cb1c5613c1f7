#pragma once
// cSkinConfiguration: the settings object that describes one skin (two
// bitmaps, caption geometry, colours, fonts, effects), with its sample
// drawing and its XML text. Creatable through COM as veltrim.cSkinConfiguration.
// Plain values live in px::SkinValues; fonts and pictures are the objects the
// client hands in (their descriptions in the values are unused here).
#include <windows.h>

#include "base/win/ScopedWin.h"
#include "skin/ComObject.h"
#include "skin/core/SkinValues.h"
#include "skin/veltrim_h.h"

namespace veltrim {

class cSkinConfiguration final : public ComObjectBase,
                                 public DispatchFor<_cSkinConfiguration>,
                                 public ISupportErrorInfo {
public:
    static constexpr wchar_t kClassName[] = L"cSkinConfiguration";
    cSkinConfiguration();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefCount(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseCount(); }
    STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

    STDMETHODIMP get_ButtonWidth(long* value) override;
    STDMETHODIMP put_ButtonWidth(long value) override;
    STDMETHODIMP get_ButtonHeight(long* value) override;
    STDMETHODIMP put_ButtonHeight(long value) override;
    STDMETHODIMP get_ActiveLeftEnd(long* value) override;
    STDMETHODIMP put_ActiveLeftEnd(long value) override;
    STDMETHODIMP get_ActiveRightStart(long* value) override;
    STDMETHODIMP put_ActiveRightStart(long value) override;
    STDMETHODIMP get_ActiveRightEnd(long* value) override;
    STDMETHODIMP put_ActiveRightEnd(long value) override;
    STDMETHODIMP get_InactiveOffset(long* value) override;
    STDMETHODIMP put_InactiveOffset(long value) override;
    STDMETHODIMP get_Caption(IPictureDisp** value) override;
    STDMETHODIMP putref_Caption(IPictureDisp* value) override;
    STDMETHODIMP get_Borders(IPictureDisp** value) override;
    STDMETHODIMP putref_Borders(IPictureDisp* value) override;
    STDMETHODIMP get_ActiveCaptionColor(OLE_COLOR* value) override;
    STDMETHODIMP put_ActiveCaptionColor(OLE_COLOR value) override;
    STDMETHODIMP get_InActiveCaptionColor(OLE_COLOR* value) override;
    STDMETHODIMP put_InActiveCaptionColor(OLE_COLOR value) override;
    STDMETHODIMP get_CaptionFont(IFontDisp** value) override;
    STDMETHODIMP putref_CaptionFont(IFontDisp* value) override;
    STDMETHODIMP get_ActiveMenuColor(OLE_COLOR* value) override;
    STDMETHODIMP put_ActiveMenuColor(OLE_COLOR value) override;
    STDMETHODIMP get_ActiveMenuColorOver(OLE_COLOR* value) override;
    STDMETHODIMP put_ActiveMenuColorOver(OLE_COLOR value) override;
    STDMETHODIMP get_InActiveMenuColor(OLE_COLOR* value) override;
    STDMETHODIMP put_InActiveMenuColor(OLE_COLOR value) override;
    STDMETHODIMP get_MenuBackgroundColor(OLE_COLOR* value) override;
    STDMETHODIMP put_MenuBackgroundColor(OLE_COLOR value) override;
    STDMETHODIMP get_MenuFont(IFontDisp** value) override;
    STDMETHODIMP putref_MenuFont(IFontDisp* value) override;
    STDMETHODIMP get_BorderHasInactiveVersion(VARIANT_BOOL* value) override;
    STDMETHODIMP put_BorderHasInactiveVersion(VARIANT_BOOL value) override;
    STDMETHODIMP get_LeftBorderWidth(long* value) override;
    STDMETHODIMP put_LeftBorderWidth(long value) override;
    STDMETHODIMP get_RightBorderWidth(long* value) override;
    STDMETHODIMP put_RightBorderWidth(long value) override;
    STDMETHODIMP get_TopSizingBorderHeight(long* value) override;
    STDMETHODIMP put_TopSizingBorderHeight(long value) override;
    STDMETHODIMP get_BottomSizingBorderHeight(long* value) override;
    STDMETHODIMP put_BottomSizingBorderHeight(long value) override;
    STDMETHODIMP get_DrawTitle(VARIANT_BOOL* value) override;
    STDMETHODIMP put_DrawTitle(VARIANT_BOOL value) override;
    STDMETHODIMP get_TitleStartOffsetY(long* value) override;
    STDMETHODIMP put_TitleStartOffsetY(long value) override;
    STDMETHODIMP get_ControlButtonHasInactiveVersion(VARIANT_BOOL* value) override;
    STDMETHODIMP put_ControlButtonHasInactiveVersion(VARIANT_BOOL value) override;
    STDMETHODIMP get_CustomControlButtonPosition(VARIANT_BOOL* value) override;
    STDMETHODIMP put_CustomControlButtonPosition(VARIANT_BOOL value) override;
    STDMETHODIMP get_ControlButtonOffsetX(long* value) override;
    STDMETHODIMP put_ControlButtonOffsetX(long value) override;
    STDMETHODIMP get_ControlButtonOffsetY(long* value) override;
    STDMETHODIMP put_ControlButtonOffsetY(long value) override;
    STDMETHODIMP get_MenuStartOffsetY(long* value) override;
    STDMETHODIMP put_MenuStartOffsetY(long value) override;
    STDMETHODIMP get_MenuStartOffsetX(long* value) override;
    STDMETHODIMP put_MenuStartOffsetX(long value) override;
    STDMETHODIMP get_Name(BSTR* value) override;
    STDMETHODIMP put_Name(BSTR value) override;
    STDMETHODIMP get_Colourise(VARIANT_BOOL* value) override;
    STDMETHODIMP put_Colourise(VARIANT_BOOL value) override;
    STDMETHODIMP get_Hue(float* value) override;
    STDMETHODIMP put_Hue(float value) override;
    STDMETHODIMP get_Saturation(float* value) override;
    STDMETHODIMP put_Saturation(float value) override;
    STDMETHODIMP get_AdjustRGB(VARIANT_BOOL* value) override;
    STDMETHODIMP put_AdjustRGB(VARIANT_BOOL value) override;
    STDMETHODIMP get_PercentRed(float* value) override;
    STDMETHODIMP put_PercentRed(float value) override;
    STDMETHODIMP get_PercentBlue(float* value) override;
    STDMETHODIMP put_PercentBlue(float value) override;
    STDMETHODIMP get_PercentGreen(float* value) override;
    STDMETHODIMP put_PercentGreen(float value) override;
    STDMETHODIMP get_TransparentColor(OLE_COLOR* value) override;
    STDMETHODIMP put_TransparentColor(OLE_COLOR value) override;
    STDMETHODIMP get_Method(ECNCDrawMethodConstants* value) override;
    STDMETHODIMP put_Method(ECNCDrawMethodConstants value) override;
    STDMETHODIMP DrawSample(long lhWnd, long lHDC, long lLeft, long lTop, long lWidth, long lHeight, VARIANT_BOOL bActive) override;
    STDMETHODIMP Restore(BSTR sXml, IPictureDisp* picCaption, IPictureDisp* picBorders) override;
    STDMETHODIMP Store(BSTR* sXml) override;

private:
    // The values with the fonts read from the font objects.
    px::SkinValues Current() const;
    // Reports a failure of a member through the thread's error object.
    HRESULT Failed(int32_t number, const std::string& utf8Description);

    px::SkinValues values_;
    px::win::ScopedComPtr<IFontDisp> captionFont_;
    px::win::ScopedComPtr<IFontDisp> menuFont_;
    px::win::ScopedComPtr<IPictureDisp> caption_;
    px::win::ScopedComPtr<IPictureDisp> borders_;
};

}  // namespace veltrim
