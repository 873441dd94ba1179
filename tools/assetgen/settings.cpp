// A first "VORTALIX.ini": without one the game starts with the backdrop, the sound effects and
// the music all off. Written only when none is there, because the game keeps the player's own
// choices in this file.

#include "tools/assetgen/assetgen.h"

#include <filesystem>
#include <string_view>

bool writeDefaultSettings(const std::string& outDir) {
    constexpr std::string_view text = "[BackGround]\nPath=none\nEnable=1\n"
                                      "[Sound]\nSE=1\nBGM=1\n"
                                      "[Zoom]\nEnable=0\n";
    // The copy an installation ships: the one beside the program is the player's by now.
    if (!writeFile(outDir + "/share/VORTALIX.ini", text.data(), text.size())) return false;
    const std::string path = outDir + "/VORTALIX.ini";
    std::error_code ec;
    if (std::filesystem::exists(path, ec)) return true;
    return writeFile(path, text.data(), text.size());
}
