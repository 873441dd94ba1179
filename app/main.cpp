// The program entry: SDL's video first (without it there is no game), the window, then the
// game itself until one of its three ends.

#include "app/CommandLine.h"
#include "app/ReplayWatch.h"
#include "app/TForm1.h"
#include "online/HttpPost.h"
#include "online/OnlineSettings.h"
#include "online/ScoreSender.h"
#include "online/Submit.h"
#include "online/WorkerPlatform.h"
#include "platform/sdl/SdlLocale.h"
#include "platform/sdl/SdlPlatform.h"
#include "replay/ReplayRecorder.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <exception>

namespace {

std::string programDir() {
    char* base = SDL_GetBasePath();
    if (base == nullptr) return "./";
    std::string dir = base;
    SDL_free(base);
    return dir;
}

// The scoreboard's address and the replays folder, found as the game will find them.
SenderSetup senderSetup(Platform& window) {
    SenderSetup setup;
    setup.exeDir = window.exeDir();
    setup.installedDataDir = window.installedDataDir();
    WorkerPlatform files(setup.exeDir, setup.installedDataDir);
    OnlinePlaces places;
    std::string error;
    // Without its folders the game itself stops at start-up and says why.
    if (!findOnlinePlaces(files, places, error)) return setup;
    setup.server = places.server;
    setup.replaysDir = places.replaysDir;
    return setup;
}

} // namespace

int main(int argc, char** argv) {
    const CommandLine args = parseCommandLine(argc, argv);
    if (int code = 0; answeredOnConsole(args, code)) return code;
    const HttpLibrary http;
    if (args.action == CommandLine::Action::SubmitReplay) {
        const std::string dir = programDir();
        WorkerPlatform files(dir, dir + VORTALIX_DATA_FROM_BIN "/");
        return submitReplay(files, args.replayFile, args.server);
    }
    useUtf8CharacterType();
    SDL_SetHint(SDL_HINT_APP_NAME, "VORTALIX-Revision-");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vortalix: cannot start SDL's video: %s\n", SDL_GetError());
        return 2;
    }
    // Without a reachable display SDL falls back to drawing off screen, which would leave a
    // game running that nobody can see or stop with a key.
    const char* driver = SDL_GetCurrentVideoDriver();
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if ((asked == nullptr || *asked == '\0') && driver != nullptr &&
        (std::strcmp(driver, "offscreen") == 0 || std::strcmp(driver, "dummy") == 0)) {
        // A DISPLAY that is set but does not answer (an X server not up yet, or gone) is a
        // different fault from none at all, and the player is told which.
        const char* display = SDL_getenv("DISPLAY");
        if (display != nullptr && *display != '\0')
            std::fprintf(stderr,
                         "vortalix: no display to open the window on (DISPLAY=%s does not "
                         "answer)\n",
                         display);
        else
            std::fprintf(stderr, "vortalix: no display to open the window on (DISPLAY is not "
                                 "set)\n");
        SDL_Quit();
        return 2;
    }
    int code = 2;
    try {
        // Sound is started by the platform on its own: no audio device only means silence.
        SdlPlatform platform;
        if (args.action == CommandLine::Action::WatchReplay) {
            code = watchReplay(platform, args.replayFile);
        } else {
            // Every game is recorded on its way between the game and the window.
            ReplayRecorder recorder(platform);
            TForm1 form(recorder);
            recorder.watch(&form.g);
            // Finished games go to the scoreboard, when the settings name one.
            ScoreSender sender(senderSetup(platform));
            recorder.listener = &sender;
            code = runProgram(form);
            recorder.programEnded();
            recorder.listener = nullptr;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vortalix: %s\n", e.what());
    }
    SDL_Quit();
    return code;
}
