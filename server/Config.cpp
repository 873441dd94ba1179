#include "server/Config.h"

#include <fstream>
#include <sstream>

namespace {

// No config file is read past this size: a real one is a few hundred bytes.
constexpr std::streamsize kMaxConfigFile = 64 * 1024;

bool number(const std::string& text, uint64_t low, uint64_t high, uint64_t& out) {
    if (text.empty() || text.size() > 19) return false;
    uint64_t v = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + uint64_t(c - '0');
    }
    if (v < low || v > high) return false;
    out = v;
    return true;
}

std::string trimmed(const std::string& s) {
    const size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return std::string();
    const size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

bool flag(const std::string& value, bool& out) {
    if (value == "1" || value == "true" || value == "yes" || value == "on") {
        out = true;
        return true;
    }
    if (value == "0" || value == "false" || value == "no" || value == "off") {
        out = false;
        return true;
    }
    return false;
}

} // namespace

bool applySetting(ServerConfig& c, const std::string& key, const std::string& value,
                  std::string& error) {
    uint64_t n = 0;
    bool ok = true;
    if (key == "db") {
        ok = !value.empty();
        c.db = value;
    } else if (key == "listen") {
        ok = !value.empty();
        c.listen = value;
    } else if (key == "port") {
        ok = number(value, 0, 65535, n);
        c.port = uint16_t(n);
    } else if (key == "workers") {
        ok = number(value, 0, 256, n);
        c.workers = uint32_t(n);
    } else if (key == "queue") {
        ok = number(value, 1, 100000, n);
        c.queue = uint32_t(n);
    } else if (key == "http-threads") {
        ok = number(value, 1, 1024, n);
        c.httpThreads = uint32_t(n);
    } else if (key == "max-body") {
        ok = number(value, 64, uint64_t(64) * 1024 * 1024, n);
        c.maxBody = n;
    } else if (key == "max-frames") {
        ok = number(value, 1, 0xffffffffu, n);
        c.maxFrames = uint32_t(n);
    } else if (key == "rate") {
        ok = number(value, 0, 1000000, n);
        c.ratePerMinute = double(n);
    } else if (key == "burst") {
        ok = number(value, 1, 1000000, n);
        c.burst = uint32_t(n);
    } else if (key == "timeout") {
        ok = number(value, 1, 3600, n);
        c.timeoutSeconds = uint32_t(n);
    } else if (key == "trust-forwarded") {
        ok = flag(value, c.trustForwarded);
    } else if (key == "site") {
        c.site = value;
    } else if (key == "tls-cert") {
        c.tlsCert = value;
    } else if (key == "tls-key") {
        c.tlsKey = value;
    } else if (key == "data") {
        c.data = value;
    } else {
        error = "unknown setting " + key;
        return false;
    }
    if (!ok) error = "bad value for " + key + ": " + value;
    return ok;
}

bool applyConfigText(ServerConfig& c, const std::string& text, std::string& error) {
    std::istringstream in(text);
    std::string line;
    int32_t number = 0;
    while (std::getline(in, line)) {
        ++number;
        const std::string t = trimmed(line);
        if (t.empty() || t[0] == '#') continue;
        const size_t eq = t.find('=');
        if (eq == std::string::npos) {
            error = "line " + std::to_string(number) + ": no '=' in it";
            return false;
        }
        if (!applySetting(c, trimmed(t.substr(0, eq)), trimmed(t.substr(eq + 1)), error)) {
            error = "line " + std::to_string(number) + ": " + error;
            return false;
        }
    }
    return true;
}

bool parseCommandLine(ServerConfig& c, const std::vector<std::string>& args, std::string& error) {
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            c.help = true;
            continue;
        }
        if (a == "--version") {
            c.version = true;
            continue;
        }
        if (a == "--trust-forwarded") {
            c.trustForwarded = true;
            continue;
        }
        if (a.rfind("--", 0) != 0) {
            error = "unexpected argument " + a;
            return false;
        }
        std::string key = a.substr(2), value;
        const size_t eq = key.find('=');
        if (eq != std::string::npos) {
            value = key.substr(eq + 1);
            key.resize(eq);
        } else if (i + 1 < args.size()) {
            value = args[++i];
        } else {
            error = "missing value after " + a;
            return false;
        }
        if (key == "config") {
            std::ifstream f(value, std::ios::binary);
            if (!f) {
                error = "cannot read the config file " + value;
                return false;
            }
            std::string text(size_t(kMaxConfigFile) + 1, '\0');
            f.read(text.data(), kMaxConfigFile + 1);
            text.resize(size_t(f.gcount()));
            if (text.size() > size_t(kMaxConfigFile)) {
                error = "the config file " + value + " is too large";
                return false;
            }
            if (!applyConfigText(c, text, error)) {
                error = value + ": " + error;
                return false;
            }
            continue;
        }
        if (!applySetting(c, key, value, error)) return false;
    }
    return true;
}

const char* serverUsage() {
    return "usage: vortalix-scores [options]\n"
           "A scoreboard that accepts a score only when its replay plays out to it.\n"
           "With no options it serves ./scores.db on 127.0.0.1:8080.\n"
           "\n"
           "  --db PATH | --db postgresql://...  SQLite file (default scores.db) or PostgreSQL\n"
           "  --listen ADDR        address to listen on (default 127.0.0.1)\n"
           "  --port N             port (default 8080; 0 picks a free one)\n"
           "  --workers N          verifying threads (default: one per core)\n"
           "  --queue N            submissions waiting to be verified before 503 (default 16)\n"
           "  --http-threads N     connections served at once (default 64)\n"
           "  --max-body BYTES     largest replay accepted (default 65536)\n"
           "  --max-frames N       longest game played (default 450000, two hours)\n"
           "  --rate PER_MINUTE    submissions per address and minute (default 30; 0: no limit)\n"
           "  --burst N            submissions an address may send at once (default 10)\n"
           "  --timeout SECONDS    read and write timeout (default 5)\n"
           "  --trust-forwarded    take the address from X-Forwarded-For (behind a proxy)\n"
           "  --site DIR           serve the browser build from DIR at /play/\n"
           "  --tls-cert FILE --tls-key FILE  serve HTTPS\n"
           "  --data DIR           the game's data files (default: beside the program, else\n"
           "                       the installed ones)\n"
           "  --config FILE        key=value settings, keys as the options without \"--\"\n"
           "  --help, --version\n";
}
