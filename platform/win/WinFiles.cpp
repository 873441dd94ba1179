// File access on Windows, in place of the C and POSIX calls of the other systems: every path
// goes to Windows as UTF-16, so that a player's folder with Japanese characters or spaces
// works, and a file is replaced the way Windows keeps it safe (flushed, then moved over the
// old one with write-through).

#include "platform/Platform.h"
#include "platform/win/WinText.h"

#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>

namespace {

// What Windows says about the last failure, in the game's UTF-8.
std::string lastErrorText() {
    const DWORD code = GetLastError();
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n > 0 && text != nullptr ? std::wstring(text, n) : std::wstring();
    if (text != nullptr) LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    if (message.empty()) return "error " + std::to_string(code);
    return narrow(message);
}

DWORD attributesOf(const std::string& path) {
    return GetFileAttributesW(widen(path).c_str());
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// Closes the handle on every way out.
struct Handle {
    HANDLE h = INVALID_HANDLE_VALUE;
    ~Handle() {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
};

} // namespace

std::string nativePath(const std::string& stored) {
    // The stored names already use Windows' own separator.
    return stored;
}

std::optional<std::string> Platform::environment(const std::string& name) {
    const std::wstring wide = widen(name);
    SetLastError(ERROR_SUCCESS);
    const DWORD n = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
    if (n == 0)
        return GetLastError() == ERROR_ENVVAR_NOT_FOUND ? std::nullopt
                                                        : std::optional<std::string>("");
    std::wstring value(n, L'\0');
    const DWORD got = GetEnvironmentVariableW(wide.c_str(), value.data(), n);
    if (got >= n) return std::nullopt; // changed in between
    value.resize(got);
    return narrow(value);
}

bool Platform::isDirectory(const std::string& path) {
    const DWORD a = attributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Platform::isWritableDirectory(const std::string& path) {
    if (!isDirectory(path)) return false;
    // Windows' permissions are not told by attributes: the folder is writable when a file can
    // be made in it. The probe is made and removed at once, and deleted on close anyway.
    std::string dir = path;
    if (!dir.empty() && !isSeparator(dir.back())) dir += '\\';
    const std::wstring probe = widen(dir + "vortalix-write-test.tmp");
    HANDLE h = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

bool Platform::makeDirectories(const std::string& path, std::string& error) {
    std::string sofar;
    size_t from = 0;
    while (from <= path.size()) {
        size_t slash = path.find_first_of("/\\", from);
        if (slash == std::string::npos) slash = path.size();
        sofar = path.substr(0, slash);
        from = slash + 1;
        // "C:" and the empty start of "\\server" are no folders to make.
        if (sofar.empty() || (sofar.size() == 2 && sofar[1] == ':') || isDirectory(sofar)) continue;
        if (!CreateDirectoryW(widen(sofar).c_str(), nullptr)) {
            const DWORD code = GetLastError();
            if (code == ERROR_ALREADY_EXISTS && isDirectory(sofar)) continue;
            const std::string why =
                code == ERROR_ALREADY_EXISTS ? std::string("is not a folder") : lastErrorText();
            error = "cannot create the folder " + path + " (" + sofar + " " + why + ")";
            return false;
        }
    }
    return true;
}

std::vector<std::string> Platform::listFiles(const std::string& dir) {
    std::vector<std::string> names;
    std::string pattern = dir;
    if (!pattern.empty() && !isSeparator(pattern.back())) pattern += '\\';
    pattern += '*';
    WIN32_FIND_DATAW found;
    HANDLE h = FindFirstFileW(widen(pattern).c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return names;
    do {
        if ((found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0)
            names.push_back(narrow(found.cFileName));
    } while (FindNextFileW(h, &found));
    FindClose(h);
    return names;
}

bool Platform::removeFile(const std::string& path) {
    return DeleteFileW(widen(path).c_str()) != 0;
}

int64_t Platform::unixTime() {
    return int64_t(std::time(nullptr));
}

std::string Platform::localTimeStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_s(&local, &now);
    char text[32];
    std::strftime(text, sizeof text, "%Y%m%d-%H%M%S", &local);
    return text;
}

bool Platform::fileExists(const std::string& path) {
    const DWORD a = attributesOf(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

ReadStatus Platform::readFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out) {
    return readRegularFile(path, maxBytes, out);
}

ReadStatus readRegularFile(const std::string& path, size_t maxBytes, std::vector<uint8_t>& out) {
    out.clear();
    Handle f;
    f.h = CreateFileW(widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f.h == INVALID_HANDLE_VALUE) {
        const DWORD code = GetLastError();
        if (code == ERROR_FILE_NOT_FOUND || code == ERROR_PATH_NOT_FOUND ||
            code == ERROR_INVALID_NAME)
            return ReadStatus::Missing;
        // A folder cannot be opened this way at all.
        return attributesOf(path) != INVALID_FILE_ATTRIBUTES &&
                       (attributesOf(path) & FILE_ATTRIBUTE_DIRECTORY) != 0
                   ? ReadStatus::NotRegular
                   : ReadStatus::Error;
    }
    // A device or a pipe (CON, NUL, \\.\pipe\...) is never read: it could block or never end.
    if (GetFileType(f.h) != FILE_TYPE_DISK) return ReadStatus::NotRegular;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(f.h, &size)) return ReadStatus::Error;
    if (uint64_t(size.QuadPart) > maxBytes) return ReadStatus::TooLarge;
    out.resize(size_t(size.QuadPart));
    size_t got = 0;
    while (got < out.size()) {
        DWORD n = 0;
        const DWORD ask = DWORD(std::min<size_t>(out.size() - got, 1u << 30));
        if (!ReadFile(f.h, out.data() + got, ask, &n, nullptr)) {
            out.clear();
            return ReadStatus::Error;
        }
        if (n == 0) break; // the file shrank since its size was taken
        got += n;
    }
    // The file may have grown since; one more byte tells.
    uint8_t extra;
    DWORD n = 0;
    if (ReadFile(f.h, &extra, 1, &n, nullptr) && n == 1) {
        out.clear();
        return ReadStatus::TooLarge;
    }
    out.resize(got);
    return ReadStatus::Ok;
}

bool Platform::writeFileAtomic(const std::string& path, const void* data, size_t size,
                               std::string& error) {
    const std::string tmp = path + ".tmp";
    const std::wstring wideTmp = widen(tmp);
    {
        Handle f;
        f.h = CreateFileW(wideTmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f.h == INVALID_HANDLE_VALUE) {
            error = "cannot create " + tmp + ": " + lastErrorText();
            return false;
        }
        const uint8_t* bytes = static_cast<const uint8_t*>(data);
        size_t done = 0;
        bool ok = true;
        while (ok && done < size) {
            DWORD n = 0;
            const DWORD ask = DWORD(std::min<size_t>(size - done, 1u << 30));
            ok = WriteFile(f.h, bytes + done, ask, &n, nullptr) && n > 0;
            done += n;
        }
        // On to the disk before the name moves, so that a crash leaves the old file or the
        // whole new one, never a short one.
        ok = ok && FlushFileBuffers(f.h);
        if (!ok) {
            error = "cannot write " + tmp + ": " + lastErrorText();
            CloseHandle(f.h);
            f.h = INVALID_HANDLE_VALUE;
            DeleteFileW(wideTmp.c_str());
            return false;
        }
    }
    if (!MoveFileExW(wideTmp.c_str(), widen(path).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error = "cannot replace " + path + ": " + lastErrorText();
        DeleteFileW(wideTmp.c_str());
        return false;
    }
    return true;
}
