#pragma once
// The window program's command line. With no arguments the game starts; it knows only
// --version and --help, and anything else is a mistake worth stopping for rather than a game
// started as if nothing was said.

#include <string>

struct CommandLine {
    enum class Action { Play, PrintVersion, PrintUsage, BadUsage };
    Action action = Action::Play;
    std::string problem; // what was wrong, for BadUsage
};

CommandLine parseCommandLine(int argc, const char* const* argv);
// The short usage text, ending with a newline.
std::string usageText(const char* program);
