// The game-over jingle: over a held A minor chord the brass falls down the chromatic line
// A, G#, G, F#, then F, E and home to A, with a timpani stroke on the last chord.

#include "tools/assetgen/music_mml.h"
#include "tools/assetgen/music_song.h"

namespace midi {

Song gameOverJingle() {
    Song s;
    s.title = "VORTALIX game over";
    s.bars = 2;
    s.tailTicks = 2 * kTicksPerQuarter;
    s.tempi = {{0, 96}};
    s.voices = {
        {"Brass", 0, 61, 120, 64, 50, 0, "v100 q95 o5 a4 g+4 g4 f+4 | o5 f4 e4 <a2 |"},
        {"Strings", 1, 48, 100, 52, 70, 0,
         "v84 q100 [o4 c e]1 | [o3 a o4 c f]4 [o3 g+ b o4 e]4 [o3 a o4 c e]2 |"},
        {"Bass", 2, 38, 110, 64, 20, 0, "v100 q95 o2 a1 | o2 f4 e4 a2 |"},
        {"Timpani", 3, 47, 116, 72, 40, 0, "v90 q95 r1 | r4 o2 e4 v116 a2 |"},
    };
    s.drumKit = 0;
    s.drumVolume = 110;
    s.drumReverb = 50;
    s.drums = {DrumSection{2,
                           {{kSnare, "................-.-.o.o.x......."},
                            {kCrash, "........................X......."},
                            {kKick, "........................x......."}}}};
    return s;
}

} // namespace midi
