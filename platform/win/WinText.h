#pragma once
// The game keeps every text and path in UTF-8; Windows' own calls take UTF-16. Only these two
// conversions stand between them, so that a Japanese user name or folder reaches the file
// system intact instead of through the ANSI code page.

#include <string>

std::wstring widen(const std::string& utf8);
std::string narrow(const std::wstring& utf16);
