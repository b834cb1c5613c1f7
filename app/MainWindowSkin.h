#pragma once
// The main window in its skin: veltrim's caption painter and skin settings,
// created through COM (the program's manifest activates the classes from the
// DLL beside it), filled with the main window's skin values and artwork in
// their fixed order, attached with a small window object that answers hwnd and
// Refresh, and detached at unload. When the library cannot be created or
// refuses the skin, the window keeps the system frame and Failure() says why.
#include <windows.h>

#include <string>

#include "base/win/ScopedWin.h"

struct _cNeoCaption;
struct _cSkinConfiguration;

namespace px {

// Sizes of the frame around the client area, as the window has them.
struct FrameMargins {
    int left = 0, top = 0, right = 0, bottom = 0;
};

class MainWindowSkin {
public:
    MainWindowSkin();
    ~MainWindowSkin();
    MainWindowSkin(const MainWindowSkin&) = delete;
    MainWindowSkin& operator=(const MainWindowSkin&) = delete;

    // Creates both objects, sets the skin and attaches it to `window`, the
    // fonts made from `font`. On failure nothing stays attached.
    bool Attach(HWND window, HFONT font);
    // Attach2 again on the same window (a re-skin in place), with `other` or,
    // when null, the same skin.
    HRESULT Reskin(_cSkinConfiguration* other = nullptr);
    // Gives the window back its menu and the system frame; releases both objects.
    void Detach();

    bool Attached() const noexcept { return attached_; }
    const std::wstring& Failure() const noexcept { return failure_; }
    // The skin's frame as measured on the window right after attaching.
    FrameMargins Margins() const noexcept { return margins_; }
    // The caption painter and its skin while attached (the tests connect their
    // event sinks and re-skin through these); null otherwise.
    _cNeoCaption* Caption() const noexcept;
    _cSkinConfiguration* Skin() const noexcept;

private:
    bool Fail(const wchar_t* what, HRESULT hr);
    HRESULT FillSkin(HFONT font, const wchar_t*& failed);

    HWND window_ = nullptr;
    win::ScopedComPtr<_cNeoCaption> caption_;
    win::ScopedComPtr<_cSkinConfiguration> skin_;
    win::ScopedComPtr<IDispatch> form_;  // the window object Attach2 reads
    FrameMargins margins_;
    bool attached_ = false;
    std::wstring failure_;
};

}  // namespace px
