#include "display/number_text.h"

#include <charconv>
#include <cmath>
#include <cstring>

// Fixed form is defined as: print |x| with 17 digits after the point, keep
// ten significant digits, round up when the next printed digit exceeds 4.
// Rather than print and re-read text, we compute the 17-digit decimal exactly
// in 128-bit integers from the double's bits, which gives the very same
// digits (the 17-digit print is correctly rounded, ties to even) several
// times faster than a general printer.

namespace wox::display {

namespace {

constexpr double kLowerThreshold = 0.00001;
constexpr double kUpperThreshold = 10000000000.0;
constexpr int kWorkingDecimals = 17;
constexpr int kSignificantDigits = 10;

constexpr std::uint64_t kPow10[20] = {
    1ull,
    10ull,
    100ull,
    1000ull,
    10000ull,
    100000ull,
    1000000ull,
    10000000ull,
    100000000ull,
    1000000000ull,
    10000000000ull,
    100000000000ull,
    1000000000000ull,
    10000000000000ull,
    100000000000000ull,
    1000000000000000ull,
    10000000000000000ull,
    100000000000000000ull,
    1000000000000000000ull,
    10000000000000000000ull,
};

int digitCount(std::uint64_t v) {
    int n = 1;
    while (n < 20 && v >= kPow10[n]) ++n;
    return n;
}

int put(char* out, const char* text) {
    int n = static_cast<int>(std::strlen(text));
    std::memcpy(out, text, n);
    return n;
}

// |x| = hi + lo / 10^17, with lo the correctly rounded 17-digit fraction.
void splitFixed(double a, std::uint64_t& hi, std::uint64_t& lo) {
    std::uint64_t bits;
    std::memcpy(&bits, &a, sizeof bits);
    const int biased = static_cast<int>((bits >> 52) & 0x7ff);
    const std::uint64_t m = (bits & ((1ull << 52) - 1)) | (1ull << 52);
    // a = m * 2^-s; the fixed range keeps s within 18..70.
    const int s = 1075 - biased;
    hi = s >= 64 ? 0 : m >> s;
    const std::uint64_t frac = s >= 64 ? m : m & ((1ull << s) - 1);
    using U128 = unsigned __int128;
    const U128 scaled = static_cast<U128>(frac) * kPow10[kWorkingDecimals];
    lo = static_cast<std::uint64_t>(scaled >> s);
    const U128 rem = scaled - (static_cast<U128>(lo) << s);
    const U128 half = static_cast<U128>(1) << (s - 1);
    if (rem > half || (rem == half && (lo & 1))) ++lo;
    if (lo == kPow10[kWorkingDecimals]) {
        ++hi;
        lo = 0;
    }
}

int fixedText(char* out, double x) {
    char* p = out;
    if (x < 0) *p++ = '_';
    std::uint64_t hi, lo;
    splitFixed(std::fabs(x), hi, lo);

    // r holds the significant digits, `decimals` of them after the point.
    std::uint64_t r;
    int decimals;
    int next;  // the printed digit after the last significant one
    if (hi > 0) {
        const int h = digitCount(hi);
        if (h >= kSignificantDigits) {
            r = hi;
            decimals = 0;
            next = h == kSignificantDigits ? static_cast<int>(lo / kPow10[kWorkingDecimals - 1]) : 0;
        } else {
            decimals = kSignificantDigits - h;
            const int cut = kWorkingDecimals - decimals;
            r = hi * kPow10[decimals] + lo / kPow10[cut];
            next = static_cast<int>(lo / kPow10[cut - 1] % 10);
        }
    } else {
        // Leading zeros after the point do not count as significant.
        const int cut = digitCount(lo) - kSignificantDigits;
        if (cut > 0) {
            r = lo / kPow10[cut];
            next = static_cast<int>(lo / kPow10[cut - 1] % 10);
        } else {
            r = lo;
            next = 0;
        }
        decimals = kWorkingDecimals - (cut > 0 ? cut : 0);
    }
    if (next > 4) ++r;  // a carry past the first digit simply adds a digit

    char digits[24];
    const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, r).ptr - digits);
    int intDigits = n - decimals;
    if (intDigits > 0) {
        std::memcpy(p, digits, intDigits);
        p += intDigits;
    } else {
        *p++ = '0';
    }
    // Fraction digits without trailing zeros; zeros of the integer part stay.
    int fracEnd = n;
    while (fracEnd > (intDigits > 0 ? intDigits : 0) && digits[fracEnd - 1] == '0') --fracEnd;
    const int fracStart = intDigits > 0 ? intDigits : 0;
    if (fracEnd > fracStart) {
        *p++ = '.';
        for (int z = intDigits; z < 0; ++z) *p++ = '0';
        std::memcpy(p, digits + fracStart, fracEnd - fracStart);
        p += fracEnd - fracStart;
    }
    return static_cast<int>(p - out);
}

int exponentText(char* out, double x) {
    if (x == 0) {
        out[0] = '0';
        return 1;
    }
    char* p = out;
    if (x < 0) {
        *p++ = '_';
        x = -x;
    }
    // d.ddddddddde[+-]XX, correctly rounded to ten significant digits.
    char sci[40];
    char* end = std::to_chars(sci, sci + sizeof sci, x, std::chars_format::scientific, 9).ptr;
    const char* e = static_cast<const char*>(std::memchr(sci, 'e', end - sci));
    const char* mantEnd = e;
    while (mantEnd > sci + 1 && mantEnd[-1] == '0') --mantEnd;
    if (mantEnd[-1] == '.') --mantEnd;
    std::memcpy(p, sci, mantEnd - sci);
    p += mantEnd - sci;
    *p++ = 'E';
    int exponent = 0;
    const char* q = e + 1;
    const bool negative = *q == '-';
    if (*q == '-' || *q == '+') ++q;
    std::from_chars(q, end, exponent);
    p += plainIntegerText(p, negative ? -exponent : exponent);
    return static_cast<int>(p - out);
}

}  // namespace

int plainIntegerText(char* out, std::int32_t v) {
    char* p = out;
    std::uint32_t u = static_cast<std::uint32_t>(v);
    if (v < 0) {
        *p++ = '_';
        u = 0u - u;
    }
    return static_cast<int>(std::to_chars(p, p + 10, u).ptr - out);
}

int integerText(char* out, std::int32_t v) {
    if (v == INT32_MIN) return put(out, "0n");
    if (v == INT32_MAX) return put(out, "0wi");
    if (v == -INT32_MAX) return put(out, "_0wi");
    return plainIntegerText(out, v);
}

int floatText(char* out, double v) {
    if (std::isnan(v)) return put(out, "0n");
    if (std::isinf(v)) return put(out, v > 0 ? "0w" : "_0w");
    const double a = std::fabs(v);
    if (a < kLowerThreshold || a >= kUpperThreshold) return exponentText(out, v);
    return fixedText(out, v);
}

int complexText(char* out, double re, double im) {
    int n = floatText(out, re);
    if (im != 0) {
        out[n++] = 'j';
        n += floatText(out + n, im);
    }
    return n;
}

}  // namespace wox::display
