#pragma once
// Owners for everything the platform hands out. Each releases exactly one
// thing, with the matching call: a created DC is deleted, a borrowed DC is
// given back to the window it came from, a selection puts the previous object
// back, a GDI object is deleted after it is no longer selected.
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <shellapi.h>
#include <gdiplus.h>

#include <string_view>
#include <utility>

namespace px::win {

template <typename T, typename Deleter>
class UniqueHandle {
public:
    UniqueHandle() = default;
    explicit UniqueHandle(T h) : h_(h) {}
    ~UniqueHandle() { reset(); }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    UniqueHandle(UniqueHandle&& o) noexcept : h_(std::exchange(o.h_, T{})) {}
    UniqueHandle& operator=(UniqueHandle&& o) noexcept {
        if (this != &o) reset(std::exchange(o.h_, T{}));
        return *this;
    }
    T get() const noexcept { return h_; }
    explicit operator bool() const noexcept { return h_ != T{}; }
    T release() noexcept { return std::exchange(h_, T{}); }
    void reset(T h = T{}) {
        if (h_) Deleter{}(h_);
        h_ = h;
    }

private:
    T h_{};
};

struct GdiObjectDeleter { void operator()(HGDIOBJ h) const { ::DeleteObject(h); } };
struct DcDeleter { void operator()(HDC h) const { ::DeleteDC(h); } };
struct MenuDeleter { void operator()(HMENU h) const { ::DestroyMenu(h); } };
struct IconDeleter { void operator()(HICON h) const { ::DestroyIcon(h); } };
struct CursorDeleter { void operator()(HCURSOR h) const { ::DestroyCursor(h); } };
struct WindowDeleter { void operator()(HWND h) const { if (::IsWindow(h)) ::DestroyWindow(h); } };
struct HandleDeleter { void operator()(HANDLE h) const { ::CloseHandle(h); } };
struct ModuleDeleter { void operator()(HMODULE h) const { ::FreeLibrary(h); } };
struct DropDeleter { void operator()(HDROP h) const { ::DragFinish(h); } };
struct RegKeyDeleter { void operator()(HKEY h) const { ::RegCloseKey(h); } };
struct GlobalDeleter { void operator()(HGLOBAL h) const { ::GlobalFree(h); } };

template <typename T>
using ScopedGdiObj = UniqueHandle<T, GdiObjectDeleter>;
using ScopedBitmap = ScopedGdiObj<HBITMAP>;
using ScopedBrush = ScopedGdiObj<HBRUSH>;
using ScopedPen = ScopedGdiObj<HPEN>;
using ScopedFont = ScopedGdiObj<HFONT>;
using ScopedRgn = ScopedGdiObj<HRGN>;
using ScopedPalette = ScopedGdiObj<HPALETTE>;
using AutoDeleteDC = UniqueHandle<HDC, DcDeleter>;
using ScopedMenu = UniqueHandle<HMENU, MenuDeleter>;
using ScopedIcon = UniqueHandle<HICON, IconDeleter>;
using ScopedCursor = UniqueHandle<HCURSOR, CursorDeleter>;
using ScopedHwnd = UniqueHandle<HWND, WindowDeleter>;
using ScopedHandle = UniqueHandle<HANDLE, HandleDeleter>;
using ScopedModule = UniqueHandle<HMODULE, ModuleDeleter>;
// The files of a WM_DROPFILES message; DragFinish gives the memory back.
using ScopedDrop = UniqueHandle<HDROP, DropDeleter>;
using ScopedRegKey = UniqueHandle<HKEY, RegKeyDeleter>;
// Moveable memory, until SetClipboardData takes it over (release() then).
using ScopedGlobal = UniqueHandle<HGLOBAL, GlobalDeleter>;

// A DC borrowed with GetDC; ReleaseDC needs the window it came from.
class ScopedGetDC {
public:
    explicit ScopedGetDC(HWND hwnd) : hwnd_(hwnd), hdc_(::GetDC(hwnd)) {}
    ~ScopedGetDC() { if (hdc_) ::ReleaseDC(hwnd_, hdc_); }
    ScopedGetDC(const ScopedGetDC&) = delete;
    ScopedGetDC& operator=(const ScopedGetDC&) = delete;
    operator HDC() const noexcept { return hdc_; }
    HDC get() const noexcept { return hdc_; }

private:
    HWND hwnd_;
    HDC hdc_;
};

// The DC of a whole window, frame included (GetWindowDC), given back to it.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND hwnd) : hwnd_(hwnd), hdc_(::GetWindowDC(hwnd)) {}
    ~ScopedWindowDC() { if (hdc_) ::ReleaseDC(hwnd_, hdc_); }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    operator HDC() const noexcept { return hdc_; }
    HDC get() const noexcept { return hdc_; }

private:
    HWND hwnd_;
    HDC hdc_;
};

