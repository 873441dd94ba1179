#pragma once
// How a finished frame reaches the window: either the window surface, filled by the game's own
// conversion and row-pointer scaling, or SDL's accelerated renderer, which takes the frame as
// a streaming texture and draws it at a whole factor with nearest sampling. Either way every
// frame pixel is an exact N x N block, centred, with black around it.

#include "render/Surface.h"

#include <SDL.h>

#include <cstdint>
#include <string>
#include <vector>

class SdlFrameOutput {
  public:
    explicit SdlFrameOutput(SDL_Window* window) : window_(window) {}
    ~SdlFrameOutput();
    SdlFrameOutput(const SdlFrameOutput&) = delete;
    SdlFrameOutput& operator=(const SdlFrameOutput&) = delete;

    // Moves to the accelerated renderer. False, with the reason, when SDL cannot make it; the
    // window surface is then used as before.
    bool useRenderer(std::string& error);
    bool usesRenderer() const { return renderer_ != nullptr; }
    // SDL's name for the renderer and what draws it, for a line on stderr.
    std::string rendererDescription() const;

    // Puts the frame where the next show() shows it.
    void draw(const Surface& frame);
    // Hands the latest frame to the window system; again after an expose, it repaints.
    void show();
    // The window was uncovered or changed size: the next show() sends the whole window, and
    // the black around the frame is drawn again.
    void invalidate() {
        surroundDrawn_ = false;
        wholeWindow_ = true;
    }

  private:
    void drawToSurface(const Surface& frame);
    void drawToTexture(const Surface& frame);

    SDL_Window* window_;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int32_t textureW_ = 0, textureH_ = 0;
    int32_t frameW_ = 0, frameH_ = 0; // of the latest frame drawn

    // The window surface path: the frame in the window's pixel format before it is scaled
    // (room for the zoomed frame is taken at start), and what of the black around the frame
    // is already in the window.
    std::vector<uint32_t> converted_ = std::vector<uint32_t>(size_t(480) * 546);
    bool surroundDrawn_ = false;
    const SDL_Surface* surroundFor_ = nullptr;
    int32_t surroundW_ = 0, surroundH_ = 0;
    SDL_Rect placed_{0, 0, 0, 0};    // where the frame was drawn, maybe beyond the window
    SDL_Rect frameRect_{0, 0, 0, 0}; // the part of the window the frame covers
    bool wholeWindow_ = true;        // the next show() sends every pixel, not only the frame's
};
