// Writes the ten sound effects under sound\. The levels are set by ear: the pick-ups and beeps
// a little under the explosions, and the scratch tick, which may sound several times a second,
// well under everything else.

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/sound_effects.h"
#include "tools/assetgen/sound_wav.h"

#include <string>

namespace {

struct EffectFile {
    const char* name;
    synth::Signal (*make)();
    double peakDb; // below full scale
};

const EffectFile kEffects[] = {
    {"get.wav", synth::makePickup, 3.0},       {"comp01.wav", synth::makeRateChime, 3.0},
    {"baku03.wav", synth::makeSmallBoom, 1.5}, {"lvup.wav", synth::makeLevelUp, 3.0},
    {"scratch.wav", synth::makeScratch, 8.0},  {"baku05.wav", synth::makeBigBoom, 1.2},
    {"count1.wav", synth::makeCountBeep, 8.0}, {"count2.wav", synth::makeCountBeep, 8.0},
    {"count3.wav", synth::makeCountBeep, 8.0}, {"count02.wav", synth::makeStartBeep, 7.0},
};

} // namespace

bool writeSounds(const std::string& outDir) {
    bool ok = true;
    for (const EffectFile& e : kEffects) {
        const std::vector<uint8_t> bytes = synth::encodeWav(synth::finish(e.make(), e.peakDb));
        ok = writeFile(outDir + "/sound/" + e.name, bytes.data(), bytes.size()) && ok;
    }
    return ok;
}
