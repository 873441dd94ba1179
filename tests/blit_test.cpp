// The pixel primitives: keyed and opaque copies, additive copies, bars, the double-size copy
// and the dimmed backdrop.

#include "render/Surface.h"
#include "render_fixture.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace renderfx;

namespace {

constexpr Bgr kGrey = {7, 7, 7};

Surface greySurface(int32_t w, int32_t h) {
    Surface s(w, h);
    fill(s, kGrey);
    return s;
}

Surface onePixel(Bgr c) {
    Surface s(1, 1);
    set(s, 0, 0, c);
    return s;
}

// ---- which source pixels a keyed copy draws ----

struct KeyCase {
    Bgr pixel;
    bool drawn;
};

class KeyedPixel : public ::testing::TestWithParam<KeyCase> {};

TEST_P(KeyedPixel, PutfastDrawsOnlyPixelsWithoutAZeroByte) {
    const KeyCase k = GetParam();
    Surface dst = greySurface(4, 4);
    imgputfast(dst, 2, 1, onePixel(k.pixel), rectWH(0, 0, 1, 1), 1);
    EXPECT_EQ(at(dst, 2, 1), k.drawn ? k.pixel : kGrey);
    Surface expected = greySurface(4, 4);
    if (k.drawn) set(expected, 2, 1, k.pixel);
    EXPECT_TRUE(sameSurface(dst, expected));
}

TEST_P(KeyedPixel, BlendWithKeyOneSkipsThemToo) {
    const KeyCase k = GetParam();
    Surface dst = greySurface(4, 4);
    imgblend(dst, 1, 3, onePixel(k.pixel), rectWH(0, 0, 1, 1), 1, 0);
    Bgr sum = kGrey;
    if (k.drawn)
        for (int c = 0; c < 3; ++c) sum[size_t(c)] = uint8_t(std::min(255, 7 + k.pixel[size_t(c)]));
    EXPECT_EQ(at(dst, 1, 3), sum);
}

// The same pixel among solid ones, in both halves of a row copied eight pixels at a time.
TEST_P(KeyedPixel, InsideASolidRowToo) {
    const KeyCase k = GetParam();
    constexpr Bgr kSolid = {1, 255, 9};
    Surface src(17, 1);
    fill(src, kSolid);
    set(src, 5, 0, k.pixel);
    set(src, 12, 0, k.pixel);
    Surface dst = greySurface(20, 2);
    imgputfast(dst, 1, 1, src, rectWH(0, 0, 17, 1), 1);
    for (int32_t x = 0; x < 17; ++x) {
        const Bgr want = x != 5 && x != 12 ? kSolid : k.drawn ? k.pixel : kGrey;
        EXPECT_EQ(at(dst, 1 + x, 1), want) << "pixel " << x;
    }
}

// Bytes are blue, green, red: (0, 0, 200) is a pure red, transparent like black.
INSTANTIATE_TEST_SUITE_P(Pixels, KeyedPixel,
                         ::testing::Values(KeyCase{{0, 0, 200}, false}, KeyCase{{1, 1, 1}, true},
                                           KeyCase{{0, 0, 0}, false}, KeyCase{{200, 0, 0}, false},
                                           KeyCase{{0, 200, 0}, false},
                                           KeyCase{{255, 255, 0}, false},
                                           KeyCase{{255, 255, 255}, true},
                                           KeyCase{{1, 255, 9}, true}),
                         [](const auto& i) {
                             const Bgr p = i.param.pixel;
                             return "Bgr_" + std::to_string(p[0]) + "_" + std::to_string(p[1]) +
                                    "_" + std::to_string(p[2]) +
                                    (i.param.drawn ? "_Drawn" : "_Transparent");
                         });

TEST(OpaqueCopy, CopiesPixelsWithZeroBytesAsWell) {
    Surface dst = greySurface(3, 1);
    Surface src(3, 1);
    set(src, 0, 0, {0, 0, 200});
    set(src, 2, 0, {5, 6, 7});
    imgputfast(dst, 0, 0, src, rectWH(0, 0, 3, 1), 0);
    EXPECT_EQ(at(dst, 0, 0), (Bgr{0, 0, 200}));
    EXPECT_EQ(at(dst, 1, 0), (Bgr{0, 0, 0}));
    EXPECT_EQ(at(dst, 2, 0), (Bgr{5, 6, 7}));
}

// ---- flags that draw nothing ----

struct NoDrawCase {
    const char* name;
    bool blend;
    uint8_t a, b; // mode, or key and op
};

class NothingDrawn : public ::testing::TestWithParam<NoDrawCase> {};

TEST_P(NothingDrawn, LeavesEveryPixel) {
    const NoDrawCase c = GetParam();
    Surface dst = greySurface(20, 20);
    const Surface src = marked(16, 16, kSourceTag);
    if (c.blend)
        imgblend(dst, 2, 2, src, rectWH(0, 0, 16, 16), c.a, c.b);
    else
        imgputfast(dst, 2, 2, src, rectWH(0, 0, 16, 16), c.a);
    EXPECT_TRUE(sameSurface(dst, greySurface(20, 20)));
}

INSTANTIATE_TEST_SUITE_P(Flags, NothingDrawn,
                         ::testing::Values(NoDrawCase{"PutMode2", false, 2, 0},
                                           NoDrawCase{"PutMode255", false, 255, 0},
                                           NoDrawCase{"BlendKey2", true, 2, 0},
                                           NoDrawCase{"BlendKey0Op2", true, 0, 2},
                                           NoDrawCase{"BlendKey1Op2", true, 1, 2},
                                           NoDrawCase{"BlendKey0Op255", true, 0, 255}),
                         [](const auto& i) { return std::string(i.param.name); });

// ---- placement and clipping ----

struct ClipCase {
    const char* name;
    int32_t x, y;
};

class Clipping : public ::testing::TestWithParam<ClipCase> {};

// The surface is exactly as large as it says, so a write below its last row or past its
// right edge leaves the allocation (the sanitizer build catches it).
TEST_P(Clipping, DrawsOnlyTheOverlap) {
    const ClipCase c = GetParam();
    const Surface src = marked(40, 40, kSourceTag);
    const Rect r = rectWH(8, 4, 16, 16); // a 16 x 16 cell at (8, 4) of the source
    for (int mode = 0; mode < 2; ++mode) {
        Surface dst = greySurface(240, 60);
        imgputfast(dst, c.x, c.y, src, r, uint8_t(mode));
        Surface expected = greySurface(240, 60);
        expectCopy(expected, c.x, c.y, kSourceTag, 8, 4, 16, 16);
        EXPECT_TRUE(sameSurface(dst, expected)) << "imgputfast mode " << mode;
    }
    // The additive copy places and clips the same way: black plus the source is the source.
    Surface dst(240, 60);
    imgblend(dst, c.x, c.y, src, r, 0, 0);
    Surface expected(240, 60);
    expectCopy(expected, c.x, c.y, kSourceTag, 8, 4, 16, 16);
    EXPECT_TRUE(sameSurface(dst, expected)) << "imgblend";
}

INSTANTIATE_TEST_SUITE_P(
    Edges, Clipping,
    ::testing::Values(ClipCase{"Inside", 100, 20}, ClipCase{"LeftFiveOff", -5, 10},
                      ClipCase{"RightSixOff", 230, 10}, ClipCase{"TopThreeOff", 50, -3},
                      ClipCase{"BottomHalfOff", 50, 52}, ClipCase{"TopLeftCorner", -15, -15},
                      ClipCase{"BottomRightCorner", 239, 59}, ClipCase{"WhollyLeft", -16, 10},
                      ClipCase{"WhollyRight", 240, 10}, ClipCase{"WhollyAbove", 10, -16},
                      ClipCase{"WhollyBelow", 10, 60}, ClipCase{"FarAway", -100000, 100000}),
    [](const auto& i) { return std::string(i.param.name); });

TEST(Clipping, CellAtMinusFiveShowsColumnsFiveToFifteenAtZeroToTen) {
    const Surface src = marked(16, 16, kSourceTag);
    Surface dst = greySurface(240, 16);
    imgputfast(dst, -5, 0, src, rectWH(0, 0, 16, 16), 0);
    for (int32_t x = 0; x <= 10; ++x) EXPECT_EQ(at(dst, x, 7), markOf(kSourceTag, x + 5, 7));
    EXPECT_EQ(at(dst, 11, 7), kGrey);
}

TEST(Clipping, CellAt230ShowsColumnsZeroToNineAt230To239) {
    const Surface src = marked(16, 16, kSourceTag);
    Surface dst = greySurface(240, 16);
    imgputfast(dst, 230, 0, src, rectWH(0, 0, 16, 16), 1);
    for (int32_t x = 230; x <= 239; ++x) EXPECT_EQ(at(dst, x, 3), markOf(kSourceTag, x - 230, 3));
    EXPECT_EQ(at(dst, 229, 3), kGrey);
}

TEST(Clipping, SixteenRowsAtEightAboveTheBottomDrawTheirFirstEight) {
    const Surface src = marked(16, 16, kSourceTag);
    Surface dst = greySurface(30, 273);
    imgputfast(dst, 4, 273 - 8, src, rectWH(0, 0, 16, 16), 0);
    EXPECT_EQ(at(dst, 4, 265), markOf(kSourceTag, 0, 0));
    EXPECT_EQ(at(dst, 19, 272), markOf(kSourceTag, 15, 7));
    EXPECT_EQ(at(dst, 4, 264), kGrey);
}

TEST(Clipping, EmptyOrInvertedRectangleDrawsNothing) {
    const Surface src = marked(16, 16, kSourceTag);
    Surface dst = greySurface(20, 20);
    imgputfast(dst, 0, 0, src, Rect{4, 4, 4, 10}, 0);
    imgputfast(dst, 0, 0, src, Rect{4, 4, 10, 4}, 0);
    imgputfast(dst, 0, 0, src, Rect{10, 4, 4, 10}, 1);
    imgblend(dst, 0, 0, src, Rect{10, 10, 4, 4}, 0, 0);
    EXPECT_TRUE(sameSurface(dst, greySurface(20, 20)));
}

// A picture file replaced by a smaller one must not make the game read past it.
TEST(Clipping, SourceRectangleReachingOutsideTheSourceDrawsNothing) {
    const Surface src = marked(16, 16, kSourceTag);
    const Rect outside[] = {Rect{0, 0, 17, 16},  Rect{0, 0, 16, 17}, Rect{-1, 0, 15, 16},
                            Rect{0, -1, 16, 15}, Rect{8, 8, 24, 24}, Rect{100, 100, 108, 108}};
    for (const Rect& r : outside) {
        Surface dst = greySurface(40, 40);
        imgputfast(dst, 2, 2, src, r, 0);
        imgputfast(dst, 2, 2, src, r, 1);
        imgblend(dst, 2, 2, src, r, 0, 0);
        imgblend(dst, 2, 2, src, r, 1, 1);
        EXPECT_TRUE(sameSurface(dst, greySurface(40, 40)))
            << "rect " << r.left << "," << r.top << "," << r.right << "," << r.bottom;
    }
}

// ---- the additive copy ----

struct BlendCase {
    const char* name;
    uint8_t key, op;
    Bgr dst, src, result;
};

class BlendArithmetic : public ::testing::TestWithParam<BlendCase> {};

TEST_P(BlendArithmetic, CombinesEachChannelByItself) {
    const BlendCase c = GetParam();
    Surface dst(2, 2);
    fill(dst, c.dst);
    imgblend(dst, 1, 0, onePixel(c.src), rectWH(0, 0, 1, 1), c.key, c.op);
    EXPECT_EQ(at(dst, 1, 0), c.result);
    EXPECT_EQ(at(dst, 0, 0), c.dst);
    EXPECT_EQ(at(dst, 1, 1), c.dst);
}

// Colours written here in surface byte order (blue, green, red).
INSTANTIATE_TEST_SUITE_P(
    Values, BlendArithmetic,
    ::testing::Values(
        // red 200, green 10, blue 255 plus red 100, green 10, blue 1
        BlendCase{"SaturatingAdd", 0, 0, {255, 10, 200}, {1, 10, 100}, {255, 20, 255}},
        BlendCase{"SaturatingAddKeyed", 1, 0, {255, 10, 200}, {1, 10, 100}, {255, 20, 255}},
        BlendCase{"AddExactly255", 0, 0, {128, 0, 254}, {127, 1, 1}, {255, 1, 255}},
        BlendCase{"AddOfBlackKeepsDestination", 0, 0, {9, 8, 7}, {0, 0, 0}, {9, 8, 7}},
        BlendCase{"UnkeyedAddsPureRed", 0, 0, {9, 8, 7}, {0, 0, 200}, {9, 8, 207}},
        BlendCase{"QuarterMix", 0, 1, {255, 3, 100}, {255, 3, 7}, {126, 0, 26}},
        BlendCase{"QuarterMixKeyed", 1, 1, {255, 3, 100}, {255, 3, 7}, {126, 0, 26}},
        BlendCase{"QuarterMixOfBlack", 0, 1, {200, 40, 4}, {0, 0, 0}, {50, 10, 1}},
        BlendCase{"KeyedSkipsPureBlue", 1, 0, {9, 8, 7}, {200, 0, 0}, {9, 8, 7}}),
    [](const auto& i) { return std::string(i.param.name); });

// ---- bars ----

struct BarCase {
    const char* name;
    int32_t width, maxval, value, columns;
};

class BarLength : public ::testing::TestWithParam<BarCase> {};

TEST_P(BarLength, CoversTheTruncatedLengthPlusOneColumn) {
    const BarCase c = GetParam();
    Surface dst = greySurface(240, 12);
    stbar(dst, 10, 3, c.width, 4, c.maxval, c.value, 11, 22, 33, 0);
    Surface expected = greySurface(240, 12);
    for (int32_t y = 3; y < 7; ++y)
        for (int32_t x = 10; x < 10 + c.columns; ++x) set(expected, x, y, {33, 22, 11});
    EXPECT_TRUE(sameSurface(dst, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, BarLength,
    ::testing::Values(BarCase{"ValueZero", 28, 300, 0, 0}, BarCase{"ValueNegative", 28, 300, -5, 0},
                      BarCase{"ValueOne", 28, 300, 1, 1}, BarCase{"ValueFull", 28, 300, 300, 29},
                      BarCase{"ValueAboveMax", 28, 300, 1000, 29},
                      BarCase{"HalfTimer", 28, 300, 150, 15},
                      BarCase{"JustBelowSecondColumn", 28, 300, 10, 1}, // 280/300 = 0.93
                      BarCase{"SecondColumn", 28, 300, 11, 2},          // 308/300 = 1.03
                      BarCase{"ThreeSevenths", 156, 7, 3, 67},          // 66.86 -> 66
                      BarCase{"LevelFull", 156, 21, 21, 157},
                      BarCase{"LevelPart", 156, 21, 10, 75}), // 74.29 -> 74
    [](const auto& i) { return std::string(i.param.name); });

TEST(Bar, AdditiveBarSaturatesEachChannel) {
    Surface dst(8, 2);
    fill(dst, {250, 100, 0}); // blue 250, green 100, red 0
    stbar(dst, 0, 0, 2, 1, 1, 1, 10, 200, 10, 1);
    EXPECT_EQ(at(dst, 0, 0), (Bgr{255, 255, 10}));
    EXPECT_EQ(at(dst, 2, 0), (Bgr{255, 255, 10}));
    EXPECT_EQ(at(dst, 3, 0), (Bgr{250, 100, 0}));
    EXPECT_EQ(at(dst, 0, 1), (Bgr{250, 100, 0}));
}

// The layer clear draws 241 columns on a 240-wide surface: the extra column must go nowhere,
// not into column 0 of the next row nor past the last row.
TEST(Bar, FullWidthBarStaysInsideTheSurface) {
    Surface dst(240, 240);
    fill(dst, {1, 1, 1});
    stbar(dst, 0, 0, 240, 240, 1, 1, 0, 0, 0, 0);
    EXPECT_TRUE(sameSurface(dst, Surface(240, 240)));

    Surface part(240, 20);
    fill(part, {1, 1, 1});
    stbar(part, 0, 0, 240, 10, 1, 1, 5, 5, 5, 1);
    EXPECT_EQ(at(part, 239, 9), (Bgr{6, 6, 6}));
    EXPECT_EQ(at(part, 0, 10), (Bgr{1, 1, 1}));
    EXPECT_EQ(at(part, 0, 9), (Bgr{6, 6, 6})); // added once, not twice
}

// ---- the double-size copy ----

TEST(Stretch, EveryPixelComesFromHalfItsPositionAndTheLastRowIsKept) {
    Surface src(240, 273);
    for (int32_t y = 0; y < 273; ++y)
        for (int32_t x = 0; x < 240; ++x)
            set(src, x, y, {uint8_t(x + 1), uint8_t(y), uint8_t(y >> 8 | 0x40)});
    Surface dst = greySurface(480, 546);
    imgstretch(dst, src);
    EXPECT_EQ(at(dst, 479, 544), at(src, 239, 272));
    EXPECT_EQ(at(dst, 0, 0), at(src, 0, 0));
    EXPECT_EQ(at(dst, 1, 1), at(src, 0, 0));
    EXPECT_EQ(at(dst, 2, 1), at(src, 1, 0));
    int64_t wrong = 0;
    for (int32_t r = 0; r < 545; ++r)
        for (int32_t c = 0; c < 480; ++c) wrong += at(dst, c, r) != at(src, c / 2, r / 2);
    EXPECT_EQ(wrong, 0);
    for (int32_t c = 0; c < 480; ++c) ASSERT_EQ(at(dst, c, 545), kGrey) << "column " << c;
}

// ---- the dimmed backdrop ----

class Dimming : public ::testing::TestWithParam<std::array<uint8_t, 2>> {};

TEST_P(Dimming, EveryByteIsQuartered) {
    const auto [in, out] = GetParam();
    Surface pic(240, 240);
    fill(pic, {in, in, in});
    set(pic, 17, 33, {in, 0, 255});
    const Surface b = gensyoku(pic);
    ASSERT_EQ(b.width(), 240);
    ASSERT_EQ(b.height(), 240);
    EXPECT_EQ(at(b, 0, 0), (Bgr{out, out, out}));
    EXPECT_EQ(at(b, 239, 239), (Bgr{out, out, out}));
    EXPECT_EQ(at(b, 17, 33), (Bgr{out, 0, 63}));
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, Dimming,
    ::testing::Values(std::array<uint8_t, 2>{255, 63}, std::array<uint8_t, 2>{4, 1},
                      std::array<uint8_t, 2>{3, 0}, std::array<uint8_t, 2>{0, 0},
                      std::array<uint8_t, 2>{7, 1}, std::array<uint8_t, 2>{128, 32},
                      std::array<uint8_t, 2>{254, 63}),
    [](const auto& i) {
        return "From" + std::to_string(i.param[0]) + "To" + std::to_string(i.param[1]);
    });

// A picture pixel (x, y) stored as multiples of 4, so that it survives the quartering:
// blue 4 (x mod 64), green 4 (y mod 64), red 4 (x div 64 + 8 (y div 64)).
Surface positionPicture(int32_t w, int32_t h) {
    Surface s(w, h);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < w; ++x)
            set(s, x, y,
                {uint8_t(4 * (x % 64)), uint8_t(4 * (y % 64)),
                 uint8_t(4 * (x / 64 + 8 * (y / 64)))});
    return s;
}

void sourceOf(const Surface& b, int32_t c, int32_t r, int32_t& sx, int32_t& sy) {
    const Bgr p = at(b, c, r);
    sx = p[0] + 64 * (p[2] % 8);
    sy = p[1] + 64 * (p[2] / 8);
}

class StretchToBackdrop : public ::testing::TestWithParam<std::array<int32_t, 2>> {};

// Nearest pixel: every backdrop pixel shows a picture pixel lying under it.
TEST_P(StretchToBackdrop, EveryPixelShowsAPicturePixelUnderIt) {
    const auto [w, h] = GetParam();
    const Surface b = gensyoku(positionPicture(w, h));
    ASSERT_EQ(b.width(), 240);
    ASSERT_EQ(b.height(), 240);
    int64_t wrong = 0;
    for (int32_t r = 0; r < 240; ++r)
        for (int32_t c = 0; c < 240; ++c) {
            int32_t sx, sy;
            sourceOf(b, c, r, sx, sy);
            const bool underX =
                int64_t(sx) * 240 < int64_t(c + 1) * w && int64_t(sx + 1) * 240 > int64_t(c) * w;
            const bool underY =
                int64_t(sy) * 240 < int64_t(r + 1) * h && int64_t(sy + 1) * 240 > int64_t(r) * h;
            if (!underX || !underY) {
                if (wrong == 0)
                    ADD_FAILURE() << "backdrop (" << c << ", " << r << ") shows picture (" << sx
                                  << ", " << sy << ")";
                ++wrong;
            }
        }
    EXPECT_EQ(wrong, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, StretchToBackdrop,
    ::testing::Values(std::array<int32_t, 2>{480, 480}, std::array<int32_t, 2>{120, 60},
                      std::array<int32_t, 2>{240, 240}, std::array<int32_t, 2>{512, 128},
                      std::array<int32_t, 2>{1, 1}),
    [](const auto& i) {
        return "Picture" + std::to_string(i.param[0]) + "x" + std::to_string(i.param[1]);
    });

TEST(StretchToBackdrop, SmallPictureRepeatsItsPixels) {
    const Surface b = gensyoku(positionPicture(120, 60));
    int32_t sx, sy;
    sourceOf(b, 0, 0, sx, sy);
    EXPECT_EQ(sx, 0);
    EXPECT_EQ(sy, 0);
    sourceOf(b, 239, 239, sx, sy);
    EXPECT_EQ(sx, 119);
    EXPECT_EQ(sy, 59);
    sourceOf(b, 101, 203, sx, sy);
    EXPECT_EQ(sx, 50);
    EXPECT_EQ(sy, 50);
}

} // namespace
