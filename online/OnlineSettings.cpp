#include "online/OnlineSettings.h"

#include "platform/FileLocations.h"
#include "platform/Platform.h"

#include <SimpleIni.h>

#include <vector>

namespace {

// The settings file is read whole; the game refuses larger ones too.
constexpr size_t kMaxSettings = 1024 * 1024;

std::string trimmed(const std::string& s) {
    const size_t from = s.find_first_not_of(" \t\r\n");
    if (from == std::string::npos) return {};
    return s.substr(from, s.find_last_not_of(" \t\r\n") - from + 1);
}

} // namespace

std::string readServerSetting(Platform& files, const std::string& settingsFile) {
    std::vector<uint8_t> text;
    if (files.readFile(settingsFile, kMaxSettings, text) != ReadStatus::Ok) return {};
    CSimpleIniA ini;
    if (ini.LoadData(reinterpret_cast<const char*>(text.data()), text.size()) < 0) return {};
    const char* value = ini.GetValue("Online", "Server", nullptr);
    return value == nullptr ? std::string() : trimmed(value);
}

bool findOnlinePlaces(Platform& files, OnlinePlaces& out, std::string& error) {
    FileLocations where;
    if (!locateFiles(files, where, error)) return false;
    out.settingsFile = where.settingsDir + "VORTALIX.ini";
    out.replaysDir = where.settingsDir + "replays/";
    out.server = readServerSetting(files, out.settingsFile);
    return true;
}
