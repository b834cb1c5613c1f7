// The first pass's symbols for one block, as stored for the second: checked
// against a plain walk of the block in scan order (zero runs counted one by
// one, sizes found by shifting), with the symbol counts that make the tables.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <utility>
#include <vector>

#include "export/core/JpegBlocks.h"
#include "tests/core/JpegTestPicture.h"
#include "tests/core/JpegTestSink.h"

namespace px::jpeg::detail {
namespace {

using Block = std::array<int16_t, 64>;  // quantised coefficients, transform order

// Stands in for the transform: the "samples" are the coefficients themselves.
uint64_t CopyCoefficients(const int16_t* src, size_t, const Quantizer&, int16_t* out) {
    uint64_t mask = 0;
    for (int t = 0; t < 64; ++t) {
        out[t] = src[t];
        if (src[t] != 0) mask |= uint64_t{1} << t;
    }
    return mask;
}

uint32_t Stored(uint32_t table, uint32_t symbol, int value) {
    int size = 0;
    const int magnitude = value < 0 ? -value : value;
    while ((magnitude >> size) != 0) ++size;
    const uint32_t bits = size == 0 ? 0 : static_cast<uint32_t>(value < 0 ? value - 1 : value) & ((1u << size) - 1);
    return ((table * 256 + (symbol | static_cast<uint32_t>(size))) << 16) | bits;
}

std::vector<uint32_t> Reference(const Block& b, int dcPred, uint32_t dcTable) {
    std::vector<uint32_t> words{Stored(dcTable, 0, b[0] - dcPred)};
    int run = 0;
    for (int k = 1; k < 64; ++k) {
        const int v = b[TransformIndex(kZigzag[k])];
        if (v == 0) {
            ++run;
            continue;
        }
        for (; run >= 16; run -= 16) words.push_back(((dcTable + 1) * 256 + 0xF0) << 16);
        words.push_back(Stored(dcTable + 1, static_cast<uint32_t>(run) << 4, v));
        run = 0;
    }
    if (run > 0) words.push_back((dcTable + 1) * 256 << 16);
    return words;
}

// Codes the blocks one after the other (DC predicted from the one before) and
// checks every stored word, the guard past each block's room and the counts.
void ExpectSymbols(const std::vector<Block>& blocks, uint32_t dcTable) {
    const Quantizer unused{};
    std::vector<uint64_t> freq(4 * 256, 0);
    ComponentPass1 pass{&unused, CopyCoefficients, dcTable, freq.data()};
    std::array<uint64_t, 4 * 256> expectedCounts{};
    int dcPred = 0;
    for (size_t i = 0; i < blocks.size(); ++i) {
        constexpr uint8_t kGuardByte = 0xA5;
        std::vector<uint8_t> room(BlockStore::kMaxBlockBytes + 16, kGuardByte);
        const uint8_t* end = pass.Block(blocks[i].data(), 8, room.data());
        const std::vector<uint32_t> expected = Reference(blocks[i], dcPred, dcTable);
        dcPred = blocks[i][0];
        ASSERT_EQ(static_cast<size_t>(end - room.data()), 4 * expected.size()) << "block " << i;
        std::vector<uint32_t> words(expected.size());
        std::memcpy(words.data(), room.data(), 4 * words.size());
        EXPECT_EQ(words, expected) << "block " << i;
        for (size_t g = BlockStore::kMaxBlockBytes; g < room.size(); ++g) ASSERT_EQ(room[g], kGuardByte) << "block " << i;
        for (uint32_t w : expected) ++expectedCounts[w >> 16];
    }
    for (size_t s = 0; s < expectedCounts.size(); ++s)
        EXPECT_EQ(freq[s], expectedCounts[s]) << "symbol index " << s;
}

Block AtScanPositions(std::initializer_list<std::pair<int, int>> positionsAndValues, int dc = 0) {
    Block b{};
    b[0] = static_cast<int16_t>(dc);
    for (auto [k, v] : positionsAndValues) b[TransformIndex(kZigzag[k])] = static_cast<int16_t>(v);
    return b;
}

TEST(JpegBlockSymbolsTest, EdgeBlocksGiveThePlainWalksSymbols) {
    Block allMax{}, allMin{};
    for (int t = 0; t < 64; ++t) {
        allMax[t] = kMaxCoefficient;
        allMin[t] = -kMaxCoefficient;
    }
    allMin[0] = kMinDc;
    Block alternating{};
    for (int k = 1; k < 64; ++k) alternating[TransformIndex(kZigzag[k])] = static_cast<int16_t>(k % 2 ? k : -k);
    const std::vector<Block> blocks{
        Block{},                                         // all zero: DC of size 0 and the end of block
        allMax,                                          // every coefficient coded, no end of block
        allMin,                                          // DC difference -2047, the largest there is
        allMax,                                          // and +2047 back
        AtScanPositions({{63, 1}}),                      // three runs of 16, then run 14
        AtScanPositions({{17, -1}, {34, 2}, {51, -3}}),  // runs of exactly 16 each
        AtScanPositions({{16, 5}, {32, -5}, {48, 1}}),   // runs of 15
        AtScanPositions({{1, -1}, {2, 1}, {3, -1}, {4, 1}}, kMinDc),
        AtScanPositions({{62, kMaxCoefficient}}, 1023),  // end of block after the last-but-one
        alternating,
    };
    ExpectSymbols(blocks, 0);
    ExpectSymbols(blocks, 2);
}

TEST(JpegBlockSymbolsTest, RandomSparseAndDenseBlocksGiveThePlainWalksSymbols) {
    test::TestRandom rnd(23);
    std::vector<Block> blocks(400);
    for (size_t i = 0; i < blocks.size(); ++i) {
        // From nearly empty to full, small values mostly, now and then the extremes.
        const int density = static_cast<int>(i % 9);
        Block& b = blocks[i];
        b[0] = static_cast<int16_t>(rnd.Range(kMinDc, kMaxCoefficient));
        for (int t = 1; t < 64; ++t) {
            if (rnd.Range(0, 8) >= density) continue;
            const int kind = rnd.Range(0, 9);
            b[t] = static_cast<int16_t>(kind == 0 ? (rnd.Next() % 2 ? kMaxCoefficient : -kMaxCoefficient)
                                                  : kind < 3 ? rnd.Range(-kMaxCoefficient, kMaxCoefficient) : rnd.Range(-3, 3));
        }
    }
    ExpectSymbols(blocks, 0);
    ExpectSymbols(blocks, 2);
}

using test::BytesSink;

// Second pass: each stored symbol becomes its code, then its value bits; the
// last byte is padded with 1 bits and every 0xFF byte takes a 0x00 after it.
// Codes of up to 16 bits with 11 value bits (the longest there are) included.
TEST(JpegBlockSymbolsTest, StoredSymbolsAreWrittenAsCodeThenValueBitsWithStuffing) {
    test::TestRandom rnd(31);
    HuffmanCodes codes[4];
    for (auto& table : codes) {
        for (int s = 0; s < 256; ++s) {
            const int length = s % 7 == 0 ? 16 : rnd.Range(1, 16);
            table.length[s] = static_cast<uint8_t>(length);
            // Many all-ones codes, so that 0xFF bytes come often.
            table.code[s] = static_cast<uint16_t>(rnd.Next() % 3 == 0 ? (1u << length) - 1 : rnd.Next() & ((1u << length) - 1));
        }
    }
    std::vector<uint32_t> words;
    std::vector<bool> expectedBits;
    for (int i = 0; i < 5000; ++i) {
        const uint32_t table = static_cast<uint32_t>(rnd.Range(0, 3));
        const uint32_t symbol = static_cast<uint32_t>(rnd.Range(0, 15) << 4 | rnd.Range(0, 11));
        const int valueBits = static_cast<int>(symbol & 15);
        const uint32_t value = rnd.Next() % 4 == 0 ? (1u << valueBits) - 1 : rnd.Next() & ((1u << valueBits) - 1);
        words.push_back(((table * 256 + symbol) << 16) | value);
        const HuffmanCodes& c = codes[table];
        for (int b = c.length[symbol] - 1; b >= 0; --b) expectedBits.push_back(((c.code[symbol] >> b) & 1) != 0);
        for (int b = valueBits - 1; b >= 0; --b) expectedBits.push_back(((value >> b) & 1) != 0);
    }
    while (expectedBits.size() % 8 != 0) expectedBits.push_back(true);
    std::vector<uint8_t> expected;
    for (size_t i = 0; i < expectedBits.size(); i += 8) {
        uint8_t byte = 0;
        for (size_t b = 0; b < 8; ++b) byte = static_cast<uint8_t>(byte << 1 | (expectedBits[i + b] ? 1 : 0));
        expected.push_back(byte);
        if (byte == 0xFF) expected.push_back(0x00);
    }

    BytesSink sink;
    Output out(sink);
    BitPacker bits(out.pos());
    const SymbolTable table(codes);
    for (size_t done = 0; done < words.size(); done += 100) {
        out.Ensure();
        table.Write(words.data() + done, std::min<size_t>(100, words.size() - done), bits);
    }
    out.Ensure();
    bits.Finish();
    out.Flush();
    ASSERT_TRUE(out.ok());
    EXPECT_EQ(sink.bytes, expected);
}

}  // namespace
}  // namespace px::jpeg::detail
