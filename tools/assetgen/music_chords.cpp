#include "tools/assetgen/music_chords.h"

#include <sstream>
#include <vector>

namespace midi {

namespace {

struct ChordShape {
    const char* name;
    uint8_t root;               // MIDI key in the bass octave
    std::vector<uint8_t> tones; // close voicing, lowest first
};

// Voicings chosen to move as little as possible from one chord to the next.
const ChordShape kChords[] = {
    {"Am", 45, {57, 60, 64}},      {"F", 41, {57, 60, 65}},       {"C", 36, {55, 60, 64}},
    {"G", 43, {55, 59, 62}},       {"E", 40, {56, 59, 64}},       {"Em", 40, {55, 59, 64}},
    {"Dm", 38, {57, 62, 65}},      {"E7", 40, {56, 59, 62}},      {"Fmaj7", 41, {53, 57, 60, 64}},
    {"Em7", 40, {55, 59, 62, 64}}, {"Dm7", 38, {53, 57, 60, 62}}, {"Cmaj7", 36, {52, 55, 59, 64}},
    {"G7", 43, {53, 55, 59, 62}},  {"Am7", 45, {55, 57, 60, 64}}, {"Gsus", 43, {55, 60, 62}},
};

std::string noteText(int32_t key) {
    const char* names[12] = {"c", "c+", "d", "d+", "e", "f", "f+", "g", "g+", "a", "a+", "b"};
    // Built piece by piece: GCC 12 warns falsely about "o" + std::string at -O3.
    std::string s = "o";
    s += std::to_string(key / 12 - 1);
    s += ' ';
    s += names[key % 12];
    return s;
}

std::string chordText(const ChordShape& c, int32_t shift) {
    std::string s = "[";
    for (uint8_t t : c.tones) s += noteText(int32_t(t) + shift) + " ";
    return s + "]";
}

std::string fill(const std::string& pattern, const ChordShape& c) {
    std::string out;
    for (size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '{' || i + 2 >= pattern.size() || pattern[i + 2] != '}') {
            out += pattern[i];
            continue;
        }
        const char p = pattern[i + 1];
        const size_t n = c.tones.size();
        if (p == 'R') {
            out += noteText(c.root);
        } else if (p == 'F') {
            out += noteText(c.root + 7);
        } else if (p == 'O') {
            out += noteText(c.root + 12);
        } else if (p == 'C') {
            out += chordText(c, 0);
        } else if (p == 'U') {
            out += chordText(c, 12);
        } else if (p >= '1' && p <= '8') {
            const size_t k = size_t(p - '1');
            out += noteText(int32_t(c.tones[k % n]) + 12 * int32_t(1 + k / n));
        } else {
            out += std::string(" ?{") + p + "} "; // reported by the notation reader
        }
        out += " ";
        i += 2;
    }
    return out;
}

} // namespace

std::string overChords(const std::string& progression, const std::string& pattern) {
    std::istringstream words(progression);
    std::string name;
    std::string out;
    while (words >> name) {
        const ChordShape* shape = nullptr;
        for (const ChordShape& c : kChords) {
            if (name == c.name) shape = &c;
        }
        out += shape != nullptr ? fill(pattern, *shape) : " ?" + name + " ";
    }
    return out;
}

std::string repeat(const std::string& text, int32_t times) {
    std::string out;
    for (int32_t i = 0; i < times; ++i) out += text;
    return out;
}

} // namespace midi
