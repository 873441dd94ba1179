// The SDL window's key translation and key state, and its file-dialog filter, checked
// without a window.

#include "platform/sdl/SdlFileFilter.h"
#include "platform/sdl/SdlKeys.h"

#include <gtest/gtest.h>

using sdlkeys::keycodeOf;
using sdlkeys::virtualKey;

namespace {

// Keycode of a key that has no character: its scancode with bit 30 set.
int32_t named(int32_t scancode) {
    return keycodeOf(scancode);
}

} // namespace

TEST(SdlKeys, LettersFollowTheLayoutAsWindowsDoes) {
    for (int32_t c = 'a'; c <= 'z'; ++c)
        EXPECT_EQ(virtualKey(c, sdlkeys::kScanA + (c - 'a')), 'A' + (c - 'a')) << char(c);
    // AZERTY: the key in the QWERTY 'Q' place types 'a' and is 'A'; the one in the 'M'
    // place types ',' and is no letter.
    EXPECT_EQ(virtualKey('a', sdlkeys::kScanA + ('q' - 'a')), 'A');
    EXPECT_EQ(virtualKey(',', sdlkeys::kScanA + ('m' - 'a')), 0);
    // The game's letters.
    EXPECT_EQ(virtualKey('z', sdlkeys::kScanA + 25), 90);
    EXPECT_EQ(virtualKey('x', sdlkeys::kScanA + 23), 88);
    EXPECT_EQ(virtualKey('c', sdlkeys::kScanA + 2), 67);
    EXPECT_EQ(virtualKey('s', sdlkeys::kScanA + 18), 83);
}

TEST(SdlKeys, ALayoutWithoutLatinLettersUsesThePosition) {
    // Cyrillic 'я' (U+044F) sits where a US keyboard has 'Z'.
    EXPECT_EQ(virtualKey(0x044F, sdlkeys::kScanZ), 'Z');
}

TEST(SdlKeys, MainRowDigitsByPositionNeverTheKeypad) {
    for (int32_t d = 1; d <= 9; ++d)
        EXPECT_EQ(virtualKey('0' + d, sdlkeys::kScan1 + d - 1), '0' + d) << d;
    EXPECT_EQ(virtualKey('0', sdlkeys::kScan0), '0');
    // AZERTY's unshifted digit row gives '&', 'é', '"', ... and is still '1', '2', '3'.
    EXPECT_EQ(virtualKey('&', sdlkeys::kScan1), '1');
    EXPECT_EQ(virtualKey(0xE9, sdlkeys::kScan1 + 1), '2');
    // The keypad digits are VK_NUMPAD0..9 (96..105): never 52, 53, 54 or 56.
    for (int32_t d = 1; d <= 9; ++d) {
        const int32_t scan = sdlkeys::kScanKp1 + d - 1;
        EXPECT_EQ(virtualKey(named(scan), scan), 96 + d) << d;
        // Even were a keypad key reported with a digit's keycode.
        EXPECT_EQ(virtualKey('0' + d, scan), 96 + d) << d;
    }
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanKp0), sdlkeys::kScanKp0), 96);
}

TEST(SdlKeys, ArrowsEscapeAndFunctionKeys) {
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanLeft), sdlkeys::kScanLeft), 37);
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanUp), sdlkeys::kScanUp), 38);
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanRight), sdlkeys::kScanRight), 39);
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanDown), sdlkeys::kScanDown), 40);
    EXPECT_EQ(virtualKey(sdlkeys::kKeyEscape, 41), 27);
    for (int32_t f = 0; f < 12; ++f)
        EXPECT_EQ(virtualKey(named(sdlkeys::kScanF1 + f), sdlkeys::kScanF1 + f), 112 + f) << f;
}

TEST(SdlKeys, ModifiersHaveTheirOwnCodesAndOtherKeysNone) {
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanLShift), sdlkeys::kScanLShift), 16);
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanRCtrl), sdlkeys::kScanRCtrl), 17);
    EXPECT_EQ(virtualKey(named(sdlkeys::kScanLAlt), sdlkeys::kScanLAlt), 18);
    EXPECT_EQ(virtualKey(sdlkeys::kKeyReturn, 40), 13);
    EXPECT_EQ(virtualKey(sdlkeys::kKeySpace, 44), 32);
    EXPECT_EQ(virtualKey('/', 56), 0);
    EXPECT_EQ(virtualKey(named(300), 300), 0);
}

TEST(SdlKeys, DownNowOrPressedSinceTheLastQuery) {
    sdlkeys::KeyStates keys;
    EXPECT_FALSE(keys.query(38));
    keys.press(38);
    EXPECT_TRUE(keys.query(38));
    EXPECT_TRUE(keys.query(38)); // still held
    keys.release(38);
    EXPECT_FALSE(keys.query(38));
    // A tap between two queries counts once.
    keys.press(56);
    keys.release(56);
    EXPECT_TRUE(keys.query(56));
    EXPECT_FALSE(keys.query(56));
    // Each key on its own.
    keys.press(83);
    EXPECT_FALSE(keys.query(56));
    EXPECT_TRUE(keys.query(83));
    // Focus lost: held keys are let go, but a press not yet asked about still counts.
    keys.press(90);
    keys.releaseAll();
    EXPECT_FALSE(keys.query(83));
    EXPECT_TRUE(keys.query(90));
    EXPECT_FALSE(keys.query(90));
    // Code 0 ("no code") never becomes a key.
    keys.press(0);
    EXPECT_FALSE(keys.query(0));
}

TEST(SdlFileFilter, TheGamesPictureFilterForZenity) {
    const std::string filter =
        "すべてのﾌｧｲﾙ (*.bmp;*.jpg)|*.bmp;*.jpg|ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp)|*.bmp|JPEG(*.jpg)|*.jpg";
    const std::vector<std::string> args = sdlfilter::zenityFileFilters(filter);
    ASSERT_EQ(args.size(), 3u);
    EXPECT_EQ(args[0], "--file-filter=すべてのﾌｧｲﾙ (*.bmp;*.jpg) | *.bmp *.BMP *.jpg *.JPG");
    EXPECT_EQ(args[1], "--file-filter=ﾋﾞｯﾄﾏｯﾌﾟ (*.bmp) | *.bmp *.BMP");
    EXPECT_EQ(args[2], "--file-filter=JPEG(*.jpg) | *.jpg *.JPG");
}

TEST(SdlFileFilter, OddAndEmptyFilters) {
    EXPECT_TRUE(sdlfilter::zenityFileFilters("").empty());
    // A name without patterns is dropped, as is an empty pattern list.
    EXPECT_TRUE(sdlfilter::zenityFileFilters("Pictures").empty());
    EXPECT_TRUE(sdlfilter::zenityFileFilters("Pictures|;;").empty());
    const std::vector<std::string> args = sdlfilter::zenityFileFilters("All|*|Text|*.TXT;;");
    ASSERT_EQ(args.size(), 2u);
    EXPECT_EQ(args[0], "--file-filter=All | *");
    EXPECT_EQ(args[1], "--file-filter=Text | *.TXT");
}
