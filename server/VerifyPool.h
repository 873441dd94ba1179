#pragma once
// Plays submitted replays on a fixed number of worker threads, each with its own game on the
// in-memory data. Requests wait in a queue of fixed length; when it is full the submission is
// turned away at once (the caller answers 503), so a burst never piles up unbounded work.

#include "server/GameData.h"
#include "server/Submission.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

class VerifyPool {
  public:
    // Called with the seconds each verification took, from the worker that played it.
    using Timing = void (*)(void* context, double seconds);

    VerifyPool(const GameData& data, uint32_t workers, uint32_t queueLength, uint32_t maxFrames);
    ~VerifyPool();
    VerifyPool(const VerifyPool&) = delete;
    VerifyPool& operator=(const VerifyPool&) = delete;

    void onTiming(Timing timing, void* context) {
        timing_ = timing;
        timingContext_ = context;
    }

    // Plays the replay and waits for the verdict; nothing when the queue is full.
    std::optional<SubmissionResult> judge(const std::vector<uint8_t>& bytes);

    // Submissions waiting or being played.
    uint32_t depth() const;

  private:
    struct Job {
        const std::vector<uint8_t>* bytes;
        SubmissionResult result;
        bool done = false;
    };
    void work();

    const GameData& data_;
    const uint32_t maxFrames_;
    const uint32_t queueLength_;
    Timing timing_ = nullptr;
    void* timingContext_ = nullptr;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::condition_variable finished_;
    std::deque<Job*> queue_;
    uint32_t playing_ = 0;
    bool stopping_ = false;
    std::vector<std::thread> workers_;
};
