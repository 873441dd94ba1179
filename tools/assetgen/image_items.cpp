// The item sheets and the status bar's gauge sheet.
//
// bonus01.bmp and bairitu01.bmp: 16 x 16 cells in 4 columns, 3 rows (64 x 48); the cell of
// kind k (1..11) at x = 16 (k mod 4), y = 16 (k div 4); cell 0 stays empty.
//   Bonus items (worth 13 .. 43): copper, silver and gold coins, a gold bar, emerald,
//   sapphire, ruby, diamond, a diamond ring, a crown and a rainbow star.
//   Rate items (worth 2 .. 400): badges that read "x2" .. "x400", round for the small ones,
//   octagonal for the tens, star seals for the hundreds.
// garge01.bmp (160 x 32): three 32 x 8 combo-timer frames at y 0 and three 160 x 8
// level-gauge frames at y 8, 16, 24; inside each frame (local x 2 .. w-2, y 2 .. 5) is left
// all-zero so that the bar drawn beneath shows through.
//
// The items are drawn from material grids: each letter of a grid is a material, shaded by
// the generator (lighter at the top, a bevel along its edges, or a round dome), with a dark
// outline added round the whole shape.

#include "tools/assetgen/image_draw.h"
#include "tools/assetgen/image_sheets.h"

#include <algorithm>
#include <cmath>
#include <map>

namespace art {

namespace {

enum class Shade { Raised, Recessed, Flat, Dome, Rainbow, RainbowDome };

struct Material {
    Rgb base;
    Shade shade = Shade::Raised;
};

using Grid = std::vector<std::string>;
using Materials = std::map<char, Material>;

// A grid given by its left eight columns, mirrored into sixteen.
Grid mirrored(const Grid& left) {
    Grid g;
    for (const std::string& row : left) {
        std::string r = row;
        r.resize(8, '.');
        std::string full = r;
        for (int i = 7; i >= 0; --i) full += r[size_t(i)];
        g.push_back(full);
    }
    return g;
}

// Rows 0..n-1 followed by the same rows upside down, skipping the last one once.
Grid mirroredDown(const Grid& top) {
    Grid g = top;
    for (int i = int(top.size()) - 1; i >= 0; --i) g.push_back(top[size_t(i)]);
    return g;
}

struct Glint {
    int x, y;
    Rgb c;
};

// Draws a material grid into a 16 x 16 cell at (cx, cy) with shading and an outline.
void drawSprite(Surface& s, int cx, int cy, const Grid& grid, const Materials& mats,
                const std::vector<Glint>& glints = {}, Rgb outline = {14, 10, 24}) {
    auto mat = [&](int x, int y) -> char {
        if (y < 0 || y >= int(grid.size()) || x < 0 || x >= int(grid[size_t(y)].size())) return '.';
        const char c = grid[size_t(y)][size_t(x)];
        return mats.count(c) ? c : '.';
    };
    int top = 16, bottom = -1, left = 16, right = -1;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (mat(x, y) != '.') {
                top = std::min(top, y), bottom = std::max(bottom, y);
                left = std::min(left, x), right = std::max(right, x);
            }
    if (bottom < 0) return;
    const float hx = left + (right - left) * 0.32f, hy = top + (bottom - top) * 0.28f;
    const float radius = std::max(right - left, bottom - top) * 0.75f + 1;
    // outline first
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            if (mat(x, y) != '.') continue;
            if (mat(x - 1, y) != '.' || mat(x + 1, y) != '.' || mat(x, y - 1) != '.' ||
                mat(x, y + 1) != '.')
                putRgb(s, cx + x, cy + y, outline);
        }
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const char m = mat(x, y);
            if (m == '.') continue;
            const Material& mt = mats.at(m);
            const float v = bottom > top ? float(y - top) / float(bottom - top) : 0.5f;
            float k = 1.18f - 0.5f * v;
            Rgb base = mt.base;
            const bool edgeTL = mat(x - 1, y) != m || mat(x, y - 1) != m;
            const bool edgeBR = mat(x + 1, y) != m || mat(x, y + 1) != m;
            switch (mt.shade) {
            case Shade::Raised:
                if (edgeTL)
                    k *= 1.3f;
                else if (edgeBR)
                    k *= 0.62f;
                break;
            case Shade::Recessed:
                if (edgeTL)
                    k *= 0.62f;
                else if (edgeBR)
                    k *= 1.25f;
                break;
            case Shade::Flat:
                k = 1.0f;
                break;
            case Shade::Dome: {
                const float d = std::hypot(float(x) - hx, float(y) - hy) / radius;
                k = 1.45f - d * 1.1f;
                break;
            }
            case Shade::Rainbow:
                base =
                    hsv(std::atan2(float(y) - 7.5f, float(x) - 7.5f) * 57.3f + 200.0f, 0.65f, 1.0f);
                if (edgeTL)
                    k *= 1.25f;
                else if (edgeBR)
                    k *= 0.7f;
                break;
            case Shade::RainbowDome: {
                base =
                    hsv(std::atan2(float(y) - 7.5f, float(x) - 7.5f) * 57.3f + 200.0f, 0.6f, 1.0f);
                const float d = std::hypot(float(x) - hx, float(y) - hy) / radius;
                k = 1.35f - d * 0.9f;
                break;
            }
            }
            Rgb c = base * std::min(k, 1.2f);
            if (k > 1.2f) c = lerp(c, Rgb{255, 255, 255}, std::min(1.0f, (k - 1.2f) * 1.5f));
            c = {std::min(c.r, 255.0f), std::min(c.g, 255.0f), std::min(c.b, 255.0f)};
            putRgb(s, cx + x, cy + y, c);
        }
    for (const Glint& g : glints) putRgb(s, cx + g.x, cy + g.y, g.c);
}

