#pragma once
// Element rules of the scalar functions, one struct per function, shared by
// the element loops of the scalar families and by the operators (reduce,
// scan, outer and inner product) that apply the same rules.
//
// Every real rule works on doubles: a null operand (NaN) gives the null;
// infinite operands follow IEEE arithmetic with their signs, and where that
// gives no value (0w-0w, 0*0w, 0w%0w) the result is the float infinity;
// finite operands use the function's own definition. Integers reach these
// rules through toDouble(), which turns the integer null into the float null.
//
// A struct may also have applyInt: the same function on Integer elements,
// used when both arguments are Boolean or Integer. Nulls never reach it (the
// loops handle them); `fits` is false when the exact result is no Integer
// element (outside +-2147483647), and the caller then computes in doubles.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "numeric/residue.h"
#include "values/value.h"

namespace wox::primitives::ops {

inline constexpr double kNull = std::numeric_limits<double>::quiet_NaN();
inline constexpr double kInfinity = std::numeric_limits<double>::infinity();
using numeric::kComparisonTolerance;
inline constexpr double kPi = 3.141592653589793;
// Largest number of factors a binomial coefficient may take.
inline constexpr int kBinomialFactorLimit = 514;

// The integer null becomes the float null. Written with bit operations
// rather than a conditional so that loops using it vectorize.
inline double toDouble(std::int32_t v) {
    double d = v;
    std::uint64_t bits;
    std::memcpy(&bits, &d, 8);
    bits |= static_cast<std::uint64_t>(-static_cast<std::int64_t>(v == kIntNull));  // all ones: a NaN
    std::memcpy(&d, &bits, 8);
    return d;
}
inline double toDouble(double v) { return v; }

inline bool isNull(double x) { return x != x; }

// The rules below choose between doubles with chained conditionals rather
// than combining conditions with & and |: that is the form compilers turn
// into vector selects, so the loops that inline them vectorize.

// -1 when a double is no element of an Integer value, else 1. Integer
// elements are the null and the exact integers within +-2147483647; adding
// and removing 1.5 * 2^52 rounds to an integer and leaves only integers
// unchanged. Loops fold the sign bits of these marks.
inline double fractionMark(double z) {
    constexpr double kRound = 6755399441055744.0;
    double t = (z + kRound) - kRound == z ? 1.0 : -1.0;
    t = std::fabs(z) <= 2147483647.0 ? t : -1.0;
    return z != z ? 1.0 : t;
}
inline bool isIntegerElement(double z) { return fractionMark(z) > 0; }

// The result of an operation on operands that may be infinite: a NaN from
// operands that are not null means infinities without a value, which give 0w.
inline double settle(double z, double x, double y) {
    double s = z != z ? kInfinity : z;
    s = x != x ? z : s;
    return y != y ? z : s;
}

struct IntResult {
    std::int32_t value;
    int fits;  // 1 or 0; an int, so that loops can fold it without branching
};

// ---- Dyadic ----------------------------------------------------------

struct Plus {
    static double apply(double x, double y) { return settle(x + y, x, y); }
    static IntResult applyInt(std::int32_t x, std::int32_t y) {
        auto z = static_cast<std::int32_t>(static_cast<std::uint32_t>(x) + static_cast<std::uint32_t>(y));
        return {z, (((x ^ z) & (y ^ z)) >= 0) & (z != kIntNull)};
    }
};

struct Minus {
    static double apply(double x, double y) { return settle(x - y, x, y); }
    static IntResult applyInt(std::int32_t x, std::int32_t y) {
        auto z = static_cast<std::int32_t>(static_cast<std::uint32_t>(x) - static_cast<std::uint32_t>(y));
        return {z, (((x ^ y) & (x ^ z)) >= 0) & (z != kIntNull)};
    }
};

struct Times {
    static double apply(double x, double y) { return settle(x * y, x, y); }
    // The double product is exact whenever it is within the Integer range.
    static IntResult applyInt(std::int32_t x, std::int32_t y) {
        double p = static_cast<double>(x) * static_cast<double>(y);
        auto z = static_cast<std::int32_t>(static_cast<std::uint32_t>(x) * static_cast<std::uint32_t>(y));
        return {z, std::fabs(p) <= 2147483647.0};
    }
};

struct Divide {
    // 0%0 is 1; a non-zero number over 0 is an infinity of its sign.
    static double apply(double x, double y) {
        double z = x / y;
        double s = z != z ? (x == 0 ? 1.0 : kInfinity) : z;
        s = x != x ? z : s;
        return y != y ? z : s;
    }
};

struct Maximum {
    static double apply(double x, double y) {
        double m = x > y ? x : y;
        m = x != x ? x : m;
        return y != y ? y : m;
    }
    static IntResult applyInt(std::int32_t x, std::int32_t y) { return {x > y ? x : y, 1}; }
};

struct Minimum {
    static double apply(double x, double y) {
        double m = x < y ? x : y;
        m = x != x ? x : m;
        return y != y ? y : m;
    }
    static IntResult applyInt(std::int32_t x, std::int32_t y) { return {x < y ? x : y, 1}; }
};

struct Power {
    static double apply(double x, double y) {
        if (isNull(x) || isNull(y)) return kNull;
        return settle(std::pow(x, y), x, y);
    }
};

// Logarithm of y to the base x.
struct Logarithm {
    static double apply(double x, double y) {
        if (isNull(x) || isNull(y)) return kNull;
        if (std::isfinite(x) && std::isfinite(y) && x == y) return 1.0;
        return settle(std::log(y) / std::log(x), x, y);
    }
};

// y modulo x, with the sign of x (numeric/residue.h).
struct Residue {
    static double apply(double x, double y) {
        if (isNull(x) || isNull(y)) return kNull;
        if (x == 0) return y;
        return settle(numeric::realRemainder(x, y), x, y);
    }
    static IntResult applyInt(std::int32_t x, std::int32_t y) {
        if (x == 0) return {y, 1};
        std::int64_t r = static_cast<std::int64_t>(y) % x;
        if (r != 0 && ((r < 0) != (x < 0))) r += x;
        return {static_cast<std::int32_t>(r), 1};
    }
};

// Factors k of the coefficient C(n, k) that binomial x,y computes; 0 when the
// result is 0 by its case. Operands are integral.
inline double binomialFactors(double x, double y) {
    if (x >= 0 && y >= 0) return x > y ? 0 : (x < y - x ? x : y - x);
    if (x >= 0) return x;
    if (y >= 0) return 0;
    return y < x ? 0 : -y - 1;
}

// C(n, k) for integral 0 <= k <= n. The running product C(n-k+i, i) is an
// integer at every step; extended precision keeps it exact as long as it
// can be, and out of range where a double would overflow midway.
inline double choose(double n, double k) {
    if (n - k < k) k = n - k;
    long double r = 1;
    for (double i = 1; i <= k; ++i) r = r * static_cast<long double>(n - k + i) / static_cast<long double>(i);
    return static_cast<double>(r);
}

// Binomial: x items chosen from y, extended to negative arguments.
struct Binomial {
    static double apply(double x, double y) {
        if (isNull(x) || isNull(y)) return kNull;
        auto sign = [](double e) { return std::fmod(e, 2.0) != 0 ? -1.0 : 1.0; };
        if (x >= 0 && y >= 0) return x > y ? 0.0 : choose(y, x);
        if (x >= 0) return sign(x) * choose(x - y - 1, x);
        if (y >= 0) return 0.0;
        return y < x ? 0.0 : sign(y - x) * choose(-x - 1, -y - 1);
    }
};

// ---- Monadic ---------------------------------------------------------

struct Identity {
    static double apply(double x) { return x; }
    static std::int32_t applyInt(std::int32_t x) { return x; }
};

struct Negate {
    static double apply(double x) { return -x; }
    static std::int32_t applyInt(std::int32_t x) { return -x; }
};

struct Signum {
    static double apply(double x) {
        double s = x > 0 ? 1.0 : (x < 0 ? -1.0 : 0.0);
        return x != x ? x : s;
    }
    static std::int32_t applyInt(std::int32_t x) { return (x > 0) - (x < 0); }
};

// As 1%x: the reciprocal of 0 is an infinity of 0's sign.
struct Reciprocal {
    static double apply(double x) { return 1.0 / x; }
};

struct Ceiling {
    static double apply(double x) { return std::ceil(x); }
    static std::int32_t applyInt(std::int32_t x) { return x; }
};

struct Floor {
    static double apply(double x) { return std::floor(x); }
    static std::int32_t applyInt(std::int32_t x) { return x; }
};

struct Exponential {
    static double apply(double x) { return std::exp(x); }
};

struct NaturalLog {
    static double apply(double x) { return std::log(x); }
};

struct Magnitude {
    static double apply(double x) { return std::fabs(x); }
    static std::int32_t applyInt(std::int32_t x) { return x < 0 ? -x : x; }
};

// n! for n the argument truncated; 1 for n <= 1.
struct Factorial {
    static double apply(double x);
};

struct PiTimes {
    static double apply(double x) { return x * kPi; }
};

// ---- Comparison --------------------------------------------------------
// Integers, characters and symbols compare exactly. Doubles: equality is
// tolerant, ordering exact. The null equals the null and orders below every
// number, as the integer null (the smallest Integer) does, so a value
// compares alike as Integer and as Float.

struct ComplexElement {
    double re;
    double im;
};

inline bool tolerantEqual(double x, double y) {
    double ax = std::fabs(x), ay = std::fabs(y);
    double m = ax > ay ? ax : ay;
    double t = std::fabs(x - y) <= kComparisonTolerance * m ? 1.0 : -1.0;
    t = m < kInfinity ? t : -1.0;  // the tolerance of an infinity is no tolerance
    t = x == y ? 1.0 : t;
    double nulls = y != y ? 1.0 : -1.0;
    t = x != x ? nulls : t;
    return t > 0;
}

struct Equal {
    template <class T>
    static bool apply(T x, T y) { return x == y; }
    static bool apply(double x, double y) { return tolerantEqual(x, y); }
    static bool apply(ComplexElement x, ComplexElement y) { return tolerantEqual(x.re, y.re) && tolerantEqual(x.im, y.im); }
};

struct NotEqual {
    template <class T>
    static bool apply(T x, T y) { return !Equal::apply(x, y); }
};

struct Less {
    template <class T>
    static bool apply(T x, T y) { return x < y; }
    static bool apply(double x, double y) {
        double t = x < y ? 1.0 : -1.0;
        double below = y == y ? 1.0 : -1.0;
        return (x != x ? below : t) > 0;
    }
};

struct LessEqual {
    template <class T>
    static bool apply(T x, T y) { return x <= y; }
    static bool apply(double x, double y) {
        double t = y < x ? -1.0 : 1.0;
        t = y == y ? t : -1.0;
        return (x != x ? 1.0 : t) > 0;
    }
};

struct GreaterEqual {
    template <class T>
    static bool apply(T x, T y) { return x >= y; }
    static bool apply(double x, double y) { return LessEqual::apply(y, x); }
};

struct Greater {
    template <class T>
    static bool apply(T x, T y) { return x > y; }
    static bool apply(double x, double y) { return Less::apply(y, x); }
};

// ---- Logical (elements are 0 or 1) -------------------------------------

struct Or {
    static std::int32_t apply(std::int32_t x, std::int32_t y) { return x | y; }
};

struct And {
    static std::int32_t apply(std::int32_t x, std::int32_t y) { return x & y; }
};

struct Not {
    static std::int32_t apply(std::int32_t x) { return x ^ 1; }
};

}  // namespace wox::primitives::ops
