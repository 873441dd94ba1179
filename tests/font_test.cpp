// Words from the 8 x 8 font and long numbers from the digit sheet, drawn on backbuf. The cell
// positions below are read off the sheet layouts: the font's glyph rows
//   0: A B C D E F G H I   1: J K L M N O P Q R   2: S T U V W X Y Z 0   3: 1 2 .. 9   4: ! #
// with colour row k starting at y = 40k + 1, and the digit sheet's styles (block g mod 3 across,
// g div 3 down, 80 x 8 each) above the row of group marks at y = 48.

#include "app/GameState.h"
#include "render/Font.h"
#include "render_fixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace renderfx;

namespace {

const uint8_t kFont = sheetTag(sheet::Font);
const uint8_t kDigits = sheetTag(sheet::Digits);

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override { prepareForDrawing(g); }

    int64_t drawnPixels() const {
        int64_t n = 0;
        for (int32_t y = 0; y < g.backbuf.height(); ++y)
            for (int32_t x = 0; x < g.backbuf.width(); ++x) n += at(g.backbuf, x, y) != Bgr{};
        return n;
    }

    // The whole backbuf against black with the listed cells.
    struct Cell {
        int32_t dx, dy;
        uint8_t tag;
        int32_t sx, sy;
    };
    ::testing::AssertionResult onlyCells(const std::vector<Cell>& cells) const {
        Surface expected(g.backbuf.width(), g.backbuf.height());
        for (const Cell& c : cells) expectCopy(expected, c.dx, c.dy, c.tag, c.sx, c.sy, 8, 8);
        return sameSurface(g.backbuf, expected);
    }

    GameState g;
};

// ---- moji ----

struct GlyphCase {
    char c;
    int32_t column, glyphRow;
};

class FontCell : public ::testing::TestWithParam<GlyphCase> {};

TEST_P(FontCell, EachCharacterHasItsCellInEveryColourRow) {
    const GlyphCase k = GetParam();
    for (int32_t colour = 0; colour < 3; ++colour) {
        GameState g;
        prepareForDrawing(g);
        moji(g, std::string(1, k.c), 30, 100, colour, 8, 0);
        Surface expected(240, 273);
        expectCopy(expected, 30, 100, kFont, k.column * 8, k.glyphRow * 8 + 1 + 40 * colour, 8, 8);
        EXPECT_TRUE(sameSurface(g.backbuf, expected)) << "colour row " << colour;
    }
}

INSTANTIATE_TEST_SUITE_P(Characters, FontCell,
                         ::testing::Values(GlyphCase{'A', 0, 0}, GlyphCase{'E', 4, 0},
                                           GlyphCase{'I', 8, 0}, GlyphCase{'J', 0, 1},
                                           GlyphCase{'M', 3, 1}, GlyphCase{'R', 8, 1},
                                           GlyphCase{'S', 0, 2}, GlyphCase{'Z', 7, 2},
                                           GlyphCase{'0', 8, 2}, GlyphCase{'1', 0, 3},
                                           GlyphCase{'5', 4, 3}, GlyphCase{'9', 8, 3},
                                           GlyphCase{'!', 0, 4}, GlyphCase{'#', 1, 4},
                                           GlyphCase{'q', 7, 1}, GlyphCase{'z', 7, 2}),
                         [](const auto& i) {
                             const char c = i.param.c;
                             if (c == '!') return std::string("Bang");
                             if (c == '#') return std::string("Hash");
                             if (c >= 'a' && c <= 'z') return std::string("Lower_") + c;
                             return std::string("Char_") + c;
                         });

TEST_F(TextTest, LowerCaseAThenBangDrawsTheCellsOfAAndBang) {
    moji(g, "a!", 10, 20, 0, 8, 0);
    EXPECT_TRUE(onlyCells({{10, 20, kFont, 0, 1}, {18, 20, kFont, 0, 33}}));
}

TEST_F(TextTest, SpaceKeepsItsPlace) {
    moji(g, "A B", 10, 20, 1, 8, 0);
    EXPECT_TRUE(onlyCells({{10, 20, kFont, 0, 41}, {26, 20, kFont, 8, 41}}));
}

TEST_F(TextTest, CharactersOutsideTheFontDrawNothingButKeepTheirPlace) {
    moji(g,
         "A?-.\xff"
         "B",
         0, 0, 0, 8, 0);
    EXPECT_TRUE(onlyCells({{0, 0, kFont, 0, 1}, {40, 0, kFont, 8, 1}}));
}

TEST_F(TextTest, CentredPauseStartsAt96) {
    moji(g, "PAUSE", 120, 120, 0, 8, 1);
    EXPECT_TRUE(onlyCells({{96, 120, kFont, 48, 9},
                           {104, 120, kFont, 0, 1},
                           {112, 120, kFont, 16, 17},
                           {120, 120, kFont, 0, 17},
                           {128, 120, kFont, 32, 1}}));
}

