#pragma once
// How a frame fills a window of any size: the largest whole factor that fits, the frame
// centred with black around it, and the copy that turns each frame pixel into an exact N x N
// block of the window's 32-bit pixels (nearest neighbour, nothing blended). No window system
// here, so the rules can be checked without a display.

#include <cstdint>

namespace display {

constexpr int32_t kMaxScale = 8; // the largest factor a player can ask for

// Where the scaled frame lies inside the area it is drawn into.
struct Placement {
    int32_t scale = 1;
    int32_t left = 0, top = 0;     // of the scaled frame, in the area's pixels
    int32_t width = 0, height = 0; // of the scaled frame (may exceed a too small area)
};

// The largest factor 1..kMaxScale at which a frame of frameW x frameH fits the area; 1 when
// even that does not fit.
int32_t fitScale(int32_t areaW, int32_t areaH, int32_t frameW, int32_t frameH);

// The frame at the largest factor that fits the area, centred (a too small area shows its
// top-left part).
Placement place(int32_t areaW, int32_t areaH, int32_t frameW, int32_t frameH);

// The window's factor for a [Display] Scale value: 1..kMaxScale as it is, 0 the largest one
// that fits the usable screen area.
int32_t windowScale(int32_t setting, int32_t usableW, int32_t usableH, int32_t frameW,
                    int32_t frameH);

// The window size in points that holds at least `pixels` of the screen's real pixels, where
// `points` points measure `realPixels` pixels (a high-DPI screen has more pixels than points;
// SDL sizes windows in points). Rounded up: a fractional ratio leaves a thin black edge rather
// than cutting the frame.
int32_t pointsFor(int32_t pixels, int32_t points, int32_t realPixels);

// The window size in points for `size` points of frame (the frame times its factor) on a
// screen where `points` points measure `realPixels` pixels. Each whole pixel per point makes
// the blocks that much larger, so a 2x screen shows the window at the size it has on any
// other screen, in 2x2 blocks; what is left of a fractional ratio shrinks the window instead,
// so that the blocks stay whole (1.5 pixels per point: 1x1 blocks, two thirds of the points).
int32_t highDpiPoints(int32_t size, int32_t points, int32_t realPixels);

// A 32-bit picture described by row pointers: `pixels` is the top row, rows `pitch` bytes
// apart.
struct Pixels32 {
    uint8_t* pixels = nullptr;
    int32_t pitch = 0, width = 0, height = 0;
};

// Draws a frame already in the target's pixel format into the target at the placement,
// clipped to the target; everything the frame does not cover is `black`, unless `surround` is
// false: then only the frame's own rectangle is written (the black is already there from an
// earlier frame). Each frame row is widened once into the first row of its block, the other
// N - 1 rows are byte copies of it.
void drawScaled(const Pixels32& frame, const Placement& at, const Pixels32& target, uint32_t black,
                bool surround = true);

} // namespace display
