// The key handler in every screen, and the name entry.

#include "game_fixture.h"

#include <functional>

using namespace gamefix;

namespace {

// What a key can change, seen from outside.
struct Snap {
    int mode, dir, cursor, modeclock, level, newrank;
    int paused, seenabled, bgenabled, musicEnabled, musicPlaying;
    std::string score, name, musicFile;
    std::vector<std::string> music;
    std::vector<int> sounds;
    size_t dialogs;
    bool screenshot;
    int effect0;
    bool operator==(const Snap&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Snap& s) {
    os << "mode " << s.mode << " dir " << s.dir << " cursor " << s.cursor << " modeclock "
       << s.modeclock << " level " << s.level << " newrank " << s.newrank << " paused " << s.paused
       << " se " << s.seenabled << " bg " << s.bgenabled << " bgm " << s.musicEnabled << " playing "
       << s.musicPlaying << " score " << s.score << " name '" << s.name << "' file " << s.musicFile
       << " music [";
    for (const auto& m : s.music) os << m << "; ";
    os << "] sounds [";
    for (int n : s.sounds) os << n << " ";
    return os << "] dialogs " << s.dialogs << " shot " << s.screenshot << " effect0 " << s.effect0;
}

class KeysTest : public GameTest {
  public:
    Snap snap() const {
        return Snap{g.mode,
                    g.dir,
                    g.cursor,
                    g.modeclock,
                    g.level,
                    g.newrank,
                    g.paused,
                    g.seenabled,
                    g.bgenabled,
                    g.midiplayer->enabled,
                    g.midiplayer->playing,
                    std::string(g.score.view()),
                    std::string(g.ranking[3].name.view()),
                    g.midiplayer->filename,
                    p.musicCommands,
                    sounds(),
                    p.dialogTitles.size(),
                    fs::exists(base.path / "g_sc0.bmp"),
                    g.effects[0].type};
    }

    // A game in the given screen, in the middle of things.
    void enter(uint8_t mode) {
        g.mode = mode;
        g.dir = 2;
        g.cursor = 5; // 'E'
        g.modeclock = 9;
        g.level = 5;
        g.score = "77";
        g.paused = 0;
        g.bgenabled = 1;
        if (mode == 3) {
            g.newrank = 3;
            g.ranking[3].name = "AB";
        }
        if (mode == 1 || mode == 2) g.midiplayer->play(g.musicMain);
        if (mode == 3) g.midiplayer->play(g.musicGameOver);
        if (mode == 4) g.midiplayer->play(g.musicRanking);
        p.musicCommands.clear();
        p.soundsPlayed.clear();
    }

    std::string open(const std::string& f) const { return "open \"" + f + "\""; }
    std::string play(const std::string& f) const { return "play \"" + f + "\" notify [notify]"; }
    std::string stop(const std::string& f) const { return "stop \"" + f + "\""; }
    std::string close(const std::string& f) const { return "close \"" + f + "\""; }

