// Decimal arithmetic on digit text. Every operation reads its operands position by position
// through strdigit, so any character that is not a digit simply counts as 0.
//
// Results are at most 255 characters. When a character is put in front of a full text, the
// rightmost character falls off; when one is put behind a full text, it is dropped. Rather
// than shifting the whole text for each new leading digit, the digits of a result are written
// into a local buffer from its right-hand end and only the leftmost 255 of them are kept at
// the end. That is the same thing: putting c in front of the leftmost 255 characters of X and
// cutting again leaves exactly the leftmost 255 characters of cX, so a run of such steps keeps
// the leftmost 255 characters of everything written.
#include "IntStr/IntStr.h"

#include <cstring>
#include <utility>

namespace {

constexpr int32_t kCapacity = DecStr::capacity;

int32_t digitValue(char c) {
    if (c >= '0' && c <= '9') return int32_t(c - '0');
    return 0;
}

char digitChar(int32_t v) {
    return char('0' + v);
}

// Collects the characters of a result from the least significant end towards the front.
// No operation writes more than the longer operand's length plus three characters (the
// carry of strmuld has at most three digits even for a multiplier byte above 9), so the
// buffer has room for a full operand and then some.
class FromTheRight {
  public:
    void put(char c) {
        if (start_ > 0) buf_[--start_] = c;
    }
    // The leftmost 255 characters of everything put so far.
    DecStr finish() const {
        DecStr out;
        const int32_t written = kRoom - start_;
        const int32_t kept = written < kCapacity ? written : kCapacity;
        if (kept > 0) std::memcpy(out.ch, buf_ + start_, size_t(kept));
        out.len = uint8_t(kept);
        return out;
    }

  private:
    static constexpr int32_t kRoom = kCapacity + 9;
    char buf_[kRoom] = {};
    int32_t start_ = kRoom;
};

bool isNegative(const DecStr& s) {
    return s.len >= 1 && s.ch[0] == '-';
}

// The operand without its first character (its sign).
DecStr magnitude(const DecStr& s) {
    DecStr m;
    if (s.len > 1) std::memcpy(m.ch, s.ch + 1, size_t(s.len - 1));
    m.len = s.len > 0 ? uint8_t(s.len - 1) : uint8_t(0);
    return m;
}

// "-" in front of s; a full text loses its last character to make room.
DecStr withMinus(const DecStr& s) {
    DecStr out;
    out.ch[0] = '-';
    const int32_t kept = s.len < kCapacity ? int32_t(s.len) : kCapacity - 1;
    if (kept > 0) std::memcpy(out.ch + 1, s.ch, size_t(kept));
    out.len = uint8_t(kept + 1);
    return out;
}

// Zeros put one at a time behind s; once s is full the rest change nothing.
void appendZeros(DecStr& s, int32_t count) {
    while (count > 0 && s.len < kCapacity) {
        s.ch[s.len] = '0';
        s.len = uint8_t(s.len + 1);
        --count;
    }
}

// top - bottom, digit by digit, for the case where top is the larger (or both are the same
// text). A borrow left at the end is dropped: that only happens when leading zeros made the
// shorter value look smaller than it is.
DecStr subtractDigits(const DecStr& top, const DecStr& bottom) {
    FromTheRight out;
    int32_t borrow = 0;
    const int32_t n = top.len > bottom.len ? int32_t(top.len) : int32_t(bottom.len);
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t x = strdigit(top, i) - borrow;
        const int32_t y = strdigit(bottom, i);
        if (x < y) {
            out.put(digitChar(x + 10 - y));
            borrow = 1;
        } else {
            out.put(digitChar(x - y));
            borrow = 0;
        }
    }
    return strnorm(out.finish());
}

} // namespace

