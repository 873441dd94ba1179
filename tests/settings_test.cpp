// The settings file as the player finds and edits it: defaults for missing keys, the low 8 bits
// of the flags, hand-edited files that keep their own lines through a save, values that are not
// numbers, and files that cannot be read or written.

#include "app/GameState.h"
#include "app/Settings.h"
#include "app/SettingsText.h"
#include "file_fixtures.h"
#include "platform/headless/HeadlessPlatform.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

using fixtures::readText;
using fixtures::writeText;

class Settings : public ::testing::Test {
  protected:
    void SetUp() override { fresh(); }

    // A game state as FormCreate has it when the settings are read.
    void fresh() {
        g = std::make_unique<GameState>();
        g->platform = &platform;
        g->basedir = dir.path() + "/";
        g->files.settingsDir = g->basedir;
        g->midiplayer = std::make_unique<TMCIMidi>(platform, 1);
    }
    std::string iniPath() const { return dir / "VORTALIX.ini"; }

    // The lines of the saved file without blank ones.
    std::vector<std::string> savedLines() const {
        std::vector<std::string> lines;
        std::string text = readText(iniPath()), line;
        for (char c : text) {
            if (c == '\n') {
                if (!line.empty()) lines.push_back(line);
                line.clear();
            } else {
                line += c;
            }
        }
        if (!line.empty()) lines.push_back(line);
        return lines;
    }

    fixtures::TempDir dir;
    HeadlessPlatform platform;
    std::unique_ptr<GameState> g;
};

TEST_F(Settings, MissingFileLeavesEverythingOffAndSavesAllFiveKeysInOrder) {
    EXPECT_FALSE(readSettings(*g));
    EXPECT_TRUE(g->settingsRead);
    EXPECT_EQ(g->bgpath, "none");
    EXPECT_EQ(g->bgenabled, 0);
    EXPECT_EQ(g->seenabled, 0);
    EXPECT_EQ(g->midiplayer->enabled, 0);
    EXPECT_EQ(g->zoom, 0);
    g->bgpath = "/pictures/sea.jpg";
    data_save(*g);
    const std::vector<std::string> want = {"[BackGround]", "Path=/pictures/sea.jpg",
                                           "Enable=0",     "[Sound]",
                                           "SE=0",         "BGM=0",
                                           "[Zoom]",       "Enable=0",
                                           "[Display]",    "Scale=1",
                                           "Fullscreen=0"};
    EXPECT_EQ(savedLines(), want);
}

TEST_F(Settings, OnlySoundEffectsOffKeepsTheOtherDefaults) {
    writeText(iniPath(), "[Sound]\nSE=0\n");
    EXPECT_TRUE(readSettings(*g));
    EXPECT_EQ(g->bgenabled, 1);
    EXPECT_EQ(g->seenabled, 0);
    EXPECT_EQ(g->midiplayer->enabled, 1);
    EXPECT_EQ(g->zoom, 0);
    EXPECT_EQ(g->bgpath, "none");
    g->bgpath = dir / "image/t_back.jpg";
    data_save(*g);
    const std::vector<std::string> want = {
        "[Sound]",     "SE=0",   "BGM=1",    "[BackGround]", "Path=" + (dir / "image/t_back.jpg"),
        "Enable=1",    "[Zoom]", "Enable=0", "[Display]",    "Scale=1",
        "Fullscreen=0"};
    EXPECT_EQ(savedLines(), want);
}

struct FlagCase {
    const char* value;
    uint8_t kept; // the low 8 bits
};

class SettingsFlags : public Settings, public ::testing::WithParamInterface<FlagCase> {};

