#pragma once
// Sends finished games to the scoreboard from a thread of its own, so that no frame ever
// waits on the network. The window's side only drops the finished replay's path into a fixed
// mailbox (no allocation, no waiting beyond a short lock); the thread proves the game by
// playing it again, keeps it in the outbox, posts it, and reports the answer on stderr and in
// the log beside the replays. At its start the thread first tries a few games the outbox still
// holds from earlier runs. A build without an HTTP library has a sender that never starts.

#include "online/HttpPost.h"
#include "replay/ReplayRecorder.h"

#include <cstdint>
#include <memory>
#include <string>

struct SenderSetup {
    std::string server;           // the scoreboard's address; empty: the sender stays idle
    std::string replaysDir;       // with its trailing separator
    std::string exeDir;           // where the window's program finds its data files
    std::string installedDataDir; // ...when installed
    HttpLimits limits;
    // How many waiting games one start tries.
    uint32_t retryAtStart = 5;
};

class ScoreSender : public ReplayListener {
  public:
    explicit ScoreSender(const SenderSetup& setup);
    // Stops the thread: a request under way is given up, and games not yet sent stay in the
    // outbox for the next start.
    ~ScoreSender() override;
    ScoreSender(const ScoreSender&) = delete;
    ScoreSender& operator=(const ScoreSender&) = delete;

    // Whether a thread sends at all.
    bool active() const { return worker_ != nullptr; }
    void replayWritten(const std::string& path, bool abandoned) override;
    // Until the thread has nothing left to do (for tests and tools); false on timeout.
    bool waitIdle(uint32_t timeoutMs);

    class Worker;

  private:
    std::unique_ptr<Worker> worker_;
};
