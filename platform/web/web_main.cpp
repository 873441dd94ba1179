// The program entry in the browser. The page has mounted the player's stored folder before
// this runs. Instead of the desktop's blocking loop, the browser calls one step per animation
// frame: the game's frame runs when 16 ms have passed on the game's clock since the previous
// one, and a hidden tab, which gets no animation frames, costs nothing.
//
// The page may pass a scripted run (see ScriptedRun.h) as arguments, its test switch.

#include "app/ProgramSteps.h"
#include "app/ScriptedRun.h"
#include "app/TForm1.h"
#include "platform/web/WebPage.h"
#include "platform/web/WebPlatform.h"
#include "replay/ReplayRecorder.h"

#include <SDL.h>
#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <exception>
#include <string>

namespace {

// Everything the running game is; it outlives main, which returns to the browser at once.
// Every game is recorded on its way between the game and the page, as on the desktop, into
// the replays folder of the stored folder.
// Each replay written is told to the page, which sends it to a scoreboard serving the page.
struct PageReplays : ReplayListener {
    void replayWritten(const std::string& path, bool abandoned) override {
        webpage::replayWritten(path, abandoned);
    }
};

struct WebProgram {
    explicit WebProgram(const ScriptedRun& r)
        : platform(r), recorder(platform), form(recorder), steps(form), run(r) {
        recorder.watch(&form.g);
        recorder.listener = &pageReplays;
    }
    PageReplays pageReplays;
    WebPlatform platform;
    ReplayRecorder recorder;
    TForm1 form;
    ProgramSteps steps;
    ScriptedRun run;
};

WebProgram* program = nullptr;

void finish(int32_t code) {
    // A game under way is kept, marked abandoned.
    if (program != nullptr) program->recorder.programEnded();
    delete program;
    program = nullptr;
    SDL_Quit();
    webpage::programEnded(code);
}

// One animation frame of the browser: a game frame when one is due. False stops the calls.
EM_BOOL animationFrame(double timestampMs, void*) {
    WebProgram& p = *program;
    // A scripted run stops on its last frame and leaves it on the canvas for the test.
    if (p.run.on && p.run.frames > 0 && p.platform.framesPresented() >= p.run.frames) {
        webpage::scriptedRunDone();
        return EM_FALSE;
    }
    p.platform.beginAnimationFrame(timestampMs);
    if (!p.steps.frameDue()) return EM_TRUE;
    const int64_t before = p.platform.framesPresented();
    try {
        if (!p.steps.stepWhenDue()) {
            finish(p.steps.exitCode());
            return EM_FALSE;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vortalix: %s\n", e.what());
        webpage::showMessage("VORTALIX-Revision-", e.what());
        finish(2);
        return EM_FALSE;
    }
    if (p.platform.framesPresented() != before) webpage::frameBegun(timestampMs);
    return EM_TRUE;
}

} // namespace

// The page calls this when the player has picked a picture and it has been written to path.
extern "C" EMSCRIPTEN_KEEPALIVE void vortalix_picture_chosen(const char* path) {
    if (program != nullptr && path != nullptr) program->platform.pictureChosen(path);
}

int main(int argc, char** argv) {
    ScriptedRun run;
    std::string error;
    if (!parseScriptedRun(argc, argv, run, error)) {
        std::fprintf(stderr, "vortalix: %s\n", error.c_str());
        webpage::showMessage("VORTALIX-Revision-", error);
        webpage::programEnded(2);
        return 2;
    }
    SDL_SetHint(SDL_HINT_APP_NAME, "VORTALIX-Revision-");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vortalix: cannot start SDL's video: %s\n", SDL_GetError());
        webpage::showMessage("VORTALIX-Revision-", SDL_GetError());
        webpage::programEnded(2);
        return 2;
    }
    try {
        program = new WebProgram(run);
        if (!program->steps.begin()) {
            finish(program->steps.exitCode());
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vortalix: %s\n", e.what());
        webpage::showMessage("VORTALIX-Revision-", e.what());
        finish(2);
        return 2;
    }
    emscripten_request_animation_frame_loop(animationFrame, nullptr);
    return 0;
}
