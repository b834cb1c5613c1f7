// The JPEG library layer: the parameter block, its defaults, the statuses and
// the file it writes (decoded again and compared with the picture).
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <set>

#include "export/core/JpegLibrary.h"
#include "tests/core/JpegTestSupport.h"

namespace px {
namespace {

using test::BgrPicture;

// A picture laid out as the program's 24-bit buffers hold it: bottom row
// first in memory, rows padded (to 4 bytes unless told otherwise). Padding
// bytes hold junk.
struct BottomUpBuffer {
    int width, height, bytesPerLine;
    std::vector<uint8_t> bits;
    BgrPicture upright;  // what the file must show

    BottomUpBuffer(int w, int h, int padBytes = -1)
        : width(w), height(h), bytesPerLine(padBytes < 0 ? (3 * w + 3) & ~3 : 3 * w + padBytes) {
        upright = test::MakeScreenshot(w, h, 4);
        // Make the top and bottom rows easy to tell apart even for tiny pictures.
        test::FillRect(upright, 0, 0, w, 1, 0, 0, 250);
        test::FillRect(upright, 0, h - 1, w, 1, 250, 0, 0);
        bits.assign(static_cast<size_t>(bytesPerLine) * h, 0xEE);
        for (int y = 0; y < h; ++y) std::memcpy(&bits[static_cast<size_t>(h - 1 - y) * bytesPerLine], upright.Pixel(0, y), 3 * w);
    }
};

// A block prepared the way the saving code prepares it.
std::unique_ptr<JPEG_CORE_PROPERTIES> PreparedBlock(const BottomUpBuffer& dib, const std::string& file, int quality) {
    auto props = std::make_unique<JPEG_CORE_PROPERTIES>();
    std::memset(props.get(), 0, sizeof(JPEG_CORE_PROPERTIES));
    EXPECT_EQ(jpgInit(props.get()), JPG_OK);
    props->DIBWidth = dib.width;
    props->DIBHeight = -dib.height;
    props->DIBBytes = dib.bits.data();
    props->DIBPadBytes = dib.bytesPerLine - 3 * dib.width;
    props->JPGFile = file.c_str();
    props->JPGWidth = dib.width;
    props->JPGHeight = dib.height;
    props->jquality = quality;
    return props;
}

TEST(JpegLibraryTest, InitSetsTheDefaultsAndFreeReleasesTheBlock) {
    JPEG_CORE_PROPERTIES props;
    std::memset(&props, 0, sizeof props);
    ASSERT_EQ(jpgInit(&props), JPG_OK);
    EXPECT_EQ(props.DIBChannels, 3);
    EXPECT_EQ(props.DIBColor, JPG_COLOR_BGR);
    EXPECT_EQ(props.JPGChannels, 3);
    EXPECT_EQ(props.JPGColor, JPG_COLOR_YCBCR);
    EXPECT_EQ(props.JPGSubsampling, JPG_SUBSAMPLING_AUTO);
    EXPECT_EQ(props.jquality, 75);
    EXPECT_EQ(props.JPGXDensity, 1);
    EXPECT_EQ(props.JPGYDensity, 1);
    EXPECT_EQ(props.DIBBytes, nullptr);
    EXPECT_EQ(props.JPGFile, nullptr);
    EXPECT_EQ(jpgFree(&props), JPG_OK);
    EXPECT_EQ(jpgFree(&props), JPG_ERR_NOT_INITIALISED);  // released already
    EXPECT_EQ(jpgInit(nullptr), JPG_ERR_BAD_ARGUMENT);
    EXPECT_EQ(jpgWrite(nullptr, JFILE_WRITEWHOLEIMAGE), JPG_ERR_BAD_ARGUMENT);
    EXPECT_EQ(jpgFree(nullptr), JPG_ERR_BAD_ARGUMENT);
}

TEST(JpegLibraryTest, StatusesAreDistinctAndNonZero) {
    const std::set<int32_t> statuses = {JPG_ERR_BAD_ARGUMENT, JPG_ERR_NOT_INITIALISED, JPG_ERR_BAD_MODE,
                                        JPG_ERR_CREATE_FILE,  JPG_ERR_WRITE_FILE,      JPG_ERR_OUT_OF_MEMORY};
    EXPECT_EQ(statuses.size(), 6u);
    EXPECT_EQ(statuses.count(JPG_OK), 0u);
}

TEST(JpegLibraryTest, RowsPaddedTo4BytesGiveThePadBytesOfEachWidth) {
    // Width 1, 2, 3, 4: rows of 4, 8, 12 and 12 bytes.
    const int expected[] = {1, 2, 3, 0};
    for (int w = 1; w <= 4; ++w) {
        const BottomUpBuffer dib(w, 2);
        EXPECT_EQ(PreparedBlock(dib, "unused.jpg", 75)->DIBPadBytes, expected[w - 1]) << w;
    }
}

TEST(JpegLibraryTest, PadBytesAreHonouredForEveryWidthAndThePictureIsUpright) {
    if (!test::DecoderAvailable()) GTEST_SKIP() << "no JPEG decoder";
    test::ScratchFolder folder("pad");
    for (int width : {1, 2, 3, 4, 33}) {
        for (int pad = 0; pad <= 3; ++pad) {
            const BottomUpBuffer dib(width, 9, pad);
            const std::string file = (folder / ("w" + std::to_string(width) + "p" + std::to_string(pad) + ".jpg")).string();
            auto props = PreparedBlock(dib, file, 100);
            props->JPGSubsampling = JPG_SUBSAMPLING_444;
            ASSERT_EQ(props->DIBPadBytes, pad);
            ASSERT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_OK) << width << "/" << pad;
            EXPECT_EQ(jpgFree(props.get()), JPG_OK);

            const auto bytes = test::ReadFileBytes(file);
            EXPECT_EQ(props->JPGSizeBytes, bytes.size());
            const auto decoded = test::DecodeJpeg(bytes);
            ASSERT_TRUE(decoded) << width << "/" << pad;
            ASSERT_EQ(decoded->width, width);
            ASSERT_EQ(decoded->height, 9);
            EXPECT_GT(test::Psnr(dib.upright, *decoded), 35.0) << width << "/" << pad;
            EXPECT_GT(decoded->Pixel(0, 0)[2], 200) << "top row is red";
            EXPECT_GT(decoded->Pixel(0, 8)[0], 200) << "bottom row is blue";
        }
    }
}

TEST(JpegLibraryTest, AutomaticSubsamplingKeepsFullColourFromQuality90) {
    if (!test::DecoderAvailable()) GTEST_SKIP() << "no JPEG decoder";
    test::ScratchFolder folder("auto");
    const BottomUpBuffer dib(64, 48);
    const std::string file = (folder / "a.jpg").string();
    for (int quality : {89, 90}) {
        auto props = PreparedBlock(dib, file, quality);
        ASSERT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_OK);
        jpgFree(props.get());
        const auto bytes = test::ReadFileBytes(file);
        // The frame header gives the luminance sampling factors: 0x22 for 4:2:0, 0x11 for 4:4:4.
        const uint8_t frameMarker[] = {0xFF, 0xC0};
        const auto sof = std::search(bytes.begin(), bytes.end(), std::begin(frameMarker), std::end(frameMarker));
        ASSERT_NE(sof, bytes.end());
        EXPECT_EQ(sof[11], quality >= JPG_AUTO_444_QUALITY ? 0x11 : 0x22) << quality;
    }
}

