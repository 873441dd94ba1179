// The moving point: its cadence, the wrap-round field, the death and near-miss tests, the
// level-up with its dots and items, and the round reset.

#include "case_names.h"
#include "game_fixture.h"

#include <set>
#include <utility>

using namespace gamefix;

namespace {

class MoveTest : public GameTest {};

TEST_F(MoveTest, FirstStepComesOnTheFourthFrameThenEveryThird) {
    g.mode = 2;
    parkItems(0, 0);
    std::vector<int32_t> xs;
    for (int i = 1; i <= 10; ++i) {
        frame();
        xs.push_back(g.px);
        EXPECT_EQ(g.py, 120) << "frame " << i;
    }
    const std::vector<int32_t> expected = {120, 120, 120, 121, 121, 121, 122, 122, 122, 123};
    EXPECT_EQ(xs, expected);
    EXPECT_TRUE(isWhite(121, 120));
    EXPECT_TRUE(isWhite(123, 120));
    EXPECT_FALSE(isWhite(120, 120)) << "the starting square is never painted";
    // The offsets start at 0, folded to 239 by the first frame whether or not the backdrop
    // is drawn, then moved against the point.
    EXPECT_EQ(g.scrollx, 236) << "the backdrop moves against the point";
    EXPECT_EQ(g.scrolly, 239);
}

struct WrapCase {
    int32_t x, y;
    uint8_t dir;
    int32_t toX, toY;
};

class MoveWrap : public GameTest, public ::testing::WithParamInterface<WrapCase> {};

TEST_P(MoveWrap, TheFieldWrapsOntoOneTo239) {
    const WrapCase c = GetParam();
    parkItems(100, 100);
    stepFrom(c.x, c.y, c.dir);
    EXPECT_TRUE(move(g));
    EXPECT_EQ(g.px, c.toX);
    EXPECT_EQ(g.py, c.toY);
    EXPECT_TRUE(isWhite(c.toX, c.toY));
}

INSTANTIATE_TEST_SUITE_P(Edges, MoveWrap,
                         ::testing::Values(WrapCase{239, 50, 1, 1, 50},  // right off the edge
                                           WrapCase{1, 50, 3, 239, 50},  // left off the edge
                                           WrapCase{50, 1, 4, 50, 239},  // up off the top
                                           WrapCase{50, 239, 2, 50, 1},  // down off the bottom
                                           WrapCase{238, 50, 1, 239, 50} // 239 is still field
                                           ),
                         [](const auto& i) {
                             return "X" + std::to_string(i.param.x) + "_Y" +
                                    std::to_string(i.param.y) + "_Dir" +
                                    std::to_string(i.param.dir);
                         });

struct NeighbourCase {
    const char* what;
    int32_t fromX, fromY;
    uint8_t dir;
    int32_t whiteX, whiteY;
    int scratches;
};

class MoveNeighbours : public GameTest, public ::testing::WithParamInterface<NeighbourCase> {};

TEST_P(MoveNeighbours, NeighboursWrapLikeThePoint) {
    const NeighbourCase c = GetParam();
    parkItems(100, 100);
    white(c.whiteX, c.whiteY);
    stepFrom(c.fromX, c.fromY, c.dir);
    EXPECT_TRUE(move(g)) << c.what;
    EXPECT_EQ(g.levelpts, c.scratches) << c.what;
    EXPECT_EQ(g.score.view(), c.scratches ? "1" : "0") << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    AtTheWrap, MoveNeighbours,
    ::testing::Values(NeighbourCase{"row 239: down is row 1", 49, 239, 1, 50, 1, 1},
                      NeighbourCase{"row 239: row 0 is nobody's neighbour", 49, 239, 1, 50, 0, 0},
                      NeighbourCase{"column 1: left is column 239", 1, 49, 2, 239, 50, 1},
                      NeighbourCase{"column 1: column 0 is nobody's neighbour", 1, 49, 2, 0, 50, 0},
                      NeighbourCase{"row 2: up is row 1", 49, 2, 1, 50, 1, 1},
                      NeighbourCase{"column 238: right is column 239", 238, 49, 2, 239, 50, 1},
                      NeighbourCase{"column 239: right is column 1", 239, 49, 2, 1, 50, 1},
                      NeighbourCase{"row 1: up is row 239", 49, 1, 1, 50, 239, 1},
                      NeighbourCase{"wrapping onto column 1: left is column 239", 239, 50, 1, 239,
                                    50, 0}),
    [](const auto& i) { return case_names::words(i.param.what); });
// The last case: the square behind the point after the wrap is column 239, which is skipped.

class MoveDeath : public GameTest, public ::testing::WithParamInterface<uint8_t> {};

TEST_P(MoveDeath, WhiteKillsOnlyWhenNotInvincibleButTheStepGoesOn) {
    const uint8_t playstate = GetParam();
    g.mode = 2;
    g.playstate = playstate;
    parkItems(200, 200);
    g.bonusitems[0] = {60, 60, 1}; // covers the landing square
    white(61, 60);
    stepFrom(60, 60, 1);
    EXPECT_EQ(move(g), playstate == 2);
    EXPECT_EQ(g.score.view(), "13") << "hantei ran on this step";
    EXPECT_TRUE(isWhite(61, 60)) << "painted after the item square was cleared";
    EXPECT_FALSE(isWhite(62, 60));
}

INSTANTIATE_TEST_SUITE_P(AliveAndInvincible, MoveDeath, ::testing::Values(uint8_t(1), uint8_t(2)),
                         [](const auto& i) { return i.param == 2 ? "Invincible" : "Alive"; });

TEST_F(MoveTest, ADeathStepInPlayEndsTheGame) {
    g.mode = 2;
    parkItems(0, 0);
    white(121, 120);
    frames(3);
    EXPECT_EQ(g.playstate, 1);
    frame();
    EXPECT_EQ(g.playstate, 0);
    EXPECT_EQ(g.modeclock, 1);
    EXPECT_EQ(g.effects[0].type, 6);
    EXPECT_EQ(g.effects[0].x, 121 - 32);
    EXPECT_EQ(g.effects[0].y, 120 - 32);
    ASSERT_FALSE(p.musicCommands.empty());
    EXPECT_EQ(p.musicCommands.back(), "play \"" + g.musicGameOver + "\" notify [notify]");
}

TEST_F(MoveTest, MovingRightBetweenTwoTrailsScratchesTwice) {
    parkItems(0, 0);
    for (int32_t x = 40; x <= 60; ++x) {
        white(x, 49);
        white(x, 51);
    }
    white(50, 50); // the square the point leaves
    stepFrom(50, 50, 1);
    EXPECT_TRUE(move(g));
    EXPECT_EQ(g.levelpts, 2);
    // Each scratch adds rate x (combo factor 1 x level 1).
    EXPECT_EQ(g.score.view(), "2");
    EXPECT_EQ(sounds(), (std::vector<int>{4, 4}));
}

TEST_F(MoveTest, SpeedKeysAreAskedUpThenEightThenS) {
    parkItems(0, 0);
    stepFrom(50, 50, 1);
    move(g);
    EXPECT_EQ(p.asyncQueries, (std::vector<uint8_t>{vk::Up, vk::D8, vk::S}));
    EXPECT_EQ(g.stepwait, 3);

    p.asyncQueries.clear();
    p.keysDown = {vk::Up};
    stepFrom(60, 50, 1);
    move(g);
    EXPECT_EQ(p.asyncQueries, (std::vector<uint8_t>{vk::Up}));
    EXPECT_EQ(g.stepwait, 1);

    p.asyncQueries.clear();
    p.keysDown = {vk::S};
    stepFrom(70, 50, 1);
    move(g);
    EXPECT_EQ(p.asyncQueries, (std::vector<uint8_t>{vk::Up, vk::D8, vk::S}));
    EXPECT_EQ(g.stepwait, 1);
}

TEST_F(MoveTest, ATapBetweenTwoStepsCountsAsHeldForOneStep) {
    parkItems(0, 0);
    p.tapKey(vk::D8);
    stepFrom(50, 50, 1);
    move(g);
    EXPECT_EQ(g.stepwait, 1);
    stepFrom(60, 50, 1);
    move(g);
    EXPECT_EQ(g.stepwait, 3);
}

TEST_F(MoveTest, HeldSpeedKeyStepsEveryFrame) {
    g.mode = 2;
    parkItems(0, 0);
    p.keysDown = {vk::Up};
    std::vector<int32_t> xs;
    for (int i = 0; i < 8; ++i) {
        frame();
        xs.push_back(g.px);
    }
    // The first step comes on frame 4 and sets the speed; from then on one step a frame.
    EXPECT_EQ(xs, (std::vector<int32_t>{120, 120, 120, 121, 122, 123, 124, 125}));
}

// The dots of a level-up: row then column per dot, from the generator as it stands.
std::set<std::pair<int32_t, int32_t>> expectedDots(Random r, int n) {
    std::set<std::pair<int32_t, int32_t>> dots;
    for (int i = 0; i < n; ++i) {
        const int32_t row = r.random(240);
        const int32_t col = r.random(240);
        dots.insert({col, row});
    }
    return dots;
}

std::set<std::pair<int32_t, int32_t>> whitePixels(const Surface& s) {
    std::set<std::pair<int32_t, int32_t>> out;
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 240; ++x)
            if (at(s, x, y) == kWhite) out.insert({x, y});
    return out;
}

