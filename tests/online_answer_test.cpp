// What the game makes of a scoreboard's answers, of the address in its settings, and how it
// keeps the games waiting to be sent and the log of what became of them.
#include "file_fixtures.h"
#include "online/OnlineSettings.h"
#include "online/Outbox.h"
#include "online/ServerAnswer.h"
#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

namespace {

using fixtures::TempDir;

struct AnswerCase {
    const char* name;
    int32_t status;
    const char* body;
    SendOutcome outcome;
    uint32_t rank;
    const char* says; // part of the line
};

class Answers : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(Answers, TellThePlayerAndTheOutbox) {
    HttpReply reply;
    reply.status = GetParam().status;
    reply.body = GetParam().body;
    reply.error = "Connection refused";
    const SendReport r = readServerAnswer(reply);
    EXPECT_EQ(r.outcome, GetParam().outcome);
    EXPECT_EQ(r.rank, GetParam().rank);
    EXPECT_NE(r.line.find(GetParam().says), std::string::npos) << r.line;
    EXPECT_EQ(r.line.find('\n'), std::string::npos) << r.line;
}

const char* const kEntry = R"({"id": 17, "name": "ABC", "score": "123450", "level": 3,
  "frames": 4521, "date": "2026-12-09T05:40:00Z", "rank": 4, "sha256": "00"})";

