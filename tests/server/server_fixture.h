#pragma once
// What the scoreboard tests share: the game data the build made, the golden replays, forged
// copies of them, a store of either kind, and a real server on 127.0.0.1 with a free port.

#include "replay/ReplayFile.h"
#include "server/GameData.h"
#include "server/ScoreServer.h"
#include "server/Store.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <pqxx/pqxx>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace serverfix {

namespace fs = std::filesystem;

inline std::vector<uint8_t> readBytes(const fs::path& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>());
}

inline fs::path goldenDir() {
    return fs::path(VORTALIX_SOURCE_DIR) / "tests" / "replays";
}

inline std::vector<uint8_t> golden(const std::string& name) {
    return readBytes(goldenDir() / (name + ".vtr"));
}

// A replay changed by `change` and written again with a right checksum: a forgery that the
// file reader alone cannot tell.
template <typename F> std::vector<uint8_t> forged(const std::vector<uint8_t>& bytes, F change) {
    Replay r;
    std::string error;
    EXPECT_TRUE(decodeReplay(bytes.data(), bytes.size(), r, error)) << error;
    change(r);
    return encodeReplay(r);
}

inline std::string text(const std::vector<uint8_t>& b) {
    return std::string(b.begin(), b.end());
}

// A fresh temporary folder, removed with the object.
struct TempDir {
    fs::path path;
    TempDir() {
        std::string pattern = (fs::temp_directory_path() / "vortalix-scores-XXXXXX").string();
        path = ::mkdtemp(pattern.data());
    }
    ~TempDir() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

// The PostgreSQL connection string of the tests, when the run has a database for them.
inline std::string postgresUrl() {
    const char* url = std::getenv("VORTALIX_TEST_PG");
    return url == nullptr ? std::string() : std::string(url);
}

// Empties the PostgreSQL test database, schema and all.
inline void dropPostgres(const std::string& url) {
    pqxx::connection c(url);
    pqxx::work w(c);
    w.exec("DROP TABLE IF EXISTS entries, schema_version");
    w.commit();
}

enum class Backend { Sqlite, Postgres };

inline std::string backendName(Backend b) {
    return b == Backend::Sqlite ? "SQLite" : "PostgreSQL";
}

// Where a test's store lives; PostgreSQL only when the run provides one.
struct StorePlace {
    TempDir dir;
    std::string where;
    explicit StorePlace(Backend b) {
        if (b == Backend::Sqlite) {
            where = (dir.path / "scores.db").string();
        } else {
            where = postgresUrl();
            if (!where.empty()) dropPostgres(where);
        }
    }
};

inline const GameData& gameData(std::unique_ptr<GameData>& holder) {
    if (!holder) {
        holder = std::make_unique<GameData>();
        std::string error;
        EXPECT_TRUE(loadGameData(VORTALIX_BINARY_DIR, *holder, error)) << error;
    }
    return *holder;
}

// A server on a free port of 127.0.0.1, serving in a thread of its own until destroyed.
struct RunningServer {
    std::unique_ptr<ScoreServer> server;
    std::thread thread;
    int port = -1;

    RunningServer(const ServerConfig& config, Store& store, const GameData& data) {
        ServerConfig c = config;
        c.port = 0;
        c.listen = "127.0.0.1";
        server = std::make_unique<ScoreServer>(c, store, data);
        std::string error;
        EXPECT_TRUE(server->bind(error)) << error;
        port = server->port();
        thread = std::thread([this] { server->run(); });
        while (!server->running()) std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~RunningServer() {
        server->stop();
        thread.join();
    }
    httplib::Client client() const {
        httplib::Client c("127.0.0.1", port);
        c.set_read_timeout(60, 0);
        return c;
    }
};

} // namespace serverfix
