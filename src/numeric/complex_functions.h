#pragma once
// Complex arithmetic and the circle functions on complex numbers. The
// elementary functions come from the GNU Scientific Library (its branch
// cuts); everything around them is ours: the zero and null cases, the
// floor and ceiling rules, residue, and the clean-up that sets every part
// of a result whose magnitude is below 1e-13 to exactly 0, so that e to the
// power i pi is exactly -1.
//
// A null operand (a part that is NaN) gives the null (NaN, 0), as a null
// does in real arithmetic. Infinities and NaNs that the library computes
// from other operands are kept as they come.
//
// The routines work on runs of elements: the function is chosen once per
// run, and a run's operands may each be one element repeated (step 0) or a
// block (step 1), the three shapes of scalar extension.
#include <cstddef>
#include <cstdint>

namespace wox::numeric {

// One element of a Complex value: its layout in a value's block.
struct Complex {
    double re;
    double im;
};
static_assert(sizeof(Complex) == 16);

inline constexpr double kCleanupBelow = 1e-13;
inline constexpr double kPi = 3.141592653589793;

enum class ComplexMonadic : std::uint8_t {
    Conjugate,
    Negate,
    Direction,   // z divided by its magnitude; 0 for 0
    Reciprocal,  // 0w for 0, as for real numbers
    Ceiling,
    Floor,
    Exponential,
    NaturalLog,
    Magnitude,
    PiTimes,
};

enum class ComplexDyadic : std::uint8_t {
    Plus,
    Minus,
    Times,
    Divide,     // x divided by y; 0 by 0 is 1, anything else by 0 fails
    Power,      // x to the power y
    Logarithm,  // logarithm of y to the base x; base or argument 0, and base 1 of another number, fail
    Residue,    // y modulo x; a non-zero y modulo 0 fails
};

// Circle functions are selected by -12..11.
inline constexpr int kLowestCircle = -12;
inline constexpr int kHighestCircle = 11;

// out[i] = f(z[i]) for i < n; out may be z.
void complexMonadic(ComplexMonadic f, const Complex* z, Complex* out, std::int64_t n);

// out[i] = f(x[i * xStep], y[i * yStep]) for i < n, steps 0 or 1. Returns
// the number of elements written: n, or the position of the first pair
// that has no value (a domain error), where the run stops.
std::int64_t complexDyadic(ComplexDyadic f, const Complex* x, std::ptrdiff_t xStep, const Complex* y,
                           std::ptrdiff_t yStep, Complex* out, std::int64_t n);

// out[i] = circle function selector[i * sStep] of z[i * zStep], selectors
// from kLowestCircle to kHighestCircle (the caller checks them).
void complexCircle(const std::int32_t* selector, std::ptrdiff_t sStep, const Complex* z, std::ptrdiff_t zStep,
                   Complex* out, std::int64_t n);

// Single elements, for callers outside a run (and the tests).
Complex complexMonadic(ComplexMonadic f, Complex z);
// False when the pair has no value.
bool complexDyadic(ComplexDyadic f, Complex x, Complex y, Complex& out);
Complex complexCircle(int selector, Complex z);

// The complex floor: the Gaussian integer nearest below z in the sense of
// the fractional parts (a tie goes to the imaginary part); ceiling mirrors it.
Complex complexFloor(Complex z);
Complex complexCeiling(Complex z);

}  // namespace wox::numeric
