// The generated pictures (tools/assetgen, image_*.cpp), read back with the game's own decoders
// from the build folder: sheet sizes against the cell layouts the game draws with,
// the transparency rule of keyed sheets, non-empty cells for everything the game draws, the
// see-through inside of the gauge frames, and the default background JPEG.

#include "platform/Picture.h"
#include "render/Surface.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

std::string imagePath(const std::string& name) {
    return std::string(VORTALIX_BINARY_DIR) + "/image/" + name;
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>());
}

Surface loadSheet(const std::string& name) {
    const std::vector<uint8_t> bytes = readBytes(imagePath(name));
    Surface s;
    std::string error;
    EXPECT_FALSE(bytes.empty()) << name << " is missing";
    EXPECT_TRUE(decodeBmp(bytes.data(), bytes.size(), s, error)) << name << ": " << error;
    return s;
}

const uint8_t* px(const Surface& s, int x, int y) {
    return s.row(y) + size_t(x) * 3;
}

// Drawn by the keyed blits: all three bytes non-zero.
bool visible(const Surface& s, int x, int y) {
    const uint8_t* p = px(s, x, y);
    return p[0] != 0 && p[1] != 0 && p[2] != 0;
}
bool black(const Surface& s, int x, int y) {
    const uint8_t* p = px(s, x, y);
    return p[0] == 0 && p[1] == 0 && p[2] == 0;
}

int visibleIn(const Surface& s, int x0, int y0, int w, int h) {
    int n = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) n += visible(s, x, y) ? 1 : 0;
    return n;
}

long brightnessIn(const Surface& s, int x0, int y0, int w, int h) {
    long sum = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) {
            const uint8_t* p = px(s, x, y);
            sum += p[0] + p[1] + p[2];
        }
    return sum;
}

// The keyed-sheet rule: a pixel is either background (0,0,0) or has every byte >= 1; a pixel
// with some zero bytes would be meant to be seen and vanish.
void expectKeyedClean(const Surface& s, int x0, int y0, int w, int h, const std::string& what) {
    int bad = 0;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (!black(s, x, y) && !visible(s, x, y)) {
                if (bad < 5)
                    ADD_FAILURE() << what << ": pixel " << x << "," << y << " has a zero byte";
                ++bad;
            }
    EXPECT_EQ(bad, 0) << what;
}

std::string cellKey(const Surface& s, int x0, int y0, int w, int h) {
    std::string k;
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x) k += visible(s, x, y) ? '#' : '.';
    return k;
}

// The cell's bytes: two cells of the same outline but other colours count as different.
std::string cellBytes(const Surface& s, int x0, int y0, int w, int h) {
    std::string k;
    for (int y = y0; y < y0 + h; ++y)
        k.append(reinterpret_cast<const char*>(px(s, x0, y)), size_t(w) * 3);
    return k;
}

} // namespace

TEST(AssetImages, FontHasEveryGlyphInColourRowsZeroToTwo) {
    const Surface s = loadSheet("moji02.bmp");
    ASSERT_GE(s.width(), 72);
    ASSERT_GE(s.height(), 40 * 2 + 1 + 40); // colour rows 0..2
    expectKeyedClean(s, 0, 0, s.width(), s.height(), "moji02.bmp");
    const std::string chars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#";
    for (int k = 0; k < 3; ++k) {
        std::set<std::string> shapes;
        for (char c : chars) {
            int f = c >= 'A' && c <= 'Z'
                        ? c - 'A'
                        : (c >= '0' && c <= '9' ? c - '0' + 26 : (c == '!' ? 36 : 37));
            const int x = (f % 9) * 8, y = (f / 9) * 8 + 1 + k * 40;
            ASSERT_LE(x + 8, s.width());
            ASSERT_LE(y + 8, s.height());
            EXPECT_GE(visibleIn(s, x, y, 8, 8), 8) << "glyph " << c << " in colour row " << k;
            shapes.insert(cellKey(s, x, y, 8, 8));
        }
        EXPECT_EQ(shapes.size(), chars.size())
            << "every glyph of colour row " << k << " has its own shape";
    }
}

