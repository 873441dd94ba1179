// The ranking screen's music: C major seventh chords at an easy 84 beats a minute, a
// vibraphone tune over electric piano and fretless bass with brushes. Short intro, the tune
// (A), a turn to A minor (B) and a two-bar close.

#include "tools/assetgen/music_chords.h"
#include "tools/assetgen/music_mml.h"
#include "tools/assetgen/music_song.h"

namespace midi {

namespace {

const char* const kIntroChords = "Fmaj7 Em7";
const char* const kTuneChords = "Fmaj7 Em7 Dm7 Cmaj7 Fmaj7 Em7 Dm7 G7";
const char* const kTurnChords = "Am7 Em7 Fmaj7 G7";
const char* const kCloseChords = "Fmaj7";

const char* const kTune = "o5 e4. c8 <a4 >c4 |"  // Fmaj7
                          "o5 d4. <b8 g4 b4 |"   // Em7
                          "o5 c4 d8 e8 f4 a4 |"  // Dm7
                          "o5 g2. r4 |"          // Cmaj7
                          "o5 a4. g8 e4 c4 |"    // Fmaj7
                          "o5 d4. e8 g4 b4 |"    // Em7
                          "o6 c4 <a8 f8 e4 d4 |" // Dm7
                          "o5 d2. r4 |";         // G7
const char* const kTurn = "o5 e4 g4 a4 >c4 |"    // Am7
                          "o5 b2 g4 e4 |"        // Em7
                          "o5 a4. g8 e4 c4 |"    // Fmaj7
                          "o5 d4 f4 g4 b4 |";    // G7
const char* const kClose = "o5 a4. g8 e4 d4 |"   // Fmaj7
                           "o5 e1 |";            // Cmaj7

std::string allChords(const std::string& pattern, const std::string& last) {
    return overChords(kIntroChords, pattern) + overChords(kTuneChords, pattern) +
           overChords(kTurnChords, pattern) + overChords(kCloseChords, pattern) +
           overChords("Cmaj7", last);
}

std::vector<DrumSection> drums() {
    const char* const kick = "x.....o...o.....";
    const char* const stick = "....o.......o...";
    const char* const brush = "o.-.o.-.o.-.o.-.";
    const char* const empty = "................";
    const DrumSection intro{2, {{kPedalHat, std::string(empty) + "o...o...o...o..."}}};
    const DrumSection tune{8,
                           {{kKick, kick},
                            {kSideStick, stick},
                            {kClosedHat, brush},
                            {kRide, repeat(empty, 7) + "........o...o.o."}}};
    const DrumSection turn{4, {{kKick, kick}, {kSideStick, stick}, {kRide, "o.-.o.-.o.-.o.-."}}};
    const DrumSection close{2,
                            {{kKick, std::string(kick) + "x..............."},
                             {kSideStick, std::string(stick) + empty},
                             {kClosedHat, std::string(brush) + empty},
                             {kCrash, std::string(empty) + "o..............."}}};
    return {intro, tune, turn, close};
}

} // namespace

Song rankingTheme() {
    Song s;
    s.title = "VORTALIX ranking";
    s.bars = 2 + 8 + 4 + 2;
    s.tailTicks = 4 * kTicksPerQuarter;
    s.tempi = {{0, 84}, {s.bars - 1, 76}};
    const std::string melody = "v104 q92 r1 | r1 |" + std::string(kTune) + kTurn + kClose;
    s.voices = {
        {"Vibraphone", 0, 11, 116, 64, 60, 0, melody},
        {"Electric piano", 1, 4, 100, 48, 50, 0,
         "v80 q85 " + allChords("{C}4. {C}8 r4 {C}4 |", "q98 {C}1 |")},
        {"Fretless bass", 2, 35, 116, 64, 20, 0,
         "v96 q90 " + allChords("{R}4. {R}8 r8 {F}8 {O}4 |", "q98 {R}1 |")},
        {"Strings", 3, 49, 72, 80, 70, 0, "v64 q100 " + allChords("{C}1 |", "{C}1 |")},
    };
    s.drumKit = 40; // brushes; plain GM players fall back to the standard kit
    s.drumVolume = 100;
    s.drumReverb = 40;
    s.drums = drums();
    return s;
}

} // namespace midi
