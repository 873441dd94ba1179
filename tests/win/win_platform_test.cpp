// The Windows parts of the platform, run under Wine (or Windows): files under Japanese names
// with spaces, atomic saves, the portable and the installed way of keeping the player's files,
// the open dialog's filter and the frame wait's sleep.

#include "platform/FileLocations.h"
#include "platform/Platform.h"
#include "platform/headless/HeadlessPlatform.h"
#include "platform/sdl/DeadlineSleep.h"
#include "platform/win/WinPlatform.h"
#include "platform/win/WinText.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

const std::string kJapanese = "\xE3\x83\x86\xE3\x82\xB9\xE3\x83\x88 \xE7\x89\x88"; // "テスト 版"

// A fresh folder under the temporary folder, with Japanese characters and a space in its
// name, removed again with everything in it.
class WinFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        wchar_t temp[MAX_PATH + 1];
        ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
        dir_ = narrow(temp) + "vortalix " + kJapanese + " " +
               std::to_string(GetCurrentProcessId()) + "\\";
        std::string error;
        ASSERT_TRUE(p_.makeDirectories(dir_, error)) << error;
        p_.exeDirectory = dir_;
    }
    void TearDown() override {
        std::wstring from = widen(dir_.substr(0, dir_.size() - 1));
        from.push_back(L'\0'); // a list of one name, ended by an empty one
        SHFILEOPSTRUCTW op{};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NO_UI;
        SHFileOperationW(&op);
    }
    void put(const std::string& name, const std::string& text) {
        std::string error;
        ASSERT_TRUE(p_.writeFileAtomic(dir_ + name, text.data(), text.size(), error)) << error;
    }
    std::string text(const std::string& path) {
        std::vector<uint8_t> bytes;
        if (p_.readFile(path, 1 << 20, bytes) != ReadStatus::Ok) return "(unreadable)";
        return std::string(bytes.begin(), bytes.end());
    }

    HeadlessPlatform p_;
    std::string dir_;
};

TEST_F(WinFilesTest, JapaneseNamesAreWrittenReadAndListedAsTheyAre) {
    const std::string name = kJapanese + ".txt";
    put(name, "中身");
    EXPECT_TRUE(p_.fileExists(dir_ + name));
    EXPECT_EQ(text(dir_ + name), "中身");
    // The name Windows keeps is the same one, in UTF-16.
    EXPECT_NE(GetFileAttributesW(widen(dir_ + name).c_str()), INVALID_FILE_ATTRIBUTES);
    const std::vector<std::string> names = p_.listFiles(dir_);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], name);
}

TEST_F(WinFilesTest, NestedFoldersAreMadeOneByOne) {
    const std::string nested = dir_ + "a\\" + kJapanese + "/b";
    std::string error;
    ASSERT_TRUE(p_.makeDirectories(nested, error)) << error;
    EXPECT_TRUE(p_.isDirectory(nested));
    EXPECT_TRUE(p_.isWritableDirectory(nested));
    // Making them again is no mistake.
    EXPECT_TRUE(p_.makeDirectories(nested, error)) << error;
}

TEST_F(WinFilesTest, AFileInTheWayOfAFolderIsNamed) {
    put("taken", "x");
    std::string error;
    EXPECT_FALSE(p_.makeDirectories(dir_ + "taken\\below", error));
    EXPECT_NE(error.find("taken"), std::string::npos) << error;
}

TEST_F(WinFilesTest, AnAtomicSaveReplacesTheOldFileAndLeavesNoTemporary) {
    put("score.vtx", "old contents, longer than the new");
    put("score.vtx", "new");
    EXPECT_EQ(text(dir_ + "score.vtx"), "new");
    EXPECT_FALSE(p_.fileExists(dir_ + "score.vtx.tmp"));
    EXPECT_EQ(p_.listFiles(dir_).size(), 1u);
}

