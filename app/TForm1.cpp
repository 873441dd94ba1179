#include "app/TForm1.h"

#include "app/ProgramSteps.h"
#include "app/Settings.h"
#include "audio/Midi.h"
#include "audio/Sound.h"
#include "game/Game.h"
#include "platform/Picture.h"
#include "render/Font.h"
#include "render/Frame.h"
#include "screens/Ranking.h"
#include "screens/Screens.h"

#include <cstdio>

namespace {

const char* const kOpenError = "オープンエラー";

const char* const kSheetFiles[kSheetCount] = {
    "image\\bonus01.bmp",   "image\\bairitu01.bmp", "image\\efect01.bmp", "image\\title02.bmp",
    "image\\moji01.bmp",    "image\\moji02.bmp",    "image\\garge01.bmp", "image\\bomb01.bmp",
    "image\\thunder01.bmp", "image\\thunder02.bmp", "image\\bomb02.bmp"};

// Only exactly 1 doubles the window; every other value leaves the game at single size in the
// window set-up, the frame loop and at the end alike.
bool zoomed(const GameState& g) {
    return g.zoom == 1;
}

void imgload(GameState& g, const char* name, int slot) {
    Platform& p = *g.platform;
    const std::string path = g.basedir + nativePath(name);
    if (!p.fileExists(path)) {
        p.messageBox("画像ファイルが見つかりません！", kOpenError);
        p.halt(0);
    }
    std::string error;
    if (!loadBmpFile(p, path, g.sheets[size_t(slot)], error)) {
        std::fprintf(stderr, "vortalix: %s: %s\n", path.c_str(), error.c_str());
        p.messageBox("画像ファイルを読み込めません！\n" + path + "\n" + error, kOpenError);
        p.halt(0);
    }
}

} // namespace

TForm1::TForm1(Platform& p) : platform(p) {
    g.platform = &p;
    p.setEventSink(this);
}

// Loads the background picture named by bgpath, or the default one. A picture that cannot be
// shown leaves a black backdrop and a line on stderr rather than a dead window.
static void loadBackground(GameState& g) {
    Platform& p = *g.platform;
    const std::string fallback = g.basedir + nativePath("image\\t_back.jpg");
    std::string error;
    if (g.bgpath != "none" && !g.bgpath.empty() && p.fileExists(g.bgpath)) {
        if (loadPicture(p, g.bgpath, g.picture, error)) return;
        std::fprintf(stderr, "vortalix: background picture %s: %s; using the default picture\n",
                     g.bgpath.c_str(), error.c_str());
        // The chosen path stays in the settings, so a repaired file is used again.
        if (!loadPicture(p, fallback, g.picture, error)) {
            std::fprintf(stderr, "vortalix: default picture %s: %s; the backdrop stays black\n",
                         fallback.c_str(), error.c_str());
            g.picture.release();
        }
        return;
    }
    g.bgpath = fallback;
    if (!loadPicture(p, fallback, g.picture, error)) {
        std::fprintf(stderr, "vortalix: default picture %s: %s; the backdrop stays black\n",
                     fallback.c_str(), error.c_str());
        g.picture.release();
    }
}

void TForm1::FormCreate() {
    for (int32_t part = 0; part < kFormCreateParts; ++part) FormCreatePart(part);
}

void TForm1::FormCreatePart(int32_t part) {
    // The parts from kFirstSheetPart on each load one bitmap; the largest take longest.
    if (part >= kFirstSheetPart && part < kFirstSheetPart + kSheetCount) {
        const int slot = part - kFirstSheetPart;
        imgload(g, kSheetFiles[slot], slot);
        return;
    }
    switch (part) {
    case 0: {
        g.rng.seed = platform.timeOfDayMs();

        std::string error;
        // An installed game keeps the player's files in the player's own folders; without a
        // place for them there is nothing to save a ranking or settings into.
        if (!locateFiles(platform, g.files, error) ||
            !preparePlayerFiles(platform, g.files, error)) {
            std::fprintf(stderr, "vortalix: %s\n", error.c_str());
            platform.messageBox("設定とスコアの保存先を用意できません！\n" + error, kOpenError);
            platform.halt(0);
        }
        break;
    }
    case 1: {
        std::string error;
        switch (readRanking(g, error)) {
        case RankingLoad::Ok:
            break;
        case RankingLoad::Missing:
            platform.messageBox("スコアランキング(score.vtx)が見つかりません！", kOpenError);
            platform.halt(0);
        case RankingLoad::Broken:
            std::fprintf(stderr, "vortalix: %s: %s\n", g.files.rankingFile.c_str(), error.c_str());
            platform.messageBox("スコアランキング(score.vtx)が読み込めません！\n" + error,
                                kOpenError);
            platform.halt(0);
        }

        g.basedir = g.files.dataDir;
        g.musicMain = g.basedir + nativePath("sound\\main.mid");
        g.musicRanking = g.basedir + nativePath("sound\\ranking.mid");
        g.musicGameOver = g.basedir + nativePath("sound\\gameover.mid");
        g.midiplayer = std::make_unique<TMCIMidi>(platform, 1);

        readSettings(g);
        break;
    }
    case 2:
        loadBackground(g);
        break;
    case 3:
        if (scaleSizesWindow(g) || g.fullscreen != 0) {
            // The window at any factor, or covering the screen: the platform scales the frame.
            platform.setDisplay(windowFactor(g), 240, 273, g.fullscreen != 0);
            if (zoomed(g)) g.zoombuf.create(480, 546);
        } else if (zoomed(g)) {
            platform.setClientSize(480, 546);
            g.zoombuf.create(480, 546);
        } else {
            platform.setClientSize(240, 273);
        }
        g.backbuf.create(240, 273);
        g.linelayer.create(240, 240);
        g.backdrop = gensyoku(g.picture);
        break;
    default:
        soundloadAll(g);

        // Right, down, left, up; rows grow downwards.
        g.dirdx = {0, 1, 0, -1, 0};
        g.dirdy = {0, 0, 1, 0, -1};

        shokika(g);
        break;
    }
}

