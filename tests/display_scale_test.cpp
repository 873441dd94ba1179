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

// A small frame with a different colour in every pixel, drawn into a target larger than it.
class DisplayCopy : public ::testing::TestWithParam<int32_t> {};

TEST_P(DisplayCopy, EveryFramePixelIsAnExactBlock) {
    const int32_t n = GetParam();
    Surface frame(5, 3);
    for (int32_t y = 0; y < 3; ++y)
        for (int32_t x = 0; x < 5; ++x) {
            uint8_t* p = frame.row(y) + x * 3;
            p[0] = uint8_t(10 + x);      // blue
            p[1] = uint8_t(20 + y);      // green
            p[2] = uint8_t(200 + x + y); // red
        }
    const int32_t w = 5 * n + 7, h = 3 * n + 4, pitchPixels = w + 3;
    std::vector<uint32_t> pixels(size_t(pitchPixels) * size_t(h), 0x12345678u);
    display::Target t;
    t.pixels = reinterpret_cast<uint8_t*>(pixels.data());
    t.pitch = pitchPixels * 4;
    t.width = w;
    t.height = h;
    display::Placement at;
    at.scale = n;
    at.left = 3;
    at.top = 2;
    display::drawScaled(frame, at, t);
    for (int32_t y = 0; y < h; ++y)
        for (int32_t x = 0; x < pitchPixels; ++x) {
            const uint32_t got = pixels[size_t(y) * size_t(pitchPixels) + size_t(x)];
            uint32_t want = 0; // black around the frame
            if (x >= w) {
                want = 0x12345678u; // past the row's end, untouched
            } else if (x >= 3 && x < 3 + 5 * n && y >= 2 && y < 2 + 3 * n) {
                const uint8_t* p = frame.row((y - 2) / n) + (x - 3) / n * 3;
                want = (uint32_t(p[2]) << 16) | (uint32_t(p[1]) << 8) | p[0];
            }
            ASSERT_EQ(got, want) << "at " << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Display, DisplayCopy, ::testing::Values(1, 2, 3, 4, 8),
                         [](const ::testing::TestParamInfo<int32_t>& info) {
                             return "Times" + std::to_string(info.param);
                         });

TEST(Display, TooSmallTargetIsClippedNotOverrun) {
    Surface frame(240, 273);
    frame.row(0)[2] = 255;
    std::vector<uint32_t> pixels(100 * 50 + 1, 7u);
    display::Target t;
    t.pixels = reinterpret_cast<uint8_t*>(pixels.data());
    t.pitch = 100 * 4;
    t.width = 100;
    t.height = 50;
    display::drawScaled(frame, display::place(100, 50, 240, 273), t);
    EXPECT_EQ(pixels[0], 0x00ff0000u);
    EXPECT_EQ(pixels[100 * 50], 7u) << "nothing written past the target";
}

} // namespace
