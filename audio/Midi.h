#pragma once
// The background music player. It speaks the media control command texts ("open", "play ...
// notify", "stop", "close") to the platform, one call per command.

#include <cstdint>
#include <string>

class Platform;

class TMCIMidi {
  public:
    TMCIMidi(Platform& platform, uint32_t wnd);
    virtual ~TMCIMidi();
    TMCIMidi(const TMCIMidi&) = delete;
    TMCIMidi& operator=(const TMCIMidi&) = delete;

    virtual void play(const std::string& file);
    void stop();
    void setenabled(uint8_t value);

    uint32_t wnd = 0;
    std::string filename;
    uint8_t enabled = 0;
    uint8_t playing = 0;

  private:
    void send(const char* verb, const char* suffix, bool notify);
    Platform* platform_;
    std::string command_; // reused, so a command costs no allocation once it has grown
};
