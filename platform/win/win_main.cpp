// The Windows program entry: as the desktop's, with the Windows platform. It is a windowed
// program, so that a start from the Start menu opens no console; started from a console, its
// --version, --help and messages still go to that console. SDL's WinMain hands over the
// command line in UTF-8, so a replay in a Japanese folder can be named.

#include "app/CommandLine.h"
#include "app/ReplayWatch.h"
#include "app/TForm1.h"
#include "online/Submit.h"
#include "online/WorkerPlatform.h"
#include "platform/win/WinPlatform.h"
#include "replay/ReplayRecorder.h"

#include <SDL.h>
#include <windows.h>

#include <cstdio>
#include <exception>

namespace {

bool hasHandle(DWORD which) {
    const HANDLE h = GetStdHandle(which);
    return h != nullptr && h != INVALID_HANDLE_VALUE;
}

// A windowed program starts without standard output; the console it was started from, if
// any, takes it. Output already redirected to a file or a pipe stays there.
void useParentConsole() {
    const bool out = hasHandle(STD_OUTPUT_HANDLE), err = hasHandle(STD_ERROR_HANDLE);
    if ((out && err) || !AttachConsole(ATTACH_PARENT_PROCESS)) return;
    if (!out) (void)std::freopen("CONOUT$", "w", stdout);
    if (!err) (void)std::freopen("CONOUT$", "w", stderr);
}

} // namespace

int main(int argc, char** argv) {
    useParentConsole();
    const CommandLine args = parseCommandLine(argc, argv);
    if (int code = 0; answeredOnConsole(args, code)) return code;
    if (args.action == CommandLine::Action::SubmitReplay) {
        // This build has no HTTP client: the replay stays where it is, and the player is told
        // so instead of seeing a game start.
        WorkerPlatform files(".\\", ".\\");
        return submitReplay(files, args.replayFile, args.server);
    }
    SDL_SetHint(SDL_HINT_APP_NAME, "VORTALIX-Revision-");
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
        std::fprintf(stderr, "vortalix: cannot start SDL's video: %s\n", SDL_GetError());
        return 2;
    }
    int code = 2;
    try {
        // Sound is started by the platform on its own: no audio device only means silence.
        WinPlatform platform;
        if (args.action == CommandLine::Action::WatchReplay) {
            code = watchReplay(platform, args.replayFile);
        } else {
            // Every game is recorded on its way between the game and the window.
            ReplayRecorder recorder(platform);
            TForm1 form(recorder);
            recorder.watch(&form.g);
            code = runProgram(form);
            recorder.programEnded();
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vortalix: %s\n", e.what());
    }
    SDL_Quit();
    return code;
}
