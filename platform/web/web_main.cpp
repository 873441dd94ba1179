// The program entry in the browser. The page has mounted the player's stored folder before
// this runs. Instead of the desktop's blocking loop, the browser calls one step per animation
// frame, and that step runs every game frame that has become due on the game's own clock
// (FramePacer): 62.5 frames a second whatever the display's refresh rate, and a hidden tab,
// which gets no animation frames, costs nothing.
//
// The page passes `--replay FILE` to watch a recorded game instead of playing (?replay=URL),
// and may at any time hand over a dropped or picked replay through vortalix_watch. It may also
// pass a scripted run (see ScriptedRun.h) as arguments, its test switch; a scripted run moves
// exactly one game frame per animation frame.

#include "app/FramePacer.h"
#include "app/ProgramSteps.h"
#include "app/ScriptedRun.h"
#include "app/TForm1.h"
#include "platform/web/WebPage.h"
#include "platform/web/WebPlatform.h"
#include "replay/ReplayRecorder.h"
#include "replay/ReplayViewer.h"

#include <SDL.h>
#include <emscripten.h>
#include <emscripten/eventloop.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>
#include <utility>

namespace {

const char* const kCaption = "VORTALIX-Revision-";

// Each replay written is told to the page, which sends it to a scoreboard serving the page.
struct PageReplays : ReplayListener {
    void replayWritten(const std::string& path, bool abandoned) override {
        webpage::replayWritten(path, abandoned);
    }
};

// A game being played. Every game is recorded on its way between the game and the page, as on
// the desktop, into the replays folder of the stored folder.
struct WebGame {
    explicit WebGame(WebPlatform& platform) : recorder(platform), form(recorder), steps(form) {
        recorder.watch(&form.g);
        recorder.listener = &pageReplays;
    }
    PageReplays pageReplays;
    ReplayRecorder recorder;
    TForm1 form;
    ProgramSteps steps;
    FramePacer pacer;
};

// A recorded game being watched; it owns the recording the viewer plays.
struct WebWatch {
    WebWatch(WebPlatform& platform, Replay&& r) : replay(std::move(r)), viewer(platform, replay) {}
    Replay replay;
    ReplayViewer viewer;
};

// Everything the running program is; it outlives main, which returns to the browser at once.
WebPlatform* platform = nullptr;
WebGame* game = nullptr;
WebWatch* watch = nullptr;
ScriptedRun run;
bool looping = false;
bool toldReplayOver = false;

void endGame() {
    // A game under way is kept, marked abandoned.
    if (game != nullptr) game->recorder.programEnded();
    delete game;
    game = nullptr;
}

void endWatch() {
    if (watch != nullptr) watch->viewer.end();
    delete watch;
    watch = nullptr;
}

void finish(int32_t code) {
    endGame();
    endWatch();
    delete platform;
    platform = nullptr;
    SDL_Quit();
    webpage::programEnded(code);
}

void fail(const std::exception& e) {
    std::fprintf(stderr, "vortalix: %s\n", e.what());
    webpage::showMessage(kCaption, e.what());
    finish(2);
}

// Runs the frames of the game that are due in this animation frame. False stops the calls.
bool gameFrames(double timestampMs) {
    WebGame& p = *game;
    if (run.on) {
        // A scripted run stops on its last frame and leaves it on the canvas for the test.
        if (run.frames > 0 && platform->framesPresented() >= run.frames) {
            webpage::scriptedRunDone();
            return false;
        }
        platform->nextFrame();
        if (!p.steps.frameDue()) return true;
        if (!p.steps.stepWhenDue()) {
            finish(p.steps.exitCode());
            return false;
        }
        webpage::frameBegun(timestampMs);
        return true;
    }
    p.pacer.beginAnimationFrame(timestampMs);
    const double workBegan = emscripten_get_now();
    while (p.pacer.frameDue(16.0, emscripten_get_now() - workBegan)) {
        platform->nextFrame();
        const int64_t before = platform->framesPresented();
        // Keys that came since the previous frame are handled first, inside the step.
        if (!p.steps.stepWhenDue()) {
            finish(p.steps.exitCode());
            return false;
        }
        if (platform->framesPresented() != before) webpage::frameBegun(p.pacer.lastDueMs());
    }
    return true;
}

bool watchFrames(double timestampMs) {
    ReplayViewer& v = watch->viewer;
    if (!v.animationFrame(timestampMs, emscripten_get_now)) {
        const int32_t code = v.exitCode();
        finish(code);
        return false;
    }
    if (v.recordingOver() && !toldReplayOver) {
        toldReplayOver = true;
        webpage::replayOver();
    }
    return true;
}

EM_BOOL animationFrame(double timestampMs, void*) {
    bool on = false;
    try {
        if (watch != nullptr)
            on = watchFrames(timestampMs);
        else if (game != nullptr)
            on = gameFrames(timestampMs);
    } catch (const std::exception& e) {
        fail(e);
    }
    looping = on;
    return on ? EM_TRUE : EM_FALSE;
}

void loop() {
    if (looping) return;
    looping = true;
    emscripten_request_animation_frame_loop(animationFrame, nullptr);
}

// Starts watching `file`, or says in one line why it cannot be watched and goes on as before.
bool startWatching(const std::string& file, const std::string& shownName) {
    Replay replay;
    std::string error;
    if (!loadReplay(*platform, file, replay, error)) {
        // The message names the file as the player knows it, not the page's copy.
        if (error.compare(0, file.size(), file) == 0) error = shownName + error.substr(file.size());
        std::fprintf(stderr, "vortalix: %s\n", error.c_str());
        webpage::showMessage(kCaption, error);
        return false;
    }
    if (game != nullptr) {
        // Leaving a game to watch one ends it as Esc would: the settings are kept.
        game->form.FormDestroy();
        endGame();
    }
    endWatch();
    // A zoomed game leaves a doubled canvas; the recording sets its own size from here.
    platform->setClientSize(240, 273);
    toldReplayOver = false;
    watch = new WebWatch(*platform, std::move(replay));
    if (!watch->viewer.begin()) {
        finish(watch->viewer.exitCode());
        return true;
    }
    webpage::watching(shownName);
    loop();
    return true;
}

// The game's start runs one part per task, so that the page gets its thread back between
// them: on a slow phone the whole start would hold it for a tenth of a second. The frames
// begin after the last part. `starting` is the game the part is for; a replay picked
// meanwhile has ended that one.
void startPart(void* starting) {
    if (game == nullptr || game != starting) return;
    try {
        bool more = false;
        if (!game->steps.beginPart(more)) {
            finish(game->steps.exitCode());
            return;
        }
        if (more) {
            emscripten_set_timeout(startPart, 0, game);
            return;
        }
        loop();
    } catch (const std::exception& e) {
        fail(e);
    }
}

// The canvas is made ready for frames in a task of its own, ahead of the start's parts.
void preparePresenting(void* starting) {
    if (game == nullptr || game != starting) return;
    try {
        platform->preparePresenting();
        emscripten_set_timeout(startPart, 0, game);
    } catch (const std::exception& e) {
        fail(e);
    }
}

void startGame() {
    game = new WebGame(*platform);
    emscripten_set_timeout(preparePresenting, 0, game);
}

} // namespace