TEST_F(WinFilesTest, AFailedSaveSaysWhyAndKeepsTheOldFile) {
    put("VORTALIX.ini", "kept");
    // A folder where the temporary file should go makes the save fail.
    std::string error;
    ASSERT_TRUE(p_.makeDirectories(dir_ + "VORTALIX.ini.tmp", error));
    EXPECT_FALSE(p_.writeFileAtomic(dir_ + "VORTALIX.ini", "new", 3, error));
    EXPECT_NE(error.find("VORTALIX.ini.tmp"), std::string::npos) << error;
    EXPECT_EQ(text(dir_ + "VORTALIX.ini"), "kept");
}

TEST_F(WinFilesTest, ReadingTellsMissingFoldersLargeFilesAndDevices) {
    std::vector<uint8_t> bytes;
    EXPECT_EQ(p_.readFile(dir_ + "none.bmp", 100, bytes), ReadStatus::Missing);
    EXPECT_EQ(p_.readFile(dir_ + "no folder\\none.bmp", 100, bytes), ReadStatus::Missing);
    EXPECT_EQ(p_.readFile(dir_.substr(0, dir_.size() - 1), 100, bytes), ReadStatus::NotRegular);
    EXPECT_EQ(p_.readFile("NUL", 100, bytes), ReadStatus::NotRegular);
    put("big", std::string(101, 'b'));
    EXPECT_EQ(p_.readFile(dir_ + "big", 100, bytes), ReadStatus::TooLarge);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(p_.readFile(dir_ + "big", 101, bytes), ReadStatus::Ok);
    EXPECT_EQ(bytes.size(), 101u);
    put("empty", "");
    EXPECT_EQ(readRegularFile(dir_ + "empty", 100, bytes), ReadStatus::Ok);
    EXPECT_TRUE(bytes.empty());
}

TEST_F(WinFilesTest, RemovedFilesAreGone) {
    put("g_sc0.bmp", "BM");
    EXPECT_TRUE(p_.removeFile(dir_ + "g_sc0.bmp"));
    EXPECT_FALSE(p_.fileExists(dir_ + "g_sc0.bmp"));
    EXPECT_FALSE(p_.removeFile(dir_ + "g_sc0.bmp"));
}

TEST(WinEnvironmentTest, VariablesComeBackInUtf8) {
    // The base platform's own lookup, not the headless one's stand-in.
    class Real : public HeadlessPlatform {
      public:
        std::optional<std::string> real(const std::string& name) {
            return Platform::environment(name);
        }
    } p;
    ASSERT_TRUE(SetEnvironmentVariableW(L"VORTALIX_TEST", widen(kJapanese).c_str()));
    EXPECT_EQ(p.real("VORTALIX_TEST"), kJapanese);
    SetEnvironmentVariableW(L"VORTALIX_TEST", nullptr);
    EXPECT_FALSE(p.real("VORTALIX_TEST").has_value());
}

// --- where the player's files go ---

class WinLocationsTest : public WinFilesTest {
  protected:
    void SetUp() override {
        WinFilesTest::SetUp();
        std::string error;
        ASSERT_TRUE(p_.makeDirectories(dir_ + "program\\image", error)) << error;
        program_ = dir_ + "program\\";
        p_.exeDirectory = program_;
        p_.env["APPDATA"] = dir_ + "roaming " + kJapanese;
        put("program\\score.vtx", "shipped ranking");
        put("program\\VORTALIX.ini", "[Sound]\r\nSE=1\r\n");
    }
    std::string program_;
};

TEST_F(WinLocationsTest, WithoutTheMarkerTheGameKeepsItsFilesBesideItself) {
    FileLocations where;
    std::string error;
    ASSERT_TRUE(locateFiles(p_, where, error)) << error;
    EXPECT_FALSE(where.installed);
    EXPECT_EQ(where.dataDir, program_);
    EXPECT_EQ(where.settingsDir, program_);
    EXPECT_EQ(where.shotDir, program_);
    EXPECT_EQ(where.rankingFile, "score.vtx");
    ASSERT_TRUE(preparePlayerFiles(p_, where, error)) << error;
    EXPECT_FALSE(p_.isDirectory(p_.env["APPDATA"] + "\\vortalix"));
}

