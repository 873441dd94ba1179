#include "tools/assetgen/sound_synth.h"

#include <algorithm>
#include <cmath>

namespace synth {

namespace {
constexpr double kTopHarmonicHz = 16000.0;
}

Signal silence(double ms) {
    const size_t n = size_t(std::lround(ms * double(kSampleRate) / 1000.0));
    return Signal(n, 0.0);
}

double noteHz(double midiNote) {
    return 440.0 * std::pow(2.0, (midiNote - 69.0) / 12.0);
}

double Noise::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return double(state_) / 2147483647.5 - 1.0;
}

void Oscillator::advance(double hz) {
    phase_ += hz / double(kSampleRate);
    phase_ -= std::floor(phase_);
}

double Oscillator::sine(double hz) {
    const double v = std::sin(2.0 * kPi * phase_);
    advance(hz);
    return v;
}

double Oscillator::square(double hz, double rolloff) {
    double v = 0.0;
    for (int32_t k = 1; double(k) * hz < kTopHarmonicHz; k += 2) {
        v += std::sin(2.0 * kPi * double(k) * phase_) / std::pow(double(k), rolloff);
    }
    advance(hz);
    // A true square built this way peaks near pi/4 of its harmonics' sum; scale to about 1.
    return v * (4.0 / kPi) * 0.85;
}

double Oscillator::fm(double hz, double ratio, double index) {
    const double mod = std::sin(2.0 * kPi * modPhase_);
    const double v = std::sin(2.0 * kPi * phase_ + index * mod);
    modPhase_ += hz * ratio / double(kSampleRate);
    modPhase_ -= std::floor(modPhase_);
    advance(hz);
    return v;
}

double Filter::process(double x, double cutoffHz, double q) {
    const double w = 2.0 * kPi * cutoffHz / double(kSampleRate);
    const double cw = std::cos(w);
    const double alpha = std::sin(w) / (2.0 * q);
    double b0 = 0.0, b1 = 0.0, b2 = 0.0;
    switch (kind_) {
    case Kind::LowPass:
        b0 = (1.0 - cw) / 2.0;
        b1 = 1.0 - cw;
        b2 = b0;
        break;
    case Kind::HighPass:
        b0 = (1.0 + cw) / 2.0;
        b1 = -(1.0 + cw);
        b2 = b0;
        break;
    case Kind::BandPass:
        b0 = alpha;
        b1 = 0.0;
        b2 = -alpha;
        break;
    }
    const double a0 = 1.0 + alpha;
    const double a1 = -2.0 * cw;
    const double a2 = 1.0 - alpha;
    const double y = (b0 * x + b1 * x1_ + b2 * x2_ - a1 * y1_ - a2 * y2_) / a0;
    x2_ = x1_;
    x1_ = x;
    y2_ = y1_;
    y1_ = y;
    return y;
}

double strike(double t, double start, double attack, double tau) {
    if (t < start) return 0.0;
    const double u = t - start;
    if (u < attack) return 0.5 - 0.5 * std::cos(kPi * u / attack);
    return std::exp(-(u - attack) / tau);
}

double glide(double t, double from, double to, double tau) {
    return to + (from - to) * std::exp(-t / tau);
}

double gate(double t, double start, double end, double ramp) {
    if (t < start || t >= end) return 0.0;
    if (t < start + ramp) return 0.5 - 0.5 * std::cos(kPi * (t - start) / ramp);
    if (t > end - ramp) return 0.5 - 0.5 * std::cos(kPi * (end - t) / ramp);
    return 1.0;
}

void saturate(Signal& s, double drive) {
    double peak = 0.0;
    for (double x : s) peak = std::max(peak, std::fabs(x));
    if (peak <= 0.0) return;
    for (double& x : s) x = std::tanh(drive * x / peak);
}

void echo(Signal& s, double delayMs, double feedback, int32_t repeats) {
    const size_t d = size_t(std::lround(delayMs * double(kSampleRate) / 1000.0));
    const Signal dry = s;
    double gain = feedback;
    for (int32_t r = 1; r <= repeats; ++r) {
        const size_t offset = d * size_t(r);
        for (size_t i = offset; i < s.size(); ++i) s[i] += gain * dry[i - offset];
        gain *= feedback;
    }
}

} // namespace synth
