#include "platform/sdl/SoundFonts.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

namespace {

// Where Debian puts a General MIDI soundfont: fluid-soundfont-gm, then whatever the
// alternatives system names as the default, then timgm6mb-soundfont.
const char* const kDebianSoundFonts[] = {
    "/usr/share/sounds/sf2/FluidR3_GM.sf2",
    "/usr/share/sounds/sf2/default-GM.sf2",
    "/usr/share/sounds/sf3/default-GM.sf3",
    "/usr/share/sounds/sf2/TimGM6mb.sf2",
};

bool regularFile(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool nonEmpty(const char* s) {
    return s && *s;
}

// Every entry of the list that names a file, in the order given.
std::vector<std::string> existingEntries(const char* list) {
    std::vector<std::string> found;
    std::string path;
    for (const char* c = list;; ++c) {
        if (*c == ':' || *c == ';' || *c == '\0') {
            if (!path.empty() && regularFile(path)) found.push_back(path);
            path.clear();
            if (*c == '\0') return found;
        } else {
            path += *c;
        }
    }
}

} // namespace

std::vector<std::string> chooseSoundFonts() {
    const char* ours = std::getenv("VORTALIX_SOUNDFONT");
    const char* sdls = std::getenv("SDL_SOUNDFONTS");
    const char* named = nonEmpty(ours) ? ours : nonEmpty(sdls) ? sdls : nullptr;
    if (named) {
        std::vector<std::string> found = existingEntries(named);
        if (found.empty())
            std::fprintf(stderr, "vortalix: soundfont %s not found; the music stays silent\n",
                         named);
        return found;
    }
    for (const char* path : kDebianSoundFonts)
        if (regularFile(path)) return {path};
    std::fprintf(stderr, "vortalix: no General MIDI soundfont found (install fluid-soundfont-gm "
                         "or set VORTALIX_SOUNDFONT); the music stays silent\n");
    return {};
}
