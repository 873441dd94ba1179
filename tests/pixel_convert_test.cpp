// The conversion of finished frames into window pixels: every path the processor has gives
// exactly the bytes of the plain loop, for every window layout, row length and pitch.

#include "platform/sdl/PixelConvert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

struct LayoutCase {
    const char* name;
    PixelLayout layout;
};

const LayoutCase kLayouts[] = {
    {"XRGB8888", {16, 8, 0, 0}},  {"ARGB8888", {16, 8, 0, 0xFF000000u}},
    {"XBGR8888", {0, 8, 16, 0}},  {"RGBA8888", {24, 16, 8, 0xFFu}},
    {"BGRX8888", {8, 16, 24, 0}},
};

const ConvertPath kPaths[] = {ConvertPath::Plain, ConvertPath::Ssse3, ConvertPath::Avx2};

std::string nameOf(ConvertPath p) {
    return p == ConvertPath::Plain ? "plain" : p == ConvertPath::Ssse3 ? "SSSE3" : "AVX2";
}

// A frame of random bytes; the destination starts filled with a marker so that bytes the
// conversion must leave alone (row padding) can be checked.
struct Frame {
    int32_t w, h;
    ptrdiff_t srcPitch, dstPitch;
    std::vector<uint8_t> src, dst;

    Frame(int32_t width, int32_t height, uint32_t seed)
        : w(width), h(height), srcPitch(ptrdiff_t(width) * 3), dstPitch(ptrdiff_t(width) * 4 + 12),
          src(size_t(srcPitch) * size_t(height)), dst(size_t(dstPitch) * size_t(height), 0xA5) {
        std::mt19937 rng(seed);
        for (uint8_t& b : src) b = uint8_t(rng());
    }
    void convert(const PixelLayout& l, ConvertPath p) {
        convertBgrFrame(src.data(), srcPitch, dst.data(), dstPitch, w, h, l, p);
    }
};

class PixelConvert : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(PixelConvert, PlainLoopPutsEachChannelAtItsShift) {
    const PixelLayout l = GetParam().layout;
    Frame f(7, 3, 1);
    f.convert(l, ConvertPath::Plain);
    for (int32_t y = 0; y < f.h; ++y) {
        for (int32_t x = 0; x < f.w; ++x) {
            const uint8_t* bgr = f.src.data() + y * f.srcPitch + 3 * x;
            uint32_t pixel = 0;
            std::memcpy(&pixel, f.dst.data() + y * f.dstPitch + 4 * x, 4);
            EXPECT_EQ((pixel >> l.redShift) & 0xFF, bgr[2]) << "x " << x << " y " << y;
            EXPECT_EQ((pixel >> l.greenShift) & 0xFF, bgr[1]) << "x " << x << " y " << y;
            EXPECT_EQ((pixel >> l.blueShift) & 0xFF, bgr[0]) << "x " << x << " y " << y;
            EXPECT_EQ(pixel & l.alpha, l.alpha) << "x " << x << " y " << y;
        }
    }
}

TEST_P(PixelConvert, EveryUsablePathGivesThePlainLoopsBytes) {
    const PixelLayout l = GetParam().layout;
    // Short rows that end inside a step of each path, and the window's two widths.
    std::vector<int32_t> widths;
    for (int32_t w = 0; w <= 20; ++w) widths.push_back(w);
    widths.insert(widths.end(), {31, 240, 480});
    for (ConvertPath p : kPaths) {
        if (!convertPathUsable(p, l)) continue;
        for (int32_t w : widths) {
            Frame plain(w, 5, uint32_t(w) + 7), fast(w, 5, uint32_t(w) + 7);
            plain.convert(l, ConvertPath::Plain);
            fast.convert(l, p);
            EXPECT_EQ(fast.dst, plain.dst) << nameOf(p) << ", width " << w;
        }
    }
}

TEST_P(PixelConvert, FastestPathIsUsable) {
    EXPECT_TRUE(convertPathUsable(fastestConvertPath(GetParam().layout), GetParam().layout));
}

INSTANTIATE_TEST_SUITE_P(WindowLayouts, PixelConvert, ::testing::ValuesIn(kLayouts),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PixelConvertLayouts, ChannelsOffWholeBytesGoThePlainWay) {
    const PixelLayout odd{20, 10, 0, 0};
    EXPECT_FALSE(convertPathUsable(ConvertPath::Ssse3, odd));
    EXPECT_FALSE(convertPathUsable(ConvertPath::Avx2, odd));
    EXPECT_EQ(fastestConvertPath(odd), ConvertPath::Plain);
}

} // namespace