const Rgb kWhite{255, 255, 255};

// clang-format off
// ---- bonus items ---------------------------------------------------------------------------

const Grid kCoin = {
    "................",
    "......bbbb......",
    "....bbbbbbbb....",
    "...bbaaaaaabb...",
    "..bbaaaaaaaabb..",
    "..baaaaeeaaaab..",
    ".bbaaaeeeeaaabb.",
    ".baaaeeeeeeaaab.",
    ".baaaeeeeeeaaab.",
    ".bbaaaeeeeaaabb.",
    "..baaaaeeaaaab..",
    "..bbaaaaaaaabb..",
    "...bbaaaaaabb...",
    "....bbbbbbbb....",
    "......bbbb......",
    "................",
};

Materials coinMaterials(Rgb metal) {
    return {{'b', {metal, Shade::Raised}},
            {'a', {metal * 0.82f, Shade::Recessed}},
            {'e', {lerp(metal, kWhite, 0.15f), Shade::Raised}}};
}

const Grid kBar = {
    "................",
    "................",
    "................",
    "................",
    "....ttttttttttt.",
    "...tttttttttttss",
    "..ttttttttttttss",
    ".fffffffffffsss.",
    ".fffffffffffsss.",
    ".ffeeeeeeeffsss.",
    ".fffffffffffsss.",
    ".fffffffffffss..",
    ".fffffffffffs...",
    "................",
    "................",
    "................",
};

const Grid kEmerald = {
    "................",
    "....aaaaaaaa....",
    "...abbbbbbbba...",
    "..abbbbbbbbbba..",
    "..abbccccccbba..",
    "..abccccccccba..",
    "..abccccccccba..",
    "..abccccccccba..",
    "..abccccccccba..",
    "..abccccccccba..",
    "..abccccccccba..",
    "..abbccccccbba..",
    "..abbbbbbbbbba..",
    "...abbbbbbbba...",
    "....aaaaaaaa....",
    "................",
};

Grid sapphireGrid() {
    return mirroredDown(mirrored({
    "........",
    ".....aaa",
    "...aabba",
    "..abbcbb",
    "..abcccb",
    ".abcccdc",
    ".abccddd",
    ".abcdddd",
}));
}

