// Pictures as paint programs and cameras write them, and as broken or hostile files arrive:
// every BMP depth and orientation decodes pixel for pixel, JPEGs of each kind decode to the right
// size and colours, and damaged files are refused with a reason or shown, never crash.

#include "file_fixtures.h"
#include "platform/Picture.h"
#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <array>
#include <cmath>
#include <cstring>
#include <functional>
#include <random>

namespace {

struct Rgb {
    uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// What a picture should decode to: width, height and each pixel top row first.
struct Expected {
    int32_t width = 0, height = 0;
    std::vector<Rgb> pixels;
    Rgb at(int32_t x, int32_t y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
};

Rgb pixelOf(const Surface& s, int32_t x, int32_t y) {
    const uint8_t* p = s.row(y) + x * 3;
    return Rgb{p[2], p[1], p[0]};
}

::testing::AssertionResult matches(const Surface& s, const Expected& e) {
    if (s.width() != e.width || s.height() != e.height)
        return ::testing::AssertionFailure() << "size " << s.width() << "x" << s.height()
                                             << ", expected " << e.width << "x" << e.height;
    for (int32_t y = 0; y < e.height; ++y)
        for (int32_t x = 0; x < e.width; ++x) {
            const Rgb got = pixelOf(s, x, y), want = e.at(x, y);
            if (!(got == want))
                return ::testing::AssertionFailure()
                       << "pixel " << x << "," << y << " is " << int(got.r) << "," << int(got.g)
                       << "," << int(got.b) << ", expected " << int(want.r) << "," << int(want.g)
                       << "," << int(want.b);
        }
    return ::testing::AssertionSuccess();
}

// --- writing BMP files byte by byte, the way different programs lay them out ---

void put16(std::vector<uint8_t>& v, uint32_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void put32(std::vector<uint8_t>& v, uint32_t x) {
    put16(v, x & 0xffff);
    put16(v, x >> 16);
}

struct BmpLayout {
    uint32_t dibSize = 40; // 12 OS/2 1.x, 40 Windows 3, 108 V4, 124 V5
    int32_t width = 0;
    int32_t height = 0; // negative: top-down
    uint16_t bpp = 24;
    uint32_t compression = 0;
    uint32_t clrUsed = 0;
    std::vector<Rgb> palette;
    std::array<uint32_t, 3> masks{}; // red, green, blue, for bit-field compression
    std::vector<uint8_t> pixels;     // the pixel data as it lies in the file
};

std::vector<uint8_t> buildBmp(const BmpLayout& l) {
    const bool core = l.dibSize == 12;
    const bool masksAfter = l.dibSize == 40 && l.compression == 3;
    const uint32_t paletteBytes = uint32_t(l.palette.size()) * (core ? 3 : 4);
    const uint32_t offBits = 14 + l.dibSize + (masksAfter ? 12 : 0) + paletteBytes;
    std::vector<uint8_t> v;
    v.push_back('B');
    v.push_back('M');
    put32(v, offBits + uint32_t(l.pixels.size()));
    put32(v, 0);
    put32(v, offBits);
    put32(v, l.dibSize);
    if (core) {
        put16(v, uint32_t(l.width));
        put16(v, uint32_t(l.height));
        put16(v, 1);
        put16(v, l.bpp);
    } else {
        put32(v, uint32_t(l.width));
        put32(v, uint32_t(l.height));
        put16(v, 1);
        put16(v, l.bpp);
        put32(v, l.compression);
        put32(v, uint32_t(l.pixels.size()));
        put32(v, 2835);
        put32(v, 2835);
        put32(v, l.clrUsed);
        put32(v, 0);
        if (l.dibSize > 40) {
            for (uint32_t m : l.masks) put32(v, m);
            while (v.size() < 14 + l.dibSize) v.push_back(0); // alpha mask, colour space
        }
        if (masksAfter)
            for (uint32_t m : l.masks) put32(v, m);
    }
    for (const Rgb& c : l.palette) {
        v.push_back(c.b);
        v.push_back(c.g);
        v.push_back(c.r);
        if (!core) v.push_back(0);
    }
    v.insert(v.end(), l.pixels.begin(), l.pixels.end());
    return v;
}

// Rows of `bytesPerRow` bytes padded to four, bottom row first unless top-down.
std::vector<uint8_t> rowsToFile(const std::vector<std::vector<uint8_t>>& rowsTopFirst,
                                bool topDown) {
    std::vector<uint8_t> out;
    for (size_t i = 0; i < rowsTopFirst.size(); ++i) {
        const auto& row = rowsTopFirst[topDown ? i : rowsTopFirst.size() - 1 - i];
        out.insert(out.end(), row.begin(), row.end());
        while (out.size() % 4) out.push_back(0);
    }
    return out;
}

Rgb directColour(int32_t x, int32_t y) {
    return Rgb{uint8_t(x * 40 + 10), uint8_t(y * 60 + 20), uint8_t((x * 7 + y * 13) * 5 % 256)};
}

std::vector<Rgb> testPalette(size_t n) {
    std::vector<Rgb> p;
    for (size_t i = 0; i < n; ++i)
        p.push_back(Rgb{uint8_t(i * 37 + 5), uint8_t(255 - i * 11), uint8_t(i * 3 + 100)});
    return p;
}

// A palette picture of `bpp` bits whose index at x, y is index(x, y).
struct PaletteCase {
    std::vector<uint8_t> file;
    Expected want;
};
PaletteCase palettePicture(uint16_t bpp, int32_t width, int32_t height, size_t entries,
                           bool topDown, uint32_t dibSize,
                           const std::function<uint32_t(int32_t, int32_t)>& index) {
    BmpLayout l;
    l.dibSize = dibSize;
    l.width = width;
    l.height = topDown ? -height : height;
    l.bpp = bpp;
    l.palette = testPalette(entries);
    l.clrUsed = entries == (1u << bpp) ? 0 : uint32_t(entries);
    Expected e{width, height, {}};
    std::vector<std::vector<uint8_t>> rows;
    for (int32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> row((size_t(width) * bpp + 7) / 8, 0);
        for (int32_t x = 0; x < width; ++x) {
            const uint32_t i = index(x, y);
            const uint32_t bit = uint32_t(x) * bpp;
            row[bit / 8] |= uint8_t(i << (8 - bpp - bit % 8));
            e.pixels.push_back(l.palette[i]);
        }
        rows.push_back(row);
    }
    l.pixels = rowsToFile(rows, topDown);
    return {buildBmp(l), e};
}

// A direct-colour picture of 24 bits, 32 bits (B, G, R, X) or 16/32 bits under masks.
PaletteCase directPicture(uint16_t bpp, uint32_t compression, std::array<uint32_t, 3> masks,
                          bool topDown, uint32_t dibSize) {
    const int32_t width = 5, height = 3;
    BmpLayout l;
    l.dibSize = dibSize;
    l.width = width;
    l.height = topDown ? -height : height;
    l.bpp = bpp;
    l.compression = compression;
    l.masks = masks;
    if (bpp == 16 && compression == 0) masks = {0x7c00, 0x03e0, 0x001f};
    Expected e{width, height, {}};
    std::vector<std::vector<uint8_t>> rows;
    for (int32_t y = 0; y < height; ++y) {
        std::vector<uint8_t> row;
        for (int32_t x = 0; x < width; ++x) {
            const Rgb c = directColour(x, y);
            if (bpp == 24 || (bpp == 32 && compression == 0)) {
                row.push_back(c.b);
                row.push_back(c.g);
                row.push_back(c.r);
                if (bpp == 32) row.push_back(0xee); // the unused byte must not matter
                e.pixels.push_back(c);
                continue;
            }
            // Quantise each channel into its mask, then expect it widened back by rounding.
            uint32_t v = 0;
            Rgb want;
            uint8_t* wantCh[3] = {&want.r, &want.g, &want.b};
            const uint8_t ch[3] = {c.r, c.g, c.b};
            for (int32_t k = 0; k < 3; ++k) {
                const uint32_t m = masks[size_t(k)];
                int32_t shift = 0;
                while (!((m >> shift) & 1)) ++shift;
                int32_t bits = 0;
                while (shift + bits < 32 && ((m >> (shift + bits)) & 1)) ++bits;
                const double maxv = std::pow(2.0, bits) - 1;
                const uint32_t q = uint32_t(std::lround(ch[k] * maxv / 255.0));
                v |= q << shift;
                *wantCh[k] = uint8_t(std::lround(q * 255.0 / maxv));
            }
            for (int32_t i = 0; i < bpp / 8; ++i) row.push_back(uint8_t(v >> (8 * i)));
            e.pixels.push_back(want);
        }
        rows.push_back(row);
    }
    l.pixels = rowsToFile(rows, topDown);
    return {buildBmp(l), e};
}

struct BmpCase {
    const char* name;
    std::function<PaletteCase()> make;
};

PaletteCase rle8Picture() {
    // 6 x 4, rows in file order from the bottom: runs, an absolute run with its pad byte, a
    // delta, a run cut at the row's end, end-of-line and end-of-bitmap.
    BmpLayout l;
    l.width = 6;
    l.height = 4;
    l.bpp = 8;
    l.compression = 1;
    l.palette = testPalette(8);
    l.clrUsed = 8;
    l.pixels = {3, 1, 0, 3, 2, 3, 4, 0, 0, 0, // bottom row: 1 1 1 2 3 4
                2, 5, 0, 2, 1, 0, 1, 6, 0, 0, // 5 5 _ 6 _ _
                0, 2, 0, 1,                   // delta: straight up a row, at x 0
                9, 7, 0, 1};                  // top row: 7 x 6, the run cut at 6
    const std::vector<std::vector<int32_t>> fileRows = {
        {1, 1, 1, 2, 3, 4}, {5, 5, -1, 6, -1, -1}, {-1, -1, -1, -1, -1, -1}, {7, 7, 7, 7, 7, 7}};
    Expected e{6, 4, {}};
    for (int32_t y = 0; y < 4; ++y)
        for (int32_t i : fileRows[size_t(3 - y)])
            e.pixels.push_back(i < 0 ? Rgb{} : l.palette[size_t(i)]);
    return {buildBmp(l), e};
}

PaletteCase rle4Picture() {
    BmpLayout l;
    l.width = 8;
    l.height = 2;
    l.bpp = 4;
    l.compression = 2;
    l.palette = testPalette(16);
    l.pixels = {5, 0x12, 0,    3,    0x34, 0x50, 0, 0,    // bottom: 1 2 1 2 1 3 4 5
                0, 5,    0x67, 0x89, 0xa0, 0,    3, 0xbc, // top: 6 7 8 9 a b c b
                0, 1};
    const std::vector<std::vector<int32_t>> fileRows = {{1, 2, 1, 2, 1, 3, 4, 5},
                                                        {6, 7, 8, 9, 10, 11, 12, 11}};
    Expected e{8, 2, {}};
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t i : fileRows[size_t(1 - y)]) e.pixels.push_back(l.palette[size_t(i)]);
    return {buildBmp(l), e};
}

const std::vector<BmpCase> kBmpCases = {
    {"Mono9Wide",
     [] {
         return palettePicture(1, 9, 3, 2, false, 40,
                               [](int32_t x, int32_t y) { return uint32_t((x + y) % 2); });
     }},
    {"Mono33WideTopDown",
     [] {
         return palettePicture(1, 33, 2, 2, true, 40,
                               [](int32_t x, int32_t y) { return uint32_t((x * y + x / 3) % 2); });
     }},
    {"TwoBit",
     [] {
         return palettePicture(2, 7, 3, 4, false, 40,
                               [](int32_t x, int32_t y) { return uint32_t((x + y) % 4); });
     }},
    {"FourBit",
     [] {
         return palettePicture(4, 5, 3, 16, false, 40,
                               [](int32_t x, int32_t y) { return uint32_t((x * 3 + y) % 16); });
     }},
    {"FourBitShortPalette",
     [] {
         return palettePicture(4, 5, 3, 6, false, 40,
                               [](int32_t x, int32_t y) { return uint32_t((x + y) % 6); });
     }},
    {"EightBit",
     [] {
         return palettePicture(8, 5, 3, 256, false, 40, [](int32_t x, int32_t y) {
             return uint32_t((x * 50 + y * 7) % 256);
         });
     }},
    {"EightBitSevenColours",
     [] {
         return palettePicture(8, 5, 3, 7, false, 40,
                               [](int32_t x, int32_t y) { return uint32_t((x + 2 * y) % 7); });
     }},
    {"EightBitTopDown",
     [] {
         return palettePicture(8, 3, 4, 12, true, 40,
                               [](int32_t x, int32_t y) { return uint32_t(x * 4 + y); });
     }},
    {"EightBitV5",
     [] {
         return palettePicture(8, 5, 2, 10, false, 124,
                               [](int32_t x, int32_t y) { return uint32_t(x + 5 * y); });
     }},
    {"Os2EightBit",
     [] {
         return palettePicture(8, 5, 3, 256, false, 12,
                               [](int32_t x, int32_t y) { return uint32_t(x * 9 + y); });
     }},
    {"Os2FourBit",
     [] {
         return palettePicture(4, 3, 3, 16, false, 12,
                               [](int32_t x, int32_t y) { return uint32_t(x + 3 * y); });
     }},
    {"Rle8", rle8Picture},
    {"Rle4", rle4Picture},
    {"Rgb555", [] { return directPicture(16, 0, {}, false, 40); }},
    {"Rgb555TopDown", [] { return directPicture(16, 0, {}, true, 40); }},
    {"Bitfields565",
     [] {
         return directPicture(16, 3, {0xf800, 0x07e0, 0x001f}, false, 40);
     }},
    {"Bitfields555",
     [] {
         return directPicture(16, 3, {0x7c00, 0x03e0, 0x001f}, false, 40);
     }},
    {"Bitfields444V4",
     [] {
         return directPicture(16, 3, {0x0f00, 0x00f0, 0x000f}, false, 108);
     }},
    {"Rgb24", [] { return directPicture(24, 0, {}, false, 40); }},
    {"Rgb24TopDown", [] { return directPicture(24, 0, {}, true, 40); }},
    {"Rgb24V4", [] { return directPicture(24, 0, {}, false, 108); }},
    {"Rgb24V5TopDown", [] { return directPicture(24, 0, {}, true, 124); }},
    {"Os2Rgb24", [] { return directPicture(24, 0, {}, false, 12); }},
    {"Rgb32", [] { return directPicture(32, 0, {}, false, 40); }},
    {"Bitfields32",
     [] {
         return directPicture(32, 3, {0x00ff0000, 0x0000ff00, 0x000000ff}, false, 40);
     }},
    {"Bitfields32RgbaV5",
     [] {
         return directPicture(32, 3, {0xff000000, 0x00ff0000, 0x0000ff00}, true, 124);
     }},
    {"Bitfields10bit",
     [] {
         return directPicture(32, 3, {0x3ff00000, 0x000ffc00, 0x000003ff}, false, 56);
     }},
};

class BmpDepths : public ::testing::TestWithParam<size_t> {};

TEST_P(BmpDepths, DecodesPixelForPixel) {
    const PaletteCase c = kBmpCases[GetParam()].make();
    Surface out;
    std::string error = "untouched";
    ASSERT_TRUE(decodeBmp(c.file.data(), c.file.size(), out, error)) << error;
    EXPECT_EQ(error, "");
    EXPECT_TRUE(matches(out, c.want));
}

// Every shorter copy of a good file: refused with a reason, or (for the few bytes of padding
// and marks at the end that a picture can do without) the same picture. Never a crash or a
// read past the buffer.
TEST_P(BmpDepths, EveryTruncationIsRefusedOrWhole) {
    const PaletteCase c = kBmpCases[GetParam()].make();
    for (size_t len = 0; len < c.file.size(); ++len) {
        // A copy of exactly `len` bytes, so the sanitizer sees any read beyond it.
        std::vector<uint8_t> cut(c.file.begin(), c.file.begin() + std::ptrdiff_t(len));
        Surface out;
        std::string error;
        if (decodeBmp(cut.data(), cut.size(), out, error)) {
            EXPECT_GE(len + 4, c.file.size()) << "only padding or the end mark may be missing";
            EXPECT_TRUE(matches(out, c.want)) << "length " << len;
        } else {
            EXPECT_FALSE(error.empty()) << "length " << len;
            EXPECT_TRUE(out.empty());
        }
    }
}

// Random damage anywhere in the file: any result but a crash or an out-of-bounds access.
TEST_P(BmpDepths, SurvivesRandomDamage) {
    const PaletteCase c = kBmpCases[GetParam()].make();
    std::mt19937 rng(uint32_t(GetParam()) * 7919u + 1);
    for (int32_t round = 0; round < 300; ++round) {
        std::vector<uint8_t> bad = c.file;
        const int32_t hits = 1 + int32_t(rng() % 4);
        for (int32_t h = 0; h < hits; ++h) bad[rng() % bad.size()] = uint8_t(rng());
        Surface out;
        std::string error;
        if (decodeBmp(bad.data(), bad.size(), out, error)) {
            EXPECT_GE(out.width(), 1);
            EXPECT_LE(int64_t(out.width()) * out.height(), kMaxPicturePixels);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Pictures, BmpDepths, ::testing::Range<size_t>(0, kBmpCases.size()),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return std::string(kBmpCases[info.param].name);
                         });

TEST(BmpChannels, FiveAndSixBitFieldsReachFullBrightness) {
    // 565 white and a mid grey: the ends of each field map to 0 and 255 exactly.
    BmpLayout l;
    l.width = 2;
    l.height = 1;
    l.bpp = 16;
    l.compression = 3;
    l.masks = {0xf800, 0x07e0, 0x001f};
    l.pixels = {0xff, 0xff, 0x00, 0x00};
    const auto file = buildBmp(l);
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), out, error)) << error;
    EXPECT_EQ(pixelOf(out, 0, 0), (Rgb{255, 255, 255}));
    EXPECT_EQ(pixelOf(out, 1, 0), (Rgb{0, 0, 0}));
}

// --- headers that lie ---

// Peak memory of the process so far, in KiB.
int64_t peakKib() {
    rusage ru{};
    getrusage(RUSAGE_SELF, &ru);
    return int64_t(ru.ru_maxrss);
}

std::vector<uint8_t> headerOnly(int32_t width, int32_t height, uint16_t bpp, uint32_t compression,
                                std::vector<uint8_t> pixels = {0, 0, 0, 0}) {
    BmpLayout l;
    l.width = width;
    l.height = height;
    l.bpp = bpp;
    l.compression = compression;
    if (bpp <= 8) l.palette = testPalette(size_t(1) << bpp);
    l.pixels = std::move(pixels);
    return buildBmp(l);
}

struct LyingCase {
    const char* name;
    int32_t width, height;
    uint16_t bpp;
    uint32_t compression;
    std::vector<uint8_t> pixels;
};

class BmpLyingHeader : public ::testing::TestWithParam<LyingCase> {};

TEST_P(BmpLyingHeader, IsRefusedWithoutAllocating) {
    const LyingCase& c = GetParam();
    const auto file = headerOnly(c.width, c.height, c.bpp, c.compression, c.pixels);
    const int64_t before = peakKib();
    Surface out;
    std::string error;
    EXPECT_FALSE(decodeBmp(file.data(), file.size(), out, error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(out.empty());
    // Decoding any of these for real would take at least 48 MiB.
    EXPECT_LT(peakKib() - before, 32 * 1024) << "a lying header made the decoder allocate";
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, BmpLyingHeader,
    ::testing::Values(
        LyingCase{"HundredThousandSquare", 100000, 100000, 24, 0, {0, 0, 0, 0}},
        LyingCase{"HundredThousandSquareRle8", 100000, 100000, 8, 1, {0, 1}},
        LyingCase{"TooWide", 16385, 1, 24, 0, {0, 0, 0, 0}},
        LyingCase{"TooTall", 1, -16385, 24, 0, {0, 0, 0, 0}},
        LyingCase{"TooManyPixels", 16384, 16384, 24, 0, {0, 0, 0, 0}},
        LyingCase{"MostNegativeHeight", 10, INT32_MIN, 24, 0, {0, 0, 0, 0}},
        LyingCase{"ZeroWidth", 0, 10, 24, 0, {0, 0, 0, 0}},
        LyingCase{"NegativeWidth", -10, 10, 24, 0, {0, 0, 0, 0}},
        LyingCase{"ZeroHeight", 10, 0, 24, 0, {0, 0, 0, 0}},
        // Within the limits but far beyond the file: refused before the pixels are allocated.
        LyingCase{"BigButEmpty24", 8192, 8192, 24, 0, {0, 0, 0, 0}},
        LyingCase{"BigRle8CutShort", 8192, 8192, 8, 1, {255, 3, 255, 3, 255, 3}},
        LyingCase{"BigRle4CutShort", 8192, 8192, 4, 2, {0, 0, 0, 0}},
        LyingCase{"UnknownDepth", 4, 4, 7, 0, std::vector<uint8_t>(64, 0)},
        LyingCase{"JpegInsideBmp", 4, 4, 24, 4, std::vector<uint8_t>(64, 0)},
        LyingCase{"Rle8WithWrongDepth", 4, 4, 24, 1, std::vector<uint8_t>(64, 0)},
        LyingCase{"BitfieldsAt24", 4, 4, 24, 3, std::vector<uint8_t>(64, 0)}),
    [](const ::testing::TestParamInfo<LyingCase>& info) { return std::string(info.param.name); });

TEST(BmpRefusal, PixelOffsetBeyondTheFile) {
    auto file = headerOnly(2, 2, 24, 0, std::vector<uint8_t>(16, 0));
    const uint32_t off = uint32_t(file.size()) + 100;
    std::memcpy(file.data() + 10, &off, 4);
    Surface out;
    std::string error;
    EXPECT_FALSE(decodeBmp(file.data(), file.size(), out, error));
    EXPECT_NE(error.find("outside"), std::string::npos) << error;
}

TEST(BmpRefusal, GarbageAndOtherFormats) {
    const std::vector<std::vector<uint8_t>> files = {
        {},
        {'B'},
        {'B', 'M'},
        {'B', 'M', 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
        std::vector<uint8_t>(4096, 0xff),
        fixtures::makeColourJpeg(),
    };
    for (const auto& f : files) {
        Surface out;
        std::string error;
        EXPECT_FALSE(decodeBmp(f.data(), f.size(), out, error));
        EXPECT_FALSE(error.empty());
    }
    std::mt19937 rng(42);
    for (int32_t round = 0; round < 2000; ++round) {
        std::vector<uint8_t> f(size_t(rng() % 200));
        for (auto& b : f) b = uint8_t(rng());
        if (f.size() >= 2) {
            f[0] = 'B';
            f[1] = 'M';
        }
        Surface out;
        std::string error;
        if (!decodeBmp(f.data(), f.size(), out, error)) {
            EXPECT_FALSE(error.empty());
        }
    }
}

// Indices past the palette (or past the colours actually stored) come out black.
TEST(BmpPalette, IndexOutsideThePaletteIsBlack) {
    BmpLayout l;
    l.width = 4;
    l.height = 1;
    l.bpp = 8;
    l.palette = testPalette(2);
    l.clrUsed = 2;
    l.pixels = {0, 1, 2, 255};
    const auto file = buildBmp(l);
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), out, error)) << error;
    EXPECT_EQ(pixelOf(out, 0, 0), l.palette[0]);
    EXPECT_EQ(pixelOf(out, 1, 0), l.palette[1]);
    EXPECT_EQ(pixelOf(out, 2, 0), Rgb{});
    EXPECT_EQ(pixelOf(out, 3, 0), Rgb{});
}

TEST(BmpPalette, ClaimedColourCountBeyondTheDepthIsCapped) {
    BmpLayout l;
    l.width = 2;
    l.height = 1;
    l.bpp = 1;
    l.palette = testPalette(2);
    l.clrUsed = 0x7fffffff;
    l.pixels = {0x40, 0, 0, 0};
    const auto file = buildBmp(l);
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), out, error)) << error;
    EXPECT_EQ(pixelOf(out, 0, 0), l.palette[0]);
    EXPECT_EQ(pixelOf(out, 1, 0), l.palette[1]);
}

