#pragma once
// The JPEG encoder's parts below the picture level: the symbol store kept
// between the passes, the first pass of one block, the output buffer and bit
// packer of the second, and the reading of picture rows.
#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "export/core/JpegDct.h"
#include "export/core/JpegHuffman.h"
#include "export/core/JpegKernels.h"
#include "export/core/JpegSettings.h"
#include "export/core/JpegTables.h"

namespace px::jpeg::detail {

inline constexpr std::array<uint8_t, 64> kZigzagToTransform = [] {
    std::array<uint8_t, 64> t{};
    for (int k = 0; k < 64; ++k) t[k] = static_cast<uint8_t>(TransformIndex(kZigzag[k]));
    return t;
}();

inline constexpr std::array<uint8_t, 64> kTransformToZigzag = [] {
    std::array<uint8_t, 64> t{};
    for (int k = 0; k < 64; ++k) t[kZigzagToTransform[k]] = static_cast<uint8_t>(k);
    return t;
}();

// Bits needed for the magnitude of v (the JPEG size category).
inline int Category(int v) { return std::bit_width(static_cast<uint32_t>(v < 0 ? -v : v)); }

// A value as the entropy coder writes it: its category in the top 4 bits and
// its low `category` bits below (negative values as v - 1).
inline uint16_t CodedValue(int v) {
    const int category = Category(v);
    return static_cast<uint16_t>((category << 12) | (static_cast<uint32_t>(v + (v >> 31)) & ((1u << category) - 1)));
}
inline constexpr int kCategoryShift = 12;
inline constexpr uint32_t kExtraMask = (1u << kCategoryShift) - 1;

// Every AC value the quantiser can give, already as a stored symbol (see
// BlockStore) of run 0 in table 0: its category at bit 16 and its value bits
// below. A look-up instead of a sign, a bit scan and three masks for each
// coded coefficient. Indexed by value + kMaxCoefficient.
inline constexpr auto kStoredAc = [] {
    std::array<uint32_t, 2 * kMaxCoefficient + 1> t{};
    for (int v = -kMaxCoefficient; v <= kMaxCoefficient; ++v) {
        const uint32_t magnitude = static_cast<uint32_t>(v < 0 ? -v : v);
        const int category = std::bit_width(magnitude);
        const uint32_t extra = static_cast<uint32_t>(v + (v < 0 ? -1 : 0)) & ((1u << category) - 1);
        t[static_cast<size_t>(v + kMaxCoefficient)] = (static_cast<uint32_t>(category) << 16) | extra;
    }
    return t;
}();

// kScanMaskOf[i][b]: the scan-order mask of the coefficients whose transform
// indices are set in byte b of a transform-order mask, byte i. Eight look-ups
// turn a transform-order mask into a scan-order one.
inline constexpr auto kScanMaskOf = [] {
    std::array<std::array<uint64_t, 256>, 8> lut{};
    for (int i = 0; i < 8; ++i) {
        for (int b = 0; b < 256; ++b) {
            uint64_t m = 0;
            for (int bit = 0; bit < 8; ++bit) {
                if (b & (1 << bit)) m |= uint64_t{1} << kTransformToZigzag[i * 8 + bit];
            }
            lut[i][b] = m;
        }
    }
    return lut;
}();

inline uint64_t ScanMask(uint64_t transformMask) {
    uint64_t m = 0;
    for (int i = 0; i < 8; ++i) m |= kScanMaskOf[i][(transformMask >> (8 * i)) & 0xFF];
    return m;
}

using Frequencies = std::array<uint64_t, 256>;

// ---------------------------------------------------------------------------
// Store of the symbols between the passes, each as the second pass writes
// it: 32 bits holding the table (0 luminance DC, 1 luminance AC, 2 chrominance
// DC, 3 chrominance AC) and the symbol as one 10-bit index from bit 16, and
// the value bits that follow the symbol's code in the low 16. Kept in chunks
// so it grows with the content and never copies itself.
class BlockStore {
public:
    // A DC symbol, at most 63 AC symbols, 3 zero runs of 16 and the end of block.
    static constexpr size_t kMaxBlockBytes = 4 * (1 + 63 + 3 + 1);
    static constexpr size_t kMaxMcuBytes = 6 * kMaxBlockBytes;

