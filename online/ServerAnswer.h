#pragma once
// What the scoreboard's answer to a sent game means for the player and for the outbox: the
// world rank, a refusal that sending again would not change, or a reason to try later.

#include "online/HttpPost.h"

#include <cstdint>
#include <string>

enum class SendOutcome : uint8_t {
    Accepted, // on the board (new, or the same file was there already)
    Refused,  // the server read it and will never take it: keeping it would not help
    TryLater, // no answer, or the server is busy or failing: the game stays in the outbox
};

struct SendReport {
    SendOutcome outcome = SendOutcome::TryLater;
    uint32_t rank = 0; // the world rank when accepted and the answer said it
    std::string line;  // one line for the player, printable, without the file's name
};

SendReport readServerAnswer(const HttpReply& reply);
// The address games are posted to, from the scoreboard's address as the settings give it;
// empty when it is no http:// or https:// address.
std::string replaysEndpoint(const std::string& server);
