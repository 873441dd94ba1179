// Names for the cases of parameterised tests, so that a list of tests reads as a list of
// behaviours and a failure names what broke. A test name may hold only letters, digits and
// '_', so numbers and texts are spelled out with those.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace case_names {

// -5 reads "Minus5".
inline std::string number(std::int64_t v) {
    const std::uint64_t magnitude = v < 0 ? 0 - std::uint64_t(v) : std::uint64_t(v);
    return (v < 0 ? "Minus" : "") + std::to_string(magnitude);
}

// Letters and digits stay; every other byte becomes a word or its hex code, so that two
// different texts never get the same name. The empty text is "Empty".
inline std::string text(std::string_view s) {
    if (s.empty()) return "Empty";
    std::string out;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        if ((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
            out += ch;
            continue;
        }
        switch (c) {
        case ' ':
            out += "_";
            break;
        case '-':
            out += "Minus";
            break;
        case '+':
            out += "Plus";
            break;
        case '.':
            out += "Dot";
            break;
        case ':':
            out += "Colon";
            break;
        case ';':
            out += "Semicolon";
            break;
        case '"':
            out += "Quote";
            break;
        case '_':
            out += "Underscore";
            break;
        default: {
            const char* const hex = "0123456789ABCDEF";
            out += "x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
        }
    }
    return out;
}

// "row 239: down is row 1" reads "Row239DownIsRow1": each word starts upper case, and
// whatever is not a letter or digit falls away.
inline std::string words(std::string_view s) {
    std::string out;
    bool wordStart = true;
    for (const char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        const bool lower = c >= 'a' && c <= 'z';
        if (lower || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) {
            out += wordStart && lower ? char(c - 'a' + 'A') : ch;
            wordStart = false;
        } else if (c != '\'') {
            wordStart = true;
        }
    }
    return out;
}

} // namespace case_names
