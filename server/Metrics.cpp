#include "server/Metrics.h"

#include <cstdio>

const char* outcomeLabel(Outcome o) {
    switch (o) {
    case Outcome::Created:
        return "created";
    case Outcome::Known:
        return "known";
    case Outcome::Unreadable:
        return "unreadable";
    case Outcome::DoesNotVerify:
        return "does_not_verify";
    case Outcome::Abandoned:
        return "abandoned";
    case Outcome::NewerFormat:
        return "newer_format";
    case Outcome::TooLong:
        return "too_long";
    case Outcome::RateLimited:
        return "rate_limited";
    case Outcome::Busy:
        return "busy";
    case Outcome::BadRequest:
        return "bad_request";
    case Outcome::TooLarge:
        return "too_large";
    case Outcome::TooSlow:
        return "too_slow";
    case Outcome::ServerError:
        return "server_error";
    case Outcome::Count:
        break;
    }
    return "unknown";
}

void Metrics::verified(double seconds) {
    for (size_t i = 0; i < kBuckets.size(); ++i)
        if (seconds <= kBuckets[i]) buckets_[i].fetch_add(1, std::memory_order_relaxed);
    verifications_.fetch_add(1, std::memory_order_relaxed);
    verifyMicros_.fetch_add(uint64_t(seconds * 1e6), std::memory_order_relaxed);
}

std::string Metrics::text(uint32_t queueDepth) const {
    std::string out;
    char line[160];
    out += "# HELP vortalix_submissions_total Replays submitted, by outcome.\n"
           "# TYPE vortalix_submissions_total counter\n";
    for (size_t i = 0; i < size_t(Outcome::Count); ++i) {
        std::snprintf(line, sizeof line, "vortalix_submissions_total{outcome=\"%s\"} %llu\n",
                      outcomeLabel(Outcome(i)), (unsigned long long)submissions_[i].load());
        out += line;
    }
    out += "# HELP vortalix_queue_depth Submissions waiting for or in verification.\n"
           "# TYPE vortalix_queue_depth gauge\n";
    out += "vortalix_queue_depth " + std::to_string(queueDepth) + "\n";
    out += "# HELP vortalix_verify_seconds Time to play a submitted replay again.\n"
           "# TYPE vortalix_verify_seconds histogram\n";
    for (size_t i = 0; i < kBuckets.size(); ++i) {
        std::snprintf(line, sizeof line, "vortalix_verify_seconds_bucket{le=\"%g\"} %llu\n",
                      kBuckets[i], (unsigned long long)buckets_[i].load());
        out += line;
    }
    const unsigned long long n = verifications_.load();
    std::snprintf(line, sizeof line,
                  "vortalix_verify_seconds_bucket{le=\"+Inf\"} %llu\n"
                  "vortalix_verify_seconds_sum %.6f\nvortalix_verify_seconds_count %llu\n",
                  n, double(verifyMicros_.load()) / 1e6, n);
    out += line;
    out += "# HELP vortalix_board_reads_total Reads of the board (API and page).\n"
           "# TYPE vortalix_board_reads_total counter\n";
    out += "vortalix_board_reads_total " + std::to_string(boardReads_.load()) + "\n";
    return out;
}
