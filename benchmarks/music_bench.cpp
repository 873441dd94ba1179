// From a request for the main theme to the piece being ready to sound: the worker's share of
// it (reading and checking the file, a new player, the first block rendered with the
// instruments it selects). The soundfont is loaded once beforehand, as in the game, and the
// file system cache is warm after the first round. Runs on SDL's dummy audio driver.

#include "platform/sdl/MusicBackend.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <benchmark/benchmark.h>

#include <atomic>
#include <string>

namespace {

void BM_MusicReady(benchmark::State& state) {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (SDL_Init(SDL_INIT_AUDIO) != 0 || Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        state.SkipWithError("no audio");
        return;
    }
    const std::atomic<uint64_t> wanted{1};
    {
        std::unique_ptr<MusicBackend> music = makeMusicBackend(wanted);
        if (!music || !music->open()) {
            state.SkipWithError("no soundfont");
        } else {
            const std::string theme = std::string(VORTALIX_BINARY_DIR) + "/sound/main.mid";
            for (auto _ : state) {
                if (!music->load(theme)) state.SkipWithError("main.mid does not load");
                state.PauseTiming();
                music->release(); // the next request starts from silence, as in the game
                state.ResumeTiming();
            }
        }
    }
    Mix_CloseAudio();
    SDL_Quit();
}
BENCHMARK(BM_MusicReady)->Unit(benchmark::kMillisecond);

} // namespace
