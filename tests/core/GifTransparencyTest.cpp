// Marking the transparent entry in written GIF files: the shape the
// platform's encoder writes (no extension, a local 256-entry table), an old
// GIF87a file with a global table and a comment, files that already carry the
// extension, and files that must be left alone.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "export/core/GifTransparency.h"

namespace px {
namespace {

using Bytes = std::vector<uint8_t>;

void Append(Bytes& b, std::initializer_list<int> values) {
    for (int v : values) b.push_back(static_cast<uint8_t>(v));
}

// Header and a 2 x 2 screen; a global table of 2^(bits) entries when bits > 0.
Bytes Header(const char* version, int globalBits) {
    Bytes b(version, version + 6);
    Append(b, {2, 0, 2, 0, globalBits ? 0x80 | (globalBits - 1) : 0, 0, 0});
    for (int i = 0; i < (globalBits ? 3 << globalBits : 0); ++i) b.push_back(static_cast<uint8_t>(i));
    return b;
}

// An image descriptor with a local table of 256 entries and some data blocks, then the trailer.
void AppendImage(Bytes& b, bool trailer = true) {
    Append(b, {0x2C, 0, 0, 0, 0, 2, 0, 2, 0, 0x87});
    for (int i = 0; i < 768; ++i) b.push_back(static_cast<uint8_t>(i * 7));
    Append(b, {8, 3, 0x21, 0x2C, 0x3B, 2, 0xF9, 0x00, 0});  // data that looks like block bytes
    if (trailer) b.push_back(0x3B);
}

Bytes Control(int flags, int index, int delay = 0) { return {0x21, 0xF9, 4, static_cast<uint8_t>(flags),
        static_cast<uint8_t>(delay), 0, static_cast<uint8_t>(index), 0}; }

Bytes PlatformShape() {
    Bytes b = Header("GIF87a", 0);
    AppendImage(b);
    return b;
}

TEST(GifTransparency, InsertsTheExtensionBeforeTheFirstImage) {
    const struct {
        const char* name;
        Bytes file;
        size_t descriptor;
    } cases[] = {
        {"platform shape", PlatformShape(), 13},
        {"GIF87a, global table, comment", [] {
             Bytes b = Header("GIF87a", 2);
             Append(b, {0x21, 0xFE, 3, 'a', 'b', 'c', 2, 'd', 'e', 0});
             AppendImage(b);
             return b;
         }(), 13 + 12 + 10},
        {"GIF89a, application extension", [] {
             Bytes b = Header("GIF89a", 1);
             Append(b, {0x21, 0xFF, 11, 'N', 'E', 'T', 'S', 'C', 'A', 'P', 'E', '2', '.', '0', 3, 1, 0, 0, 0});
             AppendImage(b);
             return b;
         }(), 13 + 6 + 19},
    };
    for (const auto& c : cases) {
        for (int index : {0, 3, 255}) {
            Bytes file = c.file;
            ASSERT_EQ(FindGifFirstImage(file).descriptor, c.descriptor) << c.name;
            EXPECT_EQ(GifTransparentIndex(file), -1) << c.name;
            EXPECT_EQ(MarkGifTransparentIndex(file, static_cast<uint8_t>(index)), GifTransparencyOutcome::Inserted)
                << c.name;
            ASSERT_EQ(file.size(), c.file.size() + 8) << c.name;
            EXPECT_EQ(std::string(file.begin(), file.begin() + 6), "GIF89a") << c.name;
            // Everything else is where it was, the extension sits in front of the descriptor.
            EXPECT_TRUE(std::equal(c.file.begin() + 6, c.file.begin() + static_cast<long>(c.descriptor),
                                   file.begin() + 6)) << c.name;
            EXPECT_EQ(Bytes(file.begin() + static_cast<long>(c.descriptor),
                            file.begin() + static_cast<long>(c.descriptor) + 8), Control(1, index)) << c.name;
            EXPECT_TRUE(std::equal(c.file.begin() + static_cast<long>(c.descriptor), c.file.end(),
                                   file.begin() + static_cast<long>(c.descriptor) + 8)) << c.name;
            EXPECT_EQ(GifTransparentIndex(file), index) << c.name;
            // A second pass finds it and changes nothing.
            const Bytes once = file;
            EXPECT_EQ(MarkGifTransparentIndex(file, static_cast<uint8_t>(index)),
                      GifTransparencyOutcome::AlreadyMarked) << c.name;
            EXPECT_EQ(file, once) << c.name;
        }
    }
}

TEST(GifTransparency, AnExistingExtensionIsKeptOrMarkedNeverDoubled) {
    const struct {
        const char* name;
        Bytes control;
        GifTransparencyOutcome outcome;
        Bytes expected;
    } cases[] = {
        {"same entry already transparent", Control(1, 3), GifTransparencyOutcome::AlreadyMarked, Control(1, 3)},
        {"other entry transparent", Control(1, 9), GifTransparencyOutcome::Updated, Control(1, 3)},
        {"delay and disposal, no transparency", Control(0x08, 3, 50), GifTransparencyOutcome::Updated,
         Control(0x09, 3, 50)},
        {"index set but flag clear", Control(0, 3), GifTransparencyOutcome::Updated, Control(1, 3)},
    };
    for (const auto& c : cases) {
        Bytes file = Header("GIF89a", 0);
        file.insert(file.end(), c.control.begin(), c.control.end());
        AppendImage(file);
        const size_t size = file.size();
        EXPECT_EQ(MarkGifTransparentIndex(file, 3), c.outcome) << c.name;
        ASSERT_EQ(file.size(), size) << c.name;
        EXPECT_EQ(Bytes(file.begin() + 13, file.begin() + 21), c.expected) << c.name;
        EXPECT_EQ(GifTransparentIndex(file), 3) << c.name;
    }
}

TEST(GifTransparency, OnlyTheFirstImageCounts) {
    Bytes file = Header("GIF89a", 0);
    AppendImage(file, false);
    const size_t second = file.size();
    const Bytes control = Control(1, 7);
    file.insert(file.end(), control.begin(), control.end());
    AppendImage(file);
    EXPECT_EQ(GifTransparentIndex(file), -1);
    EXPECT_EQ(MarkGifTransparentIndex(file, 7), GifTransparencyOutcome::Inserted);
    EXPECT_EQ(Bytes(file.begin() + 13, file.begin() + 21), Control(1, 7));
    EXPECT_EQ(Bytes(file.begin() + static_cast<long>(second) + 8, file.begin() + static_cast<long>(second) + 16),
              control);
}

TEST(GifTransparency, FilesThatCannotBeWalkedAreLeftAlone) {
    const Bytes platform = PlatformShape();
    const struct {
        const char* name;
        Bytes file;
    } cases[] = {
        {"empty", {}},
        {"not a GIF", Bytes{'P', 'N', 'G', 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x2C}},
        {"GIF90a", [&] { Bytes b = platform; b[4] = '0'; return b; }()},
        {"header only", Bytes(platform.begin(), platform.begin() + 6)},
        {"cut in the global table", [] { Bytes b = Header("GIF89a", 8); b.resize(200); return b; }()},
        {"trailer before any image", [] { Bytes b = Header("GIF89a", 0); b.push_back(0x3B); return b; }()},
        {"unknown block", [] { Bytes b = Header("GIF89a", 0); Append(b, {0x42, 0}); AppendImage(b); return b; }()},
        {"cut in a comment", [] { Bytes b = Header("GIF89a", 0); Append(b, {0x21, 0xFE, 10, 'a'}); return b; }()},
        {"control block of wrong size", [] {
             Bytes b = Header("GIF89a", 0);
             Append(b, {0x21, 0xF9, 3, 1, 0, 0, 0});
             AppendImage(b);
             return b;
         }()},
        {"control block cut short", [] { Bytes b = Header("GIF89a", 0); Append(b, {0x21, 0xF9, 4, 1}); return b; }()},
    };
    for (const auto& c : cases) {
        Bytes file = c.file;
        EXPECT_FALSE(FindGifFirstImage(file).valid) << c.name;
        EXPECT_EQ(MarkGifTransparentIndex(file, 3), GifTransparencyOutcome::Malformed) << c.name;
        EXPECT_EQ(file, c.file) << c.name;
        EXPECT_EQ(GifTransparentIndex(file), -1) << c.name;
    }
}

}  // namespace
}  // namespace px
