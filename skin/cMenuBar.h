#pragma once
// cMenuBar: the window's menu drawn inside the caption band. It lays out and
// renders the top-level items, tracks the item under the mouse on a 50 ms
// timer, opens drop-downs on a click or an Alt+letter (through its
// cToolbarMenu), answers menu letters typed inside an open drop-down, and
// draws the drop-down entries itself: their items are made owner-drawn while
// a drop-down is open and given back their type, text and data afterwards
// (never their state, which the client may change meanwhile).
#include <windows.h>
#include <oaidl.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/Event.h"
#include "base/win/ScopedWin.h"
#include "skin/ComObject.h"
#include "skin/MenuBand.h"
#include "skin/SubTimer.h"
#include "skin/core/Colourise.h"
#include "skin/core/NCFrameGeometry.h"

namespace veltrim {

class cToolbarMenu;

// A menu item record asking for the members in `mask`.
inline MENUITEMINFOW MenuItemInfo(UINT mask) {
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = mask;
    return mii;
}

// The menu colours, translated (0x00BBGGRR).
struct MenuColours {
    int32_t active = 0, over = 0, inactive = 0x808080, background = 0xFFFFFF;
};

class cMenuBar final : public ComObjectBase, public ISubclassSink, public MenuBand {
public:
    cMenuBar();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override { return AddRefCount(); }
    STDMETHODIMP_(ULONG) Release() override { return ReleaseCount(); }
    long MsgResponse() override;
    LRESULT WindowProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) override;

    // The menu source: a menu handle, or a popup-menu object offering hMenu,
    // Count, ItemForID and Caption by name (its captions are drawn).
    HMENU hMenu() const { return menu_; }
    void put_hMenu(HMENU menu);
    void put_PopupMenuObject(IDispatch* object);

    void Attach(HWND hwnd, bool useClient);
    void Detach();
    void put_CaptionHeight(int height) { captionHeight_ = height; }
    // The menu font (owned by the caller, alive while the bar is) and colours.
    void SetMenuLook(HFONT font, const MenuColours& colours);

    // Draws the items into `dc`: the band's drawing area starts at left, top;
    // `toClient` is what the frame's coordinates lose to become the owner's
    // client coordinates (for the item rectangles). Returns the right end of
    // the last item relative to `left` (lActualRight).
    int Render(HFONT font, HDC dc, int left, int top, int width, int height, int yOffset, bool active,
               const core::Margins& toClient);
    static px::EdgeColours GetEdgeColors(int32_t colour) { return px::GetEdgeColors(colour); }

    // Alt+key: true when an item has that letter; its drop-down opens as soon
    // as the key's handling is over (never inside the keyboard hook).
    bool AltKeyAccelerator(long vKey);
    // A drop-down is about to open: its entries become owner-drawn.
    void InitMenuPopup(HMENU popup);
    // The owner's menu loop ended: converted entries get their type, text and data back.
    void ExitMenuLoop() { RestoreEntries(); }
    // Raised when the bar must be redrawn by a client that draws it in its client area.
    px::Event<> Repaint;

    // For the drop-down loop.
    int ItemCount() const override { return static_cast<int>(items_.size()); }
    int ItemAtScreen(POINT screen) const override;
    RECT ItemScreenRect(int item) const override;
    HMENU SubMenuOf(int item) const override;
    void SetPressed(int item) override;
    int Pressed() const { return pressed_; }
    int Hot() const { return hot_; }
    // Opens the drop-down of the item at a screen point (a press on the band
    // that came as a non-client message); false when no item is there.
    bool OpenItemAt(POINT screen);
    // The same once the current message's handling is over.
    bool OpenItemAtLater(POINT screen);

    // For tests: entries now owner-drawn by the bar, and the popup loop.
    size_t ConvertedCount() const { return converted_.size(); }
    cToolbarMenu* Loop() const { return loop_.get(); }

protected:
    void FinalRelease() override { Detach(); }

private:
    struct Item {
        core::Box rect;  // the highlight rectangle in the owner's client coordinates
        HMENU subMenu = nullptr;
        UINT id = 0;
        wchar_t letter = 0;
    };
    // One drop-down entry made owner-drawn, with what it gets back.
    struct Converted {
        HMENU menu = nullptr;
        ULONG_PTR cookie = 0;  // its item data while converted
        UINT type = 0;
        std::wstring text;
        ULONG_PTR data = 0;
        std::wstring caption, shortcut;  // the text split at the first tab
        wchar_t letter = 0;
        int textWidth = 0, shortcutWidth = 0;
    };

    void RequestRepaint();
    void TrackHot();
    void OpenDropDowns(const std::vector<int>& items);
    void OnLeftButtonDown(LPARAM lp);
    LRESULT OnMenuChar(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    std::wstring ItemText(HMENU menu, int position, UINT id) const;
    void RestoreEntries();
    const Converted* ConvertedFor(ULONG_PTR cookie) const;
    wchar_t EntryLetter(HMENU menu, int position) const;
    LRESULT OnMeasureItem(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    LRESULT OnDrawItem(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    void DrawEntry(const DRAWITEMSTRUCT& d, const Converted& c);
    void DrawEdgeLines(HDC dc, const core::Box& r, bool sunken) const;
    std::vector<UINT> SubscribedMessages() const;

    HWND hwnd_ = nullptr;
    bool useClient_ = false;
    HMENU menu_ = nullptr;
    px::win::ScopedComPtr<IDispatch> popupObject_;
    int captionHeight_ = 0;
    HFONT font_ = nullptr;
    MenuColours colours_;
    px::win::ScopedBrush lighter_, darker_, background_;
    px::win::ScopedFont marlett_;
    int textHeight_ = 0;

    std::vector<Item> items_;
    int hot_ = 0, pressed_ = 0;
    px::win::ScopedComPtr<cToolbarMenu> loop_;
    IntervalTimer timer_;
    std::vector<Converted> converted_;
    ULONG_PTR nextCookie_ = 0;
    UINT openMessage_ = 0;  // posted to open drop-downs after an Alt+letter
};

}  // namespace veltrim
