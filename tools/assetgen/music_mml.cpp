#include "tools/assetgen/music_mml.h"

#include <cctype>

namespace midi {

namespace {

class Parser {
  public:
    Parser(const std::string& text, Phrase& out) : text_(text), out_(out) {}
    bool run(std::string& error);

  private:
    bool fail(const std::string& what);
    void skipSpace();
    bool peek(char c);
    bool number(int32_t& value);
    bool length(uint32_t& ticks);
    bool pitch(int32_t& key);
    bool note();
    bool chord();
    bool barLine();

    const std::string& text_;
    Phrase& out_;
    size_t pos_ = 0;
    uint32_t now_ = 0;
    int32_t octave_ = 4;
    uint32_t defaultLength_ = kTicksPerQuarter;
    uint8_t velocity_ = 100;
    uint8_t gate_ = 90;
    int32_t bar_ = 1;
    bool tie_ = false;    // the last note waits for its continuation
    size_t tiedNote_ = 0; // index of that note
    std::string message_;
};

bool Parser::fail(const std::string& what) {
    const size_t from = pos_ > 12 ? pos_ - 12 : 0;
    message_ =
        what + " in bar " + std::to_string(bar_) + " near \"" + text_.substr(from, 24) + "\"";
    return false;
}

void Parser::skipSpace() {
    while (pos_ < text_.size() && std::isspace(uint8_t(text_[pos_]))) ++pos_;
}

bool Parser::peek(char c) {
    skipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
        ++pos_;
        return true;
    }
    return false;
}

bool Parser::number(int32_t& value) {
    skipSpace();
    if (pos_ >= text_.size() || !std::isdigit(uint8_t(text_[pos_]))) return false;
    value = 0;
    while (pos_ < text_.size() && std::isdigit(uint8_t(text_[pos_]))) {
        value = value * 10 + (text_[pos_] - '0');
        ++pos_;
    }
    return true;
}

// An optional note value and dots; the default length when none is written.
bool Parser::length(uint32_t& ticks) {
    int32_t value = 0;
    if (number(value)) {
        if (value <= 0 || (kTicksPerBar % uint32_t(value)) != 0) return fail("odd note length");
        ticks = kTicksPerBar / uint32_t(value);
    } else {
        ticks = defaultLength_;
    }
    uint32_t add = ticks;
    while (pos_ < text_.size() && text_[pos_] == '.') {
        add /= 2;
        ticks += add;
        ++pos_;
    }
    return true;
}

bool Parser::pitch(int32_t& key) {
    const int32_t semitone[7] = {9, 11, 0, 2, 4, 5, 7}; // a b c d e f g
    const char c = text_[pos_++];
    key = 12 * (octave_ + 1) + semitone[c - 'a'];
    while (pos_ < text_.size()) {
        if (text_[pos_] == '+' || text_[pos_] == '#') {
            ++key;
        } else if (text_[pos_] == '-') {
            --key;
        } else {
            break;
        }
        ++pos_;
    }
    if (key < 0 || key > 127) return fail("note out of range");
    return true;
}

bool Parser::note() {
    int32_t key = 0;
    uint32_t ticks = 0;
    if (!pitch(key) || !length(ticks)) return false;
    if (tie_) {
        Note& held = out_.notes[tiedNote_];
        if (held.key != key) return fail("tie between different notes");
        held.length += ticks;
    } else {
        out_.notes.push_back(Note{now_, ticks, uint8_t(key), velocity_, gate_});
        tiedNote_ = out_.notes.size() - 1;
    }
    now_ += ticks;
    tie_ = peek('&');
    return true;
}

bool Parser::chord() {
    const int32_t savedOctave = octave_;
    std::vector<int32_t> keys;
    while (!peek(']')) {
        if (pos_ >= text_.size()) return fail("chord without ]");
        const char c = text_[pos_];
        int32_t key = 0;
        if (c >= 'a' && c <= 'g') {
            if (!pitch(key)) return false;
            keys.push_back(key);
        } else if (c == '>') {
            ++octave_, ++pos_;
        } else if (c == '<') {
            --octave_, ++pos_;
        } else if (c == 'o') {
            ++pos_;
            if (!number(octave_)) return fail("octave without a number");
        } else {
            return fail("unexpected character in chord");
        }
    }
    octave_ = savedOctave;
    uint32_t ticks = 0;
    if (!length(ticks)) return false;
    for (int32_t key : keys)
        out_.notes.push_back(Note{now_, ticks, uint8_t(key), velocity_, gate_});
    now_ += ticks;
    return true;
}

bool Parser::barLine() {
    if (now_ != uint32_t(bar_) * kTicksPerBar) {
        const int32_t off = int32_t(now_) - int32_t(uint32_t(bar_) * kTicksPerBar);
        return fail("bar is " + std::to_string(off) + " ticks off");
    }
    ++bar_;
    return true;
}

bool Parser::run(std::string& error) {
    bool ok = true;
    for (skipSpace(); ok && pos_ < text_.size(); skipSpace()) {
        const char c = text_[pos_];
        if (tie_ && !(c >= 'a' && c <= 'g') && c != '|') {
            ok = fail("tie not followed by a note");
            break;
        }
        int32_t value = 0;
        if (c >= 'a' && c <= 'g') {
            ok = note();
            continue;
        }
        ++pos_;
        switch (c) {
        case 'r': {
            uint32_t ticks = 0;
            ok = length(ticks);
            now_ += ticks;
            break;
        }
        case '[':
            ok = chord();
            break;
        case '|':
            ok = barLine();
            break;
        case '>':
            ++octave_;
            break;
        case '<':
            --octave_;
            break;
        case 'o':
            ok = number(octave_) || fail("octave without a number");
            break;
        case 'l':
            ok = length(defaultLength_);
            break;
        case 'v':
            ok = (number(value) && value <= 127) || fail("bad velocity");
            velocity_ = uint8_t(value);
            break;
        case 'q':
            ok = (number(value) && value >= 1 && value <= 100) || fail("bad gate");
            gate_ = uint8_t(value);
            break;
        case '@':
            ok = (number(value) && value <= 127) || fail("bad program");
            out_.programs.push_back(ProgramChange{now_, uint8_t(value)});
            break;
        default:
            ok = fail(std::string("unknown symbol '") + c + "'");
        }
    }
    if (ok && tie_) ok = fail("tie at the end");
    out_.length = now_;
    if (!ok) error = message_;
    return ok;
}

uint8_t drumVelocity(char c) {
    switch (c) {
    case 'X':
        return 124;
    case 'x':
        return 104;
    case 'o':
        return 84;
    case '-':
        return 56;
    default:
        return 0;
    }
}

} // namespace

bool parseMelody(const std::string& text, Phrase& out, std::string& error) {
    Parser p(text, out);
    return p.run(error);
}

bool parseDrumGrid(const std::string& grid, uint8_t key, uint32_t startTick, uint32_t ticks,
                   Phrase& out, std::string& error) {
    std::string steps;
    for (char c : grid) {
        if (c == ' ' || c == '|') continue;
        if (c != '.' && drumVelocity(c) == 0) {
            error = std::string("unknown drum symbol '") + c + "' in \"" + grid + "\"";
            return false;
        }
        steps.push_back(c);
    }
    const uint32_t patternTicks = uint32_t(steps.size()) * kTicksPerStep;
    if (steps.empty() || ticks % patternTicks != 0) {
        error = "drum grid \"" + grid + "\" does not fill its section";
        return false;
    }
    for (uint32_t t = 0; t < ticks; t += kTicksPerStep) {
        const char c = steps[(t / kTicksPerStep) % steps.size()];
        if (c == '.') continue;
        out.notes.push_back(Note{startTick + t, kTicksPerStep, key, drumVelocity(c), 80});
    }
    out.length = startTick + ticks > out.length ? startTick + ticks : out.length;
    return true;
}

} // namespace midi
