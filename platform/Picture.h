#pragma once
// Picture files: BMP (any depth a paint program writes) and JPEG, decoded into 24-bit
// surfaces after their headers have been checked, and 24-bit BMP writing.

#include "render/Surface.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

class Platform;

// Largest picture accepted: 16384 pixels a side and 64 Mpixel in all.
constexpr int32_t kMaxPictureSide = 16384;
constexpr int64_t kMaxPicturePixels = 64ll * 1024 * 1024;
// Compressed pictures (JPEG, RLE bitmaps) cannot hold fewer than one byte per this many
// pixels, by far: a smaller file claims a size it does not hold, and decoding it would only
// cost memory and time for a picture that is mostly missing.
constexpr int64_t kMaxPixelsPerFileByte = 4096;

// Decoders from memory. On failure `out` is left as it was and `error` says why. On success
// `error` is empty, or holds a warning when the picture is damaged but still shown (a JPEG cut
// short; a truncated BMP is refused instead).
bool decodeBmp(const uint8_t* data, size_t size, Surface& out, std::string& error);
bool decodeJpeg(const uint8_t* data, size_t size, Surface& out, std::string& error);
// Reads a file (a regular file of at most 256 MiB) and decodes it by its extension
// (".jpg"/".jpeg" in any case JPEG, otherwise BMP). A warning goes to stderr.
bool loadPicture(Platform& platform, const std::string& path, Surface& out, std::string& error);
// Reads and decodes a BMP file whatever its extension (the image sheets).
bool loadBmpFile(Platform& platform, const std::string& path, Surface& out, std::string& error);
// A standard bottom-up 24-bit BMP of the whole surface.
std::vector<uint8_t> encodeBmp24(const Surface& s);
