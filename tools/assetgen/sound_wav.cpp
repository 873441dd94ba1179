#include "tools/assetgen/sound_wav.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {

constexpr double kFadeInMs = 1.0;
constexpr double kFadeOutMs = 4.0;
constexpr double kDcCutHz = 20.0;

void putU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v & 0xFFu));
    out.push_back(uint8_t(v >> 8));
}

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int32_t shift = 0; shift < 32; shift += 8) out.push_back(uint8_t((v >> shift) & 0xFFu));
}

void putTag(std::vector<uint8_t>& out, const char* tag) {
    for (int32_t i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

} // namespace

std::vector<int16_t> finish(const Signal& mix, double peakDb) {
    Signal s = mix;
    // One-pole high-pass: pitch sweeps of the explosions leave a slow offset that would
    // otherwise make the end of the file jump back to zero.
    const double r = 1.0 - 2.0 * kPi * kDcCutHz / double(kSampleRate);
    double prevIn = 0.0, prevOut = 0.0;
    for (double& x : s) {
        const double y = x - prevIn + r * prevOut;
        prevIn = x;
        prevOut = y;
        x = y;
    }
    const size_t fadeIn = size_t(kFadeInMs * double(kSampleRate) / 1000.0);
    const size_t fadeOut = size_t(kFadeOutMs * double(kSampleRate) / 1000.0);
    for (size_t i = 0; i < fadeIn && i < s.size(); ++i) {
        s[i] *= 0.5 - 0.5 * std::cos(kPi * double(i) / double(fadeIn));
    }
    for (size_t i = 0; i < fadeOut && i < s.size(); ++i) {
        s[s.size() - 1 - i] *= 0.5 - 0.5 * std::cos(kPi * double(i) / double(fadeOut));
    }
    double peak = 0.0;
    for (double x : s) peak = std::max(peak, std::fabs(x));
    const double target = 32767.0 * std::pow(10.0, -std::fabs(peakDb) / 20.0);
    const double gain = peak > 0.0 ? target / peak : 0.0;
    std::vector<int16_t> pcm(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double v = std::clamp(std::round(s[i] * gain), -32767.0, 32767.0);
        pcm[i] = int16_t(v);
    }
    return pcm;
}

std::vector<uint8_t> encodeWav(const std::vector<int16_t>& samples) {
    const uint32_t dataBytes = uint32_t(samples.size() * 2u);
    std::vector<uint8_t> out;
    out.reserve(44u + dataBytes);
    putTag(out, "RIFF");
    putU32(out, 36u + dataBytes);
    putTag(out, "WAVE");
    putTag(out, "fmt ");
    putU32(out, 16u);
    putU16(out, 1u); // PCM
    putU16(out, 1u); // mono
    putU32(out, uint32_t(kSampleRate));
    putU32(out, uint32_t(kSampleRate) * 2u); // bytes per second
    putU16(out, 2u);                         // bytes per sample frame
    putU16(out, 16u);                        // bits per sample
    putTag(out, "data");
    putU32(out, dataBytes);
    for (int16_t v : samples) putU16(out, uint16_t(v));
    return out;
}

} // namespace synth
