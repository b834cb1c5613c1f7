#include "capture/ClipboardBitmap.h"

namespace px {

namespace {
// Another program may hold the clipboard for a moment (a viewer reading it).
bool OpenClipboardPatiently(HWND owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (::OpenClipboard(owner)) return true;
        ::Sleep(10);
    }
    return false;
}

class ClipboardSession {
public:
    explicit ClipboardSession(HWND owner) : open_(OpenClipboardPatiently(owner)) {}
    ~ClipboardSession() { if (open_) ::CloseClipboard(); }
    ClipboardSession(const ClipboardSession&) = delete;
    ClipboardSession& operator=(const ClipboardSession&) = delete;
    bool open() const noexcept { return open_; }

private:
    bool open_;
};
}  // namespace

win::ScopedBitmap CopyBitmap(HBITMAP picture) {
    BITMAP bm{};
    if (!picture || !::GetObjectW(picture, sizeof(bm), &bm)) return {};
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap copy(::CreateCompatibleBitmap(screen, bm.bmWidth, std::abs(bm.bmHeight)));
    if (!copy) return {};
    win::AutoDeleteDC src(::CreateCompatibleDC(screen)), dst(::CreateCompatibleDC(screen));
    {
        win::ScopedSelectObject s(src.get(), picture), d(dst.get(), copy.get());
        if (!::BitBlt(dst.get(), 0, 0, bm.bmWidth, std::abs(bm.bmHeight), src.get(), 0, 0, SRCCOPY)) return {};
    }
    return copy;
}

bool PutBitmapOnClipboard(HWND owner, HBITMAP picture) {
    win::ScopedBitmap copy = CopyBitmap(picture);
    if (!copy) return false;
    ClipboardSession clipboard(owner);
    if (!clipboard.open()) return false;
    ::EmptyClipboard();
    if (!::SetClipboardData(CF_BITMAP, copy.get())) return false;
    copy.release();  // the clipboard owns it now
    return true;
}

win::ScopedBitmap CopyBitmapFromClipboard(HWND owner) {
    ClipboardSession clipboard(owner);
    if (!clipboard.open()) return {};
    auto held = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
    return held ? CopyBitmap(held) : win::ScopedBitmap{};
}

}  // namespace px
