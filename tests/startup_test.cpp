// Start-up on a made-up installation: every file it needs, each one missing in turn, the three
// ways the program ends and what each leaves in the settings file, the zoom rule, and the F2
// choice of a background picture.

#include "app/Loadpic.h"
#include "app/ProgramSteps.h"
#include "app/TForm1.h"
#include "file_fixtures.h"
#include "platform/Picture.h"
#include "platform/headless/HeadlessPlatform.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

using fixtures::readBytes;
using fixtures::readText;
using fixtures::writeBytes;
using fixtures::writeText;

const char* const kOpenError = "オープンエラー";
const char* const kNoRanking = "スコアランキング(score.vtx)が見つかりません！";
const char* const kNoImage = "画像ファイルが見つかりません！";
const char* const kNoWav = "WAVファイルが見つかりません！";

const std::vector<std::string> kSheets = {
    "bonus01.bmp", "bairitu01.bmp", "efect01.bmp",   "title02.bmp",   "moji01.bmp", "moji02.bmp",
    "garge01.bmp", "bomb01.bmp",    "thunder01.bmp", "thunder02.bmp", "bomb02.bmp"};
const std::vector<std::string> kWavs = {"get.wav",     "comp01.wav", "baku03.wav", "lvup.wav",
                                        "scratch.wav", "baku05.wav", "count1.wav", "count2.wav",
                                        "count3.wav",  "count02.wav"};

// Counts the writes of the settings file, which go through the platform's atomic write.
class CountingPlatform : public HeadlessPlatform {
  public:
    bool writeFileAtomic(const std::string& path, const void* data, size_t size,
                         std::string& error) override {
        if (path.size() >= 12 && path.compare(path.size() - 12, 12, "VORTALIX.ini") == 0)
            ++settingsWrites;
        return HeadlessPlatform::writeFileAtomic(path, data, size, error);
    }
    int32_t settingsWrites = 0;
};

std::vector<uint8_t> smallWav() {
    std::vector<uint8_t> w = {'R', 'I', 'F',  'F',  44,  0,   0,    0,    'W', 'A', 'V',
                              'E', 'f', 'm',  't',  ' ', 16,  0,    0,    0,   1,   0,
                              1,   0,   0x11, 0x2b, 0,   0,   0x11, 0x2b, 0,   0,   1,
                              0,   8,   0,    'd',  'a', 't', 'a',  8,    0,   0,   0};
    w.insert(w.end(), 8, 128);
    return w;
}

// Ten ranks of 267 bytes: a score "0" and the name "AAA".
std::vector<uint8_t> rankingFile(size_t size = 2670) {
    std::vector<uint8_t> r(size, 0);
    for (size_t k = 0; k < 10 && (k + 1) * 267 <= size; ++k) {
        uint8_t* rec = r.data() + k * 267;
        rec[0] = 1;
        rec[1] = '0';
        rec[256] = 3;
        rec[257] = rec[258] = rec[259] = 'A';
    }
    return r;
}

bool sameSurface(const Surface& a, const Surface& b) {
    return a.width() == b.width() && a.height() == b.height() && a.bytes() == b.bytes();
}

class Startup : public ::testing::Test {
  protected:
    void SetUp() override {
        savedCwd = std::filesystem::current_path().string();
        for (size_t i = 0; i < kSheets.size(); ++i)
            writeBytes(exe / ("image/" + kSheets[i]),
                       encodeBmp24(fixtures::solidSurface(16, 16, uint8_t(i * 20 + 1), 50, 60)));
        writeBytes(exe / "image/t_back.jpg", fixtures::makeColourJpeg(48, 48));
        for (const std::string& w : kWavs) writeBytes(exe / ("sound/" + w), smallWav());
        writeBytes(work / "score.vtx", rankingFile());
        ASSERT_EQ(chdir(work.path().c_str()), 0);
        platform.exeDirectory = exe.path() + "/";
    }
    void TearDown() override { ASSERT_EQ(chdir(savedCwd.c_str()), 0); }

