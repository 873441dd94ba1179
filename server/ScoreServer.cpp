#include "server/ScoreServer.h"

#include "server/Render.h"
#include "server/Request.h"
#include "server/Sha256.h"

#include <httplib.h>

#include <chrono>
#include <thread>

namespace {

constexpr const char* kJson = "application/json";

void answer(httplib::Response& res, int status, const std::string& body, const char* type = kJson) {
    res.status = status;
    res.set_content(body, type);
}

void failure(httplib::Response& res, int status, const std::string& message) {
    answer(res, status, errorJson(message));
}

uint32_t defaultWorkers() {
    const unsigned n = std::thread::hardware_concurrency();
    return n == 0 ? 1 : n;
}

void recordTiming(void* context, double seconds) {
    static_cast<Metrics*>(context)->verified(seconds);
}

} // namespace

ScoreServer::ScoreServer(const ServerConfig& config, Store& store, const GameData& data)
    : config_(config), store_(store), limiter_(config.ratePerMinute, config.burst),
      pool_(data, config.workers == 0 ? defaultWorkers() : config.workers, config.queue,
            config.maxFrames) {
    pool_.onTiming(recordTiming, &metrics_);
    if (!config_.tlsCert.empty() || !config_.tlsKey.empty())
        http_ =
            std::make_unique<httplib::SSLServer>(config_.tlsCert.c_str(), config_.tlsKey.c_str());
    else
        http_ = std::make_unique<httplib::Server>();
    const uint32_t threads = config_.httpThreads;
    http_->new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    const time_t t = time_t(config_.timeoutSeconds);
    http_->set_read_timeout(t, 0);
    http_->set_write_timeout(t, 0);
    http_->set_keep_alive_timeout(t);
    // A kept-alive connection holds its thread; after this many requests it makes room.
    http_->set_keep_alive_max_count(100);
    // Headers and body leave in separate writes; without this the second waits for the
    // client's delayed acknowledgement, 40 ms on Linux.
    http_->set_tcp_nodelay(true);
    http_->set_payload_max_length(size_t(config_.maxBody));
    routes();
}

ScoreServer::~ScoreServer() {
    stop();
}

bool ScoreServer::bind(std::string& error) {
    if (!http_->is_valid()) {
        error = "cannot use the TLS certificate " + config_.tlsCert + " and key " + config_.tlsKey;
        return false;
    }
    if (config_.port == 0) {
        port_ = http_->bind_to_any_port(config_.listen);
    } else {
        port_ = http_->bind_to_port(config_.listen, config_.port) ? config_.port : -1;
    }
    if (port_ < 0) {
        error = "cannot listen on " + config_.listen + ":" + std::to_string(config_.port);
        return false;
    }
    return true;
}

void ScoreServer::run() {
    http_->listen_after_bind();
}

bool ScoreServer::running() const {
    return http_ && http_->is_running();
}

void ScoreServer::stop() {
    if (http_) http_->stop();
}

std::string ScoreServer::clientAddress(const httplib::Request& req) const {
    if (config_.trustForwarded && req.has_header("X-Forwarded-For")) {
        const std::string a = forwardedAddress(req.get_header_value("X-Forwarded-For"));
        if (!a.empty()) return a;
    }
    return req.remote_addr;
}

