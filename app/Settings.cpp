// The settings file "VORTALIX.ini" (beside the executable, or in the player's config folder), read
// and written with SimpleIni so that a file the player has edited by hand (CRLF line ends, spaces
// around '=', comments, a UTF-8 byte-order mark, any letter case in names, sections of other tools)
// is understood and keeps all of that when the game writes its five values back.

#include "app/Settings.h"

#include "app/GameState.h"
#include "app/SettingsText.h"
#include "platform/Platform.h"

#include <SimpleIni.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr const char* kSettingsFile = "VORTALIX.ini";
// A settings file is a few hundred bytes; anything this large is not one.
constexpr size_t kMaxSettingsBytes = size_t(1) * 1024 * 1024;

struct NumberKey {
    const char* section;
    const char* key;
    int32_t fallback; // used when the key is missing or its value is not a number
};
// The four numbers in the order they are read and written, after [BackGround] Path.
constexpr NumberKey kBgEnable{"BackGround", "Enable", 1};
constexpr NumberKey kSoundSe{"Sound", "SE", 1};
constexpr NumberKey kSoundBgm{"Sound", "BGM", 1};
constexpr NumberKey kZoomEnable{"Zoom", "Enable", 0};

std::string settingsPath(const GameState& g) {
    return g.files.settingsDir + kSettingsFile;
}

const char* refusal(ReadStatus status) {
    switch (status) {
    case ReadStatus::NotRegular:
        return "is not a regular file";
    case ReadStatus::TooLarge:
        return "is larger than 1 MiB";
    default:
        return "cannot be read";
    }
}

// Fills `ini` from the bytes of a settings file. False when the bytes cannot be taken as one:
// SimpleIni stops at a zero byte, so saving such a file would silently drop its rest.
bool parseSettings(const std::vector<uint8_t>& bytes, CSimpleIniA& ini, bool& hadBom) {
    const char* text = reinterpret_cast<const char*>(bytes.data());
    hadBom = hasUtf8Bom(text, bytes.size());
    for (uint8_t b : bytes)
        if (b == 0) return false;
    return ini.LoadData(text, bytes.size()) >= 0;
}

void prepare(CSimpleIniA& ini) {
    ini.SetUnicode(true);
    ini.SetMultiKey(false); // a key written twice by hand: the last one counts, as it is read
    ini.SetSpaces(false);   // key=value
}

int32_t readNumber(const CSimpleIniA& ini, const NumberKey& k, const std::string& path) {
    const char* text = ini.GetValue(k.section, k.key, nullptr);
    if (!text) return k.fallback;
    int32_t value = 0;
    if (parseDecimal(text, value)) return value;
    std::fprintf(stderr, "vortalix: %s: [%s] %s = \"%s\" is not a whole number; using %d\n",
                 path.c_str(), k.section, k.key, text, int(k.fallback));
    return k.fallback;
}

void writeNumber(CSimpleIniA& ini, const NumberKey& k, int32_t value) {
    ini.SetValue(k.section, k.key, std::to_string(value).c_str());
}

} // namespace

bool readSettings(GameState& g) {
    const std::string path = settingsPath(g);
    std::vector<uint8_t> bytes;
    const ReadStatus status = g.platform->readFile(path, kMaxSettingsBytes, bytes);
    if (status == ReadStatus::Missing) {
        // Nothing to read: everything stays off and the default picture is chosen later. The
        // file is made at the end.
        g.bgpath = "none";
        g.bgenabled = 0;
        g.seenabled = 0;
        g.zoom = 0;
        g.settingsRead = true;
        return false;
    }
    CSimpleIniA ini;
    prepare(ini);
    bool hadBom = false;
    if (status != ReadStatus::Ok || !parseSettings(bytes, ini, hadBom)) {
        // Run on defaults, and never write over a file we could not understand.
        std::fprintf(stderr, "vortalix: settings file %s %s; using the defaults, it is not saved\n",
                     path.c_str(),
                     status == ReadStatus::Ok ? "is not a text file" : refusal(status));
        g.bgpath = "none";
        g.bgenabled = uint8_t(kBgEnable.fallback);
        g.seenabled = uint8_t(kSoundSe.fallback);
        g.midiplayer->setenabled(uint8_t(kSoundBgm.fallback));
        g.zoom = uint8_t(kZoomEnable.fallback);
        g.settingsRead = false;
        return false;
    }

    g.bgpath = ini.GetValue("BackGround", "Path", "none");
    // The flags keep the low 8 bits of the number, so 256 is off and -1 is on.
    g.bgenabled = uint8_t(readNumber(ini, kBgEnable, path));
    g.seenabled = uint8_t(readNumber(ini, kSoundSe, path));
    g.midiplayer->setenabled(uint8_t(readNumber(ini, kSoundBgm, path)));
    g.zoom = uint8_t(readNumber(ini, kZoomEnable, path));
    g.settingsRead = true;
    return true;
}

void data_save(GameState& g) {
    // Settings that were never read (start-up ended before them, or the file was refused)
    // would only overwrite the player's own with zero values.
    if (!g.settingsRead) return;
    const std::string path = settingsPath(g);
    Platform& p = *g.platform;

    // Start from the file as it is now, so every line of the player's survives.
    CSimpleIniA ini;
    prepare(ini);
    std::vector<uint8_t> old;
    bool hadBom = false;
    const ReadStatus status = p.readFile(path, kMaxSettingsBytes, old);
    if (status != ReadStatus::Missing &&
        (status != ReadStatus::Ok || !parseSettings(old, ini, hadBom))) {
        std::fprintf(stderr, "vortalix: settings file %s %s; the settings are not saved\n",
                     path.c_str(),
                     status == ReadStatus::Ok ? "is not a text file" : refusal(status));
        return;
    }

    ini.SetValue("BackGround", "Path", g.bgpath.c_str());
    writeNumber(ini, kBgEnable, g.bgenabled);
    writeNumber(ini, kSoundSe, g.seenabled);
    writeNumber(ini, kSoundBgm, g.midiplayer ? g.midiplayer->enabled : 0);
    writeNumber(ini, kZoomEnable, g.zoom);

    std::string text;
    if (ini.Save(text, hadBom) < 0) {
        std::fprintf(stderr, "vortalix: settings file %s: cannot be put together; not saved\n",
                     path.c_str());
        return;
    }
    if (status == ReadStatus::Ok)
        keepLostComments(std::string(reinterpret_cast<const char*>(old.data()), old.size()), text);

    std::string error;
    if (!p.writeFileAtomic(path, text.data(), text.size(), error))
        std::fprintf(stderr, "vortalix: settings not saved: %s\n", error.c_str());
}
