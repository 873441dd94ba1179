// Fuzz target for the check every rendered piece of music passes before the browser build's
// SDL_mixer sees it: any bytes at all must give an answer, never a read outside the buffer.
//
//   cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DVORTALIX_FUZZ=ON
//   cmake --build build-fuzz --target ogg_check_fuzz
//   build-fuzz/ogg_check_fuzz -max_total_time=60

#include "audio/AudioFiles.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    (void)isPlayableOgg(bytes);
    return 0;
}
