// The effect sheets, all drawn additively by the game (black adds nothing).
//
// efect01.bmp (736 x 16): five sparkle strips of nine 16 x 16 frames, strip t (1..5) at
//   x = (t-1) * 144 + frame * 16, drawn keyed: a flash, an expanding ring and flying sparks
//   that fade out; then at x = 720 the soft round glow of the invincible point, centred on
//   (7, 7) and drawn plain.
// bomb01.bmp (384 x 128): twelve 64 x 64 frames of a small explosion (frame n at
//   x = 64 (n mod 6), y = 64 (n div 6)): a white-hot flash, a growing ragged fireball with a
//   shock ring and embers, cooling to red and dim smoke, black at the end.
// bomb02.bmp (1152 x 384): the big explosion, nine 192 x 192 frames (row 0, then the first
//   three cells of row 1), a shockwave ring with a fireball and rays, fading out.
// thunder01.bmp, thunder02.bmp (240 x 240): branching lightning on black; thunder02 is the
//   first, brighter strike, thunder01 the afterglow.

#include "tools/assetgen/image_draw.h"
#include "tools/assetgen/image_sheets.h"

#include <algorithm>
#include <cmath>

namespace art {

namespace {

constexpr float kPi = 3.14159265358979f;

// ---- sparkles ---------------------------------------------------------------------------

void drawSparkle(Canvas& cv, int strip, int frame) {
    static const Rgb kStrip[6] = {
        {}, {255, 200, 60}, {70, 210, 255}, {90, 255, 110}, {255, 90, 220}, {190, 150, 255}};
    const Rgb col = kStrip[strip];
    const float p = float(frame) / 8.0f;
    const float cx = 7.5f, cy = 7.5f;
    const float fade = 1.0f - p;
    // the flash at the centre
    if (frame <= 4) {
        const float k = (1.0f - float(frame) / 5.0f);
        cv.addGlow(cx, cy, 1.2f + 1.6f * k, lerp(col, Rgb{255, 255, 255}, 0.6f) * (k * k * 1.6f));
    }
    // the ring
    const float r = 1.5f + 6.0f * std::pow(p, 0.7f);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(float(x) - cx, float(y) - cy);
            const float k = std::exp(-(d - r) * (d - r) / 0.7f) * fade * fade;
            cv.add(x, y, col * (k * 1.4f));
        }
    // the cross rays, turned by 45 degrees every other strip
    const float len = 2.0f + 6.5f * std::sin(kPi * std::min(1.0f, p * 1.6f));
    const float turn = strip % 2 == 0 ? kPi / 4 : 0;
    const int rays = strip == 5 ? 8 : 4;
    for (int i = 0; i < rays; ++i) {
        const float a = turn + float(i) * 2 * kPi / float(rays);
        const float l = i % 2 == 1 && rays == 8 ? len * 0.6f : len;
        cv.addLine(cx, cy, cx + std::cos(a) * l, cy + std::sin(a) * l,
                   lerp(col, Rgb{255, 255, 255}, 0.5f) * (fade * 1.3f), col * (fade * 0.45f), 0.9f);
    }
    // sparks flying out
    Rng rng(uint32_t(1000 + strip * 17));
    for (int i = 0; i < 9; ++i) {
        const float a = rng.range(0, 2 * kPi);
        const float speed = rng.range(0.55f, 1.0f);
        const float twinkle = rng.range(0.6f, 1.0f);
        const float dist = 1.0f + 7.0f * speed * std::pow(p, 0.8f);
        Rgb c =
            strip == 5 ? hsv(float(i) * 40.0f, 0.6f, 1.0f) : lerp(col, Rgb{255, 255, 255}, 0.3f);
        const float k = std::sqrt(fade) * twinkle * (frame == 0 ? 0.3f : 1.8f);
        const float sx = cx + std::cos(a) * dist, sy = cy + std::sin(a) * dist;
        cv.addDot(sx, sy, c * k);
        cv.addGlow(sx, sy, 0.7f, c * (k * 0.35f));
    }
}

// ---- explosions -------------------------------------------------------------------------

Rgb fireColour(float t) {
    return ramp({{0, 0, 0},
                 {70, 8, 4},
                 {170, 35, 8},
                 {250, 110, 20},
                 {255, 190, 70},
                 {255, 245, 170},
                 {255, 255, 250}},
                t);
}

struct Ember {
    float angle, speed, heat;
};

// One frame of an explosion centred in a square canvas of side `size`; t goes from 0 (the
// flash) to 1 (burnt out).
void drawExplosion(Canvas& cv, float t, uint32_t seed, bool big) {
    const float size = float(cv.width());
    const float c = (size - 1) * 0.5f;
    const float maxR = size * (big ? 0.42f : 0.44f);
    const float grow = 1.0f - (1.0f - t) * (1.0f - t) * (1.0f - t);
    const float R = maxR * (0.18f + 0.82f * grow);
    const float heat = std::pow(1.0f - t, big ? 0.9f : 1.25f) * 1.25f + 0.02f;
    for (int y = 0; y < cv.height(); ++y)
        for (int x = 0; x < cv.width(); ++x) {
            const float dx = float(x) - c, dy = float(y) - c;
            const float d = std::hypot(dx, dy);
            if (d > maxR * 1.5f) continue;
            // noise sampled relative to the radius, so the pattern grows with the fireball
            const float nx = dx / R * 2.2f, ny = dy / R * 2.2f;
            const float n = fbm(nx + 11.3f, ny + 7.1f + t * 0.8f, seed, 4);
            const float n2 = fbm(nx * 1.7f - 3.0f + t * 1.5f, ny * 1.7f + 5.0f, seed + 99, 3);
            const float edge = R * (0.72f + 0.55f * n);
            const float density = smoothstep(edge, edge - R * 0.35f, d);
            if (density <= 0) continue;
            // the centre burns out first as the fireball cools
            const float hollow =
                1.0f - smoothstep(R * 0.55f, 0.0f, d) * smoothstep(0.35f, 0.9f, t) * 0.75f;
            const float radial = 1.0f - 0.55f * (d / std::max(edge, 1.0f));
            float T = density * heat * radial * (0.55f + 0.75f * n2) * hollow;
            Rgb col = fireColour(T);
            // dim smoke round the cooling ball
            const float smoke =
                density * smoothstep(0.2f, 0.6f, t) * (1.0f - t) * (0.4f + 0.6f * n);
            col = col + Rgb{46, 30, 28} * smoke;
            cv.add(x, y, col);
        }
    // the shock ring of the first frames
    const float ringEnd = big ? 0.75f : 0.45f;
    if (t > 0.02f && t < ringEnd) {
        const float rr = maxR * (0.45f + (big ? 0.75f : 1.4f) * t / ringEnd);
        const float k = (1.0f - t / ringEnd) * (big ? 1.2f : 1.0f);
        for (int y = 0; y < cv.height(); ++y)
            for (int x = 0; x < cv.width(); ++x) {
                const float d = std::hypot(float(x) - c, float(y) - c);
                const float w = big ? 2.2f : 1.2f;
                const float g = std::exp(-(d - rr) * (d - rr) / (w * w));
                cv.add(x, y, Rgb{255, 200, 130} * (g * k * 0.8f));
            }
    }
    // embers flying out
    Rng rng(seed * 31u + 7u);
    const int count = big ? 60 : 22;
    for (int i = 0; i < count; ++i) {
        Ember e{rng.range(0, 2 * kPi), rng.range(0.5f, 1.0f), rng.range(0.5f, 1.0f)};
        const float dist0 = maxR * (0.2f + 1.05f * e.speed * std::pow(t, 0.7f));
        const float dist1 =
            maxR * (0.2f + 1.05f * e.speed * std::pow(std::max(0.0f, t - 0.06f), 0.7f));
        const float k = e.heat * std::pow(1.0f - t, 1.5f) * (t < 0.05f ? 0.3f : 1.0f);
        if (k <= 0.01f) continue;
        const float x0 = c + std::cos(e.angle) * dist1, y0 = c + std::sin(e.angle) * dist1;
        const float x1 = c + std::cos(e.angle) * dist0, y1 = c + std::sin(e.angle) * dist0;
        cv.addLine(x0, y0, x1, y1, fireColour(0.55f + 0.4f * e.heat) * k,
                   Rgb{255, 100, 20} * (k * 0.3f), big ? 1.5f : 0.8f);
    }
    // rays of the big explosion
    if (big && t < 0.7f) {
        const float k = 1.0f - t / 0.7f;
        Rng rays(seed + 5u);
        for (int i = 0; i < 14; ++i) {
            const float a = rays.range(0, 2 * kPi);
            const float l = maxR * rays.range(0.9f, 1.4f) * (0.5f + 0.7f * grow);
            cv.addLine(c, c, c + std::cos(a) * l, c + std::sin(a) * l,
                       Rgb{255, 230, 180} * (k * 0.12f), Rgb{255, 120, 40} * (k * 0.22f), 4.5f);
        }
    }
    // the flash
    if (t < 0.3f) {
        const float k = 1.0f - t / 0.3f;
        cv.addGlow(c, c, maxR * 0.35f, Rgb{255, 250, 235} * (k * 1.2f));
    }
    // fade out towards the borders of the cell, so no square edge ever shows
    const float border = big ? 10.0f : 5.0f;
    for (int y = 0; y < cv.height(); ++y)
        for (int x = 0; x < cv.width(); ++x) {
            const float e =
                float(std::min(std::min(x, y), std::min(cv.width() - 1 - x, cv.height() - 1 - y)));
            if (e < border) cv.at(x, y) = cv.at(x, y) * smoothstep(0.0f, border, e);
        }
}

// ---- lightning --------------------------------------------------------------------------

void bolt(Canvas& cv, Rng& rng, float x0, float y0, float x1, float y1, float intensity, int depth,
          Rgb glow) {
    // midpoint displacement into a jagged path
    std::vector<std::pair<float, float>> pts = {{x0, y0}, {x1, y1}};
    float spread = std::hypot(x1 - x0, y1 - y0) * 0.2f;
    for (int level = 0; level < 6; ++level) {
        std::vector<std::pair<float, float>> next;
        for (size_t i = 0; i + 1 < pts.size(); ++i) {
            const auto [ax, ay] = pts[i];
            const auto [bx, by] = pts[i + 1];
            const float len = std::hypot(bx - ax, by - ay);
            const float nx = -(by - ay) / std::max(len, 1e-3f),
                        ny = (bx - ax) / std::max(len, 1e-3f);
            const float off = rng.range(-1, 1) * spread;
            next.push_back(pts[i]);
            next.push_back({(ax + bx) * 0.5f + nx * off, (ay + by) * 0.5f + ny * off});
        }
        next.push_back(pts.back());
        pts = next;
        spread *= 0.56f;
    }
    const Rgb core = Rgb{255, 255, 255} * intensity;
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        cv.addLine(pts[i].first, pts[i].second, pts[i + 1].first, pts[i + 1].second, core,
                   glow * (intensity * 0.22f), 1.2f + 1.6f * intensity);
    // branches
    if (depth <= 0) return;
    const int branches = 1 + rng.below(depth >= 2 ? 3 : 2);
    for (int b = 0; b < branches; ++b) {
        const size_t at = size_t(rng.below(int(pts.size()) * 3 / 4));
        const auto [bx, by] = pts[at];
        const float dirx = x1 - x0, diry = y1 - y0;
        const float len = std::hypot(dirx, diry) * rng.range(0.25f, 0.5f);
        const float a =
            std::atan2(diry, dirx) + rng.range(0.35f, 0.9f) * (rng.below(2) ? 1.0f : -1.0f);
        bolt(cv, rng, bx, by, bx + std::cos(a) * len, by + std::sin(a) * len, intensity * 0.55f,
             depth - 1, glow);
    }
}

} // namespace

