#pragma once
// Turns a mixed effect into the bytes of a 16-bit mono PCM WAV file.

#include "tools/assetgen/sound_synth.h"

#include <cstdint>
#include <vector>

namespace synth {

// Removes any DC offset, fades the first and last milliseconds so that neither end clicks,
// and scales the loudest sample to `peakDb` below full scale (so the file never clips).
std::vector<int16_t> finish(const Signal& mix, double peakDb);

// A complete RIFF/WAVE file: "fmt " (PCM, mono, 16 bit, kSampleRate) and "data".
std::vector<uint8_t> encodeWav(const std::vector<int16_t>& samples);

} // namespace synth
