// The recolouring members on real device contexts and OLE colours: the DC
// passes give exactly the portable rule's bytes, key pixels (also a system
// colour key) keep theirs, only the given rectangle changes, and nothing leaks.
#include <gtest/gtest.h>

#include <vector>

#include "base/win/DibInfo.h"
#include "base/win/ScopedWin.h"
#include "imaging/core/Dib24.h"
#include "skin/SkinColourise.h"
#include "skin/cNeoCaption.h"
#include "skin/core/Colourise.h"
#include "tests/win/support/GdiCount.h"

namespace veltrim {
namespace {

// A top-down 32-bit DIB section in a memory DC: the context under test, with
// its pixels readable as 0x00RRGGBB.
class PixelDC {
public:
    PixelDC(int w, int h) : w_(w), h_(h), dc_(::CreateCompatibleDC(nullptr)) {
        BITMAPINFO bi = px::win::TopDownDibInfo(w, h);
        void* bits = nullptr;
        bmp_.reset(::CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
        bits_ = static_cast<uint32_t*>(bits);
        previous_ = ::SelectObject(dc_.get(), bmp_.get());
    }
    ~PixelDC() { ::SelectObject(dc_.get(), previous_); }
    PixelDC(const PixelDC&) = delete;
    PixelDC& operator=(const PixelDC&) = delete;

    HDC dc() const { return dc_.get(); }
    uint32_t& at(int x, int y) {
        ::GdiFlush();
        return bits_[static_cast<size_t>(y) * w_ + x];
    }
    int width() const { return w_; }
    int height() const { return h_; }

private:
    int w_, h_;
    px::win::AutoDeleteDC dc_;
    px::win::ScopedBitmap bmp_;
    uint32_t* bits_ = nullptr;
    HGDIOBJ previous_ = nullptr;
};

// 0x00RRGGBB of a 0x00BBGGRR colour.
uint32_t DibPixel(int32_t colour) {
    const px::Rgb8 c = px::ColourBytes(colour);
    return uint32_t{c.b} | uint32_t{c.g} << 8 | uint32_t{c.r} << 16;
}

// Every (blue, green) pair once, red varying, and every 13th diagonal the key.
void FillPattern(PixelDC& p, int32_t key) {
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x)
            p.at(x, y) = (x + y) % 13 == 0 ? DibPixel(key)
                                           : uint32_t(x) | uint32_t(y) << 8 | uint32_t(((x * 7) ^ (y * 3)) & 255) << 16;
}

// The same pixels run through a portable pass over a 24-bit buffer.
template <typename Pass>
std::vector<uint32_t> ThroughCore(PixelDC& p, Pass pass) {
    const int32_t bps = px::BytesPerScanLine24(p.width());
    std::vector<uint8_t> bytes(static_cast<size_t>(bps) * p.height());
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const uint32_t v = p.at(x, y);
            uint8_t* q = &bytes[static_cast<size_t>(y) * bps + 3 * x];
            q[0] = static_cast<uint8_t>(v);
            q[1] = static_cast<uint8_t>(v >> 8);
            q[2] = static_cast<uint8_t>(v >> 16);
        }
    pass(px::Dib24Bits{bytes.data(), p.width(), p.height(), bps});
    std::vector<uint32_t> out;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) {
            const uint8_t* q = &bytes[static_cast<size_t>(y) * bps + 3 * x];
            out.push_back(uint32_t{q[0]} | uint32_t{q[1]} << 8 | uint32_t{q[2]} << 16);
        }
    return out;
}

int CountDifferences(PixelDC& p, const std::vector<uint32_t>& want) {
    int n = 0;
    for (int y = 0; y < p.height(); ++y)
        for (int x = 0; x < p.width(); ++x) n += p.at(x, y) != want[static_cast<size_t>(y) * p.width() + x];
    return n;
}

