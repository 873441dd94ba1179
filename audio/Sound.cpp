#include "audio/Sound.h"

#include "app/GameState.h"
#include "platform/Platform.h"

namespace {

struct SoundEntry {
    const char* file;
    int32_t priority;
    int32_t duration;
};

// The count-down voices and the flash (100) cut off pick-ups and scratches; the death
// explosions (101, 102) are cut off by nothing smaller while they last.
constexpr SoundEntry kSounds[10] = {
    {"sound\\get.wav", 10, 471},      {"sound\\comp01.wav", 10, 271},
    {"sound\\baku03.wav", 101, 1000}, {"sound\\lvup.wav", 100, 500},
    {"sound\\scratch.wav", 5, 40},    {"sound\\baku05.wav", 102, 1500},
    {"sound\\count1.wav", 100, 200},  {"sound\\count2.wav", 100, 200},
    {"sound\\count3.wav", 100, 200},  {"sound\\count02.wav", 100, 200},
};

bool validIndex(int32_t n) {
    return n >= 0 && n < int32_t(std::tuple_size_v<decltype(GameState::soundtable)>);
}

} // namespace

void soundload(GameState& g, const std::string& file, int32_t priority, int32_t index,
               int32_t duration) {
    Platform& p = *g.platform;
    // The full path is made here, once: soundplay runs inside frames and must not build it.
    std::string path = g.basedir + nativePath(file);
    if (!p.fileExists(path)) {
        p.messageBox("WAVファイルが見つかりません！", "オープンエラー");
        p.halt(0);
    }
    if (!validIndex(index)) return;
    tsound& s = g.soundtable[size_t(index)];
    s.file = file;
    s.priority = priority;
    s.duration = duration;
    s.path = std::move(path);
    p.preloadSound(s.path);
}

void soundloadAll(GameState& g) {
    for (int32_t i = 0; i < 10; ++i)
        soundload(g, kSounds[i].file, kSounds[i].priority, i, kSounds[i].duration);
}

void soundplay(GameState& g, int32_t n) {
    if (g.seenabled == 0 || !validIndex(n)) return;
    const tsound& next = g.soundtable[size_t(n)];
    const int32_t curPriority =
        validIndex(g.soundcur) ? g.soundtable[size_t(g.soundcur)].priority : 0;
    if (next.priority < curPriority && g.soundleft > 0) return; // dropped, not queued
    // A file that has gone since start-up is not played, but still holds off lesser effects.
    if (!next.path.empty() && g.platform->fileExists(next.path))
        g.platform->sndPlaySound(next.path);
    g.soundcur = n;
    g.soundleft = next.duration;
}
