// Replays: the file format, every kind of damaged file, a scripted game recorded and played
// again frame for frame, and which replays are kept.

#include "platform/headless/HeadlessPlatform.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayPlayer.h"
#include "replay/ReplayRecorder.h"
#include "tests/data_fixture.h"

#include <zlib.h>

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>

namespace {

Replay sampleReplay() {
    Replay r;
    r.flags = kReplayRanked;
    r.gameVersion = "9.8.7";
    r.started = 1796000000;
    r.score = "123456789012345678901234567890";
    r.level = 42;
    r.name = "AB!#";
    r.frames = 3000;
    r.start.seed = 0xdeadbeef;
    r.start.bgenabled = 1;
    r.start.seenabled = 0;
    r.start.bgm = 1;
    r.start.zoom = 7;
    r.start.paused = 1;
    r.start.marquee10 = -17;
    r.start.bgpath = "/home/player/pictures/sky.jpg";
    for (size_t k = 0; k < 10; ++k) {
        r.start.ranking[k].score = std::to_string(1000 - k).c_str();
        r.start.ranking[k].name = ("P" + std::to_string(k)).c_str();
    }
    r.events = {kEventFrames, 0x83, 0x02, kEventKey, vk::X, kEventLongFrame, 1};
    r.answers = {0, 3, 200, 1};
    return r;
}

TEST(ReplayFile, EveryFieldSurvivesTheRoundTrip) {
    const Replay a = sampleReplay();
    const std::vector<uint8_t> bytes = encodeReplay(a);
    Replay b;
    std::string error;
    ASSERT_TRUE(decodeReplay(bytes.data(), bytes.size(), b, error)) << error;
    EXPECT_EQ(b.flags, a.flags);
    EXPECT_EQ(b.gameVersion, a.gameVersion);
    EXPECT_EQ(b.started, a.started);
    EXPECT_EQ(b.score.view(), a.score.view());
    EXPECT_EQ(b.level, a.level);
    EXPECT_EQ(b.name.view(), a.name.view());
    EXPECT_EQ(b.frames, a.frames);
    EXPECT_EQ(b.start.seed, a.start.seed);
    EXPECT_EQ((std::array<uint8_t, 5>{b.start.bgenabled, b.start.seenabled, b.start.bgm,
                                      b.start.zoom, b.start.paused}),
              (std::array<uint8_t, 5>{1, 0, 1, 7, 1}));
    EXPECT_EQ(b.start.marquee10, -17);
    EXPECT_EQ(b.start.bgpath, a.start.bgpath);
    EXPECT_EQ(std::memcmp(b.start.ranking.data(), a.start.ranking.data(), sizeof a.start.ranking),
              0);
    EXPECT_EQ(b.events, a.events);
    EXPECT_EQ(b.answers, a.answers);
}

// Rewrites the checksum after a deliberate change, so that the change itself is what is read.
void fixChecksum(std::vector<uint8_t>& b) {
    const uint32_t crc = uint32_t(crc32(0, b.data(), uInt(b.size() - 4)));
    for (int i = 0; i < 4; ++i) b[b.size() - 4 + size_t(i)] = uint8_t(crc >> (8 * i));
}

// Offset of the packed-size field: magic, format, flags, version, time, score, level, name,
// frames.
size_t sizesAt(const Replay& r) {
    return 8 + 2 + 1 + 1 + r.gameVersion.size() + 8 + 1 + r.score.len + 1 + 1 + r.name.len + 4;
}

void put32(std::vector<uint8_t>& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A body packed by hand, for damage inside it.
std::vector<uint8_t> withBody(const std::vector<uint8_t>& body) {
    const Replay r = sampleReplay();
    std::vector<uint8_t> b = encodeReplay(r);
    const size_t at = sizesAt(r);
    b.resize(at);
    uLongf n = compressBound(uLong(body.size()));
    std::vector<uint8_t> packed(n);
    compress2(packed.data(), &n, body.data(), uLong(body.size()), 9);
    b.resize(at + 8);
    put32(b, at, uint32_t(n));
    put32(b, at + 4, uint32_t(body.size()));
    b.insert(b.end(), packed.begin(), packed.begin() + long(n));
    b.resize(b.size() + 4);
    fixChecksum(b);
    return b;
}

struct Damage {
    const char* name;
    std::function<void(std::vector<uint8_t>&)> apply;
    const char* reason;
};

class DamagedReplay : public ::testing::TestWithParam<Damage> {};

TEST_P(DamagedReplay, IsRefusedWithItsReason) {
    std::vector<uint8_t> bytes = encodeReplay(sampleReplay());
    GetParam().apply(bytes);
    Replay r;
    std::string error;
    EXPECT_FALSE(decodeReplay(bytes.data(), bytes.size(), r, error));
    EXPECT_NE(error.find(GetParam().reason), std::string::npos) << error;
}

INSTANTIATE_TEST_SUITE_P(
    Replays, DamagedReplay,
    ::testing::Values(
        Damage{"Empty", [](auto& b) { b.clear(); }, "not a replay"},
        Damage{"OtherFile", [](auto& b) { b[0] = 'B'; }, "not a replay"},
        Damage{"NewerFormat", [](auto& b) { b[8] = 2; }, "newer version"},
        Damage{"CutInHeader", [](auto& b) { b.resize(20); }, "cut short in its header"},
        Damage{"CutInBody", [](auto& b) { b.resize(b.size() - 9); }, "cut short"},
        Damage{"OneByteChanged", [](auto& b) { b[b.size() - 10] ^= 1; }, "checksum"},
        Damage{"BytesAfterTheEnd", [](auto& b) { b.push_back(0); }, "after its end"},
        Damage{"NotDigits",
               [](auto& b) {
                   b[8 + 2 + 1 + 1 + 5 + 8 + 1] = 'x';
                   fixChecksum(b);
               },
               "header is damaged"},
        Damage{"HugeBodyClaimed",
               [](auto& b) {
                   put32(b, sizesAt(sampleReplay()) + 4, 0xffffffffu);
                   fixChecksum(b);
               },
               "claims a body"},
        Damage{"BodyNotPacked",
               [](auto& b) {
                   const size_t at = sizesAt(sampleReplay()) + 8;
                   for (size_t i = at; i < b.size() - 4; ++i) b[i] = uint8_t(i * 37);
                   fixChecksum(b);
               },
               "cannot be unpacked"},
        Damage{"BodyTooShort", [](auto& b) { b = withBody(std::vector<uint8_t>(100, 1)); },
               "malformed"},
        Damage{"StreamLongerThanBody",
               [](auto& b) {
                   std::vector<uint8_t> body(4 + 5 + 4 + 2 + 2670, 0);
                   body.insert(body.end(), {0xff, 0xff, 0xff, 0x7f});
                   b = withBody(body);
               },
               "malformed"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReplayFile, EveryTruncationIsRefused) {
    const std::vector<uint8_t> bytes = encodeReplay(sampleReplay());
    for (size_t n = 0; n < bytes.size(); ++n) {
        Replay r;
        std::string error;
        EXPECT_FALSE(decodeReplay(bytes.data(), n, r, error)) << n;
    }
}

// Keeps a fingerprint of every frame shown.
struct HashingPlatform : HeadlessPlatform {
    std::vector<uint64_t> hashes;
    void present(const Surface& frame) override {
        hashes.push_back(fixture::hashSurface(frame));
        HeadlessPlatform::present(frame);
    }
};

// The scripted game of the golden test, recorded on its way and then played again: a
// pause, speed held, a run along its own trail with level-ups, a death and the name "AB".
class RecordedGame : public ::testing::Test {
  protected:
    void SetUp() override {
        fixture::scriptGoldenGame(dirs, live);
        // A pause switched on and off on the title, and speed held.
        live.keysAtFrame[20] = {vk::F7};
        live.keysAtFrame[30] = {vk::F7};
        live.holds.push_back({400, 420, vk::S});
    }
    fixture::GameFolders dirs;
    HashingPlatform live;
};

TEST_F(RecordedGame, PlaysAgainFrameForFrameWithoutWritingTheRanking) {
    ReplayRecorder recorder(live);
    recorder.outputPath = (dirs.root / "game.vtr").string();
    std::string score;
    {
        TForm1 form(recorder);
        recorder.watch(&form.g);
        ASSERT_EQ(runProgram(form, 1800), -1);
        ASSERT_EQ(form.g.mode, 4);
        ASSERT_EQ(form.g.newrank, 0);
        score = std::string(form.g.score.view());
        form.FormDestroy();
    }
    ASSERT_EQ(recorder.lastWritten(), recorder.outputPath);

    HashingPlatform again;
    again.exeDirectory = dirs.exeDir();
    Replay replay;
    std::string error;
    ASSERT_TRUE(loadReplay(again, recorder.outputPath, replay, error)) << error;
    EXPECT_EQ(replay.score.view(), score);
    EXPECT_EQ(replay.name.view(), "AB");
    EXPECT_EQ(replay.flags, kReplayRanked);
    // Ranked against the table as it stood before the game, not as the file is now.
    fixture::writeBytes(dirs.work / "score.vtx", "junk", 4);

    ReplayPlayer player(again, replay);
    ASSERT_TRUE(player.begin());
    while (player.step()) {
    }
    EXPECT_FALSE(player.desynchronised());
    EXPECT_EQ(player.form().g.score.view(), score);
    EXPECT_EQ(player.form().g.ranking[0].name.view(), "AB");
    // The recording starts at the reset before the game and ends on the first frame of the
    // ranking screen: every frame of it is the live one.
    ASSERT_EQ(again.hashes.size(), replay.frames);
    const std::vector<uint64_t> shown(live.hashes.begin(), live.hashes.begin() + replay.frames);
    EXPECT_EQ(again.hashes, shown);
    player.end();
    EXPECT_EQ(fixture::readBytes(dirs.work / "score.vtx"),
              (std::vector<uint8_t>{'j', 'u', 'n', 'k'}));
}

TEST(ReplayKeeping, TheLatestFiftyAndThoseStillInTheRankingStay) {
    fixture::GameFolders dirs;
    const std::string replays = dirs.exeDir() + "replays/";
    std::filesystem::create_directories(replays);
    // Sixty older games; the 3rd still holds a rank, the 5th held one that was pushed out.
    for (int i = 0; i < 60; ++i) {
        Replay r = sampleReplay();
        r.score = std::to_string(i + 1).c_str();
        r.name = "OLD";
        r.flags = (i == 2 || i == 4) ? kReplayRanked : 0;
        const std::vector<uint8_t> b = encodeReplay(r);
        char name[64];
        std::snprintf(name, sizeof name, "20260101-0000%02d-%d.vtr", i, i + 1);
        fixture::writeBytes(replays + name, b.data(), b.size());
    }
    HeadlessPlatform p;
    p.exeDirectory = dirs.exeDir();
    p.timeOfDay = 4242;
    p.localStamp = "20261208-120000";
    dirs.writeSettings("[BackGround]\nPath=none\nEnable=0\n");
    p.keysAtFrame[10] = {vk::X};
    p.keysAtFrame[300] = {vk::Escape};
    std::vector<std::pair<std::string, std::string>> ranks(10, {"P", "100"});
    ranks[9] = {"OLD", "3"}; // the 3rd game's
    const std::vector<uint8_t> table = fixture::rankingFile(ranks);
    fixture::writeBytes(dirs.work / "score.vtx", table.data(), table.size());
    ReplayRecorder recorder(p);
    TForm1 form(recorder);
    recorder.watch(&form.g);
    EXPECT_EQ(runProgram(form, 400), 1);
    recorder.programEnded();
    std::vector<std::string> left = p.listFiles(replays);
    std::sort(left.begin(), left.end());
    ASSERT_EQ(left.size(), 51u);
    EXPECT_EQ(left.back(), "20261208-120000-0.vtr");
    EXPECT_EQ(left.front(), "20260101-000002-3.vtr");
    EXPECT_EQ(left[1], "20260101-000011-12.vtr"); // with the new one, the latest 50
}

} // namespace
