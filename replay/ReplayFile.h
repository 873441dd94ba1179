#pragma once
// A recorded game, and its file. A game is deterministic: one random generator seeded once,
// everything counted in frames, keys handled between frames. So a game is fully told by the
// state at the reset before it, the length of each frame, every key-down event and every
// answer to the speed-key queries. The file holds that, after a header with the outcome.
//
// File layout (integers little-endian):
//   "VTXRPLAY"            magic, 8 bytes
//   u16 format            kReplayFormat; newer formats are refused
//   u8  flags             bit 0: abandoned (F3 or Esc), bit 1: entered the ranking
//   u8 n, n bytes         the game's version
//   i64 started           seconds since 1970, UTC
//   u8 n, n bytes         final score (decimal digits, up to 255)
//   u8  level
//   u8 n, n bytes         name entered (up to 10), empty when not ranked
//   u32 frames            frames from the reset to the end
//   u32 packed, u32 size  the zlib-compressed body and its size unpacked (at most 64 MiB)
//   packed bytes
//   u32 crc               CRC-32 of everything before it
// The body:
//   u32 seed; u8 backdrop, effects, music, zoom, paused; i32 marquee offset of slot 10;
//   u16 n, n bytes background picture path; 2670 bytes ranking;
//   u32 n, n bytes frame events; u32 n, n bytes speed-key answers.
// Frame events, each a code byte and a variable-length number (7 bits a byte, low first):
//   0 n   n frames, each 16 ms after the one before, no keys
//   1 d   one frame, 16 + d ms after the one before
//   2 k   the key k goes down before the next frame
// Speed-key answers: alternating run lengths as such numbers, the first run answering "no".

#include "IntStr/ShortString.h"
#include "app/GameState.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

constexpr uint16_t kReplayFormat = 1;
constexpr const char* kReplayExtension = ".vtr";
// No replay file is read past this size: a day of play packs into far less.
constexpr size_t kMaxReplayFile = size_t(64) * 1024 * 1024;

enum ReplayFlag : uint8_t { kReplayAbandoned = 1, kReplayRanked = 2 };
enum ReplayEvent : uint8_t { kEventFrames = 0, kEventLongFrame = 1, kEventKey = 2 };

struct ReplayStart {
    uint32_t seed = 0; // the random generator just before the reset
    uint8_t bgenabled = 0, seenabled = 0, bgm = 0, zoom = 0, paused = 0;
    int32_t marquee10 = 0;
    std::string bgpath;
    std::array<RankRecord, 10> ranking{};
};

struct Replay {
    uint8_t flags = 0;
    std::string gameVersion;
    int64_t started = 0;
    DecStr score;
    uint8_t level = 0;
    NameStr name;
    uint32_t frames = 0;
    ReplayStart start;
    std::vector<uint8_t> events;
    std::vector<uint8_t> answers;
};

std::vector<uint8_t> encodeReplay(const Replay& r);
// False with a one-line reason for anything that is not a whole, intact replay of a format
// this game reads. Only the header is read when `headerOnly` (for listing the files).
bool decodeReplay(const uint8_t* data, size_t size, Replay& out, std::string& error,
                  bool headerOnly = false);

// Variable-length numbers of the event streams.
void putNumber(std::vector<uint8_t>& out, uint32_t v);
// Reads one at `at`; false when the stream ends inside it or it does not fit 32 bits.
bool getNumber(const std::vector<uint8_t>& in, size_t& at, uint32_t& v);