TEST(BmpRle, DeltaPastThePictureEndsIt) {
    BmpLayout l;
    l.width = 3;
    l.height = 2;
    l.bpp = 8;
    l.compression = 1;
    l.palette = testPalette(4);
    l.pixels = {3, 1, 0, 2, 255, 255, 3, 2}; // bottom row of 1s, then a delta off the picture
    const auto file = buildBmp(l);
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), out, error)) << error;
    EXPECT_EQ(pixelOf(out, 0, 1), l.palette[1]);
    EXPECT_EQ(pixelOf(out, 2, 1), l.palette[1]);
    EXPECT_EQ(pixelOf(out, 0, 0), Rgb{});
}

TEST(BmpRle, EndOfBitmapEarlyLeavesTheRestBlack) {
    BmpLayout l;
    l.width = 4;
    l.height = 3;
    l.bpp = 8;
    l.compression = 1;
    l.palette = testPalette(4);
    l.pixels = {2, 3, 0, 1};
    const auto file = buildBmp(l);
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeBmp(file.data(), file.size(), out, error)) << error;
    EXPECT_EQ(pixelOf(out, 1, 2), l.palette[3]);
    EXPECT_EQ(pixelOf(out, 2, 2), Rgb{});
    EXPECT_EQ(pixelOf(out, 0, 0), Rgb{});
}