void ScoreServer::routes() {
    httplib::Server& s = *http_;
    s.Post("/api/v1/replays",
           [this](const httplib::Request& req, httplib::Response& res,
                  const httplib::ContentReader& reader) { submit(req, res, reader); });
    s.Post("/api/v1/replays", [](const httplib::Request&, httplib::Response& res) {
        failure(res, 411, "the request has no Content-Length");
    });
    s.Get("/api/v1/scores",
          [this](const httplib::Request& req, httplib::Response& res) { scores(req, res); });
    s.Get(R"(/api/v1/scores/([^/]*))",
          [this](const httplib::Request& req, httplib::Response& res) { entry(req, res); });
    s.Get(R"(/api/v1/replays/([^/]*))",
          [this](const httplib::Request& req, httplib::Response& res) { replayFile(req, res); });
    s.Get("/healthz", [this](const httplib::Request&, httplib::Response& res) {
        if (store_.healthy())
            answer(res, 200, "ok\n", "text/plain");
        else
            answer(res, 503, "the store does not answer\n", "text/plain");
    });
    s.Get("/metrics", [this](const httplib::Request&, httplib::Response& res) {
        answer(res, 200, metrics_.text(pool_.depth()), "text/plain; version=0.0.4");
    });
    s.Get("/", [this](const httplib::Request&, httplib::Response& res) { page(res); });
    if (!config_.site.empty()) {
        s.set_mount_point("/play/", config_.site);
        s.Get("/play",
              [](const httplib::Request&, httplib::Response& res) { res.set_redirect("/play/"); });
    }
    s.set_exception_handler(
        [](const httplib::Request&, httplib::Response& res, std::exception_ptr ep) {
            std::string why = "internal error";
            try {
                std::rethrow_exception(ep);
            } catch (const StoreError& e) {
                failure(res, 503, "the store does not answer");
                return;
            } catch (const std::exception& e) {
                why = e.what();
            } catch (...) {
            }
            failure(res, 500, why);
        });
    s.set_error_handler([](const httplib::Request&, httplib::Response& res) {
        if (!res.body.empty()) return;
        switch (res.status) {
        case 404:
            failure(res, 404, "not found");
            break;
        case 413:
            failure(res, 413, "the body is over the limit");
            break;
        case 400:
            failure(res, 400, "malformed request");
            break;
        default:
            break;
        }
    });
}

