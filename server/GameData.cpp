#include "server/GameData.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// The shipped data are a few megabytes; the caps only guard against a wrong folder.
constexpr uintmax_t kMaxDataFile = uintmax_t(32) * 1024 * 1024;
constexpr uintmax_t kMaxDataTotal = uintmax_t(256) * 1024 * 1024;

std::string normalised(const std::string& path) {
    std::string p = path;
    for (char& c : p)
        if (c == '\\') c = '/';
    // "a//b" and "a/./b" name the same file as the game builds its paths.
    std::string out;
    for (size_t i = 0; i < p.size(); ++i) {
        if (p[i] == '/' && !out.empty() && out.back() == '/') continue;
        if (p.compare(i, 2, "./") == 0 && !out.empty() && out.back() == '/') {
            ++i;
            continue;
        }
        out += p[i];
    }
    return out;
}

bool readWhole(const fs::path& path, std::vector<uint8_t>& out) {
    std::ifstream f(path, std::ios::binary);
    if (!f) return false;
    out.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
    return !f.bad();
}

} // namespace

bool loadGameData(const std::string& dir, GameData& out, std::string& error) {
    out.files.clear();
    std::error_code ec;
    if (!fs::is_directory(fs::path(dir) / "image", ec)) {
        error = "no game data in " + dir + " (it has no image folder)";
        return false;
    }
    uintmax_t total = 0;
    auto take = [&](const fs::path& file, const std::string& name) {
        std::error_code fec;
        if (!fs::is_regular_file(file, fec)) return true;
        const uintmax_t size = fs::file_size(file, fec);
        if (fec || size > kMaxDataFile || total + size > kMaxDataTotal) {
            error = "the data file " + file.string() + " is too large or unreadable";
            return false;
        }
        std::vector<uint8_t> bytes;
        if (!readWhole(file, bytes)) {
            error = "cannot read the data file " + file.string();
            return false;
        }
        total += bytes.size();
        out.files[std::string(kGameDataRoot) + name] = std::move(bytes);
        return true;
    };
    for (const char* folder : {"image", "sound"}) {
        const fs::path sub = fs::path(dir) / folder;
        for (fs::directory_iterator it(sub, ec), end; !ec && it != end; it.increment(ec))
            if (!take(it->path(), std::string(folder) + "/" + it->path().filename().string()))
                return false;
    }
    for (const char* name : {"score.vtx", "VORTALIX.ini"})
        if (!take(fs::path(dir) / name, name)) return false;
    return true;
}

std::string defaultDataDir(const std::string& programPath) {
    std::error_code ec;
    const fs::path exe = fs::absolute(programPath, ec).parent_path();
    if (fs::is_directory(exe / "image", ec)) return exe.string();
    const fs::path installed = exe / VORTALIX_DATA_FROM_BIN;
    if (fs::is_directory(installed / "image", ec)) return installed.lexically_normal().string();
    return "/usr/share/games/vortalix";
}

void MemoryPlatform::messageBox(const std::string& text, const std::string& caption) {
    lastMessage = caption + ": " + text;
}

bool MemoryPlatform::isDirectory(const std::string& path) {
    std::string p = normalised(path);
    if (p.empty()) return false;
    if (p.back() != '/') p += '/';
    if (p == kGameDataRoot) return true;
    const auto it = data_.files.lower_bound(p);
    return it != data_.files.end() && it->first.compare(0, p.size(), p) == 0;
}

bool MemoryPlatform::makeDirectories(const std::string& path, std::string& error) {
    if (isDirectory(path)) return true;
    error = "the scoreboard makes no folders";
    return false;
}

bool MemoryPlatform::fileExists(const std::string& path) {
    return data_.files.count(normalised(path)) > 0;
}

ReadStatus MemoryPlatform::readFile(const std::string& path, size_t maxBytes,
                                    std::vector<uint8_t>& out) {
    const auto it = data_.files.find(normalised(path));
    if (it == data_.files.end())
        return isDirectory(path) ? ReadStatus::NotRegular : ReadStatus::Missing;
    if (it->second.size() > maxBytes) return ReadStatus::TooLarge;
    out = it->second;
    return ReadStatus::Ok;
}

bool MemoryPlatform::writeFileAtomic(const std::string& path, const void*, size_t,
                                     std::string& error) {
    error = "the scoreboard writes no files (" + path + ")";
    return false;
}
