// The frame loop: pacing, the millisecond timers, pause, the game-over sequence, and the two
// screens around a game (title and count-down).

#include "game_fixture.h"

using namespace gamefix;

namespace {

class FrameLoopTest : public GameTest {};

TEST_F(FrameLoopTest, NoFrameBeginsSoonerThanSixteenMsAfterThePrevious) {
    p.autoAdvance = false;
    p.tickPerRead = 1; // the clock only moves while the loop reads it
    std::vector<int32_t> begins;
    for (int i = 0; i < 30; ++i) {
        frame();
        begins.push_back(g.lastframe);
    }
    for (size_t i = 1; i < begins.size(); ++i)
        EXPECT_EQ(begins[i] - begins[i - 1], 16) << "frame " << i;
    for (size_t i = 1; i < p.presentTimes.size(); ++i)
        EXPECT_GE(p.presentTimes[i] - p.presentTimes[i - 1], 16u) << "frame " << i;
}

TEST_F(FrameLoopTest, FramesAreSixteenMsApartAndPumpWhileWaiting) {
    for (int i = 0; i < 20; ++i) {
        const int64_t pumps = p.pumps;
        frame();
        EXPECT_GT(p.pumps, pumps) << "frame " << i;
    }
    ASSERT_EQ(p.presentTimes.size(), 20u);
    EXPECT_EQ(p.presentTimes[0], 5016u);
    for (size_t i = 1; i < p.presentTimes.size(); ++i)
        EXPECT_EQ(p.presentTimes[i] - p.presentTimes[i - 1], 16u);
}

TEST_F(FrameLoopTest, KeysArriveWhileTheFrameWaits) {
    g.mode = 2;
    p.keysAtFrame[2] = {vk::Right};
    frames(2);
    EXPECT_EQ(g.dir, 1);
    frame();
    EXPECT_EQ(g.dir, 2);
}

TEST_F(FrameLoopTest, ALateCallNeitherWaitsNorPumpsAndCarriesTheTime) {
    g.mode = 1;
    frames(3);
    g.soundleft = 100;
    const int32_t countclock = g.countclock;
    const uint32_t begin = uint32_t(g.lastframe);
    p.now = begin + 40;
    p.keysAtFrame[p.framesPresented] = {vk::F7};
    const int64_t pumps = p.pumps;
    frame();
    EXPECT_EQ(p.pumps, pumps);
    EXPECT_EQ(g.paused, 0) << "no messages were handled";
    EXPECT_EQ(p.presentTimes.back(), begin + 40);
    EXPECT_EQ(uint32_t(g.lastframe), begin + 40);
    EXPECT_EQ(g.soundleft, 60);
    EXPECT_EQ(g.countclock, countclock + 40);
}

TEST_F(FrameLoopTest, SoundTimerRunsDownAndStopsBelowZero) {
    g.soundleft = 30;
    frame();
    EXPECT_EQ(g.soundleft, 14);
    frame();
    EXPECT_EQ(g.soundleft, -2);
    frames(3);
    EXPECT_EQ(g.soundleft, -2);
}

TEST_F(FrameLoopTest, TheClockWrapsWithoutHarm) {
    p.now = 0xFFFFFFF0u;
    shokika(g);
    g.mode = 1;
    g.soundleft = 1000;
    for (int i = 0; i < 6; ++i) {
        const int64_t pumps = p.pumps;
        frame();
        EXPECT_GT(p.pumps, pumps) << "frame " << i << " waited";
    }
    ASSERT_EQ(p.presentTimes.size(), 6u);
    EXPECT_EQ(p.presentTimes[0], 0u);
    for (size_t i = 1; i < p.presentTimes.size(); ++i)
        EXPECT_EQ(uint32_t(p.presentTimes[i] - p.presentTimes[i - 1]), 16u);
    EXPECT_EQ(g.soundleft, 1000 - 6 * 16);
    EXPECT_EQ(g.countclock, 6 * 16);
}

TEST_F(FrameLoopTest, PauseFreezesTheGameButNotTheSoundTimerOrTheEffects) {
    g.mode = 2;
    parkItems(0, 0);
    g.playstate = 2;
    g.invtimer = 50;
    g.combo = 2;
    g.combotimer = 100;
    g.stepclock = 3; // a step is due
    g.modeclock = 7;
    g.soundleft = 200;
    g.paused = 1;
    setefect(g, 10, 10, 2);
    frames(5);
    EXPECT_EQ(g.px, 120);
    EXPECT_EQ(g.stepclock, 3);
    EXPECT_EQ(g.modeclock, 7);
    EXPECT_EQ(g.invtimer, 50);
    EXPECT_EQ(g.combotimer, 100);
    EXPECT_EQ(g.combo, 2);
    EXPECT_EQ(g.playstate, 2);
    EXPECT_EQ(g.soundleft, 200 - 5 * 16);
    EXPECT_EQ(g.effects[0].age, 5);
    EXPECT_EQ(textAt(p.lastFrame, 96, 120, 5), "PAUSE");

    g.paused = 0;
    frame();
    EXPECT_EQ(g.px, 121);
    EXPECT_EQ(g.invtimer, 49);
    EXPECT_EQ(g.combotimer, 99);
    EXPECT_EQ(g.modeclock, 8);
    EXPECT_EQ(g.stepclock, 1);
}

TEST_F(FrameLoopTest, InvincibilityEndsOnTheFrameThatFindsZero) {
    g.mode = 2;
    parkItems(0, 0);
    g.playstate = 2;
    g.invtimer = 1;
    frame();
    EXPECT_EQ(g.playstate, 2);
    EXPECT_EQ(g.invtimer, 0);
    frame();
    EXPECT_EQ(g.playstate, 1);
    EXPECT_EQ(g.invtimer, 255);
}

class GameOver : public FrameLoopTest, public ::testing::WithParamInterface<bool> {
  protected:
    // The rightmost glyph pixel of the text row, and the glyph there.
    std::pair<int32_t, Glyph> lastGlyph() const {
        for (int32_t x = 239; x >= 0; --x) {
            const Glyph gl = glyphAt(p.lastFrame, x, 120);
            if (gl.c) return {x, gl};
        }
        return {-1, {}};
    }
};

TEST_P(GameOver, TextSpreadsThenTheScoreIsSortedOnFrame126) {
    const bool ranked = GetParam();
    if (ranked) g.ranking[9].score = "0"; // rank 10 holds 0; the new score below beats it
    g.score = ranked ? "5" : "0";
    // The explosions and the big red flash stay out of the text's colours.
    g.sheets[sheet::Bomb].fillBlack();
    g.sheets[sheet::BigBomb].fillBlack();
    g.mode = 2;
    parkItems(0, 0);
    white(121, 120);
    frames(4);
    ASSERT_EQ(g.playstate, 0) << "the fourth frame is fatal";
    ASSERT_EQ(g.modeclock, 1);
    for (int k = 1; k <= 126; ++k) {
        frame();
        if (k < 126) {
            ASSERT_EQ(g.mode, 2) << "game-over frame " << k;
            const int spacing = std::min(k - 1, 8);
            const auto [x, gl] = lastGlyph();
            EXPECT_EQ(x, 80 + 8 * spacing + 7) << "game-over frame " << k;
            EXPECT_EQ(gl, (Glyph{'R', 0})) << "game-over frame " << k;
            if (spacing > 0) {
                EXPECT_EQ(glyphAt(p.lastFrame, 80 + spacing, 120), (Glyph{'A', 0})) << k;
            }
            EXPECT_EQ(g.modeclock, 2 * k + 1);
        }
    }
    EXPECT_EQ(g.mode, ranked ? 3 : 4);
    EXPECT_EQ(g.newrank, ranked ? 9 : 10);
    EXPECT_EQ(g.modeclock, 1);
    if (ranked) {
        EXPECT_EQ(g.ranking[9].score.view(), "5");
    }
}

INSTANTIATE_TEST_SUITE_P(RankedOrNot, GameOver, ::testing::Bool(),
                         [](const auto& i) { return i.param ? "Ranked" : "NotRanked"; });

TEST_F(FrameLoopTest, ZoomPresentsTheDoubledFrame) {
    g.zoom = 1;
    g.zoombuf.create(480, 546);
    frames(41);
    ASSERT_EQ(p.lastFrame.width(), 480);
    ASSERT_EQ(p.lastFrame.height(), 546);
    // Frame 40 of the title: row 0 of the picture at (20, 20), doubled to (40, 40).
    EXPECT_EQ(at(p.lastFrame, 40, 40), (Bgr{1, 1, 30}));
    EXPECT_EQ(at(p.lastFrame, 41, 41), (Bgr{1, 1, 30}));
    EXPECT_EQ(at(p.lastFrame, 42, 40), (Bgr{1, 2, 30}));
}

// --- the title ---

class TitleTest : public GameTest {};

struct OpeningCase {
    int c;
    int32_t evenX, oddX;
};

class TitleOpening : public TitleTest, public ::testing::WithParamInterface<OpeningCase> {};

TEST_P(TitleOpening, EvenRowsFromTheLeftOddRowsFromTheRight) {
    const OpeningCase oc = GetParam();
    frames(oc.c + 1);
    ASSERT_EQ(g.modeclock, oc.c + 1);
    const Surface& f = p.lastFrame;
    for (int32_t r = 0; r < 70; ++r) {
        const int32_t x0 = r % 2 == 0 ? oc.evenX : oc.oddX;
        const int32_t y = 20 + r;
        for (int32_t x = 0; x < 240; ++x) {
            const int32_t col = x - x0;
            const Bgr expect =
                col >= 0 && col < 200 ? Bgr{uint8_t(r + 1), uint8_t(col + 1), 30} : kBlack;
            if (at(f, x, y) != expect) {
                ADD_FAILURE() << "row " << r << " x " << x << ": " << at(f, x, y) << " not "
                              << expect;
                return;
            }
        }
    }
    EXPECT_EQ(at(f, 120, 19), kBlack);
    EXPECT_EQ(at(f, 120, 90), kBlack);
}

INSTANTIATE_TEST_SUITE_P(Frames, TitleOpening,
                         ::testing::Values(OpeningCase{0, -60, 100}, OpeningCase{1, -58, 98},
                                           OpeningCase{10, -40, 80}, OpeningCase{40, 20, 20}),
                         [](const auto& i) { return "Frame" + std::to_string(i.param.c); });

TEST_F(TitleTest, Frame41FlashesInsteadOfDrawing) {
    frames(41);
    p.soundsPlayed.clear();
    frame();
    for (int32_t y = 0; y < 240; ++y)
        for (int32_t x = 0; x < 240; ++x)
            if (at(p.lastFrame, x, y) != kBlack) {
                ADD_FAILURE() << "drawn at " << x << "," << y;
                return;
            }
    EXPECT_EQ(sounds(), (std::vector<int>{3, 3}));
    EXPECT_EQ(g.effects[0].type, 8);
    EXPECT_EQ(g.effects[0].age, 0);
    EXPECT_EQ(g.modeclock, 42);
}

TEST_F(TitleTest, StillTitleShowsPictureAndTexts) {
    frames(43);
    const Surface& f = p.lastFrame;
    EXPECT_EQ(at(f, 20, 20), (Bgr{1, 1, 30}));
    EXPECT_EQ(at(f, 219, 89), (Bgr{70, 200, 30}));
    EXPECT_EQ(textAt(f, 76, 120, 10), "PUSH X KEY");
    EXPECT_EQ(glyphAt(f, 76, 120).row, 0);
    // Credit lines: 30 cells from x 0 in colour row 1, 11 cells from x 152 in row 2.
    int line1 = 0, line2 = 0;
    for (int i = 0; i < 30; ++i) {
        const Glyph gl = glyphAt(f, 8 * i, 224);
        if (gl.c) {
            ++line1;
            EXPECT_EQ(gl.row, 1);
        }
    }
    for (int i = 0; i < 11; ++i) {
        const Glyph gl = glyphAt(f, 152 + 8 * i, 232);
        if (gl.c) {
            ++line2;
            EXPECT_EQ(gl.row, 2);
        }
    }
    EXPECT_GT(line1, 0);
    EXPECT_GT(line2, 0);
    EXPECT_TRUE(glyphAt(f, 29 * 8, 224).c != 0) << "the first line fills its 30 cells";
    EXPECT_TRUE(glyphAt(f, 152 + 10 * 8, 232).c != 0) << "the second line fills its 11 cells";
}

TEST_F(TitleTest, StartWorksDuringTheOpening) {
    frames(10);
    form.FormKeyDown(vk::Up);
    EXPECT_EQ(g.mode, 1);
    EXPECT_EQ(g.modeclock, 0);
}

// --- the count-down ---

TEST_F(TitleTest, CountDownStepsOnFrame64ThenEvery63) {
    parkItems(0, 0);
    frames(50);
    form.FormKeyDown(vk::X);
    p.soundsPlayed.clear();
    std::vector<int> stepFrames;
    int shown = 4;
    for (int k = 1; k <= 253; ++k) {
        const int before = g.countdown;
        frame();
        const Glyph digit = glyphAt(p.lastFrame, 112, 80);
        if (before == 4) {
            EXPECT_EQ(digit, Glyph{}) << "frame " << k;
        } else {
            EXPECT_EQ(digit, (Glyph{char('0' + before), before - 1})) << "frame " << k;
        }
        EXPECT_EQ(textAt(p.lastFrame, 96, 64, 1), "R") << "frame " << k;
        EXPECT_EQ(glyphAt(p.lastFrame, 106, 64).c, 'E') << "spacing 10";
        if (g.countdown != before) stepFrames.push_back(k);
        if (digit.c) {
            EXPECT_NE(digit.c, '4');
            EXPECT_NE(digit.c, '0');
        }
        shown = g.countdown;
        if (k < 253) {
            ASSERT_EQ(g.mode, 1) << "frame " << k;
        }
    }
    EXPECT_EQ(stepFrames, (std::vector<int>{64, 127, 190, 253}));
    EXPECT_EQ(sounds(), (std::vector<int>{8, 7, 6, 9}));
    EXPECT_EQ(g.mode, 2);
    EXPECT_EQ(shown, 0);
    frame();
    EXPECT_EQ(glyphAt(p.lastFrame, 112, 80), Glyph{}) << "no 0 once play begins";
    EXPECT_EQ(glyphAt(p.lastFrame, 96, 64), Glyph{}) << "no READY in play";
}

TEST_F(TitleTest, ACountDownStepNeedsMoreThanASecond) {
    g.mode = 1;
    g.countclock = 1000;
    count_down(g);
    EXPECT_EQ(g.countdown, 4);
    g.countclock = 1001;
    count_down(g);
    EXPECT_EQ(g.countdown, 3);
    EXPECT_EQ(g.countclock, 0);
    EXPECT_EQ(sounds(), std::vector<int>{8});
}

} // namespace
