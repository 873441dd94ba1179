#pragma once
// The parts of a request the server reads itself: numbers in the query, ids in the path.
// Anything else than plain decimal digits in range is refused.

#include <cstdint>
#include <string>

// A query number such as limit or offset; `fallback` when the text is empty.
bool queryNumber(const std::string& text, int64_t fallback, int64_t low, int64_t high,
                 int64_t& out);
// An entry id as it stands in a path: 1 to 2^53, no sign, no leading zero.
bool pathId(const std::string& text, int64_t& out);
// "17.vtr" gives 17.
bool replayFileId(const std::string& text, int64_t& out);
// The first address of an X-Forwarded-For list, trimmed; empty when there is none that looks
// like an address.
std::string forwardedAddress(const std::string& header);
// True when every character is one the game's name entry offers and the length fits.
bool isGameName(const std::string& name);
