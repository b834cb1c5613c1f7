// The JPEG encoder over random sizes, row paddings, orientations, settings and
// pixels. Arguments out of range are refused before a pixel is read; every
// accepted picture gives a well-formed file of its size, byte for byte the
// same whether the coefficient store is kept or dropped; a refusing sink
// ends the write with WriteFailed; flat pictures decode to their colour.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "FuzzSupport.h"
#include "export/core/JpegEncoder.h"
#include "export/core/JpegLibrary.h"

#ifdef PIXTREL_HAVE_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace {

using namespace px;

class VectorSink : public jpeg::Sink {
public:
    explicit VectorSink(size_t limit = SIZE_MAX) : limit_(limit) {}
    bool Write(const uint8_t* data, size_t size) override {
        if (bytes.size() + size > limit_) return false;
        bytes.insert(bytes.end(), data, data + size);
        return true;
    }
    std::vector<uint8_t> bytes;

private:
    size_t limit_;
};

// The frame header's height and width, or {0, 0} when the file has none.
std::pair<int, int> FrameSize(const std::vector<uint8_t>& f) {
    for (size_t i = 2; i + 9 < f.size();) {
        if (f[i] != 0xFF) return {0, 0};
        const int marker = f[i + 1];
        const size_t length = size_t{f[i + 2]} << 8 | f[i + 3];
        if (marker == 0xC0) return {f[i + 5] << 8 | f[i + 6], f[i + 7] << 8 | f[i + 8]};
        i += 2 + length;
    }
    return {0, 0};
}

void CheckDecodes(const std::vector<uint8_t>& file, int w, int h, const uint8_t* flat, int quality) {
#ifdef PIXTREL_HAVE_TURBOJPEG
    tjhandle t = tjInitDecompress();
    int dw = 0, dh = 0, subsamp = 0, colorspace = 0;
    FUZZ_CHECK(tjDecompressHeader3(t, file.data(), static_cast<unsigned long>(file.size()), &dw, &dh, &subsamp,
                                   &colorspace) == 0);
    FUZZ_CHECK(dw == w && dh == h);
    std::vector<uint8_t> out(static_cast<size_t>(w) * static_cast<size_t>(h) * 3);
    FUZZ_CHECK(tjDecompress2(t, file.data(), static_cast<unsigned long>(file.size()), out.data(), w, 0, h, TJPF_BGR,
                             TJFLAG_ACCURATEDCT) == 0);
    tjDestroy(t);
    if (flat && quality >= 50)
        for (size_t i = 0; i < out.size(); ++i) FUZZ_CHECK(std::abs(int{out[i]} - int{flat[i % 3]}) <= 8);
#else
    (void)file, (void)w, (void)h, (void)flat, (void)quality;
#endif
}