// BeginPaint/EndPaint pair.
class ScopedPaint {
public:
    explicit ScopedPaint(HWND hwnd) : hwnd_(hwnd) { hdc_ = ::BeginPaint(hwnd, &ps_); }
    ~ScopedPaint() { ::EndPaint(hwnd_, &ps_); }
    ScopedPaint(const ScopedPaint&) = delete;
    ScopedPaint& operator=(const ScopedPaint&) = delete;
    operator HDC() const noexcept { return hdc_; }
    const PAINTSTRUCT& ps() const noexcept { return ps_; }

private:
    HWND hwnd_;
    HDC hdc_;
    PAINTSTRUCT ps_{};
};

// Selects an object and puts the previous one back on scope exit, so the
// selected object can be deleted and the DC deleted cleanly afterwards.
class ScopedSelectObject {
public:
    ScopedSelectObject(HDC hdc, HGDIOBJ obj) : hdc_(hdc), prev_(obj ? ::SelectObject(hdc, obj) : nullptr) {}
    ~ScopedSelectObject() { if (prev_) ::SelectObject(hdc_, prev_); }
    ScopedSelectObject(const ScopedSelectObject&) = delete;
    ScopedSelectObject& operator=(const ScopedSelectObject&) = delete;

private:
    HDC hdc_;
    HGDIOBJ prev_;
};

class ScopedSelectPalette {
public:
    ScopedSelectPalette(HDC hdc, HPALETTE pal, BOOL background = FALSE)
        : hdc_(hdc), prev_(pal ? ::SelectPalette(hdc, pal, background) : nullptr) {}
    ~ScopedSelectPalette() { if (prev_) ::SelectPalette(hdc_, prev_, FALSE); }
    ScopedSelectPalette(const ScopedSelectPalette&) = delete;
    ScopedSelectPalette& operator=(const ScopedSelectPalette&) = delete;

private:
    HDC hdc_;
    HPALETTE prev_;
};

// Saves and restores a DC's whole state (pens, brushes, modes) around drawing.
class ScopedSaveDC {
public:
    explicit ScopedSaveDC(HDC hdc) : hdc_(hdc), id_(::SaveDC(hdc)) {}
    ~ScopedSaveDC() { if (id_) ::RestoreDC(hdc_, id_); }
    ScopedSaveDC(const ScopedSaveDC&) = delete;
    ScopedSaveDC& operator=(const ScopedSaveDC&) = delete;

private:
    HDC hdc_;
    int id_;
};

