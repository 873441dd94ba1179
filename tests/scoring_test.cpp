// Pick-ups, the combo chain and near misses: the score and the rate step by step.

#include "game_fixture.h"

using namespace gamefix;

namespace {

class ScoringTest : public GameTest {
  protected:
    void SetUp() override {
        GameTest::SetUp();
        parkItems(200, 200);
        g.px = 45;
        g.py = 45;
    }
};

TEST_F(ScoringTest, BonusThenRateThenScratchGive13Then11Then35) {
    // A bonus item of kind 1 at level 1, the first pick-up of the game.
    g.bonusitems[0] = {40, 40, 1};
    Random r = g.rng;
    const int32_t nx = r.random(224), ny = r.random(224);
    const uint8_t nk = uint8_t(r.random(11) + 1);
    hantei(g);
    EXPECT_EQ(g.score.view(), "13");
    EXPECT_EQ(g.combo, 1);
    EXPECT_EQ(g.combotimer, 355);
    EXPECT_EQ(g.levelpts, 5);
    EXPECT_EQ(g.effects[0].type, 2);
    EXPECT_EQ(g.effects[0].x, 40);
    EXPECT_EQ(g.effects[0].y, 40);
    EXPECT_EQ(g.bonusitems[0].x, nx);
    EXPECT_EQ(g.bonusitems[0].y, ny);
    EXPECT_EQ(g.bonusitems[0].kind, nk);
    EXPECT_EQ(sounds(), std::vector<int>{0});

    // Within the timer, a rate item of kind 4.
    g.bonusitems[0] = {200, 200, 1};
    g.rateitems[0] = {40, 40, 4};
    g.combotimer = 300;
    hantei(g);
    EXPECT_EQ(g.gain.view(), "10");
    EXPECT_EQ(g.rate.view(), "11");
    EXPECT_EQ(g.combo, 2);
    EXPECT_EQ(g.levelpts, 10);
    EXPECT_EQ(g.effects[1].type, 5);
    EXPECT_EQ(g.score.view(), "13");
    EXPECT_EQ(sounds(), (std::vector<int>{0, 1}));

    // A near miss with rate 11 and combo 2.
    scratch(g);
    EXPECT_EQ(g.score.view(), "35");
    EXPECT_EQ(g.levelpts, 11);
    EXPECT_EQ(g.combo, 2);
    EXPECT_EQ(g.combotimer, 355);
}

TEST_F(ScoringTest, FirstRateItemOfKindEightAtLevelThreeGives301) {
    g.level = 3;
    g.rateitems[3] = {40, 40, 8};
    hantei(g);
    EXPECT_EQ(g.gain.view(), "100");
    EXPECT_EQ(g.rate.view(), "301");
    EXPECT_EQ(g.score.view(), "0");
    EXPECT_EQ(g.combo, 1);
    EXPECT_EQ(g.combotimer, 355 - 1);
    EXPECT_EQ(g.effects[0].type, 5);
}

TEST_F(ScoringTest, TwoOverlappingItemsBonusFirstTheSecondWithTheRaisedCombo) {
    // A chain of 2 is open. The bonus item scores 13 x (2 x 1) x rate 1 = 26 and raises the
    // combo to 3; the rate item then adds 100 x (3 x 1) = 300.
    g.combo = 2;
    g.combotimer = 100;
    g.gain = "20";
    g.rateitems[0] = {44, 44, 8};
    g.bonusitems[5] = {40, 40, 1};
    hantei(g);
    EXPECT_EQ(g.score.view(), "26");
    EXPECT_EQ(g.rate.view(), "301");
    EXPECT_EQ(g.gain.view(), "120");
    EXPECT_EQ(g.combo, 4);
    EXPECT_EQ(g.levelpts, 10);
    EXPECT_EQ(g.effects[0].type, 2);
    EXPECT_EQ(g.effects[0].x, 40);
    EXPECT_EQ(g.effects[1].type, 5);
    EXPECT_EQ(g.effects[1].x, 44);
    EXPECT_EQ(sounds(), (std::vector<int>{0, 1}));
}

TEST_F(ScoringTest, ThePickUpReadsTheComboBeforeRaisingIt) {
    // Third pick-up of a chain at level 2: 16 x (2 x 2) x rate 5 = 320.
    g.level = 2;
    g.combo = 2;
    g.combotimer = 50;
    g.rate = "5";
    g.score = "1000";
    g.bonusitems[2] = {40, 40, 2};
    hantei(g);
    EXPECT_EQ(g.score.view(), "1320");
    EXPECT_EQ(g.combo, 3);
    EXPECT_EQ(g.combotimer, 354);
    EXPECT_EQ(g.effects[0].type, 3);
}

TEST_F(ScoringTest, APickUpOnTheLapsedTimerKeepsTheComboAndReopensIt) {
    g.combo = 4;
    g.combotimer = 0;
    combohit(g);
    EXPECT_EQ(g.combo, 4);
    EXPECT_EQ(g.combotimer, 355);
    g.level = 255;
    combohit(g);
    EXPECT_EQ(g.combo, 5);
    EXPECT_EQ(g.combotimer, 228);
}

TEST_F(ScoringTest, ScoresGrowPastEveryMachineInteger) {
    g.score = "99999999999999999999999999999999999999";
    g.rate = "100000000000000000000";
    g.combo = 3;
    g.level = 7;
    scratch(g);
    // + 10^20 x 21
    EXPECT_EQ(g.score.view(), "100000000000000002099999999999999999999");
}

struct TouchCase {
    int32_t px, py;
    bool touched;
};

class TouchBounds : public ScoringTest, public ::testing::WithParamInterface<TouchCase> {};

std::string pointName(const ::testing::TestParamInfo<TouchCase>& info) {
    return "Point" + std::to_string(info.param.px) + "_" + std::to_string(info.param.py);
}

TEST_P(TouchBounds, SeventeenBySeventeenSquareTouches) {
    const TouchCase c = GetParam();
    g.bonusitems[0] = {100, 100, 1};
    g.px = c.px;
    g.py = c.py;
    hantei(g);
    EXPECT_EQ(g.score.view(), c.touched ? "13" : "0");
    EXPECT_EQ(g.levelpts, c.touched ? 5 : 0);
}

INSTANTIATE_TEST_SUITE_P(ItemAt100, TouchBounds,
                         ::testing::Values(TouchCase{100, 108, true}, TouchCase{116, 108, true},
                                           TouchCase{99, 108, false}, TouchCase{117, 108, false},
                                           TouchCase{108, 100, true}, TouchCase{108, 116, true},
                                           TouchCase{108, 99, false}, TouchCase{108, 117, false},
                                           TouchCase{116, 116, true}, TouchCase{100, 100, true},
                                           TouchCase{117, 117, false}),
                         pointName);

class RateTouchBounds : public ScoringTest, public ::testing::WithParamInterface<TouchCase> {};

TEST_P(RateTouchBounds, RateItemsTouchTheSameWay) {
    const TouchCase c = GetParam();
    g.rateitems[6] = {100, 100, 1};
    g.px = c.px;
    g.py = c.py;
    hantei(g);
    EXPECT_EQ(g.rate.view(), c.touched ? "3" : "1");
}

INSTANTIATE_TEST_SUITE_P(ItemAt100, RateTouchBounds,
                         ::testing::Values(TouchCase{100, 100, true}, TouchCase{116, 116, true},
                                           TouchCase{99, 100, false}, TouchCase{100, 117, false}),
                         pointName);

TEST_F(ScoringTest, TakenAndReplacedSquaresAreClearedExceptThePoint) {
    fill(g.linelayer, kWhite);
    g.bonusitems[0] = {100, 100, 1};
    g.playstate = 2;
    stepFrom(104, 107, 1);
    Random r = g.rng;
    const int32_t nx = r.random(224), ny = r.random(224);
    move(g);
    ASSERT_NE(g.score.view(), "0") << "the item was taken";
    EXPECT_EQ(g.bonusitems[0].x, nx);
    EXPECT_EQ(g.bonusitems[0].y, ny);
    auto inSquare = [](int32_t x, int32_t y, int32_t sx, int32_t sy) {
        return x >= sx && x <= sx + 16 && y >= sy && y <= sy + 15;
    };
    int wrong = 0;
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 240; ++x) {
            const bool black =
                (inSquare(x, y, 100, 100) || inSquare(x, y, nx, ny)) && !(x == 105 && y == 107);
            if ((at(g.linelayer, x, y) == kBlack) != black || (!black && !isWhite(x, y))) {
                if (++wrong < 10) ADD_FAILURE() << "pixel " << x << "," << y;
            }
        }
    EXPECT_EQ(wrong, 0);
    EXPECT_TRUE(isWhite(105, 107));
    EXPECT_TRUE(isWhite(99, 100) || inSquare(99, 100, nx, ny));
    EXPECT_TRUE(isWhite(117, 100) || inSquare(117, 100, nx, ny));
    EXPECT_TRUE(isWhite(100, 116) || inSquare(100, 116, nx, ny));
}

TEST_F(ScoringTest, ScratchSoundWaitsForThePickUpSound) {
    g.bonusitems[0] = {40, 40, 1};
    hantei(g);
    scratch(g);
    EXPECT_EQ(sounds(), std::vector<int>{0});
    EXPECT_EQ(g.score.view(), "14");
}

TEST_F(ScoringTest, TheComboLapsesInTheFrameThatFindsTheTimerAtZero) {
    g.mode = 2;
    g.px = 45;
    g.py = 45;
    g.combo = 3;
    g.combotimer = 2;
    g.gain = "40";
    frame();
    EXPECT_EQ(g.combotimer, 1);
    frame();
    EXPECT_EQ(g.combotimer, 0);
    EXPECT_EQ(g.combo, 3);
    frame();
    EXPECT_EQ(g.combo, 0);
    EXPECT_EQ(g.gain.view(), "0");
}

} // namespace
