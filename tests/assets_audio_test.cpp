// The generated sound effects and music, read back the way a player's audio library would:
// WAV chunks and Standard MIDI File chunks parsed here from the raw bytes.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream f(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(f),
                                std::istreambuf_iterator<char>());
}

std::string soundPath(const std::string& name) {
    return std::string(VORTALIX_BINARY_DIR) + "/sound/" + name;
}

uint32_t le16(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) | uint32_t(b[at + 1]) << 8;
}
uint32_t le32(const std::vector<uint8_t>& b, size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
uint32_t be16(const std::vector<uint8_t>& b, size_t at) {
    return uint32_t(b[at]) << 8 | uint32_t(b[at + 1]);
}
uint32_t be32(const std::vector<uint8_t>& b, size_t at) {
    return be16(b, at) << 16 | be16(b, at + 2);
}
bool tagAt(const std::vector<uint8_t>& b, size_t at, const char* tag) {
    return at + 4 <= b.size() && std::memcmp(b.data() + at, tag, 4) == 0;
}

// ---- WAV ----

struct Wav {
    std::string error; // empty when the file is a usable PCM WAV
    uint32_t format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int16_t> samples; // the first channel
    double ms() const { return rate == 0 ? 0.0 : 1000.0 * double(samples.size()) / double(rate); }
};

Wav readWav(const std::string& path) {
    Wav w;
    const std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 12 || !tagAt(b, 0, "RIFF") || !tagAt(b, 8, "WAVE")) {
        w.error = "not a RIFF/WAVE file";
        return w;
    }
    if (le32(b, 4) + 8 != b.size()) {
        w.error = "RIFF size does not match the file";
        return w;
    }
    bool haveFmt = false, haveData = false;
    for (size_t at = 12; at + 8 <= b.size();) {
        const uint32_t size = le32(b, at + 4);
        const size_t body = at + 8;
        if (body + size > b.size()) {
            w.error = "chunk runs past the end";
            return w;
        }
        if (tagAt(b, at, "fmt ") && size >= 16) {
            w.format = le16(b, body);
            w.channels = le16(b, body + 2);
            w.rate = le32(b, body + 4);
            w.bits = le16(b, body + 14);
            haveFmt = true;
        } else if (tagAt(b, at, "data") && haveFmt && w.bits == 16 && w.channels > 0) {
            const size_t frame = 2u * w.channels;
            for (size_t i = body; i + frame <= body + size; i += frame) {
                w.samples.push_back(int16_t(uint16_t(le16(b, i))));
            }
            haveData = true;
        }
        at = body + size + (size & 1u);
    }
    if (!haveFmt || !haveData) w.error = "fmt or data chunk missing";
    return w;
}

int32_t peakOf(const std::vector<int16_t>& s, size_t from, size_t to) {
    int32_t peak = 0;
    for (size_t i = from; i < to && i < s.size(); ++i)
        peak = std::max(peak, std::abs(int32_t(s[i])));
    return peak;
}

double rmsOf(const std::vector<int16_t>& s) {
    double sum = 0.0;
    for (int16_t v : s) sum += double(v) * double(v);
    return s.empty() ? 0.0 : std::sqrt(sum / double(s.size()));
}

struct EffectCase {
    const char* file;
    double nominalMs; // the time the game protects the effect for
    double longestMs;
};

void PrintTo(const EffectCase& c, std::ostream* os) {
    *os << c.file;
}

class SoundEffect : public ::testing::TestWithParam<EffectCase> {};

TEST_P(SoundEffect, IsSixteenBitPcmAtAStandardRate) {
    const Wav w = readWav(soundPath(GetParam().file));
    ASSERT_EQ(w.error, "");
    EXPECT_EQ(w.format, 1u);
    EXPECT_EQ(w.bits, 16u);
    EXPECT_TRUE(w.rate == 44100u || w.rate == 22050u) << w.rate;
    EXPECT_TRUE(w.channels == 1u || w.channels == 2u) << w.channels;
}

TEST_P(SoundEffect, LastsAboutItsNominalTime) {
    const Wav w = readWav(soundPath(GetParam().file));
    ASSERT_EQ(w.error, "");
    EXPECT_GE(w.ms(), GetParam().nominalMs * 0.8);
    EXPECT_LE(w.ms(), GetParam().longestMs);
}

TEST_P(SoundEffect, IsAudibleButNeverReachesFullScale) {
    const Wav w = readWav(soundPath(GetParam().file));
    ASSERT_EQ(w.error, "");
    const int32_t peak = peakOf(w.samples, 0, w.samples.size());
    EXPECT_LE(peak, 29204) << "louder than -1 dBFS";       // 32767 * 10^(-1/20)
    EXPECT_GE(peak, 3277) << "quieter than -20 dBFS";      // a tenth of full scale
    EXPECT_GE(rmsOf(w.samples), 328.0) << "mostly silent"; // -40 dBFS
}

