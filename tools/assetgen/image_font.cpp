// The two text sheets: the 8 x 8 font and the score digits with their group marks.
//
// moji02.bmp, the font: 8 x 8 cells in 9 columns; colour row k at y = 40k + 1 holds five
// glyph rows (A-I, J-R, S-Z 0, 1-9, ! #). Each glyph is the bold 7 x 7 shape below with a
// dark drop shadow one pixel right and down, filled with the vertical gradient of its
// colour row.
//
// moji01.bmp, the score digits: 18 styles of the ten digits (style s at x = 80 (s mod 3),
// y = 8 (s div 3)), growing more precious with s, and the group marks at y = 48 (mark g at
// x = 8g, 30 marks).

#include "tools/assetgen/image_draw.h"
#include "tools/assetgen/image_sheets.h"

#include <cmath>
#include <map>
#include <utility>

namespace art {

namespace {

// clang-format off
const std::map<char, std::vector<std::string>>& glyphTable() {
    static const std::map<char, std::vector<std::string>> t = {
        {'A', {"..###..",
               ".##.##.",
               "##...##",
               "##...##",
               "#######",
               "##...##",
               "##...##"}},
        {'B', {"######.",
               "##...##",
               "##...##",
               "######.",
               "##...##",
               "##...##",
               "######."}},
        {'C', {"..####.",
               ".##..##",
               "##.....",
               "##.....",
               "##.....",
               ".##..##",
               "..####."}},
        {'D', {"#####..",
               "##..##.",
               "##...##",
               "##...##",
               "##...##",
               "##..##.",
               "#####.."}},
        {'E', {"#######",
               "##.....",
               "##.....",
               "######.",
               "##.....",
               "##.....",
               "#######"}},
        {'F', {"#######",
               "##.....",
               "##.....",
               "######.",
               "##.....",
               "##.....",
               "##....."}},
        {'G', {"..#####",
               ".##....",
               "##.....",
               "##..###",
               "##...##",
               ".##..##",
               "..#####"}},
        {'H', {"##...##",
               "##...##",
               "##...##",
               "#######",
               "##...##",
               "##...##",
               "##...##"}},
        {'I', {".######",
               "...##..",
               "...##..",
               "...##..",
               "...##..",
               "...##..",
               ".######"}},
        {'J', {"....###",
               ".....##",
               ".....##",
               ".....##",
               "##...##",
               "##...##",
               ".#####."}},
        {'K', {"##...##",
               "##..##.",
               "##.##..",
               "####...",
               "#####..",
               "##.###.",
               "##..###"}},
        {'L', {"##.....",
               "##.....",
               "##.....",
               "##.....",
               "##.....",
               "##.....",
               "#######"}},
        {'M', {"##...##",
               "###.###",
               "#######",
               "#######",
               "##.#.##",
               "##...##",
               "##...##"}},
        {'N', {"##...##",
               "###..##",
               "####.##",
               "#######",
               "##.####",
               "##..###",
               "##...##"}},
        {'O', {".#####.",
               "##...##",
               "##...##",
               "##...##",
               "##...##",
               "##...##",
               ".#####."}},
        {'P', {"######.",
               "##...##",
               "##...##",
               "##...##",
               "######.",
               "##.....",
               "##....."}},
        {'Q', {".#####.",
               "##...##",
               "##...##",
               "##...##",
               "##.####",
               "##..##.",
               ".####.#"}},
        {'R', {"######.",
               "##...##",
               "##...##",
               "##..###",
               "#####..",
               "##.###.",
               "##..###"}},
        {'S', {".####..",
               "##..##.",
               "##.....",
               ".#####.",
               ".....##",
               "##...##",
               ".#####."}},
        {'T', {"######.",
               "..##...",
               "..##...",
               "..##...",
               "..##...",
               "..##...",
               "..##..."}},
        {'U', {"##...##",
               "##...##",
               "##...##",
               "##...##",
               "##...##",
               "##...##",
               ".#####."}},
        {'V', {"##...##",
               "##...##",
               "##...##",
               "###.###",
               ".#####.",
               "..###..",
               "...#..."}},
        {'W', {"##...##",
               "##...##",
               "##.#.##",
               "#######",
               "#######",
               "###.###",
               "##...##"}},
        {'X', {"##...##",
               "###.###",
               ".#####.",
               "..###..",
               ".#####.",
               "###.###",
               "##...##"}},
        {'Y', {"##..##.",
               "##..##.",
               "##..##.",
               ".####..",
               "..##...",
               "..##...",
               "..##..."}},
        {'Z', {"#######",
               "....###",
               "...###.",
               "..###..",
               ".###...",
               "###....",
               "#######"}},
        {'0', {"..###..",
               ".##.##.",
               "##...##",
               "##...##",
               "##...##",
               ".##.##.",
               "..###.."}},
        {'1', {"...##..",
               "..###..",
               ".####..",
               "...##..",
               "...##..",
               "...##..",
               ".######"}},
        {'2', {".#####.",
               "##...##",
               ".....##",
               "...###.",
               ".###...",
               "##.....",
               "#######"}},
        {'3', {".#####.",
               "##...##",
               ".....##",
               "..####.",
               ".....##",
               "##...##",
               ".#####."}},
        {'4', {"...###.",
               "..####.",
               ".##.##.",
               "##..##.",
               "#######",
               "....##.",
               "....##."}},
        {'5', {"######.",
               "##.....",
               "######.",
               ".....##",
               ".....##",
               "##...##",
               ".#####."}},
        {'6', {"..####.",
               ".##....",
               "##.....",
               "######.",
               "##...##",
               "##...##",
               ".#####."}},
        {'7', {"#######",
               "##...##",
               "....##.",
               "...##..",
               "..##...",
               "..##...",
               "..##..."}},
        {'8', {".#####.",
               "##...##",
               "##...##",
               ".#####.",
               "##...##",
               "##...##",
               ".#####."}},
        {'9', {".#####.",
               "##...##",
               "##...##",
               ".######",
               ".....##",
               "....##.",
               ".####.."}},
        {'!', {"..##...",
               "..##...",
               "..##...",
               "..##...",
               "..##...",
               ".......",
               "..##..."}},
        {'#', {".##.##.",
               "#######",
               ".##.##.",
               ".##.##.",
               ".##.##.",
               "#######",
               ".##.##."}},
    };
    return t;
}

// Thin 5 x 6 digits for the neon styles, drawn at (1,1) with a one-pixel halo around them.
const char* const kThinDigits[10][6] = {
    {".###.",
     "#..##",
     "#.#.#",
     "##..#",
     "#...#",
     ".###."},
    {"..#..",
     ".##..",
     "..#..",
     "..#..",
     "..#..",
     ".###."},
    {".###.",
     "#...#",
     "...#.",
     "..#..",
     ".#...",
     "#####"},
    {"####.",
     "....#",
     ".###.",
     "....#",
     "....#",
     "####."},
    {"...#.",
     "..##.",
     ".#.#.",
     "#..#.",
     "#####",
     "...#."},
    {"#####",
     "#....",
     "####.",
     "....#",
     "#...#",
     ".###."},
    {".###.",
     "#....",
     "####.",
     "#...#",
     "#...#",
     ".###."},
    {"#####",
     "....#",
     "...#.",
     "..#..",
     ".#...",
     ".#..."},
    {".###.",
     "#...#",
     ".###.",
     "#...#",
     "#...#",
     ".###."},
    {".###.",
     "#...#",
     "#...#",
     ".####",
     "....#",
     ".###."},
};

// clang-format on

// Draws a bold glyph with a per-pixel colour function and a drop shadow.
template <typename Fill> void boldGlyph(Surface& s, int x, int y, char c, Fill fill, Rgb shadow) {
    const std::vector<std::string>& g = glyph7(c);
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i)
            if (g[size_t(j)][size_t(i)] == '#') putRgb(s, x + i + 1, y + j + 1, shadow);
    for (int j = 0; j < 7; ++j)
        for (int i = 0; i < 7; ++i)
            if (g[size_t(j)][size_t(i)] == '#') putRgb(s, x + i, y + j, fill(i, j));
}

// Colour stops of the three font rows, top to bottom of a glyph.
const std::vector<Rgb> kFontRamps[3] = {
    {{255, 255, 255}, {225, 240, 255}, {150, 200, 255}, {80, 130, 255}}, // white to blue
    {{255, 255, 200}, {255, 235, 80}, {255, 170, 30}, {255, 110, 10}},   // yellow to orange
    {{255, 190, 170}, {255, 90, 90}, {250, 40, 140}, {215, 50, 255}},    // red to magenta
};
const Rgb kFontShadows[3] = {{6, 8, 40}, {50, 18, 2}, {45, 2, 40}};

} // namespace

