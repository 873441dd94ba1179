#pragma once
// A token bucket per client address: `burst` submissions at once, refilled at `perMinute`.
// The table of addresses has a fixed upper size; when it is full, addresses whose bucket has
// filled up again are forgotten first (they lose nothing by it), and when none has, the new
// address is refused, so a flood of forged addresses cannot grow the server's memory.

#include <chrono>
#include <cstdint>
#include <mutex>
#include <string>
#include <unordered_map>

class RateLimiter {
  public:
    using Clock = std::chrono::steady_clock;
    static constexpr size_t kMaxAddresses = 100000;

    RateLimiter(double perMinute, uint32_t burst) : perSecond_(perMinute / 60.0), burst_(burst) {}

    // True when the address may go on; else `retryAfter` is the seconds until it may.
    bool allow(const std::string& address, Clock::time_point now, uint32_t& retryAfter);
    bool allow(const std::string& address, uint32_t& retryAfter) {
        return allow(address, Clock::now(), retryAfter);
    }
    size_t addresses() const;

  private:
    struct Bucket {
        double tokens;
        Clock::time_point at;
    };
    double refilled(const Bucket& b, Clock::time_point now) const;
    void forgetFull(Clock::time_point now);

    const double perSecond_;
    const uint32_t burst_;
    mutable std::mutex mutex_;
    std::unordered_map<std::string, Bucket> buckets_;
};
