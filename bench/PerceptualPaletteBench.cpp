// The perceptual palette on 1920 x 1080 screenshot-like pictures beside
// pngquant in one run: two with a noisy photo-like area (two seeds) and a
// flat UI screenshot without it. Both without dithering, each mapping every
// pixel to its palette; PSNR over red, green and blue and SSIM on luma
// (11 x 11 Gaussian window, sigma 1.5) computed here the same way for both,
// with the median wall and CPU time of each over the rounds. Ours is the
// palette plus the mapping of every pixel, in process; pngquant's is the
// whole program on the same picture as PNG (reading and writing the file
// included, which it cannot skip).
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bench/ScreenshotPicture.h"
#include "imaging/core/NearestColorMap.h"
#include "imaging/core/PerceptualQuantizer.h"

namespace {

using px::bench::Screenshot32;
namespace fs = std::filesystem;

struct Rgb {
    int32_t width = 0, height = 0;
    std::vector<uint8_t> data;  // red, green, blue
};

Rgb ToRgb(const Screenshot32& s) {
    Rgb out{s.width, s.height, std::vector<uint8_t>(static_cast<size_t>(s.width) * s.height * 3)};
    for (size_t i = 0; i < static_cast<size_t>(s.width) * s.height; ++i)
        for (int c = 0; c < 3; ++c) out.data[3 * i + c] = s.bgra[4 * i + 2 - c];
    return out;
}

void WritePpm(const fs::path& file, const Rgb& p) {
    std::ofstream out(file, std::ios::binary);
    out << "P6\n" << p.width << " " << p.height << "\n255\n";
    out.write(reinterpret_cast<const char*>(p.data.data()), static_cast<std::streamsize>(p.data.size()));
}

Rgb ReadPpm(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::string magic;
    int maxValue = 0;
    Rgb p;
    in >> magic >> p.width >> p.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255 || p.width <= 0 || p.height <= 0) return {};
    p.data.resize(static_cast<size_t>(p.width) * p.height * 3);
    in.read(reinterpret_cast<char*>(p.data.data()), static_cast<std::streamsize>(p.data.size()));
    return in ? p : Rgb{};
}

double Psnr(const Rgb& a, const Rgb& b) {
    double sum = 0;
    for (size_t i = 0; i < a.data.size(); ++i) {
        const double d = static_cast<double>(a.data[i]) - static_cast<double>(b.data[i]);
        sum += d * d;
    }
    const double mse = sum / static_cast<double>(a.data.size());
    return mse == 0 ? INFINITY : 10 * std::log10(255.0 * 255.0 / mse);
}

std::vector<double> Luma(const Rgb& p) {
    std::vector<double> y(static_cast<size_t>(p.width) * p.height);
    for (size_t i = 0; i < y.size(); ++i)
        y[i] = 0.299 * p.data[3 * i] + 0.587 * p.data[3 * i + 1] + 0.114 * p.data[3 * i + 2];
    return y;
}

// Separable Gaussian blur, 11 taps, edges clamped.
std::vector<double> Blur(const std::vector<double>& v, int32_t w, int32_t h) {
    double k[11], total = 0;
    for (int i = 0; i < 11; ++i) total += k[i] = std::exp(-((i - 5) * (i - 5)) / (2 * 1.5 * 1.5));
    for (double& x : k) x /= total;
    std::vector<double> t(v.size()), out(v.size());
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            double s = 0;
            for (int i = 0; i < 11; ++i) s += k[i] * v[static_cast<size_t>(y) * w + std::clamp(x + i - 5, 0, w - 1)];
            t[static_cast<size_t>(y) * w + x] = s;
        }
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x) {
            double s = 0;
            for (int i = 0; i < 11; ++i) s += k[i] * t[static_cast<size_t>(std::clamp(y + i - 5, 0, h - 1)) * w + x];
            out[static_cast<size_t>(y) * w + x] = s;
        }
    return out;
}

double Ssim(const Rgb& a, const Rgb& b) {
    const std::vector<double> x = Luma(a), y = Luma(b);
    std::vector<double> xx(x.size()), yy(x.size()), xy(x.size());
    for (size_t i = 0; i < x.size(); ++i) {
        xx[i] = x[i] * x[i];
        yy[i] = y[i] * y[i];
        xy[i] = x[i] * y[i];
    }
    const auto mx = Blur(x, a.width, a.height), my = Blur(y, a.width, a.height);
    const auto sxx = Blur(xx, a.width, a.height), syy = Blur(yy, a.width, a.height), sxy = Blur(xy, a.width, a.height);
    const double c1 = (0.01 * 255) * (0.01 * 255), c2 = (0.03 * 255) * (0.03 * 255);
    double sum = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        const double vx = sxx[i] - mx[i] * mx[i], vy = syy[i] - my[i] * my[i], cxy = sxy[i] - mx[i] * my[i];
        sum += ((2 * mx[i] * my[i] + c1) * (2 * cxy + c2)) / ((mx[i] * mx[i] + my[i] * my[i] + c1) * (vx + vy + c2));
    }
    return sum / static_cast<double>(x.size());
}

