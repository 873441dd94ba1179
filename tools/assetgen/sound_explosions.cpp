// The two explosions: low-passed noise whose cutoff falls as the blast dies away, over a sine
// "thump" that drops in pitch. Both are kept dark and round so that repeated blasts in the
// death sequence do not become harsh.

#include "tools/assetgen/sound_effects.h"

#include <cmath>

namespace synth {

namespace {

struct Blast {
    double start;    // s
    double gain;     // relative loudness
    double topHz;    // noise cutoff at the moment of the blast
    double bottomHz; // cutoff it falls towards
    double fallTau;  // how fast the cutoff falls, s
    double decayTau; // how fast the loudness falls, s
    double thumpHz;  // starting pitch of the thump
};

// Adds one blast (noise body, falling thump and a short crackle) into s.
void addBlast(Signal& s, const Blast& b, uint32_t seed) {
    Noise noise(seed);
    Noise crackleNoise(seed ^ 0x9E3779B9u);
    Filter body(Filter::Kind::LowPass);
    Filter crackle(Filter::Kind::BandPass);
    Oscillator thump;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = secondsAt(i);
        if (t < b.start) continue;
        const double u = t - b.start;
        const double cutoff = glide(u, b.topHz, b.bottomHz, b.fallTau);
        const double roar =
            body.process(noise.next(), cutoff, 0.9) * strike(u, 0.0, 0.004, b.decayTau);
        const double pitch = glide(u, b.thumpHz, 38.0, 0.09);
        const double low = thump.sine(pitch) * strike(u, 0.0, 0.003, b.decayTau * 0.45);
        // Sparse pops in the first part of the blast: debris rather than hiss.
        const double n = crackleNoise.next();
        const double pop = std::fabs(n) > 0.985 ? n : 0.0;
        const double crack = crackle.process(pop * 6.0, 2500.0, 1.5) * strike(u, 0.0, 0.002, 0.12);
        s[i] += b.gain * (1.0 * roar + 0.9 * low + 0.5 * crack);
    }
}

// Brings the tail smoothly to silence at the very end of the file.
void fadeTail(Signal& s, double seconds) {
    const double total = secondsAt(s.size());
    for (size_t i = 0; i < s.size(); ++i) {
        const double left = total - secondsAt(i);
        if (left < seconds) s[i] *= 0.5 - 0.5 * std::cos(kPi * left / seconds);
    }
}

} // namespace

Signal makeSmallBoom() {
    Signal s = silence(1000.0);
    addBlast(s, Blast{0.0, 1.0, 3800.0, 180.0, 0.18, 0.22, 150.0}, 0x0BAC0003u);
    saturate(s, 2.5);
    fadeTail(s, 0.25);
    return s;
}

Signal makeBigBoom() {
    // A first wide blast, a second one 180 ms later from deeper inside, and a long rumble.
    Signal s = silence(1500.0);
    addBlast(s, Blast{0.0, 1.0, 5500.0, 120.0, 0.25, 0.38, 120.0}, 0x0BAC0005u);
    addBlast(s, Blast{0.18, 0.75, 2600.0, 90.0, 0.35, 0.45, 90.0}, 0x0BAC0055u);
    Noise rumbleNoise(0x0BAC5555u);
    Filter rumble(Filter::Kind::LowPass);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = secondsAt(i);
        s[i] += 1.4 * rumble.process(rumbleNoise.next(), 140.0, 0.7) * strike(t, 0.0, 0.03, 0.6);
    }
    saturate(s, 2.5);
    fadeTail(s, 0.35);
    return s;
}

} // namespace synth
