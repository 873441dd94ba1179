// File access shared by every backend: plain C and POSIX calls, so the game's data and
// settings files behave the same under SDL and in the headless tests.

#include "platform/Platform.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <sys/stat.h>
#ifdef _WIN32
#include <direct.h>
#include <io.h>
#define VORTALIX_FSYNC(fd) _commit(fd)
#define VORTALIX_FILENO(f) _fileno(f)
#else
#include <unistd.h>
#define VORTALIX_FSYNC(fd) fsync(fd)
#define VORTALIX_FILENO(f) fileno(f)
#endif

std::string nativePath(const std::string& stored) {
    std::string p = stored;
#ifndef _WIN32
    for (char& c : p)
        if (c == '\\') c = '/';
#endif
    return p;
}

std::optional<std::string> Platform::environment(const std::string& name) {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool Platform::isDirectory(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Platform::isWritableDirectory(const std::string& path) {
#ifdef _WIN32
    return isDirectory(path);
#else
    return isDirectory(path) && ::access(path.c_str(), W_OK | X_OK) == 0;
#endif
}

bool Platform::makeDirectories(const std::string& path, std::string& error) {
    // One level at a time, so that every folder made here gets the private mode, not only
    // the last one.
    std::string sofar;
    size_t from = 0;
    while (from <= path.size()) {
        size_t slash = path.find('/', from);
        if (slash == std::string::npos) slash = path.size();
        sofar = path.substr(0, slash);
        from = slash + 1;
        if (sofar.empty() || isDirectory(sofar)) continue;
#ifdef _WIN32
        const int made = ::_mkdir(sofar.c_str());
#else
        const int made = ::mkdir(sofar.c_str(), 0700);
#endif
        if (made != 0 && !(errno == EEXIST && isDirectory(sofar))) {
            const std::string why = errno == EEXIST ? "is not a folder" : std::strerror(errno);
            error = "cannot create the folder " + path + " (" + sofar + " " + why + ")";
            return false;
        }
    }
    return true;
}

std::vector<std::string> Platform::listFiles(const std::string& dir) {
    std::vector<std::string> names;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec))
        if (it->is_regular_file(ec)) names.push_back(it->path().filename().string());
    return names;
}

bool Platform::removeFile(const std::string& path) {
    return std::remove(path.c_str()) == 0;
}

int64_t Platform::unixTime() {
    return int64_t(std::time(nullptr));
}

std::string Platform::localTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool Platform::fileExists(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

ReadStatus Platform::readFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out) {
    return readRegularFile(path, maxBytes, out);
}

ReadStatus readRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out) {
    out.clear();
    struct stat st;
    if (::stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? ReadStatus::Missing : ReadStatus::Error;
    // A directory, a FIFO or a device is never read: it could block or never end.
    if (!S_ISREG(st.st_mode)) return ReadStatus::NotRegular;
    if (uint64_t(st.st_size) > maxBytes) return ReadStatus::TooLarge;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return ReadStatus::Error;
    out.resize(size_t(st.st_size));
    size_t got = out.empty() ? 0 : std::fread(out.data(), 1, out.size(), f);
    // The file may have grown since stat(); one more byte tells.
    uint8_t extra;
    const bool longer = std::fread(&extra, 1, 1, f) == 1;
    const bool failed = std::ferror(f) != 0;
    std::fclose(f);
    if (failed) return ReadStatus::Error;
    if (longer) return ReadStatus::TooLarge;
    out.resize(got);
    return ReadStatus::Ok;
}

bool Platform::writeFileAtomic(const std::string& where, const void* data, size_t size,
                               std::string& error) {
    // A file the player keeps as a link to elsewhere is written where the link points, so the
    // link stays a link.
    std::string path = where;
    std::error_code linkError;
    if (std::filesystem::is_symlink(where, linkError)) {
        const std::filesystem::path target = std::filesystem::canonical(where, linkError);
        if (!linkError) path = target.string();
    }
    const std::string tmp = path + ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) {
        error = "cannot create " + tmp + ": " + std::strerror(errno);
        return false;
    }
#ifndef _WIN32
    // The new file keeps the old one's permissions.
    struct stat old;
    if (::stat(path.c_str(), &old) == 0) (void)fchmod(fileno(f), old.st_mode & 07777);
#endif
    bool ok = size == 0 || std::fwrite(data, 1, size, f) == size;
    // On a full disk fwrite may report success and only the flush fails.
    ok = ok && std::fflush(f) == 0;
    ok = ok && VORTALIX_FSYNC(VORTALIX_FILENO(f)) == 0;
    const int savedErrno = errno;
    ok = (std::fclose(f) == 0) && ok;
    if (!ok) {
        error = "cannot write " + tmp + ": " + std::strerror(savedErrno ? savedErrno : errno);
        std::remove(tmp.c_str());
        return false;
    }
    std::error_code ec;
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        error = "cannot replace " + path + ": " + ec.message();
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}