// The centring assumes 8-pixel glyphs: "READY" spaced 10 still starts 24 left of x.
TEST_F(TextTest, CentringIgnoresTheSpacing) {
    moji(g, "READY", 120, 64, 0, 10, 1);
    EXPECT_TRUE(onlyCells({{96, 64, kFont, 64, 9},
                           {106, 64, kFont, 32, 1},
                           {116, 64, kFont, 0, 1},
                           {126, 64, kFont, 24, 1},
                           {136, 64, kFont, 48, 17}}));
}

TEST_F(TextTest, SpacingZeroStacksEveryGlyphAtTheStart) {
    // "GAME OVER" centred at 120 starts at 120 - 40 = 80; the last glyph, R, lies on top.
    moji(g, "GAME OVER", 120, 120, 0, 0, 1);
    EXPECT_TRUE(onlyCells({{80, 120, kFont, 64, 9}}));
}

TEST_F(TextTest, EmptyTextDrawsNothing) {
    moji(g, "", 120, 120, 0, 8, 1);
    moji(g, "", 0, 0, 2, 8, 0);
    EXPECT_EQ(drawnPixels(), 0);
}

TEST_F(TextTest, GlyphsAreClippedAtTheEdges) {
    moji(g, "AB", -4, 269, 0, 8, 0);
    EXPECT_TRUE(onlyCells({{-4, 269, kFont, 0, 1}, {4, 269, kFont, 8, 1}}));
    EXPECT_EQ(drawnPixels(), 4 * 4 + 8 * 4);
}

TEST_F(TextTest, BlackOfACellIsTransparent) {
    // A cell pixel with a zero byte lets what lies below show through.
    set(g.sheets[sheet::Font], 2, 3, {0, 0, 255}); // cell A, row 2 of the cell, column 2
    fill(g.backbuf, {9, 9, 9});
    moji(g, "A", 50, 50, 0, 8, 0);
    EXPECT_EQ(at(g.backbuf, 52, 52), (Bgr{9, 9, 9}));
    EXPECT_EQ(at(g.backbuf, 53, 52), markOf(kFont, 3, 3));
}

// ---- sco ----

struct Placed {
    int32_t dx, sx, sy;
};

struct NumberCase {
    const char* name;
    std::string digits;
    int32_t x;
    std::vector<Placed> cells; // every cell drawn, at row y
};

class NumberDrawing : public ::testing::TestWithParam<NumberCase> {};

TEST_P(NumberDrawing, DrawsExactlyTheseCells) {
    const NumberCase& c = GetParam();
    GameState g;
    prepareForDrawing(g);
    sco(g, c.digits, c.x, 241);
    Surface expected(240, 273);
    for (const Placed& p : c.cells) expectCopy(expected, p.dx, 241, kDigits, p.sx, p.sy, 8, 8);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, NumberDrawing,
    ::testing::Values(
        NumberCase{"Zero", "0", 80, {{80, 0, 0}, {88, 0, 48}}},
        NumberCase{"FourDigits",
                   "1234",
                   80,
                   {{80, 8, 0}, {88, 16, 0}, {96, 24, 0}, {104, 32, 0}, {112, 0, 48}}},
        NumberCase{"FiveDigits",
                   "12345",
                   80,
                   {{80, 88, 0},
                    {88, 8, 48},
                    {96, 16, 0},
                    {104, 24, 0},
                    {112, 32, 0},
                    {120, 40, 0},
                    {128, 0, 48}}},
        NumberCase{"SevenDigits",
                   "1234567",
                   80,
                   {{80, 88, 0},
                    {88, 96, 0},
                    {96, 104, 0},
                    {104, 8, 48},
                    {112, 32, 0},
                    {120, 40, 0},
                    {128, 48, 0},
                    {136, 56, 0},
                    {144, 0, 48}}},
        // Group 3: first block across, second row of blocks.
        NumberCase{"ThirteenDigits",
                   "1000000000009",
                   80,
                   {{80, 8, 8},
                    {88, 24, 48},
                    {96, 160, 0},
                    {104, 160, 0},
                    {112, 160, 0},
                    {120, 160, 0},
                    {128, 16, 48},
                    {136, 80, 0},
                    {144, 80, 0},
                    {152, 80, 0},
                    {160, 80, 0},
                    {168, 8, 48},
                    {176, 0, 0},
                    {184, 0, 0},
                    {192, 0, 0},
                    {200, 72, 0},
                    {208, 0, 48}}},
        // 20 cells from 80 to 232; digit 17 and the mark of group 1 fall at 240 and 248.
        NumberCase{"TwentyOneDigitsCutAt240",
                   "123456789012345678901",
                   80,
                   {{80, 168, 8},  {88, 40, 48},  {96, 96, 8},   {104, 104, 8}, {112, 112, 8},
                    {120, 120, 8}, {128, 32, 48}, {136, 48, 8},  {144, 56, 8},  {152, 64, 8},
                    {160, 72, 8},  {168, 24, 48}, {176, 160, 0}, {184, 168, 0}, {192, 176, 0},
                    {200, 184, 0}, {208, 16, 48}, {216, 112, 0}, {224, 120, 0}, {232, 128, 0}}},
        // 255 digits: groups 63 .. 59 have neither styles nor marks on the sheet.
        NumberCase{"LongestNumber", std::string(255, '7'), 80, {}},
        NumberCase{"MinusSignDrawsNothing", "-5", 80, {{88, 40, 0}, {96, 0, 48}}},
        NumberCase{"NonDigitsKeepTheirPlace", "1 :/", 80, {{80, 8, 0}, {112, 0, 48}}},
        NumberCase{"HighByteDrawsNothing",
                   "\xff"
                   "3",
                   80,
                   {{88, 24, 0}, {96, 0, 48}}},
        NumberCase{"Empty", "", 80, {}}),
    [](const auto& i) { return std::string(i.param.name); });