TEST_P(SettingsFlags, KeepTheLowEightBitsAndAreWrittenBackSo) {
    const FlagCase& c = GetParam();
    const std::string v = c.value;
    writeText(iniPath(), "[BackGround]\nPath=none\nEnable=" + v + "\n[Sound]\nSE=" + v +
                             "\nBGM=" + v + "\n[Zoom]\nEnable=" + v + "\n");
    ASSERT_TRUE(readSettings(*g));
    EXPECT_EQ(g->bgenabled, c.kept);
    EXPECT_EQ(g->seenabled, c.kept);
    EXPECT_EQ(g->midiplayer->enabled, c.kept);
    EXPECT_EQ(g->zoom, c.kept);
    data_save(*g);
    const std::string k = std::to_string(c.kept);
    const std::vector<std::string> want = {
        "[BackGround]", "Path=none",   "Enable=" + k, "[Sound]", "SE=" + k,     "BGM=" + k,
        "[Zoom]",       "Enable=" + k, "[Display]",   "Scale=1", "Fullscreen=0"};
    EXPECT_EQ(savedLines(), want);
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsFlags,
                         ::testing::Values(FlagCase{"0", 0}, FlagCase{"1", 1}, FlagCase{"256", 0},
                                           FlagCase{"257", 1}, FlagCase{"2", 2},
                                           FlagCase{"-1", 255}, FlagCase{"010", 10},
                                           FlagCase{"+3", 3}, FlagCase{"2147483647", 255},
                                           FlagCase{"-2147483648", 0}),
                         [](const auto& i) { return case_names::text(i.param.value); });

// The player's file keeps its own order; a key it lacks joins the end of its section.
TEST_F(Settings, MissingKeyJoinsItsSection) {
    writeText(iniPath(), "[BackGround]\nEnable=0\n[Zoom]\nEnable=1\n");
    readSettings(*g);
    data_save(*g);
    const std::vector<std::string> want = {"[BackGround]", "Enable=0", "Path=none",   "[Zoom]",
                                           "Enable=1",     "[Sound]",  "SE=1",        "BGM=1",
                                           "[Display]",    "Scale=1",  "Fullscreen=0"};
    EXPECT_EQ(savedLines(), want);
}

TEST_F(Settings, ZoomOtherThanOneIsKeptAsItIs) {
    writeText(iniPath(), "[Zoom]\nEnable=2\n");
    readSettings(*g);
    EXPECT_EQ(g->zoom, 2);
    data_save(*g);
    fresh();
    readSettings(*g);
    EXPECT_EQ(g->zoom, 2);
}

struct NotNumber {
    const char* value;
};

class SettingsNotNumbers : public Settings, public ::testing::WithParamInterface<NotNumber> {};

TEST_P(SettingsNotNumbers, FallBackToTheKeysDefaultWithAMessage) {
    const std::string v = GetParam().value;
    writeText(iniPath(), "[BackGround]\nEnable=" + v + "\n[Sound]\nSE=" + v + "\nBGM=" + v +
                             "\n[Zoom]\nEnable=" + v + "\n");
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(readSettings(*g));
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(g->bgenabled, 1);
    EXPECT_EQ(g->seenabled, 1);
    EXPECT_EQ(g->midiplayer->enabled, 1);
    EXPECT_EQ(g->zoom, 0);
    // One line per key, each naming the file, the key and the value.
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 4) << printed;
    EXPECT_NE(printed.find(iniPath()), std::string::npos) << printed;
    EXPECT_NE(printed.find("SE"), std::string::npos) << printed;
    EXPECT_NE(printed.find("BGM"), std::string::npos) << printed;
    EXPECT_NE(printed.find("\"" + v + "\""), std::string::npos) << printed;
    EXPECT_TRUE(g->settingsRead) << "a bad value is replaced, the file is still saved";
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingsNotNumbers,
                         ::testing::Values(NotNumber{"0x10"}, NotNumber{"12abc"}, NotNumber{"yes"},
                                           NotNumber{"1.5"}, NotNumber{"2147483648"},
                                           NotNumber{"-2147483649"}, NotNumber{"1 ; on"},
                                           NotNumber{"+"}, NotNumber{"１"}),
                         [](const auto& i) { return case_names::text(i.param.value); });

TEST_F(Settings, EmptyValueIsNotANumber) {
    writeText(iniPath(), "[Sound]\nSE=\n");
    ::testing::internal::CaptureStderr();
    readSettings(*g);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(g->seenabled, 1);
    EXPECT_NE(printed.find("SE"), std::string::npos);
}

