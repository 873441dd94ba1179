#include "platform/sdl/SdlPresentLog.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>

namespace {
constexpr size_t kCapacity = size_t(60) * 60 * 64; // a little over an hour at 60 frames/s
}

SdlPresentLog::SdlPresentLog() {
    const char* path = std::getenv("VORTALIX_PRESENT_LOG");
    if (path == nullptr || *path == '\0') return;
    path_ = path;
    instants_.reserve(kCapacity);
}

SdlPresentLog::~SdlPresentLog() {
    if (!enabled()) return;
    FILE* f = std::fopen(path_.c_str(), "w");
    if (f == nullptr) {
        std::fprintf(stderr, "vortalix: cannot write the present log %s\n", path_.c_str());
        return;
    }
    for (int64_t t : instants_) std::fprintf(f, "%" PRId64 "\n", t);
    if (std::fclose(f) != 0)
        std::fprintf(stderr, "vortalix: cannot write the present log %s\n", path_.c_str());
}
