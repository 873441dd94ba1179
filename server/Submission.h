#pragma once
// What the scoreboard decides about a submitted replay file. The cheap checks come first, on
// the header alone, so that a file which cannot stand is turned away before a single frame of
// it is played: a damaged or foreign file, a newer format, a game given up, a name the game
// cannot enter, more frames than the server plays, a body that claims more than a game needs.

#include "replay/ReplayFile.h"

#include <cstdint>
#include <string>

class Platform;

enum class Verdict : uint8_t {
    Accepted,
    Unreadable,
    DoesNotVerify,
    Abandoned,
    NewerFormat,
    TooLong,
    ServerFault, // the game could not start on the server's own data
};

struct SubmissionResult {
    Verdict verdict = Verdict::Unreadable;
    std::string reason; // one line, starting with the verdict's text
    std::string name, score;
    uint8_t level = 0;
    uint32_t frames = 0;
};

// Two hours of play at 62.5 frames a second.
constexpr uint32_t kDefaultMaxFrames = 450000;
// A game's unpacked body is its starting state and its key and speed-key streams: a few
// bytes a second at most. Anything claiming more is not a game.
constexpr uint32_t kMaxSubmittedBody = 8u * 1024 * 1024;

// The texts of the verdicts that clients read.
const char* verdictText(Verdict v);
// The label of a verdict in the metrics.
const char* verdictLabel(Verdict v);

// The header checks. True when the replay is worth playing; else `out` says why not.
bool checkSubmissionHeader(const uint8_t* data, size_t size, uint32_t maxFrames,
                           SubmissionResult& out);
// Reads the whole replay and plays it on `platform` (which must serve the game's data).
SubmissionResult judgeSubmission(Platform& platform, const uint8_t* data, size_t size,
                                 uint32_t maxFrames);
