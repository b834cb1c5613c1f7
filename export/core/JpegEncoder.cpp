#include "export/core/JpegEncoder.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <exception>
#include <memory>
#include <mutex>
#include <new>
#include <system_error>
#include <thread>
#include <vector>

#include "export/core/JpegBlocks.h"
#include "export/core/JpegColor.h"
#include "export/core/JpegDct.h"
#include "export/core/JpegHuffman.h"
#include "export/core/JpegKernels.h"
#include "export/core/JpegTables.h"

namespace px::jpeg {
namespace {

using namespace detail;

// What every band shares: the picture's geometry, the tables and the kernels.
struct Frame {
    const Picture& picture;
    const Kernels& kernels;
    bool subsampled = true;
    size_t mcuSize = 16, mcusX = 0, mcusY = 0, chunks = 0, stripWidth = 0;
    std::array<uint8_t, 64> lumaQuant{}, chromaQuant{};
    Quantizer lumaQuantizer, chromaQuantizer;

    Frame(const Picture& p, const Settings& s) : picture(p), kernels(KernelsFor(ActiveSimdLevel())) {
        subsampled = s.subsampling == Subsampling::Chroma420;
        mcuSize = subsampled ? 16 : 8;
        mcusX = (static_cast<size_t>(p.width) + mcuSize - 1) / mcuSize;
        mcusY = (static_cast<size_t>(p.height) + mcuSize - 1) / mcuSize;
        chunks = (static_cast<size_t>(p.width) + 15) / 16;
        stripWidth = chunks * 16;
        lumaQuant = ScaledQuantTable(kLuminanceQuant, s.quality);
        chromaQuant = ScaledQuantTable(kChrominanceQuant, s.quality);
        lumaQuantizer = MakeQuantizer(lumaQuant, KeepThresholds(lumaQuant));
        chromaQuantizer = MakeQuantizer(chromaQuant, KeepThresholds(chromaQuant));
    }
    size_t chromaWidth() const { return subsampled ? stripWidth / 2 : stripWidth; }
};

// ---------------------------------------------------------------------------
// MCU rows [firstRow, endRow) of the picture, coded on their own: their own
// strips, symbol store and DC predictions (a restart interval when the
// picture is split in bands).
class Band {
public:
    Band(const Frame& f, size_t firstRow, size_t endRow, size_t storeBudget)
        : f_(f), firstRow_(firstRow), endRow_(endRow), store_(storeBudget) {}

    const Frequencies* frequencies() const { return freq_; }

