#pragma once
// Marking one palette entry of a written GIF file as transparent. Some GIF
// encoders keep the indices and the palette but write no Graphic Control
// Extension, so an entry given alpha 0 is not transparent in the file. This
// walks the file's blocks up to the first image descriptor (nothing is
// decoded) and, when the entry is not already marked, adds the extension in
// front of that descriptor (or sets it in the one that is there) and makes
// the header "GIF89a", the version that knows extensions.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace px {

enum class GifTransparencyOutcome {
    AlreadyMarked,  // the file already names that entry as transparent: unchanged
    Inserted,       // an 8-byte extension was added before the first image
    Updated,        // the extension before the first image now names the entry
    Malformed,      // not a GIF, cut short, or no image: unchanged
};

// Where the first image's control extension is, or where one must go.
struct GifFirstImage {
    bool valid = false;
    size_t descriptor = 0;    // offset of the image descriptor (0x2C)
    bool hasControl = false;  // a Graphic Control Extension precedes it
    size_t control = 0;       // offset of that extension's 0x21 byte
};

// Walks header, screen descriptor, global colour table and extensions.
GifFirstImage FindGifFirstImage(std::span<const uint8_t> file);

// What marking needs beyond the changes made in place: for Inserted, the
// extension's 8 bytes go in front of offset `insertAt`.
struct GifTransparencyEdit {
    GifTransparencyOutcome outcome = GifTransparencyOutcome::Malformed;
    size_t insertAt = 0;
    std::array<uint8_t, 8> extension{};
};

// Marks `index` in place (header version, an existing extension) and says
// where the new extension goes, so a writer can put it between the two parts
// of the file without moving a byte of the image data.
GifTransparencyEdit MarkGifTransparentIndexInPlace(std::span<uint8_t> file, uint8_t index);

// Makes `index` the transparent entry of the first image (see above).
GifTransparencyOutcome MarkGifTransparentIndex(std::vector<uint8_t>& file, uint8_t index);

// The transparent entry the first image's extension names, or -1.
int GifTransparentIndex(std::span<const uint8_t> file);

}  // namespace px
