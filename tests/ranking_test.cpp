// The top-10 table: sorting a finished game in, the marquee of long scores, the rank texts and
// the file "score.vtx" in the working directory.

#include "game_fixture.h"

#include <cstring>

using namespace gamefix;

namespace {

class RankingTest : public GameTest {
  protected:
    TempDir cwd;
    std::unique_ptr<ScopedCwd> inside;

    void SetUp() override {
        GameTest::SetUp();
        inside = std::make_unique<ScopedCwd>(cwd.path);
    }
    void TearDown() override { inside.reset(); }

    void setRanks(const std::vector<std::string>& scores) {
        for (size_t k = 0; k < 10; ++k) {
            g.ranking[k].score = DecStr(scores[k]);
            g.ranking[k].name = NameStr(std::string(1, char('A' + k)));
        }
    }
    std::string names() const {
        std::string s;
        for (size_t k = 0; k < 11; ++k)
            s += g.ranking[k].name.empty() ? '_' : g.ranking[k].name.view()[0];
        return s;
    }
    std::vector<std::string> scores() const {
        std::vector<std::string> s;
        for (size_t k = 0; k < 11; ++k) s.emplace_back(g.ranking[k].score.view());
        return s;
    }
    fs::path file() const { return cwd.path / "score.vtx"; }

