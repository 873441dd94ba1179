#include "platform/sdl/PixelConvert.h"

#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VORTALIX_X86 1
#endif

namespace {

uint32_t pixelOf(const uint8_t* bgr, const PixelLayout& l) {
    return (uint32_t(bgr[2]) << l.redShift) | (uint32_t(bgr[1]) << l.greenShift) |
           (uint32_t(bgr[0]) << l.blueShift) | l.alpha;
}

// Pixels are written with memcpy: a surface row need not be aligned for uint32_t.
void plainRow(const uint8_t* src, uint8_t* dst, int32_t from, int32_t w, const PixelLayout& l) {
    for (int32_t x = from; x < w; ++x) {
        const uint32_t p = pixelOf(src + 3 * x, l);
        std::memcpy(dst + 4 * size_t(x), &p, 4);
    }
}

bool channelsOnWholeBytes(const PixelLayout& l) {
    const uint32_t shifts[] = {l.redShift, l.greenShift, l.blueShift};
    for (uint32_t s : shifts)
        if (s % 8 != 0 || s > 24) return false;
    return l.redShift != l.greenShift && l.greenShift != l.blueShift && l.redShift != l.blueShift;
}

#ifdef VORTALIX_X86

// The shuffle that makes four 32-bit pixels (little-endian) out of the first 12 bytes of a
// 16-byte load: every output byte takes the source byte of its channel, or zero.
void shuffleMask(const PixelLayout& l, uint8_t mask[16]) {
    for (int32_t i = 0; i < 4; ++i) {
        for (uint32_t byte = 0; byte < 4; ++byte) {
            uint8_t from = 0x80; // zero
            if (l.blueShift == 8 * byte) from = uint8_t(3 * i);
            if (l.greenShift == 8 * byte) from = uint8_t(3 * i + 1);
            if (l.redShift == 8 * byte) from = uint8_t(3 * i + 2);
            mask[4 * i + byte] = from;
        }
    }
}

// Four pixels per step, from 16-byte loads; the last few pixels of a row go the plain way so
// that no load reaches past the row's end.
__attribute__((target("ssse3"))) void ssse3Frame(const uint8_t* src, ptrdiff_t srcPitch,
                                                 uint8_t* dst, ptrdiff_t dstPitch, int32_t w,
                                                 int32_t h, const PixelLayout& l) {
    uint8_t bytes[16];
    shuffleMask(l, bytes);
    const __m128i mask = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes));
    const __m128i alpha = _mm_set1_epi32(int32_t(l.alpha));
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* s = src + y * srcPitch;
        uint8_t* d = dst + y * dstPitch;
        int32_t x = 0;
        for (; 3 * x + 16 <= 3 * w; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x),
                             _mm_or_si128(_mm_shuffle_epi8(v, mask), alpha));
        }
        plainRow(s, d, x, w, l);
    }
}

// Eight pixels per step: two 16-byte loads 12 bytes apart, one in each half of the register,
// shuffled the same way (AVX2 shuffles within each half).
__attribute__((target("avx2"))) void avx2Frame(const uint8_t* src, ptrdiff_t srcPitch, uint8_t* dst,
                                               ptrdiff_t dstPitch, int32_t w, int32_t h,
                                               const PixelLayout& l) {
    uint8_t bytes[16];
    shuffleMask(l, bytes);
    const __m256i mask =
        _mm256_broadcastsi128_si256(_mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes)));
    const __m256i alpha = _mm256_set1_epi32(int32_t(l.alpha));
    const __m128i mask4 = _mm256_castsi256_si128(mask);
    const __m128i alpha4 = _mm256_castsi256_si128(alpha);
    for (int32_t y = 0; y < h; ++y) {
        const uint8_t* s = src + y * srcPitch;
        uint8_t* d = dst + y * dstPitch;
        int32_t x = 0;
        for (; 3 * x + 28 <= 3 * w; x += 8) {
            const __m128i lo = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x));
            const __m128i hi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x + 12));
            const __m256i v = _mm256_inserti128_si256(_mm256_castsi128_si256(lo), hi, 1);
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(d + 4 * x),
                                _mm256_or_si256(_mm256_shuffle_epi8(v, mask), alpha));
        }
        for (; 3 * x + 16 <= 3 * w; x += 4) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(s + 3 * x));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(d + 4 * x),
                             _mm_or_si128(_mm_shuffle_epi8(v, mask4), alpha4));
        }
        plainRow(s, d, x, w, l);
    }
}

#endif

} // namespace

bool convertPathUsable(ConvertPath path, const PixelLayout& layout) {
    switch (path) {
    case ConvertPath::Plain:
        return true;
#ifdef VORTALIX_X86
    case ConvertPath::Ssse3:
        return channelsOnWholeBytes(layout) && __builtin_cpu_supports("ssse3");
    case ConvertPath::Avx2:
        return channelsOnWholeBytes(layout) && __builtin_cpu_supports("avx2");
#endif
    default:
        return false;
    }
}

ConvertPath fastestConvertPath(const PixelLayout& layout) {
    if (convertPathUsable(ConvertPath::Avx2, layout)) return ConvertPath::Avx2;
    if (convertPathUsable(ConvertPath::Ssse3, layout)) return ConvertPath::Ssse3;
    return ConvertPath::Plain;
}

void convertBgrFrame(const uint8_t* src, ptrdiff_t srcPitch, uint8_t* dst, ptrdiff_t dstPitch,
                     int32_t w, int32_t h, const PixelLayout& layout, ConvertPath path) {
    if (w <= 0 || h <= 0) return;
#ifdef VORTALIX_X86
    if (path == ConvertPath::Avx2) return avx2Frame(src, srcPitch, dst, dstPitch, w, h, layout);
    if (path == ConvertPath::Ssse3) return ssse3Frame(src, srcPitch, dst, dstPitch, w, h, layout);
#endif
    (void)path;
    for (int32_t y = 0; y < h; ++y) plainRow(src + y * srcPitch, dst + y * dstPitch, 0, w, layout);
}
