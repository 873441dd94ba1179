// The window: creation, events, drawing a frame, the warning box.

#include "platform/sdl/SdlPlatform.h"

#include "platform/DisplayScale.h"
#include "platform/sdl/DeadlineSleep.h"
#include "platform/sdl/SdlFrameOutput.h"
#include "platform/sdl/SdlGpuProbe.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace {

const char* const kCaption = "VORTALIX-Revision-";
constexpr int32_t kLeft = 200, kTop = 107;

} // namespace

SdlPlatform::SdlPlatform() {
    epoch_ = Clock::now();
    lastReading_ = frameStart_ = lastPresent_ = epoch_;

    // SDL would otherwise put the window surface on an OpenGL texture, which under X without
    // a GPU costs about ten times as much per frame as the plain shared-memory image. Only X
    // has that plain image: under Wayland SDL's texture is the only window surface there is,
    // and refusing it there leaves the window empty.
    const char* videoDriver = SDL_GetCurrentVideoDriver();
    if (videoDriver != nullptr && std::strcmp(videoDriver, "x11") == 0)
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A tool window that stays on top; it stays hidden until it has a first frame to show, so
    // a zoomed window never flashes at the small size and a start-up warning stands alone.
    // High-DPI: the window surface is in the screen's real pixels, so the factor is counted in
    // them and every frame pixel stays a whole block.
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_UTILITY |
                         SDL_WINDOW_ALLOW_HIGHDPI;
    window_ = SDL_CreateWindow(kCaption, kLeft, kTop, clientW_, clientH_, flags);
    if (window_ == nullptr)
        throw std::runtime_error(std::string("cannot create the window: ") + SDL_GetError());
    chooseFrameOutput();
    // The game reads keys, not text: an input method must not swallow them.
    SDL_StopTextInput();
    // Pads are welcome but not needed: without the subsystem the keyboard still plays.
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0)
        std::fprintf(stderr, "vortalix: no gamepads: %s\n", SDL_GetError());
    audio_.init();
    // After the audio threads have started: they need no precise wake-ups of their own.
    sharpenTimerSlack();
}

SdlPlatform::~SdlPlatform() {
    audio_.shutdown();
    output_.reset();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
}

void SdlPlatform::chooseFrameOutput() {
    output_ = std::make_unique<SdlFrameOutput>(window_);
    const char* asked = std::getenv("VORTALIX_PRESENT");
    present::Request request = present::parseRequest(asked);
    if (request == present::Request::Unknown) {
        std::fprintf(stderr,
                     "vortalix: VORTALIX_PRESENT=%s is not one of surface, renderer, auto; the "
                     "game chooses\n",
                     asked);
        request = present::Request::Auto;
    }
    present::RendererFacts facts;
    if (present::worthProbing(request, present::directRenderingOffered(window_)))
        facts = present::probeRenderer();
    if (present::choose(request, facts) == present::Path::Renderer) {
        std::string error;
        if (!output_->useRenderer(error))
            std::fprintf(stderr, "vortalix: no accelerated renderer: %s\n", error.c_str());
    }
    // Said only when the player asked, so that a plain start stays quiet.
    if (request != present::Request::Auto)
        std::fprintf(stderr, "vortalix: frames go through %s\n",
                     output_->rendererDescription().c_str());
}

void SdlPlatform::pumpMessages() {
    if (closePending_) {
        closePending_ = false;
        if (events_ != nullptr) events_->onCloseRequest();
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) handleEvent(event);
}

void SdlPlatform::padPress(uint8_t vk) {
    keys_.press(vk);
    if (events_ != nullptr) events_->onKeyDown(vk);
}

void SdlPlatform::padRelease(uint8_t vk) {
    keys_.release(vk);
}

void SdlPlatform::handleEvent(const SDL_Event& event) {
    if (gamepad_.handle(event)) return;
    switch (event.type) {
    case SDL_KEYDOWN: {
        // F11 and Alt+Enter switch fullscreen and are nothing else, on every screen.
        if (isFullscreenKey(event.key.keysym.sym, event.key.keysym.mod)) {
            if (event.key.repeat == 0) toggleFullscreen();
            break;
        }
        // Key repeats arrive as key-downs too, and each one counts as a press.
        const uint8_t vk = sdlkeys::virtualKey(event.key.keysym.sym, event.key.keysym.scancode);
        if (vk == 0) break;
        keys_.press(vk);
        if (events_ != nullptr) events_->onKeyDown(vk);
        break;
    }
    case SDL_KEYUP:
        if (isFullscreenKey(event.key.keysym.sym, event.key.keysym.mod)) break;
        keys_.release(sdlkeys::virtualKey(event.key.keysym.sym, event.key.keysym.scancode));
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            keys_.releaseAll();
            gamepad_.releaseAll();
        }
        if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
            event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)
            output_->invalidate();
        if (event.window.event == SDL_WINDOWEVENT_CLOSE && events_ != nullptr)
            events_->onCloseRequest();
        break;
    case SDL_QUIT:
        if (events_ != nullptr) events_->onCloseRequest();
        break;
    default:
        break;
    }
}

