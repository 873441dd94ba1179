#include "app/CommandLine.h"

#include "app/Version.h"

#include <cstdio>
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
    } else if (a == "--submit" && argc >= 3 && argv[2][0] != '\0' &&
               (argc == 3 ||
                (argc == 5 && std::strcmp(argv[3], "--server") == 0 && argv[4][0] != '\0'))) {
        c.action = CommandLine::Action::SubmitReplay;
        c.replayFile = argv[2];
        if (argc == 5) c.server = argv[4];
    } else {
        c.action = CommandLine::Action::BadUsage;
        if (a == "--submit" && argc == 2)
            c.problem = "--submit needs a replay file";
        else if (a == "--submit" && argc == 4 && std::strcmp(argv[3], "--server") == 0)
            c.problem = "--server needs the scoreboard's address";
        else if (a == "--replay" && argc == 2)
            c.problem = "--replay needs a replay file";
        else if (a == "--version" || a == "--help" || a == "-h" || a == "--replay" ||
                 a == "--submit")
            c.problem = "unexpected argument '" + std::string(argv[argc - 1]) + "'";
        else
            c.problem = "unknown argument '" + a + "'";
    }
    return c;
}

std::string usageText(const char* program) {
    return std::string("usage: ") + program +
           " [--version | --help | --replay FILE | --submit FILE [--server URL]]\n"
           "Starts VORTALIX-Revision-, or plays a recorded game again (--replay: Esc quits,\n"
           "F7 pauses, Tab held plays four times as fast, F1 saves a screenshot), or sends a\n"
           "recorded game to a scoreboard (--submit: to --server, else to the settings'\n"
           "[Online] Server) and prints its answer. The keys are listed in the manual page\n"
           "vortalix(6).\n";
}

bool answeredOnConsole(const CommandLine& c, int& exitCode) {
    switch (c.action) {
    case CommandLine::Action::PrintVersion:
        std::printf("vortalix %s\n", kGameVersion);
        exitCode = 0;
        return true;
    case CommandLine::Action::PrintUsage:
        std::fputs(usageText("vortalix").c_str(), stdout);
        exitCode = 0;
        return true;
    case CommandLine::Action::BadUsage:
        std::fprintf(stderr, "vortalix: %s\n%s", c.problem.c_str(), usageText("vortalix").c_str());
        exitCode = 2;
        return true;
    case CommandLine::Action::Play:
    case CommandLine::Action::WatchReplay:
    case CommandLine::Action::SubmitReplay:
        break;
    }
    return false;
}
