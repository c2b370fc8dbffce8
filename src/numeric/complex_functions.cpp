// Complex element rules. Each function is one inline rule; a run picks the
// rule once and loops over the elements with it, so no switch runs per
// element. Where both operands are real and the real function has a real
// value there, the real function is used (exponentials, logarithms of
// numbers not negative, a negative base to an integral power, the real
// circle functions in their domains):
// an element then has the same value whether or not its neighbours made
// the call complex.
#include "numeric/complex_functions.h"

#include <gsl/gsl_complex.h>
#include <gsl/gsl_complex_math.h>
#include <gsl/gsl_errno.h>

#include <cfloat>
#include <cmath>
#include <limits>

#include "numeric/real_circle.h"
#include "numeric/residue.h"

namespace wox::numeric {

namespace {

// The library's default error handler ends the process; its results,
// infinities and NaNs included, are used as they come instead.
[[maybe_unused]] const bool kLibraryErrorsOff = [] {
    gsl_set_error_handler_off();
    return true;
}();

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr Complex kNull{kNaN, 0.0};

inline double clean(double v) { return std::fabs(v) < kCleanupBelow ? 0.0 : v; }
inline Complex clean(Complex z) { return {clean(z.re), clean(z.im)}; }

inline bool isNull(Complex z) { return z.re != z.re || z.im != z.im; }
inline bool isZero(Complex z) { return z.re == 0 && z.im == 0; }
inline bool isReal(Complex z) { return z.im == 0; }

inline gsl_complex toGsl(Complex z) { return gsl_complex_rect(z.re, z.im); }
inline Complex fromGsl(gsl_complex z) { return {GSL_REAL(z), GSL_IMAG(z)}; }

inline Complex times(Complex x, Complex y) { return {x.re * y.re - x.im * y.im, x.re * y.im + x.im * y.re}; }

// x / y for y not 0, by Smith's scaling, which neither overflows nor
// underflows where c*c + d*d would, and is plain a/c for a real divisor.
inline Complex quotient(Complex x, Complex y) {
    if (std::fabs(y.re) >= std::fabs(y.im)) {
        double r = y.im / y.re;
        double den = y.re + y.im * r;
        return {(x.re + x.im * r) / den, (x.im - x.re * r) / den};
    }
    double r = y.re / y.im;
    double den = y.re * r + y.im;
    return {(x.re * r + x.im) / den, (x.im * r - x.re) / den};
}

// sqrt(s * z * z + t), with the library's products and square root.
inline Complex rootOfSquare(Complex z, double s, double t) {
    gsl_complex g = toGsl(z);
    gsl_complex sq = gsl_complex_mul(g, g);
    if (s != 1) sq = gsl_complex_mul_real(sq, s);
    return fromGsl(gsl_complex_sqrt(gsl_complex_add_real(sq, t)));
}

// ---- Monadic rules -------------------------------------------------------

template <ComplexMonadic F>
inline Complex monadicRule(Complex z) {
    if (isNull(z)) return kNull;
    if constexpr (F == ComplexMonadic::Conjugate) {
        return {z.re, -z.im};
    } else if constexpr (F == ComplexMonadic::Negate) {
        return {-z.re, -z.im};
    } else if constexpr (F == ComplexMonadic::Direction) {
        if (isZero(z)) return {0.0, 0.0};
        double m = std::hypot(z.re, z.im);
        return {z.re / m, z.im / m};
    } else if constexpr (F == ComplexMonadic::Reciprocal) {
        // As for real numbers, 0 has the reciprocal 0w.
        if (isZero(z)) return {1.0 / z.re, 0.0};
        return quotient({1.0, 0.0}, z);
    } else if constexpr (F == ComplexMonadic::Ceiling) {
        return complexCeiling(z);
    } else if constexpr (F == ComplexMonadic::Floor) {
        return complexFloor(z);
    } else if constexpr (F == ComplexMonadic::Exponential) {
        if (isReal(z)) return {std::exp(z.re), 0.0};
        return fromGsl(gsl_complex_exp(toGsl(z)));
    } else if constexpr (F == ComplexMonadic::NaturalLog) {
        if (isReal(z) && z.re >= 0) return {std::log(z.re), 0.0};
        return fromGsl(gsl_complex_log(toGsl(z)));
    } else if constexpr (F == ComplexMonadic::Magnitude) {
        return {std::hypot(z.re, z.im), 0.0};
    } else {
        static_assert(F == ComplexMonadic::PiTimes);
        return {kPi * z.re, kPi * z.im};
    }
}

template <ComplexMonadic F>
void monadicRun(const Complex* z, Complex* out, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) out[i] = clean(monadicRule<F>(z[i]));
}

// ---- Dyadic rules ----------------------------------------------------------
// Each gives false for a pair without a value.

inline Complex realPower(double x, double y) { return {std::pow(x, y), 0.0}; }

inline bool power(Complex x, Complex y, Complex& z) {
    if (isZero(x)) {
        // As for real numbers: 0 to the power 0 is 1, to a negative power 0w.
        z = isReal(y) ? realPower(0.0, y.re) : Complex{0.0, 0.0};
    } else if (x.re == 1 && x.im == 0) {
        z = {1.0, 0.0};
    } else if (isReal(x) && isReal(y) &&
               (x.re > 0 || y.re == std::floor(y.re) || !std::isfinite(x.re) || !std::isfinite(y.re))) {
        z = realPower(x.re, y.re);
    } else {
        z = fromGsl(gsl_complex_pow(toGsl(x), toGsl(y)));
    }
    return true;
}

// Logarithm of y to the base x.
inline bool logarithm(Complex x, Complex y, Complex& z) {
    if (isZero(x) || isZero(y)) return false;
    if (x.re == y.re && x.im == y.im) {
        z = {1.0, 0.0};
        return true;
    }
    // Base 1 has no logarithm but of 1.
    if (x.re == 1 && x.im == 0) return false;
    if (isReal(x) && isReal(y) && x.re > 0 && y.re > 0) {
        z = {std::log(y.re) / std::log(x.re), 0.0};
        return true;
    }
    z = fromGsl(gsl_complex_log_b(toGsl(y), toGsl(x)));
    return true;
}

// y modulo x: y - x times the complex floor of y / x.
inline bool residue(Complex x, Complex y, Complex& z) {
    if (isZero(x)) {
        if (!isZero(y)) return false;
        z = {0.0, 0.0};
        return true;
    }
    if (isReal(x) && isReal(y)) {
        double r = realRemainder(x.re, y.re);
        z = {r != r ? std::numeric_limits<double>::infinity() : r, 0.0};
        return true;
    }
    Complex f = complexFloor(quotient(y, x));
    Complex p = times(x, f);
    z = {y.re - p.re, y.im - p.im};
    // As for real numbers, a remainder within tolerance of 0 or of x is 0.
    const double t = kComparisonTolerance * std::hypot(x.re, x.im);
    if (std::hypot(z.re, z.im) <= t || std::hypot(x.re - z.re, x.im - z.im) <= t) z = {0.0, 0.0};
    return true;
}

template <ComplexDyadic F>
inline bool dyadicRule(Complex x, Complex y, Complex& z) {
    if (isNull(x) || isNull(y)) {
        z = kNull;
        return true;
    }
    if constexpr (F == ComplexDyadic::Plus) {
        z = {x.re + y.re, x.im + y.im};
    } else if constexpr (F == ComplexDyadic::Minus) {
        z = {x.re - y.re, x.im - y.im};
    } else if constexpr (F == ComplexDyadic::Times) {
        z = times(x, y);
    } else if constexpr (F == ComplexDyadic::Divide) {
        if (isZero(y)) {
            if (!isZero(x)) return false;
            z = {1.0, 0.0};
        } else {
            z = quotient(x, y);
        }
    } else if constexpr (F == ComplexDyadic::Power) {
        return power(x, y, z);
    } else if constexpr (F == ComplexDyadic::Logarithm) {
        return logarithm(x, y, z);
    } else {
        static_assert(F == ComplexDyadic::Residue);
        return residue(x, y, z);
    }
    return true;
}

template <ComplexDyadic F>
std::int64_t dyadicRun(const Complex* x, std::ptrdiff_t xs, const Complex* y, std::ptrdiff_t ys, Complex* out,
                       std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) {
        Complex z;
        if (!dyadicRule<F>(x[i * xs], y[i * ys], z)) return i;
        out[i] = clean(z);
    }
    return n;
}

