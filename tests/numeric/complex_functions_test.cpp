// The complex element rules around the library functions: zeros, nulls,
// the floor and ceiling rules, the clean-up, the circle functions that are
// ours, and the real circle functions they fall back on.
#include "numeric/complex_functions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "numeric/real_circle.h"

namespace wox::numeric {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

bool same(double a, double b) { return (a != a && b != b) || a == b; }

#define EXPECT_COMPLEX(z, r, i)                                                         \
    do {                                                                                \
        Complex z_ = (z);                                                               \
        EXPECT_TRUE(same(z_.re, (r)) && same(z_.im, (i)))                               \
            << #z << " = " << z_.re << "j" << z_.im << ", expected " << (r) << "j" << (i); \
    } while (0)

Complex dy(ComplexDyadic f, Complex x, Complex y) {
    Complex z{};
    EXPECT_TRUE(complexDyadic(f, x, y, z));
    return z;
}
bool fails(ComplexDyadic f, Complex x, Complex y) {
    Complex z{};
    return !complexDyadic(f, x, y, z);
}

TEST(ComplexFunctions, FloorAndCeilingRules) {
    // Equal fractions: the tie goes to the imaginary part.
    EXPECT_COMPLEX(complexFloor({1.5, 1.5}), 1, 2);
    EXPECT_COMPLEX(complexFloor({1.7, 1.4}), 2, 1);
    EXPECT_COMPLEX(complexFloor({1.7, 1.2}), 1, 1);
    EXPECT_COMPLEX(complexFloor({-0.5, -0.5}), -1, 0);
    EXPECT_COMPLEX(complexFloor({3, -2}), 3, -2);
    EXPECT_COMPLEX(complexCeiling({1.5, 1.5}), 2, 1);
    EXPECT_COMPLEX(complexCeiling({1.3, 1.6}), 1, 2);
    EXPECT_COMPLEX(complexCeiling({1.3, 1.8}), 2, 2);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Floor, {1.7, 1.4}), 2, 1);
}

TEST(ComplexFunctions, MonadicRules) {
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Reciprocal, {0, 1}), 0, -1);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Conjugate, {3, 4}), 3, -4);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Magnitude, {3, 4}), 5, 0);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Direction, {3, 4}), 0.6, 0.8);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Direction, {0, 0}), 0, 0);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::PiTimes, {1, -2}), kPi, -2 * kPi);
    // e to the power i pi: the imaginary part, about 1.2e-16, is cleaned up.
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Exponential, {0, kPi}), -1, 0);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::NaturalLog, {-1, 0}), 0, kPi);
    // Real arguments have the real values: the logarithm of 0 is _0w as for
    // a real 0, and e to the power 1000 overflows to 0w without an
    // imaginary part of infinity times 0.
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::NaturalLog, {0, 0}), -kInf, 0);
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Exponential, {1000, 0}), kInf, 0);
    // A null stays the null; other overflows are kept as they come.
    EXPECT_COMPLEX(complexMonadic(ComplexMonadic::Negate, {kNaN, 1}), kNaN, 0);
    Complex big = complexMonadic(ComplexMonadic::Exponential, {1000, 1});
    EXPECT_TRUE(std::isinf(big.re) && std::isinf(big.im));
    // Runs: the output may be the input.
    Complex run[3] = {{1, 1}, {2, 2}, {3, 3}};
    complexMonadic(ComplexMonadic::Negate, run, run, 3);
    EXPECT_COMPLEX(run[2], -3, -3);
}

TEST(ComplexFunctions, DivisionAndResidue) {
    EXPECT_COMPLEX(dy(ComplexDyadic::Divide, {0, 0}, {0, 0}), 1, 0);
    EXPECT_TRUE(fails(ComplexDyadic::Divide, {1, 1}, {0, 0}));
    EXPECT_COMPLEX(dy(ComplexDyadic::Divide, {1, 0}, {3, 0}), 1.0 / 3, 0);
    // Far beyond the square root of the largest double, c*c + d*d overflows;
    // the quotient does not.
    EXPECT_COMPLEX(dy(ComplexDyadic::Divide, {1e300, 0}, {1e300, 1e300}), 0.5, -0.5);
    EXPECT_COMPLEX(dy(ComplexDyadic::Divide, {1e-300, 0}, {1e-300, 1e-300}), 0.5, -0.5);
    // 2 residue 5j3: the quotient 2.5j1.5 floors to 2j2, and 5j3 - 4j4 is 1j_1.
    EXPECT_COMPLEX(dy(ComplexDyadic::Residue, {2, 0}, {5, 3}), 1, -1);
    EXPECT_COMPLEX(dy(ComplexDyadic::Residue, {0, 0}, {0, 0}), 0, 0);
    EXPECT_TRUE(fails(ComplexDyadic::Residue, {0, 0}, {0, 1}));
    EXPECT_COMPLEX(dy(ComplexDyadic::Times, {1, 2}, {3, 4}), -5, 10);
    EXPECT_COMPLEX(dy(ComplexDyadic::Plus, {kNaN, 0}, {3, 4}), kNaN, 0);
}

