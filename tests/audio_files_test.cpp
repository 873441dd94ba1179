// What the audio back end lets through to SDL_mixer, and how it reads the music commands.

#include "audio/AudioFiles.h"
#include "audio/MciDevice.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

using Bytes = std::vector<uint8_t>;

void put32le(Bytes& b, uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(v >> (8 * i)));
}
void put16le(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v));
    b.push_back(uint8_t(v >> 8));
}
void put32be(Bytes& b, uint32_t v) {
    for (int i = 3; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
}
void put16be(Bytes& b, uint16_t v) {
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}
void putTag(Bytes& b, const char* t) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(t[i]));
}

struct WavShape {
    uint16_t format = 1, channels = 1, bits = 16;
    uint32_t rate = 22050, dataBytes = 2000;
    int32_t dataSizeDelta = 0; // what the data chunk claims beyond what is there
};

Bytes wav(const WavShape& s) {
    Bytes b;
    putTag(b, "RIFF");
    put32le(b, 36 + s.dataBytes);
    putTag(b, "WAVE");
    putTag(b, "fmt ");
    put32le(b, 16);
    put16le(b, s.format);
    put16le(b, s.channels);
    put32le(b, s.rate);
    put32le(b, s.rate * s.channels * s.bits / 8);
    put16le(b, uint16_t(s.channels * s.bits / 8));
    put16le(b, s.bits);
    putTag(b, "data");
    put32le(b, uint32_t(int64_t(s.dataBytes) + s.dataSizeDelta));
    b.resize(b.size() + s.dataBytes, 0x40);
    return b;
}

// A format-0 file with one short track; `tracks` is what the header announces.
Bytes midi(uint16_t tracks = 1, uint16_t format = 0) {
    const Bytes events = {0x00, 0x90, 60, 100, 0x60, 0x80, 60, 0, 0x00, 0xFF, 0x2F, 0x00};
    Bytes b;
    putTag(b, "MThd");
    put32be(b, 6);
    put16be(b, format);
    put16be(b, tracks);
    put16be(b, 480);
    putTag(b, "MTrk");
    put32be(b, uint32_t(events.size()));
    b.insert(b.end(), events.begin(), events.end());
    return b;
}

TEST(WavCheck, AcceptsOrdinaryPcm) {
    EXPECT_TRUE(isPlayableWav(wav({})));
    EXPECT_TRUE(isPlayableWav(wav({.channels = 2, .rate = 44100})));
    EXPECT_TRUE(isPlayableWav(wav({.bits = 8, .rate = 11025})));
}

TEST(WavCheck, SkipsOtherChunksBeforeTheData) {
    Bytes b = wav({});
    Bytes list;
    putTag(list, "LIST");
    put32le(list, 3); // odd size: one pad byte follows
    list.insert(list.end(), {'a', 'b', 'c', 0});
    b.insert(b.begin() + 36, list.begin(), list.end());
    EXPECT_TRUE(isPlayableWav(b));
}

TEST(WavCheck, RefusesAMidiFileRenamedToWav) {
    EXPECT_FALSE(isPlayableWav(midi()));
}

TEST(WavCheck, RefusesEmptyAndForeignFiles) {
    EXPECT_FALSE(isPlayableWav({}));
    EXPECT_FALSE(isPlayableWav({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D}));
    Bytes riffAvi = wav({});
    std::copy_n("AVI ", 4, riffAvi.begin() + 8);
    EXPECT_FALSE(isPlayableWav(riffAvi));
}

struct BrokenWav {
    const char* name;
    WavShape shape;
};

class WavRefused : public ::testing::TestWithParam<BrokenWav> {};

TEST_P(WavRefused, Shape) {
    EXPECT_FALSE(isPlayableWav(wav(GetParam().shape)));
}

