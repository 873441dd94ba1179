// A whole scripted game on the headless platform with a fixed seed: title, count-down, a run
// along its own trail that scratches and levels up, a death, the name entry and the ranking.
// The pinned numbers are this game's behaviour; any change to movement, scoring, timing or the
// random draws moves at least one of them.

#include "app/TForm1.h"
#include "platform/headless/HeadlessPlatform.h"
#include "screens/Ranking.h"
#include "tests/data_fixture.h"

#include <cstring>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>

namespace {

class GoldenGame : public ::testing::Test {
  protected:
    fixture::GameFolders dirs;
    HeadlessPlatform p;

    void SetUp() override { fixture::scriptGoldenGame(dirs, p); }
};

TEST_F(GoldenGame, ScriptedGameEndsInTheRanking) {
    TForm1 form(p);
    const int code = runProgram(form, 1800);
    const GameState& g = form.g;
    if (const char* dump = std::getenv("VORTALIX_DUMP_FRAME")) {
        const std::vector<uint8_t> bmp = encodeBmp24(p.lastFrame);
        fixture::writeBytes(dump, bmp.data(), bmp.size());
    }
    EXPECT_EQ(code, -1); // still running when the script ends
    EXPECT_EQ(p.framesPresented, 1800);
    EXPECT_EQ(g.mode, 4);
    EXPECT_EQ(g.newrank, 0);
    EXPECT_EQ(g.score.view(), "589881");
    EXPECT_EQ(g.rate.view(), "1201");
    EXPECT_EQ(g.level, 5);
    EXPECT_EQ(fixture::hashSurface(g.linelayer), 0x53c62b5c797fc4c0ull);
    EXPECT_EQ(fixture::hashSurface(p.lastFrame), 0xb62e67220084bf53ull);

    // The finished name entry wrote the new first rank; the old ones moved down by one.
    std::ifstream f("score.vtx", std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), kRankingBytes);
    RankRecord first, second;
    std::memcpy(&first, bytes.data(), sizeof first);
    std::memcpy(&second, bytes.data() + sizeof(RankRecord), sizeof second);
    EXPECT_EQ(first.name.view(), "AB");
    EXPECT_EQ(first.score.view(), "589881");
    EXPECT_EQ(second.name.view(), "P0");
    EXPECT_EQ(second.score.view(), "100");
}

} // namespace
