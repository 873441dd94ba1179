// The sound effects as the player hears them: which effect may cut off which, judged from the
// calls the headless platform records.

#include "app/GameState.h"
#include "audio/Sound.h"
#include "platform/headless/HeadlessPlatform.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

const char* const kFiles[10] = {"get.wav",     "comp01.wav", "baku03.wav", "lvup.wav",
                                "scratch.wav", "baku05.wav", "count1.wav", "count2.wav",
                                "count3.wav",  "count02.wav"};
constexpr int32_t kPriority[10] = {10, 10, 101, 100, 5, 102, 100, 100, 100, 100};
constexpr int32_t kDuration[10] = {471, 271, 1000, 500, 40, 1500, 200, 200, 200, 200};

// An effect is named by its file without ".wav"; an index outside the table by its number.
std::string effectName(int index) {
    if (index < 0 || index >= 10) return "Index" + case_names::number(index);
    const std::string file = kFiles[index];
    return file.substr(0, file.find('.'));
}

class SoundTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        std::replace(name.begin(), name.end(), '/', '_'); // "AlwaysPlays/3"
        dir_ = fs::temp_directory_path() /
               ("vortalix_sound_" + std::to_string(::getpid()) + "_" + name);
        fs::remove_all(dir_);
        fs::create_directories(dir_ / "sound");
        // The headless platform never decodes; the files only have to exist.
        for (const char* f : kFiles) std::ofstream(dir_ / "sound" / f) << "RIFF";
        g.platform = &p;
        g.basedir = dir_.string() + "/";
        g.seenabled = 1;
    }
    void TearDown() override { fs::remove_all(dir_); }

    std::string path(int n) const { return (dir_ / "sound" / kFiles[n]).string(); }
    void load() { soundloadAll(g); }
    // What mainloop does with the sound timer after each frame.
    void frame(int32_t elapsed) {
        if (g.soundleft > 0) g.soundleft -= elapsed;
    }
    size_t plays() const { return p.soundsPlayed.size(); }

    fs::path dir_;
    HeadlessPlatform p;
    GameState g;
};

TEST_F(SoundTest, RegistersTheTenEffectsInOrderAndPreloadsEach) {
    load();
    ASSERT_EQ(p.soundsPreloaded.size(), 10u);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        const tsound& s = g.soundtable[size_t(i)];
        EXPECT_EQ(s.file, std::string("sound\\") + kFiles[i]);
        EXPECT_EQ(s.priority, kPriority[i]);
        EXPECT_EQ(s.duration, kDuration[i]);
        EXPECT_EQ(s.path, path(i));
        EXPECT_EQ(p.soundsPreloaded[size_t(i)], path(i));
    }
    EXPECT_TRUE(g.soundtable[10].file.empty());
    EXPECT_EQ(g.soundtable[10].priority, 0);
    EXPECT_EQ(g.soundtable[10].duration, 0);
    EXPECT_TRUE(p.messageBoxes.empty());
}

class MissingWav : public SoundTest, public ::testing::WithParamInterface<int> {};

TEST_P(MissingWav, StopsStartUpWithTheWarningAndExitCodeZero) {
    const int missing = GetParam();
    fs::remove(path(missing));
    try {
        load();
        FAIL() << "start-up went on without " << kFiles[missing];
    } catch (const ProgramExit& e) {
        EXPECT_EQ(e.code, 0);
    }
    ASSERT_EQ(p.messageBoxes.size(), 1u);
    EXPECT_EQ(p.messageBoxes[0].text, "WAVファイルが見つかりません！");
    EXPECT_EQ(p.messageBoxes[0].caption, "オープンエラー");
    // The effects before the missing one were registered; none after it.
    EXPECT_EQ(p.soundsPreloaded.size(), size_t(missing));
}

INSTANTIATE_TEST_SUITE_P(EachFile, MissingWav, ::testing::Range(0, 10),
                         [](const auto& i) { return effectName(i.param); });

