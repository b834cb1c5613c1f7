#include "export/core/JpegEncoder.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>
#include <new>
#include <vector>

#include "export/core/JpegColor.h"
#include "export/core/JpegDct.h"
#include "export/core/JpegHuffman.h"
#include "export/core/JpegKernels.h"
#include "export/core/JpegTables.h"

namespace px::jpeg {
namespace {

constexpr std::array<uint8_t, 64> kZigzagToTransform = [] {
    std::array<uint8_t, 64> t{};
    for (int k = 0; k < 64; ++k) t[k] = static_cast<uint8_t>(TransformIndex(kZigzag[k]));
    return t;
}();

constexpr std::array<uint8_t, 64> kTransformToZigzag = [] {
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
// The same for a value known not to be 0 (the AC coefficients that are coded).
inline uint16_t CodedNonZero(int v) {
    const uint32_t magnitude = static_cast<uint32_t>(v < 0 ? -v : v);
    const int category = 32 - __builtin_clz(magnitude);
    return static_cast<uint16_t>((category << 12) | (static_cast<uint32_t>(v + (v >> 31)) & ((1u << category) - 1)));
}
constexpr int kCategoryShift = 12;
constexpr uint32_t kExtraMask = (1u << kCategoryShift) - 1;

// kScanMaskOf[i][b]: the scan-order mask of the coefficients whose transform
// indices are set in byte b of a transform-order mask, byte i. Eight look-ups
// turn a transform-order mask into a scan-order one.
constexpr auto kScanMaskOf = [] {
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
        const uint32_t ac = (dcTable + 1) * 256;
        int prev = 0;
        while (scan) {
            const int k = std::countr_zero(scan);
            scan &= scan - 1;
            const uint16_t v = CodedNonZero(coef[kZigzagToTransform[k]]);
            int run = k - prev - 1;
            for (; run > 15; run -= 16) *out++ = Emit(ac + 0xF0, 0);
            *out++ = Emit(ac + ((run << 4) | (v >> kCategoryShift)), v & kExtraMask);
            prev = k;
        }
        if (prev != 63) *out++ = Emit(ac, 0);
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

    explicit Output(Sink& sink) : sink_(sink), buffer_(kBufferBytes + kMargin), pos_(buffer_.data()) {}

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

class BitPacker {
public:
    explicit BitPacker(uint8_t*& pos) : pos_(pos) {}

    // Appends the low `n` bits of `bits` (n <= 32, higher bits zero). The
    // word fills from its top; a full word goes out 8 bytes at a time.
    void Put(uint64_t bits, int n) {
        if (n < free_) {
            free_ -= n;
            acc_ |= bits << free_;
            return;
        }
        const int rest = n - free_;  // bits that do not fit any more
        acc_ |= bits >> rest;
        Emit64(acc_);
        free_ = 64 - rest;
        acc_ = rest == 0 ? 0 : bits << free_;
    }
    // Pads the last byte with 1 bits and writes what is left.
    void Finish() {
        const int used = 64 - free_;
        const int pad = (8 - used % 8) % 8;
        if (pad > 0) Put((1u << pad) - 1, pad);
        for (int i = 0; i < (64 - free_) / 8; ++i) EmitByte(static_cast<uint8_t>(acc_ >> (56 - 8 * i)));
        acc_ = 0;
        free_ = 64;
    }

private:
    void EmitByte(uint8_t b) {
        *pos_++ = b;
        if (b == 0xFF) *pos_++ = 0x00;
    }
    void Emit64(uint64_t w) {
        // (~w - 0x01..) & w & 0x80.. is non-zero exactly when a byte of w is 0xFF.
        if (((~w - 0x0101010101010101ull) & w & 0x8080808080808080ull) == 0) {
            for (int i = 0; i < 8; ++i) pos_[i] = static_cast<uint8_t>(w >> (56 - 8 * i));
            pos_ += 8;
        } else {
            for (int i = 0; i < 8; ++i) EmitByte(static_cast<uint8_t>(w >> (56 - 8 * i)));
        }
    }

    uint8_t*& pos_;
    uint64_t acc_ = 0;
    int free_ = 64;
};

// The four Huffman tables as the second pass uses them: for each table and
// symbol its code in the high bits and, in the low 8, its length plus the
// number of value bits that follow it (the symbol's low 4 bits).
struct SymbolTable {
    std::array<uint32_t, 4 * 256> entry{};
    explicit SymbolTable(const HuffmanCodes* codes) {
        for (int t = 0; t < 4; ++t) {
            for (int s = 0; s < 256; ++s)
                entry[t * 256 + s] = (uint32_t{codes[t].code[s]} << 8) | (codes[t].length[s] + (s & 15));
        }
    }
    // Writes `count` stored symbols.
    const uint32_t* Write(const uint32_t* p, size_t count, BitPacker& bits) const {
        for (const uint32_t* end = p + count; p != end; ++p) {
            const uint32_t index = *p >> 16;
            const uint32_t e = entry[index];
            bits.Put((static_cast<uint64_t>(e >> 8) << (index & 15)) | (*p & 0xFFFF), static_cast<int>(e & 0xFF));
        }
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
size_t StoreBudget(const Picture& p, const Settings& s) {
    if (s.memoryLimit > 0) return s.memoryLimit;
    return 3 * static_cast<size_t>(p.width) * static_cast<size_t>(p.height);
}

// ---------------------------------------------------------------------------
class Encoder {
public:
    Encoder(const Picture& picture, const Settings& settings, Sink& sink)
        : picture_(picture), settings_(settings), out_(sink), store_(StoreBudget(picture, settings)) {
        subsampled_ = settings.subsampling == Subsampling::Chroma420;
        mcuSize_ = subsampled_ ? 16 : 8;
        mcusX_ = (static_cast<size_t>(picture.width) + mcuSize_ - 1) / mcuSize_;
        mcusY_ = (static_cast<size_t>(picture.height) + mcuSize_ - 1) / mcuSize_;
        chunks_ = (static_cast<size_t>(picture.width) + 15) / 16;
        stripWidth_ = chunks_ * 16;
        lumaQuant_ = ScaledQuantTable(kLuminanceQuant, settings.quality);
        chromaQuant_ = ScaledQuantTable(kChrominanceQuant, settings.quality);
        lumaQuantizer_ = MakeQuantizer(lumaQuant_, KeepThresholds(lumaQuant_));
        chromaQuantizer_ = MakeQuantizer(chromaQuant_, KeepThresholds(chromaQuant_));
    }

    EncodeResult Run() {
        FirstPass();
        WriteHeaders();
        SecondPass();
        return out_.ok() ? EncodeResult::Ok : EncodeResult::WriteFailed;
    }

private:
    size_t chromaWidth() const { return subsampled_ ? stripWidth_ / 2 : stripWidth_; }

    // The three components' first-pass state; `freq` receives the counts.
    struct McuCoder {
        ComponentPass1 luma, blue, red;
        McuCoder(const Kernels& k, const Quantizer& lq, const Quantizer& cq, Frequencies* freq)
            : luma{&lq, k.forwardDctQuantize, 0, freq[0].data()},
              blue{&cq, k.forwardDctQuantize, 2, freq[0].data()},
              red{&cq, k.forwardDctQuantize, 2, freq[0].data()} {}
    };

    // Transforms the blocks of MCU `mx` of the current strip into `p`.
    uint8_t* TransformMcu(McuCoder& c, size_t mx, uint8_t* p) {
        const size_t x = mx * mcuSize_;
        p = c.luma.Block(&y_[x], stripWidth_, p);
        if (subsampled_) {
            p = c.luma.Block(&y_[x + 8], stripWidth_, p);
            p = c.luma.Block(&y_[8 * stripWidth_ + x], stripWidth_, p);
            p = c.luma.Block(&y_[8 * stripWidth_ + x + 8], stripWidth_, p);
            p = c.blue.Block(&cb_[x / 2], chromaWidth(), p);
            return c.red.Block(&cr_[x / 2], chromaWidth(), p);
        }
        p = c.blue.Block(&cb_[x], chromaWidth(), p);
        return c.red.Block(&cr_[x], chromaWidth(), p);
    }

    void AllocateStrips() {
        const size_t chromaRows = 8;
        y_.assign(stripWidth_ * (subsampled_ ? 18 : 8), 0);
        cb_.assign(chromaWidth() * chromaRows, 0);
        cr_.assign(chromaWidth() * chromaRows, 0);
        if (subsampled_) {
            cbRows_.assign(chromaWidth() * 20, 0);
            crRows_.assign(chromaWidth() * 20, 0);
        }
    }

    // Counts the symbols and keeps the blocks, unless they outgrow the
    // store's budget: then the store is dropped and the second pass makes
    // the blocks again.
    void FirstPass() {
        AllocateStrips();
        McuCoder coder(kernels_, lumaQuantizer_, chromaQuantizer_, freq_);
        for (size_t my = 0; my < mcusY_; ++my) {
            ConvertStrip(static_cast<int>(my * mcuSize_));
            for (size_t mx = 0; mx < mcusX_; ++mx) {
                uint8_t* p = stored_ ? store_.Reserve() : nullptr;
                if (stored_ && !p) {
                    stored_ = false;
                    store_.Release();
                    scratch_.resize(BlockStore::kMaxMcuBytes);
                }
                if (stored_) store_.Commit(TransformMcu(coder, mx, p));
                else TransformMcu(coder, mx, scratch_.data());
            }
        }
        store_.Finish();
    }

    // Colour-converts the picture rows of one MCU row into the strips.
    void ConvertStrip(int top) {
        RowSource rows(picture_, chunks_);
        const size_t full = rows.fullChunks();
        uint8_t tail0[48];
        if (subsampled_) {
            // Chroma row j takes picture rows 2j - 2 to 2j + 3: the strip's
            // 16 rows and 2 more on either side, each filtered across first
            // (row k of the filtered rows is picture row top - 2 + k). The
            // last 4 are the next strip's first 4, Y of its first 2 included:
            // they move over instead of being made again.
            const size_t cw = chromaWidth();
            int first = 0;
            if (top > 0 && top == lastStripTop_ + 16) {
                std::copy(cbRows_.begin() + 16 * cw, cbRows_.end(), cbRows_.begin());
                std::copy(crRows_.begin() + 16 * cw, crRows_.end(), crRows_.begin());
                std::copy(y_.begin() + 16 * stripWidth_, y_.end(), y_.begin());
                first = 4;
            }
            lastStripTop_ = top;
            for (int k = first; k < 20; ++k) {
                const int row = top - 2 + k;
                int16_t* y = k >= 2 ? &y_[(k - 2) * stripWidth_] : nullptr;  // y_ has 2 rows to spare
                kernels_.convertRow420(rows.Row(row), full, rows.hasTail() ? rows.Tail(row, tail0) : nullptr, y,
                              &cbRows_[k * cw], &crRows_[k * cw]);
            }
            for (int j = 0; j < 8; ++j) {
                kernels_.combineChromaRows(&cbRows_[2 * j * cw], &cbRows_[(2 * j + 2) * cw], &cbRows_[(2 * j + 3) * cw],
                                  &cbRows_[(2 * j + 5) * cw], cw, &cb_[j * cw]);
                kernels_.combineChromaRows(&crRows_[2 * j * cw], &crRows_[(2 * j + 2) * cw], &crRows_[(2 * j + 3) * cw],
                                  &crRows_[(2 * j + 5) * cw], cw, &cr_[j * cw]);
            }
        } else {
            for (int r = 0; r < 8; ++r) {
                const size_t o = r * stripWidth_;
                kernels_.convertRow444(rows.Row(top + r), full, &y_[o], &cb_[o], &cr_[o]);
                if (rows.hasTail()) {
                    const size_t t = o + full * 16;
                    kernels_.convertRow444(rows.Tail(top + r, tail0), 1, &y_[t], &cb_[t], &cr_[t]);
                }
            }
        }
    }

    void WriteHeaders() {
        out_.Word(0xFFD8);  // SOI
        // JFIF marker.
        out_.Word(0xFFE0);
        out_.Word(16);
        for (char c : {'J', 'F', 'I', 'F', '\0'}) out_.Byte(c);
        out_.Byte(1);  // version 1.01
        out_.Byte(1);
        out_.Byte(settings_.densityUnit);
        out_.Word(settings_.xDensity);
        out_.Word(settings_.yDensity);
        out_.Byte(0);  // no thumbnail
        out_.Byte(0);
        // Quantisation tables, in scan order.
        out_.Word(0xFFDB);
        out_.Word(2 + 2 * 65);
        for (int t = 0; t < 2; ++t) {
            const auto& table = t == 0 ? lumaQuant_ : chromaQuant_;
            out_.Byte(t);
            for (int k = 0; k < 64; ++k) out_.Byte(table[kZigzag[k]]);
        }
        // Frame: 8-bit samples, three components.
        out_.Word(0xFFC0);
        out_.Word(8 + 3 * 3);
        out_.Byte(8);
        out_.Word(picture_.height);
        out_.Word(picture_.width);
        out_.Byte(3);
        const int lumaSampling = subsampled_ ? 0x22 : 0x11;
        for (int c = 1; c <= 3; ++c) {
            out_.Byte(c);
            out_.Byte(c == 1 ? lumaSampling : 0x11);
            out_.Byte(c == 1 ? 0 : 1);
        }
        // Huffman tables made for this picture.
        out_.Word(0xFFC4);
        HuffmanSpec specs[4];
        int length = 2;
        for (int i = 0; i < 4; ++i) {
            specs[i] = BuildHuffmanSpec(freq_[i]);
            codes_[i] = MakeHuffmanCodes(specs[i]);
            length += 17 + specs[i].symbolCount;
        }
        out_.Word(length);
        for (int i = 0; i < 4; ++i) {
            const int tableClass = i % 2;  // 0: DC, 1: AC
            const int tableId = i / 2;     // 0: luminance, 1: chrominance
            out_.Byte((tableClass << 4) | tableId);
            for (int n = 1; n <= 16; ++n) out_.Byte(specs[i].counts[n]);
            for (int k = 0; k < specs[i].symbolCount; ++k) out_.Byte(specs[i].symbols[k]);
        }
        // Scan of all three components.
        out_.Word(0xFFDA);
        out_.Word(6 + 2 * 3);
        out_.Byte(3);
        for (int c = 1; c <= 3; ++c) {
            out_.Byte(c);
            out_.Byte(c == 1 ? 0x00 : 0x11);
        }
        out_.Byte(0);
        out_.Byte(63);
        out_.Byte(0);
        out_.Flush();
    }

    void SecondPass() {
        const SymbolTable table(codes_);
        BitPacker bits(out_.pos());
        // A symbol and its value bits are at most 27 bits, under 8 bytes even
        // if every byte were 0xFF and took a stuffed 0x00.
        constexpr size_t kSlice = Output::kMargin / 8;
        auto write = [&](const uint32_t* p, size_t count) {
            for (size_t done = 0; done < count && out_.ok(); done += kSlice) {
                out_.Ensure();
                p = table.Write(p, std::min(kSlice, count - done), bits);
            }
        };
        if (stored_) {
            store_.ForEachChunk(write);
        } else {
            Frequencies unused[4]{};
            McuCoder coder(kernels_, lumaQuantizer_, chromaQuantizer_, unused);
            for (size_t my = 0; my < mcusY_ && out_.ok(); ++my) {
                ConvertStrip(static_cast<int>(my * mcuSize_));
                for (size_t mx = 0; mx < mcusX_; ++mx) {
                    const uint8_t* end = TransformMcu(coder, mx, scratch_.data());
                    write(reinterpret_cast<const uint32_t*>(scratch_.data()), static_cast<size_t>(end - scratch_.data()) / 4);
                }
            }
        }
        bits.Finish();
        out_.Word(0xFFD9);  // EOI
        out_.Flush();
    }

    const Picture& picture_;
    const Settings& settings_;
    const Kernels& kernels_ = KernelsFor(ActiveSimdLevel());
    Output out_;
    bool subsampled_ = true;
    size_t mcuSize_ = 16, mcusX_ = 0, mcusY_ = 0, chunks_ = 0, stripWidth_ = 0;
    std::array<uint8_t, 64> lumaQuant_{}, chromaQuant_{};
    Quantizer lumaQuantizer_, chromaQuantizer_;
    std::vector<int16_t> y_, cb_, cr_;
    std::vector<int16_t> cbRows_, crRows_;  // chroma rows filtered across, before filtering down
    int lastStripTop_ = -1;
    BlockStore store_;
    bool stored_ = true;            // the blocks are in store_ (else made again)
    std::vector<uint8_t> scratch_;  // one MCU's blocks when they are not stored
    Frequencies freq_[4]{};  // luminance DC, AC; chrominance DC, AC
    HuffmanCodes codes_[4];
};

}  // namespace

bool IsValid(const Picture& p, const Settings& s) {
    return p.bits != nullptr && p.width >= 1 && p.width <= 65535 && p.height >= 1 && p.height <= 65535 &&
           p.stride >= 3 * static_cast<ptrdiff_t>(p.width) && s.quality >= 1 && s.quality <= 100 &&
           (s.subsampling == Subsampling::Chroma420 || s.subsampling == Subsampling::Chroma444) &&
           s.densityUnit >= 0 && s.densityUnit <= 2 && s.xDensity >= 1 && s.xDensity <= 65535 && s.yDensity >= 1 &&
           s.yDensity <= 65535;
}

EncodeResult Encode(const Picture& picture, const Settings& settings, Sink& sink) {
    if (!IsValid(picture, settings)) return EncodeResult::BadArgument;
    try {
        auto encoder = std::make_unique<Encoder>(picture, settings, sink);
        return encoder->Run();
    } catch (const std::bad_alloc&) {
        return EncodeResult::OutOfMemory;
    }
}

}  // namespace px::jpeg
