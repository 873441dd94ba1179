// The title picture and the default background.
//
// title02.bmp (200 x 70): the logo "VORTALIX" in chunky chrome letters (7 x 9 grids scaled
//   3 x 4, slanted) with a dark outline and a magenta glow, and "-Revision-" below in a
//   smaller sunset-coloured script; bright on black, every visible pixel with all bytes >= 1
//   (it is drawn keyed, additive while it slides in, then opaque).
// t_back.jpg (480 x 480): a swirling vortex in a nebula with stars. It tiles seamlessly,
//   since the game scrolls it with wrap-around: the nebula is periodic noise, the swirl fades
//   out towards the edges and the stars wrap round.

#include "tools/assetgen/image_draw.h"
#include "tools/assetgen/image_sheets.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace art {

namespace {

// clang-format off
const std::map<char, std::vector<std::string>>& logoGlyphs() {
    static const std::map<char, std::vector<std::string>> g = {
        {'V', {"##...##",
               "##...##",
               "##...##",
               "###.###",
               ".##.##.",
               ".##.##.",
               ".#####.",
               "..###..",
               "...#..."}},
        {'O', {"..###..",
               ".#####.",
               "##...##",
               "##...##",
               "##...##",
               "##...##",
               "##...##",
               ".#####.",
               "..###.."}},
        {'R', {"######.",
               "#######",
               "##...##",
               "##...##",
               "######.",
               "#####..",
               "##.###.",
               "##..###",
               "##...##"}},
        {'T', {"#######",
               "#######",
               "..###..",
               "..###..",
               "..###..",
               "..###..",
               "..###..",
               "..###..",
               "..###.."}},
        {'A', {"..###..",
               ".#####.",
               "###.###",
               "##...##",
               "##...##",
               "#######",
               "#######",
               "##...##",
               "##...##"}},
        {'L', {"##.....",
               "##.....",
               "##.....",
               "##.....",
               "##.....",
               "##.....",
               "##.....",
               "#######",
               "#######"}},
        {'I', {"###",
               "###",
               ".#.",
               ".#.",
               ".#.",
               ".#.",
               ".#.",
               "###",
               "###"}},
        {'X', {"##...##",
               "##...##",
               ".##.##.",
               "..###..",
               "..###..",
               "..###..",
               ".##.##.",
               "##...##",
               "##...##"}},
    };
    return g;
}

// 5 x 7 script for "-Revision-" (the i is 3 wide).
const std::map<char, std::vector<std::string>>& smallGlyphs() {
    static const std::map<char, std::vector<std::string>> g = {
        {'-', {".....",
               ".....",
               ".....",
               "#####",
               ".....",
               ".....",
               "....."}},
        {'R', {"####.",
               "#...#",
               "#...#",
               "####.",
               "#.#..",
               "#..#.",
               "#...#"}},
        {'e', {".....",
               ".....",
               ".###.",
               "#...#",
               "#####",
               "#....",
               ".####"}},
        {'v', {".....",
               ".....",
               "#...#",
               "#...#",
               "#...#",
               ".#.#.",
               "..#.."}},
        {'i', {".#.",
               "...",
               "##.",
               ".#.",
               ".#.",
               ".#.",
               "###"}},
        {'s', {".....",
               ".....",
               ".####",
               "#....",
               ".###.",
               "....#",
               "####."}},
        {'o', {".....",
               ".....",
               ".###.",
               "#...#",
               "#...#",
               "#...#",
               ".###."}},
        {'n', {".....",
               ".....",
               "####.",
               "#...#",
               "#...#",
               "#...#",
               "#...#"}},
    };
    return g;
}

// clang-format on

// A mask of the canvas size: 1 where a glyph pixel is, letters scaled (sx, sy) and slanted.
std::vector<uint8_t> textMask(int w, int h, const std::string& text,
                              const std::map<char, std::vector<std::string>>& font, int x0, int y0,
                              int sx, int sy, int gap, float slant, int& outWidth) {
    std::vector<uint8_t> mask(size_t(w) * size_t(h), 0);
    int pen = x0;
    for (char c : text) {
        const auto& g = font.at(c);
        const int gw = int(g[0].size()), gh = int(g.size());
        for (int y = 0; y < gh * sy; ++y) {
            const int shift = int(std::floor(float(gh * sy - 1 - y) * slant));
            for (int x = 0; x < gw * sx; ++x) {
                if (g[size_t(y / sy)][size_t(x / sx)] != '#') continue;
                const int px = pen + x + shift, py = y0 + y;
                if (px >= 0 && py >= 0 && px < w && py < h)
                    mask[size_t(py) * size_t(w) + size_t(px)] = 1;
            }
        }
        pen += gw * sx + gap;
    }
    outWidth = pen - gap - x0;
    return mask;
}

int textWidth(const std::string& text, const std::map<char, std::vector<std::string>>& font, int sx,
              int gap) {
    int w = 0;
    for (char c : text) w += int(font.at(c)[0].size()) * sx + gap;
    return w - gap;
}

// Distance (in pixels, up to `limit`) from each pixel to the nearest set pixel of the mask.
std::vector<float> distanceTo(const std::vector<uint8_t>& mask, int w, int h, int limit) {
    std::vector<float> d(mask.size(), 1e9f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            if (mask[size_t(y) * size_t(w) + size_t(x)]) {
                d[size_t(y) * size_t(w) + size_t(x)] = 0;
                continue;
            }
            float best = 1e9f;
            for (int j = -limit; j <= limit; ++j)
                for (int i = -limit; i <= limit; ++i) {
                    const int xx = x + i, yy = y + j;
                    if (xx < 0 || yy < 0 || xx >= w || yy >= h) continue;
                    if (mask[size_t(yy) * size_t(w) + size_t(xx)])
                        best = std::min(best, std::hypot(float(i), float(j)));
                }
            d[size_t(y) * size_t(w) + size_t(x)] = best;
        }
    return d;
}

void star(Canvas& cv, float x, float y, float size, Rgb c) {
    cv.addLine(x - size, y, x + size, y, c, c * 0.3f, 0.8f);
    cv.addLine(x, y - size, x, y + size, c, c * 0.3f, 0.8f);
    cv.addGlow(x, y, size * 0.35f, c);
}

} // namespace

