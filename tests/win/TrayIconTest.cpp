// The tray icon under the platform: the menu collection and the menu it
// builds, command IDs by position, the icon's callback events, the entry
// pictures, the icon in the notification area and GDI objects.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/Error.h"
#include "base/win/DibInfo.h"
#include "controls/TrayIcon.h"
#include "tests/win/ControlTestHost.h"
#include "tests/win/support/GdiCount.h"

using px::test::PumpPending;
using px::test::PumpUntil;
using px::win::TrayIcon;

namespace {

// Thirteen entries as the main window appends them (separators at 7 and 11).
void AddThirteen(TrayIcon& tray) {
    for (int pos = 1; pos <= 13; ++pos) {
        bool separator = pos == 7 || pos == 11;
        tray.Menus().Add(separator ? TrayIcon::kSeparator : TrayIcon::kCommand,
                         separator ? L" " : L"  Entry " + std::to_wstring(pos));
    }
}

px::win::ScopedIcon SolidIcon(COLORREF c) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = 16;
    bi.bmiHeader.biHeight = 16;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    px::win::ScopedBitmap color(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* p = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 256; ++i) {
        int x = i % 16;
        // Left half opaque in the colour, right half transparent.
        p[i] = x < 8 ? 0xFF000000u | (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c) : 0;
    }
    px::win::ScopedBitmap mask(::CreateBitmap(16, 16, 1, 1, nullptr));
    ICONINFO ii{TRUE, 0, 0, mask.get(), color.get()};
    return px::win::ScopedIcon(::CreateIconIndirect(&ii));
}