class FirstAfterReset : public SoundTest, public ::testing::WithParamInterface<int> {};

TEST_P(FirstAfterReset, AlwaysPlays) {
    load();
    g.soundcur = 0;
    g.soundleft = 0;
    const int n = GetParam();
    soundplay(g, n);
    ASSERT_EQ(plays(), 1u);
    EXPECT_EQ(p.soundsPlayed[0], path(n));
    EXPECT_EQ(g.soundcur, n);
    EXPECT_EQ(g.soundleft, kDuration[n]);
}

INSTANTIATE_TEST_SUITE_P(EachEffect, FirstAfterReset, ::testing::Range(0, 10),
                         [](const auto& i) { return effectName(i.param); });

TEST_F(SoundTest, ScratchAfterPickUpIsSilentUntil471msOfFramesHavePassed) {
    load();
    soundplay(g, 0);
    int frames = 0;
    int32_t passed = 0;
    while (plays() == 1 && frames < 100) {
        frame(16);
        passed += 16;
        ++frames;
        soundplay(g, 4);
        if (passed < 471) {
            ASSERT_EQ(plays(), 1u) << "scratch cut off the pick-up after " << passed << " ms";
            EXPECT_EQ(g.soundcur, 0);
        }
    }
    ASSERT_EQ(plays(), 2u);
    EXPECT_EQ(passed, 480); // the first frame boundary at or past 471 ms
    EXPECT_EQ(p.soundsPlayed[1], path(4));
    EXPECT_EQ(g.soundcur, 4);
    EXPECT_EQ(g.soundleft, 40);
}

TEST_F(SoundTest, ScratchPlaysExactlyWhenTheTimerReachesZero) {
    load();
    soundplay(g, 1);                        // rate item, 271 ms
    for (int i = 0; i < 16; ++i) frame(16); // 256 ms
    soundplay(g, 4);
    EXPECT_EQ(plays(), 1u);
    frame(14); // 270 ms: 1 ms left
    soundplay(g, 4);
    EXPECT_EQ(plays(), 1u);
    frame(1); // 271 ms
    soundplay(g, 4);
    EXPECT_EQ(plays(), 2u);
}

TEST_F(SoundTest, EqualPriorityRestarts) {
    load();
    soundplay(g, 0);
    frame(16);
    soundplay(g, 0);
    soundplay(g, 1); // rate item, also priority 10
    ASSERT_EQ(plays(), 3u);
    EXPECT_EQ(p.soundsPlayed[0], path(0));
    EXPECT_EQ(p.soundsPlayed[1], path(0));
    EXPECT_EQ(p.soundsPlayed[2], path(1));
    EXPECT_EQ(g.soundcur, 1);
    EXPECT_EQ(g.soundleft, 271);
}

// (effect sounding, effect asked for, whether the second one is heard at once)
struct CutCase {
    int first, second;
    bool heard;
};

class CutOff : public SoundTest, public ::testing::WithParamInterface<CutCase> {};

TEST_P(CutOff, FollowsThePriorities) {
    load();
    const CutCase c = GetParam();
    soundplay(g, c.first);
    frame(16);
    soundplay(g, c.second);
    ASSERT_EQ(plays(), c.heard ? 2u : 1u);
    EXPECT_EQ(g.soundcur, c.heard ? c.second : c.first);
    EXPECT_EQ(g.soundleft, c.heard ? kDuration[c.second] : kDuration[c.first] - 16);
}

