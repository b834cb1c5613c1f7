#include "app/PrintPicture.h"

#include <winspool.h>

#include <algorithm>
#include <vector>

#include "app/core/PrintPlacement.h"
#include "base/win/ScopedWin.h"

namespace px {

namespace {
std::wstring DefaultPrinterName() {
    DWORD needed = 0;
    ::GetDefaultPrinterW(nullptr, &needed);
    if (needed == 0) return {};
    std::wstring name(needed, L'\0');
    if (!::GetDefaultPrinterW(name.data(), &needed)) return {};
    name.resize(wcslen(name.c_str()));
    return name;
}

// A document in progress; aborted unless it was ended.
class PrintJob {
public:
    PrintJob(HDC dc, const std::wstring& name) : dc_(dc) {
        DOCINFOW di{sizeof(di)};
        di.lpszDocName = name.c_str();
        started_ = ::StartDocW(dc, &di) > 0;
    }
    ~PrintJob() { if (started_) ::AbortDoc(dc_); }
    PrintJob(const PrintJob&) = delete;
    PrintJob& operator=(const PrintJob&) = delete;
    bool started() const noexcept { return started_; }
    bool End() {
        bool ok = ::EndDoc(dc_) > 0;
        started_ = false;
        return ok;
    }

private:
    HDC dc_;
    bool started_ = false;
};
}  // namespace

PrintResult PrintPictureCentred(HBITMAP picture, const std::wstring& documentName) {
    BITMAP bm{};
    if (!picture || !::GetObjectW(picture, sizeof(bm), &bm)) return PrintResult::Failed;
    const std::wstring printer = DefaultPrinterName();
    if (printer.empty()) return PrintResult::NoDefaultPrinter;
    win::AutoDeleteDC dc(::CreateDCW(L"WINSPOOL", printer.c_str(), nullptr, nullptr));
    if (!dc) return PrintResult::Failed;

    // The pixels as a device-independent 24-bit picture, which every printer driver takes.
    const int w = bm.bmWidth, h = std::abs(bm.bmHeight);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = h;
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    std::vector<BYTE> pixels(static_cast<size_t>((w * 3 + 3) & ~3) * h);
    int screenDpiX = 96, screenDpiY = 96;
    {
        win::ScopedGetDC screen(nullptr);
        screenDpiX = ::GetDeviceCaps(screen, LOGPIXELSX);
        screenDpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
        if (::GetDIBits(screen, picture, 0, h, pixels.data(), &bi, DIB_RGB_COLORS) != h) return PrintResult::Failed;
    }

    // The printable area is the page's scale: origin at its top-left corner.
    const PrintPlacement at = CentrePictureOnPage(w, h, screenDpiX, screenDpiY, ::GetDeviceCaps(dc.get(), LOGPIXELSX),
                                                  ::GetDeviceCaps(dc.get(), LOGPIXELSY), 0, 0,
                                                  ::GetDeviceCaps(dc.get(), HORZRES),
                                                  ::GetDeviceCaps(dc.get(), VERTRES));
    PrintJob job(dc.get(), documentName);
    if (!job.started() || ::StartPage(dc.get()) <= 0) return PrintResult::Failed;
    ::SetStretchBltMode(dc.get(), COLORONCOLOR);
    ::StretchDIBits(dc.get(), at.left, at.top, at.width, at.height, 0, 0, w, h, pixels.data(), &bi, DIB_RGB_COLORS,
                    SRCCOPY);
    {
        // One screen pixel wide, like the picture's own pixels.
        const int penWidth = std::max(1, ::GetDeviceCaps(dc.get(), LOGPIXELSX) / std::max(1, screenDpiX));
        win::ScopedPen pen(::CreatePen(PS_SOLID, penWidth, RGB(0, 0, 0)));
        win::ScopedSelectObject selectPen(dc.get(), pen.get());
        win::ScopedSelectObject selectBrush(dc.get(), ::GetStockObject(NULL_BRUSH));
        ::Rectangle(dc.get(), at.left, at.top, at.left + at.width, at.top + at.height);
    }
    if (::EndPage(dc.get()) <= 0) return PrintResult::Failed;
    return job.End() ? PrintResult::Printed : PrintResult::Failed;
}

}  // namespace px
