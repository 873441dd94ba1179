// BMP reading from a buffer in memory: every header a paint program writes (OS/2 1.x and 2.x,
// Windows 3 and its V2..V5 extensions), 1/2/4/8-bit palettes with RLE4 and RLE8, 16 and 32-bit
// with or without bit masks, and 24-bit; bottom-up and top-down. The header is checked against
// the picture limits and the file size before anything is allocated, so a file that lies about
// its size costs nothing, and every read from the buffer is bounds-checked.

#include "platform/Picture.h"

#include <algorithm>
#include <array>
#include <bit>
#include <string>

namespace {

constexpr uint32_t kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6;
constexpr size_t kFileHeaderBytes = 14;

uint16_t get16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
uint32_t get32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}

// One colour channel of a bit-masked pixel, widened or narrowed to 8 bits.
struct Channel {
    uint32_t mask = 0;
    int32_t shift = 0;
    uint32_t max = 0; // largest value of the field

    explicit Channel(uint32_t m = 0) : mask(m) {
        if (m == 0) return;
        shift = std::countr_zero(m);
        const int32_t bits = 32 - std::countl_zero(m) - shift;
        max = bits >= 32 ? 0xffffffffu : (1u << bits) - 1;
    }
    uint8_t operator()(uint32_t pixel) const {
        if (max == 0) return 0;
        const uint64_t v = (pixel & mask) >> shift;
        return uint8_t((v * 255 + max / 2) / max);
    }
};

struct Header {
    int32_t width = 0;
    int32_t height = 0; // always positive here
    bool topDown = false;
    uint32_t bpp = 0;
    uint32_t compression = kRgb;
    uint32_t masks[3] = {0, 0, 0}; // red, green, blue
    size_t paletteAt = 0;
    uint32_t paletteEntries = 0;
    uint32_t paletteEntryBytes = 4;
    size_t pixelsAt = 0;
};

using Palette = std::array<uint8_t, 256 * 3>; // B, G, R; entries the file lacks stay black

bool fail(std::string& error, const std::string& why) {
    error = why;
    return false;
}