    std::string iniPath() const { return exe / "VORTALIX.ini"; }
    std::string defaultPicture() const { return exe / "image/t_back.jpg"; }

    // Runs a whole program on `p` (the fixture's platform unless given).
    int run(int64_t frames, CountingPlatform* p = nullptr) {
        CountingPlatform& use = p ? *p : platform;
        TForm1 form(use);
        return runProgram(form, frames);
    }

    void expectOneBox(const std::string& text) const {
        ASSERT_EQ(platform.messageBoxes.size(), 1u);
        EXPECT_EQ(platform.messageBoxes[0].text, text);
        EXPECT_EQ(platform.messageBoxes[0].caption, kOpenError);
    }

    fixtures::TempDir exe, work;
    std::string savedCwd;
    CountingPlatform platform;
};

TEST_F(Startup, WithEveryFileInPlaceTheTitleRuns) {
    TForm1 form(platform);
    EXPECT_EQ(runProgram(form, 5), -1);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(platform.framesPresented, 5);
    EXPECT_EQ(platform.clientW, 240);
    EXPECT_EQ(platform.clientH, 273);
    EXPECT_EQ(form.g.basedir, exe.path() + "/");
    EXPECT_EQ(form.g.bgpath, defaultPicture());
    EXPECT_EQ(form.g.picture.width(), 48);
    for (size_t i = 0; i < kSheets.size(); ++i) EXPECT_EQ(form.g.sheets[i].width(), 16) << i;
    EXPECT_EQ(platform.soundsPreloaded.size(), kWavs.size());
    EXPECT_EQ(platform.settingsWrites, 0);
    form.FormDestroy();
    EXPECT_EQ(platform.settingsWrites, 1);
}

TEST_F(Startup, NoRankingInTheWorkingDirectoryStopsEvenWithOneBesideTheProgram) {
    std::filesystem::rename(work / "score.vtx", exe / "score.vtx");
    const std::string settings = "; the player's\n[Sound]\nSE=0\nBGM=0\n";
    writeText(iniPath(), settings);
    EXPECT_EQ(run(5), 0);
    expectOneBox(kNoRanking);
    EXPECT_EQ(platform.framesPresented, 0);
    // That end comes before the settings were read: they are not written over.
    EXPECT_EQ(platform.settingsWrites, 0);
    EXPECT_EQ(readText(iniPath()), settings);
}

TEST_F(Startup, NoRankingAndNoSettingsLeavesNoSettingsFile) {
    std::filesystem::remove(work / "score.vtx");
    EXPECT_EQ(run(5), 0);
    expectOneBox(kNoRanking);
    EXPECT_FALSE(std::filesystem::exists(iniPath()));
}

TEST_F(Startup, ShortRankingFileIsNamedAndLeftAlone) {
    const std::vector<uint8_t> shortFile = rankingFile(2669);
    writeBytes(work / "score.vtx", shortFile);
    EXPECT_EQ(run(5), 0);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_NE(platform.messageBoxes[0].text.find("score.vtx"), std::string::npos);
    EXPECT_EQ(platform.messageBoxes[0].caption, kOpenError);
    EXPECT_EQ(readBytes(work / "score.vtx"), shortFile);
    EXPECT_EQ(platform.settingsWrites, 0);
}

TEST_F(Startup, LongerRankingFileIsRead) {
    std::vector<uint8_t> longer = rankingFile(3000);
    writeBytes(work / "score.vtx", longer);
    TForm1 form(platform);
    EXPECT_EQ(runProgram(form, 2), -1);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(form.g.ranking[9].name.len, 3);
}

class StartupMissingSheet : public Startup, public ::testing::WithParamInterface<size_t> {};

TEST_P(StartupMissingSheet, StopsWithTheImageWarning) {
    std::filesystem::remove(exe / ("image/" + kSheets[GetParam()]));
    EXPECT_EQ(run(5), 0);
    expectOneBox(kNoImage);
    EXPECT_EQ(platform.framesPresented, 0);
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupMissingSheet, ::testing::Range<size_t>(0, 11),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return kSheets[info.param].substr(0, kSheets[info.param].find('.'));
                         });

