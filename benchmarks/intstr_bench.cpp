// The score arithmetic at its limit: two 255-digit numbers multiplied.

#include "IntStr/IntStr.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

void BM_Strmul255(benchmark::State& state) {
    std::string a(255, '0'), b(255, '0');
    for (size_t i = 0; i < 255; ++i) {
        a[i] = char('1' + (i * 7) % 9);
        b[i] = char('1' + (i * 5 + 3) % 9);
    }
    const DecStr x(a), y(b);
    for (auto _ : state) benchmark::DoNotOptimize(strmul(x, y));
}
BENCHMARK(BM_Strmul255);

} // namespace