TEST(SkinColouriseDC, BothPassesEqualThePortableRuleByteForByte) {
    const int32_t key = 0xFF00FF;
    PixelDC a(256, 256), c(256, 256);
    FillPattern(a, key);
    FillPattern(c, key);
    const auto wantAdjusted = ThroughCore(a, [&](const px::Dib24Bits& b) { px::AdjustRGBBits(b, key, 0.3f, -0.4f, 1.5f); });
    const auto wantColourised = ThroughCore(c, [&](const px::Dib24Bits& b) { px::ColouriseBits(b, key, 3.3f, 0.6f); });
    AdjustRGBDC(a.dc(), 256, 256, 0.3f, -0.4f, 1.5f, static_cast<OLE_COLOR>(key));
    ColouriseDC(c.dc(), 256, 256, 3.3f, 0.6f, static_cast<OLE_COLOR>(key));
    EXPECT_EQ(CountDifferences(a, wantAdjusted), 0);
    EXPECT_EQ(CountDifferences(c, wantColourised), 0);
    int keyPixels = 0;
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x)
            if ((x + y) % 13 == 0) {
                ++keyPixels;
                ASSERT_EQ(a.at(x, y), DibPixel(key)) << x << "," << y;
                ASSERT_EQ(c.at(x, y), DibPixel(key)) << x << "," << y;
            }
    EXPECT_GT(keyPixels, 5000);
    EXPECT_NE(c.at(1, 0), 0x000001u);  // the passes did change the rest
}

TEST(SkinColouriseDC, ASystemColourKeyIsTranslatedFirst) {
    const OLE_COLOR windowColour = 0x80000000u | COLOR_WINDOW;
    const int32_t translated = static_cast<int32_t>(::GetSysColor(COLOR_WINDOW));
    PixelDC p(64, 64);
    FillPattern(p, translated);
    const auto want = ThroughCore(p, [&](const px::Dib24Bits& b) { px::ColouriseBits(b, translated, 1.0f, 0.5f); });
    ColouriseDC(p.dc(), 64, 64, 1.0f, 0.5f, windowColour);
    EXPECT_EQ(CountDifferences(p, want), 0);
    EXPECT_EQ(p.at(0, 0), DibPixel(translated));
}

// Kept behaviour: with no key (-1) pure white is left alone by the DC passes.
TEST(SkinColouriseDC, WithoutAKeyPureWhiteStays) {
    PixelDC p(4, 1);
    p.at(0, 0) = 0xFFFFFF;
    p.at(1, 0) = 0xC8C8C8;
    p.at(2, 0) = 0xFFFFFE;
    p.at(3, 0) = 0xFFFFFF;
    AdjustRGBDC(p.dc(), 4, 1, -0.5f, -0.5f, -0.5f, static_cast<OLE_COLOR>(-1));
    EXPECT_EQ(p.at(0, 0), 0xFFFFFFu);
    EXPECT_EQ(p.at(1, 0), 0x646464u);
    EXPECT_EQ(p.at(2, 0), 0x80807Fu);
    EXPECT_EQ(p.at(3, 0), 0xFFFFFFu);
}

TEST(SkinColouriseDC, OnlyTheGivenSizeFromTheOriginChanges) {
    PixelDC p(40, 30);
    FillPattern(p, 0x010203);
    std::vector<uint32_t> before;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) before.push_back(p.at(x, y));
    AdjustRGBDC(p.dc(), 25, 10, 1.0f, 1.0f, 1.0f, static_cast<OLE_COLOR>(-1));
    int changedInside = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) {
            const bool inside = x < 25 && y < 10;
            if (!inside) ASSERT_EQ(p.at(x, y), before[static_cast<size_t>(y) * 40 + x]) << x << "," << y;
            else changedInside += p.at(x, y) != before[static_cast<size_t>(y) * 40 + x];
        }
    EXPECT_GT(changedInside, 200);
    AdjustRGBDC(p.dc(), 0, 10, 1.0f, 1.0f, 1.0f, static_cast<OLE_COLOR>(-1));  // empty: nothing, no failure
    AdjustRGBDC(nullptr, 10, 10, 1.0f, 1.0f, 1.0f, static_cast<OLE_COLOR>(-1));
}