// --- JPEG ---

struct Rough {
    int32_t r, g, b;
};
::testing::AssertionResult near(const Surface& s, int32_t x, int32_t y, Rough want,
                                int32_t tolerance = 40) {
    const Rgb got = pixelOf(s, x, y);
    if (std::abs(got.r - want.r) <= tolerance && std::abs(got.g - want.g) <= tolerance &&
        std::abs(got.b - want.b) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "pixel " << x << "," << y << " is " << int(got.r) << ","
                                         << int(got.g) << "," << int(got.b);
}

struct JpegCase {
    const char* name;
    int32_t flags;
    int32_t subsamp;
};

class JpegKinds : public ::testing::TestWithParam<JpegCase> {};

TEST_P(JpegKinds, ColourPictureDecodes) {
    const auto jpeg = fixtures::makeJpeg(40, 24, TJPF_RGB, GetParam().subsamp, GetParam().flags,
                                         [](int32_t x, int32_t y, uint8_t* c) {
                                             if (y >= 16) {
                                                 c[0] = c[1] = c[2] = 255;
                                             } else if (x < 16) {
                                                 c[0] = 255;
                                             } else if (x >= 24) {
                                                 c[2] = 255;
                                             } else {
                                                 c[1] = 255;
                                             }
                                         });
    Surface out;
    std::string error = "untouched";
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), out, error)) << error;
    EXPECT_EQ(error, "");
    ASSERT_EQ(out.width(), 40);
    ASSERT_EQ(out.height(), 24);
    EXPECT_TRUE(near(out, 4, 4, {255, 0, 0}));
    EXPECT_TRUE(near(out, 20, 4, {0, 255, 0}));
    EXPECT_TRUE(near(out, 35, 4, {0, 0, 255}));
    EXPECT_TRUE(near(out, 20, 20, {255, 255, 255}));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, JpegKinds,
    ::testing::Values(JpegCase{"Baseline420", 0, TJSAMP_420},
                      JpegCase{"Baseline444", 0, TJSAMP_444},
                      JpegCase{"Progressive", TJFLAG_PROGRESSIVE, TJSAMP_420},
                      JpegCase{"Progressive422", TJFLAG_PROGRESSIVE, TJSAMP_422}),
    [](const ::testing::TestParamInfo<JpegCase>& info) { return std::string(info.param.name); });

