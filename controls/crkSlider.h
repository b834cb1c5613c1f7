#pragma once
// The program's slider: a thumb (`Slider`, picture `SliderIcon`) dragged
// along a rail, horizontally or vertically, choosing a whole value between
// Min and Max, with a value tip (frmValueTip) while dragging.
//
//     sliderGrid.Create(hwnd(), L"sliderGrid", RECT{...}, {{"Orientation", 0}, {"Min", 50}, {"Max", 200}});
//     sliderGrid.SetValue(100);
//     sliderGrid.ValueChanged.connect([this](int32_t) { sliderGrid_Change(); });
//
// Setting Value outside Min..Max, Max to Min or less, or Min to Max or more
// raises px::Error 380 and leaves every value as it was.
// Without a SliderIcon the thumb is a raised 11 x 21 block (21 x 11 when
// vertical) at 96 dpi, scaled to the slider's dpi (Window::Scale). The control fits its cross size to the thumb (and, with
// rail style 99, to the rail picture); its length is at least the thumb's.
#include <windows.h>

#include <cstdint>
#include <string>

#include "base/Event.h"
#include "base/win/OlePicture.h"
#include "base/win/ScopedWin.h"
#include "base/win/Window.h"
#include "controls/ControlToolTip.h"
#include "controls/core/ControlProperties.h"
#include "controls/core/SliderModel.h"

namespace px::win {

class crkSlider : public Window {
public:
    static constexpr wchar_t kClassName[] = L"crkSlider";

    crkSlider() = default;
    ~crkSlider() override;

    bool Create(HWND parent, const std::wstring& name, int x, int y, int w, int h, int id = 0);
    bool Create(HWND parent, const std::wstring& name, const RECT& bounds, const controls::PropertyBag& props,
                int id = 0);
    static crkSlider* FromHandle(HWND hwnd);

    // Persisted properties ("Min", "Max", "Value", "Orientation", ...).
    void ReadProperties(const controls::PropertyBag& bag);
    controls::PropertyBag WriteProperties() const;

    const std::wstring& Name() const noexcept { return name_; }

    int32_t Min() const noexcept { return model_.Min(); }
    void SetMin(int32_t v);
    int32_t Max() const noexcept { return model_.Max(); }
    void SetMax(int32_t v);
    int32_t Value() const noexcept { return model_.Value(); }
    void SetValue(int32_t v);
    int Orientation() const noexcept { return p_.orientation; }
    void SetOrientation(int v);
    // 0..4 the rail edge (DrawEdge), 99 the rail picture.
    int RailStyle() const noexcept { return p_.railStyle; }
    void SetRailStyle(int v);
    bool ShowValueTip() const noexcept { return p_.showValueTip; }
    void SetShowValueTip(bool v) { p_.showValueTip = v; }
    bool Enabled() const noexcept { return p_.enabled; }
    void SetEnabled(bool v);
    uint32_t BackColor() const noexcept { return p_.backColor; }
    void SetBackColor(uint32_t c);
    const OlePicture& SliderIcon() const noexcept { return sliderIcon_; }
    void SetSliderIcon(const OlePicture& pic);
    const OlePicture& RailPicture() const noexcept { return railPicture_; }
    void SetRailPicture(const OlePicture& pic);
    const std::wstring& ToolTipText() const noexcept { return toolTip_; }
    void SetToolTipText(const std::wstring& v);
    // The screen's pixel size in twips, read when the control is created.
    int TwipsPerPixelX() const noexcept { return twipsX_; }
    int TwipsPerPixelY() const noexcept { return twipsY_; }

    // Geometry, in client pixels.
    RECT ThumbRect() const noexcept { return thumb_; }
    RECT RailRect() const noexcept { return rail_; }
    bool IsDragging() const noexcept { return dragging_; }
    void Refresh();

    // Notifications, in their order of declaration. Slide start and end carry
    // the shift state (1 shift, 2 ctrl, 4 alt).
    Event<> Click;
    Event<> ArrivedFirst;
    Event<> ArrivedLast;
    Event<int32_t> ValueChanged;
    Event<int> SlideStart;
    Event<int> SlideEnd;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void UserControl_MouseDown(LPARAM lp);
    void UserControl_MouseMove(LPARAM lp);
    void UserControl_MouseUp(LPARAM lp);
    void UserControl_Paint(HDC target);
    void UserControl_Resize();
    void EndDrag(bool raiseSlideEnd);

    void ApplyProperties();
    void Raise(const controls::SliderNotices& n);
    SIZE ThumbSize() const;
    int Length() const;       // C: inner length along the slider
    int ThumbLength() const;  // T
    void PlaceThumbForValue();
    void PlaceThumbAt(int offset);
    void ShowTip();
    void DrawThumb(HDC dc);
    void Redraw();  // invalidates; the paint comes with the next messages

    std::wstring name_;
    controls::SliderProperties p_;
    controls::SliderModel model_;
    OlePicture sliderIcon_;
    OlePicture railPicture_;
    bool pendingPictureRefs_ = false;
    std::wstring toolTip_;
    ControlToolTip toolTipWnd_;
    RECT thumb_{0, 0, 0, 0};
    RECT rail_{0, 0, 0, 0};
    bool dragging_ = false;
    POINT grab_{0, 0};
    bool fitting_ = false;  // inside our own SetWindowPos
    int twipsX_ = 15, twipsY_ = 15;
};

}  // namespace px::win
