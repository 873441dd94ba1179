#pragma once
// Building blocks of the sound effects: a phase-accumulating oscillator, a reproducible noise
// source, a resonant filter and a few envelope shapes. Everything works on plain doubles at
// one fixed sample rate; the effects are mixed from these and turned into 16-bit PCM last.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace synth {

constexpr int32_t kSampleRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Signal = std::vector<double>;

// A buffer of silence that lasts the given number of milliseconds.
Signal silence(double ms);
// Seconds since the start of a buffer at sample index i.
inline double secondsAt(size_t i) {
    return double(i) / double(kSampleRate);
}
// Frequency of a MIDI note number (69 = A4 = 440 Hz).
double noteHz(double midiNote);

// White noise in -1..1 from a 32-bit xorshift generator: the same seed gives the same hiss on
// every build, so the generated files never change unless the recipe does.
class Noise {
  public:
    explicit Noise(uint32_t seed) : state_(seed != 0 ? seed : 1u) {}
    double next();

  private:
    uint32_t state_;
};

// Keeps its phase between samples, so the frequency may glide without clicks.
class Oscillator {
  public:
    double sine(double hz);
    // A rounded square: odd harmonics up to 16 kHz falling as 1/k^rolloff (1 is a true square,
    // larger values sound softer and rounder). Band-limited, so high notes do not alias.
    double square(double hz, double rolloff);
    // Frequency modulation: a sine carrier whose phase is pushed by a sine at ratio x hz.
    double fm(double hz, double ratio, double index);

  private:
    void advance(double hz);
    double phase_ = 0.0; // in cycles, 0..1
    double modPhase_ = 0.0;
};

// Second-order resonant filter (the usual "cookbook" biquad). The cutoff may be changed on
// every sample for sweeps.
class Filter {
  public:
    enum class Kind : uint8_t { LowPass, HighPass, BandPass };
    explicit Filter(Kind kind) : kind_(kind) {}
    double process(double x, double cutoffHz, double q);

  private:
    Kind kind_;
    double x1_ = 0.0, x2_ = 0.0, y1_ = 0.0, y2_ = 0.0;
};

// Envelope shapes, t in seconds.
// 0 before start, then a raised-cosine rise over `attack`, then exponential fall with `tau`.
double strike(double t, double start, double attack, double tau);
// A value that glides exponentially from `from` towards `to` with time constant tau.
double glide(double t, double from, double to, double tau);
// 1 inside [start, end), with raised-cosine ramps of `ramp` seconds at both ends.
double gate(double t, double start, double end, double ramp);

// Soft-clips the signal after scaling its peak to 1: a drive of 1 leaves it nearly clean,
// larger drives round off the loudest moments and bring up the body of a sound.
void saturate(Signal& s, double drive);

// Adds `repeats` copies of the signal to itself, each `delayMs` later and `feedback` softer.
void echo(Signal& s, double delayMs, double feedback, int32_t repeats);

} // namespace synth
