#include "capture/CaptureCommands.h"

#include <utility>

#include "base/win/Window.h"
#include "capture/ActiveWindowGrab.h"
#include "capture/ClipboardBitmap.h"
#include "capture/ClipboardOwner.h"

namespace px {

namespace {
constexpr UINT kTmrDesktopInterval = 50;
constexpr UINT_PTR kTmrDesktopId = 1, kTimerCId = 2;

double MillisecondsSince(const LARGE_INTEGER& start) {
    LARGE_INTEGER now, freq;
    ::QueryPerformanceCounter(&now);
    ::QueryPerformanceFrequency(&freq);
    return static_cast<double>(now.QuadPart - start.QuadPart) * 1000.0 / static_cast<double>(freq.QuadPart);
}
}  // namespace

// The timers need a window to tick on; a message-only one keeps them out of the owner's messages.
class CaptureCommands::TimerWindow : public win::Window {
public:
    explicit TimerWindow(CaptureCommands& commands) : commands_(commands) {
        RegisterClassOnce(L"OrvoPixtrel.CaptureCommands", 0, nullptr);
        CreateWindowObject(L"OrvoPixtrel.CaptureCommands", L"", 0, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
    }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (msg != WM_TIMER) return Window::HandleMessage(msg, wp, lp);
        if (wp == kTmrDesktopId) commands_.tmrDesktop_Timer();
        if (wp == kTimerCId) commands_.TimerC_Timer();
        return 0;
    }

private:
    CaptureCommands& commands_;
};

CaptureCommands::CaptureCommands(CurrentCapture& capture)
    : capture_(capture), timers_(std::make_unique<TimerWindow>(*this)), clipboard_(std::make_unique<ClipboardOwner>()) {}

CaptureCommands::~CaptureCommands() {
    Stop();
    timers_->Destroy();
}

std::wstring CaptureCommands::WriteFailedText(const std::wstring& scratchPath) {
    return L"The capture could not be written to '" + scratchPath + L"'.\r\nThe previous capture is kept.";
}

bool CaptureCommands::CopyToClipboard() { return clipboard_->Put(capture_.Shared()); }

void CaptureCommands::ReleaseClipboard() { clipboard_->Close(); }

void CaptureCommands::Stop() {
    tmrDesktop_.stop();
    timerC_.stop();
}

// The owner gets out of the way first; the overlay copies the screen 50 ms later.
void CaptureCommands::CaptureSelection(CaptureOptions options) {
    ::QueryPerformanceCounter(&commandTime_);
    options_ = std::move(options);
    options_.shape = shape_;
    if (owner_) ::ShowWindow(owner_, SW_HIDE);
    tmrDesktop_.start(timers_->hwnd(), kTmrDesktopId, kTmrDesktopInterval);
}

void CaptureCommands::CaptureEntireScreen(const CaptureOptions& options) {
    shape_ = capture::SelectionShape::Entire;
    CaptureSelection(options);
}

void CaptureCommands::tmrDesktop_Timer() {
    tmrDesktop_.stop();
    Desktop& overlay = Desktop::Get();
    overlay.Begin(
        options_, [this](win::ScopedBitmap picture) { CaptureFinish(std::move(picture)); },
        [this] { CaptureCancelled(); });
    if (overlay.IsVisible()) {
        ::UpdateWindow(overlay.hwnd());
        overlayMs_ = MillisecondsSince(commandTime_);
    }
    OverlayShown();
}

void CaptureCommands::CaptureActiveWindow(unsigned delayMs) { timerC_.start(timers_->hwnd(), kTimerCId, delayMs); }

void CaptureCommands::TimerC_Timer() {
    timerC_.stop();
    if (owner_) {
        ::ShowWindow(owner_, SW_MINIMIZE);
        ::ShowWindow(owner_, SW_HIDE);
    }
    WindowGrab grab = GrabForegroundWindow(owner_);
    switch (grab.outcome) {
    case WindowGrab::Outcome::Grabbed: break;
    case WindowGrab::Outcome::OffScreen: Failed(kOffScreenText); return;
    // Nothing to take: the capture ends quietly, the owner staying in the tray.
    case WindowGrab::Outcome::NoWindow:
    case WindowGrab::Outcome::Failed: return;
    }
    // The picture goes through the clipboard; when another program holds it
    // open, the grabbed picture itself becomes the capture, so nothing is lost.
    const SharedPicture grabbed = Share(std::move(grab.picture));
    const bool onClipboard = clipboard_->Put(grabbed);
    win::ScopedBitmap back = onClipboard ? CopyBitmapFromClipboard(owner_) : win::ScopedBitmap{};
    if (!(back ? capture_.Replace(std::move(back)) : capture_.Replace(grabbed))) {
        Failed(WriteFailedText(capture_.ScratchPath()));
        return;
    }
    ++captures_;
    Finished();
    if (!onClipboard) ClipboardFailed();
}

// The common end of region and entire-screen captures, called by the overlay.
void CaptureCommands::CaptureFinish(win::ScopedBitmap picture) {
    if (!capture_.Replace(std::move(picture))) {
        // Without the file the view cannot show the capture: keep the previous one and say so.
        EndOfCapture();
        Failed(WriteFailedText(capture_.ScratchPath()));
        return;
    }
    const bool onClipboard = CopyToClipboard();
    EndOfCapture();
    ++captures_;
    Finished();
    if (!onClipboard) ClipboardFailed();
}

void CaptureCommands::CaptureCancelled() {
    if (shape_ == capture::SelectionShape::Entire) shape_ = capture::SelectionShape::Rectangle;
    Cancelled();
}

void CaptureCommands::EndOfCapture() {
    if (shape_ == capture::SelectionShape::Entire) shape_ = capture::SelectionShape::Rectangle;
    Desktop::Get().Unload();
}

}  // namespace px
