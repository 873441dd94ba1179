// Fuzz target for the check every rendered piece of music passes before the browser build's
// SDL_mixer sees it: any bytes at all must give an answer, never a read outside the buffer.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I. \
//       tests/fuzz/ogg_check_fuzz.cpp audio/AudioFiles.cpp -o ogg_check_fuzz
//   ./ogg_check_fuzz -max_total_time=60

#include "audio/AudioFiles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    (void)isPlayableOgg(bytes);
    return 0;
}
