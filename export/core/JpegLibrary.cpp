#include "export/core/JpegLibrary.h"

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <new>
#include <string>
#include <system_error>

#include "export/core/JpegEncoder.h"

namespace px {
namespace {

// What the library keeps in the block's working area.
struct LibraryState {
    uint32_t magic;
};
constexpr uint32_t kInitialisedMagic = 0x4A504721;  // "JPG!"
static_assert(sizeof(LibraryState) <= sizeof(JPEG_CORE_PROPERTIES::jprops));

LibraryState* State(JPEG_CORE_PROPERTIES* props) { return reinterpret_cast<LibraryState*>(props->jprops); }

bool IsInitialised(JPEG_CORE_PROPERTIES* props) {
    uint32_t magic;
    std::memcpy(&magic, props->jprops, sizeof magic);
    return magic == kInitialisedMagic;
}

// The file's bytes go straight to disk; the sink remembers the first failure.
class FileSink : public jpeg::Sink {
public:
    explicit FileSink(std::ofstream& file) : file_(file) {}
    bool Write(const uint8_t* data, size_t size) override {
        file_.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        if (!file_) return false;
        written_ += size;
        return true;
    }
    uint64_t written() const { return written_; }

private:
    std::ofstream& file_;
    uint64_t written_ = 0;
};

bool ValidFields(const JPEG_CORE_PROPERTIES& p) {
    const int64_t height = p.DIBHeight < 0 ? -static_cast<int64_t>(p.DIBHeight) : p.DIBHeight;
    return p.DIBBytes != nullptr && p.DIBWidth > 0 && height > 0 && p.DIBPadBytes >= 0 && p.DIBChannels == 3 &&
           p.DIBColor == JPG_COLOR_BGR && p.JPGChannels == 3 && p.JPGColor == JPG_COLOR_YCBCR &&
           p.JPGWidth == p.DIBWidth && p.JPGHeight == height && p.JPGFile != nullptr && p.JPGFile[0] != '\0' &&
           (p.JPGSubsampling == JPG_SUBSAMPLING_AUTO || p.JPGSubsampling == JPG_SUBSAMPLING_420 ||
            p.JPGSubsampling == JPG_SUBSAMPLING_444);
}

jpeg::Subsampling ChooseSubsampling(int32_t subsampling, int32_t quality) {
    switch (subsampling) {
        case JPG_SUBSAMPLING_420: return jpeg::Subsampling::Chroma420;
        case JPG_SUBSAMPLING_444: return jpeg::Subsampling::Chroma444;
        default: return quality >= JPG_AUTO_444_QUALITY ? jpeg::Subsampling::Chroma444 : jpeg::Subsampling::Chroma420;
    }
}

void RemovePartialFile(const std::filesystem::path& path) {
    // Only a regular file we wrote into; never a device or anything else the name may lead to.
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) std::filesystem::remove(path, ec);
}

int32_t WriteFile(JPEG_CORE_PROPERTIES* props, const jpeg::Picture& picture, const jpeg::Settings& settings) {
    std::filesystem::path path;
    try {
        const std::string name(props->JPGFile);
        path = std::filesystem::path(std::u8string(name.begin(), name.end()));
    } catch (const std::exception&) {
        return JPG_ERR_BAD_ARGUMENT;  // not a valid UTF-8 path
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file.is_open()) return JPG_ERR_CREATE_FILE;
    FileSink sink(file);
    const jpeg::EncodeResult result = jpeg::Encode(picture, settings, sink);
    if (result == jpeg::EncodeResult::Ok) file.flush();
    file.close();
    if (result != jpeg::EncodeResult::Ok || file.fail()) {
        RemovePartialFile(path);
        switch (result) {
            case jpeg::EncodeResult::BadArgument: return JPG_ERR_BAD_ARGUMENT;
            case jpeg::EncodeResult::OutOfMemory: return JPG_ERR_OUT_OF_MEMORY;
            default: return JPG_ERR_WRITE_FILE;
        }
    }
    props->JPGSizeBytes = static_cast<uint32_t>(std::min<uint64_t>(sink.written(), std::numeric_limits<uint32_t>::max()));
    return JPG_OK;
}

}  // namespace

int32_t jpgInit(JPEG_CORE_PROPERTIES* props) {
    if (props == nullptr) return JPG_ERR_BAD_ARGUMENT;
    props->DIBChannels = 3;
    props->DIBColor = JPG_COLOR_BGR;
    props->JPGChannels = 3;
    props->JPGColor = JPG_COLOR_YCBCR;
    props->JPGSubsampling = JPG_SUBSAMPLING_AUTO;
    props->jquality = 75;
    props->JPGDensityUnit = 0;
    props->JPGXDensity = 1;
    props->JPGYDensity = 1;
    props->JPGSizeBytes = 0;
    State(props)->magic = kInitialisedMagic;
    return JPG_OK;
}

int32_t jpgWrite(JPEG_CORE_PROPERTIES* props, int32_t mode) {
    if (props == nullptr) return JPG_ERR_BAD_ARGUMENT;
    if (!IsInitialised(props)) return JPG_ERR_NOT_INITIALISED;
    if (mode != JFILE_WRITEWHOLEIMAGE) return JPG_ERR_BAD_MODE;
    props->JPGSizeBytes = 0;
    if (!ValidFields(*props)) return JPG_ERR_BAD_ARGUMENT;

    jpeg::Picture picture;
    picture.bits = props->DIBBytes;
    picture.width = props->DIBWidth;
    picture.height = props->JPGHeight;
    picture.stride = 3 * static_cast<ptrdiff_t>(props->DIBWidth) + props->DIBPadBytes;
    picture.bottomUp = props->DIBHeight < 0;
    jpeg::Settings settings;
    settings.quality = props->jquality;
    settings.subsampling = ChooseSubsampling(props->JPGSubsampling, props->jquality);
    settings.densityUnit = props->JPGDensityUnit;
    settings.xDensity = props->JPGXDensity;
    settings.yDensity = props->JPGYDensity;
    if (!jpeg::IsValid(picture, settings)) return JPG_ERR_BAD_ARGUMENT;
    try {
        return WriteFile(props, picture, settings);
    } catch (const std::bad_alloc&) {
        return JPG_ERR_OUT_OF_MEMORY;
    }
}

int32_t jpgFree(JPEG_CORE_PROPERTIES* props) {
    if (props == nullptr) return JPG_ERR_BAD_ARGUMENT;
    if (!IsInitialised(props)) return JPG_ERR_NOT_INITIALISED;
    // Nothing outlives a jpgWrite call; the block just stops being prepared.
    std::memset(props->jprops, 0, sizeof(LibraryState));
    return JPG_OK;
}

}  // namespace px
