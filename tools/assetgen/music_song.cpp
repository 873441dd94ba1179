#include "tools/assetgen/music_song.h"

#include "tools/assetgen/music_mml.h"
#include "tools/assetgen/music_smf.h"

namespace midi {

namespace {

constexpr uint8_t kVolume = 7;
constexpr uint8_t kPan = 10;
constexpr uint8_t kReverb = 91;
constexpr uint8_t kChorus = 93;

void setUp(Track& t, uint8_t channel, uint8_t program, uint8_t volume, uint8_t pan,
           uint8_t reverb) {
    t.control(0, channel, kVolume, volume);
    t.control(0, channel, kPan, pan);
    t.control(0, channel, kReverb, reverb);
    t.control(0, channel, kChorus, 0);
    t.program(0, channel, program);
}

bool addNotes(Track& t, uint8_t channel, const Phrase& p, int32_t transpose) {
    for (const ProgramChange& pc : p.programs) t.program(pc.tick, channel, pc.program);
    for (const Note& n : p.notes) {
        uint32_t heard = n.length * n.gate / 100u;
        if (heard == 0) heard = 1;
        const int32_t key = int32_t(n.key) + transpose;
        if (key < 0 || key > 127) return false;
        t.note(n.tick, heard, channel, uint8_t(key), n.velocity);
    }
    return true;
}

} // namespace

bool renderSong(const Song& song, std::vector<uint8_t>& smf, std::string& error) {
    const uint32_t end = song.bars * kTicksPerBar + song.tailTicks;
    std::vector<Track> tracks;

    Track conductor;
    conductor.name(song.title);
    conductor.timeSignature(0, 4, 2);
    for (const TempoChange& tc : song.tempi) {
        conductor.tempo(tc.bar * kTicksPerBar, 60000000u / tc.bpm);
    }
    conductor.endAt(end);
    tracks.push_back(conductor);

    for (const Voice& v : song.voices) {
        Phrase p;
        if (!parseMelody(v.notes, p, error)) {
            error = song.title + ", " + v.name + ": " + error;
            return false;
        }
        if (p.length != song.bars * kTicksPerBar) {
            error = song.title + ", " + v.name + ": lasts " + std::to_string(p.length) +
                    " ticks instead of " + std::to_string(song.bars) + " bars";
            return false;
        }
        Track t;
        t.name(v.name);
        setUp(t, v.channel, v.program, v.volume, v.pan, v.reverb);
        if (!addNotes(t, v.channel, p, v.transpose)) {
            error = song.title + ", " + v.name + ": transposed out of range";
            return false;
        }
        t.endAt(end);
        tracks.push_back(t);
    }

    Phrase drums;
    uint32_t at = 0;
    for (const DrumSection& s : song.drums) {
        for (const DrumLine& line : s.lines) {
            if (!parseDrumGrid(line.grid, line.key, at, s.bars * kTicksPerBar, drums, error)) {
                error = song.title + ", drums: " + error;
                return false;
            }
        }
        at += s.bars * kTicksPerBar;
    }
    if (at != song.bars * kTicksPerBar) {
        error = song.title + ", drums: sections add up to " + std::to_string(at / kTicksPerBar) +
                " bars instead of " + std::to_string(song.bars);
        return false;
    }
    Track d;
    d.name("Drums");
    setUp(d, kDrumChannel, song.drumKit, song.drumVolume, 64, song.drumReverb);
    addNotes(d, kDrumChannel, drums, 0);
    d.endAt(end);
    tracks.push_back(d);

    smf = encodeFile(tracks, uint16_t(kTicksPerQuarter));
    return true;
}

} // namespace midi
