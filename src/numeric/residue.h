#pragma once
// The remainder of real division that residue gives, shared by the real
// rule and by the complex path for real operands, so that both agree.
#include <cmath>

namespace wox::numeric {

// Two numbers are equal when they differ by at most this much relative to
// the larger magnitude.
inline constexpr double kComparisonTolerance = 1e-13;
// Lets a quotient that rounding put just below an integer count as that integer.
inline constexpr double kResidueFuzz = 1e-13;

// A finite remainder r of division by x that rounding left with the sign
// opposite to x's, or within the comparison tolerance (relative to x) of 0
// or of x, is 0: 0.1|0.3 is 0, not a tiny negative number.
inline double tolerantRemainder(double r, double x) {
    const double t = kComparisonTolerance * std::fabs(x);
    double s = (r < 0) != (x < 0) ? 0.0 : r;
    s = std::fabs(r) <= t ? 0.0 : s;
    s = std::fabs(x - r) <= t ? 0.0 : s;
    return std::isfinite(r) ? s : r;
}

// y modulo x for x not 0, with the sign of x; NaN where infinite operands
// leave no value.
inline double realRemainder(double x, double y) {
    return tolerantRemainder(y - x * std::floor(y / x + kResidueFuzz), x);
}

}  // namespace wox::numeric
