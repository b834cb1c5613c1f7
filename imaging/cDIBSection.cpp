#include "imaging/cDIBSection.h"
#include "base/Text.h"

#include "base/Error.h"
#include "base/win/StagedFile.h"
#include "base/win/Window.h"

namespace px {

static_assert(sizeof(DibHeader24) == sizeof(BITMAPINFOHEADER));

cDIBSection::~cDIBSection() { ClearUp(); }

void cDIBSection::UseDrawDib(bool state) {
    if (state) {
        if (!drawDib_) drawDib_ = ::DrawDibOpen();
    } else if (drawDib_) {
        ::DrawDibClose(drawDib_);
        drawDib_ = nullptr;
    }
}

bool cDIBSection::CreateDIB(HDC lhDC, int32_t lWidth, int32_t lHeight, HBITMAP& hDIB) {
    const DibHeader24 h = MakeDibHeader24(lWidth, lHeight);
    BITMAPINFOHEADER& bi = info_.header;
    bi.biSize = h.biSize;
    bi.biWidth = h.biWidth;
    bi.biHeight = h.biHeight;
    bi.biPlanes = h.biPlanes;
    bi.biBitCount = h.biBitCount;
    bi.biCompression = BI_RGB;
    bi.biSizeImage = h.biSizeImage;
    bi.biXPelsPerMeter = bi.biYPelsPerMeter = 0;
    bi.biClrUsed = bi.biClrImportant = 0;
    hDIB = nullptr;
    // A negative height would make a top-down section: not this buffer's layout.
    if (lWidth <= 0 || lHeight <= 0) return false;
    void* bits = nullptr;
    hDIB = ::CreateDIBSection(lhDC, BitmapInfo(), DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = hDIB ? static_cast<uint8_t*>(bits) : nullptr;
    return hDIB != nullptr;
}

bool cDIBSection::Create(int32_t lWidth, int32_t lHeight) {
    const bool drawDib = UseDrawDib();
    ClearUp();
    win::AutoDeleteDC dc(::CreateCompatibleDC(nullptr));
    if (!dc) return false;
    HBITMAP section = nullptr;
    if (!CreateDIB(dc.get(), lWidth, lHeight, section)) return false;  // the DC goes with `dc`
    dc.reset();
    win::MemoryBitmapDC selected(nullptr, win::ScopedBitmap(section));
    if (!selected) return false;
    dib_ = std::move(selected);
    UseDrawDib(drawDib);
    return true;
}

void cDIBSection::CreateFromPicture(HBITMAP picThis) {
    BITMAP bm{};
    // Only a bitmap has a size here; any other handle reads as 0 x 0.
    if (picThis && ::GetObjectType(picThis) == OBJ_BITMAP) ::GetObjectW(picThis, sizeof(bm), &bm);
    if (!Create(bm.bmWidth, bm.bmHeight)) return;
    win::AutoDeleteDC temp;
    {
        win::ScopedGetDC screen(::GetDesktopWindow());
        if (!screen.get()) return;
        temp.reset(::CreateCompatibleDC(screen));
    }  // the screen DC is given back at once
    if (!temp) return;
    win::ScopedSelectObject select(temp.get(), picThis);
    LoadPictureBlt(temp.get(), 0, 0, -1, -1, SRCCOPY);
}

int32_t cDIBSection::BytesPerScanLine() const { return BytesPerScanLine24(info_.header.biWidth); }

void cDIBSection::LoadPictureBlt(HDC lhDC, int32_t lSrcLeft, int32_t lSrcTop, int32_t lSrcWidth, int32_t lSrcHeight,
                                 DWORD eRop) {
    const int32_t w = lSrcWidth < 0 ? Width() : lSrcWidth;
    const int32_t h = lSrcHeight < 0 ? Height() : lSrcHeight;
    ::BitBlt(dib_.dc(), 0, 0, w, h, lhDC, lSrcLeft, lSrcTop, eRop);
}

void cDIBSection::PaintPicture(HDC lhDC, int32_t lDestLeft, int32_t lDestTop, int32_t lDestWidth, int32_t lDestHeight,
                               int32_t lSrcLeft, int32_t lSrcTop, DWORD eRop) const {
    const int32_t w = lDestWidth < 0 ? Width() : lDestWidth;
    const int32_t h = lDestHeight < 0 ? Height() : lDestHeight;
    if (drawDib_) {
        ::GdiFlush();
        ::DrawDibDraw(drawDib_, lhDC, lDestLeft, lDestTop, w, h, const_cast<BITMAPINFOHEADER*>(&info_.header), bits_,
                      lSrcLeft, lSrcTop, w, h, 0);
    } else {
        ::BitBlt(lhDC, lDestLeft, lDestTop, w, h, dib_.dc(), lSrcLeft, lSrcTop, eRop);
    }
}

bool cDIBSection::SavePicture(const std::wstring& sFilename) const { return WriteBitmapFile(sFilename); }

bool cDIBSection::WriteBitmapFile(const std::wstring& name) const {
    DibHeader24 h;
    h.biWidth = info_.header.biWidth;
    h.biHeight = info_.header.biHeight;
    h.biSizeImage = info_.header.biSizeImage;
    BitmapFileHeaderBytes(h);  // the file size must fit before anything is opened (Overflow)
    // The wide API: a name outside the ANSI code page must not turn into another file.
    // Written under a temporary name beside the target and moved over it when
    // complete, so a failed write leaves the earlier file as it was.
    win::StagedFile file(name);
    if (!file.Ready()) throw Error(ErrorNumber::CantPerformOperation, className_, ApiErrorText(file.Error()));
    ::GdiFlush();
    const HANDLE out = file.Handle();
    const bool written = px::WriteBitmapFile(h, bits_, [out](const uint8_t* data, size_t size) {
        if (!data && size > 0) return false;  // released buffer: nothing to write from
        DWORD done = 0;
        return ::WriteFile(out, data, static_cast<DWORD>(size), &done, nullptr) != 0 && done == size;
    });
    if (!written) return false;
    // A target held open by another program cannot be replaced: as when it cannot be created.
    if (const DWORD e = file.Commit())
        throw Error(ErrorNumber::CantPerformOperation, className_, ApiErrorText(e));
    return true;
}

std::string cDIBSection::ApiErrorText(DWORD code) {
    wchar_t buffer[256];
    const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                     buffer, 256, nullptr);
    return px::Narrow(std::wstring(buffer, n));
}

Dib24Bits cDIBSection::Bits() const {
    if (!bits_) return Dib24Bits{nullptr, Width(), Height(), BytesPerScanLine()};
    ::GdiFlush();  // drawing into the section may still be queued
    return Dib24Bits{bits_, Width(), Height(), BytesPerScanLine()};
}

void cDIBSection::RandomiseBits(bool bGray) {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    const uint32_t secondsSinceMidnight = now.wHour * 3600u + now.wMinute * 60u + now.wSecond;
    px::RandomiseBits(Bits(), bGray, secondsSinceMidnight);
}

void cDIBSection::ClearUp() {
    dib_.reset();
    bits_ = nullptr;
    UseDrawDib(false);
}

std::unique_ptr<cDIBSection> cDIBSection::Resample(int32_t lNewHeight, int32_t lNewWidth) const {
    std::unique_ptr<cDIBSection> target(new cDIBSection(className_));
    if (!target->Create(lNewWidth, lNewHeight)) return nullptr;
    if (lNewWidth == Width() && lNewHeight == Height()) {
        target->LoadPictureBlt(dib_.dc(), 0, 0, -1, -1, SRCCOPY);
    } else {
        ResampleBilinear(Bits(), target->Bits());  // an error drops `target`
    }
    return target;
}

}  // namespace px
