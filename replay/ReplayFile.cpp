#include "replay/ReplayFile.h"

#include <zlib.h>

#include <cstring>

namespace {

constexpr char kMagic[8] = {'V', 'T', 'X', 'R', 'P', 'L', 'A', 'Y'};
// Far more than a day of play needs; a body claiming more is not believed.
constexpr uint32_t kMaxBody = 64u * 1024 * 1024;

class Writer {
  public:
    std::vector<uint8_t> bytes;
    void u8(uint8_t v) { bytes.push_back(v); }
    void u16(uint16_t v) { little(v, 2); }
    void u32(uint32_t v) { little(v, 4); }
    void i64(int64_t v) { little(uint64_t(v), 8); }
    void raw(const void* p, size_t n) {
        const uint8_t* b = static_cast<const uint8_t*>(p);
        bytes.insert(bytes.end(), b, b + n);
    }
    void text8(const uint8_t* chars, size_t n) {
        u8(uint8_t(n));
        raw(chars, n);
    }

  private:
    void little(uint64_t v, int n) {
        for (int i = 0; i < n; ++i) bytes.push_back(uint8_t(v >> (8 * i)));
    }
};

class Reader {
  public:
    Reader(const uint8_t* p, size_t n) : p_(p), n_(n) {}
    bool ok() const { return ok_; }
    size_t at() const { return at_; }
    size_t left() const { return n_ - at_; }
    const uint8_t* take(size_t k) {
        if (!ok_ || k > left()) {
            ok_ = false;
            return nullptr;
        }
        const uint8_t* r = p_ + at_;
        at_ += k;
        return r;
    }
    uint64_t little(int k) {
        const uint8_t* b = take(size_t(k));
        uint64_t v = 0;
        for (int i = 0; b != nullptr && i < k; ++i) v |= uint64_t(b[i]) << (8 * i);
        return v;
    }
    uint8_t u8() { return uint8_t(little(1)); }
    uint16_t u16() { return uint16_t(little(2)); }
    uint32_t u32() { return uint32_t(little(4)); }
    int64_t i64() { return int64_t(little(8)); }

  private:
    const uint8_t* p_;
    size_t n_, at_ = 0;
    bool ok_ = true;
};

template <int N> bool readShort(Reader& r, ShortString<N>& s) {
    const uint8_t n = r.u8();
    const uint8_t* b = r.take(n);
    if (b == nullptr || n > N) return false;
    s.len = n;
    std::memcpy(s.ch, b, n);
    return true;
}

bool isDigits(const DecStr& s) {
    if (s.len == 0) return false;
    for (size_t i = 0; i < s.len; ++i)
        if (s.ch[i] < '0' || s.ch[i] > '9') return false;
    return true;
}

bool readStream(Reader& r, std::vector<uint8_t>& out) {
    const uint32_t n = r.u32();
    const uint8_t* b = r.take(n);
    if (b == nullptr) return false;
    out.assign(b, b + n);
    return true;
}

} // namespace

void putNumber(std::vector<uint8_t>& out, uint32_t v) {
    while (v >= 0x80) {
        out.push_back(uint8_t(v | 0x80));
        v >>= 7;
    }
    out.push_back(uint8_t(v));
}

bool getNumber(const std::vector<uint8_t>& in, size_t& at, uint32_t& v) {
    v = 0;
    for (int shift = 0; shift < 35; shift += 7) {
        if (at >= in.size()) return false;
        const uint8_t b = in[at++];
        if (shift == 28 && (b & 0x70) != 0) return false; // more than 32 bits
        v |= uint32_t(b & 0x7f) << shift;
        if ((b & 0x80) == 0) return true;
    }
    return false;
}

