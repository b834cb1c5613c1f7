#include "tests/win/support/DpiCheck.h"

#include <algorithm>
#include <cstdlib>

#include "base/Text.h"
#include "base/win/SavePicture.h"
#include "base/win/Window.h"

namespace px::test {

void UsePerMonitorDpi() {
    using SetContextFn = HANDLE(WINAPI*)(HANDLE);
    if (auto fn = reinterpret_cast<SetContextFn>(reinterpret_cast<void*>(
            ::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetThreadDpiAwarenessContext"))))
        fn(reinterpret_cast<HANDLE>(-4));  // per monitor, version 2
}

std::wstring ArtefactPath(const std::wstring& name) {
    const char* dir = std::getenv("PIXTREL_ARTEFACTS");
    std::wstring d = dir && *dir ? px::Widen(dir) : L".";
    if (d.back() != L'/' && d.back() != L'\\') d += L'\\';
    return d + name;
}

win::ScopedBitmap WindowShot(HWND hwnd) {
    RECT w, screenRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)}, r;
    ::GetWindowRect(hwnd, &w);
    ::IntersectRect(&r, &w, &screenRect);
    win::ScopedGetDC screen(nullptr);
    win::ScopedBitmap shot(::CreateCompatibleBitmap(screen, r.right - r.left, r.bottom - r.top));
    win::AutoDeleteDC dc(::CreateCompatibleDC(screen));
    win::ScopedSelectObject sel(dc.get(), shot.get());
    ::BitBlt(dc.get(), 0, 0, r.right - r.left, r.bottom - r.top, screen, r.left, r.top, SRCCOPY);
    return shot;
}

bool SaveWindowShot(HWND hwnd, const std::wstring& name, UINT dpi) {
    ::RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    const win::ScopedBitmap shot = WindowShot(hwnd);
    const std::wstring file = ArtefactPath(name + L"At" + std::to_wstring(dpi) + L"dpi.bmp");
    return shot && SUCCEEDED(win::SavePictureAsBitmapFile(shot.get(), file));
}

namespace {

struct Ctx {
    int dpi;
    Measured kinds;
    int* measured;
    std::vector<Misfit> misfits;
};

// The text as drawn: a single '&' marks the mnemonic and takes no room.
std::wstring Shown(const std::wstring& text) {
    std::wstring out;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == L'&' && i + 1 < text.size()) ++i;
        out += text[i];
    }
    return out;
}

BOOL CALLBACK MeasureOne(HWND h, LPARAM lp) {
    auto& c = *reinterpret_cast<Ctx*>(lp);
    wchar_t cls[64] = L"";
    ::GetClassNameW(h, cls, 64);
    const std::wstring kind = cls;
    const bool label = kind == L"Static", native = kind == L"Button";
    const bool more = c.kinds == Measured::AllTextControls && (kind == L"Edit" || kind == L"uxButtons_H");
    const std::wstring text = Shown(win::GetWindowTextString(h));
    if (!(label || native || more) || text.empty() || !::IsWindowVisible(h)) return TRUE;
    const LONG type = ::GetWindowLongW(h, GWL_STYLE) & BS_TYPEMASK;
    const bool box = native && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON ||
                                type == BS_AUTORADIOBUTTON || type == BS_3STATE || type == BS_AUTO3STATE);
    win::ScopedGetDC dc(h);
    HFONT font = reinterpret_cast<HFONT>(::SendMessageW(h, WM_GETFONT, 0, 0));
    win::ScopedSelectObject sel(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT));
    SIZE need{};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &need);
    const int boxW = box ? ::MulDiv(13 + 4, c.dpi, 96) : 0;  // the box and its gap
    RECT rc;
    ::GetClientRect(h, &rc);
    if (native && (::GetWindowLongW(h, GWL_STYLE) & BS_MULTILINE) && need.cx + boxW > rc.right) {
        // A button that wraps its text: the lines must fit its height.
        RECT lines{0, 0, std::max<LONG>(rc.right - boxW, 1), 0};
        ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &lines, DT_CALCRECT | DT_WORDBREAK);
        need = {lines.right, lines.bottom};
    }
    need.cx += boxW;
    ++*c.measured;
    if (need.cx > rc.right || need.cy > rc.bottom) c.misfits.push_back({text, need, {rc.right, rc.bottom}});
    return TRUE;
}

}  // namespace

std::vector<Misfit> TextThatDoesNotFit(HWND parent, int dpi, int& measured, Measured kinds) {
    Ctx ctx{dpi, kinds, &measured, {}};
    ::EnumChildWindows(parent, &MeasureOne, reinterpret_cast<LPARAM>(&ctx));
    return ctx.misfits;
}

}  // namespace px::test