Grid rubyGrid() {
    return mirrored({
    "........",
    "........",
    "..aaaa..",
    ".abbbbaa",
    ".abccbbb",
    ".abcccbb",
    ".abcccbb",
    "..abccbb",
    "..abbcbb",
    "...abbbb",
    "....abbb",
    ".....abb",
    "......ab",
    ".......a",
    "........",
    "........",
});
}

Grid diamondGrid() {
    return mirrored({
    "........",
    "........",
    "....cctt",
    "...cctct",
    "..cctcct",
    ".ggggggg",
    "..ppqqpq",
    "..ppqqpq",
    "...pqqpq",
    "....pqpq",
    ".....pqq",
    "......pq",
    ".......q",
    "........",
    "........",
    "........",
});
}

Grid ringGrid() {
    return mirrored({
    "......dd",
    ".....ddd",
    "....dddd",
    ".....ddd",
    "......gd",
    "....gggg",
    "..gggggg",
    ".ggg....",
    ".gg.....",
    ".gg.....",
    ".gg.....",
    ".ggg....",
    "..gggggg",
    "....gggg",
    "........",
    "........",
});
}

Grid crownGrid() {
    return mirrored({
    "........",
    "........",
    ".j....jj",
    ".g..j.gg",
    ".gg.g.gg",
    ".ggggggg",
    ".ggggggg",
    ".ggggggg",
    ".gbgggrr",
    ".ggggggg",
    ".hhhhhhh",
    ".hhhhhhh",
    "........",
    "........",
    "........",
    "........",
});
}

Grid starGrid() {
    return mirroredDown(mirrored({
    ".......a",
    ".......a",
    "..a...aa",
    "...a..ab",
    "....aabb",
    "....abbb",
    "..aabbbb",
    "aaabbbbb",
}));
}

// clang-format on

