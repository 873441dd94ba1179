#pragma once
// Files the picture, settings and start-up tests make for themselves: a temporary directory
// that cleans up after itself, whole-file reads and writes, and JPEGs compressed on the spot.

#include "render/Surface.h"

#include <turbojpeg.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace fixtures {

class TempDir {
  public:
    TempDir() {
        std::random_device rd;
        const auto base = std::filesystem::temp_directory_path();
        for (int32_t attempt = 0; attempt < 100; ++attempt) {
            const auto candidate = base / ("vortalix-test-" + std::to_string(rd()));
            if (std::filesystem::create_directory(candidate)) {
                path_ = candidate.string();
                return;
            }
        }
        throw std::runtime_error("no temporary directory");
    }
    ~TempDir() {
        std::error_code ec;
        // A test may have taken away the write permission; give it back so cleaning works.
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(path_, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

  private:
    std::string path_;
};

inline void writeBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
    if (!f) throw std::runtime_error("cannot write " + path);
}

inline void writeText(const std::string& path, const std::string& text) {
    writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f), {});
}

inline std::string readText(const std::string& path) {
    const std::vector<uint8_t> b = readBytes(path);
    return std::string(b.begin(), b.end());
}

// Compresses a picture whose pixels `colour` gives as red, green, blue (or grey in the red
// channel for TJPF_GRAY, or C, M, Y, K for TJPF_CMYK).
inline std::vector<uint8_t>
makeJpeg(int32_t width, int32_t height, int32_t pixelFormat, int32_t subsamp, int32_t flags,
         const std::function<void(int32_t x, int32_t y, uint8_t* px)>& colour) {
    const int32_t channels = tjPixelSize[pixelFormat];
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * size_t(channels));
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t c[4] = {0, 0, 0, 0};
            colour(x, y, c);
            uint8_t* px = pixels.data() + (size_t(y) * size_t(width) + size_t(x)) * channels;
            if (pixelFormat == TJPF_RGB) {
                px[0] = c[0];
                px[1] = c[1];
                px[2] = c[2];
            } else if (pixelFormat == TJPF_GRAY) {
                px[0] = c[0];
            } else {
                for (int32_t i = 0; i < channels; ++i) px[i] = c[i];
            }
        }
    tjhandle tj = tjInitCompress();
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(tj, pixels.data(), width, 0, height, pixelFormat, &jpeg, &size,
                               subsamp, 90, flags);
    std::vector<uint8_t> out;
    if (rc == 0) out.assign(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    if (rc != 0) throw std::runtime_error("tjCompress2 failed");
    return out;
}

// A small colour picture: red left half, blue right half, a white bottom quarter.
inline std::vector<uint8_t> makeColourJpeg(int32_t width = 32, int32_t height = 32,
                                           int32_t flags = 0) {
    return makeJpeg(width, height, TJPF_RGB, TJSAMP_420, flags,
                    [width, height](int32_t x, int32_t y, uint8_t* c) {
                        if (y >= height * 3 / 4) {
                            c[0] = c[1] = c[2] = 255;
                        } else if (x < width / 2) {
                            c[0] = 255;
                        } else {
                            c[2] = 255;
                        }
                    });
}

// Red left half, blue right half, with fine noise on top: most of the file is then scan data,
// so a file cut short loses pixels rather than its tables.
inline std::vector<uint8_t> makeTexturedJpeg(int32_t width, int32_t height, int32_t flags = 0) {
    return makeJpeg(width, height, TJPF_RGB, TJSAMP_420, flags,
                    [width](int32_t x, int32_t y, uint8_t* c) {
                        const uint8_t noise = uint8_t((x * 131 + y * 71 + x * y * 13) % 25);
                        c[0] = x < width / 2 ? uint8_t(255 - noise) : noise;
                        c[1] = noise;
                        c[2] = x < width / 2 ? noise : uint8_t(255 - noise);
                    });
}

inline Surface solidSurface(int32_t width, int32_t height, uint8_t blue, uint8_t green,
                            uint8_t red) {
    Surface s(width, height);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            s.row(y)[x * 3] = blue;
            s.row(y)[x * 3 + 1] = green;
            s.row(y)[x * 3 + 2] = red;
        }
    return s;
}

} // namespace fixtures
