// 24-bit BMP writing: a BITMAPFILEHEADER, a BITMAPINFOHEADER and bottom-up rows padded to
// four bytes, the form every image viewer reads.

#include "platform/Picture.h"

namespace {
void put16(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    v[at] = uint8_t(x);
    v[at + 1] = uint8_t(x >> 8);
}
void put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
    put16(v, at, x & 0xffff);
    put16(v, at + 2, x >> 16);
}
} // namespace

std::vector<uint8_t> encodeBmp24(const Surface& s) {
    const uint32_t w = uint32_t(s.width()), h = uint32_t(s.height());
    const uint32_t stride = (w * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * h;
    std::vector<uint8_t> v(54 + size_t(imageSize), 0);
    v[0] = 'B';
    v[1] = 'M';
    put32(v, 2, 54 + imageSize);
    put32(v, 10, 54);
    put32(v, 14, 40);
    put32(v, 18, w);
    put32(v, 22, h);
    put16(v, 26, 1);
    put16(v, 28, 24);
    put32(v, 34, imageSize);
    put32(v, 38, 2835); // 72 dpi
    put32(v, 42, 2835);
    for (uint32_t y = 0; y < h; ++y) {
        const uint8_t* src = s.row(int32_t(h - 1 - y));
        std::copy(src, src + size_t(w) * 3, v.begin() + 54 + std::ptrdiff_t(y) * stride);
    }
    return v;
}