// ---- Circle functions ------------------------------------------------------

// sqrt(-1 - z*z), its real part negated where z's imaginary part is negative.
inline Complex circleEight(Complex z) {
    Complex w = rootOfSquare(z, -1, -1);
    if (z.im < 0) w.re = -w.re;
    return w;
}

Complex circle(int n, Complex z) {
    if (isNull(z)) return kNull;
    if (isReal(z)) {
        std::optional<double> r = realCircle(n, z.re);
        if (r && *r == *r) return {*r, 0.0};
    }
    gsl_complex g = toGsl(z);
    switch (n) {
        case 0: return rootOfSquare(z, -1, 1);
        case 1: return fromGsl(gsl_complex_sin(g));
        case 2: return fromGsl(gsl_complex_cos(g));
        case 3: return fromGsl(gsl_complex_tan(g));
        case 4: return rootOfSquare(z, 1, 1);
        case 5: return fromGsl(gsl_complex_sinh(g));
        case 6: return fromGsl(gsl_complex_cosh(g));
        case 7: return fromGsl(gsl_complex_tanh(g));
        case 8: return circleEight(z);
        case 9: return {z.re, 0.0};
        case 10: return {gsl_complex_abs(g), 0.0};
        case 11: return {z.im, 0.0};
        case -1: return fromGsl(gsl_complex_arcsin(g));
        case -2: return fromGsl(gsl_complex_arccos(g));
        case -3: return fromGsl(gsl_complex_arctan(g));
        case -4: return rootOfSquare(z, 1, -1);
        case -5: return fromGsl(gsl_complex_arcsinh(g));
        case -6: return fromGsl(gsl_complex_arccosh(g));
        case -7: return fromGsl(gsl_complex_arctanh(g));
        case -8: {
            Complex w = circleEight(z);
            return {-w.re, w.im};
        }
        case -9: return z;
        case -10: return {z.re, -z.im};
        case -11: return {-z.im, z.re};
        case -12: return fromGsl(gsl_complex_exp(gsl_complex_rect(-z.im, z.re)));
        default: return kNull;  // callers pass -12..11 only
    }
}

}  // namespace

