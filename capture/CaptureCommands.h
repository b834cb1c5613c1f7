#pragma once
// The capture commands: "Capture Selection", "Capture Entire Screen" and
// "Capture Active Window", and "Copy to Clipboard". They own the selection
// shape, the two timers (tmrDesktop, TimerC), the clipboard's owner and the end
// of every capture, put the result into the CurrentCapture and on the
// clipboard, and say how it went through events; the window that shows the
// buttons only reacts (shows itself again, tells the user).
//
//     CaptureCommands commands(capture);
//     commands.SetOwner(hwnd());                   // steps aside while the screen is copied
//     commands.Finished.connect([this] { ShowNormal(); });
//     commands.Failed.connect([this](const std::wstring& text) { ShowNormal(); MessageBoxW(hwnd(), ...); });
//     commands.CaptureSelection(options);          // shape from commands.Shape()
#include <windows.h>

#include <memory>
#include <string>

#include "base/Event.h"
#include "base/win/ScopedWin.h"
#include "capture/CurrentCapture.h"
#include "capture/Desktop.h"
#include "capture/core/SelectionGeometry.h"

namespace px {

class ClipboardOwner;

class CaptureCommands {
public:
    explicit CaptureCommands(CurrentCapture& capture);
    ~CaptureCommands();
    CaptureCommands(const CaptureCommands&) = delete;
    CaptureCommands& operator=(const CaptureCommands&) = delete;

    // The window that hides while the screen is copied.
    void SetOwner(HWND owner) noexcept { owner_ = owner; }

    // The shape of the next selection; Entire lasts for one capture, then Rectangle again.
    capture::SelectionShape Shape() const noexcept { return shape_; }
    void SetShape(capture::SelectionShape shape) noexcept { shape_ = shape; }

    // Hides the owner; 50 ms later the overlay copies the screen and lets the
    // user select (`options.shape` is taken from Shape()).
    void CaptureSelection(CaptureOptions options);
    // The same with the shape Entire: the whole screen, no selection.
    void CaptureEntireScreen(const CaptureOptions& options);
    // After `delayMs` (0: never) the foreground window's image goes on the
    // clipboard, as the print-screen key would put it there, and the capture
    // is taken from there.
    void CaptureActiveWindow(unsigned delayMs);
    // "Copy to Clipboard": the current capture on the clipboard again; false
    // when another program holds the clipboard (or there is no capture).
    bool CopyToClipboard();
    // At shutdown: the formats the clipboard still offers are made, so they
    // outlive the program, and its owner window goes.
    void ReleaseClipboard();
    // Stops both timers (the owner unloads).
    void Stop();

    bool ActiveTimerRunning() const noexcept { return timerC_.running(); }
    // Between "Capture Selection" and the overlay: the owner shows the wait pointer.
    bool Busy() const noexcept { return tmrDesktop_.running(); }
    int Captures() const noexcept { return captures_; }
    // From the command until the overlay was up, in ms; -1 before the first.
    double OverlayMs() const noexcept { return overlayMs_; }

    Event<> OverlayShown;               // the overlay is up, waiting for the selection
    Event<> Finished;                   // a capture became the current capture
    Event<> Cancelled;                  // the user left the overlay, or no window to take
    Event<const std::wstring&> Failed;  // nothing captured: the text tells the user why
    Event<> ClipboardFailed;            // after Finished: the capture is taken but not on the clipboard

    // The messages of Failed.
    static std::wstring WriteFailedText(const std::wstring& scratchPath);
    static constexpr wchar_t kOffScreenText[] =
        L"The active window is not on any screen: there is nothing to capture.";

private:
    class TimerWindow;
    void tmrDesktop_Timer();
    void TimerC_Timer();
    void CaptureFinish(win::ScopedBitmap picture);
    void CaptureCancelled();
    void EndOfCapture();

    CurrentCapture& capture_;
    HWND owner_ = nullptr;
    capture::SelectionShape shape_ = capture::SelectionShape::Rectangle;
    CaptureOptions options_;
    std::unique_ptr<TimerWindow> timers_;
    std::unique_ptr<ClipboardOwner> clipboard_;
    win::ScopedTimer tmrDesktop_, timerC_;
    int captures_ = 0;
    LARGE_INTEGER commandTime_{};
    double overlayMs_ = -1;
};

}  // namespace px
