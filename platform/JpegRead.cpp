// JPEG reading from a buffer in memory through the TurboJPEG API. TurboJPEG keeps libjpeg's
// default error handler (which ends the whole process) out of the way and reports every
// failure back to us. The size from the header is checked before the pixels are allocated,
// and progressive files are limited in their number of scans, so a crafted file can neither
// make us allocate gigabytes nor decode for seconds.

#include "platform/Picture.h"

#include <turbojpeg.h>

#include <string>
#include <vector>

namespace {

// Frees the TurboJPEG instance on every way out.
class Decompressor {
  public:
    Decompressor() : handle_(tjInitDecompress()) {}
    ~Decompressor() {
        if (handle_) tjDestroy(handle_);
    }
    Decompressor(const Decompressor&) = delete;
    Decompressor& operator=(const Decompressor&) = delete;
    tjhandle get() const { return handle_; }
    std::string message() const { return tjGetErrorStr2(handle_); }

  private:
    tjhandle handle_;
};

// TurboJPEG hands CMYK over as the file stores it, which for the Adobe files that make up
// nearly every CMYK JPEG is inverted (255 = no ink), so the product needs no inversion.
void cmykToBgr(const std::vector<uint8_t>& cmyk, int32_t width, int32_t height, Surface& out) {
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* src = cmyk.data() + size_t(y) * size_t(width) * 4;
        uint8_t* dst = out.row(y);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t c = src[x * 4], m = src[x * 4 + 1], ye = src[x * 4 + 2],
                           k = src[x * 4 + 3];
            dst[x * 3] = uint8_t((ye * k + 127) / 255);
            dst[x * 3 + 1] = uint8_t((m * k + 127) / 255);
            dst[x * 3 + 2] = uint8_t((c * k + 127) / 255);
        }
    }
}

} // namespace

bool decodeJpeg(const uint8_t* data, size_t size, Surface& out, std::string& error) {
    if (!data || size < 4 || data[0] != 0xff || data[1] != 0xd8) {
        error = "not a JPEG file";
        return false;
    }
    Decompressor tj;
    if (!tj.get()) {
        error = "cannot start the JPEG decoder";
        return false;
    }
    // The header call has been seen to succeed on a file cut short without setting the size,
    // so the outputs start at zero and are checked.
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj.get(), data, static_cast<unsigned long>(size), &width, &height,
                            &subsamp, &colorspace) != 0) {
        error = "JPEG header: " + tj.message();
        return false;
    }
    if (width < 1 || height < 1) {
        error = "JPEG header gives no picture size";
        return false;
    }
    if (width > kMaxPictureSide || height > kMaxPictureSide ||
        int64_t(width) * int64_t(height) > kMaxPicturePixels) {
        error = "picture of " + std::to_string(width) + " x " + std::to_string(height) +
                " pixels is too large";
        return false;
    }
    if (int64_t(width) * int64_t(height) > int64_t(size) * kMaxPixelsPerFileByte) {
        error = "JPEG file of " + std::to_string(size) + " bytes cannot hold a picture of " +
                std::to_string(width) + " x " + std::to_string(height) + " pixels";
        return false;
    }

    const bool cmyk = colorspace == TJCS_CMYK || colorspace == TJCS_YCCK;
    const int32_t channels = cmyk ? 4 : 3;
    std::vector<uint8_t> pixels(size_t(width) * size_t(height) * size_t(channels));
    std::string warning;
    if (tjDecompress2(tj.get(), data, static_cast<unsigned long>(size), pixels.data(), width, 0,
                      height, cmyk ? TJPF_CMYK : TJPF_BGR, TJFLAG_LIMITSCANS) != 0) {
        // A warning means the picture came out, perhaps with a damaged or grey part: a file cut
        // short, or the stray bytes between markers that many cameras write. As a dimmed
        // backdrop such a picture is still worth showing, so it is kept and the warning is
        // passed on; only a fatal error refuses the file.
        if (tjGetErrorCode(tj.get()) != TJERR_WARNING) {
            error = "JPEG data: " + tj.message();
            return false;
        }
        warning = "JPEG data: " + tj.message();
    }

    Surface decoded(width, height);
    if (cmyk) {
        cmykToBgr(pixels, width, height, decoded);
    } else {
        for (int32_t y = 0; y < height; ++y) {
            const uint8_t* src = pixels.data() + size_t(y) * size_t(width) * 3;
            std::copy(src, src + size_t(width) * 3, decoded.row(y));
        }
    }
    out = std::move(decoded);
    error = warning;
    return true;
}