struct DecimalCase {
    const char* text;
    bool ok;
    int32_t value;
};
class SettingsDecimal : public ::testing::TestWithParam<DecimalCase> {};
TEST_P(SettingsDecimal, ParsesBaseTenOnly) {
    int32_t v = 12345;
    EXPECT_EQ(parseDecimal(GetParam().text, v), GetParam().ok) << GetParam().text;
    EXPECT_EQ(v, GetParam().ok ? GetParam().value : 12345) << "untouched when refused";
}
INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsDecimal,
    ::testing::Values(
        DecimalCase{"0", true, 0}, DecimalCase{"010", true, 10}, DecimalCase{"-0", true, 0},
        DecimalCase{"+42", true, 42}, DecimalCase{"-17", true, -17},
        DecimalCase{"2147483647", true, 2147483647}, DecimalCase{"-2147483648", true, INT32_MIN},
        DecimalCase{"00000000000000000001", true, 1}, DecimalCase{"2147483648", false, 0},
        DecimalCase{"-2147483649", false, 0}, DecimalCase{"99999999999999999999", false, 0},
        DecimalCase{"", false, 0}, DecimalCase{"-", false, 0}, DecimalCase{"0x10", false, 0},
        DecimalCase{"12abc", false, 0}, DecimalCase{" 1", false, 0}, DecimalCase{"1 ", false, 0},
        DecimalCase{"--1", false, 0}, DecimalCase{"1e3", false, 0}),
    [](const auto& i) { return case_names::text(i.param.text); });

// A file as a player leaves it after editing it by hand in some editor.
const std::string kLongPath = "/home/player/" + std::string(300, 'p') + "/背景 画像.jpg";
const std::string kHandEdited = "\xEF\xBB\xBF; VORTALIX settings, kept by hand\r\n"
                                "\r\n"
                                "[other tool]\r\n"
                                "; its own comment\r\n"
                                "colour=blue\r\n"
                                "size = 12\r\n"
                                "\r\n"
                                "[background]\r\n"
                                "# the picture of the field\r\n"
                                "path = " +
                                kLongPath +
                                "\r\n"
                                "ENABLE   =   0\r\n"
                                "\r\n"
                                "[SOUND]\r\n"
                                "se=1\r\n"
                                "Bgm\t=\t0\r\n"
                                "\r\n"
                                "[zOOm]\r\n"
                                "enable=1\r\n"
                                "; last words of the file\r\n";

TEST_F(Settings, HandEditedFileIsReadRight) {
    writeText(iniPath(), kHandEdited);
    ASSERT_TRUE(readSettings(*g));
    EXPECT_EQ(g->bgpath, kLongPath);
    EXPECT_EQ(g->bgenabled, 0);
    EXPECT_EQ(g->seenabled, 1);
    EXPECT_EQ(g->midiplayer->enabled, 0);
    EXPECT_EQ(g->zoom, 1);
}

