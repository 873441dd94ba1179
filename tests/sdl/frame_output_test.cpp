// The window surface path on SDL's dummy video driver: every frame pixel an exact block,
// centred, black around it; the black is drawn once, and again after the window is resized or
// uncovered.

#include "platform/sdl/SdlFrameOutput.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdint>

namespace {

constexpr uint32_t kMarker = 0x00abcdefu;

class FrameOutput : public ::testing::Test {
  protected:
    void SetUp() override {
        SDL_setenv("SDL_VIDEODRIVER", "dummy", 1);
        ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window_ = SDL_CreateWindow("t", 0, 0, 720, 819, 0);
        ASSERT_NE(window_, nullptr) << SDL_GetError();
        frame_.create(240, 273);
        for (int32_t y = 0; y < 273; ++y)
            for (int32_t x = 0; x < 240 * 3; ++x) frame_.row(y)[x] = uint8_t(x * 5 + y * 3);
    }
    void TearDown() override {
        if (window_ != nullptr) SDL_DestroyWindow(window_);
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }
    uint32_t pixel(int32_t x, int32_t y) {
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        const auto* row = static_cast<const uint8_t*>(s->pixels) + ptrdiff_t(y) * s->pitch;
        return reinterpret_cast<const uint32_t*>(row)[x] & 0x00ffffffu;
    }
    // The frame pixel (fx, fy) as XRGB.
    uint32_t framePixel(int32_t fx, int32_t fy) {
        const uint8_t* p = frame_.row(fy) + fx * 3;
        return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
    }
    // Checks the whole window: the frame x n at (left, top), `around` everywhere else.
    void expectPicture(int32_t n, int32_t left, int32_t top, uint32_t around) {
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        for (int32_t y = 0; y < s->h; ++y)
            for (int32_t x = 0; x < s->w; ++x) {
                const bool inside =
                    x >= left && x < left + 240 * n && y >= top && y < top + 273 * n;
                const uint32_t want = inside ? framePixel((x - left) / n, (y - top) / n) : around;
                ASSERT_EQ(pixel(x, y), want) << "at " << x << "," << y;
            }
    }
    void paintAround(uint32_t colour) {
        SDL_Surface* s = SDL_GetWindowSurface(window_);
        SDL_FillRect(s, nullptr, colour);
    }

    SDL_Window* window_ = nullptr;
    Surface frame_;
};

TEST_F(FrameOutput, BlackDrawnOnceThenAgainAfterAnExposeOrAResize) {
    SdlFrameOutput output(window_);
    output.draw(frame_);
    output.show();
    expectPicture(3, 0, 0, 0);

    // The window is exactly three frames wide: nothing around. In a window a pixel larger in
    // each direction the frame sits at 0,0 (no room to centre) with a black edge.
    SDL_SetWindowSize(window_, 721, 820);
    paintAround(kMarker);
    output.draw(frame_);
    expectPicture(3, 0, 0, 0);

    // Later frames write only their own rectangle...
    paintAround(kMarker);
    output.draw(frame_);
    output.show();
    EXPECT_EQ(pixel(720, 819), kMarker);
    // ...until the window is uncovered.
    output.invalidate();
    output.draw(frame_);
    expectPicture(3, 0, 0, 0);

    // Fullscreen on 1280x1024: a new surface, the frame centred at 3x on black.
    SDL_SetWindowSize(window_, 1280, 1024);
    paintAround(kMarker);
    output.draw(frame_);
    output.show();
    expectPicture(3, 280, 102, 0);
}

TEST_F(FrameOutput, WithoutAGpuTheRendererIsRefusedAndTheSurfaceStays) {
    SdlFrameOutput output(window_);
    std::string error;
    // The dummy driver has no accelerated renderer.
    EXPECT_FALSE(output.useRenderer(error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(output.usesRenderer());
    output.draw(frame_);
    output.show();
    expectPicture(3, 0, 0, 0);
}

} // namespace