class StartupMissingWav : public Startup, public ::testing::WithParamInterface<size_t> {};

TEST_P(StartupMissingWav, StopsWithTheWavWarning) {
    std::filesystem::remove(exe / ("sound/" + kWavs[GetParam()]));
    const int code = run(5);
    if (platform.messageBoxes.empty()) GTEST_SKIP() << "the sound registration does not check yet";
    EXPECT_EQ(code, 0);
    expectOneBox(kNoWav);
    EXPECT_EQ(platform.framesPresented, 0);
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupMissingWav, ::testing::Range<size_t>(0, 10),
                         [](const ::testing::TestParamInfo<size_t>& info) {
                             return kWavs[info.param].substr(0, kWavs[info.param].find('.'));
                         });

TEST_F(Startup, UnreadableSheetStopsWithAMessage) {
    writeText(exe / "image/moji02.bmp", "not a picture");
    EXPECT_EQ(run(5), 0);
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_EQ(platform.messageBoxes[0].caption, kOpenError);
    EXPECT_NE(platform.messageBoxes[0].text.find("moji02.bmp"), std::string::npos);
}

// --- the three ends ---

TEST_F(Startup, EscapeEndsWithOneAndSavesTheSettings) {
    platform.keysAtFrame[3] = {27};
    EXPECT_EQ(run(50), 1);
    EXPECT_EQ(platform.framesPresented, 3);
    EXPECT_EQ(platform.settingsWrites, 1);
    const std::string saved = readText(iniPath());
    EXPECT_NE(saved.find("Path=" + defaultPicture() + "\n"), std::string::npos) << saved;
    EXPECT_NE(saved.find("[Zoom]\nEnable=0\n"), std::string::npos) << saved;
}

TEST_F(Startup, CloseRequestEndsWithOneAndSavesTwice) {
    platform.closeAtFrame[3] = 1;
    EXPECT_EQ(run(50), 1);
    EXPECT_EQ(platform.framesPresented, 3);
    EXPECT_EQ(platform.settingsWrites, 2);
    EXPECT_NE(readText(iniPath()).find("[Sound]\nSE=0\nBGM=0\n"), std::string::npos);
}

TEST_F(Startup, OnlySoundEffectsOffGivesTheOtherDefaultsAndTheFullFile) {
    writeText(iniPath(), "[Sound]\nSE=0\n");
    TForm1 form(platform);
    EXPECT_EQ(runProgram(form, 2), -1);
    EXPECT_EQ(form.g.bgenabled, 1);
    EXPECT_EQ(form.g.seenabled, 0);
    EXPECT_EQ(form.g.midiplayer->enabled, 1);
    EXPECT_EQ(form.g.zoom, 0);
    EXPECT_EQ(form.g.bgpath, defaultPicture());
    EXPECT_EQ(platform.clientW, 240);
    form.FormDestroy();
    const std::string saved = readText(iniPath());
    for (const std::string& line :
         {std::string("SE=0"), std::string("BGM=1"), "Path=" + defaultPicture(),
          std::string("[BackGround]"), std::string("[Zoom]")})
        EXPECT_NE(saved.find(line + "\n"), std::string::npos) << line << " in " << saved;
    EXPECT_NE(saved.find("[BackGround]\nPath=" + defaultPicture() + "\nEnable=1\n"),
              std::string::npos)
        << saved;
}

TEST_F(Startup, BackdropOffAt256IsWrittenBackAsZero) {
    writeText(iniPath(), "[BackGround]\nEnable=256\n");
    platform.keysAtFrame[1] = {27};
    EXPECT_EQ(run(50), 1);
    EXPECT_NE(readText(iniPath()).find("Enable=0\n"), std::string::npos);
}

struct ZoomCase {
    const char* value;
    int32_t width, height;
};
class StartupZoom : public Startup, public ::testing::WithParamInterface<ZoomCase> {};

