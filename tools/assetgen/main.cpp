// assetgen <output folder>: writes every data file of the game. The same sources always give
// the same bytes.

#include "tools/assetgen/assetgen.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

bool writeFile(const std::string& path, const void* data, size_t size) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
    std::ofstream f(path, std::ios::binary | std::ios::trunc);
    f.write(static_cast<const char*>(data), std::streamsize(size));
    f.close();
    if (!f) {
        std::fprintf(stderr, "assetgen: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: assetgen <output folder>\n");
        return 2;
    }
    const std::string out = argv[1];
    bool ok = writeImages(out);
    ok = writeSounds(out) && ok;
    ok = writeMusic(out) && ok;
    ok = writeRanking(out) && ok;
    ok = writeDefaultSettings(out) && ok;
    ok = writeIcons(out) && ok;
    return ok ? 0 : 1;
}