// A COM interface pointer that releases on scope exit.
template <typename T>
class ScopedComPtr {
public:
    ScopedComPtr() = default;
    explicit ScopedComPtr(T* p) : p_(p) {}  // takes over one reference
    ~ScopedComPtr() { reset(); }
    ScopedComPtr(const ScopedComPtr& o) : p_(o.p_) { if (p_) p_->AddRef(); }
    ScopedComPtr& operator=(const ScopedComPtr& o) {
        if (o.p_) o.p_->AddRef();
        reset(o.p_);
        return *this;
    }
    ScopedComPtr(ScopedComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ScopedComPtr& operator=(ScopedComPtr&& o) noexcept {
        if (this != &o) reset(std::exchange(o.p_, nullptr));
        return *this;
    }
    T* get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    T** put() { reset(); return &p_; }
    void reset(T* p = nullptr) {
        if (p_) p_->Release();
        p_ = p;
    }

private:
    T* p_ = nullptr;
};

// COM initialisation for this thread; uninitialises only when it succeeded,
// because an unbalanced CoUninitialize would tear down someone else's apartment.
class ScopedCom {
public:
    ScopedCom() : hr_(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ScopedCom() { if (SUCCEEDED(hr_)) ::CoUninitialize(); }
    ScopedCom(const ScopedCom&) = delete;
    ScopedCom& operator=(const ScopedCom&) = delete;
    HRESULT result() const noexcept { return hr_; }

private:
    HRESULT hr_;
};

class ScopedOle {
public:
    ScopedOle() : hr_(::OleInitialize(nullptr)) {}
    ~ScopedOle() { if (SUCCEEDED(hr_)) ::OleUninitialize(); }
    ScopedOle(const ScopedOle&) = delete;
    ScopedOle& operator=(const ScopedOle&) = delete;

private:
    HRESULT hr_;
};

// Window timer owned by an object: killed when the owner goes away.
class ScopedTimer {
public:
    ScopedTimer() = default;
    ~ScopedTimer() { stop(); }
    ScopedTimer(const ScopedTimer&) = delete;
    ScopedTimer& operator=(const ScopedTimer&) = delete;
    // An interval of 0 stops the timer, as a disabled timer would.
    void start(HWND hwnd, UINT_PTR id, UINT intervalMs) {
        stop();
        if (intervalMs == 0 || !hwnd) return;
        hwnd_ = hwnd;
        id_ = id;
        if (::SetTimer(hwnd, id, intervalMs, nullptr)) running_ = true;
    }
    void stop() {
        if (running_) ::KillTimer(hwnd_, id_);
        running_ = false;
    }
    bool running() const noexcept { return running_; }

private:
    HWND hwnd_ = nullptr;
    UINT_PTR id_ = 0;
    bool running_ = false;
};

// A bitmap kept selected into a memory DC for as long as the owner lives (a
// back buffer, a drawing surface, a loaded picture). The DC is compatible with
// the DC it is made from (nullptr: the screen). On release the DC's own bitmap
// is selected back first, then the DC is deleted, then the bitmap: a bitmap
// still selected into a DC cannot be deleted.
class MemoryBitmapDC {
public:
    MemoryBitmapDC() = default;
    // Takes over the bitmap. When the DC cannot be made or the bitmap cannot be
    // selected the owner stays empty and the bitmap is deleted.
    MemoryBitmapDC(HDC compatible, ScopedBitmap bitmap) {
        if (!bitmap) return;
        AutoDeleteDC dc(::CreateCompatibleDC(compatible));
        if (!dc) return;
        HGDIOBJ previous = ::SelectObject(dc.get(), bitmap.get());
        if (!previous || previous == HGDI_ERROR) return;
        dc_ = std::move(dc);
        bitmap_ = std::move(bitmap);
        previous_ = previous;
    }
    ~MemoryBitmapDC() { reset(); }
    MemoryBitmapDC(const MemoryBitmapDC&) = delete;
    MemoryBitmapDC& operator=(const MemoryBitmapDC&) = delete;
    MemoryBitmapDC(MemoryBitmapDC&& o) noexcept
        : dc_(std::move(o.dc_)), bitmap_(std::move(o.bitmap_)), previous_(std::exchange(o.previous_, nullptr)) {}
    MemoryBitmapDC& operator=(MemoryBitmapDC&& o) noexcept {
        if (this != &o) {
            reset();
            dc_ = std::move(o.dc_);
            bitmap_ = std::move(o.bitmap_);
            previous_ = std::exchange(o.previous_, nullptr);
        }
        return *this;
    }

    HDC dc() const noexcept { return dc_.get(); }
    HBITMAP bitmap() const noexcept { return bitmap_.get(); }
    explicit operator bool() const noexcept { return static_cast<bool>(dc_); }

