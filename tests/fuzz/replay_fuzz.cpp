// libFuzzer target for the replay reader: any bytes at all must be refused with a reason or
// read into a replay whose event streams can be walked to their end, without a crash, a hang
// or a huge allocation.
//
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVORTALIX_FUZZ=ON
//   cmake --build build-fuzz --target replay_fuzz && build-fuzz/replay_fuzz -max_total_time=60

#include "replay/ReplayFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <zlib.h>

namespace {

void readAll(const uint8_t* data, size_t size) {
    Replay r;
    std::string error;
    if (!decodeReplay(data, size, r, error)) return;
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
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    readAll(data, size);
    // The checksum stops nearly every mutation at the door; with it made right, the fuzzer's
    // changes reach the packed body and the streams as well.
    if (size < 4) return 0;
    std::vector<uint8_t> fixed(data, data + size);
    const uint32_t crc = uint32_t(crc32(0, fixed.data(), uInt(size - 4)));
    for (size_t i = 0; i < 4; ++i) fixed[size - 4 + i] = uint8_t(crc >> (8 * i));
    readAll(fixed.data(), fixed.size());
    return 0;
}