const std::vector<std::string>& glyph7(char c) {
    static const std::vector<std::string> none;
    const auto& t = glyphTable();
    auto it = t.find(c);
    return it == t.end() ? none : it->second;
}

Surface makeFontSheet() {
    static const char* const kRows[5] = {"ABCDEFGHI", "JKLMNOPQR", "STUVWXYZ0", "123456789", "!#"};
    const int colourRows = 3;
    Surface s(72, 40 * colourRows + 1);
    for (int k = 0; k < colourRows; ++k)
        for (int j = 0; j < 5; ++j)
            for (int col = 0; kRows[j][col] != 0; ++col) {
                const int x = col * 8, y = 40 * k + 1 + 8 * j;
                auto fill = [&](int, int gy) {
                    Rgb c = ramp(kFontRamps[k], float(gy) / 6.0f);
                    if (gy == 0) c = lerp(c, Rgb{255, 255, 255}, 0.35f); // a bright top edge
                    return c;
                };
                boldGlyph(s, x, y, kRows[j][col], fill, kFontShadows[k]);
            }
    return s;
}

namespace {

// The look of one digit style: a gradient over the glyph rows, a shadow, optional sparkle
// and rainbow, or the neon form (thin core and glowing halo).
struct DigitStyle {
    DigitStyle(std::vector<Rgb> r, Rgb s) : ramp(std::move(r)), shadow(s) {}
    std::vector<Rgb> ramp; // top to bottom
    Rgb shadow;
    bool sparkle = false; // a white glint in the upper left of the glyph
    bool rainbowRows = false;
    bool neon = false;
    Rgb halo;
    bool rainbowHalo = false;
};

std::vector<DigitStyle> digitStyles() {
    auto metal = [](Rgb light, Rgb mid, Rgb dark) {
        // bright top, dark band below the middle, bright again near the bottom: a polished look
        return std::vector<Rgb>{
            lerp(light, Rgb{255, 255, 255}, 0.5f), light, mid, dark, mid, light, mid};
    };
    std::vector<DigitStyle> v;
    v.push_back(
        DigitStyle{{{255, 255, 255}, {230, 230, 235}, {190, 195, 210}}, {20, 20, 30}}); // 0 plain
    v.push_back(
        DigitStyle{{{230, 255, 255}, {120, 230, 255}, {40, 150, 255}}, {4, 20, 50}});      // 1 sky
    v.push_back(DigitStyle{{{230, 255, 200}, {120, 240, 90}, {30, 180, 40}}, {4, 40, 8}}); // 2 lime
    v.push_back(
        DigitStyle{metal({255, 200, 150}, {205, 120, 60}, {130, 60, 25}), {40, 14, 4}}); // 3 bronze
    v.push_back(DigitStyle{metal({235, 240, 255}, {170, 180, 200}, {100, 110, 135}),
                           {15, 18, 30}}); // 4 silver
    v.push_back(
        DigitStyle{metal({255, 240, 120}, {240, 170, 30}, {170, 90, 10}), {50, 24, 2}}); // 5 gold
    {
        DigitStyle d{metal({150, 255, 170}, {30, 200, 90}, {10, 110, 50}), {2, 36, 16}};
        d.sparkle = true;
        v.push_back(d); // 6 emerald
    }
    {
        DigitStyle d{metal({150, 200, 255}, {40, 100, 255}, {20, 40, 170}), {4, 8, 50}};
        d.sparkle = true;
        v.push_back(d); // 7 sapphire
    }
    {
        DigitStyle d{metal({255, 150, 160}, {235, 30, 60}, {140, 10, 40}), {50, 2, 12}};
        d.sparkle = true;
        v.push_back(d); // 8 ruby
    }
    {
        DigitStyle d{metal({230, 170, 255}, {170, 70, 240}, {95, 30, 160}), {30, 6, 50}};
        d.sparkle = true;
        v.push_back(d); // 9 amethyst
    }
    {
        DigitStyle d{{{255, 255, 255},
                      {200, 255, 255},
                      {255, 220, 255},
                      {210, 230, 255},
                      {255, 255, 220},
                      {190, 240, 255},
                      {255, 200, 250}},
                     {30, 30, 60}};
        d.sparkle = true;
        v.push_back(d); // 10 diamond
    }
    {
        DigitStyle d{{}, {40, 10, 50}};
        d.rainbowRows = true;
        v.push_back(d); // 11 rainbow
    }
    auto neon = [](Rgb core, Rgb haloColour) {
        DigitStyle d{
            {lerp(core, Rgb{255, 255, 255}, 0.6f), core, lerp(core, Rgb{255, 255, 255}, 0.3f)}, {}};
        d.neon = true;
        d.halo = haloColour;
        return d;
    };
    v.push_back(neon({255, 150, 230}, {200, 20, 150})); // 12 pink neon
    v.push_back(neon({150, 255, 255}, {20, 120, 230})); // 13 cyan neon
    v.push_back(neon({255, 240, 120}, {230, 70, 10}));  // 14 fire
    v.push_back(neon({170, 255, 170}, {10, 160, 60}));  // 15 emerald glow
    {
        DigitStyle d = neon({255, 255, 255}, {120, 20, 200});
        d.rainbowRows = true;
        v.push_back(d); // 16 rainbow neon in violet
    }
    {
        DigitStyle d = neon({255, 255, 255}, {0, 0, 0});
        d.rainbowHalo = true;
        v.push_back(d); // 17 white fire in a rainbow halo
    }
    return v;
}

void drawDigit(Surface& s, int x, int y, int digit, const DigitStyle& st) {
    if (!st.neon) {
        auto fill = [&](int gx, int gy) {
            if (st.rainbowRows) return hsv(float(gy) * 48.0f + float(gx) * 6.0f, 0.75f, 1.0f);
            return ramp(st.ramp, float(gy) / 6.0f);
        };
        const char c = char('0' + digit);
        boldGlyph(s, x, y, c, fill, st.shadow);
        if (st.sparkle) {
            // a glint on the first lit pixel of the second row
            const std::vector<std::string>& g = glyph7(c);
            for (int i = 0; i < 7; ++i)
                if (g[1][size_t(i)] == '#') {
                    putRgb(s, x + i, y + 1, {255, 255, 255});
                    break;
                }
        }
        return;
    }
    // neon: halo first (the 8-neighbourhood of the core), then the core
    const char* const* g = kThinDigits[digit];
    auto core = [&](int i, int j) { return i >= 0 && j >= 0 && i < 5 && j < 6 && g[j][i] == '#'; };
    for (int j = -1; j <= 6; ++j)
        for (int i = -1; i <= 5; ++i) {
            if (core(i, j)) continue;
            int n = 0;
            for (int dj = -1; dj <= 1; ++dj)
                for (int di = -1; di <= 1; ++di) n += core(i + di, j + dj) ? 1 : 0;
            if (n == 0) continue;
            Rgb h = st.rainbowHalo ? hsv(float(j + 1) * 42.0f, 1.0f, 0.85f) : st.halo;
            const float k = n >= 3 ? 0.6f : (n == 2 ? 0.45f : 0.3f);
            putRgb(s, x + 1 + i, y + 1 + j, h * k);
        }
    for (int j = 0; j < 6; ++j)
        for (int i = 0; i < 5; ++i) {
            if (!core(i, j)) continue;
            Rgb c =
                st.rainbowRows ? hsv(float(j) * 55.0f, 0.6f, 1.0f) : ramp(st.ramp, float(j) / 5.0f);
            putRgb(s, x + 1 + i, y + 1 + j, c);
        }
    if (st.sparkle) putRgb(s, x + 6, y, {255, 255, 255});
}

// Group mark g: a dot closes every number (g = 0), commas for the small groups, then cut
// gems, then four-pointed stars, their colours following the digit styles.
void drawMark(Surface& s, int x, int y, int g, const std::vector<DigitStyle>& styles) {
    Rgb base;
    if (g < 18) {
        const DigitStyle& st = styles[size_t(g)];
        if (st.rainbowRows || st.rainbowHalo)
            base = hsv(float(g) * 70.0f, 0.7f, 1.0f);
        else if (st.neon)
            base = lerp(st.halo, Rgb{255, 255, 255}, 0.35f);
        else
            base = st.ramp[st.ramp.size() / 2];
    } else {
        base = hsv(float(g - 18) * 30.0f, 0.8f, 1.0f);
    }
    const Rgb light = lerp(base, Rgb{255, 255, 255}, 0.55f);
    const Rgb dark = base * 0.45f;
    const Rgb shadow = base * 0.12f;
    const Palette pal = {
        {'w', {255, 255, 255}}, {'l', light}, {'m', base}, {'d', dark}, {'s', shadow}};
    if (g == 0) {
        drawGrid(s, x, y,
                 {"........", "........", "........", "........", "........", "..lm....",
                  "..md....", "........"},
                 pal);
    } else if (g < 6) {
        drawGrid(s, x, y,
                 {"........", "........", "........", "........", "..lm....", "..mds...",
                  "...ms...", "..ms...."},
                 pal);
    } else if (g < 12) {
        drawGrid(s, x, y,
                 {"........", "........", "...l....", "..llm...", ".lwmmd..", "..mdd.s.",
                  "...d.s..", "........"},
                 pal);
    } else if (g < 18) {
        drawGrid(s, x, y,
                 {"........", ".lllmm..", "lwllmmd.", ".mmmdd.s", "..mdd.s.", "...d.s..",
                  "........", "........"},
                 pal);
    } else {
        drawGrid(s, x, y,
                 {"...l....", "...l....", "..lwl...", "lllwmmd.", "..mmd...", "...m....",
                  "...d....", "........"},
                 pal);
    }
}

} // namespace

Surface makeDigitSheet() {
    Surface s(240, 56);
    const std::vector<DigitStyle> styles = digitStyles();
    for (int g = 0; g < 18; ++g)
        for (int d = 0; d < 10; ++d)
            drawDigit(s, d * 8 + (g % 3) * 80, (g / 3) * 8, d, styles[size_t(g)]);
    for (int g = 0; g < 30; ++g) drawMark(s, g * 8, 48, g, styles);
    return s;
}

} // namespace art
