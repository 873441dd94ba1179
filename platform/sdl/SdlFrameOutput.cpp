#include "platform/sdl/SdlFrameOutput.h"

#include "platform/DisplayScale.h"
#include "platform/sdl/PixelConvert.h"

#include <algorithm>
#include <cstdio>

namespace {

// The texture holds the largest frame the game composes (the zoomed one); smaller frames use
// its top-left corner, so switching sizes never makes a new one.
constexpr int32_t kTextureW = 480, kTextureH = 546;

using GetString = const unsigned char* (*)(unsigned int);
constexpr unsigned int kGlRenderer = 0x1F01;

} // namespace

SdlFrameOutput::~SdlFrameOutput() {
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
}

bool SdlFrameOutput::useRenderer(std::string& error) {
    // No vsync: the game keeps its own 16 ms frames, which a 60 Hz swap would stretch. Said
    // outright, since a driver may default to it (the player's SDL_RENDER_VSYNC still wins).
    SDL_SetHint(SDL_HINT_RENDER_VSYNC, "0");
    renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_ACCELERATED);
    if (renderer_ != nullptr) {
        texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                     kTextureW, kTextureH);
        if (texture_ != nullptr) {
            textureW_ = kTextureW;
            textureH_ = kTextureH;
            SDL_SetTextureBlendMode(texture_, SDL_BLENDMODE_NONE);
            if (SDL_SetTextureScaleMode(texture_, SDL_ScaleModeNearest) == 0) return true;
        }
    }
    error = SDL_GetError();
    if (texture_ != nullptr) SDL_DestroyTexture(texture_);
    if (renderer_ != nullptr) SDL_DestroyRenderer(renderer_);
    texture_ = nullptr;
    renderer_ = nullptr;
    return false;
}

std::string SdlFrameOutput::rendererDescription() const {
    if (renderer_ == nullptr) return "the window surface";
    SDL_RendererInfo info{};
    SDL_GetRendererInfo(renderer_, &info);
    std::string text = std::string("SDL's ") + info.name + " renderer";
    const auto glGetString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    if (text.find("opengl") != std::string::npos && glGetString != nullptr) {
        const unsigned char* what = glGetString(kGlRenderer);
        if (what != nullptr) text += std::string(" on ") + reinterpret_cast<const char*>(what);
    }
    return text;
}

void SdlFrameOutput::draw(const Surface& frame) {
    if (renderer_ != nullptr) {
        drawToTexture(frame);
    } else {
        drawToSurface(frame);
    }
}

void SdlFrameOutput::drawToTexture(const Surface& frame) {
    const int32_t w = std::min(frame.width(), textureW_);
    const int32_t h = std::min(frame.height(), textureH_);
    SDL_Rect area{0, 0, w, h};
    void* pixels = nullptr;
    int pitch = 0;
    if (w <= 0 || h <= 0 || SDL_LockTexture(texture_, &area, &pixels, &pitch) != 0) return;
    // SDL_PIXELFORMAT_RGB888 is XRGB8888.
    PixelLayout layout;
    convertBgrFrame(frame.row(0), ptrdiff_t(frame.width()) * 3, static_cast<uint8_t*>(pixels),
                    pitch, w, h, layout, fastestConvertPath(layout));
    SDL_UnlockTexture(texture_);
    frameW_ = w;
    frameH_ = h;
}