    // The store never holds more than `budget` bytes.
    explicit BlockStore(size_t budget) : budget_(budget), chunkBytes_(std::clamp(budget / 8, kMaxMcuBytes, kChunkBytes)) {}

    // Room for one more MCU at the returned position, or nullptr when that
    // would take the store over its budget.
    uint8_t* Reserve() {
        if (static_cast<size_t>(end_ - pos_) < kMaxMcuBytes) {
            if (allocated_ + chunkBytes_ > budget_) return nullptr;
            if (!chunks_.empty()) chunks_.back().used = static_cast<size_t>(pos_ - chunks_.back().data.get());
            chunks_.push_back({std::make_unique_for_overwrite<uint8_t[]>(chunkBytes_), 0});
            allocated_ += chunkBytes_;
            pos_ = chunks_.back().data.get();
            end_ = pos_ + chunkBytes_;
        }
        return pos_;
    }
    void Commit(uint8_t* newPos) { pos_ = newPos; }
    void Finish() {
        if (!chunks_.empty()) chunks_.back().used = static_cast<size_t>(pos_ - chunks_.back().data.get());
    }
    void Release() {
        std::vector<Chunk>().swap(chunks_);
        pos_ = end_ = nullptr;
        allocated_ = 0;
    }

    // Calls f(symbols, count) for each chunk, in the order they were stored.
    template <typename F>
    void ForEachChunk(F f) const {
        for (const Chunk& c : chunks_) f(reinterpret_cast<const uint32_t*>(c.data.get()), c.used / 4);
    }

private:
    static constexpr size_t kChunkBytes = 512 * 1024;
    struct Chunk {
        std::unique_ptr<uint8_t[]> data;
        size_t used;
    };
    size_t budget_;
    size_t chunkBytes_;
    size_t allocated_ = 0;
    std::vector<Chunk> chunks_;
    uint8_t* pos_ = nullptr;
    uint8_t* end_ = nullptr;
};

// First pass for one block: transform, quantise, count the symbols and
// store them as the second pass writes them.
struct ComponentPass1 {
    const Quantizer* quantizer;
    decltype(Kernels::forwardDctQuantize) transform;
    uint32_t dcTable;  // 0 (luminance) or 2 (chrominance); the AC table follows it
    uint64_t* freq;    // the four tables' counts, 256 each
    int dcPred = 0;

    uint8_t* Block(const int16_t* src, size_t stride, uint8_t* dst) {
        alignas(16) int16_t coef[64];
        uint64_t scan = ScanMask(transform(src, stride, *quantizer, coef)) & ~uint64_t{1};
        uint32_t* out = reinterpret_cast<uint32_t*>(dst);
        const uint16_t dc = CodedValue(coef[0] - dcPred);
        dcPred = coef[0];
        *out++ = Emit(dcTable * 256 + (dc >> kCategoryShift), dc & kExtraMask);
        // Symbol (run << 4) | category of table dcTable + 1, as stored.
        const uint32_t ac = (dcTable + 1) << 24;
        const uint32_t* stored = kStoredAc.data() + kMaxCoefficient;
        int prev = 0;
        while (scan) {
            const int k = std::countr_zero(scan);
            scan &= scan - 1;
            uint32_t run = static_cast<uint32_t>(k - prev - 1);
            if (run > 15) [[unlikely]] {
                for (; run > 15; run -= 16) *out++ = Emit((ac >> 16) + 0xF0, 0);
            }
            const uint32_t word = stored[coef[kZigzagToTransform[k]]] + ac + (run << 20);
            ++freq[word >> 16];
            *out++ = word;
            prev = k;
        }
        if (prev != 63) *out++ = Emit(ac >> 16, 0);
        return reinterpret_cast<uint8_t*>(out);
    }
    uint32_t Emit(uint32_t symbol, uint32_t extra) {
        ++freq[symbol];
        return (symbol << 16) | extra;
    }
};

// ---------------------------------------------------------------------------
// Output: a buffer flushed to the sink, and the entropy coder's bit packer
// writing into it with a 0x00 after every 0xFF byte.
class Output {
public:
    static constexpr size_t kBufferBytes = 64 * 1024;
    static constexpr size_t kMargin = 4096;  // what the coder may write between two Ensure calls