TEST(AssetImages, FontColourRowsLookDifferent) {
    const Surface s = loadSheet("moji02.bmp");
    ASSERT_GE(s.height(), 121);
    // the A of each colour row: same shape, another colour
    auto colourOf = [&](int k) {
        long r = 0, g = 0, b = 0;
        for (int y = 1 + 40 * k; y < 9 + 40 * k; ++y)
            for (int x = 0; x < 8; ++x)
                if (visible(s, x, y)) b += px(s, x, y)[0], g += px(s, x, y)[1], r += px(s, x, y)[2];
        return std::vector<long>{r, g, b};
    };
    EXPECT_NE(colourOf(0), colourOf(1));
    EXPECT_NE(colourOf(1), colourOf(2));
    EXPECT_NE(colourOf(0), colourOf(2));
    EXPECT_EQ(cellKey(s, 0, 1, 8, 8), cellKey(s, 0, 41, 8, 8));
}

TEST(AssetImages, DigitSheetHas18StylesAnd30Marks) {
    const Surface s = loadSheet("moji01.bmp");
    ASSERT_GE(s.width(), 240);
    ASSERT_GE(s.height(), 56);
    expectKeyedClean(s, 0, 0, s.width(), s.height(), "moji01.bmp");
    for (int g = 0; g < 18; ++g) {
        std::set<std::string> shapes;
        for (int d = 0; d < 10; ++d) {
            const int x = d * 8 + (g % 3) * 80, y = (g / 3) * 8;
            EXPECT_GE(visibleIn(s, x, y, 8, 8), 8) << "digit " << d << " of style " << g;
            shapes.insert(cellBytes(s, x, y, 8, 8));
        }
        EXPECT_EQ(shapes.size(), 10u) << "the ten digits of style " << g << " differ";
    }
    for (int g = 0; g < 30; ++g) EXPECT_GE(visibleIn(s, g * 8, 48, 8, 8), 3) << "group mark " << g;
    // styles differ from one another (colours), so a long score shows its groups apart
    // Kept as strings: GCC 12 at -O3 takes the comparison of byte vectors for an over-read.
    std::set<std::string> looks;
    for (int g = 0; g < 18; ++g) {
        std::string cell;
        const int x0 = 8 + (g % 3) * 80, y0 = (g / 3) * 8; // the digit 1
        for (int y = y0; y < y0 + 8; ++y)
            cell.append(reinterpret_cast<const char*>(px(s, x0, y)), 24);
        looks.insert(cell);
    }
    EXPECT_EQ(looks.size(), 18u);
}

TEST(AssetImages, GaugeFramesAreSeeThroughOverTheBars) {
    const Surface s = loadSheet("garge01.bmp");
    ASSERT_GE(s.width(), 160);
    ASSERT_GE(s.height(), 32);
    expectKeyedClean(s, 0, 0, 160, 32, "garge01.bmp");
    for (int i = 0; i < 3; ++i) {
        // combo-timer frame drawn at (208, 265), bar at x 210..238, y 267..270
        for (int y = 2; y <= 5; ++y)
            for (int x = 2; x <= 30; ++x)
                EXPECT_TRUE(black(s, 32 * i + x, y))
                    << "combo frame " << i << " at " << x << "," << y;
        EXPECT_GE(visibleIn(s, 32 * i, 0, 32, 8), 60) << "combo frame " << i << " has a border";
        // level-gauge frame drawn at (80, 257), bar at x 82..238, y 259..262
        for (int y = 2; y <= 5; ++y)
            for (int x = 2; x <= 158; ++x)
                EXPECT_TRUE(black(s, x, 8 + 8 * i + y))
                    << "level frame " << i << " at " << x << "," << y;
        EXPECT_GE(visibleIn(s, 0, 8 + 8 * i, 160, 8), 500)
            << "level frame " << i << " has a border";
    }
    EXPECT_NE(cellBytes(s, 0, 0, 32, 8), cellBytes(s, 64, 0, 32, 8));
    EXPECT_NE(cellBytes(s, 0, 8, 160, 8), cellBytes(s, 0, 24, 160, 8));
}

