#pragma once
// The game's one random generator. Every draw advances the same seed, so the order in which
// the routines draw is part of the game's behaviour (item places, dots, explosions, bar colours).

#include <cstdint>

struct Random {
    uint32_t seed = 0;

    // An integer in 0 .. n - 1: the high 32 bits of seed * n after one step of the generator.
    int32_t random(int32_t n) {
        seed = seed * 134775813u + 1u;
        return int32_t((uint64_t(seed) * uint32_t(n)) >> 32);
    }
};
