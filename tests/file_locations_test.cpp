// Where the game reads and writes: portable beside the program, or installed with the player's
// files in the XDG base directories, and the command line of the window program.

#include "app/CommandLine.h"
#include "file_fixtures.h"
#include "platform/FileLocations.h"
#include "platform/headless/HeadlessPlatform.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

namespace {

namespace fs = std::filesystem;
using fixtures::writeBytes;

// A program folder without data and an installed data folder with them: an installation.
struct Installed : ::testing::Test {
    void SetUp() override {
        fs::create_directories(bin / "x");
        fs::create_directories(share / "image");
        writeBytes(share / "score.vtx", std::vector<uint8_t>(2670, 7));
        writeBytes(share / "VORTALIX.ini", {'[', 'Z', 'o', 'o', 'm', ']', '\n'});
        p.exeDirectory = bin.path() + "/";
        p.installedData = share.path() + "/";
        p.env["HOME"] = home.path();
        // Started from an empty folder, as a menu starts it: no ranking there.
        savedCwd = fs::current_path();
        fs::current_path(cwd.path());
    }
    void TearDown() override { fs::current_path(savedCwd); }
    FileLocations locate() {
        FileLocations where;
        std::string error;
        EXPECT_TRUE(locateFiles(p, where, error)) << error;
        return where;
    }
    fixtures::TempDir bin, share, home, cwd;
    fs::path savedCwd;
    HeadlessPlatform p;
};

TEST_F(Installed, DataBesideAWritableProgramIsThePortableGameAsAlways) {
    fs::create_directories(bin / "image");
    const FileLocations where = locate();
    EXPECT_FALSE(where.installed);
    EXPECT_EQ(where.dataDir, p.exeDirectory);
    EXPECT_EQ(where.settingsDir, p.exeDirectory);
    EXPECT_EQ(where.shotDir, p.exeDirectory);
    EXPECT_EQ(where.rankingFile, "score.vtx");
}

TEST_F(Installed, NoDataAnywhereStaysPortableSoTheMissingFileIsReported) {
    p.installedData = bin / "nowhere/";
    const FileLocations where = locate();
    EXPECT_FALSE(where.installed);
    EXPECT_EQ(where.settingsDir, p.exeDirectory);
}

TEST_F(Installed, DataBesideAReadOnlyProgramAreReadThereButNothingIsWrittenThere) {
    struct ReadOnlyProgram : HeadlessPlatform {
        bool isWritableDirectory(const std::string&) override { return false; }
    } ro;
    fs::create_directories(bin / "image");
    ro.exeDirectory = p.exeDirectory;
    ro.env["HOME"] = home.path();
    FileLocations where;
    std::string error;
    ASSERT_TRUE(locateFiles(ro, where, error)) << error;
    EXPECT_TRUE(where.installed);
    EXPECT_EQ(where.dataDir, ro.exeDirectory);
    EXPECT_EQ(where.settingsDir, home.path() + "/.config/vortalix/");
}

struct XdgCase {
    const char* name;
    const char* config; // XDG_CONFIG_HOME, nullptr for unset; "@" stands for the temp root
    const char* data;   // XDG_DATA_HOME
    const char* settingsUnder;
    const char* shotsUnder;
};

class XdgRules : public Installed, public ::testing::WithParamInterface<XdgCase> {};

TEST_P(XdgRules, PickThePlayersFolders) {
    const XdgCase& c = GetParam();
    const auto expand = [&](const char* v) {
        std::string s = v;
        if (!s.empty() && s[0] == '@') s = home.path() + s.substr(1);
        return s;
    };
    if (c.config) p.env["XDG_CONFIG_HOME"] = expand(c.config);
    if (c.data) p.env["XDG_DATA_HOME"] = expand(c.data);
    const FileLocations where = locate();
    EXPECT_TRUE(where.installed);
    EXPECT_EQ(where.dataDir, p.installedData);
    EXPECT_EQ(where.settingsDir, expand(c.settingsUnder) + "/vortalix/");
    EXPECT_EQ(where.shotDir, expand(c.shotsUnder) + "/vortalix/");
    EXPECT_EQ(where.rankingFile, where.shotDir + "score.vtx");
}

INSTANTIATE_TEST_SUITE_P(
    Installed, XdgRules,
    ::testing::Values(XdgCase{"Unset", nullptr, nullptr, "@/.config", "@/.local/share"},
                      XdgCase{"Set", "@/cfg", "@/dat/", "@/cfg", "@/dat"},
                      XdgCase{"Empty", "", "", "@/.config", "@/.local/share"},
                      XdgCase{"RelativeIgnored", "cfg", "./dat", "@/.config", "@/.local/share"},
                      XdgCase{"OnlyConfigSet", "@/c", nullptr, "@/c", "@/.local/share"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Installed, WithoutAnyHomeTheGameSaysWhy) {
    p.env.clear();
    p.env["XDG_DATA_HOME"] = "relative/data";
    FileLocations where;
    std::string error;
    EXPECT_FALSE(locateFiles(p, where, error));
    EXPECT_NE(error.find("XDG_CONFIG_HOME"), std::string::npos) << error;
    EXPECT_NE(error.find("HOME"), std::string::npos) << error;
}

TEST_F(Installed, FirstStartMakesPrivateFoldersAndGivesTheShippedFirstFiles) {
    const FileLocations where = locate();
    std::string error;
    ASSERT_TRUE(preparePlayerFiles(p, where, error)) << error;
    for (const std::string& dir :
         {home / ".config", home / ".config/vortalix", home / ".local/share/vortalix"}) {
        struct stat st;
        ASSERT_EQ(stat(dir.c_str(), &st), 0) << dir;
        EXPECT_EQ(st.st_mode & 0777, 0700u) << dir;
    }
    EXPECT_EQ(fixtures::readBytes(where.rankingFile), fixtures::readBytes(share / "score.vtx"));
    EXPECT_TRUE(fs::exists(where.settingsDir + "VORTALIX.ini"));
}

TEST_F(Installed, ThePlayersOwnRankingAndSettingsAreNeverReplaced) {
    const FileLocations where = locate();
    writeBytes(where.rankingFile, {1, 2, 3});
    writeBytes(where.settingsDir + "VORTALIX.ini", {'x'});
    std::string error;
    ASSERT_TRUE(preparePlayerFiles(p, where, error)) << error;
    EXPECT_EQ(fixtures::readBytes(where.rankingFile), (std::vector<uint8_t>{1, 2, 3}));
    EXPECT_EQ(fixtures::readBytes(where.settingsDir + "VORTALIX.ini"), std::vector<uint8_t>{'x'});
}

TEST_F(Installed, AFolderThatCannotBeMadeIsAReasonNotACrash) {
    writeBytes(home / "file", {0});
    p.env["XDG_CONFIG_HOME"] = home / "file/below";
    const FileLocations where = locate();
    std::string error;
    EXPECT_FALSE(preparePlayerFiles(p, where, error));
    EXPECT_NE(error.find(home / "file/below"), std::string::npos) << error;
}

constexpr int kGoesOn = -1; // the command line asks for a window, a replay or a sending

struct ArgsCase {
    const char* name;
    std::vector<const char*> args;
    CommandLine::Action action;
    int exitCode; // what the program ends with after answering on the console, or kGoesOn
};

class Arguments : public ::testing::TestWithParam<ArgsCase> {};

TEST_P(Arguments, DecideWhatTheProgramDoes) {
    std::vector<const char*> argv = {"vortalix"};
    argv.insert(argv.end(), GetParam().args.begin(), GetParam().args.end());
    const CommandLine c = parseCommandLine(int(argv.size()), argv.data());
    EXPECT_EQ(c.action, GetParam().action);
    EXPECT_EQ(c.problem.empty(), c.action != CommandLine::Action::BadUsage);

    // --version and --help answer on standard output and end well; a mistake shows the usage
    // on standard error and ends with 2; anything else is left to the program.
    int code = kGoesOn;
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    const bool answered = answeredOnConsole(c, code);
    const std::string out = testing::internal::GetCapturedStdout();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(answered ? code : kGoesOn, GetParam().exitCode);
    if (!answered) {
        EXPECT_EQ(out + err, "");
    } else if (code == 0) {
        EXPECT_NE(out, "");
        EXPECT_EQ(err, "");
    } else {
        EXPECT_EQ(out, "");
        EXPECT_NE(err.find(c.problem), std::string::npos) << err;
        EXPECT_NE(err.find("usage: vortalix"), std::string::npos) << err;
    }
}

INSTANTIATE_TEST_SUITE_P(
    CommandLine, Arguments,
    ::testing::Values(
        ArgsCase{"None", {}, CommandLine::Action::Play, kGoesOn},
        ArgsCase{"Version", {"--version"}, CommandLine::Action::PrintVersion, 0},
        ArgsCase{"Help", {"--help"}, CommandLine::Action::PrintUsage, 0},
        ArgsCase{"Unknown", {"--fullscreen"}, CommandLine::Action::BadUsage, 2},
        ArgsCase{"AFile", {"game.bmp"}, CommandLine::Action::BadUsage, 2},
        ArgsCase{"Replay", {"--replay", "a.vtr"}, CommandLine::Action::WatchReplay, kGoesOn},
        ArgsCase{"ReplayWithoutFile", {"--replay"}, CommandLine::Action::BadUsage, 2},
        ArgsCase{"Submit", {"--submit", "a.vtr"}, CommandLine::Action::SubmitReplay, kGoesOn},
        ArgsCase{"SubmitToServer",
                 {"--submit", "a.vtr", "--server", "http://127.0.0.1:8080"},
                 CommandLine::Action::SubmitReplay,
                 kGoesOn},
        ArgsCase{"SubmitWithoutFile", {"--submit"}, CommandLine::Action::BadUsage, 2},
        ArgsCase{"ServerWithoutAddress",
                 {"--submit", "a.vtr", "--server"},
                 CommandLine::Action::BadUsage,
                 2},
        ArgsCase{
            "SubmitPlusMore", {"--submit", "a.vtr", "--fast"}, CommandLine::Action::BadUsage, 2},
        ArgsCase{"VersionPlusMore", {"--version", "x"}, CommandLine::Action::BadUsage, 2}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
