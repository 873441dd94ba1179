// A whole present, as the game makes one: the frame converted (and scaled) into the window
// surface or SDL's streaming texture, then handed to the window system and waited for. Wall
// time, so that the X server's share (the upload, the round trip) counts too. Needs a display:
// tools/measure_present.sh runs it on a 1280x1024 Xvfb screen.

#include "platform/sdl/SdlFrameOutput.h"
#include "render/Surface.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

// Window width and height, the frame's size, 1 for SDL's renderer, and 1 to send every pixel
// of the window each time (as after an expose) rather than the frame's rectangle only.
void BM_Present(benchmark::State& state) {
    const int32_t windowW = int32_t(state.range(0)), windowH = int32_t(state.range(1));
    const int32_t frameW = int32_t(state.range(2)), frameH = int32_t(state.range(3));
    const bool renderer = state.range(4) != 0, everyPixel = state.range(5) != 0;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        state.SkipWithError("no display");
        return;
    }
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window = SDL_CreateWindow("present", 0, 0, windowW, windowH, SDL_WINDOW_BORDERLESS);
    {
        SdlFrameOutput output(window);
        std::string error;
        if (renderer && !output.useRenderer(error)) {
            state.SkipWithError(("no renderer: " + error).c_str());
        } else {
            Surface frame;
            frame.create(frameW, frameH);
            for (int32_t y = 0; y < frameH; ++y)
                for (int32_t x = 0; x < frameW * 3; ++x) frame.row(y)[x] = uint8_t(x * 7 + y);
            output.draw(frame);
            output.show();
            SDL_PumpEvents();
            uint8_t shade = 0;
            for (auto _ : state) {
                // A few pixels change every frame, as the game's do.
                ++shade;
                frame.row(shade % frameH)[0] = shade;
                if (everyPixel) output.invalidate();
                output.draw(frame);
                output.show();
            }
        }
    }
    SDL_DestroyWindow(window);
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

void sizes(benchmark::internal::Benchmark* b) {
    b->ArgNames({"window_w", "window_h", "frame_w", "frame_h", "renderer", "every_pixel"});
    for (int64_t renderer : {0, 1}) {
        b->Args({240, 273, 240, 273, renderer, 0});   // 1x
        b->Args({480, 546, 480, 546, renderer, 0});   // [Zoom]: the doubled frame as it is
        b->Args({480, 546, 240, 273, renderer, 0});   // Scale=2
        b->Args({720, 819, 240, 273, renderer, 0});   // Scale=3
        b->Args({1280, 1024, 240, 273, renderer, 0}); // fullscreen, 3x with black around
    }
    b->Args({1280, 1024, 240, 273, 0, 1}); // fullscreen, the black drawn and sent every time
}

BENCHMARK(BM_Present)->Apply(sizes)->UseRealTime()->Unit(benchmark::kMicrosecond);

} // namespace
