#pragma once
// cNeoCaption: the caption painter a client attaches to one of its windows.
// It implements INCAreaModifier for its frame manager and raises the events
// of __cNeoCaption (Unload, Repaint) through its connection point.
// Creatable through COM as veltrim.cNeoCaption.
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <array>
#include <cstdint>

#include "base/win/ScopedWin.h"
#include "skin/ComObject.h"
#include "skin/ConnectionPoint.h"
#include "skin/cMemDC.h"
#include "skin/cMenuBar.h"
#include "skin/core/CaptionLayout.h"
#include "skin/veltrim_h.h"

namespace veltrim {

class cNCCalcSize;

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

    // The one painting path of the window frame, of Paint and of a skin
    // sample: caption band, buttons and borders of a w x h frame at left, top
    // of `target`; returns the area inside the frame. `window` gives the text
    // and the button styles; a sample ignores pressed buttons.
    core::Box PaintFrame(HDC target, int left, int top, int w, int h, bool active, HWND window, HMENU menu,
                         bool sample);
    // Loads a skin without attaching it to any window (pictures, metrics,
    // colours, fonts, recolouring), as Attach2 and a skin sample do.
    HRESULT LoadSkin(_cSkinConfiguration* skin);
    // A skin sample through the frame painter: a caption and frame for `window`
    // (its text and menu), active or not as asked, the inside filled with the
    // menu background colour.
    static HRESULT DrawSample(_cSkinConfiguration* skin, HWND window, HDC target, int left, int top, int w, int h,
                              bool active);
    // The menu a window shows: its own, or the one its frame manager holds.
    static HMENU MenuOf(HWND window);
    HWND AttachedWindow() const { return hwnd_; }
    cMenuBar* MenuBar() const { return menuBar_.get(); }
    cNCCalcSize* Manager() const { return manager_; }

protected:
    void FinalRelease() override;

private:
    // The painter's colours, translated (and recoloured when the skin asks).
    struct PaintColours {
        int32_t activeCaption = 0, inactiveCaption = 0, activeMenu = 0, activeMenuOver = 0, inactiveMenu = 0,
                menuBackground = 0;
    };
    core::CaptionState StateFor(HWND window, bool active) const;
    void MakeFonts();
    int RenderMenu(HDC band, const core::CaptionLayout& l, int left, int top, HMENU menu, bool active, HWND window,
                   bool sample);
    void LoadMenuLook();
    void DrawBorders(HDC target, int left, int top, int w, int h, const core::CaptionLayout& l);
    void DrawButton(HDC target, const core::CaptionLayout& l, int button, bool pressed);
    core::CaptionLayout WindowLayout(int* w = nullptr, int* h = nullptr) const;
    void ApplyColourKey();
    void DetachNow();

    ConnectionPoint events_;
    // Properties (the colours and fonts a later Attach takes).
    OLE_COLOR activeCaptionColor_ = kDefaultActiveCaptionColor;
    OLE_COLOR inActiveCaptionColor_ = 0x999999, activeMenuColor_ = 0, activeMenuColorOver_ = 0,
              inActiveMenuColor_ = 0x808080, menuBackgroundColor_ = 0xFFFFFF;
    px::win::ScopedComPtr<IFontDisp> captionFont_, menuFont_;
    OLE_COLOR transparentColor_ = static_cast<OLE_COLOR>(-1);  // the skin's colour key; -1: none

    // The loaded skin: its values as given (SkinConfiguration hands these
    // back), its pictures, their copies the painter draws from.
    bool loaded_ = false;
    core::SkinGeometry geo_;
    px::win::ScopedComPtr<IPictureDisp> capPicture_, borderPicture_;
    px::win::ScopedComPtr<IFontDisp> skinCaptionFont_, skinMenuFont_;
    PaintColours colours_;
    cMemDC caption_, border_, band_, strip_, bottom_;
    px::win::ScopedFont titleFontActive_, titleFontInactive_, menuFontHandle_;
    int tgHeight_ = 0;

    HWND hwnd_ = nullptr;
    cNCCalcSize* manager_ = nullptr;  // one reference held
    ECNCDrawMethodConstants method_ = ECNCModifyNonClientArea;
    std::array<bool, 3> pressed_{};
    core::Box menuBand_{};
    px::win::ScopedComPtr<cMenuBar> menuBar_{new cMenuBar()};
    bool layeredByUs_ = false;
};

}  // namespace veltrim
