#pragma once
// The notification-area icon with its pop-up menu: a collection of entries
// appended in order (kind 1 a command, kind 5 a separator), each with an
// optional picture; choosing an entry reports 1000000000 + 10000000 x its
// position through MenuCommand. Clicking the icon raises IconActivated; the
// right button opens the menu.
//
//     TrayIcon1.Create();
//     TrayIcon1.Menus().Add(TrayIcon::kCommand, L"  Exit");
//     TrayIcon1.Menus().Item(1).SetPicture(icon);
//     TrayIcon1.SetToolTipText(L"Orvo Pixtrel 4.5");
//     TrayIcon1.Show(appIcon);
//     TrayIcon1.MenuCommand.connect([this](long id) { TrayIcon1_MenuCommand(id); });
//
// Its messages arrive at a hidden top-level window of its own; it is not owned
// by the main window, so the owner decides when the icon goes (Remove).
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Event.h"
#include "base/win/ScopedWin.h"
#include "base/win/Window.h"

namespace px::win {

class TrayIcon : public Window {
public:
    static constexpr int kCommand = 1;
    static constexpr int kSeparator = 5;
    static constexpr UINT kCallbackMessage = WM_APP + 0x54;
    static constexpr wchar_t kClassName[] = L"PxTrayIcon";

    class MenuEntry {
    public:
        int Kind() const noexcept { return kind_; }
        const std::wstring& Caption() const noexcept { return caption_; }
        int Position() const noexcept { return position_; }
        long CommandId() const noexcept;
        // The entry's picture, drawn beside the caption (an icon, ideally 16 x 16).
        void SetPicture(HICON icon);
        bool HasPicture() const noexcept { return static_cast<bool>(picture_); }
        bool Enabled() const noexcept { return enabled_; }
        void SetEnabled(bool v);

    private:
        friend class TrayIcon;
        TrayIcon* owner_ = nullptr;
        int kind_ = kCommand;
        int position_ = 0;
        bool enabled_ = true;
        std::wstring caption_;
        ScopedIcon picture_;  // drawn by the icon's window when the menu asks (HBMMENU_CALLBACK)
    };

    class MenuCollection {
    public:
        // Appends an entry; returns it. Kinds other than 1 and 5 are taken as commands.
        MenuEntry& Add(int kind, const std::wstring& caption);
        // The entry at `position` (1-based); raises error 9 (subscript out of range) outside.
        MenuEntry& Item(int position);
        int Count() const noexcept { return static_cast<int>(entries_.size()); }

    private:
        friend class TrayIcon;
        TrayIcon* owner_ = nullptr;
        std::vector<std::unique_ptr<MenuEntry>> entries_;
    };

    TrayIcon();
    ~TrayIcon() override;

    // Creates the hidden message window.
    bool Create();
    MenuCollection& Menus() noexcept { return menus_; }
    HMENU MenuHandle() const noexcept { return menu_.get(); }

    const std::wstring& ToolTipText() const noexcept { return tip_; }
    void SetToolTipText(const std::wstring& text);
    // Puts the icon into the notification area (again, after Explorer restarts).
    bool Show(HICON icon);
    void Remove();
    bool Visible() const noexcept { return shown_; }

    // Opens the menu at the pointer and returns when it closes (raising MenuCommand
    // when an entry was chosen).
    void PopupMenu();

    Event<long> MenuCommand;
    Event<> IconActivated;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void TrayIcon_Callback(UINT mouseMsg);
    // The entry pictures are drawn here: every platform draws icons with their
    // transparency, while menu bitmaps with alpha are not drawn alike everywhere.
    bool Menu_MeasureItem(MEASUREITEMSTRUCT& mi);
    bool Menu_DrawItem(const DRAWITEMSTRUCT& di);
    MenuEntry* EntryAt(UINT position);
    void UpdateEntry(const MenuEntry& e);
    bool Notify(DWORD message);

    MenuCollection menus_;
    ScopedMenu menu_;
    std::wstring tip_;
    HICON icon_ = nullptr;  // not owned
    bool shown_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace px::win
