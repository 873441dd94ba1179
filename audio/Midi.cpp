// Placeholder bodies; the music player lands with its own change.
#include "audio/Midi.h"
#include "platform/Platform.h"
TMCIMidi::TMCIMidi(Platform& p, uint32_t w) : wnd(w), platform_(&p) {}
TMCIMidi::~TMCIMidi() {}
void TMCIMidi::play(const std::string& f) {
    filename = f;
}
void TMCIMidi::stop() {}
void TMCIMidi::setenabled(uint8_t v) {
    enabled = v;
}
void TMCIMidi::send(const char*, const char*, bool) {}