TEST_F(Settings, HandEditedFileKeepsItsOwnLinesThroughASave) {
    writeText(iniPath(), kHandEdited);
    ASSERT_TRUE(readSettings(*g));
    g->seenabled = 0;
    g->bgenabled = 1;
    data_save(*g);
    const std::string saved = readText(iniPath());
    EXPECT_EQ(saved.rfind("\xEF\xBB\xBF", 0), 0u) << "the byte-order mark stays";
    for (const char* line :
         {"; VORTALIX settings, kept by hand", "[other tool]", "; its own comment", "colour=blue",
          "size=12", "[background]", "# the picture of the field", "[SOUND]", "[zOOm]",
          "; last words of the file"})
        EXPECT_NE(saved.find(std::string(line) + "\n"), std::string::npos) << line;
    // The game's values are written into the player's own sections, not beside them.
    EXPECT_EQ(saved.find("[BackGround]"), std::string::npos) << saved;
    EXPECT_EQ(saved.find("[Sound]"), std::string::npos) << saved;
    EXPECT_NE(saved.find("path=" + kLongPath + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("ENABLE=1\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("se=0\n"), std::string::npos) << saved;
    // Each comment once: saving twice does not pile them up.
    data_save(*g);
    const std::string twice = readText(iniPath());
    EXPECT_EQ(twice, saved);

    fresh();
    ASSERT_TRUE(readSettings(*g));
    EXPECT_EQ(g->bgpath, kLongPath);
    EXPECT_EQ(g->bgenabled, 1);
    EXPECT_EQ(g->seenabled, 0);
    EXPECT_EQ(g->midiplayer->enabled, 0);
    EXPECT_EQ(g->zoom, 1);
}

TEST_F(Settings, AKeyGivenTwiceCountsByItsLastValue) {
    writeText(iniPath(), "[Sound]\nSE=0\nSE=1\n[sound]\nBGM=0\n");
    ASSERT_TRUE(readSettings(*g));
    EXPECT_EQ(g->seenabled, 1);
    EXPECT_EQ(g->midiplayer->enabled, 0);
}

TEST_F(Settings, EmptyPathIsKeptForTheDefaultPictureRule) {
    writeText(iniPath(), "[BackGround]\nPath=\n");
    ASSERT_TRUE(readSettings(*g));
    EXPECT_EQ(g->bgpath, "");
}

// --- files that cannot be used ---

// Refused settings: the game runs on the defaults, says so, and never writes over the file.
void expectRefusedAndNotWritten(const GameState& g, const std::string& path,
                                const std::string& printed) {
    EXPECT_FALSE(g.settingsRead);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find(path), std::string::npos) << printed;
    EXPECT_EQ(g.bgpath, "none");
    EXPECT_EQ(g.bgenabled, 1);
    EXPECT_EQ(g.seenabled, 1);
    EXPECT_EQ(g.zoom, 0);
}

TEST_F(Settings, DirectoryInPlaceOfTheFileIsRefusedAndNotWritten) {
    std::filesystem::create_directory(iniPath());
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(readSettings(*g));
    expectRefusedAndNotWritten(*g, iniPath(), ::testing::internal::GetCapturedStderr());
    data_save(*g);
    EXPECT_TRUE(std::filesystem::is_directory(iniPath()));
    EXPECT_FALSE(std::filesystem::exists(iniPath() + ".tmp"));
}

TEST_F(Settings, FifoInPlaceOfTheFileDoesNotHang) {
    ASSERT_EQ(mkfifo(iniPath().c_str(), 0600), 0);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(readSettings(*g));
    expectRefusedAndNotWritten(*g, iniPath(), ::testing::internal::GetCapturedStderr());
    data_save(*g);
    struct stat st {};
    ASSERT_EQ(stat(iniPath().c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

TEST_F(Settings, HugeFileIsRefusedAndKept) {
    const std::string huge = "[Sound]\nSE=0\n" + std::string(1024 * 1024 + 10, ';');
    writeText(iniPath(), huge);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(readSettings(*g));
    expectRefusedAndNotWritten(*g, iniPath(), ::testing::internal::GetCapturedStderr());
    data_save(*g);
    EXPECT_EQ(readText(iniPath()), huge);
}

TEST_F(Settings, BinaryFileIsRefusedAndKept) {
    const char raw[] = "[Sound]\nSE=0\n\0\x01\x02[Zoom]\nEnable=1\n";
    const std::string binary(raw, sizeof raw - 1);
    writeText(iniPath(), binary);
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(readSettings(*g));
    expectRefusedAndNotWritten(*g, iniPath(), ::testing::internal::GetCapturedStderr());
    data_save(*g);
    EXPECT_EQ(readText(iniPath()), binary);
}

TEST_F(Settings, FailedWriteKeepsTheOldFileAndSaysSo) {
    const std::string old = "[Sound]\nSE=0\n";
    writeText(iniPath(), old);
    ASSERT_TRUE(readSettings(*g));
    // The temporary file cannot be made where a directory of its name stands, root or not.
    std::filesystem::create_directory(iniPath() + ".tmp");
    g->seenabled = 1;
    ::testing::internal::CaptureStderr();
    data_save(*g);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(readText(iniPath()), old);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), 1) << printed;
    EXPECT_NE(printed.find("not saved"), std::string::npos) << printed;
}

TEST_F(Settings, FileMadeUnreadableBeforeTheSaveIsNotReplaced) {
    writeText(iniPath(), "[Sound]\nSE=0\n");
    ASSERT_TRUE(readSettings(*g));
    // Between start and end the file was replaced by a folder: saving must not destroy it.
    std::filesystem::remove(iniPath());
    std::filesystem::create_directory(iniPath());
    fixtures::writeText(iniPath() + "/inside", "player's");
    ::testing::internal::CaptureStderr();
    data_save(*g);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(readText(iniPath() + "/inside"), "player's");
    EXPECT_NE(printed.find("not saved"), std::string::npos) << printed;
}

TEST_F(Settings, NothingIsSavedBeforeTheSettingsWereRead) {
    // The end at a missing ranking file comes before readSettings.
    writeText(iniPath(), "[Sound]\nSE=0\n");
    data_save(*g);
    EXPECT_EQ(readText(iniPath()), "[Sound]\nSE=0\n");
}

// --- [Display] ---

struct DisplayCase {
    const char* name;
    const char* section; // the player's [Display] lines
    bool sizesWindow;    // Scale decides the window
    int32_t factor;      // the window's factor
    uint8_t fullscreen;
    int messages;        // lines on stderr
    const char* written; // the [Display] lines after a save
};

class SettingsDisplay : public Settings, public ::testing::WithParamInterface<DisplayCase> {};

TEST_P(SettingsDisplay, ReadUsedAndWrittenBack) {
    const DisplayCase& c = GetParam();
    writeText(iniPath(), std::string("[Zoom]\nEnable=0\n[Display]\n") + c.section);
    ::testing::internal::CaptureStderr();
    ASSERT_TRUE(readSettings(*g));
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(scaleSizesWindow(*g), c.sizesWindow);
    EXPECT_EQ(windowFactor(*g), c.factor);
    EXPECT_EQ(g->fullscreen, c.fullscreen);
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\n'), c.messages) << printed;
    if (c.messages > 0) {
        EXPECT_NE(printed.find("[Display]"), std::string::npos) << printed;
    }
    data_save(*g);
    const std::string saved = readText(iniPath());
    EXPECT_NE(saved.find(std::string("[Display]\n") + c.written), std::string::npos) << saved;
    // What was written reads back the same.
    fresh();
    ASSERT_TRUE(readSettings(*g));
    EXPECT_EQ(windowFactor(*g), c.factor);
    EXPECT_EQ(g->fullscreen, c.fullscreen);
}

INSTANTIATE_TEST_SUITE_P(
    Settings, SettingsDisplay,
    ::testing::Values(
        DisplayCase{"Three", "Scale=3\nFullscreen=0\n", true, 3, 0, 0, "Scale=3\nFullscreen=0\n"},
        DisplayCase{"FitTheScreen", "Scale=0\n", true, 0, 0, 0, "Scale=0\nFullscreen=0\n"},
        DisplayCase{"Eight", "Scale=8\nFullscreen=1\n", true, 8, 1, 0, "Scale=8\nFullscreen=1\n"},
        DisplayCase{"NineKeptButUnused", "Scale=9\n", false, 1, 0, 1, "Scale=9\nFullscreen=0\n"},
        DisplayCase{"NegativeKeptButUnused", "Scale=-2\n", false, 1, 0, 1,
                    "Scale=-2\nFullscreen=0\n"},
        DisplayCase{"WordsGiveTheDefault", "Scale=big\nFullscreen=yes\n", false, 1, 0, 2,
                    "Scale=1\nFullscreen=0\n"},
        DisplayCase{"FullscreenLowEightBits", "Fullscreen=257\n", false, 1, 1, 0,
                    "Fullscreen=1\nScale=1\n"}),
    [](const ::testing::TestParamInfo<DisplayCase>& info) { return std::string(info.param.name); });

TEST_F(Settings, ZoomWithoutAScaleKeepsTheDoubledWindow) {
    writeText(iniPath(), "[Zoom]\nEnable=1\n");
    ASSERT_TRUE(readSettings(*g));
    EXPECT_FALSE(scaleSizesWindow(*g));
    EXPECT_EQ(windowFactor(*g), 2);
    data_save(*g);
    fresh();
    ASSERT_TRUE(readSettings(*g));
    EXPECT_EQ(windowFactor(*g), 2) << "the zoom doubles it again";
    EXPECT_EQ(g->zoom, 1);
    // Scale=1 written by the game, then the zoom turned off and on by hand.
    g->zoom = 0;
    EXPECT_EQ(windowFactor(*g), 1);
    g->zoom = 1;
    EXPECT_EQ(windowFactor(*g), 2);
    g->displayScale = 3;
    EXPECT_EQ(windowFactor(*g), 3) << "a larger scale wins over the zoom";
}

TEST(SettingsComments, LostCommentsAreAppendedOnce) {
    std::string saved = "[a]\n; kept\nk=v\n";
    keepLostComments("; kept\n[a]\nk=v\n; tail one\n  # tail two  \r\n", saved);
    EXPECT_EQ(saved, "[a]\n; kept\nk=v\n; tail one\n# tail two\n");
    std::string same = "; x\n[a]\n";
    keepLostComments("; x\n[a]\n", same);
    EXPECT_EQ(same, "; x\n[a]\n");
    std::string repeated = "; x\n";
    keepLostComments("; x\n; x\n", repeated);
    EXPECT_EQ(repeated, "; x\n; x\n");
}

} // namespace
