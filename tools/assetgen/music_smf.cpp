#include "tools/assetgen/music_smf.h"

#include <algorithm>

namespace midi {

namespace {

enum Order : uint8_t { kMeta = 0, kSetup = 1, kNoteOff = 2, kNoteOn = 3 };

void putU32(std::vector<uint8_t>& out, uint32_t v) {
    for (int32_t shift = 24; shift >= 0; shift -= 8) out.push_back(uint8_t((v >> shift) & 0xFFu));
}

void putU16(std::vector<uint8_t>& out, uint16_t v) {
    out.push_back(uint8_t(v >> 8));
    out.push_back(uint8_t(v & 0xFFu));
}

void putTag(std::vector<uint8_t>& out, const char* tag) {
    for (int32_t i = 0; i < 4; ++i) out.push_back(uint8_t(tag[i]));
}

} // namespace

void putVarLen(std::vector<uint8_t>& out, uint32_t value) {
    uint8_t groups[5];
    int32_t n = 0;
    do {
        groups[n++] = uint8_t(value & 0x7Fu);
        value >>= 7;
    } while (value != 0);
    while (n > 1) out.push_back(uint8_t(groups[--n] | 0x80u));
    out.push_back(groups[0]);
}

void Track::add(uint32_t tick, uint8_t order, std::vector<uint8_t> bytes) {
    events_.push_back(Event{tick, order, uint32_t(events_.size()), std::move(bytes)});
    endAt(tick);
}

void Track::name(const std::string& text) {
    std::vector<uint8_t> b = {0xFF, 0x03};
    putVarLen(b, uint32_t(text.size()));
    b.insert(b.end(), text.begin(), text.end());
    add(0, kMeta, std::move(b));
}

void Track::tempo(uint32_t tick, uint32_t us) {
    add(tick, kMeta, {0xFF, 0x51, 0x03, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

void Track::timeSignature(uint32_t tick, uint8_t beats, uint8_t beatNoteLog2) {
    // 24 MIDI clocks per metronome click, 8 thirty-seconds per quarter.
    add(tick, kMeta, {0xFF, 0x58, 0x04, beats, beatNoteLog2, 24, 8});
}

void Track::program(uint32_t tick, uint8_t channel, uint8_t program) {
    add(tick, kSetup, {uint8_t(0xC0u | channel), program});
}

void Track::control(uint32_t tick, uint8_t channel, uint8_t controller, uint8_t value) {
    add(tick, kSetup, {uint8_t(0xB0u | channel), controller, value});
}

void Track::note(uint32_t tick, uint32_t length, uint8_t channel, uint8_t key, uint8_t velocity) {
    add(tick, kNoteOn, {uint8_t(0x90u | channel), key, velocity});
    add(tick + length, kNoteOff, {uint8_t(0x80u | channel), key, 64});
}

std::vector<uint8_t> Track::encode() const {
    std::vector<Event> sorted = events_;
    std::sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        if (a.order != b.order) return a.order < b.order;
        return a.serial < b.serial;
    });
    std::vector<uint8_t> body;
    uint32_t now = 0;
    for (const Event& e : sorted) {
        putVarLen(body, e.tick - now);
        now = e.tick;
        body.insert(body.end(), e.bytes.begin(), e.bytes.end());
    }
    putVarLen(body, end_ - now);
    body.insert(body.end(), {0xFF, 0x2F, 0x00});
    std::vector<uint8_t> chunk;
    putTag(chunk, "MTrk");
    putU32(chunk, uint32_t(body.size()));
    chunk.insert(chunk.end(), body.begin(), body.end());
    return chunk;
}

std::vector<uint8_t> encodeFile(const std::vector<Track>& tracks, uint16_t ticksPerQuarter) {
    std::vector<uint8_t> out;
    putTag(out, "MThd");
    putU32(out, 6);
    putU16(out, 1);
    putU16(out, uint16_t(tracks.size()));
    putU16(out, ticksPerQuarter);
    for (const Track& t : tracks) {
        const std::vector<uint8_t> chunk = t.encode();
        out.insert(out.end(), chunk.begin(), chunk.end());
    }
    return out;
}

} // namespace midi
