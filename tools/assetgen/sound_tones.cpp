// The pitched effects: pick-ups, the level-up arpeggio, the scratch tick and the count-down.
// They share the square-ish voice of the game's lead so they sit well over the music.

#include "tools/assetgen/sound_effects.h"

#include <cmath>

namespace synth {

Signal makePickup() {
    // The classic coin figure: B5 for a moment, then up a fourth to E6, which rings out.
    Signal s = silence(471.0);
    Oscillator voice;
    Oscillator sparkle;
    const double jump = 0.060;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = secondsAt(i);
        const double hz = t < jump ? noteHz(83) : noteHz(88);
        const double env = t < jump ? strike(t, 0.0, 0.002, 0.5) : strike(t, jump, 0.001, 0.11);
        const double body = 0.7 * voice.square(hz, 1.6);
        const double bell = 0.25 * sparkle.fm(noteHz(100), 2.0, 1.2 * strike(t, jump, 0.001, 0.05));
        s[i] = env * body + strike(t, jump, 0.002, 0.09) * bell;
    }
    echo(s, 95.0, 0.28, 3);
    return s;
}

namespace {

// A struck metal bar (glockenspiel): its overtones lie at the bar's inharmonic modes and die
// away faster the higher they are, which is what makes it sound like a chime and not a beep.
double bar(double t, double start, double hz, Oscillator (&partials)[4]) {
    const double ratio[4] = {1.0, 2.76, 5.40, 8.93};
    const double level[4] = {1.0, 0.45, 0.22, 0.12};
    const double tau[4] = {0.085, 0.05, 0.03, 0.018};
    double v = 0.0;
    for (int32_t k = 0; k < 4; ++k) {
        const double f = hz * ratio[k];
        const double tone = partials[k].sine(f);
        if (f < 16000.0) v += level[k] * strike(t, start, 0.0015, tau[k]) * tone;
    }
    return v;
}

} // namespace

Signal makeRateChime() {
    // Two strikes, E6 then B6 a fifth above: it sounds like "more", where the pick-up sounds
    // like "one".
    Signal s = silence(271.0);
    Oscillator low[4];
    Oscillator high[4];
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = secondsAt(i);
        s[i] = 0.7 * bar(t, 0.0, noteHz(88), low) + 0.8 * bar(t, 0.05, noteHz(95), high);
    }
    return s;
}

Signal makeLevelUp() {
    // C6 E6 G6 C7 in quick succession; each note keeps ringing under the next, so the run ends
    // in a full chord, and the top note gets a little vibrato.
    Signal s = silence(500.0);
    const double notes[4] = {84.0, 88.0, 91.0, 96.0};
    const double step = 0.068;
    Oscillator voices[4];
    Oscillator bodies[4];
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = secondsAt(i);
        double v = 0.0;
        for (int32_t n = 0; n < 4; ++n) {
            const double start = step * double(n);
            if (t < start) continue;
            const bool top = n == 3;
            const double vib = top ? 1.0 + 0.006 * std::sin(2.0 * kPi * 6.0 * (t - start)) : 1.0;
            const double hz = noteHz(notes[n]) * vib;
            const double env = strike(t, start, 0.003, top ? 0.16 : 0.12);
            v += env * (0.45 * voices[n].square(hz, 1.8) + 0.3 * bodies[n].sine(hz * 0.5));
        }
        s[i] = v * gate(t, 0.0, 0.5, 0.06);
    }
    return s;
}

Signal makeScratch() {
    // A pitch-dropping blip with a breath of high noise: short and soft, as it may sound
    // several times a second while the point grazes its trail.
    Signal s = silence(42.0);
    Oscillator tone;
    Noise noise(0x5C4A7C11u);
    Filter air(Filter::Kind::BandPass);
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = secondsAt(i);
        const double hz = glide(t, 3200.0, 1900.0, 0.008);
        const double blip = strike(t, 0.0, 0.0008, 0.009) * tone.sine(hz);
        const double hiss = strike(t, 0.0, 0.0005, 0.004) * air.process(noise.next(), 6500.0, 2.0);
        s[i] = 0.8 * blip + 0.6 * hiss;
    }
    return s;
}

namespace {

// One beep of the count-down: a held rounded square with soft edges.
Signal beep(double midiNote, double rolloff) {
    Signal s = silence(200.0);
    Oscillator tone;
    for (size_t i = 0; i < s.size(); ++i) {
        const double t = secondsAt(i);
        const double env = gate(t, 0.0, 0.2, 0.004) * (0.75 + 0.25 * std::exp(-t / 0.03));
        const double fade = t > 0.14 ? 0.5 + 0.5 * std::cos(kPi * (t - 0.14) / 0.06) : 1.0;
        s[i] = env * fade * tone.square(noteHz(midiNote), rolloff);
    }
    return s;
}

} // namespace

Signal makeCountBeep() {
    return beep(81.0, 1.7);
} // A5

Signal makeStartBeep() {
    return beep(93.0, 1.4);
} // A6, a touch brighter

} // namespace synth