TEST(ComplexFunctions, PowerAndLogarithm) {
    EXPECT_COMPLEX(dy(ComplexDyadic::Power, {0, 0}, {2, 1}), 0, 0);
    // Zero and one to real powers are as for real numbers.
    EXPECT_COMPLEX(dy(ComplexDyadic::Power, {0, 0}, {0, 0}), 1, 0);
    EXPECT_COMPLEX(dy(ComplexDyadic::Power, {0, 0}, {-1, 0}), kInf, 0);
    EXPECT_COMPLEX(dy(ComplexDyadic::Power, {1, 0}, {5, 7}), 1, 0);
    EXPECT_COMPLEX(dy(ComplexDyadic::Power, {-2, 0}, {3, 0}), -8, 0);
    EXPECT_COMPLEX(dy(ComplexDyadic::Power, {-4, 0}, {0.5, 0}), 0, 2);
    EXPECT_COMPLEX(dy(ComplexDyadic::Power, {0, 1}, {2, 0}), -1, 0);
    EXPECT_TRUE(fails(ComplexDyadic::Logarithm, {0, 0}, {2, 0}));
    EXPECT_TRUE(fails(ComplexDyadic::Logarithm, {2, 0}, {0, 0}));
    EXPECT_TRUE(fails(ComplexDyadic::Logarithm, {1, 0}, {0, 1}));
    EXPECT_COMPLEX(dy(ComplexDyadic::Logarithm, {0, 1}, {0, 1}), 1, 0);
    EXPECT_COMPLEX(dy(ComplexDyadic::Logarithm, {2, 0}, {8, 0}), 3, 0);
    Complex z = dy(ComplexDyadic::Logarithm, {2, 0}, {-8, 0});
    EXPECT_DOUBLE_EQ(z.re, 3);
    EXPECT_DOUBLE_EQ(z.im, kPi / std::log(2.0));
    // A run stops at the first pair without a value.
    Complex x[3] = {{0, 0}, {1, 1}, {2, 0}}, y{0, 0}, out[3];
    EXPECT_EQ(complexDyadic(ComplexDyadic::Divide, x, 1, &y, 0, out, 3), 1);
}

TEST(ComplexFunctions, CircleFunctionsOfOurOwn) {
    const Complex z{3, 4};
    EXPECT_COMPLEX(complexCircle(9, z), 3, 0);
    EXPECT_COMPLEX(complexCircle(10, z), 5, 0);
    EXPECT_COMPLEX(complexCircle(11, z), 4, 0);
    EXPECT_COMPLEX(complexCircle(-9, z), 3, 4);
    EXPECT_COMPLEX(complexCircle(-10, z), 3, -4);
    EXPECT_COMPLEX(complexCircle(-11, z), -4, 3);
    EXPECT_COMPLEX(complexCircle(-12, {kPi, 0}), -1, 0);
    // 8: sqrt(-1 - z*z) = sqrt(6 - 24i) = 3.9204j_3.0609; the real part
    // changes sign for a negative imaginary part, and -8 negates it again.
    Complex e = complexCircle(8, z);
    EXPECT_NEAR(e.re, 3.920372032964854, 1e-14);
    EXPECT_NEAR(e.im, -3.06093398766667, 1e-14);
    Complex f = complexCircle(8, {3, -4});
    EXPECT_NEAR(f.re, -3.920372032964854, 1e-14);
    EXPECT_NEAR(f.im, 3.06093398766667, 1e-14);
    Complex g = complexCircle(-8, z);
    EXPECT_NEAR(g.re, -3.920372032964854, 1e-14);
    EXPECT_NEAR(g.im, -3.06093398766667, 1e-14);
    // Real arguments use the real functions where they have a value, and
    // the library's branch beyond: arcsin 2 is pi/2 - i arccosh 2.
    EXPECT_COMPLEX(complexCircle(1, {0.5, 0}), std::sin(0.5), 0);
    EXPECT_COMPLEX(complexCircle(3, {0.5, 0}), std::tan(0.5), 0);
    Complex a = complexCircle(-1, {2, 0});
    EXPECT_DOUBLE_EQ(a.re, kPi / 2);
    EXPECT_DOUBLE_EQ(a.im, -std::acosh(2.0));
    EXPECT_COMPLEX(complexCircle(-4, {0.6, 0}), 0, 0.8);
    EXPECT_COMPLEX(complexCircle(1, {kPi, 0}), 0, 0);
    EXPECT_COMPLEX(complexCircle(2, {kNaN, 0}), kNaN, 0);
}

TEST(RealCircle, FunctionsAndLimits) {
    EXPECT_EQ(realCircle(1, 3.141592653589793), 0.0);
    EXPECT_DOUBLE_EQ(*realCircle(-3, 1), 3.141592653589793 / 4);
    EXPECT_DOUBLE_EQ(*realCircle(4, 0), 1);
    EXPECT_DOUBLE_EQ(*realCircle(-4, 2), std::sqrt(3.0));
    EXPECT_FALSE(realCircle(8, 1).has_value());
}

}  // namespace
}  // namespace wox::numeric