void CheckLibrary(FuzzedDataProvider& in, const jpeg::Picture& p, int32_t pad) {
    JPEG_CORE_PROPERTIES props{};
    FUZZ_CHECK(jpgInit(&props) == JPG_OK);
    props.DIBWidth = p.width;
    props.DIBHeight = p.bottomUp ? -p.height : p.height;
    props.DIBBytes = p.bits;
    props.DIBPadBytes = pad;
    props.JPGFile = "/dev/null";
    props.JPGWidth = p.width;
    props.JPGHeight = p.height;
    props.jquality = in.ConsumeIntegralInRange<int32_t>(1, 100);
    props.JPGSubsampling = in.ConsumeIntegralInRange<int32_t>(0, 2);
    int32_t mode = JFILE_WRITEWHOLEIMAGE;
    int32_t want = JPG_OK;
    // One field spoilt in a way that never asks for more memory than there is.
    switch (in.ConsumeIntegralInRange<int>(0, 9)) {
        case 0: props.DIBChannels = in.ConsumeIntegral<int32_t>(); want = props.DIBChannels == 3 ? JPG_OK : JPG_ERR_BAD_ARGUMENT; break;
        case 1: props.JPGWidth = p.width + in.ConsumeIntegralInRange<int32_t>(1, 9); want = JPG_ERR_BAD_ARGUMENT; break;
        case 2: props.DIBPadBytes = -in.ConsumeIntegralInRange<int32_t>(1, INT32_MAX); want = JPG_ERR_BAD_ARGUMENT; break;
        case 3: props.JPGFile = nullptr; want = JPG_ERR_BAD_ARGUMENT; break;
        case 4: mode = in.ConsumeIntegral<int32_t>(); want = mode == JFILE_WRITEWHOLEIMAGE ? JPG_OK : JPG_ERR_BAD_MODE; break;
        case 5: props.jquality = fuzz::SizeLike(in, 200); want = props.jquality >= 1 && props.jquality <= 100 ? JPG_OK : JPG_ERR_BAD_ARGUMENT; break;
        case 6: props.JPGSubsampling = fuzz::SizeLike(in, 4); want = props.JPGSubsampling >= 0 && props.JPGSubsampling <= 2 ? JPG_OK : JPG_ERR_BAD_ARGUMENT; break;
        case 7: props.JPGXDensity = fuzz::SizeLike(in, 70000); want = props.JPGXDensity >= 1 && props.JPGXDensity <= 65535 ? JPG_OK : JPG_ERR_BAD_ARGUMENT; break;
        case 8: props.DIBBytes = nullptr; want = JPG_ERR_BAD_ARGUMENT; break;
        default: break;
    }
    FUZZ_CHECK(jpgWrite(&props, mode) == want);
    FUZZ_CHECK(want != JPG_OK || props.JPGSizeBytes > 0);
    FUZZ_CHECK(jpgFree(&props) == JPG_OK);
    FUZZ_CHECK(jpgWrite(&props, JFILE_WRITEWHOLEIMAGE) == JPG_ERR_NOT_INITIALISED);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const bool wide = in.ConsumeIntegralInRange<int>(0, 9) == 0;
    const int32_t w = in.ConsumeIntegralInRange<int32_t>(1, wide ? 3000 : 140);
    const int32_t h = in.ConsumeIntegralInRange<int32_t>(1, wide ? 3 : 100);
    const int32_t pad = in.ConsumeIntegralInRange<int32_t>(0, 17);
    jpeg::Picture p;
    p.width = w;
    p.height = h;
    p.stride = 3 * static_cast<ptrdiff_t>(w) + pad;
    p.bottomUp = in.ConsumeBool();
    jpeg::Settings s;
    s.quality = in.ConsumeIntegralInRange<int32_t>(1, 100);
    s.subsampling = in.ConsumeBool() ? jpeg::Subsampling::Chroma420 : jpeg::Subsampling::Chroma444;
    s.densityUnit = in.ConsumeIntegralInRange<int32_t>(0, 2);
    s.xDensity = in.ConsumeIntegralInRange<int32_t>(1, 65535);
    s.yDensity = in.ConsumeIntegralInRange<int32_t>(1, 65535);

    // Exactly the bytes the picture covers: the last row has no padding, so any read past it is caught.
    std::vector<uint8_t> pixels(static_cast<size_t>(p.stride) * static_cast<size_t>(h - 1) + 3 * static_cast<size_t>(w));
    const bool flat = in.ConsumeBool();
    const uint8_t colour[3] = {in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>(), in.ConsumeIntegral<uint8_t>()};
    if (flat) {
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = colour[(i % static_cast<size_t>(p.stride)) % 3];
    } else {
        const std::vector<uint8_t> bytes = in.ConsumeBytes<uint8_t>(pixels.size());
        for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = bytes.empty() ? 0 : bytes[i % bytes.size()];
    }
    p.bits = pixels.data();

    // Out-of-range arguments: refused, no byte written.
    jpeg::Picture bad = p;
    jpeg::Settings badSettings = s;
    switch (in.ConsumeIntegralInRange<int>(0, 5)) {
        case 0: bad.width = fuzz::SizeLike(in, 70000); break;
        case 1: bad.height = fuzz::SizeLike(in, 70000); break;
        case 2: bad.stride = 3 * static_cast<ptrdiff_t>(w) - in.ConsumeIntegralInRange<int>(1, 3); break;
        case 3: badSettings.quality = fuzz::SizeLike(in, 200); break;
        case 4: badSettings.densityUnit = fuzz::SizeLike(in, 4); break;
        default: bad.bits = nullptr; break;
    }
    if (!jpeg::IsValid(bad, badSettings)) {
        VectorSink none;
        FUZZ_CHECK(jpeg::Encode(bad, badSettings, none) == jpeg::EncodeResult::BadArgument && none.bytes.empty());
    }

    VectorSink stored;
    FUZZ_CHECK(jpeg::IsValid(p, s));
    FUZZ_CHECK(jpeg::Encode(p, s, stored) == jpeg::EncodeResult::Ok);
    const std::vector<uint8_t>& f = stored.bytes;
    FUZZ_CHECK(f.size() > 4 && f[0] == 0xFF && f[1] == 0xD8 && f[f.size() - 2] == 0xFF && f[f.size() - 1] == 0xD9);
    FUZZ_CHECK(FrameSize(f) == std::make_pair(int{h}, int{w}));

    // The store dropped at once: the second pass transforms again, to the same bytes.
    jpeg::Settings lean = s;
    lean.memoryLimit = 1;
    VectorSink again;
    FUZZ_CHECK(jpeg::Encode(p, lean, again) == jpeg::EncodeResult::Ok && again.bytes == f);

    VectorSink refusing(in.ConsumeIntegralInRange<size_t>(0, f.size() - 1));
    FUZZ_CHECK(jpeg::Encode(p, s, refusing) == jpeg::EncodeResult::WriteFailed);

    CheckDecodes(f, w, h, flat ? colour : nullptr, s.quality);
    CheckLibrary(in, p, pad);
    return 0;
}
