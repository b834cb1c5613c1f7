#pragma once
// Test-side helpers for the JPEG encoder: an independent decoder (libjpeg-turbo
// when linked, else its djpeg program), the reference encoder cjpeg for
// fidelity comparisons, and scratch folders.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "tests/core/JpegTestPicture.h"

#ifdef PIXTREL_HAVE_TURBOJPEG
#include <turbojpeg.h>
#endif

namespace px::test {

inline std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool WriteFileBytes(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return static_cast<bool>(out);
}

// A folder of its own for one test, removed with its contents afterwards.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::string& tag) {
        path_ = std::filesystem::temp_directory_path() /
                ("pixtrel-jpeg-" + tag + "-" + std::to_string(::getpid()));
        std::filesystem::remove_all(path_);
        std::filesystem::create_directories(path_);
    }
    ~ScratchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(path_, ec);
    }
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline bool ProgramAvailable(const char* name) {
    const std::string command = std::string("command -v ") + name + " >/dev/null 2>&1";
    return std::system(command.c_str()) == 0;
}

// Binary PPM (red, green, blue) of a blue-green-red picture.
inline std::vector<uint8_t> ToPpm(const BgrPicture& p) {
    const std::string header = "P6\n" + std::to_string(p.width) + " " + std::to_string(p.height) + "\n255\n";
    std::vector<uint8_t> out(header.begin(), header.end());
    for (int y = 0; y < p.height; ++y) {
        for (int x = 0; x < p.width; ++x) {
            const uint8_t* px = p.Pixel(x, y);
            out.insert(out.end(), {px[2], px[1], px[0]});
        }
    }
    return out;
}

inline std::optional<BgrPicture> FromPpm(const std::vector<uint8_t>& bytes) {
    const std::string text(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
    int w = 0, h = 0, maxval = 0, consumed = 0;
    if (std::sscanf(text.c_str(), "P6 %d %d %d%n", &w, &h, &maxval, &consumed) != 3 || maxval != 255) return std::nullopt;
    const size_t start = static_cast<size_t>(consumed) + 1;
    if (bytes.size() < start + 3 * static_cast<size_t>(w) * h) return std::nullopt;
    BgrPicture p;
    p.width = w;
    p.height = h;
    p.stride = 3 * static_cast<size_t>(w);
    p.bytes.resize(p.stride * h);
    for (size_t i = 0; i < static_cast<size_t>(w) * h; ++i) {
        p.bytes[3 * i] = bytes[start + 3 * i + 2];
        p.bytes[3 * i + 1] = bytes[start + 3 * i + 1];
        p.bytes[3 * i + 2] = bytes[start + 3 * i];
    }
    return p;
}

inline bool DecoderAvailable() {
#ifdef PIXTREL_HAVE_TURBOJPEG
    return true;
#else
    return ProgramAvailable("djpeg");
#endif
}

// Decodes a JPEG file's bytes with libjpeg's defaults (interpolating colour
// upsampling), or nothing when the data is not a valid JPEG.
inline std::optional<BgrPicture> DecodeJpeg(const std::vector<uint8_t>& jpeg) {
#ifdef PIXTREL_HAVE_TURBOJPEG
    tjhandle h = tjInitDecompress();
    int w = 0, hgt = 0, subsamp = 0, colorspace = 0;
    std::optional<BgrPicture> result;
    if (tjDecompressHeader3(h, jpeg.data(), static_cast<unsigned long>(jpeg.size()), &w, &hgt, &subsamp, &colorspace) == 0) {
        BgrPicture p;
        p.width = w;
        p.height = hgt;
        p.stride = 3 * static_cast<size_t>(w);
        p.bytes.resize(p.stride * hgt);
        if (tjDecompress2(h, jpeg.data(), static_cast<unsigned long>(jpeg.size()), p.bytes.data(), w, 0, hgt, TJPF_BGR,
                          0) == 0)
            result = std::move(p);
    }
    tjDestroy(h);
    return result;
#else
    ScratchFolder folder("decode");
    if (!WriteFileBytes(folder / "in.jpg", jpeg)) return std::nullopt;
    const std::string command = "djpeg -ppm -outfile '" + (folder / "out.ppm").string() + "' '" +
                                (folder / "in.jpg").string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return std::nullopt;
    return FromPpm(ReadFileBytes(folder / "out.ppm"));
#endif
}

// libjpeg-turbo's own encoder (cjpeg: accurate integer DCT, optimised Huffman
// tables) on the same picture; empty when cjpeg is not installed.
inline std::vector<uint8_t> ReferenceEncode(const BgrPicture& p, int quality, bool subsampled) {
    ScratchFolder folder("reference");
    if (!WriteFileBytes(folder / "in.ppm", ToPpm(p))) return {};
    const std::string command = "cjpeg -quality " + std::to_string(quality) + " -sample " +
                                (subsampled ? "2x2" : "1x1") + " -optimize -outfile '" + (folder / "out.jpg").string() +
                                "' '" + (folder / "in.ppm").string() + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) return {};
    return ReadFileBytes(folder / "out.jpg");
}

}  // namespace px::test