void TForm1::FormDestroy() {
    if (destroyed_) return;
    destroyed_ = true;
    // Before the settings were read there is nothing of the player's to write back, and
    // writing zero values would wipe the file.
    if (g.settingsRead) {
        keepFullscreen();
        data_save(g);
    }
    g.midiplayer.reset();
    g.backbuf.release();
    g.linelayer.release();
    g.backdrop.release();
    g.zoombuf.release();
}

void TForm1::FormCloseQuery() {
    if (g.settingsRead) {
        keepFullscreen();
        data_save(g);
    }
    platform.halt(1);
}

void TForm1::keepFullscreen() {
    // The player's own non-zero value stays while the window is still fullscreen.
    const bool now = platform.isFullscreen();
    if (now != (g.fullscreen != 0)) g.fullscreen = now ? 1 : 0;
}

void TForm1::mainloop(bool& done) {
    // Frames begin at least 16 ms apart; messages are handled while waiting.
    g.thisframe = int32_t(platform.timeGetTime());
    int32_t elapsed = int32_t(uint32_t(g.thisframe) - uint32_t(g.lastframe));
    while (elapsed < 16) {
        g.thisframe = int32_t(platform.timeGetTime());
        elapsed = int32_t(uint32_t(g.thisframe) - uint32_t(g.lastframe));
        platform.pumpMessages();
        if (elapsed < 16) platform.idleUntil(uint32_t(g.lastframe) + 16u);
    }
    g.lastframe = g.thisframe;

    cls(g);
    switch (g.mode) {
    case 0:
        t_gamen(g, uint32_t(g.modeclock));
        break;
    case 1:
        count_down(g);
        g.countclock += elapsed;
        break;
    case 2:
        playFrame();
        break;
    case 3:
        name_entry(g);
        break;
    case 4:
        r_gamen(g);
        break;
    default:
        break;
    }

    if (g.soundleft > 0) g.soundleft -= elapsed;

    // The doubled frame of the zoom is made here as it always was; at any other size, and in
    // fullscreen, the platform scales the frame itself.
    if (zoomed(g) && windowFactor(g) == 2 && !platform.isFullscreen()) {
        imgstretch(g.zoombuf, g.backbuf);
        platform.present(g.zoombuf);
    } else {
        platform.present(g.backbuf);
    }
    done = false;
}

void TForm1::playFrame() {
    all_put(g);
    if (g.paused) return;
    switch (g.playstate) {
    case 0:
        moji(g, "GAME OVER", 120, 120, 0, g.modeclock / 2 < 8 ? g.modeclock / 2 : 8, 1);
        g.modeclock += 1;
        if (g.modeclock > 250) {
            g.newrank = r_sort(g);
            g.mode = g.newrank == 10 ? 4 : 3;
            g.modeclock = 0;
        }
        break;
    case 1:
        if (!move(g)) dead(g);
        break;
    case 2:
        move(g);
        if (g.invtimer == 0) g.playstate = 1;
        g.invtimer = uint8_t(g.invtimer - 1);
        break;
    default:
        break;
    }
    g.stepclock = uint8_t(g.stepclock + 1);
    g.modeclock += 1;
    if (g.combotimer > 0) {
        g.combotimer -= 1;
    } else {
        g.combo = 0;
        g.gain = "0";
    }
}

int runProgram(TForm1& form, int64_t frameLimit) {
    ProgramSteps steps(form);
    if (!steps.begin()) return steps.exitCode();
    for (int64_t frames = 0;;) {
        if (!steps.step()) return steps.exitCode();
        if (frameLimit > 0 && ++frames >= frameLimit) return -1;
    }
}
