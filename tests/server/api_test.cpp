// The API as a client sees it, through a real server on 127.0.0.1 and a SQLite board (and a
// PostgreSQL one when the run has it): submissions of every kind, the board, one entry, its
// file, the page, health and metrics, and the limits.

#include "server/Sha256.h"
#include "tests/server/server_fixture.h"

#include <nlohmann/json.hpp>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

using namespace serverfix;
using nlohmann::json;

namespace {

class ApiTest : public ::testing::TestWithParam<Backend> {
  protected:
    static void SetUpTestSuite() { gameData(data); }
    void SetUp() override {
        if (GetParam() == Backend::Postgres && postgresUrl().empty())
            GTEST_SKIP() << "VORTALIX_TEST_PG names no PostgreSQL database";
        place = std::make_unique<StorePlace>(GetParam());
        store = openStore(place->where);
        config.workers = 2;
        config.ratePerMinute = 0;
        start();
    }
    void start() {
        server.reset();
        server = std::make_unique<RunningServer>(config, *store, *data);
    }
    httplib::Result post(const std::vector<uint8_t>& body) {
        httplib::Client c = server->client();
        return c.Post("/api/v1/replays", text(body), "application/octet-stream");
    }

    static std::unique_ptr<GameData> data;
    std::unique_ptr<StorePlace> place;
    std::unique_ptr<Store> store;
    ServerConfig config;
    std::unique_ptr<RunningServer> server;
};
std::unique_ptr<GameData> ApiTest::data;

TEST_P(ApiTest, AGoldenReplayIsAcceptedOnceAndThenKnown) {
    const std::vector<uint8_t> bytes = golden("levelups_name");
    Replay header;
    std::string error;
    ASSERT_TRUE(decodeReplay(bytes.data(), bytes.size(), header, error, true));

    auto r = post(bytes);
    ASSERT_TRUE(r);
    ASSERT_EQ(r->status, 201) << r->body;
    const json e = json::parse(r->body);
    EXPECT_EQ(e["name"], std::string(header.name.view()));
    EXPECT_EQ(e["score"], std::string(header.score.view()));
    EXPECT_TRUE(e["score"].is_string());
    EXPECT_EQ(e["level"], header.level);
    EXPECT_EQ(e["frames"], header.frames);
    EXPECT_EQ(e["rank"], 1);
    EXPECT_EQ(e["sha256"], sha256Hex(bytes.data(), bytes.size()));
    EXPECT_EQ(e["date"].get<std::string>().size(), 20u);
    const int64_t id = e["id"];

    auto again = post(bytes);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->status, 200);
    EXPECT_EQ(json::parse(again->body)["id"], id);

    httplib::Client c = server->client();
    auto one = c.Get(("/api/v1/scores/" + std::to_string(id)).c_str());
    ASSERT_TRUE(one);
    EXPECT_EQ(one->status, 200);
    EXPECT_EQ(json::parse(one->body), e);
    auto file = c.Get(("/api/v1/replays/" + std::to_string(id) + ".vtr").c_str());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->status, 200);
    EXPECT_EQ(file->body, text(bytes));
    EXPECT_EQ(file->get_header_value("Content-Type"), "application/octet-stream");
    auto board = c.Get("/api/v1/scores?limit=5");
    ASSERT_TRUE(board);
    const json b = json::parse(board->body);
    EXPECT_EQ(b["total"], 1);
    ASSERT_EQ(b["entries"].size(), 1u);
    EXPECT_EQ(b["entries"][0], e);
    auto page = c.Get("/");
    ASSERT_TRUE(page);
    EXPECT_NE(page->body.find("/api/v1/replays/" + std::to_string(id) + ".vtr"), std::string::npos);
    EXPECT_NE(page->body.find("/play/?replay=/api/v1/replays/" + std::to_string(id) + ".vtr"),
              std::string::npos);
    auto metrics = c.Get("/metrics");
    ASSERT_TRUE(metrics);
    EXPECT_NE(metrics->body.find("vortalix_submissions_total{outcome=\"created\"} 1"),
              std::string::npos);
    EXPECT_NE(metrics->body.find("vortalix_submissions_total{outcome=\"known\"} 1"),
              std::string::npos);
    EXPECT_NE(metrics->body.find("vortalix_verify_seconds_count 1"), std::string::npos);
    EXPECT_NE(metrics->body.find("vortalix_board_reads_total 2"), std::string::npos);
    EXPECT_NE(metrics->body.find("vortalix_queue_depth 0"), std::string::npos);
}

