#pragma once
// The window program's command line. With no arguments the game starts; it knows only
// --version, --help, --replay FILE and --submit FILE [--server URL], and anything else is a mistake
// worth stopping for rather than a game started as if nothing was said.

#include <string>

struct CommandLine {
    enum class Action { Play, PrintVersion, PrintUsage, WatchReplay, SubmitReplay, BadUsage };
    Action action = Action::Play;
    std::string replayFile; // for WatchReplay and SubmitReplay
    std::string server;     // SubmitReplay's --server, empty when not given
    std::string problem;    // what was wrong, for BadUsage
};

CommandLine parseCommandLine(int argc, const char* const* argv);
// The short usage text, ending with a newline.
std::string usageText(const char* program);
// Answers --version, --help and a wrong argument on the console, as every build of the window
// program does: true with the exit code when the command line asked for nothing more.
bool answeredOnConsole(const CommandLine& c, int& exitCode);
