// A window of any size shows the frame at the largest whole factor that fits, centred, each
// frame pixel an exact block of the window's pixels with black around the frame.

#include "platform/DisplayScale.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct FitCase {
    const char* name;
    int32_t areaW, areaH, setting;
    int32_t scale, left, top; // what the window or screen gets
};

class DisplayFit : public ::testing::TestWithParam<FitCase> {};

TEST_P(DisplayFit, LargestWholeFactorCentred) {
    const FitCase& c = GetParam();
    const int32_t n = display::windowScale(c.setting, c.areaW, c.areaH, 240, 273);
    EXPECT_EQ(n, c.scale);
    const display::Placement at = display::place(c.areaW, c.areaH, 240, 273);
    if (c.setting == 0) {
        EXPECT_EQ(at.scale, c.scale);
        EXPECT_EQ(at.left, c.left);
        EXPECT_EQ(at.top, c.top);
        EXPECT_EQ(at.width, 240 * c.scale);
        EXPECT_EQ(at.height, 273 * c.scale);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Display, DisplayFit,
    ::testing::Values(FitCase{"Sxga", 1280, 1024, 0, 3, 280, 102},
                      FitCase{"FullHd", 1920, 1080, 0, 3, 600, 130},
                      FitCase{"FourK", 3840, 2160, 0, 7, 1080, 124},
                      FitCase{"ExactlyTheFrame", 240, 273, 0, 1, 0, 0},
                      FitCase{"TooSmallShowsTheCorner", 200, 200, 0, 1, 0, 0},
                      FitCase{"HugeStopsAtEight", 8000, 8000, 0, 8, 3040, 2908},
                      FitCase{"AskedThreeOnASmallScreen", 640, 480, 3, 3, 0, 0},
                      FitCase{"AskedEight", 1280, 1024, 8, 8, 0, 0}),
    [](const ::testing::TestParamInfo<FitCase>& info) { return std::string(info.param.name); });

TEST(Display, HighDpiWindowHoldsTheWholeFrameInRealPixels) {
    EXPECT_EQ(display::pointsFor(720, 1000, 1000), 720); // an ordinary screen
    EXPECT_EQ(display::pointsFor(720, 640, 1280), 360);  // twice the pixels
    EXPECT_EQ(display::pointsFor(819, 800, 1200), 546);  // one and a half
    EXPECT_EQ(display::pointsFor(819, 1024, 1280), 656); // 1.25: 820 pixels, one spare
    EXPECT_EQ(display::pointsFor(273, 0, 0), 273);       // nothing measured
}

TEST(Display, HighDpiWindowKeepsItsSizeInPointsWithWholePixelsPerPoint) {
    EXPECT_EQ(display::highDpiPoints(240, 1000, 1000), 240); // an ordinary screen: as asked
    EXPECT_EQ(display::highDpiPoints(240, 240, 480), 240);   // 2x: 480 pixels, 2x2 blocks
    EXPECT_EQ(display::highDpiPoints(720, 720, 2160), 720);  // 3x: 2160 pixels, 3x3 blocks
    EXPECT_EQ(display::highDpiPoints(240, 240, 360), 160);   // 1.5: 240 pixels, 1x1 blocks
    EXPECT_EQ(display::highDpiPoints(240, 240, 600), 192);   // 2.5: 480 pixels, 2x2 blocks
    EXPECT_EQ(display::highDpiPoints(273, 0, 0), 273);       // nothing measured
}

// A small frame with a different colour in every pixel, drawn into a target larger than it.
class DisplayCopy : public ::testing::TestWithParam<int32_t> {};

TEST_P(DisplayCopy, EveryFramePixelIsAnExactBlock) {
    const int32_t n = GetParam();
    std::vector<uint32_t> frame(5 * 3);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = 0xff000000u + uint32_t(i * 0x010203u);
    display::Pixels32 src;
    src.pixels = reinterpret_cast<uint8_t*>(frame.data());
    src.pitch = 5 * 4;
    src.width = 5;
    src.height = 3;
    const int32_t w = 5 * n + 7, h = 3 * n + 4, pitchPixels = w + 3;
    // Without the surround only the frame's rectangle is written: the black stays from before.
    for (const bool surround : {true, false}) {
        std::vector<uint32_t> pixels(size_t(pitchPixels) * size_t(h), 0x12345678u);
        display::Pixels32 t;
        t.pixels = reinterpret_cast<uint8_t*>(pixels.data());
        t.pitch = pitchPixels * 4;
        t.width = w;
        t.height = h;
        display::Placement at;
        at.scale = n;
        at.left = 3;
        at.top = 2;
        display::drawScaled(src, at, t, 0xff000000u, surround);
        for (int32_t y = 0; y < h; ++y)
            for (int32_t x = 0; x < pitchPixels; ++x) {
                const uint32_t got = pixels[size_t(y) * size_t(pitchPixels) + size_t(x)];
                // Black around the frame; past the row's end, untouched.
                uint32_t want = surround && x < w ? 0xff000000u : 0x12345678u;
                if (x >= 3 && x < 3 + 5 * n && y >= 2 && y < 2 + 3 * n)
                    want = frame[size_t((y - 2) / n * 5 + (x - 3) / n)];
                ASSERT_EQ(got, want) << "at " << x << "," << y << (surround ? "" : " (frame only)");
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Display, DisplayCopy, ::testing::Values(1, 2, 3, 4, 8),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return "Times" + std::to_string(info.param);
                         });

TEST(Display, TooSmallTargetIsClippedNotOverrun) {
    // 240 x 273 at 1x into 100 x 50, and 3 wide at 2x into 5 wide: a block cut in half.
    std::vector<uint32_t> frame(240 * 273, 0);
    frame[0] = 0x00ff0000u;
    frame[2] = 0x000000ffu;
    display::Pixels32 src;
    src.pixels = reinterpret_cast<uint8_t*>(frame.data());
    src.pitch = 240 * 4;
    src.width = 240;
    src.height = 273;
    std::vector<uint32_t> pixels(100 * 50 + 1, 7u);
    display::Pixels32 t;
    t.pixels = reinterpret_cast<uint8_t*>(pixels.data());
    t.pitch = 100 * 4;
    t.width = 100;
    t.height = 50;
    display::drawScaled(src, display::place(100, 50, 240, 273), t, 0);
    EXPECT_EQ(pixels[0], 0x00ff0000u);
    EXPECT_EQ(pixels[100 * 50], 7u) << "nothing written past the target";

    src.width = 3;
    src.height = 1;
    t.width = 5;
    t.height = 2;
    t.pitch = 5 * 4;
    display::Placement at;
    at.scale = 2;
    display::drawScaled(src, at, t, 0);
    const std::vector<uint32_t> row = {0x00ff0000u, 0x00ff0000u, 0, 0, 0x000000ffu};
    EXPECT_EQ(std::vector<uint32_t>(pixels.begin(), pixels.begin() + 5), row);
    EXPECT_EQ(std::vector<uint32_t>(pixels.begin() + 5, pixels.begin() + 10), row);
}

} // namespace
