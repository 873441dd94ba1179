#include "tools/assetgen/image_draw.h"

#include "platform/Picture.h"
#include "tools/assetgen/assetgen.h"

#include <turbojpeg.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace art {

float clamp01(float v) {
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float smoothstep(float e0, float e1, float x) {
    const float t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgb lerp(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb hsv(float h, float s, float v) {
    h = std::fmod(h, 360.0f);
    if (h < 0) h += 360.0f;
    const float c = v * s;
    const float hp = h / 60.0f;
    const float x = c * (1 - std::fabs(std::fmod(hp, 2.0f) - 1));
    float r = 0, g = 0, b = 0;
    if (hp < 1)
        r = c, g = x;
    else if (hp < 2)
        r = x, g = c;
    else if (hp < 3)
        g = c, b = x;
    else if (hp < 4)
        g = x, b = c;
    else if (hp < 5)
        r = x, b = c;
    else
        r = c, b = x;
    const float m = v - c;
    return {(r + m) * 255, (g + m) * 255, (b + m) * 255};
}

Rgb ramp(const std::vector<Rgb>& stops, float t) {
    if (stops.empty()) return {};
    if (stops.size() == 1) return stops[0];
    t = clamp01(t) * float(stops.size() - 1);
    size_t i = size_t(t);
    if (i >= stops.size() - 1) return stops.back();
    return lerp(stops[i], stops[i + 1], t - float(i));
}

Rgb ramp(std::initializer_list<Rgb> stops, float t) {
    return ramp(std::vector<Rgb>(stops), t);
}

uint32_t Rng::next() {
    s_ ^= s_ << 13;
    s_ ^= s_ >> 17;
    s_ ^= s_ << 5;
    return s_;
}
float Rng::uni() {
    return float(next() >> 8) / 16777216.0f;
}
float Rng::range(float a, float b) {
    return a + (b - a) * uni();
}
int Rng::below(int n) {
    return n <= 0 ? 0 : int(uint64_t(next()) * uint64_t(n) >> 32);
}

namespace {
float lattice(int x, int y, uint32_t seed) {
    uint32_t h = uint32_t(x) * 0x8da6b343u ^ uint32_t(y) * 0xd8163841u ^ seed * 0xcb1ab31fu;
    h ^= h >> 13;
    h *= 0x5bd1e995u;
    h ^= h >> 15;
    return float(h & 0xffffff) / 16777215.0f;
}
int wrap(int v, int period) {
    if (period <= 0) return v;
    v %= period;
    return v < 0 ? v + period : v;
}
} // namespace

float valueNoise(float x, float y, uint32_t seed, int period) {
    const float fx = std::floor(x), fy = std::floor(y);
    const int ix = int(fx), iy = int(fy);
    float tx = x - fx, ty = y - fy;
    tx = tx * tx * (3 - 2 * tx);
    ty = ty * ty * (3 - 2 * ty);
    const int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    const int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    const float a = lattice(x0, y0, seed), b = lattice(x1, y0, seed);
    const float c = lattice(x0, y1, seed), d = lattice(x1, y1, seed);
    return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

float fbm(float x, float y, uint32_t seed, int octaves, int period) {
    float sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += valueNoise(x, y, seed + uint32_t(o) * 7919u, period) * weight;
        total += weight;
        weight *= 0.5f;
        x *= 2;
        y *= 2;
        if (period > 0) period *= 2;
    }
    return sum / total;
}

Canvas::Canvas(int width, int height)
    : w_(width), h_(height), px_(size_t(width) * size_t(height)) {}

void Canvas::set(int x, int y, Rgb c) {
    if (inside(x, y)) at(x, y) = c;
}

void Canvas::add(int x, int y, Rgb c) {
    if (!inside(x, y)) return;
    Rgb& p = at(x, y);
    p = p + c;
}

void Canvas::addDot(float x, float y, Rgb c) {
    const float fx = std::floor(x), fy = std::floor(y);
    const float tx = x - fx, ty = y - fy;
    const int ix = int(fx), iy = int(fy);
    add(ix, iy, c * ((1 - tx) * (1 - ty)));
    add(ix + 1, iy, c * (tx * (1 - ty)));
    add(ix, iy + 1, c * ((1 - tx) * ty));
    add(ix + 1, iy + 1, c * (tx * ty));
}

void Canvas::addGlow(float cx, float cy, float radius, Rgb c) {
    const int r = int(std::ceil(radius * 3));
    for (int y = int(cy) - r; y <= int(cy) + r; ++y)
        for (int x = int(cx) - r; x <= int(cx) + r; ++x) {
            if (!inside(x, y)) continue;
            const float dx = float(x) - cx, dy = float(y) - cy;
            const float d2 = (dx * dx + dy * dy) / (radius * radius);
            if (d2 > 9) continue;
            add(x, y, c * std::exp(-d2));
        }
}

void Canvas::addLine(float x0, float y0, float x1, float y1, Rgb core, Rgb glow, float halo) {
    const float len = std::hypot(x1 - x0, y1 - y0);
    const int pad = int(std::ceil(halo * 2.5f)) + 1;
    const int xa = int(std::floor(std::min(x0, x1))) - pad,
              xb = int(std::ceil(std::max(x0, x1))) + pad;
    const int ya = int(std::floor(std::min(y0, y1))) - pad,
              yb = int(std::ceil(std::max(y0, y1))) + pad;
    for (int y = ya; y <= yb; ++y)
        for (int x = xa; x <= xb; ++x) {
            if (!inside(x, y)) continue;
            // distance from the pixel centre to the segment
            float t = 0;
            if (len > 1e-4f)
                t = clamp01(((float(x) - x0) * (x1 - x0) + (float(y) - y0) * (y1 - y0)) /
                            (len * len));
            const float px = x0 + (x1 - x0) * t, py = y0 + (y1 - y0) * t;
            const float d = std::hypot(float(x) - px, float(y) - py);
            const float k = clamp01(1.0f - d * 1.1f); // the core, about a pixel wide
            Rgb c = core * k;
            if (halo > 0) c = c + glow * std::exp(-(d * d) / (halo * halo));
            add(x, y, c);
        }
}

void Canvas::scale(float k) {
    for (Rgb& p : px_) p = p * k;
}

namespace {
uint8_t toByte(float v) {
    const float r = std::floor(v + 0.5f);
    return uint8_t(r < 0 ? 0 : (r > 255 ? 255 : r));
}
} // namespace

void toSurface(const Canvas& c, Surface& dst, int dx, int dy, bool keyed, float cutoff) {
    for (int y = 0; y < c.height(); ++y) {
        const int ty = dy + y;
        if (ty < 0 || ty >= dst.height()) continue;
        uint8_t* row = dst.row(ty);
        for (int x = 0; x < c.width(); ++x) {
            const int tx = dx + x;
            if (tx < 0 || tx >= dst.width()) continue;
            const Rgb& p = c.at(x, y);
            uint8_t* d = row + size_t(tx) * 3;
            if (keyed) {
                const float m = std::max(p.r, std::max(p.g, p.b));
                if (m < cutoff) {
                    d[0] = d[1] = d[2] = 0;
                    continue;
                }
                d[0] = std::max<uint8_t>(1, toByte(p.b));
                d[1] = std::max<uint8_t>(1, toByte(p.g));
                d[2] = std::max<uint8_t>(1, toByte(p.r));
            } else {
                d[0] = toByte(p.b);
                d[1] = toByte(p.g);
                d[2] = toByte(p.r);
            }
        }
    }
}

void putRgbRaw(Surface& s, int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= s.width() || y >= s.height()) return;
    uint8_t* d = s.row(y) + size_t(x) * 3;
    d[0] = toByte(c.b);
    d[1] = toByte(c.g);
    d[2] = toByte(c.r);
}

void putRgb(Surface& s, int x, int y, Rgb c) {
    if (x < 0 || y < 0 || x >= s.width() || y >= s.height()) return;
    uint8_t* d = s.row(y) + size_t(x) * 3;
    d[0] = std::max<uint8_t>(1, toByte(c.b));
    d[1] = std::max<uint8_t>(1, toByte(c.g));
    d[2] = std::max<uint8_t>(1, toByte(c.r));
}

Rgb getRgb(const Surface& s, int x, int y) {
    if (x < 0 || y < 0 || x >= s.width() || y >= s.height()) return {};
    const uint8_t* d = s.row(y) + size_t(x) * 3;
    return {float(d[2]), float(d[1]), float(d[0])};
}

void drawGrid(Surface& s, int x, int y, const std::vector<std::string>& rows, const Palette& pal) {
    for (size_t j = 0; j < rows.size(); ++j)
        for (size_t i = 0; i < rows[j].size(); ++i) {
            const char ch = rows[j][i];
            if (ch == '.' || ch == ' ') continue;
            for (const auto& [key, colour] : pal)
                if (key == ch) {
                    putRgb(s, x + int(i), y + int(j), colour);
                    break;
                }
        }
}

bool saveBmp(const std::string& outDir, const std::string& name, const Surface& s) {
    const std::vector<uint8_t> bytes = encodeBmp24(s);
    return writeFile(outDir + "/image/" + name, bytes.data(), bytes.size());
}

bool saveJpeg(const std::string& outDir, const std::string& name, const Surface& s, int quality) {
    tjhandle h = tjInitCompress();
    if (!h) {
        std::fprintf(stderr, "assetgen: %s: %s\n", name.c_str(), tjGetErrorStr());
        return false;
    }
    // Gather the rows into one packed buffer for the compressor (blue, green, red order).
    std::vector<uint8_t> packed(size_t(s.width()) * size_t(s.height()) * 3);
    for (int y = 0; y < s.height(); ++y)
        std::copy(s.row(y), s.row(y) + size_t(s.width()) * 3,
                  packed.begin() + std::ptrdiff_t(y) * s.width() * 3);
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int rc = tjCompress2(h, packed.data(), s.width(), s.width() * 3, s.height(), TJPF_BGR,
                               &jpeg, &size, TJSAMP_444, quality, TJFLAG_ACCURATEDCT);
    bool ok = rc == 0;
    if (!ok)
        std::fprintf(stderr, "assetgen: %s: %s\n", name.c_str(), tjGetErrorStr2(h));
    else
        ok = writeFile(outDir + "/image/" + name, jpeg, size);
    tjFree(jpeg);
    tjDestroy(h);
    return ok;
}

} // namespace art
