#pragma once
// The file dialog's filter, written the Windows way ("name|*.a;*.b|name|*.c"), as zenity's
// --file-filter arguments ("name | *.a *.b"). Without SDL so that it can be checked alone.

#include <string>
#include <vector>

namespace sdlfilter {

inline std::vector<std::string> splitOn(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : text) {
        if (c == separator) {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

// Windows matches the patterns without regard to case; zenity's toolkit may not, so every
// pattern with lower-case letters is offered in upper case too ("*.bmp *.BMP").
inline std::vector<std::string> zenityFileFilters(const std::string& windowsFilter) {
    std::vector<std::string> args;
    if (windowsFilter.empty()) return args;
    const std::vector<std::string> parts = splitOn(windowsFilter, '|');
    for (size_t i = 0; i + 1 < parts.size(); i += 2) {
        std::string patterns;
        for (const std::string& pattern : splitOn(parts[i + 1], ';')) {
            if (pattern.empty()) continue;
            std::string upper = pattern;
            for (char& c : upper)
                if (c >= 'a' && c <= 'z') c = char(c - 'a' + 'A');
            patterns += (patterns.empty() ? "" : " ") + pattern;
            if (upper != pattern) patterns += " " + upper;
        }
        if (patterns.empty()) continue;
        args.push_back("--file-filter=" + parts[i] + " | " + patterns);
    }
    return args;
}

} // namespace sdlfilter
