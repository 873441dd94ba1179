#include "app/ScriptedRun.h"

#include "app/KeyNames.h"

#include <cerrno>
#include <cstdlib>

namespace {

// A whole decimal number in 0..max, nothing else.
bool wholeNumber(const std::string& text, uint64_t max, uint64_t& out) {
    if (text.empty() || text.size() > 19) return false;
    for (const char c : text)
        if (c < '0' || c > '9') return false;
    errno = 0;
    const unsigned long long v = std::strtoull(text.c_str(), nullptr, 10);
    if (errno != 0 || v > max) return false;
    out = v;
    return true;
}

} // namespace

bool parseScriptedRun(int argc, const char* const* argv, ScriptedRun& out, std::string& error) {
    out = ScriptedRun{};
    constexpr uint64_t kMaxFrames = uint64_t(1) << 40;
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (i + 1 >= argc) {
            error = "missing value after " + option;
            return false;
        }
        const std::string value = argv[++i];
        uint64_t n = 0;
        if (option == "--seed") {
            if (!wholeNumber(value, UINT32_MAX, n)) {
                error = "bad seed " + value;
                return false;
            }
            out.seed = uint32_t(n);
        } else if (option == "--frames") {
            if (!wholeNumber(value, kMaxFrames, n)) {
                error = "bad frame count " + value;
                return false;
            }
            out.frames = int64_t(n);
        } else if (option == "--key") {
            const size_t colon = value.find(':');
            const int code = colon == std::string::npos ? -1 : keyCode(value.substr(colon + 1));
            if (code < 0 || !wholeNumber(value.substr(0, colon), kMaxFrames, n)) {
                error = "bad key event " + value;
                return false;
            }
            if (out.keyCount == out.keys.size()) {
                error = "more than " + std::to_string(out.keys.size()) + " key events";
                return false;
            }
            out.keys[out.keyCount++] = {int64_t(n), uint8_t(code)};
        } else {
            error = "unknown option " + option;
            return false;
        }
        out.on = true;
    }
    return true;
}
