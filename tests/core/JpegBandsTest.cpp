// Bands coded side by side: the file carries a restart interval per band,
// decodes cleanly with an outside decoder and gives exactly the pixels of
// the single-thread file.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "export/core/JpegEncoder.h"
#include "tests/core/JpegTestSink.h"
#include "tests/core/JpegTestSupport.h"

namespace px::jpeg {
namespace {

using test::BgrPicture;

using test::BytesSink;

std::vector<uint8_t> EncodeWith(const BgrPicture& p, int threads, Subsampling s, int quality = 90) {
    Settings settings;
    settings.quality = quality;
    settings.subsampling = s;
    settings.threads = threads;
    BytesSink sink;
    EXPECT_EQ(Encode({p.bytes.data(), p.width, p.height, static_cast<ptrdiff_t>(p.stride), false}, settings, sink),
              EncodeResult::Ok);
    return sink.bytes;
}

struct Markers {
    int restartInterval = 0;     // from DRI, 0 without one
    std::vector<int> restarts;   // n of every RSTn in the scan, in order
    bool endsWithEoi = false;
};

Markers ReadMarkers(const std::vector<uint8_t>& f) {
    Markers m;
    size_t i = 2;
    while (i + 4 <= f.size() && f[i] == 0xFF && f[i + 1] != 0xDA) {
        const size_t length = size_t{f[i + 2]} << 8 | f[i + 3];
        if (f[i + 1] == 0xDD) m.restartInterval = f[i + 4] << 8 | f[i + 5];
        i += 2 + length;
    }
    for (; i + 1 < f.size(); ++i) {
        if (f[i] == 0xFF && f[i + 1] >= 0xD0 && f[i + 1] <= 0xD7) m.restarts.push_back(f[i + 1] - 0xD0);
    }
    m.endsWithEoi = f.size() >= 2 && f[f.size() - 2] == 0xFF && f.back() == 0xD9;
    return m;
}

std::string DjpegWarnings(const std::vector<uint8_t>& jpeg) {
    test::ScratchFolder folder("bands");
    test::WriteFileBytes(folder / "in.jpg", jpeg);
    const std::string command = "djpeg -ppm -outfile '" + (folder / "out.ppm").string() + "' '" +
                                (folder / "in.jpg").string() + "' 2>'" + (folder / "err.txt").string() + "'";
    if (std::system(command.c_str()) != 0) return "djpeg failed";
    const auto err = test::ReadFileBytes(folder / "err.txt");
    return std::string(err.begin(), err.end());
}

TEST(JpegBandsTest, BandsAreRestartIntervalsAndDecodeToTheSinglethreadPixels) {
    if (!test::DecoderAvailable()) GTEST_SKIP() << "no JPEG decoder";
    const bool djpeg = test::ProgramAvailable("djpeg");
    const BgrPicture p = test::MakeScreenshot(333, 250, 9);
    for (const Subsampling s : {Subsampling::Chroma420, Subsampling::Chroma444}) {
        const size_t mcu = s == Subsampling::Chroma420 ? 16 : 8;
        const int mcusX = static_cast<int>((333 + mcu - 1) / mcu), mcusY = static_cast<int>((250 + mcu - 1) / mcu);
        const auto single = EncodeWith(p, 1, s);
        EXPECT_EQ(ReadMarkers(single).restartInterval, 0);
        EXPECT_TRUE(ReadMarkers(single).restarts.empty());
        const auto expected = test::DecodeJpeg(single);
        ASSERT_TRUE(expected.has_value());
        for (const int threads : {2, 3, 11}) {
            SCOPED_TRACE(std::to_string(threads) + " threads, " + (mcu == 16 ? "4:2:0" : "4:4:4"));
            const auto banded = EncodeWith(p, threads, s);
            const Markers m = ReadMarkers(banded);
            const int rowsPerBand = (mcusY + threads - 1) / threads;
            const int bands = (mcusY + rowsPerBand - 1) / rowsPerBand;
            EXPECT_EQ(m.restartInterval, rowsPerBand * mcusX);
            ASSERT_EQ(m.restarts.size(), static_cast<size_t>(bands - 1));
            for (size_t k = 0; k < m.restarts.size(); ++k) EXPECT_EQ(m.restarts[k], static_cast<int>(k % 8));
            EXPECT_TRUE(m.endsWithEoi);
            const auto decoded = test::DecodeJpeg(banded);
            ASSERT_TRUE(decoded.has_value());
            EXPECT_EQ(decoded->bytes, expected->bytes);
            if (djpeg) {
                EXPECT_EQ(DjpegWarnings(banded), "");
            }
        }
    }
}

TEST(JpegBandsTest, ALargePictureIsSplitAutomaticallyOnlyWhenThereIsMoreThanOneProcessor) {
    if (!test::DecoderAvailable()) GTEST_SKIP() << "no JPEG decoder";
    const BgrPicture p = test::MakeScreenshot(1280, 820, 4);  // just over a megapixel
    const auto automatic = EncodeWith(p, 0, Subsampling::Chroma420);
    const auto single = EncodeWith(p, 1, Subsampling::Chroma420);
    const Markers m = ReadMarkers(automatic);
    const unsigned processors = std::thread::hardware_concurrency();
    if (processors > 1) {
        EXPECT_EQ(m.restarts.size() + 1, std::min<size_t>(processors, (820 + 15) / 16));
    } else {
        EXPECT_EQ(automatic, single);
    }
    EXPECT_EQ(test::DecodeJpeg(automatic)->bytes, test::DecodeJpeg(single)->bytes);
    // Small pictures always stay in one piece.
    const BgrPicture small = test::MakeScreenshot(640, 480, 4);
    EXPECT_EQ(EncodeWith(small, 0, Subsampling::Chroma420), EncodeWith(small, 1, Subsampling::Chroma420));
}

TEST(JpegBandsTest, BandsWithoutRoomToKeepTheirBlocksWriteTheSameFile) {
    const BgrPicture p = test::MakeScreenshot(300, 200, 2);
    Settings settings;
    settings.quality = 95;
    settings.threads = 3;
    BytesSink kept, remade;
    const Picture picture{p.bytes.data(), p.width, p.height, static_cast<ptrdiff_t>(p.stride), false};
    ASSERT_EQ(Encode(picture, settings, kept), EncodeResult::Ok);
    settings.memoryLimit = 1;  // no band can keep a single MCU
    ASSERT_EQ(Encode(picture, settings, remade), EncodeResult::Ok);
    EXPECT_EQ(kept.bytes, remade.bytes);
    EXPECT_EQ(ReadMarkers(kept.bytes).restarts.size(), 2u);
}

// Records the pieces; refuses from piece `refuseAt` on (0: never).
class PieceSink : public Sink {
public:
    explicit PieceSink(size_t refuseAt = 0) : refuseAt_(refuseAt) {}
    bool Write(const uint8_t* data, size_t size) override {
        if (refuseAt_ > 0 && pieces.size() + 1 >= refuseAt_) return false;
        pieces.push_back(size);
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<size_t> pieces;
    std::vector<uint8_t> bytes;

private:
    size_t refuseAt_;
};

TEST(JpegBandsTest, BandsReachTheSinkInBufferSizedPiecesAndARefusalEndsTheEncoding) {
    BgrPicture p = test::MakeScreenshot(640, 480, 6);
    test::TestRandom rnd(6);
    for (auto& b : p.bytes) b = static_cast<uint8_t>(b ^ (rnd.Next() & 0x3F));  // noise: bands of several 64 KiB
    Settings settings;
    settings.quality = 100;
    settings.threads = 2;
    const Picture picture{p.bytes.data(), p.width, p.height, static_cast<ptrdiff_t>(p.stride), false};
    PieceSink whole;
    ASSERT_EQ(Encode(picture, settings, whole), EncodeResult::Ok);
    ASSERT_GT(whole.bytes.size(), 4u * 65536);
    for (const size_t piece : whole.pieces) EXPECT_LE(piece, 65536u + 4096u);  // the output buffer and its margin
    EXPECT_EQ(ReadMarkers(whole.bytes).restarts.size(), 1u);
    PieceSink refusing(3);
    EXPECT_EQ(Encode(picture, settings, refusing), EncodeResult::WriteFailed);
    EXPECT_EQ(refusing.pieces.size(), 2u);  // nothing more is offered after the refusal
}

TEST(JpegBandsTest, ANegativeThreadCountIsRejected) {
    const BgrPicture p = test::MakeScreenshot(32, 32, 1);
    Settings settings;
    settings.threads = -1;
    BytesSink sink;
    EXPECT_EQ(Encode({p.bytes.data(), 32, 32, static_cast<ptrdiff_t>(p.stride), false}, settings, sink),
              EncodeResult::BadArgument);
    EXPECT_TRUE(sink.bytes.empty());
}

}  // namespace
}  // namespace px::jpeg
