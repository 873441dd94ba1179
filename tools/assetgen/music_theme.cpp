// The game theme: A minor, 144 beats a minute, four-on-the-floor. Intro, the sixteen-bar tune
// (A), a broader middle part (B), a break that builds back up, the tune again with the lead
// doubled and the drums fuller (A'), and an ending that slows into a held A minor chord.

#include "tools/assetgen/music_chords.h"
#include "tools/assetgen/music_mml.h"
#include "tools/assetgen/music_song.h"

namespace midi {

namespace {

// One progression per section; every accompaniment part reads these.
const char* const kIntroChords = "Am F G E";
const char* const kTuneChords = "Am F C G Am F G E";
const char* const kMiddleChords = "F G Em Am Dm G C E";
const char* const kEndingChords = "Am F E";

// The tune: bars 1-4 the call, bars 5-8 the answer; the second time the answer turns up
// to E6 and drops onto the leading note.
const char* const kTuneCall = "o5 e4 a8 b8 >c8 <b8 a8 e8 |"    // Am
                              "o5 f4. a8 >c8 <a8 g8 f8 |"      // F
                              "o5 e4 g8 >c8 e8 d8 c8 <g8 |"    // C
                              "o5 d2 r8 d8 e8 g8 |";           // G
const char* const kTuneAnswer = "o5 a4 >c8 e8 a8 g8 e8 d8 |"   // Am
                                "o6 c4. <a8 f8 a8 >c8 d8 |"    // F
                                "o6 d4 <b8 g8 b8 >d8 <b8 g8 |" // G
                                "o5 g+4 e8 g+8 b2 |";          // E
const char* const kTuneAnswer2 = "o5 a4 >c8 e8 a8 g8 e8 d8 |"  // Am
                                 "o6 c4. <a8 f8 a8 >c8 d8 |"   // F
                                 "o6 d8 <b8 g8 b8 >d4 e4 |"    // G
                                 "o6 e4. d8 <b4 g+4 |";        // E
// The middle part sings in long notes over the wider harmony.
const char* const kMiddle = "o6 c2 <a4 >c4 |"      // F
                            "o6 d2. <b4 |"         // G
                            "o5 g4 b4 >e4 d4 |"    // Em
                            "o6 c2. <a4 |"         // Am
                            "o5 a4 >d4 f4 e4 |"    // Dm
                            "o6 d4 c4 <b4 g4 |"    // G
                            "o6 c8 d8 e4 g4 e4 |"  // C
                            "o5 b4 >d4 <b4 g+4 |"; // E
const char* const kEnding = "o5 e4 a4 >c4 e4 |"    // Am
                            "o6 d4. c8 <a4 f4 |"   // F
                            "o5 g+4 b4 >d4 <b4 |"  // E
                            "o5 a1 |";             // Am

const char* const kBarRest = "r1 |";

std::string rests(int32_t bars) {
    return repeat(kBarRest, bars);
}

std::string tune() {
    return std::string(kTuneCall) + kTuneAnswer + kTuneCall + kTuneAnswer2;
}

std::string lead() {
    return "v100 q80 " + rests(4) + tune() + "q95 " + kMiddle + "q80 " + rests(4) + tune() +
           kEnding;
}

std::string bass() {
    const std::string held = "{R}1 |";
    const std::string pump = "{R}8 {O}8 {R}8 {O}8 {R}8 {O}8 {R}8 {O}8 |";
    const std::string drive = "{R}8 {R}8 {F}8 {R}8 {O}8 {R}8 {F}8 {R}8 |";
    return "v104 q70 " + overChords("Am F", held) + overChords("G E", pump) +
           overChords(kTuneChords, pump) + overChords(kTuneChords, pump) +
           overChords(kMiddleChords, drive) + overChords("Am F G", held) + overChords("E", pump) +
           overChords(kTuneChords, pump) + overChords(kTuneChords, pump) +
           overChords(kEndingChords, pump) + overChords("Am", "q95 {R}1 |");
}

// Off-beat chord stabs in the tune sections.
std::string stabs() {
    const std::string offbeat = "r8 {C}8 r8 {C}8 r8 {C}8 r8 {C}8 |";
    return "v84 q45 " + rests(4) + overChords(kTuneChords, offbeat) +
           overChords(kTuneChords, offbeat) + rests(8 + 4) + overChords(kTuneChords, offbeat) +
           overChords(kTuneChords, offbeat) + overChords(kEndingChords, offbeat) +
           overChords("Am", "q95 {C}1 |");
}

std::string pad() {
    const std::string whole = "{C}1 |";
    return "v72 q100 " + overChords(kIntroChords, whole) + overChords(kTuneChords, whole) +
           overChords(kTuneChords, whole) + overChords(kMiddleChords, "{U}1 |") +
           overChords(kIntroChords, "{U}1 |") + overChords(kTuneChords, whole) +
           overChords(kTuneChords, whole) + overChords(kEndingChords, whole) +
           overChords("Am", "{U}1 |");
}

std::string arpeggio() {
    const std::string up = "{1}16 {2}16 {3}16 {4}16 {2}16 {3}16 {4}16 {5}16 "
                           "{3}16 {4}16 {5}16 {6}16 {4}16 {3}16 {2}16 {1}16 |";
    return "v76 q50 " + overChords(kIntroChords, up) + rests(16 + 8) +
           overChords(kIntroChords, up) + overChords(kTuneChords, up) +
           overChords(kTuneChords, up) + rests(4);
}

// Sixteenth grids, one bar each.
const char* const kFour = "x...x...x...x...";
const char* const kBackbeat = "....x.......x...";
const char* const kEighths = "o.o.o.o.o.o.o.o.";
const char* const kOnBeats = "o...o...o...o...";
const char* const kOffBeats = "..o...o...o...o.";
const char* const kSixteenths = "o-.-o-.-o-.-o-.-";
const char* const kCrashBar = "X...............";
const char* const kEmpty = "................";
const char* const kSnareFill = "....x.......x.xx";
const char* const kRoll = "x.x.x.x.xxxxxxxx";

// A section of one grid with a different last bar (a fill), or a different first bar.
std::string lastBar(const char* bar, const char* last, int32_t bars) {
    return repeat(bar, bars - 1) + last;
}
std::string firstBar(const char* first, const char* bar, int32_t bars) {
    return first + repeat(bar, bars - 1);
}

std::vector<DrumSection> drums() {
    const DrumSection intro{4,
                            {{kKick, kFour},
                             {kClosedHat, repeat(kEmpty, 2) + repeat(kEighths, 2)},
                             {kSnare, lastBar(kEmpty, "........x.x.xxxx", 4)}}};
    const DrumSection tune1{8,
                            {{kCrash, firstBar(kCrashBar, kEmpty, 8)},
                             {kKick, kFour},
                             {kSnare, lastBar(kBackbeat, kSnareFill, 8)},
                             {kClosedHat, kEighths}}};
    const DrumSection tune2{8,
                            {{kCrash, firstBar(kCrashBar, kEmpty, 8)},
                             {kKick, kFour},
                             {kSnare, lastBar(kBackbeat, kRoll, 8)},
                             {kClosedHat, kOnBeats},
                             {kOpenHat, lastBar(kOffBeats, kEmpty, 8)}}};
    const DrumSection middle{8,
                             {{kCrash, firstBar(kCrashBar, kEmpty, 8)},
                              {kKick, kFour},
                              {kSnare, lastBar(kBackbeat, "....x...........", 8)},
                              {kRide, lastBar(kEighths, kEmpty, 8)},
                              {kHighTom, lastBar(kEmpty, "........x.x.....", 8)},
                              {kMidTom, lastBar(kEmpty, "............x.x.", 8)},
                              {kLowTom, lastBar(kEmpty, "..............xx", 8)}}};
    const DrumSection breakdown{4,
                                {{kCrash, firstBar(kCrashBar, kEmpty, 4)},
                                 {kKick, repeat(kEmpty, 2) + repeat(kFour, 2)},
                                 {kClosedHat, kSixteenths},
                                 {kSnare, repeat(kEmpty, 2) + kOnBeats + kRoll}}};
    const DrumSection last1{8,
                            {{kCrash, firstBar(kCrashBar, kEmpty, 8)},
                             {kKick, kFour},
                             {kSnare, lastBar(kBackbeat, kSnareFill, 8)},
                             {kClap, kBackbeat},
                             {kClosedHat, kSixteenths},
                             {kOpenHat, kOffBeats}}};
    const DrumSection last2{8,
                            {{kCrash, firstBar(kCrashBar, kEmpty, 8)},
                             {kKick, kFour},
                             {kSnare, lastBar(kBackbeat, kRoll, 8)},
                             {kClap, kBackbeat},
                             {kClosedHat, kSixteenths},
                             {kOpenHat, lastBar(kOffBeats, kEmpty, 8)}}};
    const DrumSection ending{4,
                             {{kCrash, std::string(kCrashBar) + repeat(kEmpty, 2) + kCrashBar},
                              {kKick, lastBar(kFour, "x...............", 4)},
                              {kSnare, lastBar(kBackbeat, kEmpty, 4)},
                              {kClosedHat, lastBar(kEighths, kEmpty, 4)}}};
    return {intro, tune1, tune2, middle, breakdown, last1, last2, ending};
}

} // namespace

Song mainTheme() {
    Song s;
    s.title = "VORTALIX main theme";
    s.bars = 4 + 16 + 8 + 4 + 16 + 4;
    s.tailTicks = 2 * kTicksPerQuarter;
    // Held back in the last two bars, so the end lands rather than stops.
    s.tempi = {{0, 144}, {s.bars - 2, 136}, {s.bars - 1, 124}};
    // name, channel, program, volume, pan, reverb, transpose, notes
    s.voices = {
        {"Lead", 0, 80, 92, 64, 40, 0, lead()},
        {"Lead low", 5, 62, 64, 84, 50, -12, "v90 q85 " + rests(32) + tune() + kEnding},
        {"Bass", 1, 38, 104, 64, 10, 0, bass()},
        {"Stabs", 2, 90, 70, 44, 50, 0, stabs()},
        {"Pad", 3, 89, 62, 76, 70, 0, pad()},
        {"Arpeggio", 4, 81, 50, 30, 60, 0, arpeggio()},
    };
    s.drumKit = 24; // electronic kit; plain GM players fall back to the standard one
    s.drumVolume = 100;
    s.drumReverb = 30;
    s.drums = drums();
    return s;
}

} // namespace midi
