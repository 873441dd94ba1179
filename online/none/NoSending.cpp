// A build without an HTTP client library (the Windows build) never connects anywhere: the
// games stay in the replays folder, and a scoreboard named in the settings is said to be
// unused.
#include "online/HttpPost.h"
#include "online/ScoreSender.h"
#include "online/Submit.h"

#include <cstdio>

HttpLibrary::HttpLibrary() = default;
HttpLibrary::~HttpLibrary() = default;

bool httpSendingBuiltIn() {
    return false;
}

HttpReply httpPostReplay(const std::string&, const std::vector<uint8_t>&, const HttpLimits&,
                         const std::atomic<bool>&) {
    HttpReply r;
    r.error = "this build of the game cannot send games";
    return r;
}

class ScoreSender::Worker {};

ScoreSender::ScoreSender(const SenderSetup& setup) {
    if (!setup.server.empty())
        std::fprintf(stderr, "vortalix: this build of the game cannot send games; [Online] "
                             "Server is left unused\n");
}
ScoreSender::~ScoreSender() = default;
void ScoreSender::replayWritten(const std::string&, bool) {}
bool ScoreSender::waitIdle(uint32_t) {
    return true;
}

int submitReplay(Platform&, const std::string& file, const std::string&) {
    std::fprintf(stderr, "vortalix: %s: not sent: this build of the game cannot send games\n",
                 file.c_str());
    return 2;
}