void drawBonus(Surface& s, int kind, int cx, int cy) {
    const Rgb copper{225, 120, 60}, silver{200, 210, 230}, gold{255, 200, 40};
    switch (kind) {
    case 1:
        drawSprite(s, cx, cy, kCoin, coinMaterials(copper),
                   {{4, 3, {255, 230, 200}}, {3, 4, {255, 210, 170}}});
        break;
    case 2:
        drawSprite(s, cx, cy, kCoin, coinMaterials(silver), {{4, 3, kWhite}, {3, 4, kWhite}});
        break;
    case 3:
        drawSprite(s, cx, cy, kCoin, coinMaterials(gold),
                   {{4, 3, kWhite}, {3, 4, kWhite}, {5, 2, {255, 255, 200}}});
        break;
    case 4:
        drawSprite(s, cx, cy, kBar,
                   {{'t', {lerp(gold, kWhite, 0.3f), Shade::Raised}},
                    {'f', {gold, Shade::Raised}},
                    {'s', {gold * 0.62f, Shade::Flat}},
                    {'e', {gold * 0.7f, Shade::Recessed}}},
                   {{5, 4, kWhite}, {6, 4, kWhite}, {3, 6, {255, 255, 220}}});
        break;
    case 5:
        drawSprite(s, cx, cy, kEmerald,
                   {{'a', {{20, 150, 70}, Shade::Raised}},
                    {'b', {{50, 220, 110}, Shade::Raised}},
                    {'c', {{30, 190, 90}, Shade::Recessed}}},
                   {{5, 5, kWhite},
                    {6, 5, {200, 255, 220}},
                    {5, 6, {200, 255, 220}},
                    {10, 11, {160, 255, 190}}});
        break;
    case 6:
        drawSprite(s, cx, cy, sapphireGrid(),
                   {{'a', {{30, 60, 200}, Shade::Raised}},
                    {'b', {{60, 110, 255}, Shade::Raised}},
                    {'c', {{50, 95, 245}, Shade::Dome}},
                    {'d', {{90, 140, 255}, Shade::Dome}}},
                   {{5, 4, kWhite}, {4, 5, {210, 230, 255}}, {7, 7, kWhite}});
        break;
    case 7:
        drawSprite(s, cx, cy, rubyGrid(),
                   {{'a', {{170, 10, 40}, Shade::Raised}},
                    {'b', {{240, 40, 70}, Shade::Raised}},
                    {'c', {{255, 110, 130}, Shade::Dome}}},
                   {{3, 4, kWhite}, {4, 4, {255, 220, 225}}, {11, 5, {255, 200, 210}}});
        break;
    case 8:
        drawSprite(
            s, cx, cy, diamondGrid(),
            {{'c', {{190, 240, 255}, Shade::Raised}},
             {'t', {{240, 255, 255}, Shade::Raised}},
             {'g', {{255, 255, 255}, Shade::Flat}},
             {'p', {{120, 190, 255}, Shade::Raised}},
             {'q', {{170, 220, 255}, Shade::Recessed}}},
            {{5, 3, kWhite}, {6, 2, kWhite}, {12, 8, {255, 230, 255}}, {1, 1, {200, 240, 255}}});
        break;
    case 9:
        drawSprite(s, cx, cy, ringGrid(),
                   {{'d', {{200, 245, 255}, Shade::Raised}}, {'g', {gold, Shade::Raised}}},
                   {{6, 1, kWhite}, {7, 2, kWhite}, {3, 7, {255, 250, 200}}});
        break;
    case 10:
        drawSprite(s, cx, cy, crownGrid(),
                   {{'g', {gold, Shade::Raised}},
                    {'h', {{230, 150, 20}, Shade::Raised}},
                    {'j', {{255, 250, 240}, Shade::Flat}},
                    {'r', {{255, 30, 60}, Shade::Dome}},
                    {'b', {{40, 120, 255}, Shade::Dome}}},
                   {{3, 5, kWhite}, {7, 8, {255, 200, 210}}});
        break;
    case 11:
        drawSprite(
            s, cx, cy, starGrid(),
            {{'a', {{255, 255, 255}, Shade::Rainbow}}, {'b', {{255, 255, 255}, Shade::Rainbow}}},
            {{7, 7, kWhite},
             {8, 7, kWhite},
             {7, 8, kWhite},
             {8, 8, kWhite},
             {7, 6, {255, 255, 230}},
             {6, 7, {255, 255, 230}},
             {8, 6, {255, 255, 230}},
             {6, 8, {255, 255, 230}},
             {9, 7, {255, 255, 230}},
             {7, 9, {255, 255, 230}},
             {9, 8, {255, 255, 230}},
             {8, 9, {255, 255, 230}}});
        break;
    default:
        break;
    }
}

// ---- rate items ----------------------------------------------------------------------------

// clang-format off
const char* const kTinyDigits[5][5] = {
    {"###", "#.#", "#.#", "#.#", "###"}, {".#.", "##.", ".#.", ".#.", "###"},
    {"###", "..#", "###", "#..", "###"}, {"###", "..#", ".##", "..#", "###"},
    {"#.#", "#.#", "###", "..#", "..#"},
};

const Grid kRoundBadge = {
    "................",
    "......aaaa......",
    "....aaaaaaaa....",
    "...aaaaaaaaaa...",
    "..aaaaaaaaaaaa..",
    "..aaaaaaaaaaaa..",
    ".aaaaaaaaaaaaaa.",
    ".aaaaaaaaaaaaaa.",
    ".aaaaaaaaaaaaaa.",
    ".aaaaaaaaaaaaaa.",
    "..aaaaaaaaaaaa..",
    "..aaaaaaaaaaaa..",
    "...aaaaaaaaaa...",
    "....aaaaaaaa....",
    "......aaaa......",
    "................",
};

