// The program's icon for desktop menus: the crown item of the bonus sheet, enlarged by whole
// numbers so that it stays crisp pixel art at every size a desktop asks for.

#include "tools/assetgen/assetgen.h"
#include "tools/assetgen/image_sheets.h"

#include <png.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

// Where the crown (bonus kind 10) lies on the sheet: 16 x 16 cells, four to a row.
constexpr int kCell = 16;
constexpr int kCrownX = 16 * (10 % 4), kCrownY = 16 * (10 / 4);
constexpr int kSizes[] = {16, 32, 48, 64, 128, 256};

// RGBA rows of the crown enlarged `scale` times; a pixel with any zero byte is see-through in
// the game's sheets, and so it is in the icon.
std::vector<uint8_t> crownRgba(const Surface& sheet, int scale) {
    const int side = kCell * scale;
    std::vector<uint8_t> rgba(size_t(side) * size_t(side) * 4);
    for (int y = 0; y < side; ++y) {
        const uint8_t* row = sheet.row(kCrownY + y / scale);
        uint8_t* out = rgba.data() + size_t(y) * size_t(side) * 4;
        for (int x = 0; x < side; ++x, out += 4) {
            const uint8_t* bgr = row + (kCrownX + x / scale) * 3;
            const bool seen = bgr[0] != 0 && bgr[1] != 0 && bgr[2] != 0;
            out[0] = seen ? bgr[2] : 0;
            out[1] = seen ? bgr[1] : 0;
            out[2] = seen ? bgr[0] : 0;
            out[3] = seen ? 255 : 0;
        }
    }
    return rgba;
}

bool writePng(const std::string& path, const std::vector<uint8_t>& rgba, int side) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = png_uint_32(side);
    image.height = png_uint_32(side);
    image.format = PNG_FORMAT_RGBA;
    if (!png_image_write_to_file(&image, path.c_str(), 0, rgba.data(), 0, nullptr)) {
        std::fprintf(stderr, "assetgen: cannot write %s: %s\n", path.c_str(), image.message);
        return false;
    }
    return true;
}

} // namespace

bool writeIcons(const std::string& outDir) {
    const Surface sheet = art::makeBonusSheet();
    bool ok = true;
    for (const int side : kSizes) {
        const std::string size = std::to_string(side) + "x" + std::to_string(side);
        ok = writePng(outDir + "/icons/hicolor/" + size + "/apps/vortalix.png",
                      crownRgba(sheet, side / kCell), side) &&
             ok;
    }
    return ok;
}
