#include "platform/DisplayScale.h"

#include "platform/Platform.h"

#include <algorithm>
#include <cstring>

namespace display {

int32_t fitScale(int32_t areaW, int32_t areaH, int32_t frameW, int32_t frameH) {
    if (frameW <= 0 || frameH <= 0) return 1;
    const int32_t byW = areaW / frameW, byH = areaH / frameH;
    return std::clamp(std::min(byW, byH), int32_t(1), kMaxScale);
}

Placement place(int32_t areaW, int32_t areaH, int32_t frameW, int32_t frameH) {
    Placement p;
    p.scale = fitScale(areaW, areaH, frameW, frameH);
    p.width = frameW * p.scale;
    p.height = frameH * p.scale;
    // A frame larger than the area is not centred: its top-left corner, with the game's
    // numbers and the field's origin, stays in view.
    p.left = std::max(int32_t(0), (areaW - p.width) / 2);
    p.top = std::max(int32_t(0), (areaH - p.height) / 2);
    return p;
}

int32_t windowScale(int32_t setting, int32_t usableW, int32_t usableH, int32_t frameW,
                    int32_t frameH) {
    if (setting >= 1 && setting <= kMaxScale) return setting;
    return fitScale(usableW, usableH, frameW, frameH);
}

namespace {

void fillRows(const Pixels32& t, int32_t fromRow, int32_t toRow, uint32_t black) {
    for (int32_t y = fromRow; y < toRow; ++y) {
        uint32_t* dst = reinterpret_cast<uint32_t*>(t.pixels + ptrdiff_t(y) * t.pitch);
        std::fill(dst, dst + t.width, black);
    }
}

// One frame row widened n times into a target row between left and right.
void widenRow(const uint32_t* src, uint32_t* dst, int32_t n, int32_t count) {
    switch (n) {
    case 1:
        std::copy(src, src + count, dst);
        return;
    case 2: // the common factors get loops the compiler can unroll
        for (int32_t x = 0; x < count; ++x) dst[2 * x] = dst[2 * x + 1] = src[x];
        return;
    case 3:
        for (int32_t x = 0; x < count; ++x) dst[3 * x] = dst[3 * x + 1] = dst[3 * x + 2] = src[x];
        return;
    default:
        for (int32_t x = 0; x < count; ++x) std::fill(dst + x * n, dst + x * n + n, src[x]);
        return;
    }
}

} // namespace

int32_t pointsFor(int32_t pixels, int32_t points, int32_t realPixels) {
    if (points <= 0 || realPixels <= points) return pixels;
    return int32_t((int64_t(pixels) * points + realPixels - 1) / realPixels);
}

int32_t highDpiPoints(int32_t size, int32_t points, int32_t realPixels) {
    if (points <= 0 || realPixels <= points) return size;
    const int32_t whole = realPixels / points;
    return pointsFor(int32_t(std::min<int64_t>(int64_t(size) * whole, INT32_MAX)), points,
                     realPixels);
}

void drawScaled(const Pixels32& frame, const Placement& at, const Pixels32& t, uint32_t black,
                bool surround) {
    if (t.pixels == nullptr || t.width <= 0 || t.height <= 0) return;
    const int32_t n = std::max(int32_t(1), at.scale);
    const int32_t top = std::min(at.top, t.height);
    const int32_t bottom = std::min(at.top + frame.height * n, t.height);
    const int32_t left = std::min(at.left, t.width);
    const int32_t right = std::min(at.left + frame.width * n, t.width);
    if (surround) {
        fillRows(t, 0, top, black);
        fillRows(t, std::max(top, bottom), t.height, black);
    }
    if (right <= left) {
        if (surround) fillRows(t, top, bottom, black);
        return;
    }
    // Whole frame pixels that fit, then the part of one that is cut off at the right edge.
    const int32_t whole = (right - left) / n, rest = (right - left) % n;
    for (int32_t y = top; y < bottom; y += n) {
        const uint32_t* src = reinterpret_cast<const uint32_t*>(
            frame.pixels + ptrdiff_t((y - at.top) / n) * frame.pitch);
        uint32_t* first = reinterpret_cast<uint32_t*>(t.pixels + ptrdiff_t(y) * t.pitch);
        if (surround) std::fill(first, first + left, black);
        widenRow(src, first + left, n, whole);
        if (rest > 0) std::fill(first + left + whole * n, first + right, src[whole]);
        if (surround) std::fill(first + right, first + t.width, black);
        // The other rows of the block are the same bytes.
        const int32_t from = surround ? 0 : left, to = surround ? t.width : right;
        const int32_t blockEnd = std::min(y + n, bottom);
        for (int32_t copy = y + 1; copy < blockEnd; ++copy)
            std::memcpy(t.pixels + ptrdiff_t(copy) * t.pitch + ptrdiff_t(from) * 4, first + from,
                        size_t(to - from) * 4);
    }
}

} // namespace display

// Without a screen to measure, a fitting factor is the frame's own size.
void Platform::setDisplay(int32_t scale, int32_t frameW, int32_t frameH, bool) {
    const int32_t n = std::clamp(scale, int32_t(1), display::kMaxScale);
    setClientSize(frameW * n, frameH * n);
}