TEST(Jpeg, GreyscaleComesOutGrey) {
    for (int32_t flags : {0, TJFLAG_PROGRESSIVE}) {
        const auto jpeg =
            fixtures::makeJpeg(16, 16, TJPF_GRAY, TJSAMP_GRAY, flags,
                               [](int32_t x, int32_t, uint8_t* c) { c[0] = x < 8 ? 40 : 200; });
        Surface out;
        std::string error;
        ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), out, error)) << error;
        ASSERT_EQ(out.width(), 16);
        ASSERT_EQ(out.height(), 16);
        EXPECT_TRUE(near(out, 2, 5, {40, 40, 40}, 12));
        EXPECT_TRUE(near(out, 13, 5, {200, 200, 200}, 12));
        const Rgb p = pixelOf(out, 13, 5);
        EXPECT_EQ(p.r, p.g);
        EXPECT_EQ(p.g, p.b);
    }
}

TEST(Jpeg, CmykIsConvertedToRgb) {
    // Stored the Adobe way, inverted: 255 is no ink. Left red, right a dark green.
    const auto jpeg =
        fixtures::makeJpeg(16, 16, TJPF_CMYK, TJSAMP_444, 0, [](int32_t x, int32_t, uint8_t* c) {
            if (x < 8) {
                c[0] = 255, c[1] = 0, c[2] = 0, c[3] = 255;
            } else {
                c[0] = 0, c[1] = 255, c[2] = 0, c[3] = 128;
            }
        });
    Surface out;
    std::string error;
    ASSERT_TRUE(decodeJpeg(jpeg.data(), jpeg.size(), out, error)) << error;
    ASSERT_EQ(out.width(), 16);
    EXPECT_TRUE(near(out, 2, 8, {255, 0, 0}));
    EXPECT_TRUE(near(out, 13, 8, {0, 128, 0}));
}