DecStr strnorm(DecStr s) {
    int32_t lead = 0;
    while (lead < s.len && s.ch[lead] == '0') ++lead;
    if (lead == s.len) {
        s.assign("0");
        return s;
    }
    if (lead > 0) {
        std::memmove(s.ch, s.ch + lead, size_t(s.len - lead));
        s.len = uint8_t(s.len - lead);
    }
    return s;
}

int32_t strdigit(const DecStr& s, int32_t i) {
    const int32_t n = s.len;
    if (i > n || i < 1) return 0;
    return digitValue(s.ch[n - i]);
}

DecStr straddu(DecStr a, DecStr b) {
    FromTheRight out;
    int32_t carry = 0;
    const int32_t n = a.len > b.len ? int32_t(a.len) : int32_t(b.len);
    for (int32_t i = 1; i <= n; ++i) {
        const int32_t s = strdigit(a, i) + strdigit(b, i) + carry;
        out.put(digitChar(s % 10));
        carry = s / 10;
    }
    if (carry != 0) out.put(digitChar(carry));
    return out.finish();
}

DecStr strsubu(DecStr a, DecStr b) {
    const DecStr m = strmax(a, b);
    // With b the larger, b - a has b on top, so it never takes this branch a second time.
    if (m.sameText(b) && !a.sameText(b)) return withMinus(subtractDigits(b, a));
    return subtractDigits(a, b);
}

DecStr strmuld(DecStr a, uint8_t d) {
    FromTheRight out;
    int32_t carry = 0;
    for (int32_t i = 1; i <= a.len; ++i) {
        const int32_t p = strdigit(a, i) * int32_t(d) + carry;
        out.put(digitChar(p % 10));
        carry = p / 10;
    }
    // The carry goes in front as its decimal text: its own digits, last one first.
    while (carry != 0) {
        out.put(digitChar(carry % 10));
        carry /= 10;
    }
    return out.finish();
}

DecStr strmulu(DecStr a, DecStr b) {
    // The multiplier digits come from the shorter operand, so there are fewer partial products.
    if (a.len < b.len) std::swap(a, b);
    DecStr r;
    for (int32_t i = 1; i <= b.len; ++i) {
        DecStr p = strmuld(a, uint8_t(strdigit(b, i)));
        appendZeros(p, i - 1);
        r = straddu(r, p);
    }
    return strnorm(r);
}

DecStr stradd(DecStr a, DecStr b) {
    const bool aNeg = isNegative(a);
    const bool bNeg = isNegative(b);
    if (aNeg && bNeg) return withMinus(straddu(magnitude(a), magnitude(b)));
    if (aNeg) return strsubu(b, magnitude(a));
    if (bNeg) return strsubu(a, magnitude(b));
    return straddu(a, b);
}

DecStr strmul(DecStr a, DecStr b) {
    const bool aNeg = isNegative(a);
    const bool bNeg = isNegative(b);
    // No test for zero: a negative value times zero stays "-0".
    if (aNeg && bNeg) return strmulu(magnitude(a), magnitude(b));
    if (aNeg) return withMinus(strmulu(magnitude(a), b));
    if (bNeg) return withMinus(strmulu(a, magnitude(b)));
    return strmulu(a, b);
}

DecStr strmax(DecStr a, DecStr b) {
    // Length decides first, so leading zeros make a value win.
    if (a.len > b.len) return a;
    if (b.len > a.len) return b;
    for (int32_t k = 0; k < a.len; ++k) {
        const int32_t da = digitValue(a.ch[k]);
        const int32_t db = digitValue(b.ch[k]);
        if (da > db) return a;
        if (db > da) return b;
    }
    return a;
}

DecStr inttostr(int32_t n) {
    FromTheRight out;
    // Widened so that the magnitude of the smallest 32-bit value fits.
    int64_t v = n;
    const bool negative = v < 0;
    if (negative) v = -v;
    do {
        out.put(digitChar(int32_t(v % 10)));
        v /= 10;
    } while (v != 0);
    if (negative) out.put('-');
    return out.finish();
}
