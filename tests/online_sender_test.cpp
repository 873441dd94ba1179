// The game's sending side against a small scoreboard of the tests' own on 127.0.0.1: a
// finished game is proved, sent and taken out of the outbox; a server that is down, slow or
// refusing leaves the outbox as it should; `--submit`'s routine prints and exits as documented.
#include "file_fixtures.h"
#include "online/ScoreSender.h"
#include "online/Submit.h"
#include "online/WorkerPlatform.h"
#include "replay/ReplayFile.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using fixtures::TempDir;

const std::string kGolden = VORTALIX_SOURCE_DIR "/tests/replays/";
const std::string kBuild = VORTALIX_BINARY_DIR "/";

// A scoreboard that answers as it is told and keeps every body it was sent.
class FakeBoard {
  public:
    FakeBoard() {
        server_.Post("/api/v1/replays",
                     [this](const httplib::Request& req, httplib::Response& res) {
                         std::unique_lock<std::mutex> hold(lock_);
                         bodies.push_back(req.body);
                         contentType = req.get_header_value("Content-Type");
                         hold.unlock();
                         if (hang) {
                             std::unique_lock<std::mutex> wait(hangLock_);
                             released_.wait(wait, [this] { return released; });
                         }
                         res.status = status;
                         res.set_content(answer, "application/json");
                     });
        port = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        while (!server_.is_running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FakeBoard() {
        release();
        server_.stop();
        thread_.join();
    }
    void release() {
        {
            std::lock_guard<std::mutex> hold(hangLock_);
            released = true;
        }
        released_.notify_all();
    }
    std::string url() const { return "http://127.0.0.1:" + std::to_string(port); }
    size_t received() {
        std::lock_guard<std::mutex> hold(lock_);
        return bodies.size();
    }

    int port = 0;
    int status = 201;
    std::string answer = R"({"id": 1, "name": "AB", "score": "589881", "rank": 3})";
    bool hang = false;
    bool released = false;
    std::vector<std::string> bodies;
    std::string contentType;

  private:
    httplib::Server server_;
    std::thread thread_;
    std::mutex lock_, hangLock_;
    std::condition_variable released_;
};

// A port nothing listens on: taken from the system, then given back at once.
int closedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in at{};
    at.sin_family = AF_INET;
    at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof at;
    int port = 0;
    if (fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr*>(&at), sizeof at) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&at), &size) == 0)
        port = ntohs(at.sin_port);
    if (fd >= 0) ::close(fd);
    return port;
}

class Sending : public ::testing::Test {
  protected:
    SenderSetup setup(const std::string& server) {
        SenderSetup s;
        s.server = server;
        s.replaysDir = dir.path() + "/replays/";
        s.exeDir = kBuild;
        s.installedDataDir = kBuild;
        s.limits.connectSeconds = 2;
        s.limits.totalSeconds = 10;
        return s;
    }
    // A golden game as the recorder leaves it in the replays folder.
    std::string finished(const std::string& golden, const std::string& name) {
        const std::string path = dir.path() + "/replays/" + name;
        fixtures::writeBytes(path, fixtures::readBytes(kGolden + golden));
        return path;
    }
    std::vector<std::string> outbox() {
        std::vector<std::string> names;
        std::error_code ec;
        for (const auto& e : std::filesystem::directory_iterator(dir / "replays/outbox", ec))
            names.push_back(e.path().filename().string());
        return names;
    }
    std::string log() { return fixtures::readText(dir / "replays/online.log"); }

    TempDir dir;
};

TEST_F(Sending, AFinishedGameReachesTheBoardAndLeavesTheOutbox) {
    FakeBoard board;
    const std::string path = finished("levelups_name.vtr", "20261209-101010-589881.vtr");
    {
        ScoreSender sender(setup(board.url()));
        ASSERT_TRUE(sender.active());
        sender.replayWritten(path, false);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    ASSERT_EQ(board.received(), 1u);
    const std::vector<uint8_t> sent(board.bodies[0].begin(), board.bodies[0].end());
    EXPECT_EQ(sent, fixtures::readBytes(path));
    EXPECT_EQ(board.contentType, "application/octet-stream");
    EXPECT_TRUE(outbox().empty());
    EXPECT_NE(log().find("20261209-101010-589881.vtr: world rank 3 with 589881"), std::string::npos)
        << log();
}

TEST_F(Sending, NothingIsSentWithoutAnAddress) {
    FakeBoard board;
    ScoreSender sender(setup(""));
    EXPECT_FALSE(sender.active());
    sender.replayWritten(finished("levelups_name.vtr", "a.vtr"), false);
    EXPECT_TRUE(sender.waitIdle(1000));
    EXPECT_EQ(board.received(), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir / "replays/outbox"));
}