INSTANTIATE_TEST_SUITE_P(Broken, WavRefused,
                         ::testing::Values(BrokenWav{"DataCutShort", {.dataSizeDelta = 1}},
                                           BrokenWav{"DataCutShortByFar",
                                                     {.dataSizeDelta = 100000}},
                                           BrokenWav{"NoChannels", {.channels = 0}},
                                           BrokenWav{"NineChannels", {.channels = 9}},
                                           // would be resampled into gigabytes
                                           BrokenWav{"RateOneHertz", {.rate = 1}},
                                           BrokenWav{"RateOneMegahertz", {.rate = 1000000}},
                                           BrokenWav{"Mp3InRiff", {.format = 0x55}},
                                           BrokenWav{"NoBitsPerSample", {.bits = 0}},
                                           BrokenWav{"FormatZero", {.format = 0}}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(WavCheck, RefusesAFileTruncatedInsideTheFormatChunk) {
    Bytes b = wav({});
    b.resize(30);
    EXPECT_FALSE(isPlayableWav(b));
}

TEST(WavCheck, BoundsTheDecodedSize) {
    // 8-bit mono at 4 kHz grows 44.1 kHz / 4 kHz * 2 channels * 2 bytes = 44-fold.
    EXPECT_TRUE(isPlayableWav(wav({.bits = 8, .rate = 4000, .dataBytes = 1u << 20})));
    EXPECT_FALSE(isPlayableWav(wav({.bits = 8, .rate = 4000, .dataBytes = 2u << 20})));
}

TEST(MidiCheck, AcceptsAStandardFile) {
    EXPECT_TRUE(isPlayableMidi(midi()));
    EXPECT_TRUE(isPlayableMidi(midi(1, 1)));
}

TEST(MidiCheck, RefusesEmptyForeignAndWavFiles) {
    EXPECT_FALSE(isPlayableMidi({}));
    EXPECT_FALSE(
        isPlayableMidi({0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A, 0, 0, 0, 0x0D, 0, 0}));
    EXPECT_FALSE(isPlayableMidi(wav({})));
}

class MidiCut : public ::testing::TestWithParam<size_t> {};

TEST_P(MidiCut, ATruncatedFileIsRefused) {
    Bytes b = midi();
    b.resize(GetParam());
    EXPECT_FALSE(isPlayableMidi(b));
}

INSTANTIATE_TEST_SUITE_P(Lengths, MidiCut, ::testing::Values(4, 13, 14, 20, 22, 25, 33),
                         [](const auto& i) {
                             return "First" + case_names::number(int64_t(i.param)) + "Bytes";
                         });

TEST(MidiCheck, RefusesMissingTracksAndBadHeaders) {
    EXPECT_FALSE(isPlayableMidi(midi(2)));    // announces two, has one
    EXPECT_FALSE(isPlayableMidi(midi(0)));    // no track
    EXPECT_FALSE(isPlayableMidi(midi(1, 3))); // no such format
    Bytes zeroDivision = midi();
    zeroDivision[12] = zeroDivision[13] = 0;
    EXPECT_FALSE(isPlayableMidi(zeroDivision));
}

TEST(MidiCheck, SkipsUnknownChunksBetweenTracks) {
    Bytes b = midi();
    Bytes alien;
    putTag(alien, "XFIH");
    put32be(alien, 2);
    alien.push_back(1);
    alien.push_back(2);
    b.insert(b.begin() + 14, alien.begin(), alien.end());
    EXPECT_TRUE(isPlayableMidi(b));
}

class AudioFileRead : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ = std::filesystem::temp_directory_path() /
               ("vortalix_audiofile_" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }
    std::string write(const char* name, const Bytes& b) {
        const std::string p = (dir_ / name).string();
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(b.data()), std::streamsize(b.size()));
        return p;
    }
    std::filesystem::path dir_;
};

TEST_F(AudioFileRead, ReadsAWholeFileWithinTheCap) {
    const Bytes b = midi();
    Bytes out;
    EXPECT_TRUE(readAudioFile(write("a.mid", b).c_str(), b.size(), out));
    EXPECT_EQ(out, b);
}

