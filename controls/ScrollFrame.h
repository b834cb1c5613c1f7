#pragma once
// The scrolling frame: a bordered child window that holds one child window at
// its full size and scrolls it with its own scroll bars (and the mouse wheel)
// when the child is larger than the frame.
#include <windows.h>

#include "base/win/Window.h"
#include "controls/core/ScrollGeometry.h"

namespace px::win {

class ScrollFrame : public Window {
public:
    static constexpr int kLine = 16;  // pixels per arrow click

    bool Create(HWND parent, int id, int x, int y, int w, int h);
    // The one operation of the frame: `child` becomes the window it shows and scrolls.
    void SetChild(HWND child);
    HWND Child() const noexcept { return child_; }
    // After the child changed its size.
    void ChildResized() { Relayout(); }
    POINT ScrollPosition() const noexcept { return {layout_.position.x, layout_.position.y}; }
    void ScrollTo(int x, int y);
    const controls::ScrollLayout& Layout() const noexcept { return layout_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void Relayout();
    void OnScroll(int bar, WPARAM wp);
    void OnWheel(int bar, int delta);

    HWND child_ = nullptr;
    controls::ScrollLayout layout_;
    px::Point requested_;
    bool inLayout_ = false;
    int wheelRest_[2] = {0, 0};  // partial wheel notches (high-resolution wheels)
};

}  // namespace px::win