void SdlFrameOutput::drawToSurface(const Surface& frame) {
    SDL_Surface* target = SDL_GetWindowSurface(window_);
    if (target == nullptr) {
        std::fprintf(stderr, "vortalix: no window surface: %s\n", SDL_GetError());
        return;
    }
    if (SDL_MUSTLOCK(target) && SDL_LockSurface(target) != 0) return;
    const SDL_PixelFormat* f = target->format;
    // Every 32-bit format with 8-bit channels is scaled here; anything else (16-bit, 24-bit,
    // palettes) is drawn unscaled at 0,0 by SDL's own converter.
    const bool scalable = f->BytesPerPixel == 4 && f->Rloss == 0 && f->Gloss == 0 && f->Bloss == 0;
    display::Placement at;
    if (scalable) {
        at = display::place(target->w, target->h, frame.width(), frame.height());
    } else {
        at.width = frame.width();
        at.height = frame.height();
    }
    // A new surface (the window changed size) or a frame somewhere else: everything is drawn.
    const SDL_Rect rect{at.left, at.top, at.width, at.height};
    if (surroundFor_ != target || surroundW_ != target->w || surroundH_ != target->h ||
        !SDL_RectEquals(&rect, &placed_))
        surroundDrawn_ = false;
    const bool surround = !surroundDrawn_;
    if (scalable) {
        // One shift per channel; X servers at depth 24 give XRGB8888.
        PixelLayout layout;
        layout.redShift = f->Rshift;
        layout.greenShift = f->Gshift;
        layout.blueShift = f->Bshift;
        layout.alpha = f->Amask;
        if (at.scale == 1 && at.left == 0 && at.top == 0) {
            // The frame as it is, at 0,0: the window of today.
            const int32_t w = std::min<int32_t>(frame.width(), target->w);
            const int32_t h = std::min<int32_t>(frame.height(), target->h);
            if (surround && (w < target->w || h < target->h)) SDL_FillRect(target, nullptr, 0);
            convertBgrFrame(frame.row(0), ptrdiff_t(frame.width()) * 3,
                            static_cast<uint8_t*>(target->pixels), target->pitch, w, h, layout,
                            fastestConvertPath(layout));
        } else {
            // Larger: converted once, then each frame pixel becomes an exact block, black
            // around the frame.
            const size_t need = size_t(frame.width()) * size_t(frame.height());
            if (converted_.size() < need) converted_.resize(need); // never for the game's frames
            convertBgrFrame(frame.row(0), ptrdiff_t(frame.width()) * 3,
                            reinterpret_cast<uint8_t*>(converted_.data()), frame.width() * 4,
                            frame.width(), frame.height(), layout, fastestConvertPath(layout));
            display::Pixels32 src;
            src.pixels = reinterpret_cast<uint8_t*>(converted_.data());
            src.pitch = frame.width() * 4;
            src.width = frame.width();
            src.height = frame.height();
            display::Pixels32 dst;
            dst.pixels = static_cast<uint8_t*>(target->pixels);
            dst.pitch = target->pitch;
            dst.width = target->w;
            dst.height = target->h;
            display::drawScaled(src, at, dst, layout.alpha, surround);
        }
    } else {
        const int32_t w = std::min<int32_t>(frame.width(), target->w);
        const int32_t h = std::min<int32_t>(frame.height(), target->h);
        if (surround && (w < target->w || h < target->h)) SDL_FillRect(target, nullptr, 0);
        if (w > 0 && h > 0)
            SDL_ConvertPixels(w, h, SDL_PIXELFORMAT_BGR24, frame.row(0), frame.width() * 3,
                              f->format, target->pixels, target->pitch);
    }
    if (SDL_MUSTLOCK(target)) SDL_UnlockSurface(target);
    // Once the black is in the window, later frames send only their own rectangle.
    wholeWindow_ = wholeWindow_ || surround;
    surroundDrawn_ = true;
    surroundFor_ = target;
    surroundW_ = target->w;
    surroundH_ = target->h;
    placed_ = rect;
    // Clipped to the window, as SDL wants the rectangles it sends.
    SDL_Rect whole{0, 0, target->w, target->h};
    if (!SDL_IntersectRect(&rect, &whole, &frameRect_)) frameRect_ = SDL_Rect{0, 0, 0, 0};
}

void SdlFrameOutput::show() {
    if (renderer_ != nullptr) {
        int outW = 0, outH = 0;
        if (SDL_GetRendererOutputSize(renderer_, &outW, &outH) != 0) return;
        // In the window's real pixels, so that a high-DPI screen still gets whole blocks.
        const display::Placement at = display::place(outW, outH, frameW_, frameH_);
        const SDL_Rect from{0, 0, frameW_, frameH_};
        const SDL_Rect to{at.left, at.top, at.width, at.height};
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        if (frameW_ > 0 && frameH_ > 0) SDL_RenderCopy(renderer_, texture_, &from, &to);
        SDL_RenderPresent(renderer_);
        return;
    }
    if (wholeWindow_ || frameRect_.w <= 0 || frameRect_.h <= 0) {
        SDL_UpdateWindowSurface(window_);
        wholeWindow_ = false;
    } else {
        SDL_UpdateWindowSurfaceRects(window_, &frameRect_, 1);
    }
}
