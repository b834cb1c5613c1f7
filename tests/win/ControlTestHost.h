#pragma once
// What the control tests share: a visible top-level window to put controls
// on, a message pump that waits for a condition, in-memory pictures (bitmap
// and icon files built byte by byte) and reading a control's face pixels.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/win/DibInfo.h"
#include "base/win/OlePicture.h"
#include "base/win/ScopedWin.h"
#include "base/win/Window.h"

namespace px::test {

// Dispatches messages until `done` holds or `timeoutMs` passes; returns done().
inline bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 3000) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        if (done()) return true;
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) return done();
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(std::min<long long>(left.count(), 20)),
                                    QS_ALLINPUT);
    }
}

// Dispatches what is queued now (posted messages, paints), without waiting.
inline void PumpPending() {
    MSG msg;
    while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
}

// A plain visible window at a fixed screen place that records key-down messages.
class TestHost : public win::Window {
public:
    explicit TestHost(int x = 40, int y = 40, int w = 640, int h = 480, COLORREF back = RGB(236, 233, 216)) {
        backBrush_.reset(::CreateSolidBrush(back));
        RegisterClassOnce(L"PxControlTestHost", CS_DBLCLKS, nullptr);
        CreateWindowObject(L"PxControlTestHost", L"Control test host", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0,
                           x, y, w, h, nullptr, nullptr);
        ::SetForegroundWindow(hwnd());
        ::UpdateWindow(hwnd());
    }
    std::vector<WPARAM> keysDown;

protected:
    LRESULT HandleMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_KEYDOWN:
            keysDown.push_back(wp);
            return 0;
        case WM_ERASEBKGND: {
            RECT rc;
            ::GetClientRect(hwnd(), &rc);
            ::FillRect(reinterpret_cast<HDC>(wp), &rc, backBrush_.get());
            return 1;
        }
        default:
            return DefaultProc(msg, wp, lp);
        }
    }

private:
    win::ScopedBrush backBrush_;
};

inline void PutLE(std::vector<uint8_t>& b, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

// A 24-bit bitmap file in memory; pixel(x, y) gives 0x00RRGGBB, top row first.
inline win::OlePicture MakeBitmapPicture(int w, int h, const std::function<uint32_t(int, int)>& pixel) {
    const int stride = (w * 3 + 3) & ~3;
    std::vector<uint8_t> b;
    b.push_back('B');
    b.push_back('M');
    PutLE(b, 54 + stride * h, 4);
    PutLE(b, 0, 4);
    PutLE(b, 54, 4);
    PutLE(b, 40, 4);
    PutLE(b, static_cast<uint32_t>(w), 4);
    PutLE(b, static_cast<uint32_t>(h), 4);
    PutLE(b, 1, 2);
    PutLE(b, 24, 2);
    for (int i = 0; i < 6; ++i) PutLE(b, 0, 4);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            uint32_t p = pixel(x, y);
            b.push_back(static_cast<uint8_t>(p));
            b.push_back(static_cast<uint8_t>(p >> 8));
            b.push_back(static_cast<uint8_t>(p >> 16));
        }
        for (int pad = w * 3; pad < stride; ++pad) b.push_back(0);
    }
    return win::OlePicture::FromMemory(b.data(), b.size());
}

// A 32-bit icon file in memory; pixel(x, y) gives 0xAARRGGBB (alpha 0 is transparent).
inline win::OlePicture MakeIconPicture(int size, const std::function<uint32_t(int, int)>& pixel) {
    const int maskStride = ((size + 31) / 32) * 4;
    const uint32_t imageBytes = 40 + size * size * 4 + maskStride * size;
    std::vector<uint8_t> b;
    PutLE(b, 0, 2);
    PutLE(b, 1, 2);  // icon
    PutLE(b, 1, 2);  // one image
    b.push_back(static_cast<uint8_t>(size));
    b.push_back(static_cast<uint8_t>(size));
    b.push_back(0);
    b.push_back(0);
    PutLE(b, 1, 2);
    PutLE(b, 32, 2);
    PutLE(b, imageBytes, 4);
    PutLE(b, 22, 4);
    PutLE(b, 40, 4);
    PutLE(b, static_cast<uint32_t>(size), 4);
    PutLE(b, static_cast<uint32_t>(size * 2), 4);  // colour and mask
    PutLE(b, 1, 2);
    PutLE(b, 32, 2);
    for (int i = 0; i < 6; ++i) PutLE(b, 0, 4);
    for (int y = size - 1; y >= 0; --y)
        for (int x = 0; x < size; ++x) PutLE(b, pixel(x, y), 4);
    for (int y = size - 1; y >= 0; --y) {
        std::vector<uint8_t> row(static_cast<size_t>(maskStride), 0);
        for (int x = 0; x < size; ++x)
            if ((pixel(x, y) >> 24) == 0) row[static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return win::OlePicture::FromMemory(b.data(), b.size());
}

// The control's client area as it paints itself (WM_PRINTCLIENT into a memory bitmap).
class ClientPixels {
public:
    explicit ClientPixels(HWND hwnd) {
        RECT rc;
        ::GetClientRect(hwnd, &rc);
        w_ = rc.right;
        h_ = rc.bottom;
        BITMAPINFO bi = px::win::TopDownDibInfo(w_, h_);
        void* bits = nullptr;
        bmp_.reset(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        win::AutoDeleteDC dc(::CreateCompatibleDC(nullptr));
        win::ScopedSelectObject sel(dc.get(), bmp_.get());
        ::SendMessageW(hwnd, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dc.get()), PRF_CLIENT);
        ::GdiFlush();
    }
    int width() const { return w_; }
    int height() const { return h_; }
    // As a COLORREF (0x00BBGGRR).
    COLORREF at(int x, int y) const {
        uint32_t p = bits_[y * w_ + x];
        return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
    }

private:
    win::ScopedBitmap bmp_;
    uint32_t* bits_ = nullptr;
    int w_ = 0, h_ = 0;
};

inline int Brightness(COLORREF c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); }

inline POINT ScreenPointOf(HWND hwnd, int x, int y) {
    POINT p{x, y};
    ::ClientToScreen(hwnd, &p);
    return p;
}

inline LPARAM ClientLParam(int x, int y) { return MAKELPARAM(x, y); }

// Real pointer input through the platform's input queue (absolute screen pixels).
inline bool MouseTo(POINT screen) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dx = static_cast<LONG>(screen.x * 65535LL / (::GetSystemMetrics(SM_CXSCREEN) - 1));
    in.mi.dy = static_cast<LONG>(screen.y * 65535LL / (::GetSystemMetrics(SM_CYSCREEN) - 1));
    in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return ::SendInput(1, &in, sizeof(in)) == 1;
}

inline bool LeftButton(bool down) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
    return ::SendInput(1, &in, sizeof(in)) == 1;
}

// Moves the pointer there and waits until the platform reports it there.
inline bool PointerAt(POINT screen) {
    if (!MouseTo(screen)) return false;
    return PumpUntil([&] {
        POINT p;
        ::GetCursorPos(&p);
        return p.x == screen.x && p.y == screen.y;
    });
}

}  // namespace px::test
