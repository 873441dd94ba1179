#pragma once
// The game's version, from the build (the project version in CMakeLists.txt).

#ifndef VORTALIX_VERSION
#define VORTALIX_VERSION "unknown"
#endif

constexpr const char* kGameVersion = VORTALIX_VERSION;
