// Tests of the decimal text arithmetic: hand-worked cases, the 255-character cut, results
// stored into an operand, and randomised cross-checks against machine integers, against a
// slow step-by-step model of the digit algorithms, and against the arithmetic laws.
#include "IntStr/IntStr.h"

#include "case_names.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace {

std::string text(const DecStr& s) {
    return std::string(s.view());
}

DecStr dec(const std::string& s) {
    EXPECT_LE(s.size(), size_t(255)) << "test operand too long";
    return DecStr(std::string_view(s));
}

std::string rep(char c, int32_t n) {
    return std::string(size_t(n), c);
}

using BinaryOp = DecStr (*)(DecStr, DecStr);

// ---------------------------------------------------------------------------------------------
// strnorm

struct NormCase {
    const char* in;
    const char* out;
};

class StrNorm : public ::testing::TestWithParam<NormCase> {};

TEST_P(StrNorm, StripsLeadingZeros) {
    const NormCase& c = GetParam();
    EXPECT_EQ(text(strnorm(DecStr(c.in))), c.out) << "strnorm(\"" << c.in << "\")";
}

INSTANTIATE_TEST_SUITE_P(Cases, StrNorm,
                         ::testing::Values(NormCase{"", "0"}, NormCase{"000", "0"},
                                           NormCase{"0", "0"}, NormCase{"0120", "120"},
                                           NormCase{"120", "120"}, NormCase{"-05", "-05"},
                                           NormCase{"-007", "-007"}, NormCase{"00-7", "-7"},
                                           NormCase{"7", "7"}),
                         [](const auto& i) { return case_names::text(i.param.in); });

// ---------------------------------------------------------------------------------------------
// strdigit

struct DigitCase {
    const char* s;
    int32_t i;
    int32_t expected;
};

class StrDigit : public ::testing::TestWithParam<DigitCase> {};

TEST_P(StrDigit, ReadsFromTheRight) {
    const DigitCase& c = GetParam();
    EXPECT_EQ(strdigit(DecStr(c.s), c.i), c.expected)
        << "strdigit(\"" << c.s << "\", " << c.i << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrDigit,
    ::testing::Values(DigitCase{"123", 1, 3}, DigitCase{"123", 2, 2}, DigitCase{"123", 3, 1},
                      DigitCase{"123", 4, 0}, DigitCase{"123", 0, 0}, DigitCase{"123", -1, 0},
                      DigitCase{"123", 1000, 0}, DigitCase{"-5", 1, 5}, DigitCase{"-5", 2, 0},
                      DigitCase{"", 1, 0}, DigitCase{"9x7", 2, 0}, DigitCase{" 7", 2, 0},
                      DigitCase{"9876543210", 10, 9}, DigitCase{"9876543210", 1, 0}),
    [](const auto& i) {
        return case_names::text(i.param.s) + "_Digit" + case_names::number(i.param.i);
    });

// ---------------------------------------------------------------------------------------------
// strmuld

struct MulDigitCase {
    const char* a;
    uint8_t d;
    const char* expected;
};

class StrMulDigit : public ::testing::TestWithParam<MulDigitCase> {};

TEST_P(StrMulDigit, MultipliesByOneDigit) {
    const MulDigitCase& c = GetParam();
    EXPECT_EQ(text(strmuld(DecStr(c.a), c.d)), c.expected)
        << "strmuld(\"" << c.a << "\", " << int32_t(c.d) << ")";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StrMulDigit,
    ::testing::Values(MulDigitCase{"123", 3, "369"}, MulDigitCase{"99", 9, "891"},
                      MulDigitCase{"25", 4, "100"}, MulDigitCase{"123", 0, "000"},
                      MulDigitCase{"007", 2, "014"}, MulDigitCase{"", 7, ""},
                      MulDigitCase{"5", 1, "5"}, MulDigitCase{"9", 9, "81"},
                      // A multiplier byte above 9 puts its whole carry
                      // in front.
                      MulDigitCase{"9", 200, "1800"}),
    [](const auto& i) {
        return case_names::text(i.param.a) + "_Times" + std::to_string(i.param.d);
    });

// ---------------------------------------------------------------------------------------------
// Two-operand cases on short texts.

struct BinaryCase {
    const char* opName;
    BinaryOp op;
    const char* a;
    const char* b;
    const char* expected;
};