double CpuSeconds(int who) {
    rusage u{};
    getrusage(who, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

double Now() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}

struct Run {
    std::vector<double> wall, cpu;  // one a round; the medians are printed
    size_t colours = 0;
    Rgb result;
};

// Palette and mapping of every pixel: the whole quantisation as the window runs it.
Rgb QuantiseOurs(const Screenshot32& s, size_t& colours) {
    const px::Pixels32 picture{const_cast<uint8_t*>(s.bgra.data()), s.width, s.height};
    const std::vector<px::Rgb8> palette = px::BuildPerceptualPalette(picture);
    px::NearestColorMap map(palette);
    Rgb out{s.width, s.height, std::vector<uint8_t>(static_cast<size_t>(s.width) * s.height * 3)};
    for (size_t i = 0; i < static_cast<size_t>(s.width) * s.height; ++i) {
        const px::Rgb8& e = palette[map(s.bgra[4 * i + 2], s.bgra[4 * i + 1], s.bgra[4 * i])];
        out.data[3 * i] = e.red;
        out.data[3 * i + 1] = e.green;
        out.data[3 * i + 2] = e.blue;
    }
    colours = palette.size();
    return out;
}

std::string Convert() {
    for (const char* c : {"/usr/bin/convert-im6.q16", "/usr/bin/convert"})
        if (fs::exists(c)) return c;
    return "convert";
}

void Print(const char* name, const Run& r, const Rgb& original) {
    std::printf("%-16s %8zu %9.2f %8.4f %10.1f %10.1f\n", name, r.colours, Psnr(original, r.result),
                Ssim(original, r.result), 1000 * Median(r.wall), 1000 * Median(r.cpu));
}

// Both quantisers on one picture, in alternating rounds so both meet the same load on the machine.
bool Compare(const char* title, const Screenshot32& shot, int rounds) {
    const Rgb original = ToRgb(shot);
    const fs::path dir = fs::temp_directory_path() / ("pixtrel-palette-bench-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    WritePpm(dir / "in.ppm", original);
    const std::string convert = Convert();
    if (std::system((convert + " " + (dir / "in.ppm").string() + " " + (dir / "in.png").string()).c_str()) != 0) {
        std::fprintf(stderr, "ImageMagick could not write the PNG\n");
        return false;
    }
    const std::string quant = "pngquant --nofs --force --output " + (dir / "out.png").string() + " 256 " +
                              (dir / "in.png").string();
    Run ours, theirs;
    for (int round = 0; round < rounds; ++round) {
        double w0 = Now(), c0 = CpuSeconds(RUSAGE_SELF);
        ours.result = QuantiseOurs(shot, ours.colours);
        ours.wall.push_back(Now() - w0);
        ours.cpu.push_back(CpuSeconds(RUSAGE_SELF) - c0);

        w0 = Now();
        c0 = CpuSeconds(RUSAGE_CHILDREN);
        if (std::system(quant.c_str()) != 0) {
            std::fprintf(stderr, "pngquant failed: %s\n", quant.c_str());
            return false;
        }
        theirs.wall.push_back(Now() - w0);
        theirs.cpu.push_back(CpuSeconds(RUSAGE_CHILDREN) - c0);
    }
    if (std::system((convert + " " + (dir / "out.png").string() + " " + (dir / "out.ppm").string()).c_str()) != 0)
        return false;
    theirs.result = ReadPpm(dir / "out.ppm");
    const std::string count = convert + " " + (dir / "out.png").string() + " -format %k info:";
    if (FILE* f = ::popen(count.c_str(), "r")) {
        if (std::fscanf(f, "%zu", &theirs.colours) != 1) theirs.colours = 0;
        ::pclose(f);
    }
    fs::remove_all(dir);
    if (theirs.result.data.size() != original.data.size()) {
        std::fprintf(stderr, "pngquant's result could not be read back\n");
        return false;
    }
    std::printf("\n%s\n", title);
    std::printf("%-16s %8s %9s %8s %10s %10s\n", "quantiser", "colours", "PSNR dB", "SSIM", "wall ms", "CPU ms");
    Print("ours", ours, original);
    Print("pngquant", theirs, original);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    std::printf("1920 x 1080 screenshot-like pictures, no dithering, medians of %d rounds\n", rounds);
    const bool ok = Compare("with a noisy photo-like area (seed 42)", px::bench::MakeScreenshot(1920, 1080, 42), rounds) &&
                    Compare("with a noisy photo-like area (seed 7)", px::bench::MakeScreenshot(1920, 1080, 7), rounds) &&
                    Compare("flat UI, no photo-like area (seed 42)",
                            px::bench::MakeScreenshot(1920, 1080, 42, false), rounds);
    return ok ? 0 : 1;
}
