// The first "score.vtx": ten ranks a first game can start to climb from the bottom.

#include "app/GameState.h"
#include "tools/assetgen/assetgen.h"

#include <array>

bool writeRanking(const std::string& outDir) {
    struct Entry {
        const char* name;
        const char* score;
    };
    const Entry entries[10] = {{"VORTALIX", "12000000"}, {"NOVA", "3500000"}, {"COMET", "900000"},
                               {"ORBIT", "250000"},      {"PIXEL", "80000"},  {"SPARK", "30000"},
                               {"DRIFT", "10000"},       {"ZERO", "4000"},    {"ECHO", "1500"},
                               {"ROOKIE", "500"}};
    std::array<RankRecord, 10> records{};
    for (size_t i = 0; i < 10; ++i) {
        records[i].name = entries[i].name;
        records[i].score = entries[i].score;
    }
    return writeFile(outDir + "/score.vtx", records.data(), sizeof(records));
}
