#include "capture/ClipboardOwner.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "base/win/Window.h"
#include "capture/ClipboardBitmap.h"

namespace px {

// Message-only: it must receive the clipboard's messages, never be seen.
class ClipboardOwner::Window : public win::Window {
public:
    Window() {
        RegisterClassOnce(L"OrvoPixtrel.ClipboardOwner", 0, nullptr);
        CreateWindowObject(L"OrvoPixtrel.ClipboardOwner", L"", 0, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr);
    }

    bool Put(SharedPicture picture) {
        if (!picture || !*picture || !IsCreated()) return false;
        win::ScopedBitmap copy = CopyBitmap(picture->get());
        if (!copy) return false;
        ClipboardSession clipboard(hwnd());
        if (!clipboard.open()) return false;
        // The previous owner (perhaps this window) hears WM_DESTROYCLIPBOARD here and drops its picture.
        ::EmptyClipboard();
        // The bitmap first: formats the platform derives for older readers come from it.
        if (!::SetClipboardData(CF_BITMAP, copy.get())) return false;
        copy.release();  // the clipboard owns it now
        kept_ = std::move(picture);
        offered_.clear();
        // A null handle offers the format; the platform asks for it with WM_RENDERFORMAT.
        for (UINT format : {static_cast<UINT>(CF_DIBV5), PngClipboardFormat()}) {
            if (!format) continue;
            ::SetClipboardData(format, nullptr);
            offered_.push_back(format);
        }
        return true;
    }

    const SharedPicture& Kept() const noexcept { return kept_; }

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_RENDERFORMAT: Render(static_cast<UINT>(wp)); return 0;
        case WM_RENDERALLFORMATS: RenderAll(); return 0;
        case WM_DESTROYCLIPBOARD: Forget(); return 0;
        }
        return win::Window::HandleMessage(msg, wp, lp);
    }

private:
    // The clipboard is open (by whoever asked for the format); the data goes straight to it.
    void Render(UINT format) {
        const auto at = std::find(offered_.begin(), offered_.end(), format);
        if (!kept_ || at == offered_.end()) return;
        offered_.erase(at);
        win::ScopedGlobal data = format == CF_DIBV5 ? MakeDibV5(kept_->get()) : MakePngData(kept_->get());
        if (data && ::SetClipboardData(format, data.get())) data.release();
        if (offered_.empty()) kept_.reset();  // nothing left to make from it
    }

    // The window is going (the program ends): the formats still offered are
    // made now, while the clipboard is still ours, so they outlive the program.
    void RenderAll() {
        if (!kept_) return;
        ClipboardSession clipboard(hwnd());
        if (clipboard.open() && ::GetClipboardOwner() == hwnd())
            while (!offered_.empty()) Render(offered_.front());
        Forget();
    }

    void Forget() {
        kept_.reset();
        offered_.clear();
    }

    SharedPicture kept_;
    std::vector<UINT> offered_;  // offered, not made yet
};

ClipboardOwner::ClipboardOwner() : window_(std::make_unique<Window>()) {}

ClipboardOwner::~ClipboardOwner() { Close(); }

bool ClipboardOwner::Put(SharedPicture picture) { return window_->Put(std::move(picture)); }

// Destroying the clipboard's owner makes the platform send WM_RENDERALLFORMATS first.
void ClipboardOwner::Close() { window_->Destroy(); }

HWND ClipboardOwner::hwnd() const noexcept { return window_->IsCreated() ? window_->hwnd() : nullptr; }

const SharedPicture& ClipboardOwner::Kept() const noexcept { return window_->Kept(); }

}  // namespace px