std::vector<uint8_t> encodeReplay(const Replay& r) {
    Writer body;
    const ReplayStart& s = r.start;
    body.u32(s.seed);
    for (uint8_t v : {s.bgenabled, s.seenabled, s.bgm, s.zoom, s.paused}) body.u8(v);
    body.u32(uint32_t(s.marquee10));
    body.u16(uint16_t(std::min<size_t>(s.bgpath.size(), 0xffff)));
    body.raw(s.bgpath.data(), std::min<size_t>(s.bgpath.size(), 0xffff));
    body.raw(s.ranking.data(), sizeof s.ranking);
    body.u32(uint32_t(r.events.size()));
    body.raw(r.events.data(), r.events.size());
    body.u32(uint32_t(r.answers.size()));
    body.raw(r.answers.data(), r.answers.size());

    uLongf packedSize = compressBound(uLong(body.bytes.size()));
    std::vector<uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, body.bytes.data(), uLong(body.bytes.size()), 9) !=
        Z_OK)
        return {};
    packed.resize(packedSize);

    Writer w;
    w.raw(kMagic, sizeof kMagic);
    w.u16(kReplayFormat);
    w.u8(r.flags);
    w.text8(reinterpret_cast<const uint8_t*>(r.gameVersion.data()),
            std::min<size_t>(r.gameVersion.size(), 255));
    w.i64(r.started);
    w.text8(reinterpret_cast<const uint8_t*>(r.score.ch), r.score.len);
    w.u8(r.level);
    w.text8(reinterpret_cast<const uint8_t*>(r.name.ch), r.name.len);
    w.u32(r.frames);
    w.u32(uint32_t(packed.size()));
    w.u32(uint32_t(body.bytes.size()));
    w.raw(packed.data(), packed.size());
    w.u32(uint32_t(crc32(0, w.bytes.data(), uInt(w.bytes.size()))));
    return w.bytes;
}

bool decodeReplay(const uint8_t* data, size_t size, Replay& out, std::string& error,
                  bool headerOnly) {
    out = Replay{};
    Reader r(data, size);
    const uint8_t* magic = r.take(sizeof kMagic);
    if (magic == nullptr || std::memcmp(magic, kMagic, sizeof kMagic) != 0) {
        error = "not a replay file";
        return false;
    }
    const uint16_t format = r.u16();
    if (r.ok() && format > kReplayFormat) {
        error =
            "made by a newer version of the game (replay format " + std::to_string(format) + ")";
        return false;
    }
    out.flags = r.u8();
    const uint8_t vlen = r.u8();
    if (const uint8_t* v = r.take(vlen)) out.gameVersion.assign(v, v + vlen);
    out.started = r.i64();
    const bool scoreOk = readShort(r, out.score);
    out.level = r.u8();
    const bool nameOk = readShort(r, out.name);
    out.frames = r.u32();
    const uint32_t packedSize = r.u32();
    const uint32_t bodySize = r.u32();
    if (!r.ok()) {
        error = "cut short in its header";
        return false;
    }
    if (format == 0 || !scoreOk || !nameOk || !isDigits(out.score)) {
        error = "its header is damaged";
        return false;
    }
    if (headerOnly) return true;
    if (packedSize > r.left() || r.left() - packedSize < 4) {
        error = "cut short: " + std::to_string(size) + " bytes";
        return false;
    }
    const uint8_t* packed = r.take(packedSize);
    const uint32_t crc = r.u32();
    if (r.left() != 0) {
        error = "has " + std::to_string(r.left()) + " bytes after its end";
        return false;
    }
    if (crc != uint32_t(crc32(0, data, uInt(size - 4)))) {
        error = "damaged (its checksum does not match)";
        return false;
    }
    // Deflate packs at most about 1032 to 1, so a body claimed larger than that is a lie, and
    // nothing is set aside for it.
    if (bodySize > kMaxBody || uint64_t(bodySize) > uint64_t(packedSize) * 1032 + 64) {
        error = "claims a body of " + std::to_string(bodySize) + " bytes";
        return false;
    }
    std::vector<uint8_t> body(bodySize);
    uLongf got = bodySize;
    if (uncompress(body.data(), &got, packed, packedSize) != Z_OK || got != bodySize) {
        error = "its recorded game cannot be unpacked";
        return false;
    }
    Reader b(body.data(), body.size());
    ReplayStart& s = out.start;
    s.seed = b.u32();
    s.bgenabled = b.u8();
    s.seenabled = b.u8();
    s.bgm = b.u8();
    s.zoom = b.u8();
    s.paused = b.u8();
    s.marquee10 = int32_t(b.u32());
    const uint16_t plen = b.u16();
    if (const uint8_t* p = b.take(plen)) s.bgpath.assign(p, p + plen);
    if (const uint8_t* rk = b.take(sizeof s.ranking))
        std::memcpy(s.ranking.data(), rk, sizeof s.ranking);
    const bool streams = readStream(b, out.events) && readStream(b, out.answers);
    if (!b.ok() || !streams || b.left() != 0) {
        error = "its recorded game is malformed";
        return false;
    }
    for (RankRecord& rec : s.ranking)
        if (rec.name.len > 10) rec.name.len = 10;
    return true;
}
