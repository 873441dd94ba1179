#pragma once
// A small Standard MIDI File writer: tracks collect timed events in any order, and encoding
// sorts them and writes delta times as variable-length quantities.

#include <cstdint>
#include <string>
#include <vector>

namespace midi {

class Track {
  public:
    void name(const std::string& text);
    void tempo(uint32_t tick, uint32_t microsPerQuarter);
    void timeSignature(uint32_t tick, uint8_t beats, uint8_t beatNoteLog2);
    void program(uint32_t tick, uint8_t channel, uint8_t program);
    void control(uint32_t tick, uint8_t channel, uint8_t controller, uint8_t value);
    void note(uint32_t tick, uint32_t length, uint8_t channel, uint8_t key, uint8_t velocity);
    // The end-of-track event goes at the later of this tick and the last event.
    void endAt(uint32_t tick) { end_ = tick > end_ ? tick : end_; }
    // The MTrk chunk, header included.
    std::vector<uint8_t> encode() const;

  private:
    struct Event {
        uint32_t tick;
        uint8_t order; // at one tick: meta, then set-up, then note-offs, then note-ons
        uint32_t serial;
        std::vector<uint8_t> bytes;
    };
    void add(uint32_t tick, uint8_t order, std::vector<uint8_t> bytes);
    std::vector<Event> events_;
    uint32_t end_ = 0;
};

// Variable-length quantity: seven bits a byte, most significant first, high bit = more follow.
void putVarLen(std::vector<uint8_t>& out, uint32_t value);

// A format 1 file (all tracks play together) with the given ticks per quarter note.
std::vector<uint8_t> encodeFile(const std::vector<Track>& tracks, uint16_t ticksPerQuarter);

} // namespace midi