Surface makeTitle() {
    const int W = 200, H = 70;
    Canvas cv(W, H);
    const auto& big = logoGlyphs();
    const auto& small = smallGlyphs();
    const std::string logo = "VORTALIX", sub = "-Revision-";
    const int sx = 3, sy = 4, gap = 3;
    const float slant = 0.16f;
    const int logoH = 9 * sy;
    const int logoW = textWidth(logo, big, sx, gap) + int(float(logoH) * slant);
    const int lx = (W - logoW) / 2, ly = 5;
    int dummy = 0;
    const std::vector<uint8_t> logoMask =
        textMask(W, H, logo, big, lx, ly, sx, sy, gap, slant, dummy);
    const int subW = textWidth(sub, small, 2, 2) + 3;
    const int subX = (W - subW) / 2 + 6, subY = ly + logoH + 8;
    const std::vector<uint8_t> subMask =
        textMask(W, H, sub, small, subX, subY, 2, 2, 2, 0.2f, dummy);

    const std::vector<float> logoDist = distanceTo(logoMask, W, H, 4);
    const std::vector<float> subDist = distanceTo(subMask, W, H, 3);
    auto at = [&](const std::vector<uint8_t>& m, int x, int y) {
        return x >= 0 && y >= 0 && x < W && y < H && m[size_t(y) * size_t(W) + size_t(x)] != 0;
    };

    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x) {
            const size_t i = size_t(y) * size_t(W) + size_t(x);
            Rgb c{};
            // glow and outline round the logo
            const float dl = logoDist[i];
            if (dl > 0 && dl <= 4.2f) {
                if (dl <= 1.5f)
                    c = Rgb{20, 6, 46};
                else
                    c = Rgb{210, 40, 200} * (0.75f * std::exp(-(dl - 1.5f) * 0.75f));
            }
            const float ds = subDist[i];
            if (ds > 0 && ds <= 3.2f) {
                Rgb o = ds <= 1.5f ? Rgb{30, 4, 30}
                                   : Rgb{255, 90, 40} * (0.45f * std::exp(-(ds - 1.5f) * 1.1f));
                if (o.r + o.g + o.b > c.r + c.g + c.b) c = o;
            }
            if (logoMask[i]) {
                // chrome: sky above the horizon line, a dark band and a warm reflection below
                const float v = float(y - ly) / float(logoH - 1);
                Rgb chrome;
                if (v < 0.52f)
                    chrome = ramp({{70, 130, 255}, {150, 210, 255}, {235, 250, 255}}, v / 0.52f);
                else if (v < 0.58f)
                    chrome = Rgb{255, 255, 255};
                else
                    chrome = ramp({{60, 20, 120}, {200, 50, 170}, {255, 140, 90}, {255, 220, 140}},
                                  (v - 0.58f) / 0.42f);
                // bevel: lit from the upper left
                if (!at(logoMask, x - 1, y - 1) || !at(logoMask, x, y - 1))
                    chrome = lerp(chrome, Rgb{255, 255, 255}, 0.55f);
                else if (!at(logoMask, x + 1, y + 1) || !at(logoMask, x + 1, y))
                    chrome = chrome * 0.6f;
                c = chrome;
            }
            if (subMask[i]) {
                const float v = float(y - subY) / 13.0f;
                c = ramp({{255, 250, 170}, {255, 170, 60}, {255, 70, 120}, {230, 60, 230}}, v);
                if (!at(subMask, x, y - 1)) c = lerp(c, Rgb{255, 255, 255}, 0.5f);
            }
            cv.at(x, y) = c;
        }
    // glints on the chrome
    star(cv, float(lx + 2), float(ly + 1), 5.0f, Rgb{255, 255, 255});
    star(cv, float(lx + logoW - 8), float(ly + logoH - 6), 4.0f, Rgb{255, 240, 255});
    star(cv, float(subX + subW + 2), float(subY + 3), 3.0f, Rgb{255, 240, 200});
    Surface s(W, H);
    toSurface(cv, s, 0, 0, true, 8.0f);
    return s;
}

