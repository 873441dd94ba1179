// The music player's state machine, judged from the exact command texts it sends.

#include "audio/Midi.h"
#include "platform/headless/HeadlessPlatform.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Commands = std::vector<std::string>;

const std::string kMain = "/games/vortalix/sound/main.mid";
const std::string kOver = "/games/vortalix/sound/gameover.mid";

Commands startOf(const std::string& f) {
    return {"open \"" + f + "\"", "play \"" + f + "\" notify [notify]"};
}
Commands endOf(const std::string& f) {
    return {"stop \"" + f + "\"", "close \"" + f + "\""};
}
Commands operator+(Commands a, const Commands& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

class MidiTest : public ::testing::Test {
  protected:
    HeadlessPlatform p;
    std::unique_ptr<TMCIMidi> m = std::make_unique<TMCIMidi>(p, 7u);
    const Commands& sent() const { return p.musicCommands; }
    void forget() { p.musicCommands.clear(); }
};

TEST_F(MidiTest, ConstructionRemembersTheWindowAndNothingElse) {
    EXPECT_EQ(m->wnd, 7u);
    EXPECT_EQ(m->filename, "");
    EXPECT_EQ(m->enabled, 0);
    EXPECT_EQ(m->playing, 0);
    EXPECT_TRUE(sent().empty());
}

TEST_F(MidiTest, SwitchingOnBeforeAnyPiecePlaysTheEmptyName) {
    m->setenabled(1);
    EXPECT_EQ(sent(), (Commands{"open \"\"", "play \"\" notify [notify]"}));
    EXPECT_EQ(m->enabled, 1);
    EXPECT_EQ(m->playing, 1);
    EXPECT_EQ(m->filename, "");
}

TEST_F(MidiTest, PlayWhileOffRemembersThePieceAndSendsNothing) {
    m->play(kMain);
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(m->filename, kMain);
    EXPECT_EQ(m->playing, 0);
    m->setenabled(1); // switching on starts the remembered piece
    EXPECT_EQ(sent(), startOf(kMain));
    EXPECT_EQ(m->playing, 1);
}

TEST_F(MidiTest, PlayWhileOnStartsThePiece) {
    m->setenabled(1);
    m->stop();
    forget();
    m->play(kMain);
    EXPECT_EQ(sent(), startOf(kMain));
    EXPECT_EQ(m->filename, kMain);
    EXPECT_EQ(m->playing, 1);
}

class SameValue : public MidiTest, public ::testing::WithParamInterface<uint8_t> {};

TEST_P(SameValue, SetenabledWithTheCurrentValueDoesNothing) {
    const uint8_t v = GetParam();
    m->play(kMain);
    m->setenabled(v);
    const Commands before = sent();
    const uint8_t playing = m->playing;
    m->setenabled(v);
    EXPECT_EQ(sent(), before); // in particular no restart
    EXPECT_EQ(m->enabled, v);
    EXPECT_EQ(m->playing, playing);
}

INSTANTIATE_TEST_SUITE_P(Values, SameValue, ::testing::Values(uint8_t(0), uint8_t(1), uint8_t(255)),
                         [](const auto& i) { return "Value" + std::to_string(i.param); });

TEST_F(MidiTest, AnotherNonZeroValueCountsAsAChangeAndRestarts) {
    m->play(kMain);
    m->setenabled(1);
    forget();
    m->setenabled(2);
    EXPECT_EQ(sent(), endOf(kMain) + startOf(kMain));
    EXPECT_EQ(m->enabled, 2);
}

TEST_F(MidiTest, StopWithNothingPlayingSendsNothing) {
    m->stop();
    EXPECT_TRUE(sent().empty());
    m->setenabled(1);
    m->stop();
    forget();
    m->stop(); // on, but idle
    EXPECT_TRUE(sent().empty());
    EXPECT_EQ(m->playing, 0);
}

TEST_F(MidiTest, StopEndsThePieceAndKeepsItsName) {
    m->setenabled(1);
    m->play(kMain);
    forget();
    m->stop();
    EXPECT_EQ(sent(), endOf(kMain));
    EXPECT_EQ(m->playing, 0);
    EXPECT_EQ(m->enabled, 1);
    EXPECT_EQ(m->filename, kMain);
}

TEST_F(MidiTest, PlayingTheSamePieceAgainStartsItFromTheBeginning) {
    m->setenabled(1);
    m->play(kMain);
    forget();
    m->play(kMain);
    EXPECT_EQ(sent(), endOf(kMain) + startOf(kMain));
    EXPECT_EQ(m->playing, 1);
}

TEST_F(MidiTest, APieceReplacesTheOnePlaying) {
    m->setenabled(1);
    m->play(kMain);
    forget();
    m->play(kOver); // the player dies
    EXPECT_EQ(sent(), endOf(kMain) + startOf(kOver));
    EXPECT_EQ(m->filename, kOver);
}

TEST_F(MidiTest, SwitchingOffSilencesAtOnceAndSwitchingOnRestarts) {
    m->setenabled(1);
    m->play(kMain);
    forget();
    m->setenabled(0);
    EXPECT_EQ(sent(), endOf(kMain));
    EXPECT_EQ(m->playing, 0);
    EXPECT_EQ(m->filename, kMain);
    forget();
    m->play(kOver); // a death while the music is off
    EXPECT_TRUE(sent().empty());
    m->setenabled(1);
    EXPECT_EQ(sent(), startOf(kOver));
}

TEST_F(MidiTest, OnlyThePlayCommandNamesTheWindow) {
    m->setenabled(1);
    m->play(kMain);
    m->stop();
    for (const std::string& c : sent()) {
        const bool notified = c.ends_with(" [notify]");
        EXPECT_EQ(notified, c.starts_with("play ")) << c;
    }
    EXPECT_EQ(sent().size(), 8u); // "" started on switching on, then main.mid, then stopped
}

TEST_F(MidiTest, NamesAreQuotedAsTheyAreWithoutEscaping) {
    const std::string odd = "C:\\My Games\\ヴォ\\sound\\main.mid";
    m->setenabled(1);
    m->play(odd);
    EXPECT_EQ(sent().back(), "play \"" + odd + "\" notify [notify]");
}

TEST_F(MidiTest, DestructorStopsThePiecePlaying) {
    m->setenabled(1);
    m->play(kMain);
    forget();
    m.reset();
    EXPECT_EQ(sent(), endOf(kMain));
}

TEST_F(MidiTest, DestructorOfAnIdlePlayerSendsNothing) {
    m->play(kMain);
    m.reset();
    EXPECT_TRUE(sent().empty());
}

} // namespace
