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

void fillBlackRows(const Target& t, int32_t fromRow, int32_t toRow) {
    for (int32_t y = fromRow; y < toRow; ++y) {
        uint32_t* dst = reinterpret_cast<uint32_t*>(t.pixels + ptrdiff_t(y) * t.pitch);
        std::fill(dst, dst + t.width, t.alpha);
    }
}

} // namespace

void drawScaled(const Surface& frame, const Placement& at, const Target& t) {
    if (t.pixels == nullptr || t.width <= 0 || t.height <= 0) return;
    const int32_t n = std::max(int32_t(1), at.scale);
    const int32_t top = std::min(at.top, t.height);
    const int32_t bottom = std::min(at.top + frame.height() * n, t.height);
    const int32_t left = std::min(at.left, t.width);
    const int32_t right = std::min(at.left + frame.width() * n, t.width);
    fillBlackRows(t, 0, top);
    fillBlackRows(t, std::max(top, bottom), t.height);
    if (right <= left) {
        fillBlackRows(t, top, bottom);
        return;
    }
    for (int32_t y = top; y < bottom; y += n) {
        const uint8_t* src = frame.row((y - at.top) / n);
        uint32_t* first = reinterpret_cast<uint32_t*>(t.pixels + ptrdiff_t(y) * t.pitch);
        std::fill(first, first + left, t.alpha);
        std::fill(first + right, first + t.width, t.alpha);
        uint32_t* dst = first + left;
        int32_t column = left;
        for (; column < right; src += 3) {
            const uint32_t pixel = (uint32_t(src[2]) << t.rshift) | (uint32_t(src[1]) << t.gshift) |
                                   (uint32_t(src[0]) << t.bshift) | t.alpha;
            const int32_t run = std::min(n, right - column);
            std::fill(dst, dst + run, pixel);
            dst += run;
            column += run;
        }
        // The other rows of the block are the same bytes.
        const int32_t blockEnd = std::min(y + n, bottom);
        for (int32_t copy = y + 1; copy < blockEnd; ++copy) {
            uint8_t* row = t.pixels + ptrdiff_t(copy) * t.pitch;
            std::memcpy(row, first, size_t(t.width) * 4);
        }
    }
}

} // namespace display

// Without a screen to measure, a fitting factor is the frame's own size.
void Platform::setDisplay(int32_t scale, int32_t frameW, int32_t frameH, bool) {
    const int32_t n = std::clamp(scale, int32_t(1), display::kMaxScale);
    setClientSize(frameW * n, frameH * n);
}