TEST_P(StartupZoom, OnlyExactlyOneDoublesTheWindow) {
    writeText(iniPath(), std::string("[Zoom]\nEnable=") + GetParam().value + "\n");
    platform.keysAtFrame[2] = {27};
    EXPECT_EQ(run(50), 1);
    EXPECT_EQ(platform.clientW, GetParam().width);
    EXPECT_EQ(platform.clientH, GetParam().height);
    EXPECT_EQ(platform.lastFrame.width(), GetParam().width);
    EXPECT_EQ(platform.lastFrame.height(), GetParam().height);
    // Whatever the value did, it is written back unchanged.
    EXPECT_NE(readText(iniPath()).find(std::string("[Zoom]\nEnable=") + GetParam().value + "\n"),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Startup, StartupZoom,
                         ::testing::Values(ZoomCase{"1", 480, 546}, ZoomCase{"0", 240, 273},
                                           ZoomCase{"2", 240, 273}, ZoomCase{"255", 240, 273}),
                         [](const auto& i) { return "Zoom" + case_names::text(i.param.value); });

// --- the background picture ---

TEST_F(Startup, PictureFromTheSettingsIsUsed) {
    const Surface pic = fixtures::solidSurface(30, 20, 200, 100, 40);
    writeBytes(work / "mine.bmp", encodeBmp24(pic));
    writeText(iniPath(), "[BackGround]\nPath=" + (work / "mine.bmp") + "\n");
    TForm1 form(platform);
    EXPECT_EQ(runProgram(form, 1), -1);
    EXPECT_EQ(form.g.bgpath, work / "mine.bmp");
    EXPECT_TRUE(sameSurface(form.g.picture, pic));
    EXPECT_TRUE(sameSurface(form.g.backdrop, gensyoku(pic)));
}

TEST_F(Startup, MissingPictureFromTheSettingsFallsBackToTheDefault) {
    writeText(iniPath(), "[BackGround]\nPath=" + (work / "gone.bmp") + "\n");
    TForm1 form(platform);
    EXPECT_EQ(runProgram(form, 1), -1);
    EXPECT_EQ(form.g.bgpath, defaultPicture());
    EXPECT_EQ(form.g.picture.width(), 48);
}

TEST_F(Startup, UnreadableDefaultPictureLeavesABlackBackdropAndSaysSo) {
    writeText(defaultPicture(), "this is no JPEG");
    ::testing::internal::CaptureStderr();
    TForm1 form(platform);
    const int code = runProgram(form, 2);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(code, -1);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_TRUE(form.g.picture.empty());
    EXPECT_EQ(form.g.backdrop.width(), 240);
    for (uint8_t b : form.g.backdrop.bytes()) ASSERT_EQ(b, 0);
    EXPECT_NE(printed.find("t_back.jpg"), std::string::npos) << printed;
}

class StartupPictureChoice : public Startup {
  protected:
    void SetUp() override {
        Startup::SetUp();
        form = std::make_unique<TForm1>(platform);
        ASSERT_EQ(runProgram(*form, 3), -1);
        form->g.modeclock = 77;
        before.bgpath = form->g.bgpath;
        before.picture = form->g.picture;
        before.backdrop = form->g.backdrop;
    }
    void expectUnchanged() const {
        EXPECT_EQ(form->g.bgpath, before.bgpath);
        EXPECT_TRUE(sameSurface(form->g.picture, before.picture));
        EXPECT_TRUE(sameSurface(form->g.backdrop, before.backdrop));
        EXPECT_EQ(form->g.modeclock, 77);
    }
    struct {
        std::string bgpath;
        Surface picture, backdrop;
    } before;
    std::unique_ptr<TForm1> form;
};

TEST_F(StartupPictureChoice, ChosenBmpBecomesTheBackdropAndStaysAfterARestart) {
    const Surface pic = fixtures::solidSurface(60, 40, 12, 200, 120);
    const std::string path = work / "chosen.bmp";
    writeBytes(path, encodeBmp24(pic));
    platform.dialogAnswers = {path};
    choosePicture(form->g);
    ASSERT_EQ(platform.dialogTitles.size(), 1u);
    EXPECT_EQ(platform.dialogTitles[0], "背景画像読み込み");
    EXPECT_EQ(form->g.bgpath, path);
    EXPECT_TRUE(sameSurface(form->g.picture, pic));
    EXPECT_TRUE(sameSurface(form->g.backdrop, gensyoku(pic)));
    EXPECT_FALSE(sameSurface(form->g.backdrop, before.backdrop));
    EXPECT_EQ(form->g.modeclock, 0);
    form->FormDestroy();

    CountingPlatform again;
    again.exeDirectory = platform.exeDirectory;
    TForm1 next(again);
    EXPECT_EQ(runProgram(next, 1), -1);
    EXPECT_EQ(next.g.bgpath, path);
    EXPECT_TRUE(sameSurface(next.g.picture, pic));
    EXPECT_TRUE(sameSurface(next.g.backdrop, gensyoku(pic)));
}

TEST_F(StartupPictureChoice, CancelledDialogChangesNothing) {
    platform.dialogAnswers = {""};
    choosePicture(form->g);
    EXPECT_EQ(platform.dialogTitles.size(), 1u);
    expectUnchanged();
}

TEST_F(StartupPictureChoice, FileThatDoesNotExistChangesNothing) {
    platform.dialogAnswers = {work / "nothing-here.bmp"};
    choosePicture(form->g);
    expectUnchanged();
}

TEST_F(StartupPictureChoice, UndecodableFileChangesNothingAndIsNotStored) {
    const std::string path = work / "broken.bmp";
    writeText(path, "BM but nothing after it");
    platform.dialogAnswers = {path};
    ::testing::internal::CaptureStderr();
    choosePicture(form->g);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    expectUnchanged();
    EXPECT_NE(printed.find("broken.bmp"), std::string::npos) << printed;
    form->FormDestroy();
    EXPECT_EQ(readText(iniPath()).find("broken.bmp"), std::string::npos);
}

TEST_F(StartupPictureChoice, FolderChosenChangesNothing) {
    std::filesystem::create_directory(work / "folder.bmp");
    platform.dialogAnswers = {work / "folder.bmp"};
    choosePicture(form->g);
    expectUnchanged();
}

TEST_F(StartupPictureChoice, F2OnTheTitleOpensTheDialog) {
    const Surface pic = fixtures::solidSurface(8, 8, 90, 90, 90);
    writeBytes(work / "key.bmp", encodeBmp24(pic));
    platform.dialogAnswers = {work / "key.bmp"};
    platform.pressKey(vk::F2);
    platform.pumpMessages();
    EXPECT_EQ(form->g.bgpath, work / "key.bmp");
    EXPECT_TRUE(sameSurface(form->g.picture, pic));
}

} // namespace

