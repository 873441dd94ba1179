#include "platform/web/WebPlatform.h"

#include "platform/web/WebPage.h"

#include <SDL.h>
#include <emscripten.h>

#include <chrono>
#include <cstdio>
#include <stdexcept>

namespace {

const char* const kCaption = "VORTALIX-Revision-";

bool isScreenshotName(const std::string& path) {
    const size_t slash = path.rfind('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return name.size() > 8 && name.compare(0, 4, "g_sc") == 0 &&
           name.compare(name.size() - 4, 4, ".bmp") == 0;
}

} // namespace

WebPlatform::WebPlatform(const ScriptedRun& run) : run_(run) {
    window_ = SDL_CreateWindow(kCaption, SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED, clientW_,
                               clientH_, 0);
    if (window_ == nullptr)
        throw std::runtime_error(std::string("cannot create the canvas: ") + SDL_GetError());
    // The game reads keys, not text; with text input off SDL also keeps the browser from
    // acting on the keys itself (F1 help, F3 search, F5 reload, arrows scrolling).
    SDL_StopTextInput();
    webpage::layout(clientW_, clientH_);
    audio_.init(std::string(kDataDir) + "sound/");
}

WebPlatform::~WebPlatform() {
    audio_.shutdown();
    if (window_ != nullptr) SDL_DestroyWindow(window_);
}

uint32_t WebPlatform::timeGetTime() {
    return now_;
}

uint32_t WebPlatform::timeOfDayMs() {
    if (run_.on) return run_.seed;
    const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
    const int64_t ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
    return uint32_t(ms % (int64_t(24) * 60 * 60 * 1000));
}

void WebPlatform::idleUntil(uint32_t ms) {
    // A browser tab must never wait, and the clock stands still between frames: the program
    // entry only runs a frame that is due, so the frame loop never gets here. Should it all the
    // same, the clock is moved on to the target, so that the loop ends instead of hanging the
    // tab.
    if (int32_t(ms - now_) > 0) now_ = ms;
}

void WebPlatform::deliverScriptedKeys() {
    // Keys belong to the frame about to be composed, as in the headless runner.
    while (nextScriptedKey_ < run_.keyCount &&
           run_.keys[nextScriptedKey_].frame <= framesPresented_) {
        const uint8_t key = run_.keys[nextScriptedKey_++].key;
        keys_.tap(key);
        if (events_ != nullptr) events_->onKeyDown(key);
    }
}

void WebPlatform::pumpMessages() {
    deliverScriptedKeys();
    if (pictureArrived_) {
        // The picker answered: the player's F2 is carried out now, with the dialog answering
        // at once. Only the title takes it; elsewhere the choice is dropped, as a dialog
        // could not have been open there.
        pictureArrived_ = false;
        answeringDialog_ = true;
        if (events_ != nullptr) events_->onKeyDown(vk::F2);
        answeringDialog_ = false;
        pickedPicture_.clear();
    }
    SDL_Event event;
    while (SDL_PollEvent(&event)) handleEvent(event);
}

void WebPlatform::handleEvent(const SDL_Event& event) {
    switch (event.type) {
    case SDL_KEYDOWN: {
        const uint8_t key = sdlkeys::virtualKey(event.key.keysym.sym, event.key.keysym.scancode);
        if (key == 0) break;
        keys_.press(key);
        if (events_ != nullptr) events_->onKeyDown(key);
        break;
    }
    case SDL_KEYUP:
        keys_.release(sdlkeys::virtualKey(event.key.keysym.sym, event.key.keysym.scancode));
        break;
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) keys_.releaseAll();
        break;
    default:
        break;
    }
}

bool WebPlatform::getAsyncKeyState(uint8_t key) {
    return keys_.query(key);
}

void WebPlatform::setClientSize(int32_t width, int32_t height) {
    clientW_ = width;
    clientH_ = height;
    SDL_SetWindowSize(window_, width, height);
    webpage::layout(width, height);
}

void WebPlatform::clientSize(int32_t& width, int32_t& height) const {
    width = clientW_;
    height = clientH_;
}

void WebPlatform::preparePresenting() {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target == nullptr) return;
    SDL_FillRect(target, nullptr, 0);
    SDL_UpdateWindowSurface(window_);
}

void WebPlatform::present(const Surface& frame) {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target != nullptr && frame.width() > 0 && frame.height() > 0) {
        if (SDL_MUSTLOCK(target)) SDL_LockSurface(target);
        const int32_t w = std::min<int32_t>(frame.width(), target->w);
        const int32_t h = std::min<int32_t>(frame.height(), target->h);
        if (w < target->w || h < target->h) SDL_FillRect(target, nullptr, 0);
        SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_BGR24, frame.row(0), frame.width() * 3,
                          target->format->format, target->pixels, target->pitch);
        if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
        SDL_UpdateWindowSurface(window_);
    }
    ++framesPresented_;
    webpage::framePresented();
}

void WebPlatform::messageBox(const std::string& text, const std::string& caption) {
    std::fprintf(stderr, "vortalix: %s: %s\n", caption.c_str(), text.c_str());
    webpage::showMessage(caption, text);
    keys_.releaseAll();
}

bool WebPlatform::openFileDialog(const std::string&, const std::string&, const std::string&,
                                 std::string& path) {
    if (answeringDialog_ && !pickedPicture_.empty()) {
        path = pickedPicture_;
        pickedPicture_.clear();
        return true;
    }
    // The browser's picker cannot hold up the game: it opens, and the game goes on as after a
    // cancelled dialog. The answer comes back through pictureChosen.
    webpage::pickPicture(kPictureDir);
    return false;
}

void WebPlatform::pictureChosen(const std::string& path) {
    pickedPicture_ = path;
    pictureArrived_ = !path.empty();
}

bool WebPlatform::isWritableDirectory(const std::string& path) {
    // The packed data may be written in memory, but nothing written there would outlive the
    // tab; the game must keep the player's files in the stored folder instead.
    if (path.compare(0, std::char_traits<char>::length(kDataDir), kDataDir) == 0) return false;
    return Platform::isWritableDirectory(path);
}

bool WebPlatform::removeFile(const std::string& path) {
    if (!Platform::removeFile(path)) return false;
    webpage::persist();
    return true;
}

bool WebPlatform::writeFileAtomic(const std::string& path, const void* data, size_t size,
                                  std::string& error) {
    if (!Platform::writeFileAtomic(path, data, size, error)) return false;
    webpage::persist();
    // The screenshot stays in the stored folder too, and goes to the player's downloads.
    if (isScreenshotName(path)) {
        const size_t slash = path.rfind('/');
        webpage::offerDownload(path.substr(slash + 1), static_cast<const uint8_t*>(data), size);
    }
    return true;
}
