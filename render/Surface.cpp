#include "render/Surface.h"

#include <algorithm>
#include <cstring>

namespace {

// The part of a placement that lies inside dst, as source and destination origins.
struct Clip {
    int32_t sx, sy, dx, dy, w, h;
};

bool clip(const Surface& dst, int32_t x, int32_t y, const Surface& src, const Rect& r, Clip& c) {
    // A rectangle reaching outside its sheet (a replaced picture file smaller than the layout)
    // draws nothing rather than reading past the sheet.
    if (r.left < 0 || r.top < 0 || r.right > src.width() || r.bottom > src.height()) return false;
    c.sx = r.left;
    c.sy = r.top;
    c.dx = x;
    c.dy = y;
    c.w = r.right - r.left;
    c.h = r.bottom - r.top;
    if (c.dx < 0) {
        c.sx -= c.dx;
        c.w += c.dx;
        c.dx = 0;
    }
    if (c.dy < 0) {
        c.sy -= c.dy;
        c.h += c.dy;
        c.dy = 0;
    }
    if (c.dx + c.w > dst.width()) c.w = dst.width() - c.dx;
    if (c.dy + c.h > dst.height()) c.h = dst.height() - c.dy;
    return c.w > 0 && c.h > 0;
}

inline bool opaquePixel(const uint8_t* s) {
    return s[0] != 0 && s[1] != 0 && s[2] != 0;
}

// Non-zero when one of the eight bytes is zero (the classic bit trick: only a zero byte
// borrows into its own top bit without having had it set).
inline uint64_t zeroBytes(uint64_t v) {
    return (v - 0x0101010101010101ull) & ~v & 0x8080808080808080ull;
}

inline uint8_t addSat(uint8_t a, uint8_t b) {
    const int s = int(a) + int(b);
    return uint8_t(s > 255 ? 255 : s);
}

} // namespace

void imgputfast(Surface& dst, int32_t x, int32_t y, const Surface& src, Rect srcrect,
                uint8_t mode) {
    if (mode > 1) return;
    Clip c;
    if (!clip(dst, x, y, src, srcrect, c)) return;
    for (int32_t j = c.h - 1; j >= 0; --j) {
        const uint8_t* s = src.row(c.sy + j) + size_t(c.sx) * 3;
        uint8_t* d = dst.row(c.dy + j) + size_t(c.dx) * 3;
        if (mode == 0) {
            std::copy(s, s + size_t(c.w) * 3, d);
            continue;
        }
        int32_t i = 0;
        // The trail layer drawn every frame is mostly black, and black is see-through: eight
        // black pixels at a time are passed over with three loads. Pictures (the logo, the
        // items, the letters) are mostly solid: eight pixels without a zero byte among them
        // are all opaque and copied at once.
        for (; i + 8 <= c.w; i += 8, s += 24, d += 24) {
            uint64_t w0, w1, w2;
            std::memcpy(&w0, s, 8);
            std::memcpy(&w1, s + 8, 8);
            std::memcpy(&w2, s + 16, 8);
            if ((w0 | w1 | w2) == 0) continue;
            if ((zeroBytes(w0) | zeroBytes(w1) | zeroBytes(w2)) == 0) {
                std::memcpy(d, s, 24);
                continue;
            }
            for (int32_t k = 0; k < 24; k += 3)
                if (opaquePixel(s + k)) {
                    d[k] = s[k];
                    d[k + 1] = s[k + 1];
                    d[k + 2] = s[k + 2];
                }
        }
        for (; i < c.w; ++i, s += 3, d += 3) {
            if (opaquePixel(s)) {
                d[0] = s[0];
                d[1] = s[1];
                d[2] = s[2];
            }
        }
    }
}

void imgblend(Surface& dst, int32_t x, int32_t y, const Surface& src, Rect srcrect, uint8_t key,
              uint8_t op) {
    if (key > 1 || op > 1) return;
    Clip c;
    if (!clip(dst, x, y, src, srcrect, c)) return;
    for (int32_t j = c.h - 1; j >= 0; --j) {
        const uint8_t* s = src.row(c.sy + j) + size_t(c.sx) * 3;
        uint8_t* d = dst.row(c.dy + j) + size_t(c.dx) * 3;
        for (int32_t i = 0; i < c.w; ++i, s += 3, d += 3) {
            if (key == 1 && !opaquePixel(s)) continue;
            for (int k = 0; k < 3; ++k) {
                d[k] = op == 0 ? addSat(d[k], s[k]) : uint8_t(d[k] / 4 + s[k] / 4);
            }
        }
    }
}

void stbar(Surface& dst, int32_t x, int32_t y, int32_t width, int32_t rows, int32_t maxval,
           int32_t value, uint8_t red, uint8_t green, uint8_t blue, uint8_t additive) {
    if (value <= 0 || maxval <= 0) return;
    const int32_t v = std::min(value, maxval);
    const int32_t len = int32_t(double(int64_t(width) * v) / double(maxval));
    // Columns x .. x + len inclusive, kept inside the surface.
    const int32_t x0 = std::max(x, 0);
    const int32_t x1 = std::min(x + len, dst.width() - 1);
    const int32_t y0 = std::max(y, 0);
    const int32_t y1 = std::min(y + rows - 1, dst.height() - 1);
    if (x0 > x1 || y0 > y1) return;
    for (int32_t r = y1; r >= y0; --r) {
        uint8_t* d = dst.row(r) + size_t(x0) * 3;
        for (int32_t i = x0; i <= x1; ++i, d += 3) {
            if (additive) {
                d[0] = addSat(d[0], blue);
                d[1] = addSat(d[1], green);
                d[2] = addSat(d[2], red);
            } else {
                d[0] = blue;
                d[1] = green;
                d[2] = red;
            }
        }
    }
}

void imgstretch(Surface& dst, const Surface& src) {
    const int32_t h = std::min(dst.height() - 1, src.height() * 2);
    const int32_t w = std::min(dst.width(), src.width() * 2);
    for (int32_t r = 0; r < h; ++r) {
        const uint8_t* s = src.row(r / 2);
        uint8_t* d = dst.row(r);
        for (int32_t c = 0; c < w; ++c, d += 3) {
            const uint8_t* p = s + size_t(c / 2) * 3;
            d[0] = p[0];
            d[1] = p[1];
            d[2] = p[2];
        }
    }
}

Surface gensyoku(const Surface& picture) {
    Surface out(240, 240);
    if (picture.empty()) return out;
    for (int32_t r = 239; r >= 0; --r) {
        const uint8_t* s = picture.row(int32_t(int64_t(r) * picture.height() / 240));
        uint8_t* d = out.row(r);
        for (int32_t c = 0; c < 240; ++c, d += 3) {
            const uint8_t* p = s + size_t(int64_t(c) * picture.width() / 240) * 3;
            d[0] = uint8_t(p[0] / 4);
            d[1] = uint8_t(p[1] / 4);
            d[2] = uint8_t(p[2] / 4);
        }
    }
    return out;
}