Surface makeEffectSheet() {
    Surface s(736, 16);
    for (int t = 1; t <= 5; ++t)
        for (int f = 0; f < 9; ++f) {
            Canvas cv(16, 16);
            drawSparkle(cv, t, f);
            toSurface(cv, s, (t - 1) * 144 + f * 16, 0, true, 5.0f);
        }
    // the glow of the invincible point: drawn plain additive at (px - 7, py - 7)
    Canvas glow(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(float(x - 7), float(y - 7));
            const float soft = std::exp(-(d * d) / 11.0f);
            const float ring = std::exp(-(d - 4.5f) * (d - 4.5f) / 1.2f) * 0.35f;
            glow.add(x, y, Rgb{150, 210, 255} * soft + Rgb{110, 170, 255} * ring);
        }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const float d = std::hypot(float(x - 7), float(y - 7));
            if (d > 7.5f)
                glow.at(x, y) = {};
            else
                glow.at(x, y) = glow.at(x, y) * smoothstep(7.5f, 5.5f, d);
        }
    toSurface(glow, s, 720, 0, false);
    return s;
}

Surface makeBombSheet() {
    Surface s(384, 128);
    for (int n = 0; n < 12; ++n) {
        Canvas cv(64, 64);
        drawExplosion(cv, float(n) / 11.0f, 4242u, false);
        if (n == 11) cv.scale(0.35f);
        toSurface(cv, s, (n % 6) * 64, (n / 6) * 64, false);
    }
    return s;
}

