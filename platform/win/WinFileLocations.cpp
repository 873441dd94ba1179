// Where the Windows game reads its data and keeps the player's files, in place of the XDG
// rules of the other desktops.
//
// Portable (the unpacked zip): everything lies beside the program, as the game always kept
// it, and the ranking is "score.vtx" in the working directory.
// Installed (the installer leaves kInstalledMarker beside the program, or the program's folder
// cannot be written to): the data are read from beside the program, and the settings, the
// ranking, the screenshots and the replays go to %APPDATA%\vortalix\. The marker decides rather
// than a failing write test, since an administrator, or Wine, may well be able to write into
// Program Files. The ranking in the working directory is not used: a shortcut starts the game
// in its installed folder, whose shipped ranking is only the first copy.

#include "platform/FileLocations.h"

#include "platform/FirstCopy.h"
#include "platform/Platform.h"

#include <optional>

namespace {

constexpr const char* kSettingsName = "VORTALIX.ini";
constexpr const char* kRankingName = "score.vtx";
constexpr const char* kInstalledMarker = "installed.txt";

std::string withSeparator(std::string dir) {
    if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') dir += '\\';
    return dir;
}

} // namespace

bool locateFiles(Platform& p, FileLocations& out, std::string& error) {
    const std::string exe = p.exeDir();
    out = FileLocations{};
    out.dataDir = out.settingsDir = out.shotDir = exe;
    // Without its data the program runs as it always did and says which file is missing.
    if (!p.isDirectory(exe + "image")) return true;
    if (!p.fileExists(exe + kInstalledMarker) && p.isWritableDirectory(exe)) return true;
    out.installed = true;
    const std::optional<std::string> appData = p.environment("APPDATA");
    if (!appData || appData->empty()) {
        error = "APPDATA names no folder for the player's files";
        return false;
    }
    out.settingsDir = out.shotDir = withSeparator(*appData) + kAppFolder + "\\";
    out.rankingFile = out.settingsDir + kRankingName;
    return true;
}

bool preparePlayerFiles(Platform& p, const FileLocations& where, std::string& error) {
    if (!where.installed) return true;
    if (!p.makeDirectories(where.settingsDir, error)) return false;
    if (!giveFirstCopy(p, where.dataDir + kRankingName, where.rankingFile, error)) return false;
    return giveFirstCopy(p, where.dataDir + kSettingsName, where.settingsDir + kSettingsName,
                         error);
}
