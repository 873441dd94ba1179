#pragma once
// Turns the game's 24-bit frames (bytes blue, green, red) into the 32-bit pixels of a window
// surface with 8-bit channels (XRGB8888 under an X server at depth 24). It runs once per
// frame on up to 480 x 546 pixels, so beside the plain loop there are byte-shuffle versions
// for processors that have them. Every path gives the same bytes.

#include <cstddef>
#include <cstdint>

struct PixelLayout {
    uint32_t redShift = 16, greenShift = 8, blueShift = 0; // bit position of each 8-bit channel
    uint32_t alpha = 0; // bits set in every pixel: an opaque alpha channel, if there is one
};

enum class ConvertPath : uint8_t { Plain, Ssse3, Avx2 };

// Whether this processor runs the path and it can produce the layout (the shuffles need every
// channel on a whole byte).
bool convertPathUsable(ConvertPath path, const PixelLayout& layout);
// The quickest usable path.
ConvertPath fastestConvertPath(const PixelLayout& layout);

// Converts w x h pixels; rows lie `pitch` bytes apart. The path must be usable.
void convertBgrFrame(const uint8_t* src, ptrdiff_t srcPitch, uint8_t* dst, ptrdiff_t dstPitch,
                     int32_t w, int32_t h, const PixelLayout& layout, ConvertPath path);