Surface makeBackground() {
    const int N = 480;
    const int P = 5; // noise period in lattice cells over the picture
    Canvas cv(N, N);
    const float c = float(N) / 2.0f;
    for (int y = 0; y < N; ++y)
        for (int x = 0; x < N; ++x) {
            const float dx = float(x) - c, dy = float(y) - c;
            const float r = std::hypot(dx, dy);
            const float theta = std::atan2(dy, dx);
            // the swirl: turn the lookup round the centre, most strongly near it, not at all at
            // the edges (so the picture still tiles)
            const float m = smoothstep(236.0f, 40.0f, r);
            const float turn = m * m * 5.5f * (1.0f - r / 300.0f);
            const float a = theta + turn;
            const float sx = c + std::cos(a) * r, sy = c + std::sin(a) * r;
            const float u = sx / float(N) * float(P), v = sy / float(N) * float(P);
            // domain-warped periodic nebula
            const float wx = fbm(u + 3.1f, v + 1.7f, 11u, 4, P);
            const float wy = fbm(u + 8.3f, v + 2.9f, 12u, 4, P);
            const float n = fbm(u + wx * 1.6f, v + wy * 1.6f, 13u, 5, P);
            const float hueN = fbm(u + 0.3f, v, 14u, 2, P);
            const float dens = smoothstep(0.32f, 0.78f, n);
            const float hue =
                std::clamp(265.0f + 330.0f * (hueN - 0.5f), 165.0f, 350.0f) + 25.0f * (1 - dens);
            Rgb col = hsv(hue, 0.8f - 0.35f * dens * dens, 0.18f + 0.92f * dens);
            // spiral arms of the vortex
            const float spiral =
                0.5f + 0.5f * std::cos(3.0f * (theta - std::log(r + 8.0f) * 2.3f) + n * 3.0f);
            const float armMask = smoothstep(230.0f, 30.0f, r);
            col = col + hsv(200.0f + 60.0f * n, 0.55f, 1.0f) * (spiral * spiral * armMask * 0.55f);
            // the bright core
            const float core = std::exp(-(r * r) / (2.0f * 38.0f * 38.0f));
            col = col + Rgb{200, 235, 255} * (core * 1.1f) +
                  Rgb{120, 60, 255} * (std::exp(-r / 90.0f) * 0.35f * m);
            cv.at(x, y) = col;
        }
    // stars, wrapping round the edges
    Rng rng(31337u);
    for (int i = 0; i < 420; ++i) {
        const float x = rng.range(0, float(N)), y = rng.range(0, float(N));
        const float b = rng.uni();
        const float size = b > 0.95f ? 2.2f : (b > 0.7f ? 1.3f : 0.9f);
        const Rgb col = hsv(rng.range(180, 260), rng.range(0.0f, 0.35f), 1.0f) * (0.5f + 0.7f * b);
        for (int oy = -1; oy <= 1; ++oy)
            for (int ox = -1; ox <= 1; ++ox) {
                const float px = x + float(ox * N), py = y + float(oy * N);
                if (px < -8 || py < -8 || px > float(N + 8) || py > float(N + 8)) continue;
                cv.addGlow(px, py, size, col);
                if (b > 0.93f) {
                    cv.addLine(px - 6, py, px + 6, py, col * 0.5f, col * 0.1f, 0.8f);
                    cv.addLine(px, py - 6, px, py + 6, col * 0.5f, col * 0.1f, 0.8f);
                }
            }
    }
    Surface s(N, N);
    toSurface(cv, s, 0, 0, false);
    return s;
}

} // namespace art
