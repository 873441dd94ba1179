#include "platform/FileLocations.h"

#include "platform/FirstCopy.h"
#include "platform/Platform.h"

#include <optional>

namespace {

constexpr const char* kSettingsName = "VORTALIX.ini";
constexpr const char* kRankingName = "score.vtx";

std::string withSlash(std::string dir) {
    if (!dir.empty() && dir.back() != '/') dir += '/';
    return dir;
}

// A base directory from the environment. The XDG rules ignore relative paths, and an empty or
// relative HOME is no home either.
std::optional<std::string> absoluteVariable(Platform& p, const char* name) {
    const std::optional<std::string> v = p.environment(name);
    if (!v || v->empty() || v->front() != '/') return std::nullopt;
    return v;
}

bool xdgDir(Platform& p, const char* variable, const char* underHome, std::string& dir,
            std::string& error) {
    if (const auto v = absoluteVariable(p, variable)) {
        dir = withSlash(*v) + kAppFolder + "/";
        return true;
    }
    if (const auto home = absoluteVariable(p, "HOME")) {
        dir = withSlash(*home) + underHome + kAppFolder + "/";
        return true;
    }
    error = std::string("neither ") + variable + " nor HOME names a folder for the player's files";
    return false;
}

bool hasData(Platform& p, const std::string& dir) {
    return !dir.empty() && p.isDirectory(dir + "image");
}

} // namespace

bool locateFiles(Platform& p, FileLocations& out, std::string& error) {
    const std::string exe = p.exeDir();
    out = FileLocations{};
    const bool besideExe = hasData(p, exe);
    const std::string installedData = p.installedDataDir();
    // Without data beside it and without an installed data folder the program is not an
    // installed one: it runs as it always did and says which file is missing.
    if (!besideExe && !hasData(p, installedData)) {
        out.dataDir = out.settingsDir = out.shotDir = exe;
        return true;
    }
    out.dataDir = besideExe ? exe : installedData;
    if (besideExe && p.isWritableDirectory(exe)) {
        out.settingsDir = out.shotDir = exe;
        return true;
    }
    out.installed = true;
    std::string dataHome;
    if (!xdgDir(p, "XDG_CONFIG_HOME", ".config/", out.settingsDir, error) ||
        !xdgDir(p, "XDG_DATA_HOME", ".local/share/", dataHome, error))
        return false;
    out.shotDir = dataHome;
    // A ranking in the working directory is the player's choice, as it always was.
    if (!p.fileExists(kRankingName) && !p.isDirectory(kRankingName))
        out.rankingFile = dataHome + kRankingName;
    return true;
}

bool preparePlayerFiles(Platform& p, const FileLocations& where, std::string& error) {
    if (!where.installed) return true;
    if (!p.makeDirectories(where.settingsDir, error) || !p.makeDirectories(where.shotDir, error))
        return false;
    if (where.rankingFile != kRankingName &&
        !giveFirstCopy(p, where.dataDir + kRankingName, where.rankingFile, error))
        return false;
    return giveFirstCopy(p, where.dataDir + kSettingsName, where.settingsDir + kSettingsName,
                         error);
}
