#pragma once
// 24-bit pixel surfaces and the primitive blits every screen is built from.
// Pixels are three bytes blue, green, red; row 0 is the top row. Every primitive fetches a
// row pointer once per row and walks along it, never stepping from one row into the next.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rect {
    int32_t left = 0, top = 0, right = 0, bottom = 0; // right and bottom exclusive
};

inline Rect rectWH(int32_t left, int32_t top, int32_t width, int32_t height) {
    return Rect{left, top, left + width, top + height};
}

class Surface {
  public:
    Surface() = default;
    Surface(int32_t width, int32_t height) { create(width, height); }

    // Black surface of the given size; the only allocation a surface ever makes.
    void create(int32_t width, int32_t height) {
        w_ = width > 0 ? width : 0;
        h_ = height > 0 ? height : 0;
        px_.assign(size_t(w_) * size_t(h_) * 3, 0);
    }
    void release() {
        w_ = h_ = 0;
        px_.clear();
        px_.shrink_to_fit();
    }
    int32_t width() const { return w_; }
    int32_t height() const { return h_; }
    bool empty() const { return w_ == 0 || h_ == 0; }
    uint8_t* row(int32_t y) { return px_.data() + size_t(y) * size_t(w_) * 3; }
    const uint8_t* row(int32_t y) const { return px_.data() + size_t(y) * size_t(w_) * 3; }
    void fillBlack() { std::fill(px_.begin(), px_.end(), uint8_t(0)); }
    const std::vector<uint8_t>& bytes() const { return px_; }

  private:
    int32_t w_ = 0, h_ = 0;
    std::vector<uint8_t> px_;
};

// mode 0 opaque, 1 keyed (a source pixel with any zero byte is skipped), other: nothing.
void imgputfast(Surface& dst, int32_t x, int32_t y, const Surface& src, Rect srcrect, uint8_t mode);
// key 0 every pixel, 1 keyed; op 0 saturating add, 1 quarter mix; other key or op: nothing.
void imgblend(Surface& dst, int32_t x, int32_t y, const Surface& src, Rect srcrect, uint8_t key,
              uint8_t op);
// A bar of trunc(width * min(value, maxval) / maxval) + 1 columns, clipped to dst.
void stbar(Surface& dst, int32_t x, int32_t y, int32_t width, int32_t rows, int32_t maxval,
           int32_t value, uint8_t red, uint8_t green, uint8_t blue, uint8_t additive);
// dst := src doubled (nearest pixel); dst's bottom row keeps what it held.
void imgstretch(Surface& dst, const Surface& src);
// The backdrop: picture stretched to 240 x 240 without smoothing, every byte divided by 4.
Surface gensyoku(const Surface& picture);
