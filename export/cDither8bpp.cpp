#include "export/cDither8bpp.h"

#include <algorithm>

namespace px {

PaletteTable cDither8bpp::TableOf(const cPalette8bpp& palette) {
    const uint8_t* entries = palette.PalettePtr();
    if (!entries) throw Error(ErrorNumber::SubscriptOutOfRange, "", "Subscript out of range");  // cleared palette
    PaletteTable t{};
    std::copy_n(entries, t.size(), t.begin());
    return t;
}

void cDither8bpp::DitherToGreyPalette(cDIB32& picture, const cPalette8bpp& palette, int32_t greyKind, bool diffuse) {
    if (!picture.hDIB()) return;
    px::DitherToGreyPalette(picture.Pixels(), TableOf(palette), greyKind, diffuse, ids_);
    ProgressEnd();
}

void cDither8bpp::DitherToColorPalette(cDIB32& picture, const cPalette8bpp& palette, bool diffuse) {
    if (!picture.hDIB()) return;
    const PaletteTable table = TableOf(palette);
    const ColorLookupTable lookup = BuildColorLookupTable(
        [&palette](uint8_t r, uint8_t g, uint8_t b) { return int64_t{palette.NearestPaletteIndex(r, g, b)}; });
    px::DitherToColorPalette(picture.Pixels(), table, lookup, diffuse, ids_);
    ProgressEnd();
}

void cDither8bpp::DitherToPerceptualPalette(cDIB32& picture, const cPalette8bpp& palette, bool diffuse) {
    if (!picture.hDIB()) return;
    const PaletteTable table = TableOf(palette);
    if (palette.MaxCount() <= 0) throw Error(ErrorNumber::Overflow, "", "Overflow");
    NearestColorMap map(palette.Table().EntriesInUse());
    px::DitherToNearestEntries(picture.Pixels(), table, map, diffuse, ids_);
    ProgressEnd();
}

int32_t cDither8bpp::CountColors(const cDIB32& picture) const {
    if (!picture.hDIB()) return 0;
    return px::CountColors(picture.Pixels());
}

}  // namespace px
