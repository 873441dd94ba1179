#pragma once
// A scripted, repeatable run of the game, asked for on the command line: a fixed seed, frames
// exactly 16 ms apart on a clock that only the frames move, keys delivered before given
// frames, and a stop after a number of frames. The browser build takes it as its test switch,
// so that a frame it draws can be compared with the headless runner's frame of the same run.
//
//   --seed S         the seed (the time of day the game would otherwise read)
//   --key FRAME:KEY  KEY (see KeyNames.h) pressed before frame FRAME is composed
//   --frames N       stop after N frames

#include <array>
#include <cstdint>
#include <string>

struct ScriptedKey {
    int64_t frame = 0;
    uint8_t key = 0;
};

struct ScriptedRun {
    bool on = false; // any of the options was given
    uint32_t seed = 0;
    int64_t frames = 0; // 0: no stop
    std::array<ScriptedKey, 64> keys{};
    size_t keyCount = 0;
};

// False with a reason for anything it does not understand; an empty command line leaves the
// run off.
bool parseScriptedRun(int argc, const char* const* argv, ScriptedRun& out, std::string& error);
