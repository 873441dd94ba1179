#pragma once
// The name a stored replay goes by: the SHA-256 of its bytes, as 64 lower-case hex digits.

#include <cstddef>
#include <cstdint>
#include <string>

std::string sha256Hex(const uint8_t* data, size_t size);
