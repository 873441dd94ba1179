// vortalix-scores: the scoreboard server. It accepts a score only when the replay sent with it
// plays out, on the game itself, to exactly that score. `vortalix-scores --help` lists the
// options; with none it serves ./scores.db on 127.0.0.1:8080.

#include "server/Config.h"
#include "server/GameData.h"
#include "server/ScoreServer.h"
#include "server/Store.h"

#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <thread>

int main(int argc, char** argv) {
    ServerConfig config;
    std::string error;
    if (!parseCommandLine(config, std::vector<std::string>(argv + 1, argv + argc), error)) {
        std::fprintf(stderr, "vortalix-scores: %s\n%s", error.c_str(), serverUsage());
        return 2;
    }
    if (config.help) {
        std::fputs(serverUsage(), stdout);
        return 0;
    }
    if (config.version) {
        std::printf("vortalix-scores %s\n", VORTALIX_VERSION);
        return 0;
    }
    if (config.tlsCert.empty() != config.tlsKey.empty()) {
        std::fprintf(stderr, "vortalix-scores: --tls-cert and --tls-key go together\n");
        return 2;
    }

    // SIGINT and SIGTERM are taken by one thread that stops the server in an orderly way;
    // every other thread has them blocked.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    GameData data;
    const std::string dataDir = config.data.empty() ? defaultDataDir(argv[0]) : config.data;
    if (!loadGameData(dataDir, data, error)) {
        std::fprintf(stderr, "vortalix-scores: %s\n", error.c_str());
        return 1;
    }
    std::unique_ptr<Store> store;
    try {
        store = openStore(config.db);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vortalix-scores: %s\n", e.what());
        return 1;
    }
    ScoreServer server(config, *store, data);
    if (!server.bind(error)) {
        std::fprintf(stderr, "vortalix-scores: %s\n", error.c_str());
        return 1;
    }
    const bool tls = !config.tlsCert.empty();
    std::printf("vortalix-scores: serving %s on %s://%s:%d/ with the game data of %s\n",
                config.db.rfind("postgres", 0) == 0 ? "a PostgreSQL board" : config.db.c_str(),
                tls ? "https" : "http", config.listen.c_str(), server.port(), dataDir.c_str());
    std::fflush(stdout);
    std::atomic<bool> finished{false};
    std::thread waiter([&] {
        int signal = 0;
        sigwait(&stopSignals, &signal);
        // A signal that comes before the server listens still stops it once it does.
        while (!server.running() && !finished)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        server.stop();
    });
    server.run();
    finished = true;
    // The server may also have stopped on its own; wake the waiter so that it ends.
    pthread_kill(waiter.native_handle(), SIGTERM);
    waiter.join();
    return 0;
}