TEST_F(MoveTest, TwentyOnePointsAtLevelOneLevelUpAndPaintSevenDots) {
    parkItems(0, 0);
    g.levelpts = 21;
    stepFrom(100, 100, 1);
    auto dots = expectedDots(g.rng, 7);
    EXPECT_TRUE(move(g));
    EXPECT_EQ(g.level, 2);
    EXPECT_EQ(g.levelpts, 0);
    EXPECT_EQ(g.playstate, 2);
    EXPECT_EQ(g.invtimer, 100);
    EXPECT_EQ(g.effects[0].type, 7);
    EXPECT_EQ(g.effects[1].type, 8);
    EXPECT_EQ(g.itemmax, 6);
    dots.insert({101, 100});
    EXPECT_EQ(whitePixels(g.linelayer), dots);
}

TEST_F(MoveTest, TwentyPointsAtLevelOneAreNotEnough) {
    parkItems(0, 0);
    g.levelpts = 20;
    stepFrom(100, 100, 1);
    move(g);
    EXPECT_EQ(g.level, 1);
    EXPECT_EQ(whiteCount(), 1);
}

TEST_F(MoveTest, ALevelUpMakesTheSameStepInvincible) {
    parkItems(0, 0);
    g.levelpts = 21;
    white(101, 100);
    stepFrom(100, 100, 1);
    EXPECT_TRUE(move(g));
}