// Cut short, a JPEG still gives its picture (the rest filled in by the decoder) together with
// a warning; cut inside its header it is refused. Never a crash.
TEST(Jpeg, TruncatedFileIsShownWithAWarningOrRefused) {
    for (int32_t flags : {0, TJFLAG_PROGRESSIVE}) {
        const auto jpeg = fixtures::makeTexturedJpeg(64, 64, flags);
        bool sawWarning = false;
        for (size_t len = 0; len < jpeg.size(); len += 13) {
            std::vector<uint8_t> cut(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(len));
            Surface out;
            std::string error;
            if (decodeJpeg(cut.data(), cut.size(), out, error)) {
                EXPECT_EQ(out.width(), 64);
                EXPECT_EQ(out.height(), 64);
                sawWarning = sawWarning || !error.empty();
            } else {
                EXPECT_FALSE(error.empty());
                EXPECT_TRUE(out.empty());
            }
        }
        EXPECT_TRUE(sawWarning) << "a JPEG cut in its scan data should come with a warning";
        std::vector<uint8_t> half(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(jpeg.size() / 2));
        Surface out;
        std::string error;
        ASSERT_TRUE(decodeJpeg(half.data(), half.size(), out, error));
        EXPECT_FALSE(error.empty());
        EXPECT_TRUE(near(out, 4, 4, {243, 12, 12}, 64)) << "the part that arrived is there";
        std::vector<uint8_t> head(jpeg.begin(), jpeg.begin() + 20);
        EXPECT_FALSE(decodeJpeg(head.data(), head.size(), out, error));
    }
}