TEST_P(SoundEffect, StartsAndEndsAtSilenceSoNeitherEndClicks) {
    const Wav w = readWav(soundPath(GetParam().file));
    ASSERT_EQ(w.error, "");
    ASSERT_GT(w.samples.size(), 100u);
    EXPECT_LE(std::abs(int32_t(w.samples.front())), 328);
    EXPECT_LE(std::abs(int32_t(w.samples.back())), 328);
    // The very last millisecond is already faded well down.
    const size_t ms = w.rate / 1000u;
    EXPECT_LE(peakOf(w.samples, w.samples.size() - ms, w.samples.size()), 1638);
}

INSTANTIATE_TEST_SUITE_P(AllTen, SoundEffect,
                         ::testing::Values(EffectCase{"get.wav", 471, 471 * 1.2},
                                           EffectCase{"comp01.wav", 271, 271 * 1.2},
                                           EffectCase{"baku03.wav", 1000, 1000 * 1.2},
                                           EffectCase{"lvup.wav", 500, 500 * 1.2},
                                           EffectCase{"scratch.wav", 40, 80},
                                           EffectCase{"baku05.wav", 1500, 1500 * 1.2},
                                           EffectCase{"count1.wav", 200, 200 * 1.2},
                                           EffectCase{"count2.wav", 200, 200 * 1.2},
                                           EffectCase{"count3.wav", 200, 200 * 1.2},
                                           EffectCase{"count02.wav", 200, 200 * 1.2}),
                         [](const ::testing::TestParamInfo<EffectCase>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

// Rising zero crossings per second over the steady middle of a beep: its pitch.
double crossingsPerSecond(const Wav& w) {
    const size_t from = w.samples.size() / 4, to = w.samples.size() * 3 / 4;
    int32_t n = 0;
    for (size_t i = from + 1; i < to; ++i) n += (w.samples[i - 1] < 0 && w.samples[i] >= 0) ? 1 : 0;
    return double(n) * double(w.rate) / double(to - from);
}

TEST(CountDownSounds, StartSignalIsHigherThanEveryCountBeep) {
    const Wav start = readWav(soundPath("count02.wav"));
    ASSERT_EQ(start.error, "");
    for (const char* beep : {"count1.wav", "count2.wav", "count3.wav"}) {
        const Wav w = readWav(soundPath(beep));
        ASSERT_EQ(w.error, "") << beep;
        EXPECT_GT(crossingsPerSecond(start), crossingsPerSecond(w) * 1.4) << beep;
    }
}

// ---- Standard MIDI File ----

struct Smf {
    std::string error;
    uint32_t format = 0, division = 0, tracks = 0;
    double seconds = 0.0;
    bool tempoSet = false;
    int32_t drumNotes = 0;
    std::map<uint32_t, int32_t> notesByChannel;
    std::map<uint32_t, uint32_t> programByChannel; // the first program change on each channel
    std::map<uint32_t, bool> programBeforeNotes;   // channel got its program before its first note
};

bool readVarLen(const std::vector<uint8_t>& b, size_t& at, size_t end, uint32_t& v) {
    v = 0;
    for (int32_t i = 0; i < 4; ++i) {
        if (at >= end) return false;
        const uint8_t c = b[at++];
        v = (v << 7) | (c & 0x7Fu);
        if ((c & 0x80u) == 0) return true;
    }
    return false;
}

// Reads one MTrk body; collects tempo changes and the track's end tick.
std::string readTrack(const std::vector<uint8_t>& b, size_t at, size_t end, Smf& smf,
                      std::map<uint32_t, uint32_t>& tempi, uint32_t& endTick) {
    uint32_t tick = 0;
    uint8_t status = 0;
    std::map<uint32_t, int32_t> held; // (channel << 8 | key) -> notes sounding
    while (at < end) {
        uint32_t delta = 0;
        if (!readVarLen(b, at, end, delta)) return "bad delta time";
        tick += delta;
        if (at >= end) return "event cut off";
        if (b[at] == 0xFF) {
            if (at + 2 > end) return "meta cut off";
            const uint8_t type = b[at + 1];
            at += 2;
            uint32_t len = 0;
            if (!readVarLen(b, at, end, len) || at + len > end) return "meta length";
            if (type == 0x51 && len == 3) {
                tempi[tick] = uint32_t(b[at]) << 16 | uint32_t(b[at + 1]) << 8 | b[at + 2];
                smf.tempoSet = true;
            }
            at += len;
            if (type == 0x2F) {
                if (at != end) return "end-of-track before the end of the chunk";
                for (const auto& [note, count] : held) {
                    if (count != 0) return "note left sounding: " + std::to_string(note);
                }
                endTick = tick;
                return "";
            }
            continue;
        }
        if (b[at] == 0xF0 || b[at] == 0xF7) {
            ++at;
            uint32_t len = 0;
            if (!readVarLen(b, at, end, len) || at + len > end) return "sysex length";
            at += len;
            continue;
        }
        if (b[at] & 0x80u) status = b[at++];
        if (status < 0x80) return "data byte without a status";
        const uint32_t kind = status & 0xF0u, channel = status & 0x0Fu;
        const size_t dataBytes = (kind == 0xC0 || kind == 0xD0) ? 1 : 2;
        if (at + dataBytes > end) return "channel event cut off";
        if (kind == 0xC0 && smf.programByChannel.count(channel) == 0) {
            smf.programByChannel[channel] = b[at];
            smf.programBeforeNotes[channel] = smf.notesByChannel[channel] == 0;
        }
        if (kind == 0x90 || kind == 0x80) {
            const uint32_t note = channel << 8 | b[at];
            if (kind == 0x90 && b[at + 1] > 0) {
                ++held[note];
                ++smf.notesByChannel[channel];
                if (channel == 9) ++smf.drumNotes;
            } else if (--held[note] < 0) {
                return "note-off without a note-on";
            }
        }
        at += dataBytes;
    }
    return "track without end-of-track";
}

Smf readSmf(const std::string& path) {
    Smf smf;
    const std::vector<uint8_t> b = readBytes(path);
    if (b.size() < 14 || !tagAt(b, 0, "MThd") || be32(b, 4) != 6) {
        smf.error = "no MThd header of 6 bytes";
        return smf;
    }
    smf.format = be16(b, 8);
    smf.tracks = be16(b, 10);
    smf.division = be16(b, 12);
    if (smf.division == 0 || (smf.division & 0x8000u) != 0) {
        smf.error = "division is not ticks per quarter note";
        return smf;
    }
    std::map<uint32_t, uint32_t> tempi;
    uint32_t lastTick = 0;
    size_t at = 14;
    for (uint32_t t = 0; t < smf.tracks; ++t) {
        if (!tagAt(b, at, "MTrk") || at + 8 > b.size()) {
            smf.error = "track " + std::to_string(t) + " missing";
            return smf;
        }
        const size_t end = at + 8 + be32(b, at + 4);
        if (end > b.size()) {
            smf.error = "track " + std::to_string(t) + " runs past the end";
            return smf;
        }
        uint32_t endTick = 0;
        smf.error = readTrack(b, at + 8, end, smf, tempi, endTick);
        if (!smf.error.empty()) {
            smf.error = "track " + std::to_string(t) + ": " + smf.error;
            return smf;
        }
        lastTick = std::max(lastTick, endTick);
        at = end;
    }
    if (at != b.size()) smf.error = "bytes after the last track";
    // Seconds from the tempo map; 120 beats a minute until the first tempo event.
    uint32_t prevTick = 0, microsPerQuarter = 500000;
    for (const auto& [tick, us] : tempi) {
        if (tick > lastTick) break;
        smf.seconds += double(tick - prevTick) * microsPerQuarter / smf.division / 1e6;
        prevTick = tick;
        microsPerQuarter = us;
    }
    smf.seconds += double(lastTick - prevTick) * microsPerQuarter / smf.division / 1e6;
    return smf;
}

struct MusicCase {
    const char* file;
    double shortestSeconds;
    double longestSeconds;
};

void PrintTo(const MusicCase& c, std::ostream* os) {
    *os << c.file;
}

class Music : public ::testing::TestWithParam<MusicCase> {};

TEST_P(Music, IsAWellFormedFormatOneFile) {
    const Smf smf = readSmf(soundPath(GetParam().file));
    ASSERT_EQ(smf.error, "");
    EXPECT_EQ(smf.format, 1u);
    EXPECT_GE(smf.tracks, 2u);
    EXPECT_TRUE(smf.tempoSet);
}

TEST_P(Music, LastsAsLongAsItsPlaceInTheGameNeeds) {
    const Smf smf = readSmf(soundPath(GetParam().file));
    ASSERT_EQ(smf.error, "");
    EXPECT_GE(smf.seconds, GetParam().shortestSeconds);
    EXPECT_LE(smf.seconds, GetParam().longestSeconds);
}

TEST_P(Music, HasDrumsOnChannelTenAndInstrumentsChosenBeforeTheyPlay) {
    const Smf smf = readSmf(soundPath(GetParam().file));
    ASSERT_EQ(smf.error, "");
    EXPECT_GT(smf.drumNotes, 0);
    int32_t melodic = 0;
    for (const auto& [channel, count] : smf.notesByChannel) {
        if (channel == 9 || count == 0) continue;
        ++melodic;
        ASSERT_EQ(smf.programByChannel.count(channel), 1u) << "channel " << channel + 1;
        EXPECT_TRUE(smf.programBeforeNotes.at(channel)) << "channel " << channel + 1;
    }
    EXPECT_GE(melodic, 3) << "melody, bass and chords at least";
}

INSTANTIATE_TEST_SUITE_P(AllThree, Music,
                         ::testing::Values(MusicCase{"main.mid", 60, 120},
                                           MusicCase{"ranking.mid", 30, 60},
                                           MusicCase{"gameover.mid", 3, 8}),
                         [](const ::testing::TestParamInfo<MusicCase>& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

} // namespace
