#pragma once
// The games waiting to be sent: copies of their replay files in "outbox/" inside the replays
// folder, under the replay's own name. A game is put there before it is sent and taken out
// once the server has answered for good, so a game is never lost to a server that is down,
// slow, or a program that ends half-way.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Platform;

class Outbox {
  public:
    // A few hundred games are kept at most: a player offline for months still keeps the
    // newest of them, and the replays folder keeps its own copies besides.
    static constexpr size_t kMaxGames = 500;

    // `replaysDir` with its trailing separator.
    Outbox(Platform& files, const std::string& replaysDir);

    const std::string& dir() const { return dir_; }
    // Writes the game in (atomically); false with a reason.
    bool keep(const std::string& name, const std::vector<uint8_t>& bytes, std::string& error);
    // The names of up to `count` waiting games, oldest first (the names begin with the date).
    std::vector<std::string> oldest(size_t count);
    bool read(const std::string& name, std::vector<uint8_t>& bytes);
    void drop(const std::string& name);

  private:
    std::vector<std::string> games();

    Platform& files_;
    std::string dir_;
};

// A line in the small log beside the replays: what became of each game sent. The log keeps
// its newest lines within kMaxSendLog bytes.
constexpr size_t kMaxSendLog = 64 * 1024;
void appendSendLog(Platform& files, const std::string& path, const std::string& line);
