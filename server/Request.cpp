#include "server/Request.h"

#include <cstring>

namespace {

constexpr int64_t kMaxId = int64_t(1) << 53;
// The characters of the name entry's list, without its two commands.
constexpr const char* kNameChars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ";

bool digits(const std::string& text, int64_t high, int64_t& out) {
    if (text.empty() || text.size() > 18) return false;
    int64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    if (v > high) return false;
    out = v;
    return true;
}

} // namespace

bool queryNumber(const std::string& text, int64_t fallback, int64_t low, int64_t high,
                 int64_t& out) {
    if (text.empty()) {
        out = fallback;
        return true;
    }
    int64_t v = 0;
    if (!digits(text, high, v) || v < low) return false;
    out = v;
    return true;
}

bool pathId(const std::string& text, int64_t& out) {
    if (text.empty() || text[0] == '0') return false;
    return digits(text, kMaxId, out);
}

bool replayFileId(const std::string& text, int64_t& out) {
    constexpr const char* kSuffix = ".vtr";
    if (text.size() <= 4 || text.compare(text.size() - 4, 4, kSuffix) != 0) return false;
    return pathId(text.substr(0, text.size() - 4), out);
}

std::string forwardedAddress(const std::string& header) {
    const size_t comma = header.find(',');
    std::string first = header.substr(0, comma);
    const size_t a = first.find_first_not_of(" \t");
    if (a == std::string::npos) return std::string();
    const size_t b = first.find_last_not_of(" \t");
    first = first.substr(a, b - a + 1);
    if (first.size() > 64) return std::string();
    for (char c : first) {
        const bool ok = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') ||
                        (c >= 'A' && c <= 'F') || c == '.' || c == ':' || c == '[' || c == ']';
        if (!ok) return std::string();
    }
    return first;
}

bool isGameName(const std::string& name) {
    if (name.empty() || name.size() > 10) return false;
    for (char c : name)
        if (c == '\0' || std::strchr(kNameChars, c) == nullptr) return false;
    return true;
}
