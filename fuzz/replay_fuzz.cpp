// libFuzzer target for the replay reader: any bytes at all must be refused with a reason or
// read into a replay whose event streams can be walked to their end, without a crash, a hang
// or a huge allocation.
//
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVORTALIX_FUZZ=ON
//   cmake --build build-fuzz --target replay_fuzz && build-fuzz/replay_fuzz -max_total_time=60

#include "app/ReplayFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Replay r;
    std::string error;
    if (!decodeReplay(data, size, r, error)) return 0;
    size_t at = 0;
    uint32_t v = 0;
    while (at < r.events.size()) {
        const uint8_t code = r.events[at++];
        if (code == kEventKey) {
            ++at;
        } else if (!getNumber(r.events, at, v)) {
            break;
        }
    }
    at = 0;
    while (getNumber(r.answers, at, v)) {
    }
    return 0;
}
