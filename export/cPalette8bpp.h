#pragma once
// The GIF export's colour table with its platform palette. The table holds
// entries as blue, green, red, 0 (a bitmap colour table); hPal is built from
// those bytes unchanged, so the platform palette has blue where it expects
// red and red where it expects blue. Every query passes the colour exchanged
// the same way, so the answers refer to the true colours.
#include <windows.h>

#include <cstdint>

#include "base/win/ScopedWin.h"
#include "export/core/Palette8bpp.h"

namespace px {

class cPalette8bpp {
public:
    uint8_t* InitializePalette() { return table_.InitializePalette(); }
    uint8_t* PalettePtr() noexcept { return table_.PalettePtr(); }
    const uint8_t* PalettePtr() const noexcept { return table_.PalettePtr(); }
    HPALETTE hPal() const noexcept { return hPal_.get(); }
    int32_t Count() const noexcept { return table_.Count(); }
    int32_t MaxCount() const noexcept { return table_.MaxCount(); }

    // One channel of an entry; writing does not rebuild hPal.
    uint8_t rgbR(int32_t index) const { return table_.rgbR(index); }
    uint8_t rgbG(int32_t index) const { return table_.rgbG(index); }
    uint8_t rgbB(int32_t index) const { return table_.rgbB(index); }
    void rgbR(int32_t index, uint8_t v) { table_.rgbR(index, v); }
    void rgbG(int32_t index, uint8_t v) { table_.rgbG(index, v); }
    void rgbB(int32_t index, uint8_t v) { table_.rgbB(index, v); }

    void Clear();
    bool IsGreyScale() const { return table_.IsGreyScale(); }

    // The platform's nearest entry of hPal. A failed query (no palette) is Overflow (6).
    uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue, uint8_t& index) const;
    uint8_t NearestPaletteIndex(uint8_t red, uint8_t green, uint8_t blue) const;
    void ClosestColor(uint8_t red, uint8_t green, uint8_t blue, uint8_t& outRed, uint8_t& outGreen, uint8_t& outBlue,
                      uint8_t& index) const;

    void CreateGreyscale(int32_t kind);
    void CreateEGA();
    void CreateHalftone(int32_t kind);
    void CreateWebsafe();
    void CreateOptimal(const Pixels32& picture, int32_t wanted, int32_t depth, float redWeight, float greenWeight,
                       float blueWeight);

    void CreatePerceptual(const Pixels32& picture, int32_t wanted);

    const Palette8bpp& Table() const noexcept { return table_; }

private:
    void RebuildPlatformPalette();

    Palette8bpp table_;
    win::ScopedPalette hPal_;
};

}  // namespace px
