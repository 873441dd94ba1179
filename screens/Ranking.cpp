#include "screens/Ranking.h"
#include "app/GameState.h"
RankingLoad readRanking(GameState&, std::string&) {
    return RankingLoad::Ok;
}
uint8_t r_sort(GameState&) {
    return 10;
}
void r_save(GameState&) {}
void marqueeWidth(GameState&, int) {}
void marqueeStep(GameState&, int) {}
const char* ranksuffix(int32_t) {
    return "TH";
}
void nameCursorLeft(GameState&) {}
void nameCursorRight(GameState&) {}
void nameSelect(GameState&) {}
