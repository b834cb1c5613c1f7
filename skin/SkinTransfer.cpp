#include "skin/SkinTransfer.h"

#include "skin/Module.h"
#include "skin/SkinXmlDom.h"

namespace veltrim {

namespace {
// Ends the sequence at the first failing call.
struct Chain {
    HRESULT hr = S_OK;
    Chain& operator<<(HRESULT next) {
        if (SUCCEEDED(hr) && FAILED(next)) hr = next;
        return *this;
    }
};
VARIANT_BOOL Vb(bool b) { return b ? VARIANT_TRUE : VARIANT_FALSE; }

}  // namespace

HRESULT ReadSkin(_cSkinConfiguration* s, px::SkinValues& v, SkinObjects& o) {
    if (!s) return E_POINTER;
    Chain c;
    long l[16]{};
    OLE_COLOR k[7]{};
    VARIANT_BOOL b[7]{};
    float f[6]{};
    ECNCDrawMethodConstants method{};
    c << s->get_ButtonWidth(&l[0]) << s->get_ButtonHeight(&l[1]) << s->get_ActiveLeftEnd(&l[2])
      << s->get_ActiveRightStart(&l[3]) << s->get_ActiveRightEnd(&l[4]) << s->get_InactiveOffset(&l[5])
      << s->get_LeftBorderWidth(&l[6]) << s->get_RightBorderWidth(&l[7]) << s->get_TopSizingBorderHeight(&l[8])
      << s->get_BottomSizingBorderHeight(&l[9]) << s->get_TitleStartOffsetY(&l[10])
      << s->get_ControlButtonOffsetX(&l[11]) << s->get_ControlButtonOffsetY(&l[12])
      << s->get_MenuStartOffsetY(&l[13]) << s->get_MenuStartOffsetX(&l[14]);
    c << s->get_ActiveCaptionColor(&k[0]) << s->get_InActiveCaptionColor(&k[1]) << s->get_ActiveMenuColor(&k[2])
      << s->get_ActiveMenuColorOver(&k[3]) << s->get_InActiveMenuColor(&k[4]) << s->get_MenuBackgroundColor(&k[5])
      << s->get_TransparentColor(&k[6]);
    c << s->get_BorderHasInactiveVersion(&b[0]) << s->get_DrawTitle(&b[1])
      << s->get_ControlButtonHasInactiveVersion(&b[2]) << s->get_CustomControlButtonPosition(&b[3])
      << s->get_Colourise(&b[4]) << s->get_AdjustRGB(&b[5]);
    c << s->get_Hue(&f[0]) << s->get_Saturation(&f[1]) << s->get_PercentRed(&f[2]) << s->get_PercentGreen(&f[3])
      << s->get_PercentBlue(&f[4]) << s->get_Method(&method);
    px::win::ScopedBstr name;
    c << s->get_Name(name.put());
    c << s->get_Caption(o.caption.put()) << s->get_Borders(o.borders.put()) << s->get_CaptionFont(o.captionFont.put())
      << s->get_MenuFont(o.menuFont.put());
    if (FAILED(c.hr)) return c.hr;
    v.ButtonWidth = l[0], v.ButtonHeight = l[1], v.ActiveLeftEnd = l[2], v.ActiveRightStart = l[3];
    v.ActiveRightEnd = l[4], v.InactiveOffset = l[5], v.LeftBorderWidth = l[6], v.RightBorderWidth = l[7];
    v.TopSizingBorderHeight = l[8], v.BottomSizingBorderHeight = l[9], v.TitleStartOffsetY = l[10];
    v.ControlButtonOffsetX = l[11], v.ControlButtonOffsetY = l[12], v.MenuStartOffsetY = l[13];
    v.MenuStartOffsetX = l[14];
    v.ActiveCaptionColor = static_cast<int32_t>(k[0]), v.InActiveCaptionColor = static_cast<int32_t>(k[1]);
    v.ActiveMenuColor = static_cast<int32_t>(k[2]), v.ActiveMenuColorOver = static_cast<int32_t>(k[3]);
    v.InActiveMenuColor = static_cast<int32_t>(k[4]), v.MenuBackgroundColor = static_cast<int32_t>(k[5]);
    v.TransparentColor = static_cast<int32_t>(k[6]);
    v.BorderHasInactiveVersion = b[0] != VARIANT_FALSE, v.DrawTitle = b[1] != VARIANT_FALSE;
    v.ControlButtonHasInactiveVersion = b[2] != VARIANT_FALSE, v.CustomControlButtonPosition = b[3] != VARIANT_FALSE;
    v.Colourise = b[4] != VARIANT_FALSE, v.AdjustRGB = b[5] != VARIANT_FALSE;
    v.Hue = f[0], v.Saturation = f[1], v.PercentRed = f[2], v.PercentGreen = f[3], v.PercentBlue = f[4];
    v.Method = static_cast<int32_t>(method);
    v.Name = Utf8FromWide(name.get() ? std::wstring_view(name.get(), ::SysStringLen(name.get())) : std::wstring_view());
    return S_OK;
}

HRESULT WriteSkin(_cSkinConfiguration* s, const px::SkinValues& v, const SkinObjects& o) {
    if (!s) return E_POINTER;
    Chain c;
    c << s->put_ButtonWidth(v.ButtonWidth) << s->put_ButtonHeight(v.ButtonHeight)
      << s->put_ActiveLeftEnd(v.ActiveLeftEnd) << s->put_ActiveRightStart(v.ActiveRightStart)
      << s->put_ActiveRightEnd(v.ActiveRightEnd) << s->put_InactiveOffset(v.InactiveOffset)
      << s->put_LeftBorderWidth(v.LeftBorderWidth) << s->put_RightBorderWidth(v.RightBorderWidth)
      << s->put_TopSizingBorderHeight(v.TopSizingBorderHeight)
      << s->put_BottomSizingBorderHeight(v.BottomSizingBorderHeight) << s->put_TitleStartOffsetY(v.TitleStartOffsetY)
      << s->put_ControlButtonOffsetX(v.ControlButtonOffsetX) << s->put_ControlButtonOffsetY(v.ControlButtonOffsetY)
      << s->put_MenuStartOffsetY(v.MenuStartOffsetY) << s->put_MenuStartOffsetX(v.MenuStartOffsetX);
    c << s->put_ActiveCaptionColor(static_cast<OLE_COLOR>(v.ActiveCaptionColor))
      << s->put_InActiveCaptionColor(static_cast<OLE_COLOR>(v.InActiveCaptionColor))
      << s->put_ActiveMenuColor(static_cast<OLE_COLOR>(v.ActiveMenuColor))
      << s->put_ActiveMenuColorOver(static_cast<OLE_COLOR>(v.ActiveMenuColorOver))
      << s->put_InActiveMenuColor(static_cast<OLE_COLOR>(v.InActiveMenuColor))
      << s->put_MenuBackgroundColor(static_cast<OLE_COLOR>(v.MenuBackgroundColor))
      << s->put_TransparentColor(static_cast<OLE_COLOR>(v.TransparentColor));
    c << s->put_BorderHasInactiveVersion(Vb(v.BorderHasInactiveVersion)) << s->put_DrawTitle(Vb(v.DrawTitle))
      << s->put_ControlButtonHasInactiveVersion(Vb(v.ControlButtonHasInactiveVersion))
      << s->put_CustomControlButtonPosition(Vb(v.CustomControlButtonPosition))
      << s->put_Colourise(Vb(v.Colourise)) << s->put_AdjustRGB(Vb(v.AdjustRGB));
    c << s->put_Hue(v.Hue) << s->put_Saturation(v.Saturation) << s->put_PercentRed(v.PercentRed)
      << s->put_PercentGreen(v.PercentGreen) << s->put_PercentBlue(v.PercentBlue)
      << s->put_Method(static_cast<ECNCDrawMethodConstants>(v.Method));
    const std::wstring name = WideFromUtf8(v.Name);
    px::win::ScopedBstr bname(::SysAllocStringLen(name.data(), static_cast<UINT>(name.size())));
    c << s->put_Name(bname.get());
    if (o.caption) c << s->putref_Caption(o.caption.get());
    if (o.borders) c << s->putref_Borders(o.borders.get());
    if (o.captionFont) c << s->putref_CaptionFont(o.captionFont.get());
    if (o.menuFont) c << s->putref_MenuFont(o.menuFont.get());
    return c.hr;
}

bool PictureSize(IPictureDisp* picture, int& width, int& height) {
    if (!picture) return false;
    px::win::ScopedComPtr<IPicture> pic;
    if (FAILED(picture->QueryInterface(IID_IPicture, reinterpret_cast<void**>(pic.put())))) return false;
    SHORT type = PICTYPE_NONE;
    OLE_HANDLE handle = 0;
    if (FAILED(pic->get_Type(&type)) || type != PICTYPE_BITMAP || FAILED(pic->get_Handle(&handle))) return false;
    BITMAP info{};
    if (!::GetObjectW(HandleFrom<HBITMAP>(static_cast<long>(handle)), sizeof info, &info)) return false;
    width = info.bmWidth;
    height = info.bmHeight;
    return width > 0 && height > 0;
}

}  // namespace veltrim