Surface makeBigBombSheet() {
    Surface s(1152, 384);
    for (int n = 0; n < 9; ++n) {
        Canvas cv(192, 192);
        drawExplosion(cv, float(n) / 8.6f, 777u, true);
        toSurface(cv, s, (n % 6) * 192, (n / 6) * 192, false);
    }
    return s;
}

Surface makeThunder(int variant) {
    Canvas cv(240, 240);
    Rng rng(variant == 2 ? 20202u : 10101u);
    const Rgb glow = variant == 2 ? Rgb{120, 110, 255} : Rgb{90, 120, 255};
    const int bolts = variant == 2 ? 3 : 2;
    for (int b = 0; b < bolts; ++b) {
        const float x0 = 30.0f + float(b) * (180.0f / float(bolts)) + rng.range(0, 40);
        const float x1 = x0 + rng.range(-70, 70);
        bolt(cv, rng, x0, -5, x1, 245, variant == 2 ? 1.0f : 0.8f, 2, glow);
    }
    // a faint sky glow at the top where the bolts come from
    for (int y = 0; y < 240; ++y)
        for (int x = 0; x < 240; ++x) {
            const float k = std::exp(-float(y) / (variant == 2 ? 40.0f : 25.0f)) *
                            (variant == 2 ? 40.0f : 22.0f);
            cv.add(x, y, Rgb{0.5f, 0.5f, 1.0f} * k);
        }
    Surface s(240, 240);
    toSurface(cv, s, 0, 0, false);
    return s;
}

} // namespace art
