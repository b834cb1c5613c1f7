#pragma once
// MenuBand: what the drop-down loop needs of the bar it serves. The bar
// implements it, so the loop never depends on the bar's class.
#include <windows.h>

namespace veltrim {

class MenuBand : public IUnknown {
public:
    virtual int ItemCount() const = 0;
    // 1-based item under a screen point, 0 for none.
    virtual int ItemAtScreen(POINT screen) const = 0;
    virtual RECT ItemScreenRect(int item) const = 0;
    virtual HMENU SubMenuOf(int item) const = 0;
    virtual void SetPressed(int item) = 0;

protected:
    ~MenuBand() = default;
};

}  // namespace veltrim