TEST_F(WinLocationsTest, InstalledTheGameKeepsThePlayersFilesInAppData) {
    put("program\\installed.txt", "");
    FileLocations where;
    std::string error;
    ASSERT_TRUE(locateFiles(p_, where, error)) << error;
    EXPECT_TRUE(where.installed);
    const std::string mine = p_.env["APPDATA"] + "\\vortalix\\";
    EXPECT_EQ(where.dataDir, program_);
    EXPECT_EQ(where.settingsDir, mine);
    EXPECT_EQ(where.shotDir, mine);
    EXPECT_EQ(where.rankingFile, mine + "score.vtx");
    ASSERT_TRUE(preparePlayerFiles(p_, where, error)) << error;
    EXPECT_EQ(text(mine + "score.vtx"), "shipped ranking");
    EXPECT_EQ(text(mine + "VORTALIX.ini"), "[Sound]\r\nSE=1\r\n");
}

TEST_F(WinLocationsTest, ThePlayersOwnRankingIsNeverReplacedByTheShippedOne) {
    put("program\\installed.txt", "");
    std::string error;
    const std::string mine = p_.env["APPDATA"] + "\\vortalix\\";
    ASSERT_TRUE(p_.makeDirectories(mine, error)) << error;
    ASSERT_TRUE(p_.writeFileAtomic(mine + "score.vtx", "my ranking", 10, error)) << error;
    FileLocations where;
    ASSERT_TRUE(locateFiles(p_, where, error)) << error;
    ASSERT_TRUE(preparePlayerFiles(p_, where, error)) << error;
    EXPECT_EQ(text(mine + "score.vtx"), "my ranking");
}

TEST_F(WinLocationsTest, InstalledWithoutAppDataTheGameSaysSo) {
    put("program\\installed.txt", "");
    p_.env.erase("APPDATA");
    FileLocations where;
    std::string error;
    EXPECT_FALSE(locateFiles(p_, where, error));
    EXPECT_NE(error.find("APPDATA"), std::string::npos) << error;
}

TEST_F(WinLocationsTest, WithoutDataTheGameRunsWhereItIsAndSaysWhatIsMissing) {
    put("program\\installed.txt", "");
    p_.exeDirectory = dir_;
    FileLocations where;
    std::string error;
    ASSERT_TRUE(locateFiles(p_, where, error)) << error;
    EXPECT_FALSE(where.installed);
    EXPECT_EQ(where.dataDir, dir_);
}

// --- the dialog's filter and the frame wait ---

TEST(WinDialogTest, TheFilterBecomesNulSeparatedPairs) {
    const std::wstring f = openDialogFilter("画像|*.bmp;*.jpg|JPEG|*.jpeg");
    constexpr wchar_t kWant[] = L"\u753B\u50CF\0*.bmp;*.jpg\0JPEG\0*.jpeg\0\0";
    const std::wstring want(kWant, sizeof kWant / sizeof kWant[0] - 1);
    EXPECT_EQ(f, want);
}

TEST(WinTextTest, TextSurvivesTheWayToUtf16AndBack) {
    for (const std::string& s :
         {std::string(), std::string("plain"), kJapanese, std::string("\xF0\x9F\x91\x91 crown")}) {
        EXPECT_EQ(narrow(widen(s)), s);
    }
    EXPECT_EQ(widen("\xE7\x89\x88"), L"\u7248");
}

TEST(WinSleepTest, TheWaitNeverEndsBeforeItsDeadline) {
    sharpenTimerSlack();
    for (int32_t i = 0; i < 20; ++i) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::microseconds(1500);
        sleepUntil(deadline);
        EXPECT_GE(std::chrono::steady_clock::now(), deadline);
    }
}

} // namespace