TEST_F(Sending, AnAbandonedGameIsNotSent) {
    FakeBoard board;
    {
        ScoreSender sender(setup(board.url()));
        sender.replayWritten(finished("speed_toggles_abandoned.vtr", "a.vtr"), true);
        sender.replayWritten(finished("speed_toggles_abandoned.vtr", "b.vtr"), false);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    EXPECT_EQ(board.received(), 0u);
    EXPECT_TRUE(outbox().empty());
}

TEST_F(Sending, AGameThatDoesNotProveItselfHereIsNotSent) {
    FakeBoard board;
    Replay r;
    std::string error;
    const std::vector<uint8_t> bytes = fixtures::readBytes(kGolden + "levelups_name.vtr");
    ASSERT_TRUE(decodeReplay(bytes.data(), bytes.size(), r, error, false)) << error;
    r.score = DecStr("999999999");
    const std::string path = dir.path() + "/replays/20261209-101010-999999999.vtr";
    fixtures::writeBytes(path, encodeReplay(r));
    {
        ScoreSender sender(setup(board.url()));
        sender.replayWritten(path, false);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    EXPECT_EQ(board.received(), 0u);
    EXPECT_TRUE(outbox().empty());
    EXPECT_NE(log().find("does not play out the same"), std::string::npos) << log();
}

TEST_F(Sending, WithTheServerDownTheGameWaitsAndGoesAtTheNextStart) {
    const std::string path = finished("levelups_name.vtr", "20261209-101010-589881.vtr");
    {
        ScoreSender sender(setup("http://127.0.0.1:" + std::to_string(closedPort())));
        sender.replayWritten(path, false);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    EXPECT_EQ(outbox(), std::vector<std::string>{"20261209-101010-589881.vtr"});
    EXPECT_NE(log().find("waits in the outbox"), std::string::npos) << log();

    FakeBoard board;
    {
        ScoreSender sender(setup(board.url()));
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    EXPECT_EQ(board.received(), 1u);
    EXPECT_TRUE(outbox().empty());
}

TEST_F(Sending, AStartTriesOnlyAFewWaitingGames) {
    const std::vector<uint8_t> game = fixtures::readBytes(kGolden + "long_zigzag.vtr");
    for (int32_t i = 0; i < 4; ++i)
        fixtures::writeBytes(dir / ("replays/outbox/2026120" + std::to_string(i) + ".vtr"), game);
    FakeBoard board;
    SenderSetup s = setup(board.url());
    s.retryAtStart = 3;
    {
        ScoreSender sender(s);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    EXPECT_EQ(board.received(), 3u);
    // The newest waits for the next start.
    EXPECT_EQ(outbox(), std::vector<std::string>{"20261203.vtr"});
}

TEST_F(Sending, ARefusedGameIsNotTriedAgain) {
    FakeBoard board;
    board.status = 422;
    board.answer = R"({"error": "does not verify"})";
    {
        ScoreSender sender(setup(board.url()));
        sender.replayWritten(finished("levelups_name.vtr", "g.vtr"), false);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    EXPECT_EQ(board.received(), 1u);
    EXPECT_TRUE(outbox().empty());
    EXPECT_NE(log().find("g.vtr: refused: does not verify (HTTP 422)"), std::string::npos) << log();
}

TEST_F(Sending, ABusyServerKeepsTheGameWaiting) {
    FakeBoard board;
    board.status = 503;
    board.answer = R"({"error": "verification queue full"})";
    {
        ScoreSender sender(setup(board.url()));
        sender.replayWritten(finished("levelups_name.vtr", "g.vtr"), false);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    EXPECT_EQ(outbox(), std::vector<std::string>{"g.vtr"});
}

TEST_F(Sending, TheProgramEndsWhileTheServerNeverAnswers) {
    FakeBoard board;
    board.hang = true;
    SenderSetup s = setup(board.url());
    s.limits.totalSeconds = 600; // only the program's end can give up on it
    {
        ScoreSender sender(s);
        sender.replayWritten(finished("levelups_name.vtr", "g.vtr"), false);
        while (board.received() == 0) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    } // the sender gives up here instead of waiting ten minutes
    board.release();
    EXPECT_EQ(outbox(), std::vector<std::string>{"g.vtr"});
}

TEST_F(Sending, ASlowServerIsGivenUpAfterTheTotalTime) {
    FakeBoard board;
    board.hang = true;
    SenderSetup s = setup(board.url());
    s.limits.totalSeconds = 1;
    {
        ScoreSender sender(s);
        sender.replayWritten(finished("levelups_name.vtr", "g.vtr"), false);
        ASSERT_TRUE(sender.waitIdle(120000));
    }
    board.release();
    EXPECT_EQ(outbox(), std::vector<std::string>{"g.vtr"});
    EXPECT_NE(log().find("waits in the outbox"), std::string::npos) << log();
}

TEST_F(Sending, SubmitPrintsTheAnswerAndSaysHowItWent) {
    FakeBoard board;
    WorkerPlatform files(kBuild, kBuild);
    const std::string path = finished("levelups_name.vtr", "g.vtr");
    testing::internal::CaptureStdout();
    EXPECT_EQ(submitReplay(files, path, board.url()), 0);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("HTTP 201\n{\"id\": 1"),
              std::string::npos);
    board.status = 422;
    board.answer = R"({"error": "unreadable"})";
    testing::internal::CaptureStdout();
    EXPECT_EQ(submitReplay(files, path, board.url()), 1);
    EXPECT_NE(testing::internal::GetCapturedStdout().find("unreadable"), std::string::npos);
    EXPECT_EQ(submitReplay(files, dir / "missing.vtr", board.url()), 2);
    EXPECT_EQ(submitReplay(files, path, "ftp://127.0.0.1/"), 2);
    EXPECT_EQ(submitReplay(files, path, "http://127.0.0.1:" + std::to_string(closedPort())), 2);
    EXPECT_EQ(board.received(), 2u);
}

} // namespace