const Grid kOctBadge = {
    "................",
    "....aaaaaaaa....",
    "...abbbbbbbba...",
    "..abbbbbbbbbba..",
    ".abbbbbbbbbbbba.",
    ".abbbbbbbbbbbba.",
    ".abbbbbbbbbbbba.",
    ".abbbbbbbbbbbba.",
    ".abbbbbbbbbbbba.",
    ".abbbbbbbbbbbba.",
    ".abbbbbbbbbbbba.",
    ".abbbbbbbbbbbba.",
    "..abbbbbbbbbba..",
    "...abbbbbbbba...",
    "....aaaaaaaa....",
    "................",
};

const Grid kSealBadge = {
    ".......aa.......",
    "...a..abba..a...",
    "...aaabbbbaaa...",
    "...abbbbbbbba...",
    "..abbbbbbbbbba..",
    "aaabbbbbbbbbbaaa",
    ".abbbbbbbbbbbba.",
    "..abbbbbbbbbba..",
    "..abbbbbbbbbba..",
    ".abbbbbbbbbbbba.",
    "aaabbbbbbbbbbaaa",
    "..abbbbbbbbbba..",
    "...abbbbbbbba...",
    "...aaabbbbaaa...",
    "...a..abba..a...",
    ".......aa.......",
};

// clang-format on

void drawRate(Surface& s, int kind, int cx, int cy) {
    static const int kWorth[12] = {1, 2, 3, 4, 10, 20, 30, 40, 100, 200, 300, 400};
    static const Rgb kColour[12] = {{},
                                    {40, 200, 60},
                                    {20, 190, 200},
                                    {50, 100, 255},
                                    {150, 70, 255},
                                    {230, 50, 200},
                                    {240, 40, 50},
                                    {255, 130, 20},
                                    {255, 200, 30},
                                    {120, 150, 230},
                                    {255, 255, 255},
                                    {255, 255, 255}};
    const Rgb c = kColour[kind];
    if (kind <= 3) {
        drawSprite(s, cx, cy, kRoundBadge, {{'a', {c, Shade::Dome}}});
    } else if (kind <= 7) {
        drawSprite(s, cx, cy, kOctBadge,
                   {{'a', {lerp(c, kWhite, 0.45f), Shade::Raised}}, {'b', {c, Shade::Dome}}});
    } else if (kind <= 9) {
        drawSprite(s, cx, cy, kSealBadge,
                   {{'a', {lerp(c, kWhite, 0.3f), Shade::Raised}}, {'b', {c, Shade::Dome}}});
    } else if (kind == 10) {
        drawSprite(s, cx, cy, kSealBadge,
                   {{'a', {kWhite, Shade::Raised}}, {'b', {c, Shade::RainbowDome}}});
    } else {
        drawSprite(
            s, cx, cy, kSealBadge,
            {{'a', {{255, 210, 40}, Shade::Raised}}, {'b', {c, Shade::RainbowDome}}},
            {{0, 0, kWhite}, {15, 15, kWhite}, {15, 0, {255, 255, 200}}, {0, 15, {200, 255, 255}}});
    }
    // the sign: a bold white "x" outlined in the badge's dark colour, then the multiplier in
    // white tiny digits on a dark plate
    const Rgb ink = kWhite;
    const Rgb dark = kind >= 9 ? Rgb{40, 20, 90} : c * 0.3f;
    const Grid cross = {"##...##", ".##.##.", "..###..", ".##.##.", "##...##"};
    const int crossY = kind >= 8 ? 2 : 2;
    for (int pass = 0; pass < 2; ++pass)
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 7; ++i) {
                if (cross[size_t(j)][size_t(i)] != '#') continue;
                const int x = cx + 4 + i, y = cy + crossY + j;
                if (pass == 0) {
                    for (int dj = -1; dj <= 1; ++dj)
                        for (int di = -1; di <= 1; ++di)
                            if (di == 0 || dj == 0) putRgb(s, x + di, y + dj, dark);
                } else {
                    putRgb(s, x, y, ink);
                }
            }
    const std::string digits = std::to_string(kWorth[kind]);
    const int width = int(digits.size()) * 4 - 1;
    const int x0 = (16 - width) / 2, y0 = 9;
    for (int y = y0 - 1; y <= y0 + 5; ++y)
        for (int x = x0 - 1; x <= x0 + width; ++x) {
            const bool corner = (y == y0 - 1 || y == y0 + 5) && (x == x0 - 1 || x == x0 + width);
            if (!corner) putRgb(s, cx + x, cy + y, dark);
        }
    for (size_t n = 0; n < digits.size(); ++n) {
        const int d = digits[n] - '0';
        for (int j = 0; j < 5; ++j)
            for (int i = 0; i < 3; ++i)
                if (kTinyDigits[d][j][i] == '#')
                    putRgb(s, cx + x0 + int(n) * 4 + i, cy + y0 + j, ink);
    }
}

} // namespace

