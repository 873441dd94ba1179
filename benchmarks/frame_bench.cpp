// Composing frames: a busy frame of play (the backdrop, all 65 effects live, the status bar
// with a 255-digit score and rate, the trail layer and 64 + 64 items) and a frame of the
// still title; and the double-size copy for the zoomed window. The pictures are the generated
// ones from the build folder, the game started there as the player would start it.

#include "app/TForm1.h"
#include "platform/headless/HeadlessPlatform.h"
#include "render/Frame.h"
#include "screens/Screens.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace {

// The game as started from the build folder, which holds score.vtx as well.
struct StartedGame {
    HeadlessPlatform p;
    TForm1 form{p};
    StartedGame() {
        std::filesystem::current_path(VORTALIX_BINARY_DIR);
        p.exeDirectory = std::string(VORTALIX_BINARY_DIR) + "/";
        form.FormCreate();
    }
};

void BM_BusyPlayFrame(benchmark::State& state) {
    StartedGame game;
    GameState& g = game.form.g;
    g.mode = 2;
    g.seenabled = 0; // effects that start sounds would fill the headless platform's record
    g.itemmax = kItemSlots - 1;
    for (int32_t i = 0; i < kItemSlots; ++i) {
        g.bonusitems[size_t(i)] = {g.random(224), g.random(224), uint8_t(i % 11 + 1)};
        g.rateitems[size_t(i)] = {g.random(224), g.random(224), uint8_t((i + 5) % 11 + 1)};
    }
    // Every type, each at an age it lives through; the death sequence would only spawn more.
    for (int32_t i = 0; i < kEffectSlots; ++i) {
        const uint8_t type = uint8_t(i % 10 == 5 ? 10 : i % 10 + 1);
        g.effects[size_t(i)] = {i % 8, g.random(200), g.random(200), type};
    }
    g.score.assign(std::string(255, '9'));
    g.rate.assign(std::string(255, '7'));
    const auto live = g.effects;
    for (auto _ : state) {
        g.effects = live; // effects age and end; every frame starts from the same pool
        cls(g);
        all_put(g);
        benchmark::DoNotOptimize(g.backbuf.row(0));
    }
}
BENCHMARK(BM_BusyPlayFrame);

// What the title costs per frame once its opening has played.
void BM_TitleFrame(benchmark::State& state) {
    StartedGame game;
    GameState& g = game.form.g;
    g.seenabled = 0;
    for (auto _ : state) {
        cls(g);
        t_gamen(g, 100);
        benchmark::DoNotOptimize(g.backbuf.row(0));
    }
}
BENCHMARK(BM_TitleFrame);

void BM_Imgstretch(benchmark::State& state) {
    Surface src(240, 273), dst(480, 546);
    for (int32_t y = 0; y < 273; ++y)
        for (int32_t x = 0; x < 240 * 3; ++x) src.row(y)[x] = uint8_t(x * 7 + y);
    for (auto _ : state) {
        imgstretch(dst, src);
        benchmark::DoNotOptimize(dst.row(0));
    }
}
BENCHMARK(BM_Imgstretch);

} // namespace