namespace {

// The same data, installed: the program in a folder of its own, the data where an installation
// puts them, the player's files in a fresh home. Started the way a menu starts it, from the
// home folder, where there is no ranking.
class InstalledStartup : public Startup {
  protected:
    void SetUp() override {
        Startup::SetUp();
        std::filesystem::remove(work / "score.vtx");
        writeBytes(exe / "score.vtx", rankingFile());
        platform.exeDirectory = bin.path() + "/";
        platform.installedData = exe.path() + "/";
        platform.env["HOME"] = home.path();
    }
    std::vector<std::string> listing(const std::string& dir) const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::recursive_directory_iterator(dir))
            names.push_back(e.path().string() + ":" +
                            std::to_string(e.is_regular_file() ? e.file_size() : 0));
        std::sort(names.begin(), names.end());
        return names;
    }
    fixtures::TempDir bin, home;
};

TEST_F(InstalledStartup, PlayersFilesGoToTheHomeFoldersAndNothingIntoTheInstallation) {
    const std::vector<std::string> before = listing(exe.path());
    platform.keysAtFrame[3] = {vk::F1};
    platform.keysAtFrame[5] = {vk::Escape};
    EXPECT_EQ(run(50), 1);
    EXPECT_TRUE(platform.messageBoxes.empty());
    EXPECT_EQ(listing(exe.path()), before);
    EXPECT_TRUE(listing(bin.path()).empty());
    EXPECT_TRUE(listing(work.path()).empty());
    EXPECT_NE(readText(home / ".config/vortalix/VORTALIX.ini").find("[Zoom]"), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(home / ".local/share/vortalix/g_sc0.bmp"));
    EXPECT_EQ(readBytes(home / ".local/share/vortalix/score.vtx"), rankingFile());
}