// Patches the frame header's size: a 40-byte lie must not become a gigabyte allocation.
std::vector<uint8_t> withFrameSize(std::vector<uint8_t> jpeg, uint16_t width, uint16_t height) {
    for (size_t i = 2; i + 9 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && (jpeg[i + 1] == 0xc0 || jpeg[i + 1] == 0xc2)) {
            jpeg[i + 5] = uint8_t(height >> 8);
            jpeg[i + 6] = uint8_t(height);
            jpeg[i + 7] = uint8_t(width >> 8);
            jpeg[i + 8] = uint8_t(width);
            return jpeg;
        }
    ADD_FAILURE() << "no frame header";
    return jpeg;
}

TEST(Jpeg, ClaimedSizeBeyondTheLimitsIsRefusedBeforeDecoding) {
    const std::vector<std::pair<uint16_t, uint16_t>> sizes = {
        {20000, 20000}, {16385, 8}, {8, 16385}, {16000, 16000}};
    for (auto [w, h] : sizes) {
        const auto jpeg = withFrameSize(fixtures::makeColourJpeg(), w, h);
        const int64_t before = peakKib();
        Surface out;
        std::string error;
        EXPECT_FALSE(decodeJpeg(jpeg.data(), jpeg.size(), out, error)) << w << "x" << h;
        EXPECT_NE(error.find("too large"), std::string::npos) << error;
        EXPECT_LT(peakKib() - before, 32 * 1024);
    }
}