class Binary : public ::testing::TestWithParam<BinaryCase> {};

// The suite names the operation; a case is named by its two operands.
std::string operandNames(const ::testing::TestParamInfo<BinaryCase>& info) {
    return case_names::text(info.param.a) + "_" + case_names::text(info.param.b);
}

TEST_P(Binary, GivesResult) {
    const BinaryCase& c = GetParam();
    EXPECT_EQ(text(c.op(DecStr(c.a), DecStr(c.b))), c.expected)
        << c.opName << "(\"" << c.a << "\", \"" << c.b << "\")";
}

INSTANTIATE_TEST_SUITE_P(StrAddU, Binary,
                         ::testing::Values(BinaryCase{"straddu", straddu, "999", "1", "1000"},
                                           BinaryCase{"straddu", straddu, "", "", ""},
                                           BinaryCase{"straddu", straddu, "", "5", "5"},
                                           BinaryCase{"straddu", straddu, "5", "", "5"},
                                           BinaryCase{"straddu", straddu, "007", "1", "008"},
                                           BinaryCase{"straddu", straddu, "0", "0", "0"},
                                           BinaryCase{"straddu", straddu, "123", "98765", "98888"},
                                           BinaryCase{"straddu", straddu, "5", "5", "10"}),
                         operandNames);

INSTANTIATE_TEST_SUITE_P(StrSubU, Binary,
                         ::testing::Values(BinaryCase{"strsubu", strsubu, "3", "5", "-2"},
                                           BinaryCase{"strsubu", strsubu, "5", "5", "0"},
                                           BinaryCase{"strsubu", strsubu, "100", "1", "99"},
                                           BinaryCase{"strsubu", strsubu, "1", "100", "-99"},
                                           BinaryCase{"strsubu", strsubu, "5", "05", "-0"},
                                           BinaryCase{"strsubu", strsubu, "05", "5", "0"},
                                           BinaryCase{"strsubu", strsubu, "1000", "999", "1"},
                                           BinaryCase{"strsubu", strsubu, "52", "25", "27"},
                                           BinaryCase{"strsubu", strsubu, "", "", "0"},
                                           BinaryCase{"strsubu", strsubu, "", "7", "-7"}),
                         operandNames);

INSTANTIATE_TEST_SUITE_P(StrAdd, Binary,
                         ::testing::Values(BinaryCase{"stradd", stradd, "-3", "3", "0"},
                                           BinaryCase{"stradd", stradd, "-3", "-4", "-7"},
                                           BinaryCase{"stradd", stradd, "7", "-10", "-3"},
                                           BinaryCase{"stradd", stradd, "-10", "7", "-3"},
                                           BinaryCase{"stradd", stradd, "10", "-7", "3"},
                                           BinaryCase{"stradd", stradd, "-7", "10", "3"},
                                           BinaryCase{"stradd", stradd, "12", "30", "42"},
                                           BinaryCase{"stradd", stradd, "-0", "-0", "-0"},
                                           BinaryCase{"stradd", stradd, "-999", "-1", "-1000"},
                                           BinaryCase{"stradd", stradd, "0", "0", "0"}),
                         operandNames);

INSTANTIATE_TEST_SUITE_P(StrMul, Binary,
                         ::testing::Values(BinaryCase{"strmul", strmul, "-2", "-3", "6"},
                                           BinaryCase{"strmul", strmul, "-2", "3", "-6"},
                                           BinaryCase{"strmul", strmul, "2", "-3", "-6"},
                                           BinaryCase{"strmul", strmul, "-5", "0", "-0"},
                                           BinaryCase{"strmul", strmul, "0", "-5", "-0"},
                                           BinaryCase{"strmul", strmul, "0", "0", "0"},
                                           BinaryCase{"strmul", strmul, "25", "4", "100"},
                                           BinaryCase{"strmul", strmul, "12", "", "0"},
                                           BinaryCase{"strmul", strmul, "", "12", "0"},
                                           BinaryCase{"strmul", strmul, "", "", "0"},
                                           BinaryCase{"strmul", strmul, "007", "3", "21"},
                                           BinaryCase{"strmul", strmul, "123", "456", "56088"},
                                           BinaryCase{"strmul", strmul, "99", "99", "9801"}),
                         operandNames);

