#pragma once
// Surfaces whose every pixel says where it came from, so a drawing test can tell which cell of
// which sheet landed where: blue = x + 1, green = y + 1, red = the surface's tag. All three
// bytes are non-zero, so a keyed copy draws every marked pixel.

#include "app/GameState.h"
#include "render/Surface.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <sstream>
#include <string>

namespace renderfx {

// Tags: the sheets carry 0x80 + their slot; the backdrop and other sources their own values.
constexpr uint8_t sheetTag(int slot) {
    return uint8_t(0x80 + slot);
}
constexpr uint8_t kBackdropTag = 0x30;
constexpr uint8_t kSourceTag = 0x50;

using Bgr = std::array<uint8_t, 3>; // bytes in surface order: blue, green, red

inline Bgr at(const Surface& s, int32_t x, int32_t y) {
    const uint8_t* p = s.row(y) + size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

inline void set(Surface& s, int32_t x, int32_t y, Bgr c) {
    uint8_t* p = s.row(y) + size_t(x) * 3;
    p[0] = c[0];
    p[1] = c[1];
    p[2] = c[2];
}

inline Bgr markOf(uint8_t tag, int32_t x, int32_t y) {
    return {uint8_t(x + 1), uint8_t(y + 1), tag};
}

// Marks every pixel of s (surfaces up to 255 x 255).
inline void mark(Surface& s, uint8_t tag) {
    for (int32_t y = 0; y < s.height(); ++y)
        for (int32_t x = 0; x < s.width(); ++x) set(s, x, y, markOf(tag, x, y));
}

inline Surface marked(int32_t w, int32_t h, uint8_t tag) {
    Surface s(w, h);
    mark(s, tag);
    return s;
}

inline void fill(Surface& s, Bgr c) {
    for (int32_t y = 0; y < s.height(); ++y)
        for (int32_t x = 0; x < s.width(); ++x) set(s, x, y, c);
}

// The test's own picture of what a copy should leave: the w x h area of a marked source at
// (sx, sy) placed at (dx, dy), pixels outside dst left out.
inline void expectCopy(Surface& expected, int32_t dx, int32_t dy, uint8_t tag, int32_t sx,
                       int32_t sy, int32_t w, int32_t h) {
    for (int32_t j = 0; j < h; ++j)
        for (int32_t i = 0; i < w; ++i) {
            const int32_t x = dx + i, y = dy + j;
            if (x < 0 || y < 0 || x >= expected.width() || y >= expected.height()) continue;
            set(expected, x, y, markOf(tag, sx + i, sy + j));
        }
}

inline std::string describe(Bgr c) {
    std::ostringstream o;
    o << "(B " << int(c[0]) << ", G " << int(c[1]) << ", R " << int(c[2]) << ")";
    return o.str();
}

// Equal sizes and bytes; names the first differing pixel and how many differ.
inline ::testing::AssertionResult sameSurface(const Surface& actual, const Surface& expected) {
    if (actual.width() != expected.width() || actual.height() != expected.height())
        return ::testing::AssertionFailure()
               << "size " << actual.width() << "x" << actual.height() << ", expected "
               << expected.width() << "x" << expected.height();
    int64_t differing = 0;
    std::string first;
    for (int32_t y = 0; y < actual.height(); ++y)
        for (int32_t x = 0; x < actual.width(); ++x)
            if (at(actual, x, y) != at(expected, x, y)) {
                if (differing++ == 0) {
                    std::ostringstream o;
                    o << "pixel (" << x << ", " << y << ") is " << describe(at(actual, x, y))
                      << ", expected " << describe(at(expected, x, y));
                    first = o.str();
                }
            }
    if (differing == 0) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << differing << " pixels differ; first: " << first;
}

// An 8 x 8 (or w x h) area of dst holds the marked cell (sx, sy) of the surface tagged tag.
inline ::testing::AssertionResult cellAt(const Surface& dst, int32_t dx, int32_t dy, uint8_t tag,
                                         int32_t sx, int32_t sy, int32_t w = 8, int32_t h = 8) {
    for (int32_t j = 0; j < h; ++j)
        for (int32_t i = 0; i < w; ++i) {
            const int32_t x = dx + i, y = dy + j;
            if (x < 0 || y < 0 || x >= dst.width() || y >= dst.height()) continue;
            if (at(dst, x, y) != markOf(tag, sx + i, sy + j))
                return ::testing::AssertionFailure()
                       << "pixel (" << x << ", " << y << ") is " << describe(at(dst, x, y))
                       << ", expected cell (" << sx << ", " << sy << ") of tag " << int(tag);
        }
    return ::testing::AssertionSuccess();
}

// Sheet sizes as the game's layout needs them: the item sheets 4 x 3 cells of 16, the digit
// sheet three blocks of 80 by six rows plus the mark row, the font three colour rows, the
// gauge sheet its four frame rows. Sheets the tests do not look at are small.
inline void giveMarkedSheets(GameState& g) {
    const int32_t sizes[kSheetCount][2] = {
        {64, 48},  {64, 48}, {64, 64}, {64, 64}, {240, 56}, {72, 121},
        {160, 32}, {64, 64}, {64, 64}, {64, 64}, {64, 64},
    };
    for (int s = 0; s < kSheetCount; ++s)
        g.sheets[size_t(s)] = marked(sizes[s][0], sizes[s][1], sheetTag(s));
}

// A state ready for drawing: black backbuf and linelayer, marked backdrop and sheets, the
// direction tables and a fixed seed. Nothing is placed and no effect is live.
inline void prepareForDrawing(GameState& g, uint32_t seed = 12345) {
    g.backbuf.create(240, 273);
    g.linelayer.create(240, 240);
    g.backdrop = marked(240, 240, kBackdropTag);
    giveMarkedSheets(g);
    g.dirdx = {0, 1, 0, -1, 0};
    g.dirdy = {0, 0, 1, 0, -1};
    g.rng.seed = seed;
    g.score = "0";
    g.rate = "1";
    g.level = 1;
    for (int32_t i = 1; i <= 255; ++i) g.levelneed[size_t(i)] = i + 20;
}

// The shared generator, followed by hand: seed := seed * 134775813 + 1, value := high 32 bits
// of seed * n.
struct Draws {
    uint32_t seed;
    int32_t next(int32_t n) {
        seed = seed * 134775813u + 1u;
        return int32_t((uint64_t(seed) * uint64_t(n)) >> 32);
    }
};

} // namespace renderfx