// Keys posted before the menu opens reach its tracking loop in order.
void QueueMenuKeys(HWND to, int downs) {
    for (int i = 0; i < downs; ++i) ::PostMessageW(to, WM_KEYDOWN, VK_DOWN, 0);
    ::PostMessageW(to, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace

TEST(TrayIcon, EntriesAreNumberedByPositionAndBuildTheMenu) {
    TrayIcon tray;
    ASSERT_TRUE(tray.Create());
    AddThirteen(tray);
    ASSERT_EQ(tray.Menus().Count(), 13);
    HMENU menu = tray.MenuHandle();
    ASSERT_EQ(::GetMenuItemCount(menu), 13);
    for (int pos = 1; pos <= 13; ++pos) {
        auto& e = tray.Menus().Item(pos);
        EXPECT_EQ(e.Position(), pos);
        EXPECT_EQ(e.CommandId(), 1000000000L + 10000000L * pos);
        bool separator = pos == 7 || pos == 11;
        EXPECT_EQ(e.Kind(), separator ? TrayIcon::kSeparator : TrayIcon::kCommand);
        wchar_t text[64] = L"";
        MENUITEMINFOW mii{sizeof(mii)};
        mii.fMask = MIIM_FTYPE | MIIM_STRING;
        mii.dwTypeData = text;
        mii.cch = 63;
        ASSERT_TRUE(::GetMenuItemInfoW(menu, static_cast<UINT>(pos - 1), TRUE, &mii));
        EXPECT_EQ((mii.fType & MFT_SEPARATOR) != 0, separator) << pos;
        if (!separator) {
            EXPECT_EQ(std::wstring(text), e.Caption());
        }
    }
    for (int bad : {0, 14, -1}) {
        try {
            tray.Menus().Item(bad);
            ADD_FAILURE() << "no error for position " << bad;
        } catch (const px::Error& err) {
            EXPECT_EQ(err.number(), px::ErrorNumber::SubscriptOutOfRange);
        }
    }
}

TEST(TrayIcon, ChoosingAnEntryReportsItsCommandId) {
    struct Case {
        int downs;  // arrow presses from the top (separators are skipped)
        long id;
    } cases[] = {{1, 1010000000}, {2, 1020000000}, {7, 1080000000}, {11, 1130000000}};
    for (auto& c : cases) {
        TrayIcon tray;
        ASSERT_TRUE(tray.Create());
        AddThirteen(tray);
        std::vector<long> ids;
        tray.MenuCommand.connect([&](long id) { ids.push_back(id); });
        QueueMenuKeys(tray.hwnd(), c.downs);
        ::SendMessageW(tray.hwnd(), TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
        PumpPending();
        ASSERT_EQ(ids.size(), 1u) << c.downs;
        EXPECT_EQ(ids[0], c.id);
    }
}

TEST(TrayIcon, ClosingTheMenuWithoutAChoiceReportsNothing) {
    TrayIcon tray;
    ASSERT_TRUE(tray.Create());
    AddThirteen(tray);
    int commands = 0;
    tray.MenuCommand.connect([&](long) { ++commands; });
    ::PostMessageW(tray.hwnd(), WM_KEYDOWN, VK_ESCAPE, 0);
    ::SendMessageW(tray.hwnd(), TrayIcon::kCallbackMessage, 1, WM_RBUTTONUP);
    PumpPending();
    EXPECT_EQ(commands, 0);
}

TEST(TrayIcon, ClickingTheIconRaisesActivationOnlyForTheLeftButton) {
    TrayIcon tray;
    ASSERT_TRUE(tray.Create());
    int activations = 0;
    tray.IconActivated.connect([&] { ++activations; });
    struct Case {
        WPARAM iconId;
        LPARAM mouse;
        int want;
    } cases[] = {{1, WM_LBUTTONUP, 1}, {1, WM_LBUTTONDOWN, 0}, {1, WM_MOUSEMOVE, 0}, {2, WM_LBUTTONUP, 0}};
    for (auto& c : cases) {
        activations = 0;
        ::SendMessageW(tray.hwnd(), TrayIcon::kCallbackMessage, c.iconId, c.mouse);
        EXPECT_EQ(activations, c.want) << c.mouse;
    }
}

TEST(TrayIcon, EntryPicturesAreDrawnWithTheirTransparency) {
    TrayIcon tray;
    ASSERT_TRUE(tray.Create());
    AddThirteen(tray);
    auto icon = SolidIcon(RGB(200, 30, 40));
    tray.Menus().Item(2).SetPicture(icon.get());
    EXPECT_TRUE(tray.Menus().Item(2).HasPicture());
    EXPECT_FALSE(tray.Menus().Item(3).HasPicture());
    MENUITEMINFOW mii{sizeof(mii)};
    mii.fMask = MIIM_BITMAP;
    ASSERT_TRUE(::GetMenuItemInfoW(tray.MenuHandle(), 1, TRUE, &mii));
    EXPECT_EQ(mii.hbmpItem, HBMMENU_CALLBACK);

    // The menu asks the icon's window for the picture's size and drawing.
    MEASUREITEMSTRUCT mi{ODT_MENU, 0, 2, 0, 0, 0};
    EXPECT_TRUE(::SendMessageW(tray.hwnd(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&mi)));
    EXPECT_EQ(mi.itemWidth, 16u);
    EXPECT_EQ(mi.itemHeight, 16u);

    BITMAPINFO bi = px::win::TopDownDibInfo(20, 20);
    void* bits = nullptr;
    px::win::ScopedBitmap target(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
    auto* px32 = static_cast<uint32_t*>(bits);
    for (int i = 0; i < 400; ++i) px32[i] = 0x00FFFFFF;  // white menu background
    px::win::AutoDeleteDC dc(::CreateCompatibleDC(nullptr));
    {
        px::win::ScopedSelectObject sel(dc.get(), target.get());
        DRAWITEMSTRUCT di{ODT_MENU, 0, 2, ODA_DRAWENTIRE, 0, nullptr, dc.get(), RECT{0, 0, 20, 20}, 0};
        EXPECT_TRUE(::SendMessageW(tray.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&di)));
        ::GdiFlush();
    }
    // Centred: icon pixels 0..15 at 2..17; the left half red, the right half the background.
    EXPECT_EQ(px32[10 * 20 + 4] & 0xFFFFFF, 0xC81E28u);
    EXPECT_EQ(px32[10 * 20 + 14] & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(px32[0] & 0xFFFFFF, 0xFFFFFFu);
    // Entries without a picture are left to the menu.
    DRAWITEMSTRUCT none{ODT_MENU, 0, 3, ODA_DRAWENTIRE, 0, nullptr, dc.get(), RECT{0, 0, 20, 20}, 0};
    EXPECT_FALSE(::SendMessageW(tray.hwnd(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&none)));
}

TEST(TrayIcon, ShowAndRemoveTheNotificationAreaIcon) {
    TrayIcon tray;
    ASSERT_TRUE(tray.Create());
    tray.SetToolTipText(L"Orvo Pixtrel 4.5");
    EXPECT_EQ(tray.ToolTipText(), L"Orvo Pixtrel 4.5");
    HICON icon = ::LoadIconW(nullptr, IDI_APPLICATION);
    ASSERT_TRUE(tray.Show(icon));
    EXPECT_TRUE(tray.Visible());
    // Adding the same icon again is refused by the platform: it is there.
    NOTIFYICONDATAW nid{};
    nid.cbSize = sizeof(nid);
    nid.hWnd = tray.hwnd();
    nid.uID = 1;
    nid.uFlags = NIF_TIP;
    EXPECT_TRUE(::Shell_NotifyIconW(NIM_MODIFY, &nid));
    tray.Remove();
    EXPECT_FALSE(tray.Visible());
    EXPECT_FALSE(::Shell_NotifyIconW(NIM_MODIFY, &nid));  // gone
    tray.Remove();                                        // twice is harmless
}

TEST(TrayIcon, BuildingAndDroppingTrayMenusLeavesNoGdiObjects) {
    auto icon = SolidIcon(RGB(10, 120, 200));
    const long before = px::test::GdiObjectCount();
    ASSERT_GT(before, 0);
    for (int round = 0; round < 20; ++round) {
        TrayIcon tray;
        ASSERT_TRUE(tray.Create());
        AddThirteen(tray);
        for (int pos : {1, 2, 3, 4, 5, 6, 8, 12, 13}) tray.Menus().Item(pos).SetPicture(icon.get());
        tray.Show(icon.get());
        tray.Remove();
    }
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}
