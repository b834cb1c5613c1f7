#include "export/core/GifTransparency.h"

#include <cstring>

namespace px {

namespace {

constexpr uint8_t kExtensionIntroducer = 0x21;
constexpr uint8_t kControlLabel = 0xF9;
constexpr uint8_t kImageSeparator = 0x2C;
constexpr size_t kHeaderSize = 6, kScreenDescriptorSize = 7;
constexpr size_t kControlSize = 8;  // 21 F9 04 flags delay(2) index 00
constexpr uint8_t kTransparentFlag = 0x01;

bool HasGifSignature(std::span<const uint8_t> file) {
    if (file.size() < kHeaderSize) return false;
    return std::memcmp(file.data(), "GIF87a", 6) == 0 || std::memcmp(file.data(), "GIF89a", 6) == 0;
}

// Skips data sub-blocks starting at `at`; returns the offset after the
// terminator, or 0 when the file ends first.
size_t SkipSubBlocks(std::span<const uint8_t> file, size_t at) {
    while (at < file.size()) {
        const size_t len = file[at];
        if (len == 0) return at + 1;
        at += 1 + len;
    }
    return 0;
}

}  // namespace

GifFirstImage FindGifFirstImage(std::span<const uint8_t> file) {
    GifFirstImage result;
    if (!HasGifSignature(file) || file.size() < kHeaderSize + kScreenDescriptorSize) return result;
    const uint8_t screenFlags = file[10];
    size_t at = kHeaderSize + kScreenDescriptorSize;
    if (screenFlags & 0x80) at += 3u * (size_t{2} << (screenFlags & 0x07));
    while (at < file.size()) {
        const uint8_t introducer = file[at];
        if (introducer == kImageSeparator) {
            result.valid = true;
            result.descriptor = at;
            return result;
        }
        if (introducer != kExtensionIntroducer || at + 2 > file.size()) return GifFirstImage{};
        if (file[at + 1] == kControlLabel) {
            // Only a well-formed extension counts as the image's control block.
            if (at + kControlSize > file.size() || file[at + 2] != 4 || file[at + 7] != 0) return GifFirstImage{};
            result.hasControl = true;
            result.control = at;
        }
        const size_t next = SkipSubBlocks(file, at + 2);
        if (next == 0) return GifFirstImage{};
        at = next;
    }
    return GifFirstImage{};  // the trailer or the end came before any image
}

GifTransparencyEdit MarkGifTransparentIndexInPlace(std::span<uint8_t> file, uint8_t index) {
    GifTransparencyEdit edit;
    const GifFirstImage image = FindGifFirstImage(file);
    if (!image.valid) return edit;
    if (image.hasControl) {
        uint8_t& flags = file[image.control + 3];
        uint8_t& entry = file[image.control + 6];
        if ((flags & kTransparentFlag) && entry == index) {
            edit.outcome = GifTransparencyOutcome::AlreadyMarked;
            return edit;
        }
        // A second extension before the same image is not allowed: mark the one that is there.
        flags |= kTransparentFlag;
        entry = index;
        std::memcpy(file.data(), "GIF89a", 6);
        edit.outcome = GifTransparencyOutcome::Updated;
        return edit;
    }
    std::memcpy(file.data(), "GIF89a", 6);
    edit.outcome = GifTransparencyOutcome::Inserted;
    edit.insertAt = image.descriptor;
    edit.extension = {kExtensionIntroducer, kControlLabel, 4, kTransparentFlag, 0, 0, index, 0};
    return edit;
}

GifTransparencyOutcome MarkGifTransparentIndex(std::vector<uint8_t>& file, uint8_t index) {
    const GifTransparencyEdit edit = MarkGifTransparentIndexInPlace(file, index);
    if (edit.outcome == GifTransparencyOutcome::Inserted)
        file.insert(file.begin() + static_cast<std::ptrdiff_t>(edit.insertAt), edit.extension.begin(),
                    edit.extension.end());
    return edit.outcome;
}

int GifTransparentIndex(std::span<const uint8_t> file) {
    const GifFirstImage image = FindGifFirstImage(file);
    if (!image.valid || !image.hasControl || !(file[image.control + 3] & kTransparentFlag)) return -1;
    return file[image.control + 6];
}

}  // namespace px
