#include "app/CommandLine.h"

#include <cstring>

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine c;
    if (argc <= 1) return c;
    const std::string a = argv[1];
    if (argc == 2 && a == "--version") {
        c.action = CommandLine::Action::PrintVersion;
    } else if (argc == 2 && (a == "--help" || a == "-h")) {
        c.action = CommandLine::Action::PrintUsage;
    } else if (argc == 3 && a == "--replay" && argv[2][0] != '\0') {
        c.action = CommandLine::Action::WatchReplay;
        c.replayFile = argv[2];
    } else {
        c.action = CommandLine::Action::BadUsage;
        if (a == "--replay" && argc == 2)
            c.problem = "--replay needs a replay file";
        else if (a == "--version" || a == "--help" || a == "-h" || a == "--replay")
            c.problem = "unexpected argument '" + std::string(argv[argc - 1]) + "'";
        else
            c.problem = "unknown argument '" + a + "'";
    }
    return c;
}

std::string usageText(const char* program) {
    return std::string("usage: ") + program +
           " [--version | --help | --replay FILE]\n"
           "Starts VORTALIX-Revision-, or plays a recorded game again (--replay: Esc quits,\n"
           "F7 pauses, Tab held plays four times as fast, F1 saves a screenshot). The keys are\n"
           "listed in the manual page vortalix(6).\n";
}
