#include "online/Submit.h"

#include "online/HttpPost.h"
#include "online/OnlineSettings.h"
#include "online/ServerAnswer.h"
#include "platform/Platform.h"
#include "replay/ReplayFile.h"

#include <cstdio>

int submitReplay(Platform& files, const std::string& file, const std::string& server) {
    std::string address = server;
    if (address.empty()) {
        OnlinePlaces places;
        std::string error;
        if (!findOnlinePlaces(files, places, error)) {
            std::fprintf(stderr, "vortalix: %s\n", error.c_str());
            return 2;
        }
        address = places.server;
        if (address.empty()) {
            std::fprintf(stderr,
                         "vortalix: no scoreboard to send to: give --server URL, or set "
                         "[Online] Server=URL in %s\n",
                         places.settingsFile.c_str());
            return 2;
        }
    }
    const std::string endpoint = replaysEndpoint(address);
    if (endpoint.empty()) {
        std::fprintf(stderr, "vortalix: '%s' is no http:// or https:// address\n", address.c_str());
        return 2;
    }
    std::vector<uint8_t> bytes;
    // The server decides what it takes; this only keeps a wrong file name from being read
    // whole into memory.
    const ReadStatus read = files.readFile(file, kMaxReplayFile, bytes);
    if (read != ReadStatus::Ok) {
        std::fprintf(stderr, "vortalix: %s: %s\n", file.c_str(),
                     read == ReadStatus::Missing      ? "no such file"
                     : read == ReadStatus::TooLarge   ? "too large for a replay"
                     : read == ReadStatus::NotRegular ? "not a regular file"
                                                      : "cannot be read");
        return 2;
    }
    const std::atomic<bool> never{false};
    const HttpReply reply = httpPostReplay(endpoint, bytes, HttpLimits{}, never);
    const SendReport said = readServerAnswer(reply);
    if (reply.status != 0) {
        std::printf("HTTP %d\n%s", int(reply.status), reply.body.c_str());
        if (!reply.body.empty() && reply.body.back() != '\n') std::printf("\n");
    }
    std::fprintf(stderr, "vortalix: %s: %s\n", file.c_str(), said.line.c_str());
    switch (said.outcome) {
    case SendOutcome::Accepted:
        return 0;
    case SendOutcome::Refused:
        return 1;
    case SendOutcome::TryLater:
        break;
    }
    return 2;
}
