// libFuzzer target for what the scoreboard reads from requests and its config file itself:
// query numbers, path ids, the forwarded address and key=value settings. Any bytes must be
// refused or read into values in range, without a crash or a hang.
//
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVORTALIX_FUZZ=ON
//   cmake --build build-fuzz --target request_fuzz && build-fuzz/request_fuzz -max_total_time=60

#include "server/Config.h"
#include "server/Request.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    int64_t v = 0;
    if (queryNumber(text, 10, 1, 100, v) && (v < 1 || v > 100)) std::abort();
    if (pathId(text, v) && (v < 1 || v > (int64_t(1) << 53))) std::abort();
    if (replayFileId(text, v) && v < 1) std::abort();
    const std::string address = forwardedAddress(text);
    if (address.size() > 64) std::abort();
    (void)isGameName(text);
    ServerConfig c;
    std::string error;
    if (applyConfigText(c, text, error) && (c.maxBody < 64 || c.queue < 1)) std::abort();
    return 0;
}
