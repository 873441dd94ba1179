// Watching a recorded game one animation frame at a time, as the browser does: the recording's
// own pace at any refresh rate, the same frames as the desktop's verification, pause, four
// times the speed, Esc, the ranking screen after the end, and nothing of the player's written.

#include "platform/headless/HeadlessPlatform.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayViewer.h"
#include "tests/data_fixture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace {

struct HashingPlatform : HeadlessPlatform {
    std::vector<uint64_t> hashes;
    void present(const Surface& frame) override {
        hashes.push_back(fixture::hashSurface(frame));
        HeadlessPlatform::present(frame);
    }
};

// The golden scripted game, recorded once for every test: a game with speed held, a death and
// the name "AB".
class Viewing : public ::testing::Test {
  protected:
    void SetUp() override {
        HashingPlatform live;
        fixture::scriptGoldenGame(dirs, live);
        live.holds.push_back({400, 420, vk::S});
        ReplayRecorder recorder(live);
        recorder.outputPath = (dirs.root / "game.vtr").string();
        {
            TForm1 form(recorder);
            recorder.watch(&form.g);
            ASSERT_EQ(runProgram(form, 1800), -1);
            form.FormDestroy();
        }
        std::string error;
        ASSERT_TRUE(loadReplay(watcher, recorder.outputPath, replay, error)) << error;
        watcher.exeDirectory = dirs.exeDir();
        // What the player has now, which watching must leave alone.
        dirs.writeSettings("[BackGround]\nPath=none\nEnable=0\n[Sound]\nSE=0\nBGM=0\n");
        settingsBefore = fixture::readBytes(dirs.exe / "VORTALIX.ini");
        rankingBefore = fixture::readBytes(dirs.work / "score.vtx");
    }

    // The frames of the recording as the desktop's verification shows them.
    std::vector<uint64_t> verifiedFrames() {
        HashingPlatform p;
        p.exeDirectory = dirs.exeDir();
        ReplayPlayer player(p, replay);
        EXPECT_TRUE(player.begin());
        while (player.step()) {
        }
        player.end();
        return p.hashes;
    }

    fixture::GameFolders dirs;
    Replay replay;
    HashingPlatform watcher;
    std::vector<uint8_t> settingsBefore, rankingBefore;
};

// Animation frames at `hz` from t until `done` says so or `limitMs` has passed; the time
// reached.
template <class Done>
double drive(ReplayViewer& v, double hz, double t, double limitMs, Done done) {
    const double end = t + limitMs;
    while (t < end && !done()) {
        if (!v.animationFrame(t)) break;
        t += 1000.0 / hz;
    }
    return t;
}

TEST_F(Viewing, ShowsTheVerifiedFramesAtTheRecordingsPaceAt144Hz) {
    const std::vector<uint64_t> verified = verifiedFrames();
    ASSERT_EQ(verified.size(), replay.frames);
    ReplayViewer v(watcher, replay);
    ASSERT_TRUE(v.begin());
    const double start = 250.0;
    const double over = drive(v, 144, start, 120000, [&] { return v.recordingOver(); });
    ASSERT_TRUE(v.recordingOver());
    EXPECT_EQ(watcher.hashes, verified);
    // Every recorded frame lasted 16 ms, and so does it when watched.
    const double expectMs = double(replay.frames) * 16.0;
    EXPECT_NEAR(over - start, expectMs, 2 * 1000.0 / 144 + 16.0);
    // Then the ranking screen runs on by itself.
    drive(v, 144, over, 1000, [] { return false; });
    EXPECT_GT(watcher.hashes.size(), verified.size() + 50);
    EXPECT_EQ(v.player().form().g.mode, 4);
    EXPECT_EQ(v.player().form().g.ranking[0].name.view(), "AB");
    v.end();
    EXPECT_EQ(fixture::readBytes(dirs.exe / "VORTALIX.ini"), settingsBefore);
    EXPECT_EQ(fixture::readBytes(dirs.work / "score.vtx"), rankingBefore);
}

TEST_F(Viewing, PauseHoldsTheFrameAndEscEnds) {
    ReplayViewer v(watcher, replay);
    ASSERT_TRUE(v.begin());
    double t = drive(v, 60, 0, 2000, [] { return false; });
    const size_t shown = watcher.hashes.size();
    watcher.keysAtFrame[watcher.framesPresented] = {vk::F7};
    t = drive(v, 60, t, 3000, [] { return false; });
    EXPECT_TRUE(v.paused());
    EXPECT_LE(watcher.hashes.size(), shown + 1);
    // F7 again: on from where it stopped.
    watcher.keysAtFrame[watcher.framesPresented] = {vk::F7};
    t = drive(v, 60, t, 1000, [] { return false; });
    EXPECT_FALSE(v.paused());
    EXPECT_NEAR(double(watcher.hashes.size() - shown), 62.5, 3.0);
    watcher.keysAtFrame[watcher.framesPresented] = {vk::Escape};
    EXPECT_FALSE(v.animationFrame(t + 17));
    v.end();
    EXPECT_EQ(fixture::readBytes(dirs.exe / "VORTALIX.ini"), settingsBefore);
}

TEST_F(Viewing, TabHeldPlaysFourTimesAsFastShowingOneFrameInFour) {
    ReplayViewer v(watcher, replay);
    ASSERT_TRUE(v.begin());
    watcher.keysDown = {vk::Tab};
    const double start = 0;
    const double over = drive(v, 60, start, 120000, [&] { return v.recordingOver(); });
    ASSERT_TRUE(v.recordingOver());
    EXPECT_NEAR(over - start, double(replay.frames) * 4.0, 40.0);
    EXPECT_NEAR(double(watcher.hashes.size()), double(replay.frames) / 4.0, 2.0);
    EXPECT_EQ(v.player().form().g.ranking[0].name.view(), "AB");
    v.end();
}

TEST_F(Viewing, AStalledDisplayDropsTheMissedTimeInsteadOfRushing) {
    ReplayViewer v(watcher, replay);
    ASSERT_TRUE(v.begin());
    double t = drive(v, 60, 0, 1000, [] { return false; });
    const size_t before = watcher.hashes.size();
    // The tab was hidden for five seconds.
    t += 5000;
    ASSERT_TRUE(v.animationFrame(t));
    EXPECT_LE(watcher.hashes.size() - before, size_t(FramePacer::kMaxLagMs / 16) + 1);
    EXPECT_FALSE(v.recordingOver());
}

} // namespace
