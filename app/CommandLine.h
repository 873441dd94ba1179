#pragma once
// The window program's command line. With no arguments the game starts; it knows only
// --version, --help and --replay FILE, and anything else is a mistake worth stopping for
// rather than a game started as if nothing was said.

#include <string>

struct CommandLine {
    enum class Action { Play, PrintVersion, PrintUsage, WatchReplay, BadUsage };
    Action action = Action::Play;
    std::string replayFile; // for WatchReplay
    std::string problem;    // what was wrong, for BadUsage
};

CommandLine parseCommandLine(int argc, const char* const* argv);
// The short usage text, ending with a newline.
std::string usageText(const char* program);
