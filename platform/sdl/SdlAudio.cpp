// Placeholder; the SDL2_mixer backend lands with its own change.
#include "platform/sdl/SdlAudio.h"
struct SdlAudio::Impl {};
SdlAudio::SdlAudio() : impl_(nullptr) {}
SdlAudio::~SdlAudio() {}
void SdlAudio::init() {}
void SdlAudio::shutdown() {}
void SdlAudio::preloadSound(const std::string&) {}
void SdlAudio::playSound(const std::string&) {}
void SdlAudio::mciSendString(const std::string&, bool) {}
