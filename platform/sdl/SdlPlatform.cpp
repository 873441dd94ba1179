// The window: creation, events, drawing a frame, the warning box.

#include "platform/sdl/SdlPlatform.h"

#include "platform/sdl/DeadlineSleep.h"
#include "platform/sdl/PixelConvert.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <stdexcept>

namespace {

const char* const kCaption = "VORTALIX-Revision-";
constexpr int32_t kLeft = 200, kTop = 107;

} // namespace

SdlPlatform::SdlPlatform() {
    epoch_ = Clock::now();
    lastReading_ = frameStart_ = lastPresent_ = epoch_;

    // SDL would otherwise put the window surface on an OpenGL texture, which under X without
    // a GPU costs about ten times as much per frame as the plain shared-memory image.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    // A tool window that stays on top; it stays hidden until it has a first frame to show, so
    // a zoomed window never flashes at the small size and a start-up warning stands alone.
    const Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_UTILITY;
    window_ = SDL_CreateWindow(kCaption, kLeft, kTop, clientW_, clientH_, flags);
    if (window_ == nullptr)
        throw std::runtime_error(std::string("cannot create the window: ") + SDL_GetError());
    // The game reads keys, not text: an input method must not swallow them.
    SDL_StopTextInput();
    audio_.init();
    // After the audio threads have started: they need no precise wake-ups of their own.
    sharpenTimerSlack();
}

SdlPlatform::~SdlPlatform() {
    audio_.shutdown();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
}

void SdlPlatform::pumpMessages() {
    if (closePending_) {
        closePending_ = false;
        if (events_ != nullptr) events_->onCloseRequest();
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) handleEvent(event);
}

void SdlPlatform::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN: {
        // Key repeats arrive as key-downs too, and each one counts as a press.
        const uint8_t vk = sdlkeys::virtualKey(event.key.keysym.sym, event.key.keysym.scancode);
        if (vk == 0) break;
        keys_.press(vk);
        if (events_ != nullptr) events_->onKeyDown(vk);
        break;
    }
    case SDL_KEYUP:
        keys_.release(sdlkeys::virtualKey(event.key.keysym.sym, event.key.keysym.scancode));
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keys_.releaseAll();
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
}

void SdlPlatform::clientSize(int32_t& width, int32_t& height) const {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    width = w;
    height = h;
}

void SdlPlatform::copyToWindow(const Surface& frame) {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target == nullptr) {
        std::fprintf(stderr, "vortalix: no window surface: %s\n", SDL_GetError());
        return;
    }
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    const int32_t w = std::min<int32_t>(frame.width(), target->w);
    const int32_t h = std::min<int32_t>(frame.height(), target->h);
    // Whatever the frame does not cover stays black.
    if (w < target->w || h < target->h) SDL_FillRect(target, nullptr, 0);

    const SDL_PixelFormat* f = target->format;
    if (f->BytesPerPixel == 4 && f->Rloss == 0 && f->Gloss == 0 && f->Bloss == 0) {
        // Every 32-bit format with 8-bit channels, one shift per channel; X servers at depth
        // 24 give XRGB8888.
        PixelLayout layout;
        layout.redShift = f->Rshift;
        layout.greenShift = f->Gshift;
        layout.blueShift = f->Bshift;
        layout.alpha = f->Amask;
        convertBgrFrame(frame.row(0), ptrdiff_t(frame.width()) * 3,
                        static_cast<uint8_t*>(target->pixels), target->pitch, w, h, layout,
                        fastestConvertPath(layout));
    } else if (w > 0 && h > 0) {
        // Anything else (16-bit, 24-bit, palettes): SDL's own converter.
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_BGR24, frame.row(0), frame.width() * 3, f->format,
                          target->pixels, target->pitch);
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
}

void SdlPlatform::present(const Surface& frame) {
    if (!shown_) {
        SDL_ShowWindow(window_);
        shown_ = true;
    }
    copyToWindow(frame);
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
