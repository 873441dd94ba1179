// The layers of every frame: the scrolled backdrop or black, the status bar with its gauges and
// flickering bars, the trail and the items, the pause label, and the screenshot file.

#include "app/GameState.h"
#include "app/TForm1.h"
#include "game/Game.h"
#include "platform/Picture.h"
#include "platform/headless/HeadlessPlatform.h"
#include "render/Frame.h"
#include "render_fixture.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;
using namespace renderfx;

namespace {

const uint8_t kFont = sheetTag(sheet::Font);
const uint8_t kDigits = sheetTag(sheet::Digits);
const uint8_t kGauge = sheetTag(sheet::Gauge);
const uint8_t kBonus = sheetTag(sheet::Bonus);
const uint8_t kRate = sheetTag(sheet::Rate);
constexpr Bgr kWhite = {255, 255, 255};
constexpr Bgr kGrey = {7, 7, 7};

class FrameTest : public ::testing::Test {
  protected:
    void SetUp() override {
        prepareForDrawing(g, 0x1234567u);
        g.platform = &p;
        g.scrollx = 100;
        g.scrolly = 100;
    }

    void cell(Surface& e, int32_t dx, int32_t dy, uint8_t tag, int32_t sx, int32_t sy) {
        expectCopy(e, dx, dy, tag, sx, sy, 8, 8);
    }
    static void whiteRow240(Surface& e) {
        for (int32_t x = 0; x < 240; ++x) set(e, x, 240, kWhite);
    }

    // The status bar of a fresh game: score 0, rate 1, level 1, combo 0, no bars.
    void freshStatusBar(Surface& e) {
        // "SCORE", colour row 0
        cell(e, 0, 241, kFont, 0, 17);
        cell(e, 8, 241, kFont, 16, 1);
        cell(e, 16, 241, kFont, 40, 9);
        cell(e, 24, 241, kFont, 64, 9);
        cell(e, 32, 241, kFont, 32, 1);
        cell(e, 80, 241, kDigits, 0, 0); // 0
        cell(e, 88, 241, kDigits, 0, 48);
        // "RATE", colour row 1
        cell(e, 0, 249, kFont, 64, 49);
        cell(e, 8, 249, kFont, 0, 41);
        cell(e, 16, 249, kFont, 8, 57);
        cell(e, 24, 249, kFont, 32, 41);
        cell(e, 80, 249, kDigits, 8, 0); // 1
        cell(e, 88, 249, kDigits, 0, 48);
        // "LEVEL" and 1, colour row 2, and the first level frame
        cell(e, 0, 257, kFont, 16, 89);
        cell(e, 8, 257, kFont, 32, 81);
        cell(e, 16, 257, kFont, 24, 97);
        cell(e, 24, 257, kFont, 32, 81);
        cell(e, 32, 257, kFont, 16, 89);
        cell(e, 48, 257, kFont, 0, 105);
        expectCopy(e, 80, 257, kGauge, 0, 8, 160, 8);
        // "COMBO" and 0HIT, colour row 2, and the first timer frame
        cell(e, 0, 265, kFont, 16, 81);
        cell(e, 8, 265, kFont, 40, 89);
        cell(e, 16, 265, kFont, 24, 89);
        cell(e, 24, 265, kFont, 8, 81);
        cell(e, 32, 265, kFont, 40, 89);
        cell(e, 48, 265, kFont, 64, 97);
        cell(e, 56, 265, kFont, 56, 81);
        cell(e, 64, 265, kFont, 64, 81);
        cell(e, 72, 265, kFont, 8, 97);
        expectCopy(e, 208, 265, kGauge, 0, 0, 32, 8);
    }

    // Horizontal shift of the backdrop as drawn, from the backdrop column seen at x = 0.
    int32_t drawnShiftX() const { return (240 - (at(g.backbuf, 0, 0)[0] - 1)) % 240; }
    int32_t drawnShiftY() const { return (240 - (at(g.backbuf, 0, 0)[1] - 1)) % 240; }

