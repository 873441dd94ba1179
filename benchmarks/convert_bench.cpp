// The present conversion of a 240 x 273 frame (1) and of the zoomed 480 x 546 one (2) by each
// path this processor has, next to plain copies of a frame as the yardstick.

#include "platform/sdl/PixelConvert.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

namespace {

constexpr int32_t kWidth = 240, kHeight = 273;

void BM_PresentConversion(benchmark::State& state) {
    const ConvertPath path = ConvertPath(state.range(0));
    const int32_t zoom = int32_t(state.range(1));
    const PixelLayout xrgb; // what an X server at depth 24 gives
    if (!convertPathUsable(path, xrgb)) {
        state.SkipWithError("this processor has no such path");
        return;
    }
    const int32_t w = kWidth * zoom, h = kHeight * zoom;
    std::vector<uint8_t> src(size_t(w) * size_t(h) * 3), dst(size_t(w) * size_t(h) * 4);
    for (size_t i = 0; i < src.size(); ++i) src[i] = uint8_t(i * 31 + 7);
    for (auto _ : state) {
        convertBgrFrame(src.data(), ptrdiff_t(w) * 3, dst.data(), ptrdiff_t(w) * 4, w, h, xrgb,
                        path);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    state.SetLabel(path == ConvertPath::Plain   ? "plain loop"
                   : path == ConvertPath::Ssse3 ? "SSSE3"
                                                : "AVX2");
}
BENCHMARK(BM_PresentConversion)
    ->ArgNames({"path", "zoom"})
    ->ArgsProduct({{int64_t(ConvertPath::Plain), int64_t(ConvertPath::Ssse3),
                    int64_t(ConvertPath::Avx2)},
                   {1, 2}});

// One 240 x 273 frame copied: 3 bytes a pixel as the game draws it, 4 as the window takes it.
void BM_MemcpyFrame(benchmark::State& state) {
    const size_t bytes = size_t(kWidth) * kHeight * size_t(state.range(0));
    std::vector<uint8_t> src(bytes, 1), dst(bytes);
    for (auto _ : state) {
        std::memcpy(dst.data(), src.data(), bytes);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
}
BENCHMARK(BM_MemcpyFrame)->ArgName("bytesPerPixel")->Arg(3)->Arg(4);

} // namespace