bool SdlPlatform::getAsyncKeyState(uint8_t key) {
    return keys_.query(key);
}

void SdlPlatform::setClientSize(int32_t width, int32_t height) {
    clientW_ = width;
    clientH_ = height;
    SDL_SetWindowSize(window_, width, height);
    // The window's next surface may come back at the old one's address, before the resize is
    // reported: the black around the frame is drawn anew all the same.
    if (output_) output_->invalidate();
}

void SdlPlatform::clientSize(int32_t& width, int32_t& height) const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    width = w;
    height = h;
}

bool SdlPlatform::isFullscreenKey(int32_t sym, uint16_t mod) {
    return sym == SDLK_F11 || ((sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (mod & KMOD_ALT));
}

void SdlPlatform::setDisplay(int32_t scale, int32_t frameW, int32_t frameH, bool fullscreen) {
    SDL_Rect usable{0, 0, frameW, frameH};
    const int index = SDL_GetWindowDisplayIndex(window_);
    if (index < 0 || SDL_GetDisplayUsableBounds(index, &usable) != 0)
        std::fprintf(stderr, "vortalix: the screen's size is unknown: %s\n", SDL_GetError());
    // A window of N x the frame; on a high-DPI screen (SDL's window size is in points, fewer
    // than its pixels) every frame pixel is a whole block of real pixels.
    const int32_t n = display::windowScale(scale, usable.w, usable.h, frameW, frameH);
    setClientSize(frameW * n, frameH * n);
    int pixelW = 0, pixelH = 0, pointW = 0, pointH = 0;
    SDL_GetWindowSizeInPixels(window_, &pixelW, &pixelH);
    SDL_GetWindowSize(window_, &pointW, &pointH);
    if (pixelW > pointW && pointW > 0)
        setClientSize(display::highDpiPoints(frameW * n, pointW, pixelW),
                      display::highDpiPoints(frameH * n, pointH, pixelH));
    if (fullscreen) toggleFullscreen();
}

void SdlPlatform::toggleFullscreen() {
    // Borderless and exactly over the screen that holds the window, made by hand rather than
    // with SDL's fullscreen flag: that one asks the window manager, and with none (a bare X
    // server, a kiosk) nothing would happen at all.
    if (!fullscreen_) {
        SDL_Rect screen;
        const int index = SDL_GetWindowDisplayIndex(window_);
        if (index < 0 || SDL_GetDisplayBounds(index, &screen) != 0) {
            std::fprintf(stderr, "vortalix: cannot go fullscreen: %s\n", SDL_GetError());
            return;
        }
        SDL_GetWindowPosition(window_, &windowedX_, &windowedY_);
        SDL_GetWindowSize(window_, &windowedW_, &windowedH_);
        SDL_SetWindowBordered(window_, SDL_FALSE);
        SDL_SetWindowPosition(window_, screen.x, screen.y);
        SDL_SetWindowSize(window_, screen.w, screen.h);
        fullscreen_ = true;
    } else {
        SDL_SetWindowSize(window_, windowedW_, windowedH_);
        SDL_SetWindowPosition(window_, windowedX_, windowedY_);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        fullscreen_ = false;
    }
    output_->invalidate();
    // The keys held while switching are not seen going up by the window.
    keys_.releaseAll();
}

void SdlPlatform::present(const Surface& frame) {
    if (!shown_) {
        SDL_ShowWindow(window_);
        shown_ = true;
    }
    output_->draw(frame);
    updateWindowPaced();
    frameStart_ = lastReading_;
    presented_ = true;
}

void SdlPlatform::messageBox(const std::string& text, const std::string& caption) {
    // The text goes to stderr as well, so that the reason for an end is kept where the
    // player's terminal or a log can see it.
    std::fprintf(stderr, "vortalix: %s: %s\n", caption.c_str(), text.c_str());
    // With a parent window SDL uses the box of that window's system only; without one it
    // would first try a Wayland helper, which fails noisily under X.
    if (SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_WARNING, caption.c_str(), text.c_str(), window_) !=
        0) {
        const std::string reason = SDL_GetError();
        if (!showWarningWithZenity(text, caption))
            std::fprintf(stderr, "vortalix: cannot show the warning box: %s\n", reason.c_str());
    }
    // Keys that went up while the box had the keyboard were never seen here.
    keys_.releaseAll();
}

std::string SdlPlatform::installedDataDir() {
    // The build gives the installed data folder relative to the installed program.
    return exeDir() + VORTALIX_DATA_FROM_BIN "/";
}

std::string SdlPlatform::exeDir() {
    char* base = SDL_GetBasePath();
    if (base == nullptr) return "./";
    // SDL gives it with the trailing separator.
    std::string dir = base;
    SDL_free(base);
    return dir;
}