TEST_F(MoveTest, ALevelUpWhileInvincibleKeepsTheOneGlow) {
    parkItems(0, 0);
    g.playstate = 2;
    g.invtimer = 30;
    g.levelpts = 21;
    stepFrom(100, 100, 1);
    move(g);
    EXPECT_EQ(g.effects[0].type, 8);
    EXPECT_EQ(g.effects[1].type, 0);
    EXPECT_EQ(g.invtimer, 100);
}

TEST_F(MoveTest, NoLevelUpPastTwoHundredFiftyFive) {
    parkItems(0, 0);
    g.level = 255;
    g.levelpts = 100000;
    stepFrom(100, 100, 1);
    EXPECT_TRUE(move(g));
    EXPECT_EQ(g.level, 255);
    EXPECT_EQ(g.playstate, 1);
    EXPECT_EQ(g.effects[0].type, 0);
    EXPECT_EQ(whiteCount(), 1);
}

TEST_F(MoveTest, LevelFourBringsAnEighthItemOfEachKind) {
    parkItems(0, 0);
    g.level = 3;
    g.levelpts = 23;
    stepFrom(100, 100, 1);
    Random r = g.rng;
    const ItemSlot bonus{r.random(224), r.random(224), uint8_t(r.random(11) + 1)};
    const ItemSlot rate{r.random(224), r.random(224), uint8_t(r.random(11) + 1)};
    auto dots = expectedDots(r, 9);
    move(g);
    EXPECT_EQ(g.level, 4);
    EXPECT_EQ(g.itemmax, 7);
    EXPECT_EQ(g.bonusitems[7].x, bonus.x);
    EXPECT_EQ(g.bonusitems[7].y, bonus.y);
    EXPECT_EQ(g.bonusitems[7].kind, bonus.kind);
    EXPECT_EQ(g.rateitems[7].x, rate.x);
    EXPECT_EQ(g.rateitems[7].y, rate.y);
    EXPECT_EQ(g.rateitems[7].kind, rate.kind);
    EXPECT_EQ(g.bonusitems[8].kind, 0);
    EXPECT_EQ(g.rateitems[8].kind, 0);
    dots.insert({101, 100});
    EXPECT_EQ(whitePixels(g.linelayer), dots);
}

struct GrowthCase {
    uint8_t levelBefore, itemmaxBefore, itemmaxAfter;
};

class ItemGrowth : public GameTest, public ::testing::WithParamInterface<GrowthCase> {};

