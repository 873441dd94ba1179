// What the server reads from a request itself: numbers in the query, ids in the path, the
// forwarded address, and names.

#include "server/Request.h"

#include <gtest/gtest.h>

TEST(RequestNumbers, EmptyQueryGivesTheDefault) {
    int64_t v = -1;
    ASSERT_TRUE(queryNumber("", 10, 1, 100, v));
    EXPECT_EQ(v, 10);
}

TEST(RequestNumbers, OutOfRangeOrNotDigitsIsRefused) {
    int64_t v = 0;
    EXPECT_TRUE(queryNumber("100", 10, 1, 100, v));
    EXPECT_EQ(v, 100);
    for (const char* bad : {"0", "101", "-1", "1e3", " 5", "5 ", "0x10", "99999999999999999999"})
        EXPECT_FALSE(queryNumber(bad, 10, 1, 100, v)) << bad;
}

TEST(RequestIds, PathIdsArePlainPositiveNumbers) {
    int64_t v = 0;
    ASSERT_TRUE(pathId("17", v));
    EXPECT_EQ(v, 17);
    for (const char* bad : {"", "0", "017", "-3", "1.5", "abc", "9007199254740993", "1%00"})
        EXPECT_FALSE(pathId(bad, v)) << bad;
}

TEST(RequestIds, ReplayFileNamesEndInVtr) {
    int64_t v = 0;
    ASSERT_TRUE(replayFileId("42.vtr", v));
    EXPECT_EQ(v, 42);
    for (const char* bad : {".vtr", "42", "42.vtrx", "42.VTR", "../42.vtr", "0.vtr"})
        EXPECT_FALSE(replayFileId(bad, v)) << bad;
}

TEST(RequestForwarded, TakesTheFirstAddressOnly) {
    EXPECT_EQ(forwardedAddress("203.0.113.7, 10.0.0.1"), "203.0.113.7");
    EXPECT_EQ(forwardedAddress(" 2001:db8::1 "), "2001:db8::1");
    EXPECT_EQ(forwardedAddress("evil<script>"), "");
    EXPECT_EQ(forwardedAddress(""), "");
}

TEST(GameNames, OnlyTheNameEntrysCharacters) {
    EXPECT_TRUE(isGameName("ABC"));
    EXPECT_TRUE(isGameName("A B 09"));
    EXPECT_TRUE(isGameName("ABCDEFGHIJ"));
    for (const char* bad : {"", "abc", "ABCDEFGHIJK", "A!", "A#", "<b>", "Ä"})
        EXPECT_FALSE(isGameName(bad)) << bad;
    EXPECT_FALSE(isGameName(std::string("A\0B", 3)));
}
