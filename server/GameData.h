#pragma once
// The game's data files, read once when the server starts and kept in memory, and a platform
// that serves only those. A replay carries the player's settings, among them the path of a
// background picture; played on the server it must never make the server open a file of its
// own disk, nor write one. Every path it asks for is looked up in memory, and every write is
// refused.

#include "platform/Platform.h"

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// Where the data files seem to be in memory, as the game's own folder.
constexpr const char* kGameDataRoot = "/vortalix-data/";

struct GameData {
    // Paths under kGameDataRoot with '/' between folders, and their bytes.
    std::map<std::string, std::vector<uint8_t>> files;
};

// Reads image/, sound/ and the first ranking and settings files from `dir`. False with a
// reason when there is no image/ folder or a file cannot be read.
bool loadGameData(const std::string& dir, GameData& out, std::string& error);

// The data folder the server uses when none is named: the one beside the program (a build
// folder), else the installed one, found relative to the program as the game finds it.
std::string defaultDataDir(const std::string& programPath);

class MemoryPlatform : public Platform {
  public:
    explicit MemoryPlatform(const GameData& data) : data_(data) {}

    uint32_t timeGetTime() override { return 0; }
    uint32_t timeOfDayMs() override { return 0; }
    void idleUntil(uint32_t) override {}
    void pumpMessages() override {}
    bool getAsyncKeyState(uint8_t) override { return false; }
    void setClientSize(int32_t, int32_t) override {}
    void clientSize(int32_t& width, int32_t& height) const override {
        width = 240;
        height = 273;
    }
    void present(const Surface&) override {}
    void setDisplay(int32_t, int32_t, int32_t, bool) override {}
    void messageBox(const std::string& text, const std::string& caption) override;
    bool openFileDialog(const std::string&, const std::string&, const std::string&,
                        std::string&) override {
        return false;
    }
    std::string exeDir() override { return kGameDataRoot; }
    std::string installedDataDir() override { return kGameDataRoot; }
    std::optional<std::string> environment(const std::string&) override { return std::nullopt; }
    bool isDirectory(const std::string& path) override;
    bool isWritableDirectory(const std::string& path) override { return isDirectory(path); }
    bool makeDirectories(const std::string& path, std::string& error) override;
    std::vector<std::string> listFiles(const std::string&) override { return {}; }
    bool removeFile(const std::string&) override { return false; }
    int64_t unixTime() override { return 0; }
    std::string localTimeStamp() override { return "19700101-000000"; }
    bool fileExists(const std::string& path) override;
    ReadStatus readFile(const std::string& path, size_t maxBytes,
                        std::vector<uint8_t>& out) override;
    bool writeFileAtomic(const std::string& path, const void* data, size_t size,
                         std::string& error) override;
    void preloadSound(const std::string&) override {}
    void sndPlaySound(const std::string&) override {}
    void mciSendString(const std::string&, bool) override {}

    // The last message box the game showed (a start-up warning), for the log.
    std::string lastMessage;

  private:
    const GameData& data_;
};
