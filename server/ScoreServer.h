#pragma once
// The scoreboard's HTTP side: the routes of the API, the page, the health and metrics
// answers, and the limits every request meets (body size, time, rate) before it costs more.

#include "server/Config.h"
#include "server/GameData.h"
#include "server/Metrics.h"
#include "server/RateLimiter.h"
#include "server/Store.h"
#include "server/VerifyPool.h"

#include <memory>
#include <string>

namespace httplib {
class Server;
struct Request;
struct Response;
class ContentReader;
} // namespace httplib

class ScoreServer {
  public:
    ScoreServer(const ServerConfig& config, Store& store, const GameData& data);
    ~ScoreServer();
    ScoreServer(const ScoreServer&) = delete;
    ScoreServer& operator=(const ScoreServer&) = delete;

    // Binds the listening socket; false with a reason. The port is known after it.
    bool bind(std::string& error);
    int port() const { return port_; }
    // Serves until stop() is called (from another thread or a signal handler's thread).
    void run();
    void stop();
    // True once run() accepts connections: a stop() before that would be lost.
    bool running() const;

    Metrics& metrics() { return metrics_; }

  private:
    void routes();
    void submit(const httplib::Request& req, httplib::Response& res,
                const httplib::ContentReader& reader);
    void scores(const httplib::Request& req, httplib::Response& res);
    void entry(const httplib::Request& req, httplib::Response& res);
    void replayFile(const httplib::Request& req, httplib::Response& res);
    void page(httplib::Response& res);
    std::string clientAddress(const httplib::Request& req) const;

    ServerConfig config_;
    Store& store_;
    Metrics metrics_;
    RateLimiter limiter_;
    VerifyPool pool_;
    std::unique_ptr<httplib::Server> http_;
    int port_ = -1;
};