void ScoreServer::submit(const httplib::Request& req, httplib::Response& res,
                         const httplib::ContentReader& reader) {
    uint32_t retry = 0;
    if (!limiter_.allow(clientAddress(req), retry)) {
        metrics_.count(Outcome::RateLimited);
        res.set_header("Retry-After", std::to_string(retry));
        failure(res, 429, "too many submissions from this address");
        return;
    }
    const bool chunked = req.get_header_value("Transfer-Encoding") == "chunked";
    if (!req.has_header("Content-Length") && !chunked) {
        metrics_.count(Outcome::BadRequest);
        failure(res, 411, "the request has no Content-Length");
        return;
    }
    if (req.has_header("Content-Length")) {
        const std::string length = req.get_header_value("Content-Length");
        int64_t n = 0;
        if (!queryNumber(length, 0, 0, int64_t(1) << 50, n)) {
            metrics_.count(Outcome::BadRequest);
            failure(res, 400, "malformed Content-Length");
            return;
        }
        if (uint64_t(n) > config_.maxBody) {
            metrics_.count(Outcome::TooLarge);
            res.set_header("Connection", "close");
            failure(res, 413,
                    "the body is over the limit of " + std::to_string(config_.maxBody) + " bytes");
            return;
        }
    }
    // A whole body gets twice the read timeout: a client that drips it byte by byte does not
    // hold a connection for longer than that.
    const auto deadline = std::chrono::steady_clock::now() +
                          std::chrono::seconds(2 * uint64_t(config_.timeoutSeconds));
    std::vector<uint8_t> body;
    bool over = false, late = false;
    const bool read = reader([&](const char* data, size_t length) {
        if (std::chrono::steady_clock::now() > deadline) {
            late = true;
            return false;
        }
        if (body.size() + length > config_.maxBody) {
            over = true;
            return false;
        }
        body.insert(body.end(), data, data + length);
        return true;
    });
    if (!read || over || late) {
        res.set_header("Connection", "close");
        if (over || res.status == 413) {
            metrics_.count(Outcome::TooLarge);
            failure(res, 413,
                    "the body is over the limit of " + std::to_string(config_.maxBody) + " bytes");
        } else {
            metrics_.count(Outcome::TooSlow);
            failure(res, 408, "the body did not arrive in time");
        }
        return;
    }
    if (body.empty()) {
        metrics_.count(Outcome::BadRequest);
        failure(res, 400, "the body is empty: send the .vtr file");
        return;
    }
    const std::string sha = sha256Hex(body.data(), body.size());
    Entry e;
    if (store_.findBySha(sha, e)) {
        metrics_.count(Outcome::Known);
        answer(res, 200, entryJson(e));
        return;
    }
    SubmissionResult head;
    if (!checkSubmissionHeader(body.data(), body.size(), config_.maxFrames, head)) {
        metrics_.count(head.verdict == Verdict::NewerFormat ? Outcome::NewerFormat
                       : head.verdict == Verdict::TooLong   ? Outcome::TooLong
                       : head.verdict == Verdict::Abandoned ? Outcome::Abandoned
                                                            : Outcome::Unreadable);
        failure(res, 422, head.reason);
        return;
    }
    const std::optional<SubmissionResult> judged = pool_.judge(body);
    if (!judged) {
        metrics_.count(Outcome::Busy);
        res.set_header("Retry-After", "5");
        failure(res, 503, "the verification queue is full");
        return;
    }
    const SubmissionResult& r = *judged;
    switch (r.verdict) {
    case Verdict::Accepted:
        break;
    case Verdict::ServerFault:
        metrics_.count(Outcome::ServerError);
        failure(res, 500, r.reason);
        return;
    default:
        metrics_.count(r.verdict == Verdict::DoesNotVerify ? Outcome::DoesNotVerify
                       : r.verdict == Verdict::NewerFormat ? Outcome::NewerFormat
                       : r.verdict == Verdict::TooLong     ? Outcome::TooLong
                       : r.verdict == Verdict::Abandoned   ? Outcome::Abandoned
                                                           : Outcome::Unreadable);
        failure(res, 422, r.reason);
        return;
    }
    NewEntry n;
    n.sha256 = sha;
    n.name = r.name;
    n.score = r.score;
    n.level = r.level;
    n.frames = r.frames;
    n.date = utcNow();
    n.replay = std::move(body);
    const bool added = store_.add(n, e);
    metrics_.count(added ? Outcome::Created : Outcome::Known);
    answer(res, added ? 201 : 200, entryJson(e));
}

void ScoreServer::scores(const httplib::Request& req, httplib::Response& res) {
    int64_t limit = 0, offset = 0;
    if (!queryNumber(req.get_param_value("limit"), 10, 1, 100, limit) ||
        !queryNumber(req.get_param_value("offset"), 0, 0, int64_t(1) << 40, offset)) {
        failure(res, 400, "limit is 1 to 100 and offset 0 or more");
        return;
    }
    metrics_.boardRead();
    const std::vector<Entry> entries = store_.board(limit, offset);
    answer(res, 200, boardJson(store_.total(), entries));
}

void ScoreServer::entry(const httplib::Request& req, httplib::Response& res) {
    int64_t id = 0;
    Entry e;
    if (!pathId(req.matches[1].str(), id) || !store_.find(id, e)) {
        failure(res, 404, "not found");
        return;
    }
    answer(res, 200, entryJson(e));
}

void ScoreServer::replayFile(const httplib::Request& req, httplib::Response& res) {
    int64_t id = 0;
    std::vector<uint8_t> bytes;
    if (!replayFileId(req.matches[1].str(), id) || !store_.replay(id, bytes)) {
        failure(res, 404, "not found");
        return;
    }
    res.status = 200;
    res.set_header("Content-Disposition",
                   "attachment; filename=\"vortalix-" + std::to_string(id) + ".vtr\"");
    res.set_content(std::string(bytes.begin(), bytes.end()), "application/octet-stream");
}

void ScoreServer::page(httplib::Response& res) {
    metrics_.boardRead();
    answer(res, 200, boardPage(store_.board(100, 0), !config_.site.empty()),
           "text/html; charset=utf-8");
}