bool readHeader(const uint8_t* d, size_t size, Header& h, std::string& error) {
    if (size < kFileHeaderBytes + 4 || d[0] != 'B' || d[1] != 'M')
        return fail(error, "not a BMP file");
    const uint32_t offBits = get32(d + 10);
    const uint32_t dibSize = get32(d + 14);
    const bool core = dibSize == 12;
    // 16..64 are the OS/2 2.x headers, which may be cut anywhere after the first 16 bytes.
    const bool os2v2 =
        dibSize >= 16 && dibSize <= 64 && dibSize != 40 && dibSize != 52 && dibSize != 56;
    if (!core && !os2v2 && dibSize != 40 && dibSize != 52 && dibSize != 56 && dibSize != 108 &&
        dibSize != 124)
        return fail(error, "unknown BMP header size " + std::to_string(dibSize));
    if (size < kFileHeaderBytes + dibSize) return fail(error, "BMP header is cut short");
    const uint8_t* dib = d + kFileHeaderBytes;

    int64_t width = 0, height = 0;
    if (core) {
        width = get16(dib + 4);
        height = get16(dib + 6);
        h.bpp = get16(dib + 10);
        h.paletteEntryBytes = 3;
    } else {
        width = int32_t(get32(dib + 4));
        height = int32_t(get32(dib + 8));
        h.bpp = get16(dib + 14);
        h.compression = dibSize >= 20 ? get32(dib + 16) : kRgb;
    }
    if (width < 1) return fail(error, "BMP width " + std::to_string(width) + " is not positive");
    if (height < 0) {
        h.topDown = true;
        height = -height; // an int64_t, so even -2^31 turns positive
    }
    if (height < 1) return fail(error, "BMP height is zero");
    if (width > kMaxPictureSide || height > kMaxPictureSide || width * height > kMaxPicturePixels)
        return fail(error, "picture of " + std::to_string(width) + " x " + std::to_string(height) +
                               " pixels is too large");
    h.width = int32_t(width);
    h.height = int32_t(height);

    // OS/2 2.x uses 3 and 4 for Huffman and RLE24, which nothing here reads.
    if (os2v2 && h.compression != kRgb && h.compression != kRle8 && h.compression != kRle4)
        return fail(error,
                    "OS/2 BMP compression " + std::to_string(h.compression) + " is not supported");
    const bool palettised = h.bpp == 1 || h.bpp == 2 || h.bpp == 4 || h.bpp == 8;
    switch (h.compression) {
    case kRgb:
        if (!palettised && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
            return fail(error, "BMP depth of " + std::to_string(h.bpp) + " bits is not supported");
        break;
    case kRle8:
    case kRle4:
        if (h.bpp != (h.compression == kRle8 ? 8u : 4u))
            return fail(error, "BMP run-length data does not match its depth");
        break;
    case kBitfields:
    case kAlphaBitfields:
        if (h.bpp != 16 && h.bpp != 32)
            return fail(error, "BMP bit masks need a depth of 16 or 32 bits");
        break;
    default:
        return fail(error,
                    "BMP compression " + std::to_string(h.compression) + " is not supported");
    }

    size_t afterHeader = kFileHeaderBytes + dibSize;
    if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
        const uint8_t* m = dib + 40;
        if (dibSize == 40) {
            // The Windows 3 header keeps its masks right after itself.
            const size_t maskBytes = h.compression == kAlphaBitfields ? 16 : 12;
            if (size < afterHeader + maskBytes) return fail(error, "BMP bit masks are cut short");
            afterHeader += maskBytes;
        }
        for (int32_t c = 0; c < 3; ++c) h.masks[c] = get32(m + 4 * c);
    } else if (h.bpp == 16) {
        h.masks[0] = 0x7c00; // 5-5-5, the Windows default
        h.masks[1] = 0x03e0;
        h.masks[2] = 0x001f;
    }

    if (palettised) {
        const uint32_t full = 1u << h.bpp;
        const uint32_t used = core || dibSize < 36 ? 0 : get32(dib + 32);
        h.paletteEntries = used == 0 || used > full ? full : used;
        h.paletteAt = afterHeader;
        // Some writers store fewer entries than they declare; take what lies before the pixels.
        if (offBits != 0 && offBits >= afterHeader) {
            const size_t room = (size_t(offBits) - afterHeader) / h.paletteEntryBytes;
            if (room < h.paletteEntries) h.paletteEntries = uint32_t(room);
        }
        const size_t inFile = (size - std::min(size, afterHeader)) / h.paletteEntryBytes;
        if (inFile < h.paletteEntries) h.paletteEntries = uint32_t(inFile);
        if (h.paletteEntries == 0) return fail(error, "BMP palette is missing");
        afterHeader += size_t(h.paletteEntries) * h.paletteEntryBytes;
    }

    // An offset of zero is written by a few old programs: the pixels follow the palette.
    h.pixelsAt = offBits == 0 ? afterHeader : offBits;
    if (h.pixelsAt < kFileHeaderBytes + dibSize || h.pixelsAt >= size)
        return fail(error, "BMP pixel data lies outside the file");
    return true;
}

void readPalette(const uint8_t* d, const Header& h, Palette& pal) {
    pal.fill(0);
    for (uint32_t i = 0; i < h.paletteEntries; ++i) {
        const uint8_t* e = d + h.paletteAt + size_t(i) * h.paletteEntryBytes;
        pal[i * 3] = e[0];
        pal[i * 3 + 1] = e[1];
        pal[i * 3 + 2] = e[2];
    }
}

void putIndex(uint8_t* row, int32_t x, const Palette& pal, uint32_t index) {
    row[x * 3] = pal[index * 3];
    row[x * 3 + 1] = pal[index * 3 + 1];
    row[x * 3 + 2] = pal[index * 3 + 2];
}

