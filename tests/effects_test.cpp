// The pool of short-lived pictures: slots, ages, the pictures and tints of each type, and the
// death sequence.

#include "game_fixture.h"

using namespace gamefix;

namespace {

class EffectsTest : public GameTest {
  protected:
    // One pass of the pool onto a black frame.
    void pass() {
        clearBackbuf();
        moveefect(g);
    }
};

TEST_F(EffectsTest, AFullPoolDropsTheEffectAndItsSound) {
    for (EffectSlot& e : g.effects) e = {0, 7, 7, 3};
    g.effects[30].age = 8; // ends in the next pass
    const auto before = g.effects;
    setefect(g, 1, 2, 8);
    for (size_t i = 0; i < g.effects.size(); ++i) {
        EXPECT_EQ(g.effects[i].type, before[i].type) << i;
        EXPECT_EQ(g.effects[i].x, before[i].x) << i;
        EXPECT_EQ(g.effects[i].age, before[i].age) << i;
    }
    EXPECT_TRUE(sounds().empty());

    pass();
    EXPECT_EQ(g.effects[30].type, 0);
    setefect(g, 11, 12, 9);
    EXPECT_EQ(g.effects[30].type, 9);
    EXPECT_EQ(g.effects[30].x, 11);
    EXPECT_EQ(g.effects[30].y, 12);
    EXPECT_EQ(g.effects[30].age, 0);
    EXPECT_EQ(sounds(), std::vector<int>{2});
    setefect(g, 11, 12, 9);
    EXPECT_EQ(sounds(), std::vector<int>{2}) << "the pool is full again";
}

TEST_F(EffectsTest, SetefectTakesTheFirstFreeSlot) {
    g.effects[0].type = 1;
    g.effects[2].type = 1;
    setefect(g, 3, 4, 5);
    EXPECT_EQ(g.effects[1].type, 5);
    setefect(g, 3, 4, 5);
    EXPECT_EQ(g.effects[3].type, 5);
}

TEST_F(EffectsTest, FreeSlotsAgeToo) {
    g.effects[7].age = 40;
    pass();
    pass();
    EXPECT_EQ(g.effects[7].age, 42);
    EXPECT_EQ(g.effects[7].type, 0);
}

TEST_F(EffectsTest, SparkleWalksAlongItsStripThenEnds) {
    setefect(g, 50, 60, 2);
    for (int age = 0; age <= 8; ++age) {
        pass();
        // Strip 2 starts at x 144: cell 9 + age of the sheet.
        EXPECT_EQ(at(g.backbuf, 50, 60), (Bgr{uint8_t(10 + age), 1, 1})) << "age " << age;
        EXPECT_EQ(at(g.backbuf, 65, 75), (Bgr{uint8_t(10 + age), 16, 16})) << "age " << age;
        EXPECT_EQ(at(g.backbuf, 66, 60), kBlack) << "age " << age;
        EXPECT_EQ(at(g.backbuf, 50, 76), kBlack) << "age " << age;
        EXPECT_EQ(at(g.backbuf, 49, 60), kBlack) << "age " << age;
    }
    EXPECT_EQ(g.effects[0].type, 0);
    pass();
    EXPECT_EQ(at(g.backbuf, 50, 60), kBlack);
}

class SparkleStrip : public EffectsTest, public ::testing::WithParamInterface<int> {};

TEST_P(SparkleStrip, EachTypeHasItsOwnStrip) {
    const int type = GetParam();
    setefect(g, 10, 20, uint8_t(type));
    g.effects[0].age = 3;
    pass();
    EXPECT_EQ(at(g.backbuf, 10, 20).b, (type - 1) * 9 + 3 + 1);
}

INSTANTIATE_TEST_SUITE_P(Types, SparkleStrip, ::testing::Values(1, 2, 3, 4, 5),
                         [](const auto& i) { return "Type" + std::to_string(i.param); });

TEST_F(EffectsTest, SparklesAreKeyedAndAdded) {
    // Cell 0 of the strip with a zero byte is left out; others add and saturate.
    put(g.sheets[sheet::Effect], 0, 0, {0, 9, 9});
    put(g.sheets[sheet::Effect], 1, 0, {250, 9, 9});
    setefect(g, 30, 30, 1);
    clearBackbuf();
    put(g.backbuf, 30, 30, {20, 20, 20});
    put(g.backbuf, 31, 30, {20, 20, 20});
    moveefect(g);
    EXPECT_EQ(at(g.backbuf, 30, 30), (Bgr{20, 20, 20}));
    EXPECT_EQ(at(g.backbuf, 31, 30), (Bgr{255, 29, 29}));
}

struct FlashCase {
    int age;
    uint8_t blue, red;
    Bgr thunder;
};

class FlashByAge : public EffectsTest, public ::testing::WithParamInterface<FlashCase> {};

TEST_P(FlashByAge, TintThenThunder) {
    const FlashCase c = GetParam();
    setefect(g, 0, 0, 8);
    g.effects[0].age = c.age;
    pass();
    const Bgr expect{uint8_t(c.blue + c.thunder.b), c.thunder.g, uint8_t(c.red + c.thunder.r)};
    EXPECT_EQ(at(g.backbuf, 0, 0), expect);
    EXPECT_EQ(at(g.backbuf, 239, 239), expect);
    EXPECT_EQ(at(g.backbuf, 120, 241), kBlack) << "the status bar is not tinted";
    EXPECT_EQ(g.effects[0].type, c.age >= 10 ? 0 : 8);
}

INSTANTIATE_TEST_SUITE_P(
    Ages, FlashByAge,
    ::testing::Values(FlashCase{0, 128, 100, kThunder2}, FlashCase{1, 118, 90, kThunder2},
                      FlashCase{2, 108, 80, kThunder2}, FlashCase{3, 98, 70, kThunder1},
                      FlashCase{9, 38, 10, kThunder1}, FlashCase{10, 28, 0, kThunder1}),
    [](const auto& i) { return "Age" + std::to_string(i.param.age); });

TEST_F(EffectsTest, FlashPlaysTheLevelUpSound) {
    setefect(g, 0, 0, 8);
    EXPECT_EQ(sounds(), std::vector<int>{3});
}

struct BigBombCase {
    int age;
    uint8_t red;
    uint8_t column, row;
};

class BigBombByAge : public EffectsTest, public ::testing::WithParamInterface<BigBombCase> {};

TEST_P(BigBombByAge, RedTintAndCell) {
    const BigBombCase c = GetParam();
    setefect(g, 0, 0, 10);
    g.effects[0].age = c.age;
    pass();
    EXPECT_EQ(at(g.backbuf, 5, 5), (Bgr{uint8_t(c.column + 1), uint8_t(c.row + 1), c.red}));
    EXPECT_EQ(at(g.backbuf, 191, 191), (Bgr{uint8_t(c.column + 1), uint8_t(c.row + 1), c.red}));
    EXPECT_EQ(at(g.backbuf, 200, 230), (Bgr{0, 0, c.red}));
    EXPECT_EQ(at(g.backbuf, 200, 250), kBlack);
    EXPECT_EQ(g.effects[0].type, c.age >= 24 ? 0 : 10);
}

INSTANTIATE_TEST_SUITE_P(Ages, BigBombByAge,
                         ::testing::Values(BigBombCase{0, 0, 0, 0}, BigBombCase{1, 246, 0, 0},
                                           BigBombCase{2, 236, 0, 0}, BigBombCase{3, 226, 1, 0},
                                           BigBombCase{5, 206, 1, 0}, BigBombCase{6, 196, 2, 0},
                                           BigBombCase{15, 106, 5, 0}, BigBombCase{17, 86, 5, 0},
                                           BigBombCase{18, 76, 0, 1}, BigBombCase{20, 56, 0, 1},
                                           BigBombCase{21, 46, 1, 1}, BigBombCase{23, 26, 1, 1},
                                           BigBombCase{24, 16, 2, 1}),
                         [](const auto& i) { return "Age" + std::to_string(i.param.age); });

TEST_F(EffectsTest, SmallExplosionRunsTwelveCells) {
    setefect(g, 20, 30, 9);
    EXPECT_EQ(sounds(), std::vector<int>{2});
    for (int age = 0; age <= 11; ++age) {
        pass();
        EXPECT_EQ(at(g.backbuf, 20, 30), (Bgr{uint8_t(age + 1), 1, 0})) << "age " << age;
        EXPECT_EQ(at(g.backbuf, 83, 93), (Bgr{uint8_t(age + 1), 1, 0})) << "age " << age;
        EXPECT_EQ(at(g.backbuf, 84, 30), kBlack);
    }
    EXPECT_EQ(g.effects[0].type, 0);
}

TEST_F(EffectsTest, DeathSequenceFillsTheSlotsInOrder) {
    g.px = 120;
    g.py = 120;
    dead(g);
    ASSERT_EQ(g.effects[0].type, 6);
    EXPECT_EQ(g.effects[0].x, 88);
    EXPECT_EQ(g.effects[0].y, 88);
    EXPECT_TRUE(sounds().empty());

    // Explosion n starts at age 3n of the sequence and lives 12 passes; each takes the
    // lowest free slot from 1 upwards.
    const int slots[11] = {1, 2, 3, 4, 1, 2, 3, 4, 1, 2, 3};
    Random r = g.rng;
    for (int age = 0; age <= 30; ++age) {
        pass();
        if (age % 3 != 0) continue;
        const int n = age / 3;
        const int32_t ry = r.random(24);
        const int32_t rx = r.random(24);
        const EffectSlot& e = g.effects[size_t(slots[n])];
        EXPECT_EQ(e.type, 9) << "explosion " << n;
        EXPECT_EQ(e.x, 80 + rx) << "explosion " << n;
        EXPECT_EQ(e.y, 80 + ry) << "explosion " << n;
        EXPECT_EQ(e.age, 1) << "drawn in the pass that started it, explosion " << n;
        // Nothing else in the frame adds bomb01's cell 0 at its corner except when an older
        // explosion overlaps it; the blue byte holds at least cell 0's value.
        EXPECT_GE(at(g.backbuf, e.x, e.y).b, 1) << "explosion " << n;
    }
    EXPECT_EQ(g.effects[0].type, 10);
    EXPECT_EQ(g.effects[0].x, 120 - 96);
    EXPECT_EQ(g.effects[0].y, 120 - 96);
    EXPECT_EQ(g.effects[0].age, 1);
    EXPECT_EQ(at(g.backbuf, 230, 5), kBlack) << "no red before the big explosion is drawn";
    std::vector<int> expected(11, 2);
    expected.push_back(5);
    EXPECT_EQ(sounds(), expected);

    pass();
    EXPECT_EQ(at(g.backbuf, 230, 5), (Bgr{0, 0, 246}));
    EXPECT_EQ(at(g.backbuf, 30, 30), (Bgr{1, 1, 246})) << "cell (0,0) of bomb02";
}

TEST_F(EffectsTest, AnEffectStartedIntoAnEarlierSlotWaitsForTheNextPass) {
    // A death sequence in slot 5 with slot 2 free: its first explosion lands in slot 2,
    // before it, and is not drawn in this pass.
    for (size_t i = 0; i < 5; ++i) g.effects[i] = {0, 0, 0, 3};
    g.effects[2] = {};
    g.effects[5] = {0, 0, 0, 6};
    g.px = 120;
    g.py = 120;
    pass();
    const EffectSlot& e = g.effects[2];
    EXPECT_EQ(e.type, 9);
    EXPECT_EQ(e.age, 0) << "its slot had already been aged in this pass";
    bool bombDrawn = false;
    for (int32_t y = 60; y < 180; ++y)
        for (int32_t x = 60; x < 180; ++x)
            if (at(g.backbuf, x, y).g == 1 && at(g.backbuf, x, y).r == 0) bombDrawn = true;
    EXPECT_FALSE(bombDrawn);
    pass();
    EXPECT_EQ(at(g.backbuf, e.x, e.y), (Bgr{1, 1, 0})) << "cell 0 in the next pass";
    EXPECT_EQ(e.age, 1);
}

TEST_F(EffectsTest, GlowFollowsThePointUntilTheInvincibilityEnds) {
    g.px = 100;
    g.py = 100;
    setefect(g, 100, 100, 7);
    g.invtimer = 2;
    pass();
    // The glow is cell 45 of the effect sheet, drawn 7 pixels up and left of the point.
    EXPECT_EQ(at(g.backbuf, 93, 93), (Bgr{46, 1, 1}));
    EXPECT_EQ(at(g.backbuf, 108, 108), (Bgr{46, 16, 16}));

    g.px = 150;
    g.py = 40;
    g.invtimer = 1;
    pass();
    EXPECT_EQ(at(g.backbuf, 143, 33), (Bgr{46, 1, 1}));
    EXPECT_EQ(at(g.backbuf, 93, 93), kBlack);
    EXPECT_EQ(g.effects[0].type, 7);

    g.invtimer = 0;
    pass();
    EXPECT_EQ(at(g.backbuf, 143, 33), (Bgr{46, 1, 1})) << "still drawn in the frame that finds 0";
    EXPECT_EQ(g.effects[0].type, 0);
    pass();
    EXPECT_EQ(at(g.backbuf, 143, 33), kBlack);
}

TEST_F(EffectsTest, GlowInPlayLastsWhileTheInvincibilityLasts) {
    g.mode = 2;
    parkItems(0, 0);
    g.levelpts = 21;
    frames(4); // the fourth frame steps and levels up
    ASSERT_EQ(g.level, 2);
    ASSERT_EQ(g.effects[0].type, 7);
    int shown = 0;
    while (g.effects[0].type == 7 && shown < 300) {
        frame();
        ++shown;
    }
    // Invincible for the next 101 play frames. The glow is drawn at the start of each of them,
    // before the frame counts invtimer down; the last one finds 0, draws it and ends it.
    EXPECT_EQ(shown, 101);
    EXPECT_EQ(g.playstate, 1);
}

} // namespace