TEST(AssetImages, ItemSheetsHoldElevenKindsEach) {
    for (const char* name : {"bonus01.bmp", "bairitu01.bmp"}) {
        const Surface s = loadSheet(name);
        ASSERT_GE(s.width(), 64) << name;
        ASSERT_GE(s.height(), 48) << name;
        expectKeyedClean(s, 0, 0, 64, 48, name);
        std::set<std::string> shapes;
        for (int k = 1; k <= 11; ++k) {
            const int x = 16 * (k % 4), y = 16 * (k / 4);
            EXPECT_GE(visibleIn(s, x, y, 16, 16), 60) << name << " kind " << k;
            std::string key =
                cellKey(s, x, y, 16, 16) + std::to_string(brightnessIn(s, x, y, 16, 16));
            shapes.insert(key);
        }
        EXPECT_EQ(shapes.size(), 11u) << name << ": every kind has its own picture";
    }
}

TEST(AssetImages, EffectStripsAnimateAndTheGlowIsRound) {
    const Surface s = loadSheet("efect01.bmp");
    ASSERT_GE(s.width(), 736);
    ASSERT_GE(s.height(), 16);
    expectKeyedClean(s, 0, 0, 720, 16, "efect01.bmp strips");
    for (int t = 1; t <= 5; ++t) {
        std::set<std::string> frames;
        for (int f = 0; f < 9; ++f) {
            const int x = (t - 1) * 144 + f * 16;
            if (f < 8) {
                EXPECT_GE(visibleIn(s, x, 0, 16, 16), 4) << "strip " << t << " frame " << f;
            }
            frames.insert(cellKey(s, x, 0, 16, 16));
        }
        EXPECT_GE(frames.size(), 8u) << "strip " << t << " changes from frame to frame";
        // it fades: the last frame is darker than the brightest one
        long brightest = 0;
        for (int f = 0; f < 9; ++f)
            brightest = std::max(brightest, brightnessIn(s, (t - 1) * 144 + f * 16, 0, 16, 16));
        EXPECT_LT(brightnessIn(s, (t - 1) * 144 + 128, 0, 16, 16), brightest / 2) << "strip " << t;
    }
    // the glow: brightest at (7, 7), nothing in the corners
    const uint8_t* centre = px(s, 720 + 7, 7);
    EXPECT_GE(int(centre[0]) + centre[1] + centre[2], 300);
    EXPECT_TRUE(black(s, 720, 0));
    EXPECT_TRUE(black(s, 735, 15));
    EXPECT_GT(brightnessIn(s, 720 + 6, 6, 3, 3), brightnessIn(s, 720 + 2, 6, 3, 3));
}

TEST(AssetImages, ExplosionsGrowAndFadeToBlack) {
    const Surface small = loadSheet("bomb01.bmp");
    ASSERT_GE(small.width(), 384);
    ASSERT_GE(small.height(), 128);
    std::vector<long> b;
    for (int n = 0; n < 12; ++n)
        b.push_back(brightnessIn(small, (n % 6) * 64, (n / 6) * 64, 64, 64));
    for (int n = 0; n < 11; ++n) EXPECT_GT(b[size_t(n)], 0) << "bomb01 frame " << n;
    EXPECT_LT(b[11], b[4] / 10) << "bomb01 ends almost black";
    EXPECT_LT(b[10], b[5]);
    // drawn plain additive: the borders of each cell stay black so no square edge shows
    for (int n = 0; n < 12; ++n)
        EXPECT_LT(brightnessIn(small, (n % 6) * 64, (n / 6) * 64, 64, 1), 64 * 3 * 8);

    const Surface big = loadSheet("bomb02.bmp");
    ASSERT_GE(big.width(), 6 * 192);
    ASSERT_GE(big.height(), 2 * 192);
    std::vector<long> c;
    for (int n = 0; n < 9; ++n)
        c.push_back(brightnessIn(big, (n % 6) * 192, (n / 6) * 192, 192, 192));
    for (int n = 0; n < 9; ++n) EXPECT_GT(c[size_t(n)], 0) << "bomb02 frame " << n;
    EXPECT_LT(c[8], c[2] / 4) << "bomb02 fades out";
}

