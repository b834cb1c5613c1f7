#pragma once
// cToolbarMenu: the drop-down loop of a menu bar. It opens the drop-down of a
// bar item under the item, and while one is open a per-thread WH_MSGFILTER
// hook watches the menu's messages: Left/Right move to the neighbouring item,
// the mouse moving onto another item of the bar switches to it, a click on
// the open item closes it. The hook exists only while a drop-down is open.
#include <windows.h>

#include <cstddef>

#include "skin/ComObject.h"
#include "skin/MenuBand.h"
#include "skin/SubTimer.h"
#include "skin/core/DropDownLayout.h"

namespace veltrim {

class cToolbarMenu final : public ComObjectBase, public ISubclassSink {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefCount(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseCount(); }
    long MsgResponse() override { return kResponseAfterDefault; }
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    // The bar is held weakly: it detaches this object before it goes.
    void Attach(HWND owner, MenuBand* bar);
    void Detach();

    // Opens item n's drop-down, then whichever item the user moves to, until
    // a drop-down closes without a next item. Not re-entered while running.
    void TrackDropDown(int item);
    bool Tracking() const { return tracking_; }
    int OpenItem() const { return open_; }
    // Closes the open drop-down and opens `item` next.
    void SwitchTo(int item);
    bool EscapePressed() const { return escape_; }

    // The message-filter entry: true when the message is swallowed.
    bool Filter(const MSG& msg);

private:
    HWND owner_ = nullptr;
    MenuBand* bar_ = nullptr;
    bool tracking_ = false;
    int next_ = -1;
    int open_ = 0;
    HMENU popup_ = nullptr;
    POINT lastMouse_{-32768, -32768};
    bool leftAllowed_ = true, rightAllowed_ = true, escape_ = false;
};

// For tests: whether the thread's message-filter hook is installed now, and
// how many times it has been installed on this thread.
bool MenuFilterHookInstalled();
size_t MenuFilterHookInstalls();

}  // namespace veltrim
