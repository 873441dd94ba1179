#pragma once
// One replay file sent to the scoreboard as one HTTP request. The build picks the
// implementation: libcurl where Debian provides it (online/curl/), and one that never connects
// where there is none (online/none/), so the rest of the game is the same everywhere.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

struct HttpReply {
    // The HTTP status, 0 when no answer came (no connection, timeout, cancelled).
    int32_t status = 0;
    std::string body;  // at most kMaxReplyBody bytes of it
    std::string error; // why no answer came, one line
    // Seconds the server asked to wait before the next try (Retry-After), 0 when it did not.
    int32_t retryAfter = 0;
};

struct HttpLimits {
    int32_t connectSeconds = 5; // a server that is not there is given up quickly
    int32_t totalSeconds = 20;  // a server that accepts and never answers too
};

// The server's answer is one small JSON object; anything longer is cut there.
constexpr size_t kMaxReplyBody = 16 * 1024;

// The HTTP library's own set-up, made once by the program entry before any thread sends.
class HttpLibrary {
  public:
    HttpLibrary();
    ~HttpLibrary();
    HttpLibrary(const HttpLibrary&) = delete;
    HttpLibrary& operator=(const HttpLibrary&) = delete;
};

// True when this build can send at all.
bool httpSendingBuiltIn();
// POSTs `body` as application/octet-stream to `url`. Returns early, with no answer, once
// `cancel` turns true (the program is ending).
HttpReply httpPostReplay(const std::string& url, const std::vector<uint8_t>& body,
                         const HttpLimits& limits, const std::atomic<bool>& cancel);
