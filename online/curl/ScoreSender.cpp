#include "online/ScoreSender.h"

#include "online/Outbox.h"
#include "online/ServerAnswer.h"
#include "online/WorkerPlatform.h"
#include "replay/ReplayFile.h"
#include "replay/ReplayVerify.h"

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>
#include <thread>

namespace {

std::string baseName(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string isoTimeUtc(int64_t unixSeconds) {
    const std::time_t t = std::time_t(unixSeconds);
    std::tm utc{};
    char out[32] = "?";
    if (gmtime_r(&t, &utc) != nullptr) std::strftime(out, sizeof out, "%Y-%m-%dT%H:%M:%SZ", &utc);
    return out;
}

} // namespace

class ScoreSender::Worker {
  public:
    static constexpr size_t kSlots = 16;
    static constexpr size_t kPathBytes = 1024;

    Worker(const SenderSetup& setup, const std::string& endpoint)
        : setup_(setup), endpoint_(endpoint), thread_([this] { run(); }) {}
    ~Worker() {
        {
            std::lock_guard<std::mutex> hold(lock_);
            stop_ = true;
        }
        wake_.notify_all();
        thread_.join();
    }

    void take(const std::string& path) {
        if (path.size() >= kPathBytes) return;
        {
            std::lock_guard<std::mutex> hold(lock_);
            if (count_ == kSlots) return; // the game stays in the replays folder all the same
            std::array<char, kPathBytes>& slot = slots_[(first_ + count_) % kSlots];
            std::memcpy(slot.data(), path.c_str(), path.size() + 1);
            ++count_;
        }
        wake_.notify_one();
    }

    bool waitIdle(uint32_t timeoutMs) {
        std::unique_lock<std::mutex> hold(lock_);
        return idle_.wait_for(hold, std::chrono::milliseconds(timeoutMs),
                              [this] { return !busy_ && count_ == 0; });
    }

  private:
    void run();
    void drainOutbox(Platform& files);
    void sendFresh(Platform& files, const std::string& path);
    // Proves and posts one waiting game; false when the server could not be reached.
    bool sendWaiting(Platform& files, const std::string& name);
    void report(Platform& files, const std::string& name, const std::string& line);

    const SenderSetup setup_;
    const std::string endpoint_;
    std::mutex lock_;
    std::condition_variable wake_;
    std::condition_variable idle_;
    std::array<std::array<char, kPathBytes>, kSlots> slots_{};
    size_t first_ = 0, count_ = 0;
    bool busy_ = true; // until the outbox has been looked at
    std::atomic<bool> stop_{false};
    std::thread thread_; // last: it starts once everything above is made
};

ScoreSender::ScoreSender(const SenderSetup& setup) {
    if (setup.server.empty()) return;
    const std::string endpoint = replaysEndpoint(setup.server);
    if (endpoint.empty()) {
        std::fprintf(stderr,
                     "vortalix: [Online] Server=%s is no http:// or https:// address; games "
                     "are not sent\n",
                     setup.server.c_str());
        return;
    }
    worker_ = std::make_unique<Worker>(setup, endpoint);
}

ScoreSender::~ScoreSender() = default;

void ScoreSender::replayWritten(const std::string& path, bool abandoned) {
    // The scoreboard takes only games that ended with a ranking entry.
    if (worker_ && !abandoned) worker_->take(path);
}

bool ScoreSender::waitIdle(uint32_t timeoutMs) {
    return worker_ ? worker_->waitIdle(timeoutMs) : true;
}

void ScoreSender::Worker::run() {
    WorkerPlatform files(setup_.exeDir, setup_.installedDataDir);
    drainOutbox(files);
    std::string path;
    for (;;) {
        {
            std::unique_lock<std::mutex> hold(lock_);
            busy_ = false;
            idle_.notify_all();
            wake_.wait(hold, [this] { return stop_ || count_ > 0; });
            if (count_ == 0) break; // stopping, and nothing waits
            path = slots_[first_].data();
            first_ = (first_ + 1) % kSlots;
            --count_;
            busy_ = true;
        }
        // Once stopping, the games still waiting here only go into the outbox.
        sendFresh(files, path);
    }
}

void ScoreSender::Worker::drainOutbox(Platform& files) {
    Outbox outbox(files, setup_.replaysDir);
    for (const std::string& name : outbox.oldest(setup_.retryAtStart)) {
        if (stop_ || !sendWaiting(files, name)) break;
    }
}

void ScoreSender::Worker::sendFresh(Platform& files, const std::string& path) {
    const std::string name = baseName(path);
    std::vector<uint8_t> bytes;
    Replay replay;
    std::string error;
    if (files.readFile(path, kMaxReplayFile, bytes) != ReadStatus::Ok ||
        !decodeReplay(bytes.data(), bytes.size(), replay, error, true)) {
        report(files, name, "not sent: the replay file cannot be read back");
        return;
    }
    if ((replay.flags & kReplayAbandoned) != 0) return;
    Outbox outbox(files, setup_.replaysDir);
    if (!outbox.keep(name, bytes, error)) {
        report(files, name, "not kept for sending: " + error);
        return;
    }
    if (!stop_) sendWaiting(files, name);
}

bool ScoreSender::Worker::sendWaiting(Platform& files, const std::string& name) {
    Outbox outbox(files, setup_.replaysDir);
    std::vector<uint8_t> bytes;
    Replay replay;
    std::string error;
    if (!outbox.read(name, bytes) ||
        !decodeReplay(bytes.data(), bytes.size(), replay, error, false)) {
        report(files, name, "not sent and taken out of the outbox: it cannot be read");
        outbox.drop(name);
        return true;
    }
    if ((replay.flags & kReplayAbandoned) != 0) {
        outbox.drop(name);
        return true;
    }
    // What this computer cannot prove, the scoreboard would refuse: it is not sent at all.
    {
        WorkerPlatform proving(setup_.exeDir, setup_.installedDataDir);
        const VerifyResult proof = verifyReplay(proving, replay);
        if (proof.outcome == VerifyOutcome::CannotStart) {
            report(files, name, "not sent yet: the game's data files are missing to prove it");
            return false;
        }
        if (proof.outcome != VerifyOutcome::Matches) {
            report(files, name, "not sent: it does not play out the same again on this computer");
            outbox.drop(name);
            return true;
        }
    }
    if (stop_) return false;
    const HttpReply reply = httpPostReplay(endpoint_, bytes, setup_.limits, stop_);
    const SendReport said = readServerAnswer(reply);
    if (said.outcome == SendOutcome::TryLater) {
        report(files, name, said.line + "; it waits in the outbox for the next start");
        return false;
    }
    report(files, name, said.line);
    outbox.drop(name);
    return true;
}

void ScoreSender::Worker::report(Platform& files, const std::string& name,
                                 const std::string& line) {
    std::fprintf(stderr, "vortalix: scoreboard: %s: %s\n", name.c_str(), line.c_str());
    appendSendLog(files, setup_.replaysDir + "online.log",
                  isoTimeUtc(files.unixTime()) + " " + name + ": " + line);
}