TEST_F(InstalledStartup, ARankingInTheWorkingDirectoryIsStillUsed) {
    writeBytes(work / "score.vtx", rankingFile(2700));
    TForm1 form(platform);
    EXPECT_EQ(runProgram(form, 2), -1);
    EXPECT_EQ(form.g.files.rankingFile, "score.vtx");
    EXPECT_FALSE(std::filesystem::exists(home / ".local/share/vortalix/score.vtx"));
    form.FormDestroy();
}

TEST_F(InstalledStartup, WithoutAHomeTheGameWarnsAndEndsWritingNothing) {
    platform.env.clear();
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(run(5), 0);
    const std::string printed = ::testing::internal::GetCapturedStderr();
    ASSERT_EQ(platform.messageBoxes.size(), 1u);
    EXPECT_NE(platform.messageBoxes[0].text.find("HOME"), std::string::npos);
    EXPECT_NE(printed.find("HOME"), std::string::npos) << printed;
    EXPECT_EQ(platform.framesPresented, 0);
    EXPECT_EQ(platform.settingsWrites, 0);
    EXPECT_TRUE(listing(home.path()).empty());
}

} // namespace

// The program run a step at a time, as the browser runs it: one frame per step, taken only
// when due, and the same three ends as the blocking loop.
TEST_F(Startup, StepsRunOneFrameOnlyWhenItIsDue) {
    platform.autoAdvance = false;
    TForm1 form(platform);
    ProgramSteps steps(form);
    ASSERT_TRUE(steps.begin());
    EXPECT_FALSE(steps.frameDue());
    platform.now = 16;
    ASSERT_TRUE(steps.frameDue());
    EXPECT_TRUE(steps.step());
    EXPECT_EQ(platform.framesPresented, 1);
    EXPECT_EQ(platform.pumps, 1); // nothing to wait for, so pumped once, before the frame
    platform.now = 31;
    EXPECT_FALSE(steps.frameDue());
    platform.now = 32;
    EXPECT_TRUE(steps.frameDue());
    form.FormDestroy();
}

// The browser starts the program a part per task; the parts make the same game as the whole
// start, frame for frame.
TEST_F(Startup, StartInPartsMakesTheSameGameAsTheWholeStart) {
    CountingPlatform whole;
    whole.exeDirectory = platform.exeDirectory;
    TForm1 wholeForm(whole);
    ProgramSteps wholeSteps(wholeForm);
    ASSERT_TRUE(wholeSteps.begin());

    TForm1 form(platform);
    ProgramSteps steps(form);
    int32_t parts = 0;
    bool more = true;
    while (more) {
        ASSERT_TRUE(steps.beginPart(more));
        ++parts;
        ASSERT_LE(parts, TForm1::kFormCreateParts);
    }
    EXPECT_EQ(parts, TForm1::kFormCreateParts);
    // Once started, a further call has nothing left to do.
    EXPECT_TRUE(steps.beginPart(more));
    EXPECT_FALSE(more);

    EXPECT_EQ(form.g.rng.seed, wholeForm.g.rng.seed);
    EXPECT_EQ(form.g.bgpath, wholeForm.g.bgpath);
    EXPECT_TRUE(sameSurface(form.g.backdrop, wholeForm.g.backdrop));
    for (size_t i = 0; i < kSheets.size(); ++i)
        EXPECT_TRUE(sameSurface(form.g.sheets[i], wholeForm.g.sheets[i])) << kSheets[i];
    EXPECT_EQ(platform.soundsPreloaded, whole.soundsPreloaded);
    for (int32_t frame = 0; frame < 40; ++frame) {
        ASSERT_TRUE(steps.step());
        ASSERT_TRUE(wholeSteps.step());
        ASSERT_TRUE(sameSurface(platform.lastFrame, whole.lastFrame)) << "frame " << frame;
    }
    form.FormDestroy();
    wholeForm.FormDestroy();
}

