#include "audio/Midi.h"

#include "platform/Platform.h"

TMCIMidi::TMCIMidi(Platform& platform, uint32_t w) : wnd(w), platform_(&platform) {
    // Room for a command about a long path, so that starting a piece during play (the
    // game-over music) does not allocate.
    command_.reserve(4096);
    filename.reserve(4096);
}

TMCIMidi::~TMCIMidi() {
    stop();
}

void TMCIMidi::play(const std::string& file) {
    stop();
    filename = file; // remembered also while the switch is off, so switching on starts it
    if (enabled == 0) return;
    send("open", "", false);
    // The window is told when the piece ends; the game does nothing with it, so a piece plays
    // once and then the device stays open and silent until the next play or stop.
    send("play", " notify", true);
    playing = 1;
}

void TMCIMidi::stop() {
    if (playing == 0) return;
    send("stop", "", false);
    send("close", "", false);
    playing = 0;
}

void TMCIMidi::setenabled(uint8_t value) {
    if (value == enabled) return;
    enabled = value;
    if (value != 0)
        play(filename); // from the beginning of the remembered piece
    else
        stop();
}

void TMCIMidi::send(const char* verb, const char* suffix, bool notify) {
    command_.assign(verb);
    command_ += " \"";
    command_ += filename;
    command_ += '"';
    command_ += suffix;
    platform_->mciSendString(command_, notify);
}
