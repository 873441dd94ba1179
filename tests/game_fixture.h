#pragma once
// A game on the headless platform with image sheets whose pixels say where they came from, so
// a test can read back from backbuf which cell, glyph or picture row was drawn where.
//
// Sheet colours (blue, green, red):
//   effects (sheet 2): (cell + 1, column in cell + 1, row + 1), cell = x / 16
//   font (sheet 5):    (glyph + 1, colour row + 1, 200), glyph 0..37 as "A..Z0..9!#"
//   title (sheet 3):   (picture row + 1, picture column + 1, 30)
//   bomb01 (sheet 7):  (cell + 1, 1, 0), cell n = column + 6 * row of the 64 x 64 grid
//   bomb02 (sheet 10): (column + 1, row + 1, 0) of the 192 x 192 grid
//   thunder01 (8):     (4, 5, 6); thunder02 (9): (1, 2, 3)
//   items, gauge:      black, so they never show
//   digits (sheet 4):  (70, 70, 70)

#include "IntStr/IntStr.h"
#include "app/TForm1.h"
#include "game/Effects.h"
#include "game/Game.h"
#include "platform/headless/HeadlessPlatform.h"
#include "render/Font.h"
#include "render/Frame.h"
#include "screens/Ranking.h"
#include "screens/Screens.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace gamefix {

namespace fs = std::filesystem;

struct Bgr {
    uint8_t b = 0, g = 0, r = 0;
    bool operator==(const Bgr&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Bgr& c) {
    return os << "(b " << int(c.b) << ", g " << int(c.g) << ", r " << int(c.r) << ")";
}

inline Bgr at(const Surface& s, int32_t x, int32_t y) {
    const uint8_t* p = s.row(y) + size_t(x) * 3;
    return {p[0], p[1], p[2]};
}

inline void put(Surface& s, int32_t x, int32_t y, Bgr c) {
    uint8_t* p = s.row(y) + size_t(x) * 3;
    p[0] = c.b;
    p[1] = c.g;
    p[2] = c.r;
}

inline void fill(Surface& s, Bgr c) {
    for (int32_t y = 0; y < s.height(); ++y)
        for (int32_t x = 0; x < s.width(); ++x) put(s, x, y, c);
}

constexpr Bgr kWhite{255, 255, 255};
constexpr Bgr kBlack{0, 0, 0};
constexpr Bgr kThunder1{4, 5, 6};
constexpr Bgr kThunder2{1, 2, 3};

constexpr const char* kGlyphs = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789!#";

// A glyph of the font as it lands on backbuf.
struct Glyph {
    char c = 0;   // 0 when the pixel holds no glyph
    int row = -1; // colour row
    bool operator==(const Glyph&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const Glyph& g) {
    if (g.c == 0) return os << "(no glyph)";
    return os << "'" << g.c << "' row " << g.row;
}

inline Glyph glyphAt(const Surface& s, int32_t x, int32_t y) {
    const Bgr c = at(s, x, y);
    if (c.r != 200 || c.g < 1 || c.g > 3 || c.b < 1 || c.b > 38) return {};
    return {kGlyphs[c.b - 1], c.g - 1};
}

// The glyphs of a text drawn with 8-pixel spacing from x, read back from their top-left pixels.
inline std::string textAt(const Surface& s, int32_t x, int32_t y, int32_t n) {
    std::string t;
    for (int32_t i = 0; i < n; ++i) {
        const Glyph g = glyphAt(s, x + 8 * i, y);
        t += g.c ? g.c : ' ';
    }
    return t;
}

struct TempDir {
    fs::path path;
    TempDir() {
        std::string templ = (fs::temp_directory_path() / "vortalix-game-XXXXXX").string();
        if (!mkdtemp(templ.data())) throw std::runtime_error("mkdtemp failed");
        path = templ;
    }
    ~TempDir() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
};

// The ranking file lives in the working directory; a test moves there and back.
struct ScopedCwd {
    fs::path old;
    explicit ScopedCwd(const fs::path& p) : old(fs::current_path()) { fs::current_path(p); }
    ~ScopedCwd() {
        std::error_code ec;
        fs::current_path(old, ec);
    }
};

inline std::vector<uint8_t> readBytes(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(f)),
                                std::istreambuf_iterator<char>());
}