// A warning in one part ends the start there: the parts after it never run, and no frame
// follows.
TEST_F(Startup, AWarningInAPartOfTheStartEndsIt) {
    std::filesystem::remove(exe / "image/bomb02.bmp"); // the last bitmap
    TForm1 form(platform);
    ProgramSteps steps(form);
    bool more = true;
    int32_t parts = 0;
    while (steps.beginPart(more)) {
        ASSERT_TRUE(more) << "the start went through without its bitmap";
        ++parts;
    }
    EXPECT_FALSE(more);
    EXPECT_EQ(parts, TForm1::kFirstSheetPart + int32_t(kSheets.size()) - 1);
    EXPECT_TRUE(steps.ended());
    EXPECT_EQ(steps.exitCode(), 0);
    expectOneBox(kNoImage);
    EXPECT_TRUE(platform.soundsPreloaded.empty()); // the last part never ran
    EXPECT_FALSE(steps.beginPart(more));
    EXPECT_FALSE(steps.step());
    EXPECT_EQ(platform.framesPresented, 0);
}

TEST_F(Startup, EscInAStepEndsWithCodeOneAndSavesTheSettings) {
    TForm1 form(platform);
    ProgramSteps steps(form);
    ASSERT_TRUE(steps.begin());
    platform.now = 16;
    EXPECT_TRUE(steps.step());
    platform.pressKey(vk::Escape);
    platform.now = 32;
    EXPECT_FALSE(steps.step());
    EXPECT_TRUE(steps.ended());
    EXPECT_EQ(steps.exitCode(), 1);
    EXPECT_EQ(platform.framesPresented, 1);
    EXPECT_EQ(platform.settingsWrites, 1);
    EXPECT_FALSE(steps.step()); // an ended program stays ended
    EXPECT_EQ(platform.settingsWrites, 1);
}

TEST_F(Startup, AStartUpWarningEndsTheStepsBeforeTheFirstFrame) {
    std::filesystem::remove(work / "score.vtx");
    TForm1 form(platform);
    ProgramSteps steps(form);
    EXPECT_FALSE(steps.begin());
    EXPECT_EQ(steps.exitCode(), 0);
    expectOneBox(kNoRanking);
    EXPECT_FALSE(steps.step());
    EXPECT_EQ(platform.framesPresented, 0);
}

TEST_F(Startup, AStepThatMustNotWaitLeavesAFrameForLaterAfterTheTitleIsBack) {
    platform.autoAdvance = false; // any wait inside the frame loop would never end
    TForm1 form(platform);
    ProgramSteps steps(form);
    ASSERT_TRUE(steps.begin());
    EXPECT_TRUE(steps.stepWhenDue()); // not due yet: nothing happens at all
    EXPECT_EQ(platform.pumps, 0);
    EXPECT_EQ(platform.framesPresented, 0);
    platform.now = 16;
    platform.pressKey(vk::F3); // to the ranking
    EXPECT_TRUE(steps.stepWhenDue());
    EXPECT_EQ(platform.framesPresented, 1);
    EXPECT_EQ(form.g.mode, 4);
    platform.now = 32;
    platform.pressKey(vk::F3); // back to the title, which restarts the frame clock
    EXPECT_TRUE(steps.stepWhenDue());
    EXPECT_EQ(form.g.mode, 0);
    EXPECT_EQ(platform.framesPresented, 1);
    platform.now = 47;
    EXPECT_TRUE(steps.stepWhenDue());
    EXPECT_EQ(platform.framesPresented, 1);
    platform.now = 48;
    EXPECT_TRUE(steps.stepWhenDue());
    EXPECT_EQ(platform.framesPresented, 2);
    EXPECT_EQ(platform.presentTimes.back(), 48u);
    form.FormDestroy();
}
