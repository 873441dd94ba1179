#include "render/Font.h"

#include "app/GameState.h"

namespace {

// Cell index of a font character, or -1 for characters the font does not have.
int32_t glyphIndex(char c) {
    if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= '0' && c <= '9') return c - '0' + 26;
    if (c == '!') return 36;
    if (c == '#') return 37;
    return -1;
}

// One keyed 8 x 8 cell; the blit leaves out cells that a replaced, smaller sheet lacks.
void putCell(GameState& g, int32_t x, int32_t y, const Surface& src, Rect r) {
    imgputfast(g.backbuf, x, y, src, r, 1);
}

} // namespace

void moji(GameState& g, std::string_view text, int32_t x, int32_t y, int32_t colour,
          int32_t spacing, uint8_t centre) {
    // Centring assumes 8-pixel glyphs whatever the spacing.
    const int32_t sx = x - int32_t(centre) * (int32_t(text.size()) + 1) * 4;
    const Surface& font = g.sheets[sheet::Font];
    for (size_t i = 0; i < text.size(); ++i) {
        const int32_t f = glyphIndex(text[i]);
        if (f < 0) continue; // a space keeps its place and draws nothing
        const int32_t row = f / 9, col = f % 9;
        putCell(g, sx + int32_t(i) * spacing, y, font,
                rectWH(col * 8, row * 8 + 1 + colour * 40, 8, 8));
    }
}

void sco(GameState& g, std::string_view digits, int32_t x, int32_t y) {
    const Surface& sheetDigits = g.sheets[sheet::Digits];
    const int32_t n = int32_t(digits.size());
    if (n == 0) return;
    int32_t group = (n - 1) / 4;
    int32_t marks = 0;
    for (int32_t i = 1; i <= n; ++i) {
        const char c = digits[size_t(i - 1)];
        // The sheet has 18 digit styles; a digit beyond them, or a character that is not a
        // digit (only an edited ranking file holds one), keeps its cell empty.
        if (c >= '0' && c <= '9' && group < 18) {
            putCell(g, x + (marks + i - 1) * 8, y, sheetDigits,
                    rectWH((c - '0') * 8 + (group % 3) * 80, (group / 3) * 8, 8, 8));
        }
        const int32_t rest = n - i;
        if (rest >= 4 && rest % 4 == 0) {
            putCell(g, x + (marks + i) * 8, y, sheetDigits, rectWH(group * 8, 48, 8, 8));
            group -= 1;
            marks += 1;
        }
        if (x + (marks + i) * 8 > 240) return;
    }
    putCell(g, x + (marks + n) * 8, y, sheetDigits, rectWH(0, 48, 8, 8));
}