INSTANTIATE_TEST_SUITE_P(StrMulU, Binary,
                         ::testing::Values(BinaryCase{"strmulu", strmulu, "12", "", "0"},
                                           BinaryCase{"strmulu", strmulu, "0", "123", "0"},
                                           BinaryCase{"strmulu", strmulu, "0012", "5", "60"},
                                           BinaryCase{"strmulu", strmulu, "3", "41", "123"},
                                           BinaryCase{"strmulu", strmulu, "41", "3", "123"}),
                         operandNames);

INSTANTIATE_TEST_SUITE_P(StrMax, Binary,
                         ::testing::Values(BinaryCase{"strmax", strmax, "9", "10", "10"},
                                           BinaryCase{"strmax", strmax, "10", "9", "10"},
                                           BinaryCase{"strmax", strmax, "0099", "100", "0099"},
                                           BinaryCase{"strmax", strmax, "100", "0099", "0099"},
                                           BinaryCase{"strmax", strmax, "123", "132", "132"},
                                           BinaryCase{"strmax", strmax, "132", "123", "132"},
                                           BinaryCase{"strmax", strmax, "12", "12", "12"},
                                           BinaryCase{"strmax", strmax, "", "", ""},
                                           BinaryCase{"strmax", strmax, "", "0", "0"}),
                         operandNames);

// strmax answers with its first operand on a tie. The texts agree, so tell the operands apart
// by what their unused positions hold.
struct TieCase {
    const char* value;
};

class StrMaxTie : public ::testing::TestWithParam<TieCase> {};

TEST_P(StrMaxTie, ReturnsFirstOperand) {
    DecStr a(GetParam().value);
    DecStr b(GetParam().value);
    std::memset(a.ch + a.len, 'A', size_t(255 - a.len));
    std::memset(b.ch + b.len, 'B', size_t(255 - b.len));
    const DecStr m = strmax(a, b);
    EXPECT_EQ(m.len, a.len);
    EXPECT_EQ(std::memcmp(m.ch, a.ch, 255), 0) << "strmax of equal operands gave the second";
    const DecStr n = strmax(b, a);
    EXPECT_EQ(std::memcmp(n.ch, b.ch, 255), 0) << "strmax of equal operands gave the second";
}

INSTANTIATE_TEST_SUITE_P(Cases, StrMaxTie,
                         ::testing::Values(TieCase{"12"}, TieCase{""}, TieCase{"0"}, TieCase{"000"},
                                           TieCase{"98765432109876543210"}),
                         [](const auto& i) { return case_names::text(i.param.value); });

// ---------------------------------------------------------------------------------------------
// The 255-character limit. Operands and results are written as runs of one character.

struct Run {
    char c;
    int32_t n;
};

std::string runs(std::initializer_list<Run> parts) {
    std::string s;
    for (const Run& r : parts) s += rep(r.c, r.n);
    return s;
}

struct LongCase {
    const char* name;
    BinaryOp op;
    std::string a;
    std::string b;
    std::string expected;
};

class Limit : public ::testing::TestWithParam<LongCase> {};

