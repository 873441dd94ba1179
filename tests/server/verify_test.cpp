// The server's verdict on every golden replay is the headless runner's, and a replay's
// settings never make the server touch its own disk.

#include "replay/ReplayVerify.h"
#include "server/Submission.h"
#include "tests/server/server_fixture.h"

#include <algorithm>
#include <sys/wait.h>

using namespace serverfix;

namespace {

std::vector<std::string> goldenNames() {
    std::vector<std::string> names;
    for (const auto& f : fs::directory_iterator(goldenDir()))
        if (f.path().extension() == ".vtr") names.push_back(f.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenVerdict : public ::testing::TestWithParam<std::string> {
  protected:
    static void SetUpTestSuite() { gameData(data); }
    static std::unique_ptr<GameData> data;
};
std::unique_ptr<GameData> GoldenVerdict::data;

TEST_P(GoldenVerdict, EqualsTheHeadlessRunners) {
    const fs::path file = goldenDir() / (GetParam() + ".vtr");
    const std::string command = std::string(VORTALIX_BINARY_DIR) + "/vortalix-headless --verify '" +
                                file.string() + "' >/dev/null";
    const int status = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(status));
    const bool headlessMatches = WEXITSTATUS(status) == 0;

    const std::vector<uint8_t> bytes = readBytes(file);
    Replay replay;
    std::string error;
    ASSERT_TRUE(decodeReplay(bytes.data(), bytes.size(), replay, error)) << error;
    MemoryPlatform platform(gameData(data));
    const VerifyResult r = verifyReplay(platform, replay);
    EXPECT_EQ(r.outcome == VerifyOutcome::Matches, headlessMatches);
    EXPECT_TRUE(headlessMatches) << "a golden replay no longer verifies";

    // And what the server makes of it: ranked games are accepted, given-up ones refused.
    const SubmissionResult s = judgeSubmission(platform, bytes.data(), bytes.size(), 450000);
    if ((replay.flags & kReplayAbandoned) != 0 || (replay.flags & kReplayRanked) == 0) {
        EXPECT_EQ(s.verdict, Verdict::Abandoned) << s.reason;
    } else {
        EXPECT_EQ(s.verdict, Verdict::Accepted) << s.reason;
        EXPECT_EQ(s.score, std::string(replay.score.view()));
    }
}

INSTANTIATE_TEST_SUITE_P(Replays, GoldenVerdict, ::testing::ValuesIn(goldenNames()),
                         [](const ::testing::TestParamInfo<std::string>& info) {
                             return info.param;
                         });

class ServerVerify : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { gameData(data); }
    static std::unique_ptr<GameData> data;
};
std::unique_ptr<GameData> ServerVerify::data;

TEST_F(ServerVerify, AForgedScoreDoesNotVerify) {
    const std::vector<uint8_t> bytes = forged(golden("levelups_name"), [](Replay& r) {
        r.score = (std::string(r.score.view()) + "0").c_str();
    });
    MemoryPlatform platform(*data);
    const SubmissionResult s = judgeSubmission(platform, bytes.data(), bytes.size(), 450000);
    EXPECT_EQ(s.verdict, Verdict::DoesNotVerify);
    EXPECT_EQ(s.reason.rfind("does not verify", 0), 0u) << s.reason;
}

TEST_F(ServerVerify, ABackgroundPathOfTheServersDiskIsNeverRead) {
    // A file the server could read: the game must not see it, nor the server's own files.
    TempDir dir;
    const fs::path picture = dir.path / "secret.bmp";
    fs::copy_file(fs::path(VORTALIX_BINARY_DIR) / "image" / "t_back.jpg", picture);
    const std::vector<uint8_t> bytes = forged(golden("levelups_name"), [&](Replay& r) {
        r.start.bgpath = picture.string();
        r.start.bgenabled = 1;
    });
    struct Watching : MemoryPlatform {
        using MemoryPlatform::MemoryPlatform;
        std::vector<std::string> asked;
        ReadStatus readFile(const std::string& path, size_t max,
                            std::vector<uint8_t>& out) override {
            asked.push_back(path);
            return MemoryPlatform::readFile(path, max, out);
        }
        bool fileExists(const std::string& path) override {
            asked.push_back(path);
            return MemoryPlatform::fileExists(path);
        }
    } platform(*data);
    const SubmissionResult s = judgeSubmission(platform, bytes.data(), bytes.size(), 450000);
    EXPECT_EQ(s.verdict, Verdict::Accepted) << s.reason;
    bool askedForIt = false;
    for (const std::string& p : platform.asked) askedForIt |= p == picture.string();
    EXPECT_TRUE(askedForIt) << "the game never asked for the picture: the test proves nothing";
    std::vector<uint8_t> out;
    EXPECT_EQ(platform.MemoryPlatform::readFile(picture.string(), 1 << 20, out),
              ReadStatus::Missing);
    std::string error;
    EXPECT_FALSE(platform.writeFileAtomic((dir.path / "x").string(), "x", 1, error));
    EXPECT_FALSE(fs::exists(dir.path / "x"));
}

TEST_F(ServerVerify, HeaderChecksRefuseBeforePlaying) {
    SubmissionResult s;
    const std::vector<uint8_t> good = golden("levelups_name");
    EXPECT_FALSE(checkSubmissionHeader(good.data(), good.size(), 10, s));
    EXPECT_EQ(s.verdict, Verdict::TooLong);
    const std::vector<uint8_t> badName = forged(good, [](Replay& r) { r.name = "ab<"; });
    EXPECT_FALSE(checkSubmissionHeader(badName.data(), badName.size(), 450000, s));
    EXPECT_EQ(s.verdict, Verdict::Unreadable);
    std::vector<uint8_t> newer = good;
    newer[8] = 0x7f;
    EXPECT_FALSE(checkSubmissionHeader(newer.data(), newer.size(), 450000, s));
    EXPECT_EQ(s.verdict, Verdict::NewerFormat);
    for (size_t cut : {size_t(0), size_t(5), size_t(20), good.size() / 2, good.size() - 1}) {
        MemoryPlatform platform(*data);
        const SubmissionResult t = judgeSubmission(platform, good.data(), cut, 450000);
        EXPECT_EQ(t.verdict, Verdict::Unreadable) << cut << ": " << t.reason;
    }
}

TEST_F(ServerVerify, AFewBytesAskingForBillionsOfFramesAreTooLong) {
    const std::vector<uint8_t> bytes = forged(golden("levelups_name"), [](Replay& r) {
        r.events.clear();
        r.events.push_back(kEventFrames);
        putNumber(r.events, 0xffffffffu);
    });
    MemoryPlatform platform(*data);
    const SubmissionResult s = judgeSubmission(platform, bytes.data(), bytes.size(), 450000);
    EXPECT_EQ(s.verdict, Verdict::TooLong) << s.reason;
}

} // namespace