    std::vector<uint8_t> rankingFile(size_t extra = 0) const {
        std::vector<uint8_t> bytes(2670 + extra);
        for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = uint8_t(i * 7 + 3);
        for (size_t k = 0; k < 10; ++k) {
            uint8_t* r = bytes.data() + k * 267;
            const std::string score = std::to_string(900 - 50 * k);
            r[0] = uint8_t(score.size());
            std::memcpy(r + 1, score.data(), score.size());
            r[256] = 3;
            std::memcpy(r + 257, "ABC", 3);
        }
        return bytes;
    }
};

TEST_F(RankingTest, AScoreEqualToTheTenthIsNotRanked) {
    setRanks({"100", "90", "80", "70", "60", "50", "40", "30", "20", "10"});
    shokika(g);
    const auto before = g.ranking;
    const auto marqueeBefore = g.marquee;
    g.score = "10";
    EXPECT_EQ(r_sort(g), 10);
    EXPECT_EQ(std::memcmp(g.ranking.data(), before.data(), 10 * sizeof(RankRecord)), 0);
    for (size_t k = 0; k < 10; ++k) EXPECT_EQ(g.marquee[k].width, marqueeBefore[k].width);
    EXPECT_EQ(g.ranking[10].score.view(), "10");
    EXPECT_TRUE(g.ranking[10].name.empty());
}

TEST_F(RankingTest, ATopScoreTakesRankOneAndPushesTheRestDown) {
    setRanks({"100", "90", "80", "70", "60", "50", "40", "30", "20", "10"});
    shokika(g);
    g.score = "123456";
    EXPECT_EQ(r_sort(g), 0);
    EXPECT_EQ(names(), "_ABCDEFGHIJ");
    EXPECT_EQ(scores(), (std::vector<std::string>{"123456", "100", "90", "80", "70", "60", "50",
                                                  "40", "30", "20", "10"}));
    EXPECT_EQ(g.marquee[0].width, 8) << "6 digits";
    EXPECT_EQ(g.marquee[1].width, 5) << "3 digits, moved with its record";
}

TEST_F(RankingTest, ANewScoreAboveTwoEqualScoresExchangesThem) {
    setRanks({"90", "70", "70", "30", "20", "15", "12", "10", "5", "4"});
    shokika(g);
    for (size_t k = 0; k < 10; ++k) g.marquee[k].xoff = int32_t(k) * 10; // marks each record
    g.score = "80";
    EXPECT_EQ(r_sort(g), 1);
    EXPECT_EQ(scores(), (std::vector<std::string>{"90", "80", "70", "70", "30", "20", "15", "12",
                                                  "10", "5", "4"}));
    EXPECT_EQ(names(), "A_CBDEFGHIJ");
    EXPECT_EQ(g.marquee[2].xoff, 20) << "C's marquee went with C";
    EXPECT_EQ(g.marquee[3].xoff, 10) << "B's marquee went with B";
    EXPECT_EQ(g.marquee[1].xoff, 0) << "the new entry's";
    EXPECT_EQ(g.marquee[10].xoff, 90) << "J's, now last";
}

TEST_F(RankingTest, TheGameOverStoresTheResult) {
    setRanks({"100", "90", "80", "70", "60", "50", "40", "30", "20", "10"});
    g.score = "55";
    EXPECT_EQ(r_sort(g), 5);
    EXPECT_EQ(names(), "ABCDE_FGHIJ");
}

TEST_F(RankingTest, MarqueeOf28DigitsStandsStill) {
    g.ranking[0].score = DecStr(std::string(28, '9'));
    shokika(g);
    g.mode = 4;
    EXPECT_EQ(g.marquee[0].width, 29);
    for (int i = 0; i < 300; ++i) {
        r_gamen(g);
        ASSERT_EQ(g.marquee[0].xoff, 0) << "frame " << i;
    }
}

TEST_F(RankingTest, MarqueeOf29DigitsScrollsAndReentersFromTheRight) {
    g.ranking[3].score = DecStr(std::string(29, '9'));
    shokika(g);
    EXPECT_EQ(g.marquee[3].width, 31);
    std::vector<int32_t> drawnAt;
    for (int i = 0; i < 252; ++i) {
        drawnAt.push_back(g.marquee[3].xoff);
        r_gamen(g);
    }
    for (int i = 0; i <= 248; ++i) ASSERT_EQ(drawnAt[size_t(i)], -i) << "frame " << i;
    EXPECT_EQ(drawnAt[249], 239);
    EXPECT_EQ(drawnAt[250], 238);
    EXPECT_EQ(drawnAt[251], 237);
    EXPECT_EQ(g.marquee[0].xoff, 0) << "a short score stands";
}

TEST_F(RankingTest, NameEntryScrollsItsOwnScore) {
    g.ranking[6].score = DecStr(std::string(40, '1'));
    shokika(g);
    g.newrank = 6;
    g.ranking[6].name = "";
    name_entry(g);
    name_entry(g);
    EXPECT_EQ(g.marquee[6].xoff, -2);
    EXPECT_EQ(g.scrollx, -2);
}

TEST_F(RankingTest, RankingScreenDriftsTheBackdrop) {
    r_gamen(g);
    r_gamen(g);
    EXPECT_EQ(g.scrollx, 2);
    EXPECT_EQ(g.scrolly, 2);
}

struct SuffixCase {
    int rank;
    const char* suffix;
};

class RankSuffix : public RankingTest, public ::testing::WithParamInterface<SuffixCase> {};

TEST_P(RankSuffix, Suffix) {
    EXPECT_STREQ(ranksuffix(GetParam().rank), GetParam().suffix);
}

INSTANTIATE_TEST_SUITE_P(Ranks, RankSuffix,
                         ::testing::Values(SuffixCase{1, "ST"}, SuffixCase{2, "ND"},
                                           SuffixCase{3, "RD"}, SuffixCase{4, "TH"},
                                           SuffixCase{5, "TH"}, SuffixCase{9, "TH"},
                                           SuffixCase{10, "TH"}),
                         [](const auto& i) { return "Rank" + std::to_string(i.param.rank); });

struct RankTextCase {
    uint8_t newrank;
    const char* text;
};

class NameEntryRankText : public RankingTest, public ::testing::WithParamInterface<RankTextCase> {};

TEST_P(NameEntryRankText, ShowsTheRankWithItsSuffix) {
    const RankTextCase c = GetParam();
    g.newrank = c.newrank;
    g.ranking[c.newrank].name = "";
    clearBackbuf();
    name_entry(g);
    const int32_t n = int32_t(std::strlen(c.text));
    const int32_t sx = 120 - (n + 1) * 4;
    EXPECT_EQ(textAt(g.backbuf, sx, 80, n), c.text);
    EXPECT_EQ(glyphAt(g.backbuf, sx - 8, 80), Glyph{});
    EXPECT_EQ(glyphAt(g.backbuf, sx + 8 * n, 80), Glyph{});
    EXPECT_EQ(textAt(g.backbuf, 120 - 16 * 4, 64, 15), "YOU ARE RANK IN");
    // "ENTRY YOUR NAME" in the colour row of the rank's group of four.
    EXPECT_EQ(glyphAt(g.backbuf, 120 - 16 * 4, 112), (Glyph{'E', c.newrank / 4}));
}

INSTANTIATE_TEST_SUITE_P(Ranks, NameEntryRankText,
                         ::testing::Values(RankTextCase{0, "1ST"}, RankTextCase{1, "2ND"},
                                           RankTextCase{2, "3RD"}, RankTextCase{3, "4TH"},
                                           RankTextCase{9, "10TH"}),
                         [](const auto& i) { return "Newrank" + std::to_string(i.param.newrank); });

TEST_F(RankingTest, RankingScreenLabelsEveryRank) {
    clearBackbuf();
    r_gamen(g);
    const char* labels[10] = {"1ST", "2ND", "3RD", "4TH", "5TH",
                              "6TH", "7TH", "8TH", "9TH", "10TH"};
    for (int i = 0; i < 10; ++i) {
        const int32_t n = int32_t(std::strlen(labels[i]));
        EXPECT_EQ(textAt(g.backbuf, 0, 22 * i + 16, n), labels[i]);
        EXPECT_EQ(glyphAt(g.backbuf, 0, 22 * i + 16).row, i / 4);
        EXPECT_EQ(textAt(g.backbuf, 40, 22 * i + 16, 4), "RANK");
    }
}

TEST_F(RankingTest, ReadingTakesTenRecords) {
    writeBytes(file(), rankingFile());
    std::string error;
    ASSERT_EQ(readRanking(g, error), RankingLoad::Ok) << error;
    EXPECT_EQ(g.ranking[0].score.view(), "900");
    EXPECT_EQ(g.ranking[9].score.view(), "450");
    EXPECT_EQ(g.ranking[9].name.view(), "ABC");
}

TEST_F(RankingTest, ANameLengthAboveTenIsReadAsTen) {
    std::vector<uint8_t> bytes = rankingFile();
    bytes[4 * 267 + 256] = 200;
    std::memcpy(bytes.data() + 4 * 267 + 257, "JOHNNYBGOOD", 10);
    writeBytes(file(), bytes);
    std::string error;
    ASSERT_EQ(readRanking(g, error), RankingLoad::Ok) << error;
    EXPECT_EQ(g.ranking[4].name.len, 10);
    EXPECT_EQ(g.ranking[4].name.view(), "JOHNNYBGOO");
}

struct ShortFileCase {
    size_t size;
    RankingLoad expect;
};

class RankingFileSize : public RankingTest, public ::testing::WithParamInterface<ShortFileCase> {};

TEST_P(RankingFileSize, ShortFilesAreRefused) {
    std::vector<uint8_t> bytes = rankingFile(100);
    bytes.resize(GetParam().size);
    writeBytes(file(), bytes);
    std::string error;
    EXPECT_EQ(readRanking(g, error), GetParam().expect);
    if (GetParam().expect != RankingLoad::Ok) {
        EXPECT_FALSE(error.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, RankingFileSize,
                         ::testing::Values(ShortFileCase{0, RankingLoad::Broken},
                                           ShortFileCase{267, RankingLoad::Broken},
                                           ShortFileCase{2669, RankingLoad::Broken},
                                           ShortFileCase{2670, RankingLoad::Ok},
                                           ShortFileCase{2770, RankingLoad::Ok}),
                         [](const auto& i) { return std::to_string(i.param.size) + "Bytes"; });

TEST_F(RankingTest, AMissingFileIsReportedAsMissing) {
    std::string error;
    EXPECT_EQ(readRanking(g, error), RankingLoad::Missing);
}

TEST_F(RankingTest, SavingKeepsTheBytesPastTheTenRecords) {
    const std::vector<uint8_t> old = rankingFile(333);
    writeBytes(file(), old);
    std::string error;
    ASSERT_EQ(readRanking(g, error), RankingLoad::Ok);
    g.ranking[0].name = "ZED";
    r_save(g);
    const std::vector<uint8_t> now = readBytes(file());
    ASSERT_EQ(now.size(), old.size());
    EXPECT_EQ(std::memcmp(now.data(), g.ranking.data(), 2670), 0);
    EXPECT_TRUE(std::equal(now.begin() + 2670, now.end(), old.begin() + 2670));
    EXPECT_EQ(now[256], 3);
    EXPECT_EQ(now[257], 'Z');
    // Characters past a string's length are written back as they were read.
    EXPECT_EQ(now[1 * 267 + 200], old[1 * 267 + 200]);
}

TEST_F(RankingTest, SavingWithoutAFileCreatesIt) {
    r_save(g);
    const std::vector<uint8_t> now = readBytes(file());
    ASSERT_EQ(now.size(), 2670u);
    EXPECT_EQ(std::memcmp(now.data(), g.ranking.data(), 2670), 0);
}

TEST_F(RankingTest, AFailedSaveLeavesTheOldFileAndTheGameRunning) {
    const std::vector<uint8_t> old = rankingFile(10);
    writeBytes(file(), old);
    // The new content cannot be written beside the file: that name is taken by a directory.
    fs::create_directory(cwd.path / "score.vtx.tmp");
    g.mode = 3;
    g.newrank = 0;
    g.ranking[0].name = "NEW";
    g.cursor = 39;
    testing::internal::CaptureStderr();
    form.FormKeyDown(vk::X);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(readBytes(file()), old);
    EXPECT_NE(err.find("score.vtx"), std::string::npos) << err;
    EXPECT_EQ(g.mode, 4);
    frames(3);
    EXPECT_EQ(p.framesPresented, 3);
    EXPECT_EQ(g.mode, 4);
}

TEST_F(RankingTest, ResetClearsTheNewEntrySlot) {
    g.ranking[10].name = "OLD";
    g.ranking[10].score = "777";
    shokika(g);
    EXPECT_TRUE(g.ranking[10].name.empty());
    EXPECT_EQ(g.ranking[10].score.view(), "0");
    EXPECT_EQ(g.newrank, 10);
}

} // namespace
