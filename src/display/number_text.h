#pragma once
// The text of one number as the session, the format function and the cells
// of dictionaries and tables show it: "_" for the minus sign, "0n" for nulls,
// "0w" and "0wi" for infinities, ten significant digits, and an exponent form
// with "E" outside 0.00001 <= |x| < 10000000000.
//
// The routines write into a caller's buffer, never allocate, and do not depend
// on the process locale. Each returns the length of the text; nothing is
// terminated.
#include <cstdint>

namespace wox::display {

// Enough for any integer or float text (the longest is 16 characters).
inline constexpr int kNumberTextMax = 32;
// Enough for a complex text: two float texts and the "j".
inline constexpr int kComplexTextMax = 2 * kNumberTextMax;

// Integer text: the null gives "0n", the largest and the negated largest
// value give "0wi" and "_0wi", anything else its decimal digits.
int integerText(char* out, std::int32_t v);

// Decimal digits with "_" for the sign and no special values; the null is
// "_2147483648". The format function writes integers this way.
int plainIntegerText(char* out, std::int32_t v);

// Integer text as display (Plain false) or the format function writes it,
// chosen once per array rather than per element.
template <bool Plain>
inline int integerTextAs(char* out, std::int32_t v) {
    if constexpr (Plain) {
        return plainIntegerText(out, v);
    } else {
        return integerText(out, v);
    }
}

// Float text: ten significant digits without trailing zeros. A NaN gives
// "0n", the infinities "0w" and "_0w", zero "0".
int floatText(char* out, double v);

// The real text, then "j" and the imaginary text unless that part is 0.
int complexText(char* out, double re, double im);

}  // namespace wox::display
