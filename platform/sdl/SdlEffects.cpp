#include "platform/sdl/SdlEffects.h"

#include "audio/AudioFiles.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdint>
#include <cstdio>
#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace {

#ifdef _WIN32

// Windows' stat() takes the path in the ANSI code page; its own call takes UTF-16. The path is
// converted on the stack, since a sound is stamped again each time it plays.
bool stampOf(const char* path, SdlEffects::Stamp& s) {
    wchar_t wide[4096];
    if (MultiByteToWideChar(CP_UTF8, 0, path, -1, wide, 4096) == 0) return false;
    WIN32_FILE_ATTRIBUTE_DATA a;
    if (!GetFileAttributesExW(wide, GetFileExInfoStandard, &a)) return false;
    const auto high = [](DWORD hi, DWORD lo) { return (uint64_t(hi) << 32) | lo; };
    const uint64_t written =
        high(a.ftLastWriteTime.dwHighDateTime, a.ftLastWriteTime.dwLowDateTime);
    s.size = (long long)high(a.nFileSizeHigh, a.nFileSizeLow);
    s.mtimeSec = (long long)(written / 10000000); // 100 ns units
    s.mtimeNsec = (long long)(written % 10000000) * 100;
    return true;
}

#else

bool stampOf(const char* path, SdlEffects::Stamp& s) {
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    s.dev = st.st_dev;
    s.ino = st.st_ino;
    s.size = st.st_size;
    s.mtimeSec = st.st_mtim.tv_sec;
    s.mtimeNsec = st.st_mtim.tv_nsec;
    return true;
}

#endif

bool sameStamp(const SdlEffects::Stamp& a, const SdlEffects::Stamp& b) {
    return a.dev == b.dev && a.ino == b.ino && a.size == b.size && a.mtimeSec == b.mtimeSec &&
           a.mtimeNsec == b.mtimeNsec;
}

} // namespace

void SdlEffects::preload(const std::string& path) {
    for (const Effect& e : effects_)
        if (e.path == path) return;
    Effect e;
    e.path = path;
    std::vector<uint8_t> bytes;
    // Checked before SDL sees it: handed a MIDI file by mistake, Mix_LoadWAV renders it as
    // music, for half a minute and with the audio device locked.
    if (stampOf(path.c_str(), e.stamp) && readAudioFile(path.c_str(), kMaxWavBytes, bytes) &&
        isPlayableWav(bytes)) {
        SDL_RWops* rw = SDL_RWFromConstMem(bytes.data(), int(bytes.size()));
        if (rw) e.chunk = Mix_LoadWAV_RW(rw, 1);
    }
    if (!e.chunk)
        std::fprintf(stderr, "vortalix: %s is not a playable WAV file; it stays silent\n",
                     path.c_str());
    effects_.push_back(std::move(e));
}

void SdlEffects::play(const std::string& path) {
    for (const Effect& e : effects_) {
        if (e.path != path) continue;
        // Decoding is done at start-up only; a file replaced since then is not what was
        // checked, and decoding it now would hold up the frame, so it stays silent.
        Stamp now;
        if (!e.chunk || !stampOf(path.c_str(), now) || !sameStamp(now, e.stamp)) return;
        Mix_PlayChannel(0, e.chunk, 0);
        return;
    }
}

void SdlEffects::clear() {
    if (effects_.empty()) return;
    Mix_HaltChannel(-1);
    for (Effect& e : effects_)
        if (e.chunk) Mix_FreeChunk(e.chunk);
    effects_.clear();
}
