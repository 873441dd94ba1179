#pragma once
// A length byte followed by a fixed number of character positions, the shape of the
// ranking file's score and name fields. Positions past the length keep whatever they held,
// because the ranking file stores them as they are.

#include <cstdint>
#include <cstring>
#include <string_view>

template <int N> struct ShortString {
    static constexpr int capacity = N;
    uint8_t len = 0;
    char ch[N] = {};

    ShortString() = default;
    ShortString(std::string_view s) { assign(s); }
    ShortString(const char* s) { assign(std::string_view(s)); }

    // Keeps the leftmost N characters of a longer text.
    void assign(std::string_view s) {
        const size_t n = s.size() < size_t(N) ? s.size() : size_t(N);
        if (n > 0) std::memmove(ch, s.data(), n);
        len = uint8_t(n);
    }
    std::string_view view() const { return std::string_view(ch, len); }
    bool empty() const { return len == 0; }
    // Same text: the same length and the same meaningful characters.
    bool sameText(const ShortString& o) const { return view() == o.view(); }
};

static_assert(sizeof(ShortString<255>) == 256);
static_assert(sizeof(ShortString<10>) == 11);

using DecStr = ShortString<255>;
using NameStr = ShortString<10>;
