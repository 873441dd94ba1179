#pragma once
// Drawing helpers shared by the picture makers of the asset generator: a floating-point
// canvas for the soft pictures (explosions, glows, lightning, the background), pixel grids
// written as text for the pixel art, a fixed-seed random generator and value noise, and the
// conversion into the 24-bit surfaces the game loads.
//
// Keyed sheets: the game skips a source pixel with any zero byte, so every pixel meant to be
// seen must have all three bytes >= 1. `toSurface(..., keyed=true)` and `putRgb(...)` take care
// of that; the background of every sheet is 0,0,0.

#include "render/Surface.h"

#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace art {

struct Rgb {
    float r = 0, g = 0, b = 0; // 0..255, may exceed while accumulating
};

inline Rgb operator*(Rgb c, float k) {
    return {c.r * k, c.g * k, c.b * k};
}
inline Rgb operator+(Rgb a, Rgb b) {
    return {a.r + b.r, a.g + b.g, a.b + b.b};
}
Rgb lerp(Rgb a, Rgb b, float t);
// Hue 0..360, saturation and value 0..1, to 0..255.
Rgb hsv(float h, float s, float v);
// A colour ramp through evenly spaced stops, t in 0..1 (clamped).
Rgb ramp(std::initializer_list<Rgb> stops, float t);
Rgb ramp(const std::vector<Rgb>& stops, float t);
float clamp01(float v);
float smoothstep(float e0, float e1, float x);

// Fixed-seed generator (xorshift32): the same seed always gives the same pictures.
class Rng {
  public:
    explicit Rng(uint32_t seed) : s_(seed ? seed : 0x9e3779b9u) {}
    uint32_t next();
    float uni();                   // 0 .. 1 (exclusive)
    float range(float a, float b); // a .. b
    int below(int n);              // 0 .. n-1
  private:
    uint32_t s_;
};

// Smooth value noise in 0..1; with period > 0 it repeats every `period` units in x and y.
float valueNoise(float x, float y, uint32_t seed, int period = 0);
// Sum of `octaves` noise layers, each twice the frequency and half the weight; 0..1.
float fbm(float x, float y, uint32_t seed, int octaves, int period = 0);

// A picture under construction in floating point, black at first.
class Canvas {
  public:
    Canvas(int width, int height);
    int width() const { return w_; }
    int height() const { return h_; }
    bool inside(int x, int y) const { return x >= 0 && y >= 0 && x < w_ && y < h_; }
    Rgb& at(int x, int y) { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    const Rgb& at(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    void set(int x, int y, Rgb c);
    void add(int x, int y, Rgb c);
    // Additive light: a fractional-position dot spread over its four neighbour pixels.
    void addDot(float x, float y, Rgb c);
    // A soft round light: c * exp(-(d/radius)^2), cut off at 3 radii.
    void addGlow(float cx, float cy, float radius, Rgb c);
    // An additive line of light from (x0,y0) to (x1,y1) with a soft halo of `halo` pixels.
    void addLine(float x0, float y0, float x1, float y1, Rgb core, Rgb glow, float halo);
    void scale(float k);

  private:
    int w_, h_;
    std::vector<Rgb> px_;
};

// 0..255 colour into the byte triple of a surface pixel (blue, green, red), rounded and
// saturated. keyed: a pixel darker than `cutoff` (its brightest channel) becomes 0,0,0, any
// other gets every byte at least 1.
void toSurface(const Canvas& c, Surface& dst, int dx, int dy, bool keyed, float cutoff = 6.0f);
// Sets one pixel of a keyed sheet (every byte forced to at least 1).
void putRgb(Surface& s, int x, int y, Rgb c);
void putRgbRaw(Surface& s, int x, int y, Rgb c); // any bytes, 0 allowed
Rgb getRgb(const Surface& s, int x, int y);

// A palette for pixel grids: each character maps to a colour; '.' and ' ' are transparent.
using Palette = std::vector<std::pair<char, Rgb>>;
// Draws rows of characters at (x, y), one pixel per character, keyed colours.
void drawGrid(Surface& s, int x, int y, const std::vector<std::string>& rows, const Palette& pal);

// Writes <outDir>/image/<name> as a 24-bit BMP.
bool saveBmp(const std::string& outDir, const std::string& name, const Surface& s);
// Writes <outDir>/image/<name> as a JPEG through libjpeg-turbo.
bool saveJpeg(const std::string& outDir, const std::string& name, const Surface& s, int quality);

} // namespace art
