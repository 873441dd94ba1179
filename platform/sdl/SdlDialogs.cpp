// Dialogs of the desktop, through zenity: the picture chooser, and the warning box where SDL
// cannot draw its own. zenity is started directly, without a shell, so no file name or text
// is ever interpreted as a command.

#include "platform/sdl/SdlFileFilter.h"
#include "platform/sdl/SdlPlatform.h"

#include "platform/sdl/SdlFrameOutput.h"

#include <SDL.h>
#include <SDL_syswm.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#if defined(__unix__)
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

#if defined(__unix__)
namespace {

// The X window id, so that zenity's dialog stays above our always-on-top window.
std::string attachArgument(SDL_Window* window) {
#if defined(SDL_VIDEO_DRIVER_X11)
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (window != nullptr && SDL_GetWindowWMInfo(window, &info) == SDL_TRUE &&
        info.subsystem == SDL_SYSWM_X11)
        return "--attach=" + std::to_string(static_cast<unsigned long>(info.info.x11.window));
#else
    (void)window;
#endif
    return "";
}

} // namespace
#endif

void SdlPlatform::serviceWhileModal() {
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        if (event.type == SDL_QUIT) closePending_ = true;
        if (event.type != SDL_WINDOWEVENT) continue; // the player's keys belong to the dialog
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) closePending_ = true;
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED && presented_) {
            output_->invalidate();
            output_->show();
        }
    }
}

#if defined(__unix__)

bool SdlPlatform::runZenity(const std::vector<std::string>& args, std::string& output,
                            int& status) {
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>("zenity"));
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    int out[2];
    if (pipe2(out, O_CLOEXEC) != 0) {
        std::fprintf(stderr, "vortalix: cannot start zenity: %s\n", std::strerror(errno));
        return false;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, out[1], 1);
    // GTK's chatter about transient parents and the like is no business of the game's.
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, "zenity", &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    if (rc != 0) {
        close(out[0]);
        std::fprintf(stderr, "vortalix: cannot start zenity (%s); install zenity for dialogs\n",
                     std::strerror(rc));
        return false;
    }

    // Modal: the game waits here, but the window keeps answering the window system.
    output.clear();
    for (;;) {
        pollfd p{out[0], POLLIN, 0};
        const int ready = poll(&p, 1, 16);
        if (ready < 0 && errno != EINTR) break;
        if (ready > 0) {
            char buffer[4096];
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n == 0) break;
            if (n > 0) output.append(buffer, size_t(n));
            if (n < 0 && errno != EINTR && errno != EAGAIN) break;
        }
        serviceWhileModal();
    }
    close(out[0]);
    int raw = 0;
    while (waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    keys_.releaseAll();
    return true;
}

bool SdlPlatform::openFileDialog(const std::string& title, const std::string& filter,
                                 const std::string& /*defaultExt: only a save dialog uses it*/,
                                 std::string& path) {
    std::vector<std::string> args = {"--file-selection", "--modal", "--title=" + title};
    const std::string attach = attachArgument(shown_ ? window_ : nullptr);
    if (!attach.empty()) args.push_back(attach);
    for (const std::string& f : sdlfilter::zenityFileFilters(filter)) args.push_back(f);

    std::string output;
    int status = -1;
    if (!runZenity(args, output, status)) return false;
    // 0 is a confirmed choice, 1 a cancel; anything else is zenity's own trouble.
    if (status != 0) {
        if (status != 1) std::fprintf(stderr, "vortalix: zenity ended with status %d\n", status);
        return false;
    }
    if (!output.empty() && output.back() == '\n') output.pop_back();
    if (output.empty()) return false;
    path = output;
    return true;
}

bool SdlPlatform::showWarningWithZenity(const std::string& text, const std::string& caption) {
    std::vector<std::string> args = {"--warning", "--modal", "--no-markup", "--title=" + caption,
                                     "--text=" + text};
    const std::string attach = attachArgument(shown_ ? window_ : nullptr);
    if (!attach.empty()) args.push_back(attach);
    std::string output;
    int status = -1;
    // Closing the box in any way counts as acknowledging it.
    return runZenity(args, output, status) && (status == 0 || status == 1);
}

#else

bool SdlPlatform::runZenity(const std::vector<std::string>&, std::string&, int&) {
    return false;
}

bool SdlPlatform::openFileDialog(const std::string&, const std::string&, const std::string&,
                                 std::string&) {
    std::fprintf(stderr, "vortalix: no file dialog on this system; the picture stays\n");
    return false;
}

bool SdlPlatform::showWarningWithZenity(const std::string&, const std::string&) {
    return false;
}

#endif
