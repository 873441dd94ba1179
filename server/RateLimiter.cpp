#include "server/RateLimiter.h"

#include <algorithm>
#include <cmath>

double RateLimiter::refilled(const Bucket& b, Clock::time_point now) const {
    const double seconds = std::chrono::duration<double>(now - b.at).count();
    return std::min(double(burst_), b.tokens + std::max(0.0, seconds) * perSecond_);
}

void RateLimiter::forgetFull(Clock::time_point now) {
    for (auto it = buckets_.begin(); it != buckets_.end();) {
        if (refilled(it->second, now) >= double(burst_))
            it = buckets_.erase(it);
        else
            ++it;
    }
}

bool RateLimiter::allow(const std::string& address, Clock::time_point now, uint32_t& retryAfter) {
    if (perSecond_ <= 0) return true; // no limit
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = buckets_.find(address);
    if (it == buckets_.end()) {
        if (buckets_.size() >= kMaxAddresses) forgetFull(now);
        if (buckets_.size() >= kMaxAddresses) {
            retryAfter = 60;
            return false;
        }
        it = buckets_.emplace(address, Bucket{double(burst_), now}).first;
    }
    Bucket& b = it->second;
    b.tokens = refilled(b, now);
    b.at = now;
    if (b.tokens >= 1.0) {
        b.tokens -= 1.0;
        return true;
    }
    retryAfter = uint32_t(std::ceil((1.0 - b.tokens) / perSecond_));
    if (retryAfter == 0) retryAfter = 1;
    return false;
}

size_t RateLimiter::addresses() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return buckets_.size();
}