Complex complexFloor(Complex z) {
    double fa = std::floor(z.re), fb = std::floor(z.im);
    double da = z.re - fa, db = z.im - fb;
    if (da + db < 1) return {fa, fb};
    if (da - db > 0) return {fa + 1, fb};
    return {fa, fb + 1};
}

Complex complexCeiling(Complex z) {
    double ca = std::ceil(z.re), cb = std::ceil(z.im);
    double ga = ca - z.re, gb = cb - z.im;
    if (ga + gb < 1) return {ca, cb};
    if (ga - gb > 0) return {ca - 1, cb};
    return {ca, cb - 1};
}

void complexMonadic(ComplexMonadic f, const Complex* z, Complex* out, std::int64_t n) {
    switch (f) {
        case ComplexMonadic::Conjugate: return monadicRun<ComplexMonadic::Conjugate>(z, out, n);
        case ComplexMonadic::Negate: return monadicRun<ComplexMonadic::Negate>(z, out, n);
        case ComplexMonadic::Direction: return monadicRun<ComplexMonadic::Direction>(z, out, n);
        case ComplexMonadic::Reciprocal: return monadicRun<ComplexMonadic::Reciprocal>(z, out, n);
        case ComplexMonadic::Ceiling: return monadicRun<ComplexMonadic::Ceiling>(z, out, n);
        case ComplexMonadic::Floor: return monadicRun<ComplexMonadic::Floor>(z, out, n);
        case ComplexMonadic::Exponential: return monadicRun<ComplexMonadic::Exponential>(z, out, n);
        case ComplexMonadic::NaturalLog: return monadicRun<ComplexMonadic::NaturalLog>(z, out, n);
        case ComplexMonadic::Magnitude: return monadicRun<ComplexMonadic::Magnitude>(z, out, n);
        case ComplexMonadic::PiTimes: return monadicRun<ComplexMonadic::PiTimes>(z, out, n);
    }
}

std::int64_t complexDyadic(ComplexDyadic f, const Complex* x, std::ptrdiff_t xStep, const Complex* y,
                           std::ptrdiff_t yStep, Complex* out, std::int64_t n) {
    switch (f) {
        case ComplexDyadic::Plus: return dyadicRun<ComplexDyadic::Plus>(x, xStep, y, yStep, out, n);
        case ComplexDyadic::Minus: return dyadicRun<ComplexDyadic::Minus>(x, xStep, y, yStep, out, n);
        case ComplexDyadic::Times: return dyadicRun<ComplexDyadic::Times>(x, xStep, y, yStep, out, n);
        case ComplexDyadic::Divide: return dyadicRun<ComplexDyadic::Divide>(x, xStep, y, yStep, out, n);
        case ComplexDyadic::Power: return dyadicRun<ComplexDyadic::Power>(x, xStep, y, yStep, out, n);
        case ComplexDyadic::Logarithm: return dyadicRun<ComplexDyadic::Logarithm>(x, xStep, y, yStep, out, n);
        case ComplexDyadic::Residue: return dyadicRun<ComplexDyadic::Residue>(x, xStep, y, yStep, out, n);
    }
    return 0;
}

void complexCircle(const std::int32_t* selector, std::ptrdiff_t sStep, const Complex* z, std::ptrdiff_t zStep,
                   Complex* out, std::int64_t n) {
    for (std::int64_t i = 0; i < n; ++i) out[i] = clean(circle(selector[i * sStep], z[i * zStep]));
}

Complex complexMonadic(ComplexMonadic f, Complex z) {
    Complex out;
    complexMonadic(f, &z, &out, 1);
    return out;
}

bool complexDyadic(ComplexDyadic f, Complex x, Complex y, Complex& out) {
    return complexDyadic(f, &x, 0, &y, 0, &out, 1) == 1;
}

Complex complexCircle(int selector, Complex z) {
    Complex out;
    complexCircle(&selector, 0, &z, 0, &out, 1);
    return out;
}

}  // namespace wox::numeric