TEST_P(ItemGrowth, ItemsStopGrowingAtTheLastSlot) {
    const GrowthCase c = GetParam();
    g.itemmax = c.itemmaxBefore;
    parkItems(0, 0);
    for (int32_t i = c.itemmaxBefore + 1; i < kItemSlots; ++i) {
        g.bonusitems[size_t(i)] = {};
        g.rateitems[size_t(i)] = {};
    }
    const auto rateBefore = g.rateitems;
    g.level = c.levelBefore;
    g.levelpts = g.levelneed[c.levelBefore];
    stepFrom(100, 100, 1);
    Random r = g.rng;
    const bool grows = c.itemmaxAfter > c.itemmaxBefore;
    ItemSlot bonus, rate;
    if (grows) {
        bonus = {r.random(224), r.random(224), uint8_t(r.random(11) + 1)};
        rate = {r.random(224), r.random(224), uint8_t(r.random(11) + 1)};
    }
    auto dots = expectedDots(r, c.levelBefore + 1 + 5);
    move(g);
    EXPECT_EQ(g.level, c.levelBefore + 1);
    EXPECT_EQ(g.itemmax, c.itemmaxAfter);
    if (grows) {
        EXPECT_EQ(g.bonusitems[c.itemmaxAfter].kind, bonus.kind);
        EXPECT_EQ(g.bonusitems[c.itemmaxAfter].x, bonus.x);
        EXPECT_EQ(g.rateitems[c.itemmaxAfter].kind, rate.kind);
        EXPECT_EQ(g.rateitems[c.itemmaxAfter].y, rate.y);
    } else {
        for (size_t i = 0; i < size_t(kItemSlots); ++i) {
            EXPECT_EQ(g.rateitems[i].x, rateBefore[i].x) << "slot " << i;
            EXPECT_EQ(g.rateitems[i].kind, rateBefore[i].kind) << "slot " << i;
        }
    }
    // The glow and the flash are the only effects; nothing was written past the items.
    EXPECT_EQ(g.effects[0].type, 7);
    EXPECT_EQ(g.effects[0].x, 101);
    EXPECT_EQ(g.effects[0].y, 100);
    EXPECT_EQ(g.effects[1].type, 8);
    EXPECT_EQ(g.effects[2].type, 0);
    dots.insert({101, 100});
    EXPECT_EQ(whitePixels(g.linelayer), dots);
}

INSTANTIATE_TEST_SUITE_P(NearTheTop, ItemGrowth,
                         ::testing::Values(GrowthCase{235, 62, 63}, // level 236: the last slot
                                           GrowthCase{239, 63, 63}, // level 240: no slot left
                                           GrowthCase{251, 63, 63}, // level 252
                                           GrowthCase{233, 63, 63}  // level 234: not a 4th
                                           ),
                         [](const auto& i) {
                             return "LevelBefore" + std::to_string(i.param.levelBefore);
                         });

TEST_F(MoveTest, ResetLeavesABlackFieldAndSevenItemsOfEachKind) {
    fill(g.linelayer, kWhite);
    g.score = "999";
    g.effects[5] = {3, 4, 5, 2};
    Random r = g.rng;
    shokika(g);
    EXPECT_EQ(whiteCount(), 0);
    for (size_t i = 0; i < 7; ++i) {
        const int32_t bx = r.random(224), by = r.random(224);
        const uint8_t bk = uint8_t(r.random(11) + 1);
        const int32_t rx = r.random(224), ry = r.random(224);
        const uint8_t rk = uint8_t(r.random(11) + 1);
        EXPECT_EQ(g.bonusitems[i].x, bx);
        EXPECT_EQ(g.bonusitems[i].y, by);
        EXPECT_EQ(g.bonusitems[i].kind, bk);
        EXPECT_EQ(g.rateitems[i].x, rx);
        EXPECT_EQ(g.rateitems[i].y, ry);
        EXPECT_EQ(g.rateitems[i].kind, rk);
    }
    for (size_t i = 7; i < size_t(kItemSlots); ++i) {
        EXPECT_EQ(g.bonusitems[i].kind, 0);
        EXPECT_EQ(g.rateitems[i].kind, 0);
    }
    EXPECT_EQ(g.score.view(), "0");
    EXPECT_EQ(g.rate.view(), "1");
    EXPECT_EQ(g.gain.view(), "0");
    EXPECT_EQ(g.effects[5].type, 0);
    EXPECT_EQ(g.lastframe, int32_t(p.now));
    EXPECT_EQ(g.ratetable[1].view(), "13");
    EXPECT_EQ(g.ratetable[11].view(), "43");
    EXPECT_EQ(g.bonustable[4].view(), "10");
    EXPECT_EQ(g.bonustable[11].view(), "400");
    EXPECT_EQ(g.levelneed[1], 21);
    EXPECT_EQ(g.levelneed[254], 274);
}

struct MarqueeCase {
    int length, width;
};

class MarqueeWidth : public GameTest, public ::testing::WithParamInterface<MarqueeCase> {};

TEST_P(MarqueeWidth, WidthFollowsTheScoreLength) {
    const MarqueeCase c = GetParam();
    g.ranking[4].score = DecStr(std::string(size_t(c.length), '7'));
    g.marquee[4].xoff = -55;
    shokika(g);
    EXPECT_EQ(g.marquee[4].width, c.width);
    EXPECT_EQ(g.marquee[4].xoff, 0);
}

INSTANTIATE_TEST_SUITE_P(Lengths, MarqueeWidth,
                         ::testing::Values(MarqueeCase{0, 1}, MarqueeCase{1, 3}, MarqueeCase{3, 5},
                                           MarqueeCase{4, 5}, MarqueeCase{5, 7}, MarqueeCase{8, 9},
                                           MarqueeCase{28, 29}, MarqueeCase{29, 31}),
                         [](const auto& i) { return "Length" + std::to_string(i.param.length); });

} // namespace
