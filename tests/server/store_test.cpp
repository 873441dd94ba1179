// The two stores behave the same: the schema comes up once, a replay is one entry however
// often it arrives, scores order as exact decimals with ties to the earlier entry. The
// PostgreSQL cases run when VORTALIX_TEST_PG names a database (tools/server_tests.sh starts
// one).

#include "tests/server/server_fixture.h"

#include <atomic>
#include <sqlite3.h>

using namespace serverfix;

namespace {

NewEntry entryFor(const std::string& sha, const std::string& score, const std::string& name) {
    NewEntry n;
    n.sha256 = sha;
    n.name = name;
    n.score = score;
    n.level = 3;
    n.frames = 4521;
    n.date = "2026-12-09T05:40:00Z";
    n.replay = {0, 1, 2, 0, 255, 'V'};
    return n;
}

std::string sha(int i) {
    std::string s = std::to_string(i);
    return std::string(64 - s.size(), 'a') + s;
}

class StoreTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (GetParam() == Backend::Postgres && postgresUrl().empty())
            GTEST_SKIP() << "VORTALIX_TEST_PG names no PostgreSQL database";
        place = std::make_unique<StorePlace>(GetParam());
        store = openStore(place->where);
    }
    std::unique_ptr<StorePlace> place;
    std::unique_ptr<Store> store;
};

TEST_P(StoreTest, OpensWithTheCurrentSchemaAndAgainWithoutChange) {
    EXPECT_EQ(store->schemaVersion(), Store::kSchemaVersion);
    Entry e;
    ASSERT_TRUE(store->add(entryFor(sha(1), "10", "A"), e));
    store.reset();
    store = openStore(place->where);
    EXPECT_EQ(store->schemaVersion(), Store::kSchemaVersion);
    EXPECT_EQ(store->total(), 1);
    EXPECT_TRUE(store->healthy());
}

TEST_P(StoreTest, TheSameReplayIsOneEntry) {
    Entry first, second;
    ASSERT_TRUE(store->add(entryFor(sha(1), "500", "ABC"), first));
    EXPECT_FALSE(store->add(entryFor(sha(1), "500", "ABC"), second));
    EXPECT_EQ(first.id, second.id);
    EXPECT_EQ(store->total(), 1);
    EXPECT_EQ(second.name, "ABC");
    EXPECT_EQ(second.score, "500");
    EXPECT_EQ(second.sha256, sha(1));
    EXPECT_EQ(second.rank, 1);
}

TEST_P(StoreTest, RacingWritersOfOneReplayLeaveOneEntry) {
    std::atomic<int> added{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t)
        threads.emplace_back([&] {
            Entry e;
            if (store->add(entryFor(sha(7), "77", "RACE"), e)) ++added;
        });
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(added.load(), 1);
    EXPECT_EQ(store->total(), 1);
}

TEST_P(StoreTest, ScoresOrderAsExactDecimalsTiesToTheEarlier) {
    const std::string huge(255, '9');
    const std::string hugeLess = std::string(254, '9') + "8";
    Entry e;
    store->add(entryFor(sha(1), "9", "NINE"), e);
    store->add(entryFor(sha(2), "10", "TEN"), e);
    store->add(entryFor(sha(3), hugeLess, "LESS"), e);
    store->add(entryFor(sha(4), huge, "MOST"), e);
    store->add(entryFor(sha(5), "10", "TENLATE"), e);
    store->add(entryFor(sha(6), "0", "ZERO"), e);
    const std::vector<Entry> board = store->board(10, 0);
    ASSERT_EQ(board.size(), 6u);
    const std::vector<std::string> names = {"MOST", "LESS", "TEN", "TENLATE", "NINE", "ZERO"};
    for (size_t i = 0; i < names.size(); ++i) {
        EXPECT_EQ(board[i].name, names[i]) << i;
        EXPECT_EQ(board[i].rank, int64_t(i) + 1);
        Entry one;
        ASSERT_TRUE(store->find(board[i].id, one));
        EXPECT_EQ(one.rank, int64_t(i) + 1) << names[i];
    }
    EXPECT_EQ(board[0].score, huge);
    const std::vector<Entry> page = store->board(2, 2);
    ASSERT_EQ(page.size(), 2u);
    EXPECT_EQ(page[0].name, "TEN");
    EXPECT_EQ(page[0].rank, 3);
}

TEST_P(StoreTest, KeepsTheReplayBytesExactly) {
    Entry e;
    NewEntry n = entryFor(sha(1), "1", "A");
    for (int i = 0; i < 300; ++i) n.replay.push_back(uint8_t(i));
    store->add(n, e);
    std::vector<uint8_t> back;
    ASSERT_TRUE(store->replay(e.id, back));
    EXPECT_EQ(back, n.replay);
    EXPECT_FALSE(store->replay(e.id + 1, back));
    Entry none;
    EXPECT_FALSE(store->find(e.id + 1, none));
    EXPECT_FALSE(store->findBySha(sha(2), none));
}

TEST_P(StoreTest, HostileTextIsStoredAsText) {
    Entry e;
    const std::string name = "'); DROP TABLE entries; --";
    ASSERT_TRUE(store->add(entryFor(sha(1), "5", name), e));
    EXPECT_EQ(e.name, name);
    EXPECT_EQ(store->total(), 1);
}

INSTANTIATE_TEST_SUITE_P(Backends, StoreTest, ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const ::testing::TestParamInfo<Backend>& info) {
                             return backendName(info.param);
                         });

TEST(SqliteStore, RefusesAFileThatIsNotADatabase) {
    TempDir dir;
    const fs::path file = dir.path / "junk.db";
    std::ofstream(file) << "this is not a database, not at all, and it is long enough to tell";
    EXPECT_THROW(openStore(file.string()), StoreError);
}

TEST(SqliteStore, RefusesADatabaseOfANewerServer) {
    TempDir dir;
    const std::string file = (dir.path / "s.db").string();
    openStore(file).reset();
    {
        sqlite3* db = nullptr;
        ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
        ASSERT_EQ(
            sqlite3_exec(db, "INSERT INTO schema_version VALUES (99)", nullptr, nullptr, nullptr),
            SQLITE_OK);
        sqlite3_close(db);
    }
    EXPECT_THROW(openStore(file), StoreError);
}

} // namespace
