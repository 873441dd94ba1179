#pragma once
// A platform that hands every call to another one. Recording and playing back a game sit
// between the game and the real platform this way: each overrides only what it must see or
// replace, and the window's events pass through `onKeyDown` and `onCloseRequest` on their way
// to the game.

#include "platform/Platform.h"

class ForwardingPlatform : public Platform, public WindowEvents {
  public:
    explicit ForwardingPlatform(Platform& inner) : inner_(inner) { inner_.setEventSink(this); }
    ~ForwardingPlatform() override { inner_.setEventSink(nullptr); }
    ForwardingPlatform(const ForwardingPlatform&) = delete;
    ForwardingPlatform& operator=(const ForwardingPlatform&) = delete;

    Platform& inner() { return inner_; }

    // --- events from the inner platform, on their way to the game ---
    void onKeyDown(uint8_t key) override {
        if (events_ != nullptr) events_->onKeyDown(key);
    }
    void onCloseRequest() override {
        if (events_ != nullptr) events_->onCloseRequest();
    }

    uint32_t timeGetTime() override { return inner_.timeGetTime(); }
    uint32_t timeOfDayMs() override { return inner_.timeOfDayMs(); }
    void idleUntil(uint32_t ms) override { inner_.idleUntil(ms); }
    void pumpMessages() override { inner_.pumpMessages(); }
    bool getAsyncKeyState(uint8_t key) override { return inner_.getAsyncKeyState(key); }
    void setClientSize(int32_t width, int32_t height) override {
        inner_.setClientSize(width, height);
    }
    void clientSize(int32_t& width, int32_t& height) const override {
        inner_.clientSize(width, height);
    }
    void present(const Surface& frame) override { inner_.present(frame); }
    void messageBox(const std::string& text, const std::string& caption) override {
        inner_.messageBox(text, caption);
    }
    bool openFileDialog(const std::string& title, const std::string& filter,
                        const std::string& defaultExt, std::string& path) override {
        return inner_.openFileDialog(title, filter, defaultExt, path);
    }
    std::string exeDir() override { return inner_.exeDir(); }
    std::string installedDataDir() override { return inner_.installedDataDir(); }
    std::optional<std::string> environment(const std::string& name) override {
        return inner_.environment(name);
    }
    bool isDirectory(const std::string& path) override { return inner_.isDirectory(path); }
    bool isWritableDirectory(const std::string& path) override {
        return inner_.isWritableDirectory(path);
    }
    bool makeDirectories(const std::string& path, std::string& error) override {
        return inner_.makeDirectories(path, error);
    }
    std::vector<std::string> listFiles(const std::string& dir) override {
        return inner_.listFiles(dir);
    }
    bool removeFile(const std::string& path) override { return inner_.removeFile(path); }
    int64_t unixTime() override { return inner_.unixTime(); }
    std::string localTimeStamp() override { return inner_.localTimeStamp(); }
    bool fileExists(const std::string& path) override { return inner_.fileExists(path); }
    ReadStatus readFile(const std::string& path, size_t maxBytes,
                        std::vector<uint8_t>& out) override {
        return inner_.readFile(path, maxBytes, out);
    }
    bool writeFileAtomic(const std::string& path, const void* data, size_t size,
                         std::string& error) override {
        return inner_.writeFileAtomic(path, data, size, error);
    }
    void preloadSound(const std::string& path) override { inner_.preloadSound(path); }
    void sndPlaySound(const std::string& path) override { inner_.sndPlaySound(path); }
    void mciSendString(const std::string& command, bool notifyWindow) override {
        inner_.mciSendString(command, notifyWindow);
    }

  private:
    Platform& inner_;
};
