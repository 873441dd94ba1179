#include "app/SettingsText.h"

#include <map>
#include <string_view>
#include <vector>

bool parseDecimal(const std::string& text, int32_t& value) {
    size_t at = 0;
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';
    if (at == text.size()) return false;
    // Accumulated as a negative number, whose range reaches INT32_MIN.
    int64_t n = 0;
    for (; at < text.size(); ++at) {
        const char c = text[at];
        if (c < '0' || c > '9') return false;
        n = n * 10 - (c - '0');
        if (n < INT32_MIN) return false;
    }
    if (!negative && n == INT32_MIN) return false;
    value = int32_t(negative ? n : -n);
    return true;
}

bool hasUtf8Bom(const char* text, size_t size) {
    return size >= 3 && uint8_t(text[0]) == 0xef && uint8_t(text[1]) == 0xbb &&
           uint8_t(text[2]) == 0xbf;
}

namespace {

std::string_view trimmed(std::string_view line) {
    const size_t first = line.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) return {};
    const size_t last = line.find_last_not_of(" \t\r");
    return line.substr(first, last - first + 1);
}

std::vector<std::string_view> commentLines(std::string_view text) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        const std::string_view line = trimmed(text.substr(start, end - start));
        if (!line.empty() && (line[0] == ';' || line[0] == '#')) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

} // namespace

void keepLostComments(const std::string& original, std::string& saved) {
    std::map<std::string_view, int32_t> present;
    for (std::string_view line : commentLines(saved)) ++present[line];
    std::string lost;
    for (std::string_view line : commentLines(original)) {
        int32_t& left = present[line];
        if (left > 0) {
            --left;
            continue;
        }
        lost.append(line);
        lost += '\n';
    }
    if (lost.empty()) return;
    if (!saved.empty() && saved.back() != '\n') saved += '\n';
    saved += lost;
}
