#include "server/VerifyPool.h"

#include <chrono>
#include <exception>
#include <string>

VerifyPool::VerifyPool(const GameData& data, uint32_t workers, uint32_t queueLength,
                       uint32_t maxFrames)
    : data_(data), maxFrames_(maxFrames), queueLength_(queueLength) {
    if (workers == 0) workers = 1;
    for (uint32_t i = 0; i < workers; ++i) workers_.emplace_back([this] { work(); });
}

VerifyPool::~VerifyPool() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

std::optional<SubmissionResult> VerifyPool::judge(const std::vector<uint8_t>& bytes) {
    Job job{&bytes, {}, false};
    std::unique_lock<std::mutex> lock(mutex_);
    if (queue_.size() >= queueLength_ || stopping_) return std::nullopt;
    queue_.push_back(&job);
    wake_.notify_one();
    finished_.wait(lock, [&] { return job.done; });
    return job.result;
}

uint32_t VerifyPool::depth() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return uint32_t(queue_.size()) + playing_;
}

void VerifyPool::work() {
    MemoryPlatform platform(data_);
    for (;;) {
        Job* job = nullptr;
        {
            std::unique_lock<std::mutex> lock(mutex_);
            wake_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            job = queue_.front();
            queue_.pop_front();
            ++playing_;
        }
        const auto start = std::chrono::steady_clock::now();
        SubmissionResult result;
        try {
            result = judgeSubmission(platform, job->bytes->data(), job->bytes->size(), maxFrames_);
        } catch (const std::exception& e) {
            result.verdict = Verdict::ServerFault;
            result.reason = std::string(verdictText(Verdict::ServerFault)) + ": " + e.what();
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (timing_ != nullptr) timing_(timingContext_, seconds);
        {
            std::lock_guard<std::mutex> lock(mutex_);
            job->result = std::move(result);
            job->done = true;
            --playing_;
        }
        finished_.notify_all();
    }
}
