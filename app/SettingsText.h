#pragma once
// The text rules of the settings file that SimpleIni leaves to us.

#include <cstddef>
#include <cstdint>
#include <string>

// A whole number in base 10: an optional sign and at least one digit, nothing else, within the
// range of int32_t. "010" is ten; "0x10", "12abc", "1.5", "" and "99999999999" are not numbers.
bool parseDecimal(const std::string& text, int32_t& value);
// True when the text begins with the UTF-8 byte-order mark.
bool hasUtf8Bom(const char* text, size_t size);
// SimpleIni keeps a comment only by tying it to the section or key below it, so comments at the
// end of a file (or before a repeated section) are lost when it writes the file again. Appends
// to `saved`, in their original order, the comment lines of `original` that it lacks.
void keepLostComments(const std::string& original, std::string& saved);