inline void writeBytes(const fs::path& p, const std::vector<uint8_t>& bytes) {
    std::ofstream f(p, std::ios::binary | std::ios::trunc);
    f.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// The ten sound effects with their priorities and durations.
struct SoundDef {
    const char* stored; // as the game names it
    const char* local;  // under basedir here
    int32_t priority, duration;
};
constexpr SoundDef kSoundDefs[10] = {
    {"sound\\get.wav", "sound/get.wav", 10, 471},
    {"sound\\comp01.wav", "sound/comp01.wav", 10, 271},
    {"sound\\baku03.wav", "sound/baku03.wav", 101, 1000},
    {"sound\\lvup.wav", "sound/lvup.wav", 100, 500},
    {"sound\\scratch.wav", "sound/scratch.wav", 5, 40},
    {"sound\\baku05.wav", "sound/baku05.wav", 102, 1500},
    {"sound\\count1.wav", "sound/count1.wav", 100, 200},
    {"sound\\count2.wav", "sound/count2.wav", 100, 200},
    {"sound\\count3.wav", "sound/count3.wav", 100, 200},
    {"sound\\count02.wav", "sound/count02.wav", 100, 200},
};

// The headless platform, with a clock that can also move on by itself at every reading.
struct TestPlatform : HeadlessPlatform {
    uint32_t tickPerRead = 0;
    uint32_t timeGetTime() override {
        const uint32_t t = now;
        now += tickPerRead;
        return t;
    }
};

class GameTest : public ::testing::Test {
  public:
    TestPlatform p;
    TForm1 form{p};
    GameState& g = form.g;
    TempDir base;

    void SetUp() override {
        p.now = 5000;
        p.exeDirectory = base.path.string() + "/";
        g.basedir = p.exeDirectory;
        g.files.settingsDir = g.files.shotDir = g.basedir;
        g.backbuf.create(240, 273);
        g.linelayer.create(240, 240);
        g.backdrop.create(240, 240);
        makeSheets();
        fs::create_directories(base.path / "sound");
        for (size_t i = 0; i < 10; ++i) {
            const fs::path file = base.path / kSoundDefs[i].local;
            std::ofstream(file) << "RIFF";
            tsound& s = g.soundtable[i];
            s.file = kSoundDefs[i].stored;
            s.priority = kSoundDefs[i].priority;
            s.duration = kSoundDefs[i].duration;
            s.path = file.string();
        }
        g.musicMain = g.basedir + "sound/main.mid";
        g.musicRanking = g.basedir + "sound/ranking.mid";
        g.musicGameOver = g.basedir + "sound/gameover.mid";
        g.midiplayer = std::make_unique<TMCIMidi>(p, 1);
        g.midiplayer->enabled = 1;
        g.dirdx = {0, 1, 0, -1, 0};
        g.dirdy = {0, 0, 1, 0, -1};
        g.rng.seed = 20240611u;
        g.seenabled = 1;
        g.bgenabled = 0;
        for (int k = 0; k < 10; ++k) {
            g.ranking[size_t(k)].score = inttostr(1000 - 100 * k);
            g.ranking[size_t(k)].name = "RANK";
        }
        shokika(g);
    }

    void makeSheets() {
        Surface& fx = g.sheets[sheet::Effect];
        fx.create(736, 16);
        for (int32_t y = 0; y < 16; ++y)
            for (int32_t x = 0; x < 736; ++x)
                put(fx, x, y, {uint8_t(x / 16 + 1), uint8_t(x % 16 + 1), uint8_t(y + 1)});

        Surface& font = g.sheets[sheet::Font];
        font.create(72, 121);
        for (int32_t y = 1; y < 121; ++y)
            for (int32_t x = 0; x < 72; ++x) {
                const int32_t k = (y - 1) / 40, j = ((y - 1) % 40) / 8, f = j * 9 + x / 8;
                if (f <= 37) put(font, x, y, {uint8_t(f + 1), uint8_t(k + 1), 200});
            }

        Surface& title = g.sheets[sheet::Title];
        title.create(200, 70);
        for (int32_t y = 0; y < 70; ++y)
            for (int32_t x = 0; x < 200; ++x)
                put(title, x, y, {uint8_t(y + 1), uint8_t(x + 1), 30});

        Surface& bomb = g.sheets[sheet::Bomb];
        bomb.create(384, 128);
        for (int32_t y = 0; y < 128; ++y)
            for (int32_t x = 0; x < 384; ++x)
                put(bomb, x, y, {uint8_t(x / 64 + 6 * (y / 64) + 1), 1, 0});

        Surface& big = g.sheets[sheet::BigBomb];
        big.create(1152, 384);
        for (int32_t y = 0; y < 384; ++y)
            for (int32_t x = 0; x < 1152; ++x)
                put(big, x, y, {uint8_t(x / 192 + 1), uint8_t(y / 192 + 1), 0});

        g.sheets[sheet::Thunder1].create(240, 240);
        fill(g.sheets[sheet::Thunder1], kThunder1);
        g.sheets[sheet::Thunder2].create(240, 240);
        fill(g.sheets[sheet::Thunder2], kThunder2);

        g.sheets[sheet::Bonus].create(64, 48);
        g.sheets[sheet::Rate].create(64, 48);
        g.sheets[sheet::Gauge].create(160, 32);
        g.sheets[sheet::Digits].create(240, 56);
        fill(g.sheets[sheet::Digits], {70, 70, 70});
    }

    void frame() {
        bool done = true;
        form.mainloop(done);
        EXPECT_FALSE(done);
    }
    void frames(int n) {
        for (int i = 0; i < n; ++i) frame();
    }

    // Puts every active item of both kinds into one place, out of the point's way.
    void parkItems(int32_t x, int32_t y) {
        for (int32_t i = 0; i <= g.itemmax && i < kItemSlots; ++i) {
            g.bonusitems[size_t(i)] = {x, y, 1};
            g.rateitems[size_t(i)] = {x, y, 1};
        }
    }

    void white(int32_t x, int32_t y) { put(g.linelayer, x, y, kWhite); }
    bool isWhite(int32_t x, int32_t y) const { return at(g.linelayer, x, y) == kWhite; }
    int whiteCount() const {
        int n = 0;
        for (int32_t y = 0; y < 240; ++y)
            for (int32_t x = 0; x < 240; ++x) n += isWhite(x, y);
        return n;
    }

    // The sound effects played so far, by their index in the table.
    std::vector<int> sounds() const {
        std::vector<int> out;
        for (const std::string& s : p.soundsPlayed)
            for (int i = 0; i < 10; ++i)
                if (s == (base.path / kSoundDefs[i].local).string()) out.push_back(i);
        return out;
    }

    // A step due now, from (x, y) in direction d.
    void stepFrom(int32_t x, int32_t y, uint8_t d) {
        g.px = x;
        g.py = y;
        g.dir = d;
        g.stepclock = 3;
        g.stepwait = 3;
    }

    void clearBackbuf() { g.backbuf.fillBlack(); }
};

} // namespace gamefix
