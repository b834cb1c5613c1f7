#pragma once
// The notification-area menu: thirteen entries appended in a fixed order and
// reported back by position as 1000000000 + 10000000 x position.
#include <array>
#include <optional>
#include <string_view>

namespace px {

enum class TrayCommand {
    CaptureSelection,
    CaptureScreen,
    CaptureActive,
    ShowWindow,
    CopyToClipboard,
    ZoomTool,
    HowToUse,
    OrderingInformation,
    LicenseAgreement,
    About,
    Exit,
};

struct TrayMenuEntry {
    int kind;                // 1 command entry, 5 separator
    std::wstring_view caption;
    int icon;                // image list index (1-based), 0 none
    std::optional<TrayCommand> command;
};

inline constexpr int kTrayEntryCommand = 1;
inline constexpr int kTrayEntrySeparator = 5;

// Position n (1-based) is entry n - 1.
inline constexpr std::array<TrayMenuEntry, 13> kTrayMenu{{
    {kTrayEntryCommand, L"  Capture Selection", 1, TrayCommand::CaptureSelection},
    {kTrayEntryCommand, L"  Capture Screen", 2, TrayCommand::CaptureScreen},
    {kTrayEntryCommand, L"  Capture Active ", 3, TrayCommand::CaptureActive},
    {kTrayEntryCommand, L"  Show Window", 4, TrayCommand::ShowWindow},
    {kTrayEntryCommand, L"  Copy to Clipboard", 5, TrayCommand::CopyToClipboard},
    {kTrayEntryCommand, L"  Zoom Tool", 6, TrayCommand::ZoomTool},
    {kTrayEntrySeparator, L" ", 0, std::nullopt},
    {kTrayEntryCommand, L"  How to Use", 7, TrayCommand::HowToUse},
    {kTrayEntryCommand, L"  Ordering Information", 0, TrayCommand::OrderingInformation},
    {kTrayEntryCommand, L"  License Agreement", 0, TrayCommand::LicenseAgreement},
    {kTrayEntrySeparator, L" ", 0, std::nullopt},
    {kTrayEntryCommand, L"  About", 8, TrayCommand::About},
    {kTrayEntryCommand, L"  Exit", 9, TrayCommand::Exit},
}};

// The command ID a tray menu reports for the entry at `position` (1-based).
constexpr long TrayCommandId(int position) { return 1000000000L + 10000000L * position; }

// What a reported command ID asks for; nothing for IDs that match no command
// entry (separators, positions outside the menu, IDs between positions).
std::optional<TrayCommand> TrayCommandFromId(long id);

}  // namespace px