TEST(JpegLibraryTest, ReplacesAnExistingFile) {
    test::ScratchFolder folder("replace");
    const std::string file = (folder / "old.jpg").string();
    ASSERT_TRUE(test::WriteFileBytes(file, std::vector<uint8_t>(500000, 0x11)));
    const BottomUpBuffer dib(20, 20);
    auto props = PreparedBlock(dib, file, 50);
    ASSERT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_OK);
    const auto bytes = test::ReadFileBytes(file);
    EXPECT_EQ(bytes.size(), props->JPGSizeBytes);
    EXPECT_LT(bytes.size(), 5000u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
}

TEST(JpegLibraryTest, NonAsciiFileNamesAreWritten) {
    test::ScratchFolder folder("utf8");
    const std::string file = (folder / "Bildschirm \xC3\xBC\xE2\x82\xAC \xE6\x97\xA5.jpg").string();
    const BottomUpBuffer dib(10, 10);
    auto props = PreparedBlock(dib, file, 75);
    ASSERT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_OK);
    EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(std::u8string(file.begin(), file.end()))));
}

TEST(JpegLibraryTest, FieldsOutOfRangeAreRejectedBeforeTheFileIsTouched) {
    test::ScratchFolder folder("bad");
    const std::string file = (folder / "keep.jpg").string();
    const std::vector<uint8_t> previous(100, 0x22);
    ASSERT_TRUE(test::WriteFileBytes(file, previous));
    const BottomUpBuffer dib(12, 8);
    struct Case {
        const char* what;
        void (*spoil)(JPEG_CORE_PROPERTIES&);
    };
    const Case cases[] = {
        {"no pixels", [](JPEG_CORE_PROPERTIES& p) { p.DIBBytes = nullptr; }},
        {"no file", [](JPEG_CORE_PROPERTIES& p) { p.JPGFile = nullptr; }},
        {"empty file name", [](JPEG_CORE_PROPERTIES& p) { p.JPGFile = ""; }},
        {"zero width", [](JPEG_CORE_PROPERTIES& p) { p.DIBWidth = p.JPGWidth = 0; }},
        {"zero height", [](JPEG_CORE_PROPERTIES& p) { p.DIBHeight = p.JPGHeight = 0; }},
        {"scaling asked for", [](JPEG_CORE_PROPERTIES& p) { p.JPGWidth = 24; }},
        {"height mismatch", [](JPEG_CORE_PROPERTIES& p) { p.JPGHeight = 7; }},
        {"negative padding", [](JPEG_CORE_PROPERTIES& p) { p.DIBPadBytes = -1; }},
        {"4 channels", [](JPEG_CORE_PROPERTIES& p) { p.DIBChannels = 4; }},
        {"other colour layout", [](JPEG_CORE_PROPERTIES& p) { p.DIBColor = 99; }},
        {"grey file", [](JPEG_CORE_PROPERTIES& p) { p.JPGChannels = 1; }},
        {"unknown subsampling", [](JPEG_CORE_PROPERTIES& p) { p.JPGSubsampling = 9; }},
        {"quality 0", [](JPEG_CORE_PROPERTIES& p) { p.jquality = 0; }},
        {"quality 101", [](JPEG_CORE_PROPERTIES& p) { p.jquality = 101; }},
        {"density unit 5", [](JPEG_CORE_PROPERTIES& p) { p.JPGDensityUnit = 5; }},
    };
    for (const Case& c : cases) {
        auto props = PreparedBlock(dib, file, 75);
        c.spoil(*props);
        EXPECT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_ERR_BAD_ARGUMENT) << c.what;
        EXPECT_EQ(test::ReadFileBytes(file), previous) << c.what;
    }
    // The mode and the preparation are checked too, each with its own status.
    auto props = PreparedBlock(dib, file, 75);
    EXPECT_EQ(jpgWrite(props.get(), 1), JPG_ERR_BAD_MODE);
    std::memset(props->jprops, 0, sizeof props->jprops);
    EXPECT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_ERR_NOT_INITIALISED);
    EXPECT_EQ(test::ReadFileBytes(file), previous);
}