// 73 digits: group 18 has no digit style, so its one digit stays empty; the digits of groups
// 17 down to 14 and their marks follow as usual. Whether the mark of group 18 (which the sheet
// does hold, at x 144) is drawn is left open.
TEST_F(TextTest, SeventyThreeDigitsLeaveTheStylelessDigitEmpty) {
    sco(g, "1" + std::string(72, '2'), 80, 241);
    std::vector<Cell> cells = {
        {96, 241, kDigits, 176, 40},  {104, 241, kDigits, 176, 40}, {112, 241, kDigits, 176, 40},
        {120, 241, kDigits, 176, 40}, {128, 241, kDigits, 136, 48}, {136, 241, kDigits, 96, 40},
        {144, 241, kDigits, 96, 40},  {152, 241, kDigits, 96, 40},  {160, 241, kDigits, 96, 40},
        {168, 241, kDigits, 128, 48}, {176, 241, kDigits, 16, 40},  {184, 241, kDigits, 16, 40},
        {192, 241, kDigits, 16, 40},  {200, 241, kDigits, 16, 40},  {208, 241, kDigits, 120, 48},
        {216, 241, kDigits, 176, 32}, {224, 241, kDigits, 176, 32}, {232, 241, kDigits, 176, 32}};
    const bool withoutMark = onlyCells(cells);
    cells.push_back({88, 241, kDigits, 144, 48});
    EXPECT_TRUE(withoutMark || onlyCells(cells)) << onlyCells(cells).message();
}

// On a wider buffer the cells that fall outside the real one become visible: digit 17 at 240
// and the mark of group 1 at 248 are placed, and then drawing stops.
TEST_F(TextTest, TwentyOneDigitsStopAfterTheMarkAt248) {
    g.backbuf.create(320, 273);
    sco(g, "123456789012345678901", 80, 241);
    EXPECT_TRUE(cellAt(g.backbuf, 232, 241, kDigits, 128, 0)); // digit 16, a 6 of group 1
    EXPECT_TRUE(cellAt(g.backbuf, 240, 241, kDigits, 136, 0)); // digit 17, a 7 of group 1
    EXPECT_TRUE(cellAt(g.backbuf, 248, 241, kDigits, 8, 48));  // mark of group 1
    for (int32_t y = 0; y < 273; ++y)
        for (int32_t x = 256; x < 320; ++x) ASSERT_EQ(at(g.backbuf, x, y), Bgr{}) << x << "," << y;
    EXPECT_EQ(drawnPixels(), 22 * 64);
}

// With the closing mark landing exactly at 240 the mark is still placed (on a wider buffer).
TEST_F(TextTest, ClosingMarkAt240IsPlaced) {
    g.backbuf.create(320, 273);
    sco(g, "123", 216, 0); // digits at 216, 224, 232; closing mark at 240
    EXPECT_TRUE(cellAt(g.backbuf, 240, 0, kDigits, 0, 48));
    EXPECT_EQ(drawnPixels(), 4 * 64);
    g.backbuf.create(320, 273);
    sco(g, "1234", 216, 0); // digit 4 at 240, next cell 248 lies beyond: no closing mark
    EXPECT_TRUE(cellAt(g.backbuf, 240, 0, kDigits, 32, 0));
    EXPECT_EQ(drawnPixels(), 4 * 64);
}

// The digit sheet given here is exactly the layout's size, so any read of a cell beyond it
// would be garbage from other rows, or past the allocation under the sanitizer.
TEST_F(TextTest, LongNumbersReadNothingOutsideASmallerSheet) {
    g.sheets[sheet::Digits] = marked(160, 48, kDigits); // two blocks across, no mark row
    sco(g, "12345", 80, 100);
    // Group 1's block exists; the marks do not.
    EXPECT_TRUE(onlyCells({{80, 100, kDigits, 88, 0},
                           {96, 100, kDigits, 16, 0},
                           {104, 100, kDigits, 24, 0},
                           {112, 100, kDigits, 32, 0},
                           {120, 100, kDigits, 40, 0}}));
}

} // namespace