TEST_F(AudioFileRead, RefusesTooLargeMissingAndDirectories) {
    const Bytes b = midi();
    Bytes out = {1};
    EXPECT_FALSE(readAudioFile(write("a.mid", b).c_str(), b.size() - 1, out));
    EXPECT_TRUE(out.empty());
    EXPECT_FALSE(readAudioFile((dir_ / "none.mid").c_str(), 1000, out));
    EXPECT_FALSE(readAudioFile(dir_.c_str(), 1000, out));
}

TEST(MciParse, SplitsVerbAndQuotedName) {
    std::string_view verb, file;
    ASSERT_TRUE(parseMciCommand("play \"/a b/main.mid\" notify", verb, file));
    EXPECT_EQ(verb, "play");
    EXPECT_EQ(file, "/a b/main.mid");
    ASSERT_TRUE(parseMciCommand("open \"\"", verb, file));
    EXPECT_EQ(verb, "open");
    EXPECT_EQ(file, "");
}

struct BadCommand {
    const char* name;
    const char* text;
};

class MciBad : public ::testing::TestWithParam<BadCommand> {};

TEST_P(MciBad, IsNotACommand) {
    std::string_view verb, file;
    EXPECT_FALSE(parseMciCommand(GetParam().text, verb, file));
}

INSTANTIATE_TEST_SUITE_P(Texts, MciBad,
                         ::testing::Values(BadCommand{"Empty", ""}, BadCommand{"VerbOnly", "play"},
                                           BadCommand{"NameNotQuoted", "play main.mid"},
                                           BadCommand{"QuoteNotClosed", "play \"main.mid"},
                                           BadCommand{"NoVerb", " \"x\""},
                                           BadCommand{"UnknownWordAfter", "play \"x\" wait"},
                                           BadCommand{"NoSpaceBeforeNotify", "play \"x\"notify"}),
                         [](const auto& i) { return std::string(i.param.name); });

TEST(MciDeviceTest, OpenThenPlayRequestsThePiece) {
    MciDevice d;
    EXPECT_FALSE(d.command("open \"/m.mid\""));
    EXPECT_FALSE(d.request().playing);
    EXPECT_TRUE(d.command("play \"/m.mid\" notify"));
    EXPECT_TRUE(d.request().playing);
    EXPECT_EQ(d.request().file, "/m.mid");
}

TEST(MciDeviceTest, StopAndCloseSilenceOnce) {
    MciDevice d;
    d.command("open \"/m.mid\"");
    d.command("play \"/m.mid\" notify");
    const uint64_t g = d.request().generation;
    EXPECT_TRUE(d.command("stop \"/m.mid\""));
    EXPECT_FALSE(d.request().playing);
    EXPECT_FALSE(d.command("close \"/m.mid\"")); // already silent
    EXPECT_FALSE(d.isOpen());
    EXPECT_EQ(d.request().generation, g + 1);
}

TEST(MciDeviceTest, ARestartOfTheSamePieceIsANewRequest) {
    MciDevice d;
    const char* start[] = {"open \"/m.mid\"", "play \"/m.mid\" notify"};
    const char* end[] = {"stop \"/m.mid\"", "close \"/m.mid\""};
    for (const char* c : start) d.command(c);
    const uint64_t first = d.request().generation;
    for (const char* c : end) d.command(c);
    for (const char* c : start) d.command(c);
    EXPECT_TRUE(d.request().playing);
    EXPECT_GT(d.request().generation, first + 1);
}

TEST(MciDeviceTest, CommandsForAFileThatIsNotOpenFail) {
    MciDevice d;
    EXPECT_FALSE(d.command("play \"/m.mid\" notify"));
    d.command("open \"/m.mid\"");
    EXPECT_FALSE(d.command("play \"/other.mid\" notify"));
    EXPECT_FALSE(d.command("open \"/other.mid\"")); // one device at a time
    EXPECT_FALSE(d.command("pause \"/m.mid\""));
    EXPECT_FALSE(d.request().playing);
    EXPECT_EQ(d.request().generation, 0u);
}

} // namespace
