// The scaled present's copy after the conversion: a 240 x 273 frame into a window at 1x, 2x and 3x,
// and centred at 3x on a 1280 x 1024 fullscreen window with the black around it.

#include "platform/DisplayScale.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

void BM_ScaledCopy(benchmark::State& state) {
    const int32_t scale = int32_t(state.range(0));
    const bool fullscreen = state.range(1) != 0;
    std::vector<uint32_t> frame(size_t(240) * 273);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = uint32_t(i * 2654435761u);
    display::Pixels32 src;
    src.pixels = reinterpret_cast<uint8_t*>(frame.data());
    src.pitch = 240 * 4;
    src.width = 240;
    src.height = 273;
    const int32_t w = fullscreen ? 1280 : 240 * scale, h = fullscreen ? 1024 : 273 * scale;
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    display::Pixels32 t;
    t.pixels = reinterpret_cast<uint8_t*>(pixels.data());
    t.pitch = w * 4;
    t.width = w;
    t.height = h;
    const display::Placement at = display::place(w, h, 240, 273);
    for (auto _ : state) {
        display::drawScaled(src, at, t, 0);
        benchmark::DoNotOptimize(pixels.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(std::to_string(w) + "x" + std::to_string(h) + " at " + std::to_string(at.scale) +
                   "x");
}
BENCHMARK(BM_ScaledCopy)
    ->ArgNames({"scale", "fullscreen"})
    ->Args({1, 0})
    ->Args({2, 0})
    ->Args({3, 0})
    ->Args({3, 1})
    ->Unit(benchmark::kMicrosecond);

} // namespace
