#include "export/cPalette8bpp.h"

#include <cstring>
#include <vector>

namespace px {

void cPalette8bpp::Clear() {
    table_.Clear();
    hPal_.reset();
}

void cPalette8bpp::RebuildPlatformPalette() {
    hPal_.reset();
    const int32_t n = table_.MaxCount();
    std::vector<uint8_t> block(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(n > 0 ? n : 1));
    auto* lp = reinterpret_cast<LOGPALETTE*>(block.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = static_cast<WORD>(n);
    // blue, green, red, 0 land in peRed, peGreen, peBlue, peFlags unchanged.
    std::memcpy(lp->palPalEntry, table_.PalettePtr(), 4 * static_cast<size_t>(n));
    hPal_.reset(::CreatePalette(lp));  // 0 when it fails; queries then fail too
}

uint8_t cPalette8bpp::NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) const {
    // Without a palette the query fails on Windows (CLR_INVALID); Wine answers
    // 0 instead, so the failure is raised here for both.
    if (!hPal_) throw Error(ErrorNumber::Overflow, "", "Overflow");
    // Red and blue exchanged, as the platform palette holds them.
    const UINT n = ::GetNearestPaletteIndex(hPal_.get(), RGB(blue, green, red));
    if (n == CLR_INVALID || n > 255) throw Error(ErrorNumber::Overflow, "", "Overflow");
    return static_cast<uint8_t>(n);
}

uint8_t cPalette8bpp::NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& index) const {
    index = NearestPaletteIndex(red, green, blue);
    return index;
}

void cPalette8bpp::ClosestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen,
                                uint8_t& outBlue, uint8_t& index) const {
    index = NearestPaletteIndex(red, green, blue);
    outRed = table_.rgbR(index);
    outGreen = table_.rgbG(index);
    outBlue = table_.rgbB(index);
}

void cPalette8bpp::CreateGreyscale(int32_t kind) {
    table_.CreateGreyscale(kind);
    RebuildPlatformPalette();
}

void cPalette8bpp::CreateEGA() {
    table_.CreateEGA();
    RebuildPlatformPalette();
}

void cPalette8bpp::CreateHalftone(int32_t kind) {
    table_.CreateHalftone(kind);
    RebuildPlatformPalette();
}

void cPalette8bpp::CreateWebsafe() {
    table_.CreateWebsafe();
    RebuildPlatformPalette();
}

void cPalette8bpp::CreateOptimal(const Pixels32& picture, int32_t wanted, int32_t depth, float redWeight,
                                 float greenWeight, float blueWeight) {
    table_.CreateOptimal(picture, wanted, depth, redWeight, greenWeight, blueWeight);
    RebuildPlatformPalette();
}

void cPalette8bpp::CreatePerceptual(const Pixels32& picture, int32_t wanted) {
    table_.CreatePerceptual(picture, wanted);
    RebuildPlatformPalette();
}

}  // namespace px