    // Counts the symbols and keeps the blocks, unless they outgrow the
    // store's budget: then the store is dropped and the second pass makes
    // the blocks again.
    void FirstPass() {
        AllocateStrips();
        McuCoder coder(f_, freq_);
        for (size_t my = firstRow_; my < endRow_; ++my) {
            ConvertStrip(static_cast<int>(my * f_.mcuSize));
            for (size_t mx = 0; mx < f_.mcusX; ++mx) {
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

    // Writes the band's entropy-coded data, padded to a whole byte.
    void SecondPass(const SymbolTable& table, Output& out) {
        BitPacker bits(out.pos());
        // A symbol and its value bits are at most 27 bits, under 8 bytes even
        // if every byte were 0xFF and took a stuffed 0x00.
        constexpr size_t kSlice = Output::kMargin / 8;
        auto write = [&](const uint32_t* p, size_t count) {
            for (size_t done = 0; done < count && out.ok(); done += kSlice) {
                out.Ensure();
                p = table.Write(p, std::min(kSlice, count - done), bits);
            }
        };
        if (stored_) {
            store_.ForEachChunk(write);
        } else {
            Frequencies unused[4]{};
            McuCoder coder(f_, unused);
            lastStripTop_ = -1;
            for (size_t my = firstRow_; my < endRow_ && out.ok(); ++my) {
                ConvertStrip(static_cast<int>(my * f_.mcuSize));
                for (size_t mx = 0; mx < f_.mcusX; ++mx) {
                    const uint8_t* end = TransformMcu(coder, mx, scratch_.data());
                    write(reinterpret_cast<const uint32_t*>(scratch_.data()), static_cast<size_t>(end - scratch_.data()) / 4);
                }
            }
        }
        out.Ensure();
        bits.Finish();
        ReleaseStrips();
    }

private:
    // The three components' first-pass state; `freq` receives the counts.
    struct McuCoder {
        ComponentPass1 luma, blue, red;
        McuCoder(const Frame& f, Frequencies* freq)
            : luma{&f.lumaQuantizer, f.kernels.forwardDctQuantize, 0, freq[0].data()},
              blue{&f.chromaQuantizer, f.kernels.forwardDctQuantize, 2, freq[0].data()},
              red{&f.chromaQuantizer, f.kernels.forwardDctQuantize, 2, freq[0].data()} {}
    };

    // Transforms the blocks of MCU `mx` of the current strip into `p`.
    uint8_t* TransformMcu(McuCoder& c, size_t mx, uint8_t* p) {
        const size_t x = mx * f_.mcuSize, sw = f_.stripWidth, cw = f_.chromaWidth();
        p = c.luma.Block(&y_[x], sw, p);
        if (f_.subsampled) {
            p = c.luma.Block(&y_[x + 8], sw, p);
            p = c.luma.Block(&y_[8 * sw + x], sw, p);
            p = c.luma.Block(&y_[8 * sw + x + 8], sw, p);
            p = c.blue.Block(&cb_[x / 2], cw, p);
            return c.red.Block(&cr_[x / 2], cw, p);
        }
        p = c.blue.Block(&cb_[x], cw, p);
        return c.red.Block(&cr_[x], cw, p);
    }

    void AllocateStrips() {
        const size_t chromaRows = 8;
        y_.assign(f_.stripWidth * (f_.subsampled ? 18 : 8), 0);
        cb_.assign(f_.chromaWidth() * chromaRows, 0);
        cr_.assign(f_.chromaWidth() * chromaRows, 0);
        if (f_.subsampled) {
            cbRows_.assign(f_.chromaWidth() * 20, 0);
            crRows_.assign(f_.chromaWidth() * 20, 0);
        }
    }
    void ReleaseStrips() {
        for (auto* v : {&y_, &cb_, &cr_, &cbRows_, &crRows_}) std::vector<int16_t>().swap(*v);
        store_.Release();
    }

    // Colour-converts the picture rows of one MCU row into the strips.
    void ConvertStrip(int top) {
        RowSource rows(f_.picture, f_.chunks);
        const size_t full = rows.fullChunks();
        const size_t sw = f_.stripWidth;
        uint8_t tail0[48];
        if (f_.subsampled) {
            // Chroma row j takes picture rows 2j - 2 to 2j + 3: the strip's
            // 16 rows and 2 more on either side, each filtered across first
            // (row k of the filtered rows is picture row top - 2 + k). The
            // last 4 are the next strip's first 4, Y of its first 2 included:
            // they move over instead of being made again.
            const size_t cw = f_.chromaWidth();
            int first = 0;
            if (top > 0 && top == lastStripTop_ + 16) {
                std::copy(cbRows_.begin() + 16 * cw, cbRows_.end(), cbRows_.begin());
                std::copy(crRows_.begin() + 16 * cw, crRows_.end(), crRows_.begin());
                std::copy(y_.begin() + 16 * sw, y_.end(), y_.begin());
                first = 4;
            }
            lastStripTop_ = top;
            for (int k = first; k < 20; ++k) {
                const int row = top - 2 + k;
                int16_t* y = k >= 2 ? &y_[(k - 2) * sw] : nullptr;  // y_ has 2 rows to spare
                f_.kernels.convertRow420(rows.Row(row), full, rows.hasTail() ? rows.Tail(row, tail0) : nullptr, y,
                                         &cbRows_[k * cw], &crRows_[k * cw]);
            }
            for (int j = 0; j < 8; ++j) {
                f_.kernels.combineChromaRows(&cbRows_[2 * j * cw], &cbRows_[(2 * j + 2) * cw],
                                             &cbRows_[(2 * j + 3) * cw], &cbRows_[(2 * j + 5) * cw], cw, &cb_[j * cw]);
                f_.kernels.combineChromaRows(&crRows_[2 * j * cw], &crRows_[(2 * j + 2) * cw],
                                             &crRows_[(2 * j + 3) * cw], &crRows_[(2 * j + 5) * cw], cw, &cr_[j * cw]);
            }
        } else {
            for (int r = 0; r < 8; ++r) {
                const size_t o = r * sw;
                f_.kernels.convertRow444(rows.Row(top + r), full, &y_[o], &cb_[o], &cr_[o]);
                if (rows.hasTail()) {
                    const size_t t = o + full * 16;
                    f_.kernels.convertRow444(rows.Tail(top + r, tail0), 1, &y_[t], &cb_[t], &cr_[t]);
                }
            }
        }
    }

    const Frame& f_;
    size_t firstRow_, endRow_;
    std::vector<int16_t> y_, cb_, cr_;
    std::vector<int16_t> cbRows_, crRows_;  // chroma rows filtered across, before filtering down
    int lastStripTop_ = -1;
    BlockStore store_;
    bool stored_ = true;            // the blocks are in store_ (else made again)
    std::vector<uint8_t> scratch_;  // one MCU's blocks when they are not stored
    Frequencies freq_[4]{};  // luminance DC, AC; chrominance DC, AC
};

// Bytes of one band's coded data, when bands are coded side by side.
class MemorySink : public Sink {
public:
    bool Write(const uint8_t* data, size_t size) override {
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;
};

// Runs work(i) for i in 0..count-1 on up to `threads` threads (this one
// among them) and waits for all; the first exception is passed on.
template <typename Work>
void RunSideBySide(size_t count, size_t threads, const Work& work) {
    std::atomic<size_t> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    auto loop = [&] {
        for (size_t i; (i = next.fetch_add(1)) < count;) {
            try {
                work(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) failure = std::current_exception();
            }
        }
    };
    std::vector<std::thread> helpers;
    try {
        for (size_t t = 1; t < std::min(threads, count); ++t) helpers.emplace_back(loop);
    } catch (const std::system_error&) {
        // No more threads to be had: the ones running finish the work.
    }
    loop();
    for (std::thread& t : helpers) t.join();
    if (failure) std::rethrow_exception(failure);
}

// ---------------------------------------------------------------------------
class Encoder {
public:
    Encoder(const Picture& picture, const Settings& settings, Sink& sink)
        : settings_(settings), frame_(picture, settings), out_(sink) {
        PlanBands();
    }

    EncodeResult Run() {
        RunSideBySide(bands_.size(), threads_, [this](size_t i) { bands_[i].FirstPass(); });
        WriteHeaders();
        const SymbolTable table(codes_);
        if (bands_.size() == 1) {
            bands_[0].SecondPass(table, out_);
        } else {
            std::vector<MemorySink> coded(bands_.size());
            RunSideBySide(bands_.size(), threads_, [&](size_t i) {
                Output bandOut(coded[i]);
                bands_[i].SecondPass(table, bandOut);
                bandOut.Flush();
            });
            for (size_t i = 0; i < coded.size() && out_.ok(); ++i) {
                if (i > 0) out_.Word(0xFFD0 + static_cast<int>((i - 1) % 8));  // RSTn between the intervals
                out_.Flush();
                if (out_.ok() && !coded[i].bytes.empty()) out_.Raw(coded[i].bytes.data(), coded[i].bytes.size());
                std::vector<uint8_t>().swap(coded[i].bytes);
            }
        }
        out_.Word(0xFFD9);  // EOI
        out_.Flush();
        return out_.ok() ? EncodeResult::Ok : EncodeResult::WriteFailed;
    }

private:
    // One band, or on a large enough picture as many as there are threads,
    // each a restart interval of whole MCU rows (at most 65535 MCUs).
    void PlanBands() {
        const size_t pixels = static_cast<size_t>(frame_.picture.width) * static_cast<size_t>(frame_.picture.height);
        size_t threads = settings_.threads > 0 ? static_cast<size_t>(settings_.threads)
                                               : pixels >= kPixelsPerThread ? std::thread::hardware_concurrency() : 1;
        threads = std::clamp<size_t>(threads, 1, std::min<size_t>(frame_.mcusY, 64));
        size_t rowsPerBand = (frame_.mcusY + threads - 1) / threads;
        if (threads > 1) rowsPerBand = std::min(rowsPerBand, std::max<size_t>(1, 65535 / frame_.mcusX));
        const size_t count = (frame_.mcusY + rowsPerBand - 1) / rowsPerBand;
        threads_ = std::min(threads, count);
        restartInterval_ = count > 1 ? rowsPerBand * frame_.mcusX : 0;
        const size_t budget = StoreBudget(frame_.picture, settings_);
        bands_.reserve(count);
        for (size_t b = 0; b < count; ++b) {
            const size_t first = b * rowsPerBand, end = std::min(frame_.mcusY, first + rowsPerBand);
            bands_.emplace_back(frame_, first, end, std::max<size_t>(budget * (end - first) / frame_.mcusY, 1));
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
            const auto& table = t == 0 ? frame_.lumaQuant : frame_.chromaQuant;
            out_.Byte(t);
            for (int k = 0; k < 64; ++k) out_.Byte(table[kZigzag[k]]);
        }
        // Frame: 8-bit samples, three components.
        out_.Word(0xFFC0);
        out_.Word(8 + 3 * 3);
        out_.Byte(8);
        out_.Word(frame_.picture.height);
        out_.Word(frame_.picture.width);
        out_.Byte(3);
        const int lumaSampling = frame_.subsampled ? 0x22 : 0x11;
        for (int c = 1; c <= 3; ++c) {
            out_.Byte(c);
            out_.Byte(c == 1 ? lumaSampling : 0x11);
            out_.Byte(c == 1 ? 0 : 1);
        }
        WriteHuffmanTables();
        if (restartInterval_ > 0) {
            out_.Word(0xFFDD);  // DRI
            out_.Word(4);
            out_.Word(static_cast<int>(restartInterval_));
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

    // Huffman tables made for this picture, from all bands' counts.
    void WriteHuffmanTables() {
        Frequencies freq[4]{};
        for (const Band& band : bands_)
            for (int i = 0; i < 4; ++i)
                for (int s = 0; s < 256; ++s) freq[i][s] += band.frequencies()[i][s];
        out_.Word(0xFFC4);
        HuffmanSpec specs[4];
        int length = 2;
        for (int i = 0; i < 4; ++i) {
            specs[i] = BuildHuffmanSpec(freq[i]);
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
    }

    // Below this size one thread is as quick as starting more.
    static constexpr size_t kPixelsPerThread = 1 << 20;

    const Settings& settings_;
    Frame frame_;
    Output out_;
    std::vector<Band> bands_;
    size_t threads_ = 1;
    size_t restartInterval_ = 0;
    HuffmanCodes codes_[4];
};

}  // namespace

bool IsValid(const Picture& p, const Settings& s) {
    return p.bits != nullptr && p.width >= 1 && p.width <= 65535 && p.height >= 1 && p.height <= 65535 &&
           p.stride >= 3 * static_cast<ptrdiff_t>(p.width) && s.quality >= 1 && s.quality <= 100 &&
           (s.subsampling == Subsampling::Chroma420 || s.subsampling == Subsampling::Chroma444) &&
           s.densityUnit >= 0 && s.threads >= 0 && s.densityUnit <= 2 && s.xDensity >= 1 && s.xDensity <= 65535 && s.yDensity >= 1 &&
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