INSTANTIATE_TEST_SUITE_P(Table, CutOff,
                         ::testing::Values(
                             // the count-down's voices and the flash cut off pick-ups and scratches
                             CutCase{0, 8, true}, CutCase{1, 7, true}, CutCase{4, 6, true},
                             CutCase{0, 9, true}, CutCase{4, 3, true}, CutCase{8, 7, true},
                             CutCase{7, 6, true}, CutCase{6, 9, true},
                             // but not the explosions of the death sequence
                             CutCase{2, 8, false}, CutCase{5, 9, false}, CutCase{5, 3, false},
                             // a scratch never cuts off a pick-up
                             CutCase{0, 4, false}, CutCase{1, 4, false},
                             // the big explosion cuts off the small one, never the other way round
                             CutCase{2, 5, true}, CutCase{5, 2, false}, CutCase{2, 2, true},
                             // pick-ups cut off scratches
                             CutCase{4, 0, true}, CutCase{4, 1, true}),
                         [](const auto& i) {
                             return effectName(i.param.first) + "_Then_" +
                                    effectName(i.param.second);
                         });

TEST_F(SoundTest, BigExplosionHoldsOffTheSmallOnesFor1500ms) {
    load();
    soundplay(g, 5);
    int32_t passed = 0;
    while (passed < 1500) {
        soundplay(g, 2);
        ASSERT_EQ(plays(), 1u) << passed;
        frame(20);
        passed += 20;
    }
    soundplay(g, 2);
    EXPECT_EQ(plays(), 2u);
}

TEST_F(SoundTest, TitleFlashPlaysLvupTwiceInTheCallLog) {
    load();
    soundplay(g, 3); // the title screen itself
    soundplay(g, 3); // the flash effect it starts
    ASSERT_EQ(plays(), 2u);
    EXPECT_EQ(p.soundsPlayed[0], path(3));
    EXPECT_EQ(p.soundsPlayed[1], path(3));
}

class EffectsOff : public SoundTest, public ::testing::WithParamInterface<int> {};

TEST_P(EffectsOff, ChangesNothingAtAll) {
    load();
    g.seenabled = 0;
    g.soundcur = 4;
    g.soundleft = -3;
    soundplay(g, GetParam());
    EXPECT_EQ(plays(), 0u);
    EXPECT_EQ(g.soundcur, 4);
    EXPECT_EQ(g.soundleft, -3);
    // Switched on again, the state is what it was.
    g.seenabled = 1;
    soundplay(g, 4);
    EXPECT_EQ(plays(), 1u);
}

INSTANTIATE_TEST_SUITE_P(EachIndex, EffectsOff, ::testing::Range(-1, 12),
                         [](const auto& i) { return effectName(i.param); });

TEST_F(SoundTest, AnyNonZeroSwitchCountsAsOn) {
    load();
    g.seenabled = 2;
    soundplay(g, 0);
    EXPECT_EQ(plays(), 1u);
}

TEST_F(SoundTest, AFileRemovedAfterStartUpIsNotPlayedButCountsAsStarted) {
    load();
    fs::remove(path(0));
    soundplay(g, 0);
    EXPECT_EQ(plays(), 0u);
    EXPECT_EQ(g.soundcur, 0);
    EXPECT_EQ(g.soundleft, 471);
    soundplay(g, 4); // still held off by the silent pick-up
    EXPECT_EQ(plays(), 0u);
    EXPECT_EQ(g.soundcur, 0);
    soundplay(g, 8); // a higher one plays
    ASSERT_EQ(plays(), 1u);
    EXPECT_EQ(p.soundsPlayed[0], path(8));
}

TEST_F(SoundTest, TheEmptyEntryTenIsNeverPlayed) {
    load();
    soundplay(g, 10);
    EXPECT_EQ(plays(), 0u);
    EXPECT_EQ(g.soundcur, 10);
    EXPECT_EQ(g.soundleft, 0);
    soundplay(g, 4);
    EXPECT_EQ(plays(), 1u);
}

TEST_F(SoundTest, IndicesOutsideTheTableDoNothing) {
    load();
    g.soundcur = 3;
    g.soundleft = 0;
    for (int32_t n : {-1, 11, 1000, INT32_MIN}) soundplay(g, n);
    EXPECT_EQ(plays(), 0u);
    EXPECT_EQ(g.soundcur, 3);
    EXPECT_EQ(g.soundleft, 0);
}

} // namespace