    // Deselects the bitmap, deletes the DC and hands the bitmap to the caller.
    ScopedBitmap Detach() {
        if (dc_ && previous_) ::SelectObject(dc_.get(), previous_);
        previous_ = nullptr;
        dc_.reset();
        return std::move(bitmap_);
    }
    void reset() { Detach().reset(); }

private:
    AutoDeleteDC dc_;
    ScopedBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
};

// GDI+ for the owner's lifetime. Shuts down only after its own successful
// start-up, with its own token: an unbalanced shutdown would pull GDI+ from
// under another owner still using it.
class ScopedGdiplus {
public:
    ScopedGdiplus() = default;  // not started
    explicit ScopedGdiplus(bool start) {
        if (!start) return;
        Gdiplus::GdiplusStartupInput input;
        status_ = Gdiplus::GdiplusStartup(&token_, &input, nullptr);
        if (status_ != Gdiplus::Ok) token_ = 0;
    }
    ~ScopedGdiplus() { reset(); }
    ScopedGdiplus(const ScopedGdiplus&) = delete;
    ScopedGdiplus& operator=(const ScopedGdiplus&) = delete;
    ScopedGdiplus(ScopedGdiplus&& o) noexcept
        : token_(std::exchange(o.token_, 0)), status_(std::exchange(o.status_, Gdiplus::GdiplusNotInitialized)) {}
    ScopedGdiplus& operator=(ScopedGdiplus&& o) noexcept {
        if (this != &o) {
            reset();
            token_ = std::exchange(o.token_, 0);
            status_ = std::exchange(o.status_, Gdiplus::GdiplusNotInitialized);
        }
        return *this;
    }
    bool ok() const noexcept { return token_ != 0; }
    explicit operator bool() const noexcept { return ok(); }
    Gdiplus::Status status() const noexcept { return status_; }
    void reset() {
        if (token_) Gdiplus::GdiplusShutdown(token_);
        token_ = 0;
        status_ = Gdiplus::GdiplusNotInitialized;
    }

private:
    ULONG_PTR token_ = 0;
    Gdiplus::Status status_ = Gdiplus::GdiplusNotInitialized;
};

// A BSTR that is freed on scope exit (SysFreeString accepts null).
class ScopedBstr {
public:
    ScopedBstr() = default;
    explicit ScopedBstr(BSTR s) : s_(s) {}  // takes over the string
    explicit ScopedBstr(std::wstring_view text)
        : s_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~ScopedBstr() { ::SysFreeString(s_); }
    ScopedBstr(const ScopedBstr&) = delete;
    ScopedBstr& operator=(const ScopedBstr&) = delete;
    BSTR get() const noexcept { return s_; }
    BSTR* put() { reset(); return &s_; }
    BSTR release() noexcept { return std::exchange(s_, nullptr); }
    void reset(BSTR s = nullptr) { ::SysFreeString(std::exchange(s_, s)); }
    std::wstring_view view() const noexcept { return s_ ? std::wstring_view(s_, ::SysStringLen(s_)) : std::wstring_view(); }

private:
    BSTR s_ = nullptr;
};

// A VARIANT that is cleared on scope exit.
class ScopedVariant {
public:
    ScopedVariant() { ::VariantInit(&v_); }
    ~ScopedVariant() { ::VariantClear(&v_); }
    ScopedVariant(const ScopedVariant&) = delete;
    ScopedVariant& operator=(const ScopedVariant&) = delete;
    VARIANT* ptr() noexcept { return &v_; }
    VARIANT& get() noexcept { return v_; }

private:
    VARIANT v_;
};

// A GDI+ image (bitmap) made through the flat interface; disposed on release.
struct GdipImageDeleter {
    void operator()(Gdiplus::GpImage* image) const { Gdiplus::DllExports::GdipDisposeImage(image); }
};
using ScopedGdipImage = UniqueHandle<Gdiplus::GpBitmap*, GdipImageDeleter>;

}  // namespace px::win