    HeadlessPlatform p;
    GameState g;
};

// ---- cls ----

TEST_F(FrameTest, WithoutBackdropAllIsBlackButTheSeparatorAndTheStatusText) {
    g.bgenabled = 0;
    fill(g.backbuf, kGrey);
    cls(g);
    Surface expected(240, 273);
    whiteRow240(expected);
    freshStatusBar(expected);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

// Offsets lowered by one every frame, as a point running right moves them: switched off and on
// again, the backdrop shows exactly where it would be had it stayed on, with no jump.
TEST_F(FrameTest, BackdropSwitchedOffAndOnComesBackWhereItWouldHaveBeen) {
    const auto run = [&](bool offAWhile) {
        g.scrollx = 5;
        g.scrolly = 7;
        for (int32_t frame = 0; frame < 600; ++frame) {
            g.bgenabled = offAWhile && frame >= 100 && frame < 400 ? 0 : 1;
            cls(g);
            g.scrollx -= 1;
            g.scrolly += 1;
        }
        return std::array<int32_t, 4>{g.scrollx, g.scrolly, drawnShiftX(), drawnShiftY()};
    };
    const auto alwaysOn = run(false);
    EXPECT_EQ(run(true), alwaysOn);
}

TEST_F(FrameTest, WithBackdropTheStatusBarShowsBackdropRowsOneTo32) {
    g.bgenabled = 1;
    g.scrollx = 50; // the play field is shifted, the status bar background is not
    g.scrolly = 70;
    cls(g);
    Surface expected(240, 273);
    expectCopy(expected, 50, 70, kBackdropTag, 0, 0, 240, 240);
    expectCopy(expected, 50 - 240, 70, kBackdropTag, 0, 0, 240, 240);
    expectCopy(expected, 50, 70 - 240, kBackdropTag, 0, 0, 240, 240);
    expectCopy(expected, 50 - 240, 70 - 240, kBackdropTag, 0, 0, 240, 240);
    for (int32_t y = 240; y < 273; ++y)
        for (int32_t x = 0; x < 240; ++x) set(expected, x, y, markOf(kBackdropTag, x, y - 240));
    whiteRow240(expected);
    freshStatusBar(expected);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
    EXPECT_EQ(at(g.backbuf, 239, 241), markOf(kBackdropTag, 239, 1));
    EXPECT_EQ(at(g.backbuf, 150, 272), markOf(kBackdropTag, 150, 32));
    EXPECT_EQ(at(g.backbuf, 150, 240), kWhite);
}

TEST_F(FrameTest, StatusBarDrawsSixRandomNumbersEveryFrameEvenWithoutBars) {
    Draws d{g.rng.seed};
    for (int i = 0; i < 6; ++i) d.next(255);
    cls(g);
    EXPECT_EQ(g.rng.seed, d.seed);
}

struct BarCase {
    const char* name;
    int32_t levelpts, combotimer;
    int32_t levelColumns, timerColumns;
};

class StatusBars : public FrameTest, public ::testing::WithParamInterface<BarCase> {};

// The colours are the next three numbers of the shared generator for the level bar (red, green,
// blue), then three for the timer bar.
TEST_P(StatusBars, BarsHaveTheirLengthAndTheNextRandomColours) {
    const BarCase c = GetParam();
    g.levelpts = c.levelpts;
    g.combotimer = c.combotimer;
    Draws d{g.rng.seed};
    const uint8_t r1 = uint8_t(d.next(255)), g1 = uint8_t(d.next(255)), b1 = uint8_t(d.next(255));
    const uint8_t r2 = uint8_t(d.next(255)), g2 = uint8_t(d.next(255)), b2 = uint8_t(d.next(255));
    cls(g);
    Surface expected(240, 273);
    whiteRow240(expected);
    freshStatusBar(expected);
    for (int32_t y = 259; y < 263; ++y)
        for (int32_t x = 82; x < 82 + c.levelColumns; ++x) set(expected, x, y, {b1, g1, r1});
    for (int32_t y = 267; y < 271; ++y)
        for (int32_t x = 210; x < 210 + c.timerColumns; ++x) set(expected, x, y, {b2, g2, r2});
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, StatusBars,
    ::testing::Values(BarCase{"NoPoints", 0, 0, 0, 0}, BarCase{"LevelExactlyFull", 21, 0, 157, 0},
                      BarCase{"LevelOverFull", 500, 0, 157, 0},
                      BarCase{"LevelPart", 10, 0, 75, 0},   // 74.29
                      BarCase{"LevelOnePoint", 1, 0, 8, 0}, // 7.43
                      BarCase{"TimerAboveFull", 0, 355, 0, 29}, BarCase{"TimerFull", 0, 300, 0, 29},
                      BarCase{"TimerHalf", 0, 150, 0, 15}, BarCase{"TimerOne", 0, 1, 0, 1},
                      BarCase{"Both", 21, 355, 157, 29}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FrameTest, BarColoursChangeEveryFrame) {
    g.levelpts = 21;
    cls(g);
    const Bgr first = at(g.backbuf, 100, 260);
    Draws d{g.rng.seed};
    const uint8_t r = uint8_t(d.next(255)), gr = uint8_t(d.next(255)), b = uint8_t(d.next(255));
    cls(g);
    EXPECT_EQ(at(g.backbuf, 100, 260), (Bgr{b, gr, r}));
    EXPECT_NE(at(g.backbuf, 100, 260), first);
}

struct LevelCase {
    int32_t level;
    int32_t colourRow, gaugeY;
    std::vector<int32_t> digitColumns; // font columns of the level's digits (glyph row 3)
};

class LevelLine : public FrameTest, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(LevelLine, ColourRowAndGaugeFrameFollowTheLevel) {
    const LevelCase c = GetParam();
    g.level = uint8_t(c.level);
    cls(g);
    const int32_t y0 = 40 * c.colourRow + 1;
    EXPECT_TRUE(cellAt(g.backbuf, 0, 257, kFont, 16, y0 + 8));   // L
    EXPECT_TRUE(cellAt(g.backbuf, 8, 257, kFont, 32, y0));       // E
    EXPECT_TRUE(cellAt(g.backbuf, 16, 257, kFont, 24, y0 + 16)); // V
    for (size_t i = 0; i < c.digitColumns.size(); ++i)
        EXPECT_TRUE(
            cellAt(g.backbuf, 48 + 8 * int32_t(i), 257, kFont, 8 * c.digitColumns[i], y0 + 24));
    EXPECT_TRUE(cellAt(g.backbuf, 80, 257, kGauge, 0, c.gaugeY, 160, 8));
}

INSTANTIATE_TEST_SUITE_P(Levels, LevelLine,
                         ::testing::Values(LevelCase{85, 2, 8, {7, 4}},
                                           LevelCase{86, 1, 16, {7, 5}},
                                           LevelCase{171, 1, 16, {0, 6, 0}},
                                           LevelCase{172, 0, 24, {0, 6, 1}},
                                           LevelCase{255, 0, 24, {1, 4, 4}}),
                         [](const auto& i) { return "Level" + std::to_string(i.param.level); });

struct ComboRow {
    int32_t combo, colourRow, frameX;
    int32_t firstDigitColumn, firstDigitGlyphRow, digits;
};

class ComboLine : public FrameTest, public ::testing::WithParamInterface<ComboRow> {};

TEST_P(ComboLine, ColourRowAndTimerFrameFollowTheCombo) {
    const ComboRow c = GetParam();
    g.combo = c.combo;
    cls(g);
    const int32_t y0 = 40 * c.colourRow + 1;
    EXPECT_TRUE(cellAt(g.backbuf, 0, 265, kFont, 16, y0));      // C
    EXPECT_TRUE(cellAt(g.backbuf, 16, 265, kFont, 24, y0 + 8)); // M
    EXPECT_TRUE(
        cellAt(g.backbuf, 48, 265, kFont, 8 * c.firstDigitColumn, y0 + 8 * c.firstDigitGlyphRow));
    // "HIT" follows the digits directly.
    const int32_t h = 48 + 8 * c.digits;
    EXPECT_TRUE(cellAt(g.backbuf, h, 265, kFont, 56, y0));
    EXPECT_TRUE(cellAt(g.backbuf, h + 8, 265, kFont, 64, y0));
    EXPECT_TRUE(cellAt(g.backbuf, h + 16, 265, kFont, 8, y0 + 16));
    EXPECT_TRUE(cellAt(g.backbuf, 208, 265, kGauge, c.frameX, 0, 32, 8));
}

INSTANTIATE_TEST_SUITE_P(Combos, ComboLine,
                         ::testing::Values(ComboRow{0, 2, 0, 8, 2, 1}, ComboRow{99, 2, 0, 8, 3, 2},
                                           ComboRow{100, 1, 32, 0, 3, 3},
                                           ComboRow{199, 1, 32, 0, 3, 3},
                                           ComboRow{200, 0, 64, 1, 3, 3},
                                           ComboRow{250, 0, 64, 1, 3, 3},
                                           ComboRow{1000, 0, 64, 0, 3, 4}),
                         [](const auto& i) { return "Combo" + std::to_string(i.param.combo); });

// ---- scroll ----

class Scroll : public FrameTest, public ::testing::WithParamInterface<std::array<int32_t, 2>> {};

TEST_P(Scroll, BackdropPixelGoesToItsPositionPlusTheOffsetWrapped) {
    const auto [ox, oy] = GetParam();
    fill(g.backbuf, kGrey);
    scroll(g, ox, oy);
    Surface expected(240, 273);
    fill(expected, kGrey);
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 240; ++x)
            set(expected, x, y, markOf(kBackdropTag, (x - ox + 240) % 240, (y - oy + 240) % 240));
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, Scroll,
    ::testing::Values(std::array<int32_t, 2>{0, 0}, std::array<int32_t, 2>{240, 240},
                      std::array<int32_t, 2>{240, 0}, std::array<int32_t, 2>{0, 240},
                      std::array<int32_t, 2>{1, 0}, std::array<int32_t, 2>{0, 1},
                      std::array<int32_t, 2>{239, 239}, std::array<int32_t, 2>{17, 200},
                      std::array<int32_t, 2>{120, 240}),
    [](const auto& i) {
        return "X" + case_names::number(i.param[0]) + "_Y" + case_names::number(i.param[1]);
    });

// With the backdrop switched off the steps and the ranking screens keep moving the offsets,
// unfolded; switched on again, the picture must still cover the field, placed as if folded.
class DriftedScroll : public Scroll {};

TEST_P(DriftedScroll, OffsetsFarOutsideTheFieldStillCoverIt) {
    const auto [ox, oy] = GetParam();
    const auto wrap = [](int32_t v) { return (v % 240 + 240) % 240; };
    fill(g.backbuf, kGrey);
    scroll(g, ox, oy);
    Surface expected(240, 273);
    fill(expected, kGrey);
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 240; ++x)
            set(expected, x, y, markOf(kBackdropTag, wrap(x - ox), wrap(y - oy)));
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

INSTANTIATE_TEST_SUITE_P(
    AfterBackdropWasOff, DriftedScroll,
    ::testing::Values(std::array<int32_t, 2>{-133, 5}, std::array<int32_t, 2>{-1, -1},
                      std::array<int32_t, 2>{241, 480}, std::array<int32_t, 2>{-1000, 1000}),
    [](const auto& i) {
        return "X" + case_names::number(i.param[0]) + "_Y" + case_names::number(i.param[1]);
    });

TEST_F(FrameTest, ShiftByOnePutsColumn239AtZero) {
    scroll(g, 1, 0);
    EXPECT_EQ(at(g.backbuf, 0, 0), markOf(kBackdropTag, 239, 0));
    EXPECT_EQ(at(g.backbuf, 1, 0), markOf(kBackdropTag, 0, 0));
    EXPECT_EQ(at(g.backbuf, 239, 239), markOf(kBackdropTag, 238, 239));
}

TEST_F(FrameTest, ZeroAndFullOffsetsAreStoredBackFolded) {
    const int32_t cases[][2] = {{0, 239}, {-3, 239}, {240, 1}, {241, 1}, {1, 1}, {239, 239}};
    for (const auto& c : cases) {
        g.scrollx = c[0];
        g.scrolly = c[0];
        scroll(g, 5, 6);
        EXPECT_EQ(g.scrollx, c[1]) << "stored " << c[0];
        EXPECT_EQ(g.scrolly, c[1]) << "stored " << c[0];
        EXPECT_EQ(at(g.backbuf, 5, 6), markOf(kBackdropTag, 0, 0)); // drawn as passed
    }
}

struct FoldCase {
    const char* name;
    bool vertical;
    int32_t start, delta;
    std::vector<int32_t> drawn;  // shift seen on screen, frame by frame (240 shows as 0)
    std::vector<int32_t> stored; // stored offset after each frame's drawing
};

class Folding : public FrameTest, public ::testing::WithParamInterface<FoldCase> {};

// The frame draws first and the offset moves afterwards, as the frame loop does it.
TEST_P(Folding, OffsetMovedEveryFrameWrapsWithATwoPixelJump) {
    const FoldCase c = GetParam();
    g.bgenabled = 1;
    int32_t& moving = c.vertical ? g.scrolly : g.scrollx;
    int32_t& other = c.vertical ? g.scrollx : g.scrolly;
    other = 100;
    moving = c.start;
    for (size_t f = 0; f < c.drawn.size(); ++f) {
        cls(g);
        EXPECT_EQ(c.vertical ? drawnShiftY() : drawnShiftX(), c.drawn[f]) << "frame " << f;
        EXPECT_EQ(c.vertical ? drawnShiftX() : drawnShiftY(), 100) << "frame " << f;
        EXPECT_EQ(moving, c.stored[f]) << "frame " << f;
        moving += c.delta;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Sequences, Folding,
    ::testing::Values(
        FoldCase{"LeftDown", false, 2, -1, {2, 1, 0, 238, 237}, {2, 1, 239, 238, 237}},
        FoldCase{"RightUp", false, 238, 1, {238, 239, 0, 2, 3}, {238, 239, 1, 2, 3}},
        FoldCase{"UpDown", true, 2, -1, {2, 1, 0, 238, 237}, {2, 1, 239, 238, 237}},
        FoldCase{"DownUp", true, 238, 1, {238, 239, 0, 2, 3}, {238, 239, 1, 2, 3}}),
    [](const auto& i) { return std::string(i.param.name); });

TEST_F(FrameTest, FullCycleOfLoweredOffsetTakes239Frames) {
    g.bgenabled = 1;
    g.scrollx = 5;
    for (int f = 0; f < 239; ++f) {
        cls(g);
        g.scrollx -= 1;
    }
    EXPECT_EQ(g.scrollx, 5);
}

// ---- all_put ----

class ItemLayer : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        // The play field as cls leaves it: the backdrop, here unshifted.
        expectCopy(g.backbuf, 0, 0, kBackdropTag, 0, 0, 240, 240);
        expected = Surface(240, 273);
        expectCopy(expected, 0, 0, kBackdropTag, 0, 0, 240, 240);
        g.itemmax = 0;
        // Slots that are drawn but not placed by a test lie out of sight.
        g.bonusitems.fill(ItemSlot{-100, -100, 1});
        g.rateitems.fill(ItemSlot{-100, -100, 1});
    }
    void place(ItemSlot& s, uint8_t tag, int32_t x, int32_t y, uint8_t kind) {
        s = ItemSlot{x, y, kind};
        expectCopy(expected, x, y, tag, 16 * (kind % 4), 16 * (kind / 4), 16, 16);
    }
    Surface expected;
};

TEST_F(ItemLayer, TrailIsCopiedKeyed) {
    set(g.linelayer, 5, 5, kWhite);
    set(g.linelayer, 0, 0, kWhite);
    set(g.linelayer, 239, 239, kWhite);
    set(g.linelayer, 10, 10, {0, 0, 200});
    set(g.linelayer, 20, 20, {1, 1, 1});
    all_put(g);
    set(expected, 5, 5, kWhite);
    set(expected, 0, 0, kWhite);
    set(expected, 239, 239, kWhite);
    set(expected, 20, 20, {1, 1, 1});
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

class ItemKind : public ItemLayer, public ::testing::WithParamInterface<int> {};

TEST_P(ItemKind, EachKindHasItsCellOnBothSheets) {
    const uint8_t k = uint8_t(GetParam());
    place(g.bonusitems[0], kBonus, 40, 50, k);
    place(g.rateitems[0], kRate, 120, 130, k);
    all_put(g);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
    EXPECT_TRUE(cellAt(g.backbuf, 40, 50, kBonus, 16 * (k % 4), 16 * (k / 4), 16, 16));
}

INSTANTIATE_TEST_SUITE_P(Kinds, ItemKind, ::testing::Range(1, 12),
                         [](const auto& i) { return "Kind" + std::to_string(i.param); });

TEST_F(ItemLayer, LaterItemsLieAboveEarlierAndRateAboveBonus) {
    g.itemmax = 1;
    place(g.bonusitems[0], kBonus, 10, 10, 1);
    place(g.rateitems[0], kRate, 14, 14, 2);
    place(g.bonusitems[1], kBonus, 18, 18, 3);
    place(g.rateitems[1], kRate, 22, 6, 4);
    all_put(g);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
    EXPECT_EQ(at(g.backbuf, 15, 15)[2], kRate);  // rate 0 over bonus 0
    EXPECT_EQ(at(g.backbuf, 19, 19)[2], kBonus); // bonus 1 over rate 0
    EXPECT_EQ(at(g.backbuf, 23, 19)[2], kRate);  // rate 1 over bonus 1
}

TEST_F(ItemLayer, ItemsAboveItemmaxAreNotDrawn) {
    g.itemmax = 6;
    place(g.bonusitems[6], kBonus, 100, 100, 7);
    g.bonusitems[7] = ItemSlot{150, 150, 5};
    g.rateitems[7] = ItemSlot{180, 180, 6};
    all_put(g);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

TEST_F(ItemLayer, ItemsOverTheTrailAndClippedAtTheEdges) {
    set(g.linelayer, 30, 30, kWhite);
    set(expected, 30, 30, kWhite);
    place(g.bonusitems[0], kBonus, 25, 25, 9);
    place(g.rateitems[0], kRate, 230, 232, 10);
    all_put(g);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

class ManyItems : public ItemLayer, public ::testing::WithParamInterface<int> {};

// With itemmax past the last slot, every one of the 64 slots is drawn and nothing beyond them:
// a bonus slot 64 would be read from where rate slot 0 lies and drawn over it.
TEST_P(ManyItems, NeverPastSlot63) {
    g.itemmax = uint8_t(GetParam());
    for (int32_t i = 0; i < 64; ++i) {
        const int32_t x = (i % 8) * 28, y = (i / 8) * 28;
        place(g.bonusitems[size_t(i)], kBonus, x, y, uint8_t(i % 11 + 1));
        if (i == 0)
            place(g.rateitems[0], kRate, 226, 226, 5); // alone in the corner
        else
            place(g.rateitems[size_t(i)], kRate, x + 8, y + 8, uint8_t((i + 5) % 11 + 1));
    }
    all_put(g);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
    EXPECT_TRUE(cellAt(g.backbuf, 226, 226, kRate, 16, 16, 14, 14));
}

INSTANTIATE_TEST_SUITE_P(Itemmax, ManyItems, ::testing::Values(63, 64, 100, 255),
                         [](const auto& i) { return "Itemmax" + std::to_string(i.param); });

TEST_F(ItemLayer, PauseLabelLiesAboveTheItems) {
    g.paused = 1;
    place(g.bonusitems[0], kBonus, 96, 112, 1);
    all_put(g);
    const int32_t pause[5][2] = {{48, 9}, {0, 1}, {16, 17}, {0, 17}, {32, 1}}; // P A U S E
    for (int i = 0; i < 5; ++i)
        expectCopy(expected, 96 + 8 * i, 120, kFont, pause[i][0], pause[i][1], 8, 8);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

TEST_F(ItemLayer, NoPauseLabelWhileRunning) {
    g.paused = 0;
    all_put(g);
    EXPECT_TRUE(sameSurface(g.backbuf, expected));
}

// ---- sc_shot ----

class Screenshot : public FrameTest {
  protected:
    void SetUp() override {
        FrameTest::SetUp();
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        dir = fs::temp_directory_path() /
              ("vortalix_shot_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(dir);
        fs::create_directories(dir);
        g.basedir = dir.string() + "/";
        g.files.shotDir = g.basedir;
        paint(0);
    }
    void TearDown() override { fs::remove_all(dir); }

    // 273 rows do not fit one byte, so the picture carries the row in green and red.
    void paint(uint8_t salt) {
        for (int32_t y = 0; y < 273; ++y)
            for (int32_t x = 0; x < 240; ++x)
                set(g.backbuf, x, y, {uint8_t(x + salt), uint8_t(y), uint8_t(0x40 + y / 256)});
    }
    void touch(const std::string& name) { std::ofstream(dir / name) << "old"; }
    std::vector<uint8_t> read(const std::string& name) const {
        std::ifstream f(dir / name, std::ios::binary);
        return {std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>()};
    }

    // A reader of our own for an uncompressed 24-bit bottom-up BMP.
    static ::testing::AssertionResult holdsPicture(const std::vector<uint8_t>& b,
                                                   const Surface& s) {
        auto u16 = [&](size_t o) { return uint32_t(b[o] | b[o + 1] << 8); };
        auto u32 = [&](size_t o) { return u16(o) | u16(o + 2) << 16; };
        if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
            return ::testing::AssertionFailure() << "no BMP header";
        const uint32_t offset = u32(10);
        const int32_t width = int32_t(u32(18)), height = int32_t(u32(22));
        if (width != 240 || height != 273)
            return ::testing::AssertionFailure() << "size " << width << " x " << height;
        if (u16(26) != 1 || u16(28) != 24 || u32(30) != 0)
            return ::testing::AssertionFailure() << "not an uncompressed 24-bit picture";
        const size_t stride = 720;
        if (b.size() < offset + stride * 273)
            return ::testing::AssertionFailure() << "file too short: " << b.size();
        for (int32_t y = 0; y < 273; ++y) {
            const uint8_t* row = b.data() + offset + stride * size_t(272 - y);
            if (!std::equal(row, row + 720, s.row(y)))
                return ::testing::AssertionFailure() << "row " << y << " differs";
        }
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult decodesToBackbuf(const std::string& name) const {
        const std::vector<uint8_t> b = read(name);
        Surface decoded;
        std::string error;
        if (!decodeBmp(b.data(), b.size(), decoded, error))
            return ::testing::AssertionFailure() << "decodeBmp: " << error;
        return sameSurface(decoded, g.backbuf);
    }

    fs::path dir;
};

TEST_F(Screenshot, GoesToTheFirstFreeNumber) {
    touch("g_sc0.bmp");
    touch("g_sc2.bmp");
    sc_shot(g);
    ASSERT_TRUE(fs::exists(dir / "g_sc1.bmp"));
    EXPECT_FALSE(fs::exists(dir / "g_sc3.bmp"));
    EXPECT_EQ(read("g_sc0.bmp"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(read("g_sc2.bmp"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_TRUE(holdsPicture(read("g_sc1.bmp"), g.backbuf));
    EXPECT_TRUE(decodesToBackbuf("g_sc1.bmp"));
}

TEST_F(Screenshot, FirstShotIsNumberZeroAndTheNextOne) {
    sc_shot(g);
    paint(9);
    sc_shot(g);
    EXPECT_TRUE(decodesToBackbuf("g_sc1.bmp"));
    paint(0);
    EXPECT_TRUE(decodesToBackbuf("g_sc0.bmp"));
}

TEST_F(Screenshot, WhenAll255NamesAreTakenNumber255IsWrittenAndReplaced) {
    for (int n = 0; n < 255; ++n) touch("g_sc" + std::to_string(n) + ".bmp");
    sc_shot(g);
    ASSERT_TRUE(fs::exists(dir / "g_sc255.bmp"));
    EXPECT_TRUE(decodesToBackbuf("g_sc255.bmp"));
    EXPECT_FALSE(fs::exists(dir / "g_sc256.bmp"));
    EXPECT_EQ(read("g_sc254.bmp"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    paint(77);
    sc_shot(g);
    EXPECT_TRUE(decodesToBackbuf("g_sc255.bmp"));
    EXPECT_FALSE(fs::exists(dir / "g_sc256.bmp"));
}

TEST_F(Screenshot, ZoomedGameStillSavesTheSingleSizeFrame) {
    g.zoom = 1;
    g.zoombuf.create(480, 546);
    fill(g.zoombuf, kGrey);
    sc_shot(g);
    EXPECT_TRUE(holdsPicture(read("g_sc0.bmp"), g.backbuf));
}

TEST_F(Screenshot, UnwritableFolderSaysSoOnceAndGoesOn) {
    touch("afile");
    g.basedir = (dir / "afile").string() + "/";
    g.files.shotDir = g.basedir;
    ::testing::internal::CaptureStderr();
    sc_shot(g);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(read("afile"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    // The game carries on: the next frame is composed as ever.
    cls(g);
    EXPECT_EQ(at(g.backbuf, 0, 240), kWhite);
}

// F1 between two frames of play saves the frame last presented, at single size also when zoomed.
class ShotDuringPlay : public ::testing::TestWithParam<int> {
  protected:
    void SetUp() override {
        dir = fs::temp_directory_path() / ("vortalix_playshot_" + std::to_string(::getpid()) + "_" +
                                           std::to_string(GetParam()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        p.now = 1000;
        p.keepAllFrames = true;
        p.exeDirectory = dir.string() + "/";
        GameState& g = form.g;
        prepareForDrawing(g, 777);
        g.basedir = p.exeDirectory;
        g.files.settingsDir = g.files.shotDir = g.basedir;
        g.midiplayer = std::make_unique<TMCIMidi>(p, 1);
        shokika(g);
        g.mode = 2;
        g.bgenabled = 1;
        g.levelpts = 10; // the level bar flickers, so no two frames are alike
        g.zoom = uint8_t(GetParam());
        if (g.zoom) g.zoombuf.create(480, 546);
    }
    void TearDown() override { fs::remove_all(dir); }
    HeadlessPlatform p;
    TForm1 form{p};
    fs::path dir;
};

TEST_P(ShotDuringPlay, SavesTheLastFramePresented) {
    p.keysAtFrame[3] = {vk::F1};
    bool done = false;
    for (int f = 0; f < 5; ++f) form.mainloop(done);
    ASSERT_EQ(p.frames.size(), 5u);
    std::ifstream in(dir / "g_sc0.bmp", std::ios::binary);
    const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in),
                                 std::istreambuf_iterator<char>()};
    Surface shot;
    std::string error;
    ASSERT_TRUE(decodeBmp(b.data(), b.size(), shot, error)) << error;
    ASSERT_EQ(shot.width(), 240);
    ASSERT_EQ(shot.height(), 273);
    const Surface& third = p.frames[2];
    const int32_t k = GetParam() ? 2 : 1;
    ASSERT_EQ(third.width(), 240 * k);
    int64_t wrong = 0;
    for (int32_t y = 0; y < 273; ++y)
        for (int32_t x = 0; x < 240; ++x) wrong += at(shot, x, y) != at(third, k * x, k * y);
    EXPECT_EQ(wrong, 0);
    EXPECT_FALSE(sameSurface(p.frames[3], third));
    EXPECT_FALSE(fs::exists(dir / "g_sc1.bmp"));
}

INSTANTIATE_TEST_SUITE_P(Zoom, ShotDuringPlay, ::testing::Values(0, 1),
                         [](const auto& i) { return i.param ? "Zoomed" : "SingleSize"; });

} // namespace
