// The check a rendered piece of music passes before the browser build's SDL_mixer decodes it.

#include "audio/AudioFiles.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

void page(std::vector<uint8_t>& out, uint8_t flags, const std::vector<uint8_t>& body) {
    const uint8_t head[] = {'O', 'g', 'g', 'S', 0, flags};
    out.insert(out.end(), head, head + 6);
    out.insert(out.end(), 20, 0); // granule, serial, sequence, checksum
    out.push_back(uint8_t(body.size() / 255 + 1));
    for (size_t left = body.size();; left -= 255) {
        out.push_back(uint8_t(left < 255 ? left : 255));
        if (left < 255) break;
    }
    out.insert(out.end(), body.begin(), body.end());
}

std::vector<uint8_t> identification(uint8_t channels, uint32_t rate) {
    std::vector<uint8_t> id = {1, 'v', 'o', 'r', 'b', 'i', 's', 0, 0, 0, 0, channels};
    for (int i = 0; i < 4; ++i) id.push_back(uint8_t(rate >> (8 * i)));
    id.resize(30, 0);
    id[29] = 1; // framing bit
    return id;
}

std::vector<uint8_t> ogg(uint8_t channels = 2, uint32_t rate = 44100, uint8_t firstFlags = 2) {
    std::vector<uint8_t> b;
    page(b, firstFlags, identification(channels, rate));
    page(b, 0, std::vector<uint8_t>(300, 7)); // a body spread over two segments
    page(b, 4, std::vector<uint8_t>(10, 9));
    return b;
}

} // namespace

TEST(OggCheck, AcceptsAVorbisStream) {
    EXPECT_TRUE(isPlayableOgg(ogg()));
    EXPECT_TRUE(isPlayableOgg(ogg(1, 22050)));
}

TEST(OggCheck, RefusesEmptyForeignAndOtherAudioFiles) {
    EXPECT_FALSE(isPlayableOgg({}));
    std::vector<uint8_t> midi = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1, 0, 96};
    midi.resize(80, 0);
    EXPECT_FALSE(isPlayableOgg(midi));
    std::vector<uint8_t> opus;
    std::vector<uint8_t> head = {'O', 'p', 'u', 's', 'H', 'e', 'a', 'd'};
    head.resize(30, 1);
    page(opus, 2, head);
    EXPECT_FALSE(isPlayableOgg(opus));
}

TEST(OggCheck, RefusesStrangeFormats) {
    EXPECT_FALSE(isPlayableOgg(ogg(0)));           // no channel
    EXPECT_FALSE(isPlayableOgg(ogg(9)));           // more than the mixer takes
    EXPECT_FALSE(isPlayableOgg(ogg(2, 1000)));     // rate far too low
    EXPECT_FALSE(isPlayableOgg(ogg(2, 1 << 20)));  // rate far too high
    EXPECT_FALSE(isPlayableOgg(ogg(2, 44100, 0))); // the first page does not begin a stream
}

class OggCut : public ::testing::TestWithParam<size_t> {};

TEST_P(OggCut, ATruncatedFileIsRefused) {
    std::vector<uint8_t> b = ogg();
    ASSERT_LT(GetParam(), b.size());
    b.resize(b.size() - GetParam());
    EXPECT_FALSE(isPlayableOgg(b));
}

// Inside the last page's body, its segment table, its header, and the second page.
INSTANTIATE_TEST_SUITE_P(BytesMissing, OggCut, ::testing::Values(1, 10, 12, 20, 100, 350),
                         [](const auto& i) {
                             return "Last" + std::to_string(i.param) + "BytesMissing";
                         });

TEST(OggCheck, RefusesGarbageAfterTheLastPage) {
    std::vector<uint8_t> b = ogg();
    b.push_back(0);
    EXPECT_FALSE(isPlayableOgg(b));
}
