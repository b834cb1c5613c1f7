#pragma once
// The program ends through the main window's unload, which takes everything
// else down in one fixed order. Windows and services register what they need
// to do in their slot when they are created; Run() calls the slots in order,
// each at most once, whoever registered first.
#include <array>
#include <functional>
#include <vector>

namespace px {

enum class ShutdownSlot {
    Desktop,
    Form1,
    Form2,
    frmAbout,
    frmCaptureKey,
    frmBrightnessAndContrast,
    frmValueTip,
    SaveJPEG,
    zoom,
    fMain,
    HelpWindows,     // close every help window, release the help object
    Clipboard,       // make what the clipboard still offers, so it outlives the program
    TrayIcon,        // remove the notification-area icon
    ViewCleanUp,     // the picture view gives up its picture
    CaptionDetach,   // detach the caption painter from the main window
    Count
};

class ShutdownOrder {
public:
    void Register(ShutdownSlot slot, std::function<void()> action);
    // Runs every registered action in slot order and forgets them.
    void Run();
    bool Empty() const;

private:
    std::array<std::vector<std::function<void()>>, static_cast<size_t>(ShutdownSlot::Count)> slots_;
};

}  // namespace px
