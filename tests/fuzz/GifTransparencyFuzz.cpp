// Written GIF files as the transparency marker walks them: any bytes, and
// well-formed block structures with random extensions. A malformed file is
// left exactly as it was; otherwise the marked file names the entry, keeps
// every image byte, and grows by the 8-byte extension only when one was added.
#include <cstring>
#include <vector>

#include "FuzzSupport.h"
#include "export/core/GifTransparency.h"

namespace {

using Bytes = std::vector<uint8_t>;

// A plausible file: header, screen descriptor, maybe a global table, extensions
// of random labels and sub-blocks, an image descriptor and random data after it.
Bytes Structured(FuzzedDataProvider& in) {
    Bytes b;
    const char* version = in.ConsumeBool() ? "GIF87a" : "GIF89a";
    b.insert(b.end(), version, version + 6);
    const uint8_t flags = in.ConsumeIntegral<uint8_t>();
    for (uint8_t v : {uint8_t{2}, uint8_t{0}, uint8_t{2}, uint8_t{0}, flags, uint8_t{0}, uint8_t{0}}) b.push_back(v);
    if (flags & 0x80) b.resize(b.size() + 3 * (size_t{2} << (flags & 7)), 0x3B);
    for (int n = in.ConsumeIntegralInRange<int>(0, 4); n > 0; --n) {
        b.push_back(0x21);
        const bool control = in.ConsumeBool();
        b.push_back(control ? 0xF9 : in.ConsumeIntegral<uint8_t>());
        if (control && in.ConsumeBool()) {
            for (int i = 0; i < 4; ++i) b.push_back(i == 0 ? 4 : in.ConsumeIntegral<uint8_t>());
            for (int i = 0; i < 2; ++i) b.push_back(in.ConsumeIntegral<uint8_t>());
            b.push_back(0);
            continue;
        }
        for (int blocks = in.ConsumeIntegralInRange<int>(0, 3); blocks > 0; --blocks) {
            const uint8_t len = in.ConsumeIntegralInRange<uint8_t>(1, 40);
            b.push_back(len);
            for (int i = 0; i < len; ++i) b.push_back(in.ConsumeIntegral<uint8_t>());
        }
        b.push_back(0);
    }
    if (in.ConsumeBool()) b.push_back(0x2C);
    const std::vector<uint8_t> rest = in.ConsumeRemainingBytes<uint8_t>();
    b.insert(b.end(), rest.begin(), rest.end());
    return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace px;
    if (size < 2) return 0;
    const bool structured = data[0] & 1;
    const uint8_t index = data[1];
    FuzzedDataProvider in(data + 2, size - 2);
    const Bytes original = structured ? Structured(in) : in.ConsumeRemainingBytes<uint8_t>();

    const GifFirstImage image = FindGifFirstImage(original);
    if (image.valid) {
        FUZZ_CHECK(image.descriptor < original.size() && original[image.descriptor] == 0x2C);
        if (image.hasControl) FUZZ_CHECK(image.control + 8 <= image.descriptor);
    }

    Bytes file = original;
    const GifTransparencyOutcome outcome = MarkGifTransparentIndex(file, index);
    switch (outcome) {
        case GifTransparencyOutcome::Malformed:
            FUZZ_CHECK(!image.valid);
            FUZZ_CHECK(file == original);
            FUZZ_CHECK(GifTransparentIndex(file) == -1);
            return 0;
        case GifTransparencyOutcome::AlreadyMarked:
            FUZZ_CHECK(file == original);
            break;
        case GifTransparencyOutcome::Inserted: {
            FUZZ_CHECK(!image.hasControl);
            FUZZ_CHECK(file.size() == original.size() + 8);
            const size_t at = image.descriptor;
            FUZZ_CHECK(std::memcmp(file.data() + 6, original.data() + 6, at - 6) == 0);
            FUZZ_CHECK(std::memcmp(file.data() + at + 8, original.data() + at, original.size() - at) == 0);
            break;
        }
        case GifTransparencyOutcome::Updated: {
            FUZZ_CHECK(image.hasControl);
            FUZZ_CHECK(file.size() == original.size());
            // Only the version, the extension's flags and its entry change.
            for (size_t i = 6; i < file.size(); ++i)
                if (i != image.control + 3 && i != image.control + 6) FUZZ_CHECK(file[i] == original[i]);
            FUZZ_CHECK((file[image.control + 3] & 0xFE) == (original[image.control + 3] & 0xFE));
            break;
        }
    }
    FUZZ_CHECK(GifTransparentIndex(file) == index);
    if (outcome != GifTransparencyOutcome::AlreadyMarked) FUZZ_CHECK(std::memcmp(file.data(), "GIF89a", 6) == 0);
    // Marking again changes nothing.
    Bytes twice = file;
    FUZZ_CHECK(MarkGifTransparentIndex(twice, index) == GifTransparencyOutcome::AlreadyMarked && twice == file);
    return 0;
}