TEST(SkinColouriseDC, ColourMembersTranslateAndKeepTheKeyAsGiven) {
    OLE_COLOR c = 0x808080;
    ColouriseColour(c, 0.0f, 1.0f, static_cast<OLE_COLOR>(-1));
    EXPECT_EQ(c, 0x0101FFu);
    // The key compares translated values; an unchanged colour keeps its own form.
    OLE_COLOR system = 0x80000000u | COLOR_WINDOW;
    ColouriseColour(system, 2.0f, 1.0f, static_cast<OLE_COLOR>(::GetSysColor(COLOR_WINDOW)));
    EXPECT_EQ(system, 0x80000000u | COLOR_WINDOW);
    OLE_COLOR grey = 0x80000000u | COLOR_BTNFACE;
    AdjustRGBColour(grey, 0.0f, 0.0f, 0.0f, static_cast<OLE_COLOR>(-1));
    EXPECT_EQ(grey, static_cast<OLE_COLOR>(::GetSysColor(COLOR_BTNFACE)));
    // An untranslatable colour equals a missing key (-1 both): unchanged.
    OLE_COLOR bad = 0xFF000000u;
    AdjustRGBColour(bad, 0.5f, 0.5f, 0.5f, static_cast<OLE_COLOR>(-1));
    EXPECT_EQ(bad, 0xFF000000u);
    OLE_COLOR red = 0x0000C8;
    AdjustRGBColour(red, 0.25f, 0.0f, 0.0f, static_cast<OLE_COLOR>(0xFF00FF));
    EXPECT_EQ(red, 0x0000FAu);
}

TEST(SkinColouriseDC, RepeatedPassesLeaveNoGdiObjects) {
    PixelDC p(300, 40);
    FillPattern(p, 0xFF00FF);
    ColouriseDC(p.dc(), 300, 40, 2.0f, 0.5f, 0xFF00FF);  // first use may load what stays
    const long before = px::test::GdiObjectCount();
    ASSERT_GE(before, 0);
    for (int i = 0; i < 200; ++i) {
        ColouriseDC(p.dc(), 300, 40, 2.0f + 0.01f * static_cast<float>(i), 0.5f, 0xFF00FF);
        AdjustRGBDC(p.dc(), 300, 40, 0.01f, 0.0f, -0.01f, 0xFF00FF);
    }
    EXPECT_EQ(px::test::GdiObjectCount(), before);
}

// The caption painter's members are the passes above with the skin's key
// (none before a skin is attached): checked through the interface.
TEST(SkinColouriseDC, ThePaintersMembersRunThePasses) {
    px::win::ScopedCom com;
    px::win::ScopedComPtr<_cNeoCaption> painter(static_cast<_cNeoCaption*>(new cNeoCaption()));
    PixelDC p(64, 32), q(64, 32);
    FillPattern(p, 0xFFFFFF);
    FillPattern(q, 0xFFFFFF);
    const auto want = ThroughCore(q, [](const px::Dib24Bits& b) { px::ColouriseBits(b, -1, 4.5f, 0.3f); });
    const long hdc = static_cast<long>(reinterpret_cast<INT_PTR>(p.dc()));
    ASSERT_EQ(painter->ColouriseDC(hdc, 64, 32, 4.5f, 0.3f), S_OK);
    EXPECT_EQ(CountDifferences(p, want), 0);
    EXPECT_EQ(p.at(0, 0), 0xFFFFFFu);
    ASSERT_EQ(painter->AdjustRGBDC(hdc, 64, 32, 0.5f, 0.5f, 0.5f), S_OK);
    OLE_COLOR c = 0x808080;
    ASSERT_EQ(painter->ColouriseColour(&c, 0.0f, 1.0f), S_OK);
    EXPECT_EQ(c, 0x0101FFu);
    c = 0x0A141E;
    ASSERT_EQ(painter->AdjustRGBColour(&c, 0.5f, 1.0f, -0.5f), S_OK);
    EXPECT_EQ(c, 0x05282Du);
    EXPECT_EQ(painter->AdjustRGBColour(nullptr, 0.5f, 1.0f, -0.5f), E_POINTER);
}

}  // namespace
}  // namespace veltrim
