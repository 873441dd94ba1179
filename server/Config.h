#pragma once
// The server's settings: defaults, then a --config file of key=value lines, then the command
// line, each later one winning. The keys of the file are the long options without "--".

#include <cstdint>
#include <string>
#include <vector>

struct ServerConfig {
    std::string db = "scores.db";
    std::string listen = "127.0.0.1";
    uint16_t port = 8080;
    uint32_t workers = 0; // 0: one per core
    uint32_t queue = 16;
    uint32_t httpThreads = 64;
    uint64_t maxBody = 64 * 1024;
    uint32_t maxFrames = 450000;
    double ratePerMinute = 30;
    uint32_t burst = 10;
    bool trustForwarded = false;
    uint32_t timeoutSeconds = 5; // each read or write; a whole body gets twice that
    std::string site, tlsCert, tlsKey, data;
    bool help = false, version = false;
};

// One setting by its key; false with a reason for an unknown key or a bad value.
bool applySetting(ServerConfig& c, const std::string& key, const std::string& value,
                  std::string& error);
// The text of a config file: "key = value" lines, '#' comments, blank lines.
bool applyConfigText(ServerConfig& c, const std::string& text, std::string& error);
// The command line (without the program name). A --config file is read where it stands.
bool parseCommandLine(ServerConfig& c, const std::vector<std::string>& args, std::string& error);

const char* serverUsage();
