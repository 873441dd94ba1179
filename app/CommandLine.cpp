#include "app/CommandLine.h"

#include <cstring>

CommandLine parseCommandLine(int argc, const char* const* argv) {
    CommandLine c;
    if (argc <= 1) return c;
    const char* a = argv[1];
    if (argc == 2 && std::strcmp(a, "--version") == 0) {
        c.action = CommandLine::Action::PrintVersion;
    } else if (argc == 2 && (std::strcmp(a, "--help") == 0 || std::strcmp(a, "-h") == 0)) {
        c.action = CommandLine::Action::PrintUsage;
    } else {
        c.action = CommandLine::Action::BadUsage;
        const bool known = std::strcmp(a, "--version") == 0 || std::strcmp(a, "--help") == 0 ||
                           std::strcmp(a, "-h") == 0;
        c.problem = known ? std::string("unexpected argument '") + argv[2] + "'"
                          : std::string("unknown argument '") + a + "'";
    }
    return c;
}

std::string usageText(const char* program) {
    return std::string("usage: ") + program +
           " [--version | --help]\n"
           "Starts VORTALIX-Revision-. The keys are listed in the manual page vortalix(6).\n";
}