TEST(JpegLibraryTest, AFileInAMissingFolderCannotBeCreated) {
    test::ScratchFolder folder("missing");
    const std::string file = (folder / "no such folder" / "x.jpg").string();
    const BottomUpBuffer dib(8, 8);
    auto props = PreparedBlock(dib, file, 75);
    EXPECT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_ERR_CREATE_FILE);
    EXPECT_FALSE(std::filesystem::exists(folder / "no such folder"));
    EXPECT_EQ(jpgFree(props.get()), JPG_OK);
}

#ifdef __linux__
TEST(JpegLibraryTest, AFailedWriteIsReportedAndThePartialFileRemoved) {
    test::ScratchFolder folder("partial");
    const std::string file = (folder / "big.jpg").string();
    const BottomUpBuffer dib(800, 600);
    auto props = PreparedBlock(dib, file, 95);

    // Let the file grow to 10 KiB only: the next write fails with EFBIG.
    struct rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    struct sigaction ignore = {}, previous = {};
    ignore.sa_handler = SIG_IGN;
    ASSERT_EQ(sigaction(SIGXFSZ, &ignore, &previous), 0);
    struct rlimit small = saved;
    small.rlim_cur = 10 * 1024;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const int32_t status = jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE);
    setrlimit(RLIMIT_FSIZE, &saved);
    sigaction(SIGXFSZ, &previous, nullptr);

    EXPECT_EQ(status, JPG_ERR_WRITE_FILE);
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_EQ(props->JPGSizeBytes, 0u);
}

TEST(JpegLibraryTest, AFailedWriteToADeviceLeavesTheDeviceAlone) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    const BottomUpBuffer dib(300, 200);
    const std::string device = "/dev/full";
    auto props = PreparedBlock(dib, device, 90);
    EXPECT_EQ(jpgWrite(props.get(), JFILE_WRITEWHOLEIMAGE), JPG_ERR_WRITE_FILE);
    EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}
#endif

}  // namespace
}  // namespace px