TEST_P(Limit, CutsAtTheRightHandEnd) {
    const LongCase& c = GetParam();
    const std::string got = text(c.op(dec(c.a), dec(c.b)));
    EXPECT_EQ(got.size(), c.expected.size());
    EXPECT_EQ(got, c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Limit,
    ::testing::Values(
        // The carry goes in front of 255 zeros and the last zero falls off.
        LongCase{"straddu_carry", straddu, rep('9', 255), "1", runs({{'1', 1}, {'0', 254}})},
        LongCase{"straddu_full_no_carry", straddu, rep('4', 255), rep('5', 255), rep('9', 255)},
        LongCase{"stradd_carry", stradd, rep('9', 255), "1", runs({{'1', 1}, {'0', 254}})},
        // Two negatives: the sign in front of a full sum drops its last digit.
        LongCase{"stradd_negative_sign", stradd, "-" + rep('9', 254), "-1",
                 runs({{'-', 1}, {'1', 1}, {'0', 253}})},
        LongCase{"stradd_negative_sum_full", stradd, "-" + rep('1', 254), "-" + rep('2', 254),
                 "-" + rep('3', 254)},
        // b is larger: "-" goes in front of a 255-digit difference.
        LongCase{"strsubu_sign", strsubu, "0", rep('9', 255), "-" + rep('9', 254)},
        LongCase{"stradd_difference_sign", stradd, "-" + rep('9', 254), "1",
                 "-" + runs({{'9', 253}, {'8', 1}})},
        // 9 × (10^255 - 1) = 8 999…999 1; the final 1 is lost.
        LongCase{"strmul_digit_carry", strmul, rep('9', 255), "9", runs({{'8', 1}, {'9', 254}})},
        // The partial product for the tens digit cannot take its zero, so it adds in
        // unshifted: 111…1 × 11 gives 222…2.
        LongCase{"strmul_partial_not_shifted", strmul, rep('1', 255), "11", rep('2', 255)},
        // 10^200 × 10^100: the last partial product is cut to 255 characters.
        LongCase{"strmul_power_of_ten", strmul, runs({{'1', 1}, {'0', 200}}),
                 runs({{'1', 1}, {'0', 100}}), runs({{'1', 1}, {'0', 254}})},
        LongCase{"strmul_power_of_ten_swapped", strmul, runs({{'1', 1}, {'0', 100}}),
                 runs({{'1', 1}, {'0', 200}}), runs({{'1', 1}, {'0', 254}})},
        // A sign in front of a full product.
        LongCase{"strmul_sign", strmul, "-1", runs({{'1', 1}, {'0', 254}}),
                 runs({{'-', 1}, {'1', 1}, {'0', 253}})},
        LongCase{"strmul_both_negative", strmul, "-" + rep('9', 254), "-9",
                 runs({{'8', 1}, {'9', 253}, {'1', 1}})},
        // A product that only just fits is not touched.
        LongCase{"strmul_exactly_full", strmul, runs({{'1', 1}, {'0', 127}}),
                 runs({{'1', 1}, {'0', 127}}), runs({{'1', 1}, {'0', 254}})},
        LongCase{"strmax_full", strmax, rep('9', 255), rep('9', 254) + "8", rep('9', 255)}),
    [](const ::testing::TestParamInfo<LongCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------------
// A result may be stored into one of its operands.

TEST(IntStrAliasing, ResultIntoOperand) {
    DecStr x("123");
    DecStr y("-1000");
    x = stradd(x, y);
    EXPECT_EQ(text(x), "-877");
    y = stradd(x, y);
    EXPECT_EQ(text(y), "-1877");
    x = stradd(x, x);
    EXPECT_EQ(text(x), "-1754");
    x = strmul(x, x);
    EXPECT_EQ(text(x), "3076516");
    y = strmul(x, y);
    EXPECT_EQ(text(y), "-5774620532");
    DecStr u("999");
    u = straddu(u, u);
    EXPECT_EQ(text(u), "1998");
    u = strsubu(u, DecStr("1999"));
    EXPECT_EQ(text(u), "-1");
    DecStr v("0042");
    v = strnorm(v);
    EXPECT_EQ(text(v), "42");
    v = strmuld(v, 5);
    EXPECT_EQ(text(v), "210");
    v = strmulu(v, v);
    EXPECT_EQ(text(v), "44100");
    DecStr w("44101");
    v = strmax(w, v);
    EXPECT_EQ(text(v), "44101");
    // The score grows by itself times the rate, stored back into the score.
    DecStr score(rep('7', 120));
    const DecStr before = score;
    score = stradd(score, strmul(score, DecStr("3")));
    EXPECT_EQ(text(score), text(strmul(before, DecStr("4"))));
}

// ---------------------------------------------------------------------------------------------
// inttostr

class IntToStr : public ::testing::TestWithParam<int32_t> {};

TEST_P(IntToStr, MatchesStandardText) {
    EXPECT_EQ(text(inttostr(GetParam())), std::to_string(GetParam()));
}

INSTANTIATE_TEST_SUITE_P(Cases, IntToStr,
                         ::testing::Values(0, 1, -1, 9, 10, -10, 255, 123456789, INT32_MAX,
                                           INT32_MIN, INT32_MIN + 1),
                         [](const auto& i) { return case_names::number(i.param); });

TEST(IntToStrRandom, MatchesStandardText) {
    std::mt19937 gen(7);
    for (int32_t k = 0; k < 5000; ++k) {
        const int32_t n = int32_t(gen());
        ASSERT_EQ(text(inttostr(n)), std::to_string(n));
    }
}

// ---------------------------------------------------------------------------------------------
// Randomised cross-check against exact machine arithmetic.

using i128 = __int128;

std::string i128Text(i128 v) {
    if (v == 0) return "0";
    const bool negative = v < 0;
    std::string digits;
    while (v != 0) {
        const int32_t d = int32_t(v % 10);
        digits.insert(digits.begin(), char('0' + (d < 0 ? -d : d)));
        v /= 10;
    }
    return negative ? "-" + digits : digits;
}

// A value of 1..18 digits (sometimes zero), with a random sign, and its text.
struct Small {
    i128 value;
    std::string text;
};

Small randomSmall(std::mt19937_64& gen) {
    const int32_t digits = int32_t(gen() % 18) + 1;
    i128 v = 0;
    for (int32_t k = 0; k < digits; ++k) v = v * 10 + i128(gen() % 10);
    if (gen() % 16 == 0) v = 0;
    if (v != 0 && gen() % 2 == 0) v = -v;
    return Small{v, i128Text(v)};
}

TEST(IntStrRandom, MatchesMachineArithmetic) {
    std::mt19937_64 gen(20240601);
    for (int32_t k = 0; k < 20000; ++k) {
        const Small a = randomSmall(gen);
        const Small b = randomSmall(gen);
        const DecStr da = dec(a.text);
        const DecStr db = dec(b.text);
        ASSERT_EQ(text(stradd(da, db)), i128Text(a.value + b.value)) << a.text << " + " << b.text;
        // A negative operand times zero keeps its sign: "-0".
        const i128 product = a.value * b.value;
        const bool oneNegative = (a.value < 0) != (b.value < 0);
        const std::string expectedProduct =
            (product == 0 && oneNegative) ? std::string("-0") : i128Text(product);
        ASSERT_EQ(text(strmul(da, db)), expectedProduct) << a.text << " * " << b.text;

        const i128 ma = a.value < 0 ? -a.value : a.value;
        const i128 mb = b.value < 0 ? -b.value : b.value;
        const DecStr dma = dec(i128Text(ma));
        const DecStr dmb = dec(i128Text(mb));
        ASSERT_EQ(text(strmax(dma, dmb)), i128Text(ma > mb ? ma : mb))
            << "max(" << i128Text(ma) << ", " << i128Text(mb) << ")";
        ASSERT_EQ(text(strsubu(dma, dmb)), i128Text(ma - mb))
            << i128Text(ma) << " - " << i128Text(mb);
        ASSERT_EQ(text(straddu(dma, dmb)), i128Text(ma + mb));
    }
}

// ---------------------------------------------------------------------------------------------
// Randomised cross-check against a slow model that follows the digit algorithms step by step,
// with every character put in front or behind followed by the cut to 255. Operands run up to
// the full 255 characters and carry leading zeros, so the cut and the misleading comparisons
// are exercised too.

namespace model {

std::string cut(std::string s) {
    if (s.size() > 255) s.resize(255);
    return s;
}
std::string prepend(const std::string& front, const std::string& s) {
    return cut(front + s);
}
std::string append(const std::string& s, char back) {
    return cut(s + back);
}
int32_t digit(const std::string& s, int32_t i) {
    const int32_t n = int32_t(s.size());
    if (i > n || i < 1) return 0;
    const char c = s[size_t(n - i)];
    return (c >= '0' && c <= '9') ? c - '0' : 0;
}
std::string norm(std::string s) {
    while (!s.empty() && s[0] == '0') s.erase(0, 1);
    return s.empty() ? std::string("0") : s;
}
std::string max(const std::string& a, const std::string& b) {
    if (a.size() > b.size()) return a;
    if (b.size() > a.size()) return b;
    for (size_t k = 0; k < a.size(); ++k) {
        const int32_t da = digit(a, int32_t(a.size() - k));
        const int32_t db = digit(b, int32_t(b.size() - k));
        if (da != db) return da > db ? a : b;
    }
    return a;
}
std::string addu(const std::string& a, const std::string& b) {
    std::string r;
    int32_t carry = 0;
    for (int32_t i = 1; i <= int32_t(a.size()) || i <= int32_t(b.size()); ++i) {
        const int32_t s = digit(a, i) + digit(b, i) + carry;
        r = prepend(std::to_string(s % 10), r);
        carry = s / 10;
    }
    if (carry != 0) r = prepend(std::to_string(carry), r);
    return r;
}
std::string subu(const std::string& a, const std::string& b) {
    const std::string m = max(a, b);
    if (m == b && a != b) return prepend("-", subu(b, a));
    std::string r;
    int32_t borrow = 0;
    for (int32_t i = 1; i <= int32_t(a.size()) || i <= int32_t(b.size()); ++i) {
        const int32_t x = digit(a, i) - borrow;
        const int32_t y = digit(b, i);
        if (x < y) {
            r = prepend(std::to_string(x + 10 - y), r);
            borrow = 1;
        } else {
            r = prepend(std::to_string(x - y), r);
            borrow = 0;
        }
    }
    return norm(r);
}
std::string muld(const std::string& a, int32_t d) {
    std::string r;
    int32_t carry = 0;
    for (int32_t i = 1; i <= int32_t(a.size()); ++i) {
        const int32_t p = digit(a, i) * d + carry;
        r = prepend(std::to_string(p % 10), r);
        carry = p / 10;
    }
    if (carry != 0) r = prepend(std::to_string(carry), r);
    return r;
}
std::string mulu(std::string a, std::string b) {
    if (a.size() < b.size()) std::swap(a, b);
    std::string r;
    for (int32_t i = 1; i <= int32_t(b.size()); ++i) {
        std::string p = muld(a, digit(b, i));
        for (int32_t z = 0; z < i - 1; ++z) p = append(p, '0');
        r = addu(r, p);
    }
    return norm(r);
}
bool negative(const std::string& s) {
    return !s.empty() && s[0] == '-';
}
std::string mag(const std::string& s) {
    return s.substr(1);
}
std::string add(const std::string& a, const std::string& b) {
    if (negative(a) && negative(b)) return prepend("-", addu(mag(a), mag(b)));
    if (negative(a)) return subu(b, mag(a));
    if (negative(b)) return subu(a, mag(b));
    return addu(a, b);
}
std::string mul(const std::string& a, const std::string& b) {
    if (negative(a) && negative(b)) return mulu(mag(a), mag(b));
    if (negative(a)) return prepend("-", mulu(mag(a), b));
    if (negative(b)) return prepend("-", mulu(a, mag(b)));
    return mulu(a, b);
}

} // namespace model

// Digits only, 0..maxLen long, often with leading zeros, often made of few distinct digits so
// that long carries and equal prefixes turn up.
std::string randomDigits(std::mt19937_64& gen, int32_t maxLen) {
    const int32_t len = int32_t(gen() % uint64_t(maxLen + 1));
    const int32_t style = int32_t(gen() % 4);
    std::string s;
    for (int32_t k = 0; k < len; ++k) {
        int32_t d = int32_t(gen() % 10);
        if (style == 1) d = (gen() % 8 == 0) ? int32_t(gen() % 10) : 9;
        if (style == 2) d = (gen() % 8 == 0) ? int32_t(gen() % 10) : 0;
        s += char('0' + d);
    }
    const int32_t zeros = int32_t(gen() % 4 == 0 ? gen() % 4 : 0);
    s = std::string(size_t(zeros), '0') + s;
    if (int32_t(s.size()) > maxLen) s.resize(size_t(maxLen));
    return s;
}

std::string randomSigned(std::mt19937_64& gen, int32_t maxLen) {
    std::string s = randomDigits(gen, maxLen - 1);
    if (gen() % 2 == 0) s = "-" + s;
    return s;
}

// Pairs of operands of similar length, so that equal lengths and near-equal values are common.
std::string likeOther(std::mt19937_64& gen, const std::string& other) {
    std::string s = other;
    if (s.empty()) return s;
    const int32_t changes = int32_t(gen() % 3);
    for (int32_t k = 0; k < changes; ++k) {
        const size_t at = size_t(gen() % s.size());
        if (s[at] != '-') s[at] = char('0' + gen() % 10);
    }
    return s;
}

TEST(IntStrModel, UnsignedOperationsFollowTheDigitSteps) {
    std::mt19937_64 gen(99);
    for (int32_t k = 0; k < 3000; ++k) {
        const std::string a = randomDigits(gen, 255);
        const std::string b = (k % 3 == 0) ? likeOther(gen, a) : randomDigits(gen, 255);
        const DecStr da = dec(a);
        const DecStr db = dec(b);
        ASSERT_EQ(text(strnorm(da)), model::norm(a)) << a;
        ASSERT_EQ(text(straddu(da, db)), model::addu(a, b)) << a << " + " << b;
        ASSERT_EQ(text(strsubu(da, db)), model::subu(a, b)) << a << " - " << b;
        ASSERT_EQ(text(strmax(da, db)), model::max(a, b)) << a << " max " << b;
        const uint8_t d = uint8_t(gen() % 10);
        ASSERT_EQ(text(strmuld(da, d)), model::muld(a, d)) << a << " * " << int32_t(d);
        if (k % 10 == 0) {
            ASSERT_EQ(text(strmulu(da, db)), model::mulu(a, b)) << a << " * " << b;
        }
    }
}

TEST(IntStrModel, SignedOperationsFollowTheDigitSteps) {
    std::mt19937_64 gen(4321);
    for (int32_t k = 0; k < 3000; ++k) {
        const std::string a = randomSigned(gen, 255);
        const std::string b = (k % 3 == 0) ? likeOther(gen, a) : randomSigned(gen, 255);
        ASSERT_EQ(text(stradd(dec(a), dec(b))), model::add(a, b)) << a << " + " << b;
        if (k % 10 == 0) {
            ASSERT_EQ(text(strmul(dec(a), dec(b))), model::mul(a, b)) << a << " * " << b;
        }
    }
}

// Products whose partial products run into the limit, where the model and the fast version
// must agree exactly on what is lost.
TEST(IntStrModel, LongProductsAgreeAtTheLimit) {
    std::mt19937_64 gen(555);
    for (int32_t k = 0; k < 150; ++k) {
        const int32_t la = 130 + int32_t(gen() % 126);
        const int32_t lb = 1 + int32_t(gen() % 126);
        std::string a, b;
        for (int32_t i = 0; i < la; ++i) a += char('0' + gen() % 10);
        for (int32_t i = 0; i < lb; ++i) b += char('0' + gen() % 10);
        ASSERT_EQ(text(strmul(dec(a), dec(b))), model::mul(a, b)) << a << " * " << b;
        ASSERT_EQ(text(strmul(dec(b), dec(a))), model::mul(b, a)) << b << " * " << a;
    }
}

// ---------------------------------------------------------------------------------------------
// Arithmetic laws on long values (up to 120 digits, so that nothing reaches the limit).

std::string randomLongValue(std::mt19937_64& gen) {
    // At least two digits and no leading zero: never 0 and never -1, so that no product is
    // zero (where the sign rule gives "-0") and b + 1 is never zero.
    const int32_t len = 2 + int32_t(gen() % 119);
    std::string s(1, char('1' + gen() % 9));
    for (int32_t k = 1; k < len; ++k) s += char('0' + gen() % 10);
    if (gen() % 2 == 0) s = "-" + s;
    return s;
}

TEST(IntStrLaws, HoldForLongValues) {
    std::mt19937_64 gen(8080);
    const DecStr one("1");
    for (int32_t k = 0; k < 3000; ++k) {
        const DecStr a = dec(randomLongValue(gen));
        const DecStr b = dec(randomLongValue(gen));
        const DecStr c = dec(randomLongValue(gen));
        const std::string info = text(a) + " / " + text(b) + " / " + text(c);
        ASSERT_EQ(text(stradd(a, b)), text(stradd(b, a))) << info;
        ASSERT_EQ(text(strmul(a, b)), text(strmul(b, a))) << info;
        ASSERT_EQ(text(stradd(stradd(a, b), c)), text(stradd(a, stradd(b, c)))) << info;
        ASSERT_EQ(text(stradd(strmul(a, b), a)), text(strmul(a, stradd(b, one)))) << info;
        // a + b - b = a, with the subtraction done as adding the negated value.
        const DecStr negB = strmul(b, DecStr("-1"));
        ASSERT_EQ(text(stradd(stradd(a, b), negB)), text(a)) << info;
    }
}

} // namespace
