#pragma once
// Counters for Prometheus: submissions by outcome, the verification queue, how long each
// verification took, and the board reads. Plain atomics, so that counting costs a request
// nothing.

#include <array>
#include <atomic>
#include <cstdint>
#include <string>

enum class Outcome : uint8_t {
    Created,
    Known,
    Unreadable,
    DoesNotVerify,
    Abandoned,
    NewerFormat,
    TooLong,
    RateLimited,
    Busy,
    BadRequest,
    TooLarge,
    TooSlow,
    ServerError,
    Count
};

const char* outcomeLabel(Outcome o);

class Metrics {
  public:
    static constexpr std::array<double, 10> kBuckets = {0.01, 0.05, 0.1, 0.25, 0.5,
                                                        1,    2,    5,   10,   30};

    void count(Outcome o) { submissions_[size_t(o)].fetch_add(1, std::memory_order_relaxed); }
    void boardRead() { boardReads_.fetch_add(1, std::memory_order_relaxed); }
    void verified(double seconds);
    uint64_t submissions(Outcome o) const { return submissions_[size_t(o)].load(); }

    std::string text(uint32_t queueDepth) const;

  private:
    std::array<std::atomic<uint64_t>, size_t(Outcome::Count)> submissions_{};
    std::atomic<uint64_t> boardReads_{0};
    std::array<std::atomic<uint64_t>, kBuckets.size()> buckets_{};
    std::atomic<uint64_t> verifications_{0};
    std::atomic<uint64_t> verifyMicros_{0};
};
