#include "online/ServerAnswer.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

// A server's words are shown on a terminal and written to a log: one line of plain text.
constexpr size_t kMaxText = 200;

std::string oneLine(const std::string& text) {
    std::string out;
    for (const char c : text) {
        if (out.size() >= kMaxText) break;
        const unsigned char u = static_cast<unsigned char>(c);
        out.push_back(u < 0x20 || u == 0x7f ? ' ' : c);
    }
    return out;
}

std::string textField(const nlohmann::json& doc, const char* key) {
    if (!doc.is_object()) return {};
    const auto it = doc.find(key);
    if (it == doc.end() || !it->is_string()) return {};
    return oneLine(it->get<std::string>());
}

uint32_t rankField(const nlohmann::json& doc) {
    if (!doc.is_object()) return 0;
    const auto it = doc.find("rank");
    if (it == doc.end() || !it->is_number_unsigned()) return 0;
    const uint64_t rank = it->get<uint64_t>();
    return rank > UINT32_MAX ? 0 : uint32_t(rank);
}

} // namespace

SendReport readServerAnswer(const HttpReply& reply) {
    SendReport r;
    const nlohmann::json doc = nlohmann::json::parse(reply.body, nullptr, false);
    const std::string status = std::to_string(reply.status);
    if (reply.status == 0) {
        r.line = "not sent: " + oneLine(reply.error);
        return r;
    }
    if (reply.status >= 200 && reply.status < 300) {
        r.outcome = SendOutcome::Accepted;
        r.rank = rankField(doc);
        const std::string score = textField(doc, "score");
        const std::string before = reply.status == 200 ? "already on the board: " : "";
        if (r.rank == 0)
            r.line = before + "accepted (HTTP " + status + ")";
        else
            r.line = before + "world rank " + std::to_string(r.rank) +
                     (score.empty() ? "" : " with " + score);
        return r;
    }
    std::string why = textField(doc, "error");
    if (why.empty()) why = "HTTP " + status;
    const bool busy = reply.status == 408 || reply.status == 429 || reply.status >= 500;
    if (busy || reply.status < 400) {
        r.line = "not sent: " + why;
        if (reply.retryAfter > 0)
            r.line += " (the server asks to wait " + std::to_string(reply.retryAfter) + " s)";
        return r;
    }
    r.outcome = SendOutcome::Refused;
    r.line = "refused: " + why + (why.rfind("HTTP ", 0) == 0 ? "" : " (HTTP " + status + ")");
    return r;
}

std::string replaysEndpoint(const std::string& server) {
    const bool web = server.rfind("http://", 0) == 0 || server.rfind("https://", 0) == 0;
    if (!web || server.size() > 2000) return {};
    for (const char c : server)
        if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7f) return {};
    std::string base = server;
    while (!base.empty() && base.back() == '/') base.pop_back();
    return base + "/api/v1/replays";
}