    // What the round reset does to the snapshot.
    void reset(Snap& s) const {
        s.mode = 0;
        s.dir = 1;
        s.cursor = 1;
        s.modeclock = 0;
        s.level = 1;
        s.newrank = 10;
        s.score = "0";
    }
    void backToTitle(Snap& s) const {
        if (s.musicPlaying) {
            s.music.push_back(stop(s.musicFile));
            s.music.push_back(close(s.musicFile));
        }
        s.musicPlaying = 0;
        reset(s);
    }
};

struct KeyCase {
    const char* name;
    uint8_t key;
    uint8_t mode;
    std::function<void(const KeysTest&, Snap&)> expect;
};

std::ostream& operator<<(std::ostream& os, const KeyCase& c) {
    return os << c.name << " in mode " << int(c.mode);
}

class KeyTable : public KeysTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(KeyTable, KeyActsAsTheTableSays) {
    const KeyCase& c = GetParam();
    enter(c.mode);
    Snap expected = snap();
    c.expect(*this, expected);
    form.FormKeyDown(c.key);
    EXPECT_EQ(snap(), expected);
}

using Expect = std::function<void(const KeysTest&, Snap&)>;

const Expect nothing = [](const KeysTest&, Snap&) {};

std::vector<KeyCase> keyCases() {
    std::vector<KeyCase> cases;
    const uint8_t modes[] = {0, 1, 2, 3, 4, 7};
    struct Named {
        const char* name;
        uint8_t key;
    };
    const Named lefts[] = {{"Left", vk::Left}, {"Four", vk::D4}, {"Z", vk::Z}};
    const Named rights[] = {{"Right", vk::Right}, {"Six", vk::D6}, {"C", vk::C}};
    const Named confirms[] = {{"Up", vk::Up}, {"Five", vk::D5}, {"X", vk::X}};
    for (uint8_t m : modes) {
        for (const Named& k : lefts) {
            Expect e = nothing;
            if (m == 2) e = [](const KeysTest&, Snap& s) { s.dir = 1; };
            if (m == 3)
                e = [](const KeysTest&, Snap& s) {
                    s.cursor = 4;
                    s.sounds = {4};
                };
            cases.push_back({k.name, k.key, m, e});
        }
        for (const Named& k : rights) {
            Expect e = nothing;
            if (m == 2) e = [](const KeysTest&, Snap& s) { s.dir = 3; };
            if (m == 3)
                e = [](const KeysTest&, Snap& s) {
                    s.cursor = 6;
                    s.sounds = {4};
                };
            cases.push_back({k.name, k.key, m, e});
        }
        for (const Named& k : confirms) {
            Expect e = nothing;
            if (m == 0)
                e = [](const KeysTest& t, Snap& s) {
                    s.mode = 1;
                    s.modeclock = 0;
                    s.musicFile = t.g.musicMain;
                    s.music = {t.open(t.g.musicMain), t.play(t.g.musicMain)};
                    s.musicPlaying = 1;
                };
            if (m == 3)
                e = [](const KeysTest&, Snap& s) {
                    s.name = "ABE";
                    s.sounds = {0};
                };
            if (m == 4) e = [](const KeysTest& t, Snap& s) { t.backToTitle(s); };
            cases.push_back({k.name, k.key, m, e});
        }
        {
            Expect e = nothing;
            if (m == 0)
                e = [](const KeysTest& t, Snap& s) {
                    s.mode = 4;
                    s.musicFile = t.g.musicRanking;
                    s.music = {t.open(t.g.musicRanking), t.play(t.g.musicRanking)};
                    s.musicPlaying = 1;
                };
            if (m == 1 || m == 2 || m == 4)
                e = [](const KeysTest& t, Snap& s) { t.backToTitle(s); };
            cases.push_back({"F3", vk::F3, m, e});
        }
        {
            Expect e = nothing;
            if (m == 0) e = [](const KeysTest&, Snap& s) { s.dialogs = 1; };
            cases.push_back({"F2", vk::F2, m, e});
        }
        cases.push_back({"F1", vk::F1, m, [](const KeysTest&, Snap& s) { s.screenshot = true; }});
        cases.push_back({"F4", vk::F4, m, [](const KeysTest&, Snap& s) { s.seenabled = 0; }});
        cases.push_back({"F5", vk::F5, m, [](const KeysTest& t, Snap& s) {
                             s.musicEnabled = 0;
                             if (s.musicPlaying) {
                                 s.music = {t.stop(s.musicFile), t.close(s.musicFile)};
                                 s.musicPlaying = 0;
                             }
                         }});
        cases.push_back({"F6", vk::F6, m, [](const KeysTest&, Snap& s) { s.bgenabled = 0; }});
        cases.push_back({"F7", vk::F7, m, [](const KeysTest&, Snap& s) { s.paused = 1; }});
        // Keys that mean nothing to the game: the Down arrow, the keypad digits, modifiers,
        // letters and keys next to the function keys.
        const Named unknown[] = {{"Down", vk::Down}, {"Keypad4", 100}, {"Keypad5", 101},
                                 {"Keypad6", 102},   {"Keypad8", 104}, {"Shift", 16},
                                 {"Control", 17},    {"Alt", 18},      {"A", 65},
                                 {"Enter", 13},      {"Space", 32},    {"F8", 119},
                                 {"Tab", 9},         {"Zero", 48},     {"Nine", 57}};
        for (const Named& k : unknown) cases.push_back({k.name, k.key, m, nothing});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(EveryScreen, KeyTable, ::testing::ValuesIn(keyCases()),
                         [](const ::testing::TestParamInfo<KeyCase>& info) {
                             return std::string(info.param.name) + "_Mode" +
                                    std::to_string(info.param.mode);
                         });

TEST_F(KeysTest, TogglesGoBothWays) {
    enter(2);
    g.seenabled = 0;
    g.bgenabled = 0;
    g.paused = 1;
    g.midiplayer->setenabled(0);
    p.musicCommands.clear();
    form.FormKeyDown(vk::F4);
    form.FormKeyDown(vk::F6);
    form.FormKeyDown(vk::F7);
    form.FormKeyDown(vk::F5);
    EXPECT_EQ(g.seenabled, 1);
    EXPECT_EQ(g.bgenabled, 1);
    EXPECT_EQ(g.paused, 0);
    EXPECT_EQ(g.midiplayer->enabled, 1);
    // Switching the music on starts the remembered piece again.
    EXPECT_EQ(p.musicCommands, (std::vector<std::string>{open(g.musicMain), play(g.musicMain)}));
}

class EscapeEverywhere : public KeysTest, public ::testing::WithParamInterface<int> {};

const char* const kScreenNames[5] = {"Title", "CountDown", "Play", "GameOver", "Ranking"};

TEST_P(EscapeEverywhere, EscEndsTheProgramWithCodeOne) {
    TempDir cwd;
    ScopedCwd inside(cwd.path);
    enter(uint8_t(GetParam()));
    try {
        form.FormKeyDown(vk::Escape);
        ADD_FAILURE() << "Esc returned";
    } catch (const ProgramExit& e) {
        EXPECT_EQ(e.code, 1);
    }
    EXPECT_FALSE(fs::exists(cwd.path / "score.vtx")) << "a name being entered is lost";
}

INSTANTIATE_TEST_SUITE_P(Screens, EscapeEverywhere, ::testing::Values(0, 1, 2, 3, 4),
                         [](const auto& i) { return kScreenNames[i.param]; });

struct DirCase {
    uint8_t from, key, to;
};

class DirWrap : public KeysTest, public ::testing::WithParamInterface<DirCase> {};

std::string keyName(uint8_t key) {
    switch (key) {
    case vk::Left:
        return "Left";
    case vk::Right:
        return "Right";
    case vk::Z:
        return "Z";
    case vk::C:
        return "C";
    case vk::D4:
        return "Digit4";
    case vk::D6:
        return "Digit6";
    default:
        return "Key" + std::to_string(key);
    }
}

TEST_P(DirWrap, TurnsStayInOneToFour) {
    const DirCase c = GetParam();
    g.mode = 2;
    g.dir = c.from;
    form.FormKeyDown(c.key);
    EXPECT_EQ(g.dir, c.to);
}

INSTANTIATE_TEST_SUITE_P(Turns, DirWrap,
                         ::testing::Values(DirCase{1, vk::Left, 4}, DirCase{4, vk::Right, 1},
                                           DirCase{2, vk::Z, 1}, DirCase{3, vk::C, 4},
                                           DirCase{4, vk::D4, 3}, DirCase{1, vk::D6, 2}),
                         [](const auto& i) {
                             return "Dir" + std::to_string(i.param.from) + "_" +
                                    keyName(i.param.key);
                         });

TEST_F(KeysTest, StartRunsOneFrameOfEffectsAndStartsTheMusic) {
    g.effects[0] = {0, 10, 10, 2};
    frames(3);
    form.FormKeyDown(vk::X);
    EXPECT_EQ(g.mode, 1);
    EXPECT_EQ(g.modeclock, 0);
    EXPECT_EQ(g.effects[0].age, 4) << "three frames and the one cls of the start";
    EXPECT_EQ(p.musicCommands, (std::vector<std::string>{open(g.musicMain), play(g.musicMain)}));
}

TEST_F(KeysTest, StartWithTheMusicOffOnlyRemembersThePiece) {
    g.midiplayer->enabled = 0;
    form.FormKeyDown(vk::D5);
    EXPECT_EQ(g.mode, 1);
    EXPECT_TRUE(p.musicCommands.empty());
    EXPECT_EQ(g.midiplayer->filename, g.musicMain);
}

TEST_F(KeysTest, KeyRepeatsActEachTime) {
    g.mode = 2;
    g.dir = 1;
    form.FormKeyDown(vk::Right);
    form.FormKeyDown(vk::Right);
    form.FormKeyDown(vk::Right);
    EXPECT_EQ(g.dir, 4);
}

TEST_F(KeysTest, APauseStaysOnAcrossTheReturnToTheTitle) {
    g.mode = 2;
    form.FormKeyDown(vk::F7);
    form.FormKeyDown(vk::F3);
    EXPECT_EQ(g.mode, 0);
    EXPECT_EQ(g.paused, 1);
    form.FormKeyDown(vk::X);
    frame();
    ASSERT_EQ(g.mode, 1);
    EXPECT_EQ(textAt(p.lastFrame, 96, 120, 5), "PAUSE");
    EXPECT_EQ(textAt(p.lastFrame, 96, 64, 1), "R") << "READY is drawn as usual";
    // Shorten the count-down to its last step.
    g.countdown = 1;
    g.countclock = 1001;
    frame();
    ASSERT_EQ(g.mode, 2);
    parkItems(0, 0);
    frames(10);
    EXPECT_EQ(g.px, 120);
    EXPECT_EQ(g.stepclock, 0);
    EXPECT_EQ(textAt(p.lastFrame, 96, 120, 5), "PAUSE");
    form.FormKeyDown(vk::F7);
    frames(4);
    EXPECT_EQ(g.px, 121);
    EXPECT_EQ(textAt(p.lastFrame, 96, 120, 5), "     ");
}

TEST_F(KeysTest, TurnsWhilePausedTakeEffectWhenThePauseIsLifted) {
    g.mode = 2;
    parkItems(0, 0);
    g.paused = 1;
    frames(2);
    form.FormKeyDown(vk::Left); // up
    form.FormKeyDown(vk::Z);    // left
    form.FormKeyDown(vk::D6);   // up
    frames(5);
    EXPECT_EQ(g.dir, 4);
    EXPECT_EQ(g.px, 120);
    EXPECT_EQ(g.py, 120);
    form.FormKeyDown(vk::F7);
    frames(4);
    EXPECT_EQ(g.px, 120);
    EXPECT_EQ(g.py, 119);
}

TEST_F(KeysTest, TwoLeftTurnsBetweenStepsRunThePointIntoItsTrail) {
    g.mode = 2;
    parkItems(0, 0);
    frames(7); // steps on frames 4 and 7: (121,120) and (122,120)
    ASSERT_EQ(g.px, 122);
    form.FormKeyDown(vk::Left);
    form.FormKeyDown(vk::Left);
    EXPECT_EQ(g.dir, 3);
    frames(3);
    EXPECT_EQ(g.px, 121);
    EXPECT_EQ(g.playstate, 0);
    EXPECT_EQ(g.effects[0].type, 6);
}

TEST_F(KeysTest, TwoLeftTurnsWhileInvincibleCrossTheTrail) {
    g.mode = 2;
    parkItems(0, 0);
    frames(7);
    g.playstate = 2;
    g.invtimer = 50;
    form.FormKeyDown(vk::D4);
    form.FormKeyDown(vk::D4);
    frames(3);
    EXPECT_EQ(g.px, 121);
    EXPECT_EQ(g.playstate, 2);
}

// --- the name entry ---

class NameEntryTest : public KeysTest {
  protected:
    TempDir cwd;
    std::unique_ptr<ScopedCwd> inside;
    void SetUp() override {
        KeysTest::SetUp();
        inside = std::make_unique<ScopedCwd>(cwd.path);
        g.mode = 3;
        g.newrank = 2;
        g.ranking[2].name = "";
        g.cursor = 1;
    }
    void TearDown() override { inside.reset(); }
    std::string name() const { return std::string(g.ranking[2].name.view()); }
    void key(uint8_t k) {
        g.soundleft = 0; // time enough for every sound
        form.FormKeyDown(k);
    }
};

TEST_F(NameEntryTest, TenLettersPutTheCursorOnFinish) {
    for (int i = 0; i < 9; ++i) {
        key(vk::X);
        EXPECT_EQ(g.cursor, 1);
    }
    EXPECT_EQ(name(), "AAAAAAAAA");
    key(vk::X);
    EXPECT_EQ(name(), "AAAAAAAAAA");
    EXPECT_EQ(g.cursor, 39);
    key(vk::Right);
    EXPECT_EQ(g.cursor, 38);
    key(vk::Right);
    EXPECT_EQ(g.cursor, 39);
    key(vk::Left);
    EXPECT_EQ(g.cursor, 38);
    key(vk::Left);
    EXPECT_EQ(g.cursor, 39) << "from '!' with a full name, left goes to '#'";
    key(vk::C);
    EXPECT_EQ(g.cursor, 38);
    p.soundsPlayed.clear();
    key(vk::D5);
    EXPECT_EQ(name(), "AAAAAAAAA");
    EXPECT_EQ(g.cursor, 38);
    EXPECT_EQ(sounds(), std::vector<int>{2});
    key(vk::Z);
    EXPECT_EQ(g.cursor, 37);
    key(vk::X);
    EXPECT_EQ(name(), "AAAAAAAAA ");
    EXPECT_EQ(g.cursor, 39);
}

TEST_F(NameEntryTest, AFullNameTakesNoMoreLetters) {
    g.ranking[2].name = "ABCDEFGHIJ";
    g.cursor = 3;
    key(vk::X);
    EXPECT_EQ(name(), "ABCDEFGHIJ");
    EXPECT_EQ(g.cursor, 39);
    EXPECT_EQ(sounds(), std::vector<int>{0});
}

TEST_F(NameEntryTest, CursorCyclesThroughAllPositionsWithAShortName) {
    key(vk::Left);
    EXPECT_EQ(g.cursor, 39);
    key(vk::Right);
    EXPECT_EQ(g.cursor, 1);
    for (int i = 0; i < 36; ++i) key(vk::D6);
    EXPECT_EQ(g.cursor, 37);
    key(vk::Up);
    EXPECT_EQ(name(), " ");
    EXPECT_EQ(g.cursor, 37);
}

TEST_F(NameEntryTest, FinishOnAnEmptyNameDoesNothing) {
    g.cursor = 39;
    key(vk::X);
    EXPECT_EQ(g.mode, 3);
    EXPECT_TRUE(sounds().empty());
    EXPECT_EQ(g.effects[0].type, 0);
    EXPECT_FALSE(fs::exists(cwd.path / "score.vtx"));
    g.cursor = 38;
    key(vk::X);
    EXPECT_EQ(name(), "");
    EXPECT_TRUE(sounds().empty());
}

TEST_F(NameEntryTest, FinishSavesTheRankingAndShowsIt) {
    std::vector<uint8_t> old(2670, 0);
    writeBytes(cwd.path / "score.vtx", old);
    g.ranking[2].name = "BOB";
    g.cursor = 39;
    key(vk::D5);
    EXPECT_EQ(g.mode, 4);
    EXPECT_EQ(g.effects[0].type, 8);
    EXPECT_EQ(sounds(), (std::vector<int>{3, 3}));
    const std::vector<uint8_t> bytes = readBytes(cwd.path / "score.vtx");
    ASSERT_EQ(bytes.size(), 2670u);
    const size_t name = 2 * 267 + 256;
    EXPECT_EQ(bytes[name], 3);
    EXPECT_EQ(std::string(bytes.begin() + name + 1, bytes.begin() + name + 4), "BOB");
    EXPECT_EQ(bytes[0], 4) << "rank 1's score \"1000\"";
}

TEST_F(NameEntryTest, F3DoesNothingHere) {
    g.ranking[2].name = "AL";
    key(vk::F3);
    EXPECT_EQ(g.mode, 3);
    EXPECT_EQ(name(), "AL");
    EXPECT_EQ(g.newrank, 2);
}

} // namespace