INSTANTIATE_TEST_SUITE_P(
    Server, Answers,
    ::testing::Values(
        AnswerCase{"NewEntry", 201, kEntry, SendOutcome::Accepted, 4, "world rank 4 with 123450"},
        AnswerCase{"SameFileAgain", 200, kEntry, SendOutcome::Accepted, 4,
                   "already on the board: world rank 4"},
        AnswerCase{"AcceptedWithoutBody", 201, "", SendOutcome::Accepted, 0, "accepted"},
        AnswerCase{"RankNotANumber", 201, R"({"rank": "4"})", SendOutcome::Accepted, 0, "accepted"},
        AnswerCase{"DoesNotVerify", 422, R"({"error": "does not verify"})", SendOutcome::Refused, 0,
                   "refused: does not verify (HTTP 422)"},
        AnswerCase{"Abandoned", 422, R"({"error": "abandoned game"})", SendOutcome::Refused, 0,
                   "abandoned game"},
        AnswerCase{"TooLarge", 413, "<html>nope</html>", SendOutcome::Refused, 0, "HTTP 413"},
        AnswerCase{"ReasonOverLines", 422, R"({"error": "bad\nthing\u0007"})", SendOutcome::Refused,
                   0, "bad thing "},
        AnswerCase{"RateLimited", 429, "", SendOutcome::TryLater, 0, "not sent: HTTP 429"},
        AnswerCase{"QueueFull", 503, R"({"error": "busy"})", SendOutcome::TryLater, 0,
                   "not sent: busy"},
        AnswerCase{"BodyTooSlow", 408, "", SendOutcome::TryLater, 0, "not sent: HTTP 408"},
        AnswerCase{"Redirected", 302, "", SendOutcome::TryLater, 0, "HTTP 302"},
        AnswerCase{"NoAnswer", 0, "", SendOutcome::TryLater, 0, "not sent: Connection refused"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Answers, ALongReasonIsCut) {
    HttpReply reply;
    reply.status = 422;
    reply.body = R"({"error": ")" + std::string(5000, 'x') + R"("})";
    EXPECT_LT(readServerAnswer(reply).line.size(), 300u);
}

TEST(Answers, TheWaitAskedForIsSaid) {
    HttpReply reply;
    reply.status = 429;
    reply.retryAfter = 30;
    EXPECT_NE(readServerAnswer(reply).line.find("wait 30 s"), std::string::npos);
}

struct AddressCase {
    const char* name;
    const char* server;
    const char* endpoint;
};

class Addresses : public ::testing::TestWithParam<AddressCase> {};

TEST_P(Addresses, NameWhereGamesArePosted) {
    EXPECT_EQ(replaysEndpoint(GetParam().server), GetParam().endpoint);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, Addresses,
    ::testing::Values(AddressCase{"Plain", "http://127.0.0.1:8080",
                                  "http://127.0.0.1:8080/api/v1/replays"},
                      AddressCase{"TrailingSlash", "https://scores.example.org/",
                                  "https://scores.example.org/api/v1/replays"},
                      AddressCase{"BelowAPath", "https://example.org/vortalix",
                                  "https://example.org/vortalix/api/v1/replays"},
                      AddressCase{"Empty", "", ""},
                      AddressCase{"NoScheme", "scores.example.org", ""},
                      AddressCase{"LocalFile", "file:///etc/passwd", ""},
                      AddressCase{"SpaceInside", "http://a b/", ""}),
    [](const auto& info) { return std::string(info.param.name); });

struct SettingCase {
    const char* name;
    const char* text;
    const char* server;
};

class ServerSetting : public ::testing::TestWithParam<SettingCase> {};

TEST_P(ServerSetting, IsReadFromTheOnlineSection) {
    TempDir dir;
    fixtures::writeText(dir / "VORTALIX.ini", GetParam().text);
    HeadlessPlatform p;
    EXPECT_EQ(readServerSetting(p, dir / "VORTALIX.ini"), GetParam().server);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, ServerSetting,
    ::testing::Values(
        SettingCase{"Set", "[Zoom]\nEnable=0\n[Online]\nServer=http://127.0.0.1:8080\n",
                    "http://127.0.0.1:8080"},
        SettingCase{"SpacesAround", "[Online]\nServer =  http://h:1/  \r\n", "http://h:1/"},
        SettingCase{"EmptyByDefault", "[Online]\nServer=\n", ""},
        SettingCase{"NoSection", "[Zoom]\nEnable=1\n", ""},
        SettingCase{"OtherSection", "[Display]\nServer=http://h/\n", ""},
        SettingCase{"Garbage", "\x01\x02[[[\n===\n", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ServerSetting, AMissingFileSendsNothing) {
    TempDir dir;
    HeadlessPlatform p;
    EXPECT_EQ(readServerSetting(p, dir / "VORTALIX.ini"), "");
}

TEST(Outbox, HandsOutTheOldestGamesFirstAndOnlyReplays) {
    TempDir dir;
    HeadlessPlatform p;
    Outbox box(p, dir.path() + "/replays/");
    std::string error;
    ASSERT_TRUE(box.keep("20261209-100000-5.vtr", {1}, error)) << error;
    ASSERT_TRUE(box.keep("20261208-100000-9.vtr", {2}, error)) << error;
    ASSERT_TRUE(box.keep("20261210-100000-1.vtr", {3}, error)) << error;
    fixtures::writeText(box.dir() + "notes.txt", "x");
    fixtures::writeText(box.dir() + ".20261201-000000-1.vtr.tmp", "x");
    EXPECT_EQ(box.oldest(2),
              (std::vector<std::string>{"20261208-100000-9.vtr", "20261209-100000-5.vtr"}));
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(box.read("20261210-100000-1.vtr", bytes));
    EXPECT_EQ(bytes, std::vector<uint8_t>{3});
    box.drop("20261208-100000-9.vtr");
    EXPECT_EQ(box.oldest(5),
              (std::vector<std::string>{"20261209-100000-5.vtr", "20261210-100000-1.vtr"}));
}

TEST(Outbox, RefusesNamesThatLeaveIt) {
    TempDir dir;
    HeadlessPlatform p;
    Outbox box(p, dir.path() + "/replays/");
    std::string error;
    EXPECT_FALSE(box.keep("../evil.vtr", {1}, error));
    EXPECT_FALSE(box.keep("settings.ini", {1}, error));
    EXPECT_FALSE(error.empty());
}

TEST(Outbox, StopsTakingGamesWhenFull) {
    TempDir dir;
    HeadlessPlatform p;
    Outbox box(p, dir.path() + "/replays/");
    std::string error;
    for (size_t i = 0; i < Outbox::kMaxGames; ++i)
        ASSERT_TRUE(box.keep("g" + std::to_string(100000 + i) + ".vtr", {1}, error)) << error;
    EXPECT_FALSE(box.keep("z.vtr", {1}, error));
    EXPECT_NE(error.find("already holds"), std::string::npos) << error;
    // A game already there may still be written again.
    EXPECT_TRUE(box.keep("g100000.vtr", {2}, error)) << error;
}

TEST(SendLog, KeepsItsNewestLinesWithinItsBound) {
    TempDir dir;
    HeadlessPlatform p;
    const std::string log = dir / "online.log";
    for (int32_t i = 0; i < 400; ++i)
        appendSendLog(p, log, "line " + std::to_string(i) + std::string(300, '.'));
    const std::string text = fixtures::readText(log);
    EXPECT_LE(text.size(), kMaxSendLog);
    EXPECT_GT(text.size(), kMaxSendLog / 4);
    EXPECT_NE(text.find("line 399...."), std::string::npos);
    EXPECT_EQ(text.find("line 0."), std::string::npos);
    // It starts at a whole line.
    EXPECT_EQ(text.rfind("line ", 0), 0u);
}

} // namespace