// The page calls this when the player has picked a picture and it has been written to path.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalix_picture_chosen(const char* path) {
    if (platform != nullptr && path != nullptr) platform->pictureChosen(path);
}

// The page calls this inside the handler of every key or touch, where the browser lets sound
// begin.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalix_start_audio() {
    if (platform != nullptr) platform->startAudio();
}

// The page calls this when the rendered music, fetched after the first frame, is in place.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalix_music_arrived() {
    if (platform != nullptr) platform->musicArrived();
}

// The page calls this with a replay the player dropped on the page or picked, written to
// path; name is the file's name as the player knows it.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalix_watch(const char* path, const char* name) {
    if (platform == nullptr || path == nullptr || name == nullptr) return;
    try {
        startWatching(path, name);
    } catch (const std::exception& e) {
        fail(e);
    }
}

int main(int argc, char** argv) {
    std::string replayFile, replayName;
    if (argc == 4 && std::strcmp(argv[1], "--replay") == 0) {
        replayFile = argv[2];
        replayName = argv[3];
    } else {
        std::string error;
        if (!parseScriptedRun(argc, argv, run, error)) {
            std::fprintf(stderr, "vortalix: %s\n", error.c_str());
            webpage::showMessage(kCaption, error);
            webpage::programEnded(2);
            return 2;
        }
    }
    SDL_SetHint(SDL_HINT_APP_NAME, kCaption);
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vortalix: cannot start SDL's video: %s\n", SDL_GetError());
        webpage::showMessage(kCaption, SDL_GetError());
        webpage::programEnded(2);
        return 2;
    }
    try {
        platform = new WebPlatform(run);
        // A replay that cannot be watched leaves the player at the game, with the reason.
        if (!replayFile.empty() && startWatching(replayFile, replayName)) return 0;
        startGame();
    } catch (const std::exception& e) {
        fail(e);
        return 2;
    }
    return 0;
}
