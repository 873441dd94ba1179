#include "audio/AudioFiles.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstring>

namespace {

uint32_t le32(const uint8_t* p) {
    return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
}
uint16_t le16(const uint8_t* p) {
    return uint16_t(p[0] | p[1] << 8);
}
uint32_t be32(const uint8_t* p) {
    return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | uint32_t(p[3]);
}
uint16_t be16(const uint8_t* p) {
    return uint16_t(p[0] << 8 | p[1]);
}
bool tagIs(const uint8_t* p, const char* tag) {
    return std::memcmp(p, tag, 4) == 0;
}

// The encodings SDL's WAV loader knows: PCM, MS ADPCM, IEEE float, A-law, mu-law, IMA ADPCM
// and the extensible wrapper around them.
bool knownWavFormat(uint16_t tag) {
    return tag == 1 || tag == 2 || tag == 3 || tag == 6 || tag == 7 || tag == 0x11 || tag == 0xFFFE;
}

} // namespace

bool readAudioFile(const char* path, size_t maxBytes, std::vector<uint8_t>& out) {
    // Read as every other file of the game is, so that any path the system allows works.
    if (readRegularFile(path, maxBytes, out) == ReadStatus::Ok) return true;
    out.clear();
    return false;
}

bool isPlayableWav(const std::vector<uint8_t>& b) {
    const size_t n = b.size();
    if (n < 12 || !tagIs(&b[0], "RIFF") || !tagIs(&b[8], "WAVE")) return false;
    bool haveFmt = false;
    uint16_t channels = 0, bits = 0;
    uint32_t rate = 0;
    size_t pos = 12;
    while (pos + 8 <= n) {
        const uint32_t size = le32(&b[pos + 4]);
        const size_t body = pos + 8;
        if (tagIs(&b[pos], "fmt ")) {
            if (size < 16 || body + size > n) return false;
            if (!knownWavFormat(le16(&b[body]))) return false;
            channels = le16(&b[body + 2]);
            rate = le32(&b[body + 4]);
            bits = le16(&b[body + 14]);
            haveFmt = true;
        } else if (tagIs(&b[pos], "data")) {
            // A data chunk that runs past the end is a truncated file.
            if (!haveFmt || body + uint64_t(size) > n) return false;
            if (channels < 1 || channels > 8 || rate < 4000 || rate > 192000) return false;
            if (bits < 4 || bits > 64) return false;
            // Converting to 44.1 kHz 16-bit stereo multiplies the size by at most this much;
            // a tiny sample rate must not turn a small file into gigabytes.
            const uint64_t perIn = uint64_t(rate) * std::min<uint16_t>(channels, 2) * bits;
            const uint64_t perOut = uint64_t(44100) * 2 * 16;
            return uint64_t(size) * perOut / perIn <= kMaxDecodedWavBytes;
        }
        pos = body + size + (size & 1u); // chunks are padded to an even length
    }
    return false;
}

bool isPlayableMidi(const std::vector<uint8_t>& b) {
    const size_t n = b.size();
    if (n < 14 || !tagIs(&b[0], "MThd")) return false;
    const uint32_t headerLen = be32(&b[4]);
    if (headerLen < 6 || 8 + uint64_t(headerLen) > n) return false;
    const uint16_t format = be16(&b[8]);
    const uint16_t tracks = be16(&b[10]);
    const uint16_t division = be16(&b[12]);
    if (format > 2 || tracks == 0 || division == 0) return false;
    uint64_t pos = 8 + uint64_t(headerLen);
    uint16_t found = 0;
    while (found < tracks) {
        if (pos + 8 > n) return false; // fewer tracks than the header announces
        const uint32_t len = be32(&b[size_t(pos) + 4]);
        if (pos + 8 + len > n) return false; // a track cut short
        if (tagIs(&b[size_t(pos)], "MTrk")) {
            if (len == 0) return false;
            ++found;
        }
        pos += 8 + uint64_t(len); // other chunk kinds are skipped, as readers must
    }
    return true;
}

bool isPlayableOgg(const std::vector<uint8_t>& b) {
    const size_t n = b.size();
    // The first page alone: 27 header bytes, one segment, and a 30-byte Vorbis identification.
    if (n < 58) return false;
    size_t pos = 0;
    bool first = true;
    while (pos < n) {
        if (pos + 27 > n || !tagIs(&b[pos], "OggS") || b[pos + 4] != 0) return false;
        const uint8_t segments = b[pos + 26];
        if (pos + 27 + size_t(segments) > n) return false;
        size_t body = 0;
        for (size_t i = 0; i < segments; ++i) body += b[pos + 27 + i];
        const size_t start = pos + 27 + segments;
        if (start + body > n) return false; // a page cut short: the file was truncated
        if (first) {
            // The stream begins with a page flagged "beginning of stream" that carries the
            // Vorbis identification header alone, with a sane channel count and rate.
            if ((b[pos + 5] & 0x02) == 0 || body < 30) return false;
            const uint8_t* id = &b[start];
            if (id[0] != 1 || std::memcmp(id + 1, "vorbis", 6) != 0) return false;
            const uint8_t channels = id[11];
            const uint32_t rate = le32(id + 12);
            if (channels < 1 || channels > 8 || rate < 4000 || rate > 192000) return false;
            first = false;
        }
        pos = start + body;
    }
    return true;
}
