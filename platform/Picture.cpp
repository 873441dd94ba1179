// Picture files read from disk: the whole file is read into memory under a size cap, through
// the platform's regular-file check, and then decoded from that buffer.

#include "platform/Picture.h"

#include "platform/Platform.h"

#include <cstdio>

namespace {

// Far above any backdrop a player would pick (64 Mpixel as 32-bit BMP is 256 MiB), and low
// enough that a stray disk image or a device file is refused before it is read.
constexpr size_t kMaxPictureFileBytes = size_t(256) * 1024 * 1024;

bool readPictureFile(Platform& platform, const std::string& path, std::vector<uint8_t>& bytes,
                     std::string& error) {
    switch (platform.readFile(path, kMaxPictureFileBytes, bytes)) {
    case ReadStatus::Ok:
        return true;
    case ReadStatus::Missing:
        error = "no such file";
        return false;
    case ReadStatus::NotRegular:
        error = "not a regular file";
        return false;
    case ReadStatus::TooLarge:
        error = "file is larger than 256 MiB";
        return false;
    case ReadStatus::Error:
        break;
    }
    error = "file cannot be read";
    return false;
}

// ".jpg" or ".jpeg" in any letter case, the rule the picture dialog's filter follows.
bool hasJpegExtension(const std::string& path) {
    const size_t dot = path.find_last_of('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return false;
    std::string ext = path.substr(dot + 1);
    for (char& c : ext)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return ext == "jpg" || ext == "jpeg";
}

// A picture that decoded with a warning is kept; the player learns why it looks damaged.
void reportWarning(const std::string& path, const std::string& warning) {
    if (!warning.empty())
        std::fprintf(stderr, "vortalix: %s: %s (shown as far as it could be read)\n", path.c_str(),
                     warning.c_str());
}

} // namespace

bool loadPicture(Platform& platform, const std::string& path, Surface& out, std::string& error) {
    if (!hasJpegExtension(path)) return loadBmpFile(platform, path, out, error);
    std::vector<uint8_t> bytes;
    if (!readPictureFile(platform, path, bytes, error)) return false;
    if (!decodeJpeg(bytes.data(), bytes.size(), out, error)) return false;
    reportWarning(path, error);
    return true;
}

bool loadBmpFile(Platform& platform, const std::string& path, Surface& out, std::string& error) {
    std::vector<uint8_t> bytes;
    if (!readPictureFile(platform, path, bytes, error)) return false;
    if (!decodeBmp(bytes.data(), bytes.size(), out, error)) return false;
    reportWarning(path, error);
    return true;
}