// A progressive JPEG of a thousand scans (the last scan repeated) could keep the decoder busy
// for seconds on a large picture; past 500 scans it is refused.
TEST(Jpeg, ProgressiveFileWithTooManyScansIsRefused) {
    const auto jpeg = fixtures::makeTexturedJpeg(64, 64, TJFLAG_PROGRESSIVE);
    size_t lastScan = 0;
    for (size_t i = 2; i + 1 < jpeg.size(); ++i)
        if (jpeg[i] == 0xff && jpeg[i + 1] == 0xda) lastScan = i;
    ASSERT_GT(lastScan, 0u);
    const size_t eoi = jpeg.size() - 2;
    std::vector<uint8_t> many(jpeg.begin(), jpeg.begin() + std::ptrdiff_t(eoi));
    for (int32_t k = 0; k < 1000; ++k)
        many.insert(many.end(), jpeg.begin() + std::ptrdiff_t(lastScan),
                    jpeg.begin() + std::ptrdiff_t(eoi));
    many.push_back(0xff);
    many.push_back(0xd9);
    Surface out;
    std::string error;
    EXPECT_FALSE(decodeJpeg(many.data(), many.size(), out, error));
    EXPECT_NE(error.find("500 scans"), std::string::npos) << error;
}

TEST(Jpeg, ZeroSizeInTheHeaderIsRefused) {
    const auto jpeg = withFrameSize(fixtures::makeColourJpeg(), 0, 0);
    Surface out;
    std::string error;
    EXPECT_FALSE(decodeJpeg(jpeg.data(), jpeg.size(), out, error));
    EXPECT_FALSE(error.empty());
}