Surface makeBonusSheet() {
    Surface s(64, 48);
    for (int k = 1; k <= 11; ++k) drawBonus(s, k, 16 * (k % 4), 16 * (k / 4));
    return s;
}

Surface makeRateSheet() {
    Surface s(64, 48);
    for (int k = 1; k <= 11; ++k) drawRate(s, k, 16 * (k % 4), 16 * (k / 4));
    return s;
}

// ---- gauge frames ---------------------------------------------------------------------------

namespace {

struct FrameColours {
    Rgb light, mid, dark;
    bool rainbow;
};

// A w x 8 frame at (x0, y0): a bevelled rim two pixels thick at the top, bottom and left and
// one pixel at the right, rounded corners, tick marks; the inside (x 2 .. w-2, y 2 .. 5) stays
// transparent.
void drawFrame(Surface& s, int x0, int y0, int w, const FrameColours& fc, int ticks) {
    for (int x = 0; x < w; ++x) {
        const float t = float(x) / float(w - 1);
        Rgb light = fc.light, mid = fc.mid, dark = fc.dark;
        if (fc.rainbow) {
            const Rgb hue = hsv(t * 300.0f, 0.55f, 1.0f);
            light = lerp(light, hue, 0.45f);
            mid = lerp(mid, hue, 0.5f);
        }
        const bool corner = x == 0 || x == w - 1;
        if (!corner) putRgb(s, x0 + x, y0 + 0, light);
        putRgb(s, x0 + x, y0 + 1, x == 0 ? light : mid);
        putRgb(s, x0 + x, y0 + 6, x == 0 ? mid : dark);
        if (!corner) putRgb(s, x0 + x, y0 + 7, dark * 0.7f);
    }
    for (int y = 2; y <= 5; ++y) {
        putRgb(s, x0 + 0, y0 + y, fc.light);
        putRgb(s, x0 + 1, y0 + y, fc.mid);
        putRgb(s, x0 + w - 1, y0 + y, fc.dark);
    }
    // tick marks at even fractions of the bar (x 2 .. w-2), bright on the lower rim
    for (int i = 1; i < ticks; ++i) {
        const int x = 2 + (w - 4) * i / ticks;
        putRgb(s, x0 + x, y0 + 6, i * 2 == ticks ? kWhite : fc.light);
        putRgb(s, x0 + x, y0 + 1, fc.light);
    }
    // rivets at the caps
    putRgb(s, x0 + 1, y0 + 1, kWhite);
    putRgb(s, x0 + w - 2, y0 + 6, fc.light);
}

} // namespace

Surface makeGaugeSheet() {
    Surface s(160, 32);
    // frame i goes with font colour row 2 - i: red-magenta, then gold, then white-blue
    const FrameColours fc[3] = {
        {{255, 150, 210}, {200, 40, 140}, {100, 12, 80}, false},
        {{255, 245, 170}, {235, 165, 30}, {130, 75, 5}, false},
        {{255, 255, 255}, {150, 200, 255}, {50, 80, 190}, true},
    };
    for (int i = 0; i < 3; ++i) drawFrame(s, 32 * i, 0, 32, fc[i], 4);
    for (int i = 0; i < 3; ++i) drawFrame(s, 0, 8 + 8 * i, 160, fc[i], 10);
    return s;
}

} // namespace art