TEST_P(ApiTest, FailedSubmissionsSay422WithTheirReason) {
    struct Case {
        std::vector<uint8_t> body;
        std::string reason;
    };
    const std::vector<uint8_t> good = golden("levelups_name");
    std::vector<uint8_t> newer = good;
    newer[8] = 9;
    const std::vector<Case> cases = {
        {forged(good, [](Replay& r) { r.score = "99999999999999999999"; }), "does not verify"},
        {forged(good, [](Replay& r) { r.level = uint8_t(r.level + 1); }), "does not verify"},
        {forged(good, [](Replay& r) { r.name = "ZZZ"; }), "does not verify"},
        {golden("speed_toggles_abandoned"), "abandoned game"},
        {newer, "newer format"},
        {std::vector<uint8_t>(good.begin(), good.begin() + good.size() / 2), "unreadable"},
        {std::vector<uint8_t>(1000, 'A'), "unreadable"},
    };
    for (const Case& c : cases) {
        auto r = post(c.body);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 422) << c.reason << ": " << r->body;
        const std::string reason = json::parse(r->body)["error"];
        EXPECT_EQ(reason.rfind(c.reason, 0), 0u) << reason;
        EXPECT_EQ(reason.find('\n'), std::string::npos);
    }
    EXPECT_EQ(store->total(), 0);
}

TEST_P(ApiTest, TooLongGamesAreRefusedUnplayed) {
    config.maxFrames = 100;
    start();
    auto r = post(golden("levelups_name"));
    ASSERT_TRUE(r);
    EXPECT_EQ(r->status, 422);
    EXPECT_EQ(json::parse(r->body)["error"].get<std::string>().rfind("too long", 0), 0u);
}

TEST_P(ApiTest, BodiesOverTheLimitOrEmptyAreRefused) {
    config.maxBody = 1024;
    start();
    auto big = post(std::vector<uint8_t>(5000, 1));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->status, 413);
    auto empty = post({});
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->status, 400);
}

TEST_P(ApiTest, BadQueriesAndUnknownIdsAre4xx) {
    httplib::Client c = server->client();
    for (const char* path : {"/api/v1/scores?limit=0", "/api/v1/scores?limit=101",
                             "/api/v1/scores?limit=abc", "/api/v1/scores?offset=-1"}) {
        auto r = c.Get(path);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 400) << path;
    }
    for (const char* path :
         {"/api/v1/scores/1", "/api/v1/scores/x", "/api/v1/scores/01", "/api/v1/replays/1.vtr",
          "/api/v1/replays/1", "/nothing", "/play/index.html"}) {
        auto r = c.Get(path);
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 404) << path;
    }
    auto health = c.Get("/healthz");
    ASSERT_TRUE(health);
    EXPECT_EQ(health->status, 200);
    EXPECT_EQ(health->body, "ok\n");
}

TEST_P(ApiTest, TheRateLimitAnswers429WithRetryAfter) {
    config.ratePerMinute = 1;
    config.burst = 2;
    start();
    std::vector<int> statuses;
    for (int i = 0; i < 4; ++i) {
        auto r = post(std::vector<uint8_t>(10, 'x'));
        ASSERT_TRUE(r);
        statuses.push_back(r->status);
        if (r->status == 429) {
            EXPECT_FALSE(r->get_header_value("Retry-After").empty());
        }
    }
    EXPECT_EQ(statuses, (std::vector<int>{422, 422, 429, 429}));
}

TEST_P(ApiTest, AFullQueueAnswers503WithRetryAfter) {
    config.workers = 1;
    config.queue = 1;
    start();
    // Many at once on one worker with one place in the queue: some must be turned away.
    std::vector<uint8_t> slow = golden("long_zigzag");
    std::vector<std::thread> threads;
    std::atomic<int> busy{0}, done{0};
    for (int i = 0; i < 6; ++i)
        threads.emplace_back([&, i] {
            std::vector<uint8_t> body = forged(slow, [i](Replay& r) { r.started += i; });
            auto r = post(body);
            if (!r) return;
            if (r->status == 503) {
                ++busy;
                EXPECT_EQ(r->get_header_value("Retry-After"), "5");
            } else {
                ++done;
            }
        });
    for (std::thread& t : threads) t.join();
    EXPECT_GT(busy.load(), 0);
    EXPECT_GT(done.load(), 0);
}

TEST_P(ApiTest, ASlowDripBodyIsCutOffWith408) {
    config.timeoutSeconds = 1;
    start();
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(uint16_t(server->port));
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    ASSERT_EQ(::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a), 0);
    const std::string head = "POST /api/v1/replays HTTP/1.1\r\nHost: x\r\nContent-Length: "
                             "1000\r\n\r\n";
    ASSERT_EQ(::send(s, head.data(), head.size(), MSG_NOSIGNAL), ssize_t(head.size()));
    const auto began = std::chrono::steady_clock::now();
    std::string reply;
    for (int i = 0; i < 40 && reply.empty(); ++i) {
        ::send(s, "V", 1, MSG_NOSIGNAL);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        char buf[512];
        const ssize_t n = ::recv(s, buf, sizeof buf, MSG_DONTWAIT);
        if (n > 0) reply.assign(buf, size_t(n));
    }
    ::close(s);
    EXPECT_EQ(reply.rfind("HTTP/1.1 408", 0), 0u) << reply;
    EXPECT_LT(std::chrono::steady_clock::now() - began, std::chrono::seconds(5));
}

INSTANTIATE_TEST_SUITE_P(Backends, ApiTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const ::testing::TestParamInfo<Backend>& info) {
                             return backendName(info.param);
                         });

} // namespace