TEST(Jpeg, GarbageIsRefused) {
    std::mt19937 rng(7);
    const auto good = fixtures::makeColourJpeg();
    for (int32_t round = 0; round < 300; ++round) {
        std::vector<uint8_t> f = good;
        for (int32_t h = 0; h < 6; ++h) f[rng() % f.size()] = uint8_t(rng());
        Surface out;
        std::string error;
        if (decodeJpeg(f.data(), f.size(), out, error)) {
            EXPECT_GE(out.width(), 1);
        } else {
            EXPECT_FALSE(error.empty());
        }
    }
    const std::vector<std::vector<uint8_t>> files = {
        {}, {0xff, 0xd8}, {0xff, 0xd8, 0xff, 0xd9}, std::vector<uint8_t>(100, 0xff)};
    for (const auto& f : files) {
        Surface out;
        std::string error;
        EXPECT_FALSE(decodeJpeg(f.data(), f.size(), out, error));
        EXPECT_FALSE(error.empty());
    }
}

// --- files on disk ---

class PictureFiles : public ::testing::Test {
  protected:
    fixtures::TempDir dir;
    HeadlessPlatform platform;
};

TEST_F(PictureFiles, ExtensionChoosesTheDecoderInAnyCase) {
    const auto jpeg = fixtures::makeColourJpeg();
    const auto bmp = encodeBmp24(fixtures::solidSurface(3, 2, 10, 20, 30));
    for (const char* name : {"a.jpg", "b.JPG", "c.jpeg", "d.JpEg"}) {
        fixtures::writeBytes(dir / name, jpeg);
        Surface out;
        std::string error;
        EXPECT_TRUE(loadPicture(platform, dir / name, out, error)) << name << ": " << error;
        EXPECT_EQ(out.width(), 32);
    }
    for (const char* name : {"e.bmp", "f.BMP", "g.picture", "noextension", "h.jpg.bmp"}) {
        fixtures::writeBytes(dir / name, bmp);
        Surface out;
        std::string error;
        EXPECT_TRUE(loadPicture(platform, dir / name, out, error)) << name << ": " << error;
        EXPECT_EQ(out.width(), 3);
        EXPECT_EQ(pixelOf(out, 1, 1), (Rgb{30, 20, 10}));
    }
    // A JPEG under a BMP name is read as a BMP, and refused as one.
    fixtures::writeBytes(dir / "photo.bmp", jpeg);
    Surface out;
    std::string error;
    EXPECT_FALSE(loadPicture(platform, dir / "photo.bmp", out, error));
    EXPECT_EQ(error, "not a BMP file");
}

TEST_F(PictureFiles, SheetsAreReadAsBmpWhateverTheirName) {
    fixtures::writeBytes(dir / "sheet.jpg", encodeBmp24(fixtures::solidSurface(4, 4, 1, 2, 3)));
    Surface out;
    std::string error;
    EXPECT_TRUE(loadBmpFile(platform, dir / "sheet.jpg", out, error)) << error;
    EXPECT_EQ(out.height(), 4);
}

TEST_F(PictureFiles, MissingDirectoryAndEmptyFilesAreRefused) {
    Surface keep = fixtures::solidSurface(2, 2, 9, 9, 9);
    std::string error;
    EXPECT_FALSE(loadPicture(platform, dir / "none.bmp", keep, error));
    EXPECT_EQ(error, "no such file");
    std::filesystem::create_directory(dir / "folder.jpg");
    EXPECT_FALSE(loadPicture(platform, dir / "folder.jpg", keep, error));
    EXPECT_EQ(error, "not a regular file");
    fixtures::writeBytes(dir / "empty.jpg", {});
    EXPECT_FALSE(loadPicture(platform, dir / "empty.jpg", keep, error));
    EXPECT_FALSE(error.empty());
    // The picture held before a failed load is left as it was.
    EXPECT_EQ(keep.width(), 2);
    EXPECT_EQ(pixelOf(keep, 1, 1), (Rgb{9, 9, 9}));
}

TEST_F(PictureFiles, TruncatedBmpFileGivesAClearMessage) {
    auto bmp = encodeBmp24(fixtures::solidSurface(20, 20, 1, 2, 3));
    bmp.resize(bmp.size() / 2);
    fixtures::writeBytes(dir / "half.bmp", bmp);
    Surface out;
    std::string error;
    EXPECT_FALSE(loadPicture(platform, dir / "half.bmp", out, error));
    EXPECT_EQ(error, "BMP file is cut short");
}

TEST_F(PictureFiles, TruncatedJpegFileIsShownAndTheWarningPrinted) {
    auto jpeg = fixtures::makeTexturedJpeg(64, 64);
    jpeg.resize(jpeg.size() * 2 / 3);
    fixtures::writeBytes(dir / "cut.jpg", jpeg);
    Surface out;
    std::string error;
    ::testing::internal::CaptureStderr();
    const bool ok = loadPicture(platform, dir / "cut.jpg", out, error);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(ok);
    EXPECT_EQ(out.width(), 64);
    EXPECT_NE(printed.find("cut.jpg"), std::string::npos) << printed;
}

} // namespace