    // 8 bytes more than the margin for the bit packer's whole-word stores.
    explicit Output(Sink& sink) : sink_(sink), buffer_(kBufferBytes + kMargin + 8), pos_(buffer_.data()) {}

    bool ok() const { return ok_; }
    uint8_t*& pos() { return pos_; }
    // Makes sure kMargin bytes can be written at pos().
    void Ensure() {
        if (static_cast<size_t>(pos_ - buffer_.data()) >= kBufferBytes) Flush();
    }
    void Flush() {
        const size_t n = static_cast<size_t>(pos_ - buffer_.data());
        if (n > 0 && ok_) ok_ = sink_.Write(buffer_.data(), n);
        pos_ = buffer_.data();
    }
    void Byte(int b) { *pos_++ = static_cast<uint8_t>(b); }
    // Bytes passed straight on (after a Flush), in pieces of at most kBufferBytes like the rest.
    void Raw(const uint8_t* data, size_t size) {
        for (size_t done = 0; done < size && ok_; done += kBufferBytes)
            ok_ = sink_.Write(data + done, std::min(kBufferBytes, size - done));
    }
    void Word(int w) {
        Byte(w >> 8);
        Byte(w & 0xFF);
    }

private:
    Sink& sink_;
    std::vector<uint8_t> buffer_;
    uint8_t* pos_;
    bool ok_ = true;
};

// The word with its most significant byte first, as the file stores it.
inline uint64_t BigEndian64(uint64_t w) {
#if defined(_MSC_VER) && !defined(__clang__)
    return _byteswap_uint64(w);
#else
    return __builtin_bswap64(w);
#endif
}

class BitPacker {
public:
    explicit BitPacker(uint8_t*& pos) : home_(&pos) {}

    // A working copy for a run of Put calls, writing at the output's
    // position: a local the compiler keeps in registers, where the packer's
    // own fields could be touched by its byte stores. End takes it back.
    BitPacker Begin() const {
        BitPacker w(*this);
        w.pos_ = *home_;
        return w;
    }
    void End(const BitPacker& w) {
        *home_ = w.pos_;
        acc_ = w.acc_;
        count_ = w.count_;
    }

    // On a working copy: appends the low `n` bits of `bits` (1 <= n <= 56,
    // higher bits zero) and writes out every whole byte at once. 8 bytes are
    // stored whatever their count, so there is no branch on how full the word
    // is (the one on 0xFF bytes is rarely taken); up to 8 bytes past what it
    // keeps are written.
    void Put(uint64_t bits, int n) {
        acc_ = (acc_ << n) | bits;
        count_ += n;
        const uint64_t w = acc_ << (64 - count_);  // the pending bits at the top, zeros below
        const int bytes = count_ >> 3;
        // (~w - 0x01..) & w & 0x80.. is non-zero when a byte of w may be 0xFF.
        if (((~w - 0x0101010101010101ull) & w & 0x8080808080808080ull) == 0) [[likely]] {
            const uint64_t bigEndian = BigEndian64(w);
            std::memcpy(pos_, &bigEndian, 8);
            pos_ += bytes;
        } else {
            for (int i = 0; i < bytes; ++i) EmitByte(static_cast<uint8_t>(w >> (56 - 8 * i)));
        }
        count_ &= 7;
    }
    // Pads the last byte with 1 bits and writes it.
    void Finish() {
        BitPacker w = Begin();
        const int pad = (8 - count_ % 8) % 8;
        if (pad > 0) w.Put((1u << pad) - 1, pad);
        End(w);
        acc_ = 0;
        count_ = 0;
    }

private:
    void EmitByte(uint8_t b) {
        *pos_++ = b;
        if (b == 0xFF) *pos_++ = 0x00;
    }

