#pragma once
// The one record of everything the game changes while it runs. 8-bit fields are unsigned and
// wrap; 32-bit fields are signed. Comparisons on the 8-bit fields are unsigned.

#include "IntStr/ShortString.h"
#include "app/Random.h"
#include "audio/Midi.h"
#include "audio/Sound.h"
#include "platform/FileLocations.h"
#include "render/Surface.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class Platform;

struct ItemSlot {
    int32_t x = 0, y = 0; // top-left of the 16 x 16 picture, 0..223
    uint8_t kind = 0;     // 1..11; 0 marks an empty slot
};

struct EffectSlot {
    int32_t age = 0, x = 0, y = 0;
    uint8_t type = 0; // 1..10; 0 marks a free slot
};

#pragma pack(push, 1)
// One rank, 267 bytes, the same in memory and in "score.vtx".
struct RankRecord {
    DecStr score;
    NameStr name;
};
#pragma pack(pop)
static_assert(sizeof(RankRecord) == 267);

struct Marquee {
    int32_t width = 0; // cells the score occupies when it scrolls
    int32_t xoff = 0;  // x at which the score is drawn
};

constexpr int kItemSlots = 64;
constexpr int kEffectSlots = 65;
constexpr int kRankSlots = 11;
constexpr int kSheetCount = 11;

// Slots of the image sheets.
namespace sheet {
constexpr int Bonus = 0, Rate = 1, Effect = 2, Title = 3, Digits = 4, Font = 5, Gauge = 6, Bomb = 7,
              Thunder1 = 8, Thunder2 = 9, BigBomb = 10;
}

struct GameState {
    int32_t px = 0;
    int32_t py = 0;
    int32_t levelpts = 0;
    uint8_t level = 0;
    uint8_t stepclock = 0;
    uint8_t dir = 0;
    uint8_t stepwait = 0;
    uint8_t itemmax = 0;
    uint8_t playstate = 0;
    uint8_t invtimer = 0;
    uint8_t newrank = 0;
    std::array<int32_t, 256> levelneed{};
    std::array<Surface, kSheetCount> sheets;
    std::array<ItemSlot, kItemSlots> bonusitems{};
    std::array<ItemSlot, kItemSlots> rateitems{};
    std::array<EffectSlot, kEffectSlots> effects{};
    std::array<int32_t, 5> dirdx{}; // index 1..4
    std::array<int32_t, 5> dirdy{}; // index 1..4
    Surface backbuf;
    Surface backdrop;
    Surface linelayer;
    Surface zoombuf;
    int32_t thisframe = 0;
    int32_t lastframe = 0;
    int32_t soundleft = 0;
    int32_t soundcur = 0;
    int32_t modeclock = 0;
    std::array<tsound, 11> soundtable;
    uint8_t seenabled = 0;
    std::unique_ptr<TMCIMidi> midiplayer;
    std::array<RankRecord, kRankSlots> ranking{};
    std::array<Marquee, kRankSlots> marquee{};
    std::string bgpath;
    std::string basedir; // the data folder: image\ and sound\ lie here
    DecStr score;
    DecStr rate;
    DecStr gain;
    int32_t combo = 0;
    int32_t combotimer = 0;
    std::array<DecStr, 12> bonustable{};
    std::array<DecStr, 12> ratetable{};
    uint8_t mode = 0;
    int32_t scrollx = 0;
    int32_t scrolly = 0;
    int32_t cursor = 0;
    int32_t countclock = 0;
    int32_t countdown = 0;
    uint8_t bgenabled = 0;
    uint8_t zoom = 0;
    uint8_t paused = 0;

    // --- not game variables, but what the routines reach the world through ---
    Random rng;
    Platform* platform = nullptr;
    Surface picture;           // the loaded background picture, from which the backdrop is built
    FileLocations files;       // where the settings, screenshots and ranking are kept
    bool settingsRead = false; // the settings exist in memory, so saving them loses nothing
    std::string musicMain, musicRanking, musicGameOver; // full paths, made once at start-up

    int32_t random(int32_t n) { return rng.random(n); }
};
