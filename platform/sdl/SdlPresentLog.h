#pragma once
// A record of when each frame was handed to the window system, for measuring the frame
// pacing from the game's side. Off unless VORTALIX_PRESENT_LOG names a file; the instants
// (nanoseconds of the monotonic clock, CLOCK_MONOTONIC on Linux, so that they compare with
// other programs' timestamps) are written there when the platform goes away.

#include <cstdint>
#include <string>
#include <vector>

class SdlPresentLog {
  public:
    SdlPresentLog();
    ~SdlPresentLog();
    SdlPresentLog(const SdlPresentLog&) = delete;
    SdlPresentLog& operator=(const SdlPresentLog&) = delete;

    bool enabled() const { return !path_.empty(); }
    // Never allocates: the room for an hour of frames is taken at start.
    void record(int64_t nanoseconds) {
        if (enabled() && instants_.size() < instants_.capacity()) instants_.push_back(nanoseconds);
    }

  private:
    std::string path_;
    std::vector<int64_t> instants_;
};
