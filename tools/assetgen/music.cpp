// Writes the three pieces of music under sound\ as Standard MIDI Files.

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/music_song.h"

#include <cstdio>

namespace {

struct Piece {
    const char* file;
    midi::Song (*compose)();
};

const Piece kPieces[] = {
    {"main.mid", midi::mainTheme},
    {"ranking.mid", midi::rankingTheme},
    {"gameover.mid", midi::gameOverJingle},
};

} // namespace

bool writeMusic(const std::string& outDir) {
    bool ok = true;
    for (const Piece& p : kPieces) {
        std::vector<uint8_t> smf;
        std::string error;
        if (!midi::renderSong(p.compose(), smf, error)) {
            std::fprintf(stderr, "assetgen: %s: %s\n", p.file, error.c_str());
            ok = false;
            continue;
        }
        ok = writeFile(outDir + "/sound/" + p.file, smf.data(), smf.size()) && ok;
    }
    return ok;
}