bool decodeUncompressed(const uint8_t* d, size_t size, const Header& h, const Palette& pal,
                        Surface& out, std::string& error) {
    const uint64_t stride = (uint64_t(h.width) * h.bpp + 31) / 32 * 4;
    const uint64_t lastRow = (uint64_t(h.width) * h.bpp + 7) / 8;
    // The last row's padding is often left out; its pixels are not.
    if (h.pixelsAt + stride * uint64_t(h.height - 1) + lastRow > size)
        return fail(error, "BMP file is cut short");
    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);

    out.create(h.width, h.height);
    for (int32_t r = 0; r < h.height; ++r) {
        const uint8_t* src = d + h.pixelsAt + size_t(stride) * size_t(r);
        uint8_t* dst = out.row(h.topDown ? r : h.height - 1 - r);
        for (int32_t x = 0; x < h.width; ++x) {
            switch (h.bpp) {
            case 1:
            case 2:
            case 4:
            case 8: {
                const uint32_t bit = uint32_t(x) * h.bpp;
                const uint32_t shift = 8 - h.bpp - bit % 8;
                putIndex(dst, x, pal, (src[bit / 8] >> shift) & ((1u << h.bpp) - 1));
                break;
            }
            case 16: {
                const uint32_t v = get16(src + x * 2);
                dst[x * 3] = blue(v);
                dst[x * 3 + 1] = green(v);
                dst[x * 3 + 2] = red(v);
                break;
            }
            case 24:
                dst[x * 3] = src[x * 3];
                dst[x * 3 + 1] = src[x * 3 + 1];
                dst[x * 3 + 2] = src[x * 3 + 2];
                break;
            default: { // 32
                if (h.compression == kRgb) {
                    dst[x * 3] = src[x * 4];
                    dst[x * 3 + 1] = src[x * 4 + 1];
                    dst[x * 3 + 2] = src[x * 4 + 2];
                } else {
                    const uint32_t v = get32(src + x * 4);
                    dst[x * 3] = blue(v);
                    dst[x * 3 + 1] = green(v);
                    dst[x * 3 + 2] = red(v);
                }
                break;
            }
            }
        }
    }
    return true;
}

// Walks an RLE4 or RLE8 stream. With a null `out` it only checks that the stream is whole, so
// nothing is allocated for a stream that is cut short. Pixels that would land right of a row or
// below the picture are dropped, as are rows a delta skips (they stay black).
bool walkRle(const uint8_t* d, size_t size, const Header& h, const Palette& pal, Surface* out) {
    const bool four = h.compression == kRle4;
    size_t at = h.pixelsAt;
    int32_t x = 0, y = 0; // y counts rows in file order, from the bottom unless top-down
    const auto put = [&](uint32_t index) {
        if (x >= h.width) return;
        if (out) putIndex(out->row(h.topDown ? y : h.height - 1 - y), x, pal, index);
        ++x;
    };
    while (y < h.height) {
        if (size - at < 2) {
            // No end-of-bitmap mark: whole only when the last row has been filled.
            return y == h.height - 1 && x >= h.width;
        }
        const uint8_t count = d[at], value = d[at + 1];
        at += 2;
        if (count > 0) {
            for (uint32_t i = 0; i < count && x < h.width; ++i)
                put(four ? (i % 2 == 0 ? value >> 4 : value & 15) : value);
            continue;
        }
        switch (value) {
        case 0: // end of line
            x = 0;
            ++y;
            break;
        case 1: // end of bitmap
            return true;
        case 2: // delta
            if (size - at < 2) return false;
            x = std::min(x + int32_t(d[at]), h.width);
            y += d[at + 1];
            at += 2;
            break;
        default: { // `value` pixels stored as they are, padded to an even number of bytes
            const size_t bytes = four ? (size_t(value) + 1) / 2 : value;
            if (size - at < bytes) return false;
            for (uint32_t i = 0; i < value; ++i) {
                const uint8_t b = d[at + (four ? i / 2 : i)];
                put(four ? (i % 2 == 0 ? b >> 4 : b & 15) : b);
            }
            at += bytes + bytes % 2;
            if (at > size) at = size; // the last run's padding may be left out
            break;
        }
        }
    }
    return true;
}

} // namespace

bool decodeBmp(const uint8_t* data, size_t size, Surface& out, std::string& error) {
    Header h;
    if (!data) return fail(error, "not a BMP file");
    if (!readHeader(data, size, h, error)) return false;
    Palette pal{};
    readPalette(data, h, pal);
    if (h.compression == kRle8 || h.compression == kRle4) {
        // A stream cut short is refused like any other truncated BMP rather than shown in part.
        if (!walkRle(data, size, h, pal, nullptr)) return fail(error, "BMP file is cut short");
        if (int64_t(h.width) * int64_t(h.height) > int64_t(size) * kMaxPixelsPerFileByte)
            return fail(error, "BMP file is too small for the picture size it claims");
        Surface decoded(h.width, h.height);
        walkRle(data, size, h, pal, &decoded);
        out = std::move(decoded);
        error.clear();
        return true;
    }
    Surface decoded;
    if (!decodeUncompressed(data, size, h, pal, decoded, error)) return false;
    out = std::move(decoded);
    error.clear();
    return true;
}