    uint8_t** home_;
    uint8_t* pos_ = nullptr;  // in a working copy only
    uint64_t acc_ = 0;  // the low count_ bits are pending
    int count_ = 0;     // below 8 between calls
};

// The four Huffman tables as the second pass uses them: for each table and
// symbol its code, already shifted past the value bits that follow it (the
// symbol's low 4 bits), above 5 bits holding the code's length plus theirs.
// At most 16 + 11 bits of code and value: the entry fits 32 bits.
struct SymbolTable {
    static constexpr int kLengthBits = 5;
    static constexpr uint32_t kLengthMask = (1u << kLengthBits) - 1;
    std::array<uint32_t, 4 * 256> entry{};
    explicit SymbolTable(const HuffmanCodes* codes) {
        for (int t = 0; t < 4; ++t) {
            for (int s = 0; s < 256; ++s) {
                const int valueBits = s & 15;
                entry[t * 256 + s] = (uint32_t{codes[t].code[s]} << (valueBits + kLengthBits)) |
                                     static_cast<uint32_t>(codes[t].length[s] + valueBits);
            }
        }
    }
    // Writes `count` stored symbols, two at a time: both codes with their
    // value bits are at most 54 bits, one Put instead of two.
    const uint32_t* Write(const uint32_t* p, size_t count, BitPacker& packer) const {
        BitPacker bits = packer.Begin();
        const uint32_t* end = p + count;
        for (; end - p >= 2; p += 2) {
            const uint32_t e0 = entry[p[0] >> 16], e1 = entry[p[1] >> 16];
            const int n1 = static_cast<int>(e1 & kLengthMask);
            const uint64_t code0 = (e0 >> kLengthBits) | (p[0] & 0xFFFF), code1 = (e1 >> kLengthBits) | (p[1] & 0xFFFF);
            bits.Put((code0 << n1) | code1, static_cast<int>(e0 & kLengthMask) + n1);
        }
        if (p != end) {
            const uint32_t e = entry[*p >> 16];
            bits.Put((e >> kLengthBits) | (*p & 0xFFFF), static_cast<int>(e & kLengthMask));
            ++p;
        }
        packer.End(bits);
        return p;
    }
};

// ---------------------------------------------------------------------------
// Reading the picture: rows of whole 16-pixel chunks, the right edge filled
// with copies of the last pixel and the rows past the bottom with copies of
// the last row, so partial blocks carry no false edge.
class RowSource {
public:
    RowSource(const Picture& p, size_t chunks) : p_(p), chunks_(chunks), full_(static_cast<size_t>(p.width) / 16) {}

    const uint8_t* Row(int y) const {
        y = std::clamp(y, 0, p_.height - 1);
        const int memoryRow = p_.bottomUp ? p_.height - 1 - y : y;
        return p_.bits + static_cast<ptrdiff_t>(memoryRow) * p_.stride;
    }
    size_t fullChunks() const { return full_; }
    bool hasTail() const { return full_ < chunks_; }
    // The last, partial chunk of row y padded out to 16 pixels (only when hasTail()).
    const uint8_t* Tail(int y, uint8_t* scratch) const {
        const uint8_t* row = Row(y) + full_ * 48;
        const size_t have = static_cast<size_t>(p_.width) - full_ * 16;
        std::memcpy(scratch, row, have * 3);
        for (size_t i = have; i < 16; ++i) std::memcpy(scratch + 3 * i, row + 3 * (have - 1), 3);
        return scratch;
    }

private:
    const Picture& p_;
    size_t chunks_;
    size_t full_;
};

// The coefficient store may take as much memory as the picture's pixels.
inline size_t StoreBudget(const Picture& p, const Settings& s) {
    if (s.memoryLimit > 0) return s.memoryLimit;
    return 3 * static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
}

}  // namespace px::jpeg::detail
