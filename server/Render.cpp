#include "server/Render.h"

#include <nlohmann/json.hpp>

namespace {

nlohmann::json entryObject(const Entry& e) {
    return {{"id", e.id},         {"name", e.name}, {"score", e.score}, {"level", e.level},
            {"frames", e.frames}, {"date", e.date}, {"rank", e.rank},   {"sha256", e.sha256}};
}

std::string html(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string entryJson(const Entry& e) {
    return entryObject(e).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string boardJson(int64_t total, const std::vector<Entry>& entries) {
    nlohmann::json list = nlohmann::json::array();
    for (const Entry& e : entries) list.push_back(entryObject(e));
    const nlohmann::json doc = {{"total", total}, {"entries", std::move(list)}};
    return doc.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

std::string errorJson(const std::string& message) {
    return nlohmann::json{{"error", message}}.dump(-1, ' ', false,
                                                   nlohmann::json::error_handler_t::replace);
}

std::string boardPage(const std::vector<Entry>& entries, bool hasSite) {
    std::string out = "<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\">"
                      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">"
                      "<title>VORTALIX-Revision- scoreboard</title>"
                      "<style>body{font-family:monospace;background:#000;color:#fff;margin:2em}"
                      "table{border-collapse:collapse}td,th{padding:2px 10px;text-align:left}"
                      "td.score{text-align:right;max-width:40em;overflow-wrap:anywhere}"
                      "a{color:#8cf}</style></head><body>\n"
                      "<h1>VORTALIX-Revision- scoreboard</h1>\n"
                      "<p>Every score here was proved by playing its replay again.";
    if (hasSite) out += " <a href=\"/play/\">Play in the browser</a>.";
    out += "</p>\n<table>\n<tr><th>Rank</th><th>Name</th><th>Score</th><th>Level</th>"
           "<th>Date</th><th></th><th></th></tr>\n";
    for (const Entry& e : entries) {
        const std::string file = "/api/v1/replays/" + std::to_string(e.id) + ".vtr";
        out += "<tr><td>" + std::to_string(e.rank) + "</td><td>" + html(e.name) +
               "</td><td class=\"score\">" + html(e.score) + "</td><td>" + std::to_string(e.level) +
               "</td><td>" + html(e.date) + "</td><td><a href=\"" + file +
               "\" download>replay</a></td><td><a href=\"/play/?replay=" + file +
               "\">watch</a></td></tr>\n";
    }
    if (entries.empty()) out += "<tr><td colspan=\"7\">No scores yet.</td></tr>\n";
    out += "</table>\n</body></html>\n";
    return out;
}
