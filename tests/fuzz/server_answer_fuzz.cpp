// libFuzzer target for what the game reads from a scoreboard: the answer to a sent game (any
// status, any body) and the settings line that names the scoreboard. Whatever a hostile
// server or a broken settings file holds gives one short printable line, never a crash.
//
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVORTALIX_FUZZ=ON
//   cmake --build build-fuzz --target server_answer_fuzz && build-fuzz/server_answer_fuzz
//   -max_total_time=60

#include "online/ServerAnswer.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    HttpReply reply;
    reply.status = int32_t(data[0]) * 4 + int32_t(data[1] % 4);
    reply.retryAfter = data[1];
    reply.body.assign(reinterpret_cast<const char*>(data + 2), std::min(size - 2, kMaxReplyBody));
    const SendReport r = readServerAnswer(reply);
    if (r.line.size() > 400) std::abort();
    for (const char c : r.line)
        if (static_cast<unsigned char>(c) < 0x20) std::abort();
    const std::string endpoint = replaysEndpoint(reply.body);
    if (!endpoint.empty() && endpoint.rfind("http", 0) != 0) std::abort();
    return 0;
}
