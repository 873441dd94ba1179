#pragma once
// The top-10 table, its file "score.vtx" in the working directory, and the name rules.

#include <cstdint>
#include <string>
#include <string_view>

struct GameState;

constexpr std::string_view namechars = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 !#";
constexpr size_t kRankingBytes = 2670;

enum class RankingLoad { Ok, Missing, Broken };
// Reads ranks 0..9. Broken: the file exists but is unreadable or shorter than 2670 bytes;
// error then says why.
RankingLoad readRanking(GameState& g, std::string& error);
uint8_t r_sort(GameState& g);
void r_save(GameState& g);
void marqueeWidth(GameState& g, int k);
void marqueeStep(GameState& g, int k);
const char* ranksuffix(int32_t n);
// Name-entry key actions (mode 3).
void nameCursorLeft(GameState& g);
void nameCursorRight(GameState& g);
void nameSelect(GameState& g);