TEST(AssetImages, ThunderIsBrightBoltsOnBlack) {
    for (const char* name : {"thunder01.bmp", "thunder02.bmp"}) {
        const Surface s = loadSheet(name);
        ASSERT_GE(s.width(), 240) << name;
        ASSERT_GE(s.height(), 240) << name;
        int dark = 0, bright = 0;
        for (int y = 0; y < 240; ++y)
            for (int x = 0; x < 240; ++x) {
                const uint8_t* p = px(s, x, y);
                const int m = std::max({p[0], p[1], p[2]});
                dark += m < 48 ? 1 : 0;
                bright += p[0] >= 220 && p[1] >= 220 && p[2] >= 220 ? 1 : 0;
            }
        EXPECT_GT(dark, 240 * 240 * 7 / 10) << name << " is mostly black";
        EXPECT_GT(bright, 300) << name << " has white-hot bolts";
    }
}

TEST(AssetImages, TitleIsBrightOnBlackAndKeyedClean) {
    const Surface s = loadSheet("title02.bmp");
    ASSERT_GE(s.width(), 200);
    ASSERT_GE(s.height(), 70);
    expectKeyedClean(s, 0, 0, 200, 70, "title02.bmp");
    EXPECT_GT(visibleIn(s, 0, 0, 200, 70), 3000);
    EXPECT_LT(visibleIn(s, 0, 0, 200, 70), 200 * 70 * 3 / 4) << "the logo stands on black";
}

TEST(AssetImages, DefaultBackgroundIsAColourfulJpeg) {
    const std::vector<uint8_t> bytes = readBytes(imagePath("t_back.jpg"));
    ASSERT_FALSE(bytes.empty());
    ASSERT_GE(bytes.size(), 3u);
    EXPECT_EQ(bytes[0], 0xFF);
    EXPECT_EQ(bytes[1], 0xD8);
    Surface s;
    std::string error;
    ASSERT_TRUE(decodeJpeg(bytes.data(), bytes.size(), s, error)) << error;
    ASSERT_GE(s.width(), 240);
    ASSERT_GE(s.height(), 240);
    const Surface dim = gensyoku(s);
    long sum = 0;
    long rsum = 0, bsum = 0;
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 240; ++x) {
            const uint8_t* p = px(dim, x, y);
            sum += p[0] + p[1] + p[2];
            bsum += p[0];
            rsum += p[2];
        }
    const double mean = double(sum) / (240.0 * 240.0 * 3.0);
    EXPECT_GT(mean, 12.0) << "bright enough to be seen at a quarter brightness";
    EXPECT_LT(mean, 50.0) << "dark enough for the white trail to stand out";
    EXPECT_NE(rsum, bsum);
    // it tiles: the game scrolls it with wrap-around, so opposite edges match closely
    long seam = 0, inner = 0;
    for (int y = 0; y < s.height(); ++y) {
        const uint8_t* a = px(s, 0, y);
        const uint8_t* b = px(s, s.width() - 1, y);
        const uint8_t* c = px(s, s.width() / 2, y);
        const uint8_t* d = px(s, s.width() / 2 + 1, y);
        for (int i = 0; i < 3; ++i)
            seam += std::abs(int(a[i]) - int(b[i])), inner += std::abs(int(c[i]) - int(d[i]));
    }
    EXPECT_LT(seam, inner * 3 + s.height() * 3 * 12)
        << "the left and right edges meet without a seam";
}

TEST(AssetImages, SameSourcesGiveTheSameBytes) {
    const std::string gen = std::string(VORTALIX_BINARY_DIR) + "/tools/bin/assetgen";
    if (!std::filesystem::exists(gen)) GTEST_SKIP() << "no generator at " << gen;
    const std::filesystem::path out =
        std::filesystem::temp_directory_path() / "vortalix_images_again";
    std::filesystem::remove_all(out);
    ASSERT_EQ(std::system(("\"" + gen + "\" \"" + out.string() + "\" > /dev/null 2>&1").c_str()),
              0);
    for (const char* name : {"bonus01.bmp", "bairitu01.bmp", "efect01.bmp", "title02.bmp",
                             "moji01.bmp", "moji02.bmp", "garge01.bmp", "bomb01.bmp",
                             "thunder01.bmp", "thunder02.bmp", "bomb02.bmp", "t_back.jpg"}) {
        const std::vector<uint8_t> a = readBytes(imagePath(name));
        const std::vector<uint8_t> b = readBytes((out / "image" / name).string());
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between two runs";
    }
    std::filesystem::remove_all(out);
}
