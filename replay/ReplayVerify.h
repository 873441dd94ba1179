#pragma once
// Plays a recorded game again as fast as it goes, with no window and no sound, and says
// whether it ends as the recording claims. The headless runner's --verify and the scoreboard
// both decide with this one routine, so that a score is accepted exactly where the desktop
// would prove it.

#include "IntStr/ShortString.h"
#include "replay/ReplayFile.h"

#include <cstdint>

class Platform;

enum class VerifyOutcome : uint8_t {
    Matches,     // the game ended as recorded
    Differs,     // score, level or name differ, or the game asked for other keys
    CannotStart, // the program ended at start-up (a missing data file); see exitCode
};

struct VerifyResult {
    VerifyOutcome outcome = VerifyOutcome::CannotStart;
    // What the game played again reached; the name only when it entered the ranking.
    DecStr score;
    uint8_t level = 0;
    NameStr name;
    bool desynchronised = false;
    int exitCode = 0;
};

// `platform` serves the data files and takes the frames; the caller turns off whatever it
// does not need (the headless platform's frame capture, for one).
VerifyResult verifyReplay(Platform& platform, const Replay& replay);
