#include "server/Submission.h"

#include "replay/ReplayVerify.h"
#include "server/Request.h"

#include <cstring>

namespace {

SubmissionResult fail(Verdict v, const std::string& detail) {
    SubmissionResult r;
    r.verdict = v;
    r.reason = verdictText(v);
    if (!detail.empty()) r.reason += ": " + detail;
    for (char& c : r.reason)
        if (c == '\n' || c == '\r') c = ' ';
    return r;
}

// The frames the event stream plays, whatever the header says: a run of plain frames is one
// number, so a few bytes could otherwise ask for billions of them. Stops counting past `cap`.
uint64_t streamFrames(const std::vector<uint8_t>& events, uint64_t cap) {
    uint64_t frames = 0;
    size_t at = 0;
    uint32_t n = 0;
    while (at < events.size() && frames <= cap) {
        const uint8_t code = events[at++];
        if (code == kEventKey) {
            ++at;
        } else if (!getNumber(events, at, n)) {
            break;
        } else {
            frames += code == kEventFrames ? n : 1;
        }
    }
    return frames;
}

uint32_t readU32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}

} // namespace

const char* verdictText(Verdict v) {
    switch (v) {
    case Verdict::Accepted:
        return "accepted";
    case Verdict::Unreadable:
        return "unreadable";
    case Verdict::DoesNotVerify:
        return "does not verify";
    case Verdict::Abandoned:
        return "abandoned game";
    case Verdict::NewerFormat:
        return "newer format";
    case Verdict::TooLong:
        return "too long";
    case Verdict::ServerFault:
        return "server fault";
    }
    return "unreadable";
}

const char* verdictLabel(Verdict v) {
    switch (v) {
    case Verdict::Accepted:
        return "accepted";
    case Verdict::Unreadable:
        return "unreadable";
    case Verdict::DoesNotVerify:
        return "does_not_verify";
    case Verdict::Abandoned:
        return "abandoned";
    case Verdict::NewerFormat:
        return "newer_format";
    case Verdict::TooLong:
        return "too_long";
    case Verdict::ServerFault:
        return "server_fault";
    }
    return "unreadable";
}

bool checkSubmissionHeader(const uint8_t* data, size_t size, uint32_t maxFrames,
                           SubmissionResult& out) {
    Replay r;
    std::string error;
    if (!decodeReplay(data, size, r, error, true)) {
        const bool newer = error.find("newer version") != std::string::npos;
        out = fail(newer ? Verdict::NewerFormat : Verdict::Unreadable, error);
        return false;
    }
    out.name = std::string(r.name.view());
    out.score = std::string(r.score.view());
    out.level = r.level;
    out.frames = r.frames;
    if ((r.flags & kReplayAbandoned) != 0) {
        out = fail(Verdict::Abandoned, "the game was given up");
        return false;
    }
    if ((r.flags & kReplayRanked) == 0) {
        out = fail(Verdict::Abandoned, "the game did not end with a ranking entry");
        return false;
    }
    if (!isGameName(out.name)) {
        out = fail(Verdict::Unreadable, "the name has characters the game does not offer");
        return false;
    }
    if (r.frames > maxFrames) {
        out = fail(Verdict::TooLong, std::to_string(r.frames) + " frames, at most " +
                                         std::to_string(maxFrames) + " are played");
        return false;
    }
    // The header's end, where the packed and unpacked sizes of the body stand.
    const size_t sizes =
        8 + 2 + 1 + 1 + r.gameVersion.size() + 8 + 1 + r.score.len + 1 + 1 + r.name.len + 4;
    if (sizes + 8 > size) {
        out = fail(Verdict::Unreadable, "cut short in its header");
        return false;
    }
    const uint32_t body = readU32(data + sizes + 4);
    if (body > kMaxSubmittedBody) {
        out = fail(Verdict::Unreadable, "claims a body of " + std::to_string(body) + " bytes");
        return false;
    }
    out.verdict = Verdict::Accepted;
    return true;
}

SubmissionResult judgeSubmission(Platform& platform, const uint8_t* data, size_t size,
                                 uint32_t maxFrames) {
    SubmissionResult head;
    if (!checkSubmissionHeader(data, size, maxFrames, head)) return head;
    Replay replay;
    std::string error;
    if (!decodeReplay(data, size, replay, error)) return fail(Verdict::Unreadable, error);
    const uint64_t played = streamFrames(replay.events, maxFrames);
    if (played > maxFrames)
        return fail(Verdict::TooLong,
                    "its recorded game runs past " + std::to_string(maxFrames) + " frames");
    const VerifyResult v = verifyReplay(platform, replay);
    if (v.outcome == VerifyOutcome::CannotStart)
        return fail(Verdict::ServerFault, "the game could not start on the server's data");
    if (v.outcome != VerifyOutcome::Matches) {
        std::string detail = "played again it ends with score " + std::string(v.score.view()) +
                             ", level " + std::to_string(v.level);
        if (v.desynchronised) detail += ", asking for other keys than recorded";
        return fail(Verdict::DoesNotVerify, detail);
    }
    head.verdict = Verdict::Accepted;
    head.reason = verdictText(Verdict::Accepted);
    return head;
}
