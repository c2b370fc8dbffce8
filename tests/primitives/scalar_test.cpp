#include "primitives/scalar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "primitives/value_builder.h"
#include "types/temporal.h"
#include "values/messages.h"
#include "vocabulary/vocabulary.h"

namespace wox::primitives {
namespace {

using namespace wox::engine;
using testing::chars;
using testing::put;
using testing::read;
using testing::Read;
using testing::scalar;
using testing::vec;

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// Monadic codes.
constexpr int kConjugate = vocabulary::code::kIdentity, kNegate = vocabulary::code::kNegate, kSignum = vocabulary::code::kSignum,
              kReciprocal = vocabulary::code::kReciprocal, kCeiling = vocabulary::code::kCeiling, kFloor = vocabulary::code::kFloor,
              kExp = vocabulary::code::kExponential, kLn = vocabulary::code::kNaturalLog, kMagnitude = vocabulary::code::kMagnitude,
              kFactorial = vocabulary::code::kFactorial, kPiTimes = vocabulary::code::kPiTimes;
// Dyadic codes.
constexpr int kPlus = vocabulary::code::kPlus, kMinus = vocabulary::code::kMinus, kTimes = vocabulary::code::kTimes, kDivide = vocabulary::code::kDivide,
              kMax = vocabulary::code::kMaximum, kMin = vocabulary::code::kMinimum, kPower = vocabulary::code::kPower, kLog = vocabulary::code::kLogarithm,
              kResidue = vocabulary::code::kResidue, kBinomial = vocabulary::code::kBinomial, kCircle = vocabulary::code::kCircle;
constexpr int kOr = vocabulary::code::kOr, kAnd = vocabulary::code::kAnd, kNot = vocabulary::code::kNot;
constexpr int kLess = vocabulary::code::kLess, kLessEqual = vocabulary::code::kLessEqual, kGreaterEqual = vocabulary::code::kGreaterEqual,
              kGreater = vocabulary::code::kGreater, kNotEqual = vocabulary::code::kNotEqual, kEqual = vocabulary::code::kEqual;

constexpr int kLeft = 20, kRight = 21, kResult = 4;

bool same(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

class Scalar : public ::testing::Test {
protected:
    Interpreter in;

    ValueRef L(std::int32_t type, double v) { return scalar(in, kLeft, type, v); }
    ValueRef R(std::int32_t type, double v) { return scalar(in, kRight, type, v); }
    ValueRef Lv(std::int32_t type, std::vector<double> v) { return vec(in, kLeft, type, std::move(v)); }
    ValueRef Rv(std::int32_t type, std::vector<double> v) { return vec(in, kRight, type, std::move(v)); }

    Rc dyadic(int code, ValueRef l, ValueRef r) { return scalarDyadic(in, code, kResult, l, r); }
    Rc monadic(int code, ValueRef r) { return scalarMonadic(in, code, kResult, r); }
    Read result() { return read(in, varRef(kResult)); }

    // The single result of x f y for two numbers of the given types.
    Read dy(int code, std::int32_t lt, double x, std::int32_t rt, double y) {
        Rc rc = dyadic(code, L(lt, x), R(rt, y));
        EXPECT_EQ(rc.code, 0) << "code " << code << " on " << x << ", " << y;
        return result();
    }
    Read dy(int code, double x, double y) { return dy(code, typeOf(x), x, typeOf(y), y); }
    Read cmp(int code, std::int32_t lt, double x, std::int32_t rt, double y) {
        Rc rc = comparison(in, code, kResult, L(lt, x), R(rt, y));
        EXPECT_EQ(rc.code, 0) << "comparison " << code << " on " << x << ", " << y;
        return result();
    }
    Read mo(int code, double x) {
        Rc rc = monadic(code, R(typeOf(x), x));
        EXPECT_EQ(rc.code, 0) << "code " << code << " on " << x;
        return result();
    }
    // Numbers as the scanner leaves them: integers as Integer, others Float.
    static std::int32_t typeOf(double x) {
        return std::isnan(x) || (x == std::floor(x) && std::fabs(x) <= 2147483647.0) ? kInteger : kFloat;
    }
};

void expectScalar(const Read& r, std::int32_t type, double v) {
    EXPECT_EQ(r.type, type);
    EXPECT_EQ(r.count, 1);
    ASSERT_EQ(r.v.size(), 1u);
    EXPECT_TRUE(same(r.at(0), v)) << r.at(0) << " expected " << v;
}

void expectValues(const Read& r, std::int32_t type, std::vector<double> v) {
    EXPECT_EQ(r.type, type);
    ASSERT_EQ(r.v.size(), v.size());
    for (std::size_t i = 0; i < v.size(); ++i) EXPECT_TRUE(same(r.at(i), v[i])) << "element " << i << ": " << r.at(i);
}

// ---- Dyadic arithmetic ---------------------------------------------------

TEST_F(Scalar, DivisionNullsAndInfinities) {
    expectScalar(dy(kDivide, 0, 0), kInteger, 1);
    expectScalar(dy(kDivide, 5, 0), kFloat, kInf);
    expectScalar(dy(kDivide, -5, 0), kFloat, -kInf);
    expectScalar(dy(kDivide, 1, kInf), kInteger, 0);
    expectScalar(dy(kDivide, kInf, kInf), kFloat, kInf);
    // The float null propagates, and the integer null counts as the null.
    expectScalar(dy(kPlus, kFloat, kNaN, kInteger, 1), kInteger, kNaN);
    EXPECT_EQ(in.ws.var(kResult).shape0, kIntNull);
    expectScalar(dy(kTimes, kInteger, kNaN, kFloat, 2.5), kInteger, kNaN);
    // Infinities follow IEEE with their signs; only value-less cases give 0w.
    expectScalar(dy(kMinus, kInf, kInf), kFloat, kInf);
    expectScalar(dy(kTimes, 0, kInf), kFloat, kInf);
    expectScalar(dy(kPlus, -kInf, 1), kFloat, -kInf);
    expectScalar(dy(kTimes, -2, kInf), kFloat, -kInf);
    expectScalar(dy(kMax, -kInf, 3), kInteger, 3);
    expectScalar(dy(kMin, kNaN, 3), kInteger, kNaN);
}

TEST_F(Scalar, IntegerResultsBeyond32BitsStayFloat) {
    expectScalar(dy(kPlus, 2147483647, 1), kFloat, 2147483648.0);
    expectScalar(dy(kTimes, 65536, 65536), kFloat, 4294967296.0);
    // -2147483648 is no Integer element: it is the null's bit pattern.
    expectScalar(dy(kMinus, -2147483647, 1), kFloat, -2147483648.0);
    expectScalar(dy(kPlus, 2147483646, 1), kInteger, 2147483647);
    expectScalar(dy(kPlus, 1.5, 1.5), kInteger, 3);
    // One overflowing element makes the whole vector Float; nulls survive.
    ASSERT_EQ(dyadic(kPlus, Lv(kInteger, {1, kNaN, 2147483647}), R(kInteger, 1)).code, 0);
    expectValues(result(), kFloat, {2, kNaN, 2147483648.0});
    ASSERT_EQ(dyadic(kTimes, Lv(kInteger, {3, -4, 100000}), Rv(kInteger, {5, 6, -100000})).code, 0);
    expectValues(result(), kFloat, {15, -24, -1e10});
    ASSERT_EQ(dyadic(kMinus, Lv(kInteger, {3, kNaN}), Rv(kBoolean, {1, 0})).code, 0);
    expectValues(result(), kInteger, {2, kNaN});
}

TEST_F(Scalar, RetryInFloatReusesTheStack) {
    std::uint32_t before = in.ws.stackTop;
    ASSERT_EQ(dyadic(kPlus, Lv(kInteger, {1, 2, 2147483647}), Rv(kInteger, {1, 2, 3})).code, 0);
    EXPECT_EQ(in.ws.stackTop - before, 24u);  // only the Float block
    expectValues(result(), kFloat, {2, 4, 2147483650.0});
}

// Narrowing is decided while results are computed, a stretch at a time:
// one fractional result anywhere keeps the whole result Float.
TEST_F(Scalar, NarrowingSeesEveryElement) {
    for (std::size_t at : {std::size_t{0}, std::size_t{1023}, std::size_t{1024}, std::size_t{2999}}) {
        std::vector<double> v(3000, 2.0);
        v[at] = 2.25;
        ASSERT_EQ(dyadic(kTimes, Lv(kFloat, v), R(kInteger, 2)).code, 0);
        Read r = result();
        EXPECT_EQ(r.type, kFloat) << "fraction at " << at;
        EXPECT_EQ(r.at(at), 4.5);
        EXPECT_EQ(r.at(at == 0 ? 1 : 0), 4.0);
        ASSERT_EQ(monadic(kNegate, Rv(kFloat, v)).code, 0);
        EXPECT_EQ(result().type, kFloat) << "fraction at " << at;
    }
    std::vector<double> v(3000, 2.5);
    v[2500] = kNaN;
    ASSERT_EQ(dyadic(kPlus, Lv(kFloat, v), R(kFloat, 0.5)).code, 0);
    Read r = result();
    EXPECT_EQ(r.type, kInteger);
    EXPECT_EQ(r.at(2999), 3);
    EXPECT_TRUE(std::isnan(r.at(2500)));
}

TEST_F(Scalar, Residue) {
    expectScalar(dy(kResidue, 3, -1), kInteger, 2);
    expectScalar(dy(kResidue, 0, 7), kInteger, 7);
    expectScalar(dy(kResidue, -3, 5), kInteger, -1);
    expectScalar(dy(kResidue, 3, -7), kInteger, 2);
    expectScalar(dy(kResidue, 2.5, 7), kInteger, 2);
    // The fuzz floors 2.9999999999999996 to 3; the rounding difference left
    // has the wrong sign and is within tolerance of 0, so the result is 0.
    expectScalar(dy(kResidue, 0.1, 0.3), kInteger, 0);
    ASSERT_EQ(dyadic(kResidue, L(kInteger, 3), Rv(kInteger, {-4, -3, -1, 0, 1, 5, kNaN})).code, 0);
    expectValues(result(), kInteger, {2, 0, 2, 0, 1, 2, kNaN});
}

TEST_F(Scalar, BinomialCases) {
    expectScalar(dy(kBinomial, 2, 5), kInteger, 10);
    expectScalar(dy(kBinomial, -3, -1), kInteger, 1);
    expectScalar(dy(kBinomial, -1, -3), kInteger, 0);
    expectScalar(dy(kBinomial, 2, -3), kInteger, 6);
    expectScalar(dy(kBinomial, 3, -2), kInteger, -4);
    expectScalar(dy(kBinomial, 5, 2), kInteger, 0);
    expectScalar(dy(kBinomial, -2, 4), kInteger, 0);
    expectScalar(dy(kBinomial, 0, 0), kInteger, 1);
    expectScalar(dy(kBinomial, 30, 60), kFloat, 118264581564861424.0);
    // 514 factors are allowed, 515 are not; counted as the case counts them.
    Read big = dy(kBinomial, 514, 1028);
    EXPECT_EQ(big.type, kFloat);
    EXPECT_TRUE(std::isfinite(big.at(0)) && big.at(0) > 1e307);
    EXPECT_EQ(dyadic(kBinomial, L(kInteger, 600), R(kInteger, 1200)).code, kDomainError);
    EXPECT_EQ(dyadic(kBinomial, L(kInteger, 515), R(kInteger, 2000)).code, kDomainError);
    EXPECT_EQ(dyadic(kBinomial, L(kInteger, 515), R(kInteger, -2)).code, kDomainError);
    expectScalar(dy(kBinomial, 1000, 1001), kInteger, 1001);
    // Only pairs whose result is not 0 by their case are bounded.
    expectScalar(dy(kBinomial, 2000, 10), kInteger, 0);
    EXPECT_EQ(dyadic(kBinomial, L(kFloat, 2.5), R(kInteger, 5)).code, kDomainError);
    EXPECT_EQ(dyadic(kBinomial, L(kInteger, 2), R(kFloat, kInf)).code, kDomainError);
    ASSERT_EQ(dyadic(kBinomial, Lv(kFloat, {2, 3}), R(kFloat, 5)).code, 0);
    expectValues(result(), kInteger, {10, 10});
}

TEST_F(Scalar, PowerAndLogarithm) {
    expectScalar(dy(kPower, 2, 10), kInteger, 1024);
    expectScalar(dy(kPower, 2, -1), kFloat, 0.5);
    expectScalar(dy(kPower, -2, 3), kInteger, -8);
    expectScalar(dy(kPower, -2, -1), kFloat, -0.5);
    expectScalar(dy(kPower, 0, 0), kInteger, 1);
    expectScalar(dy(kLog, 2, 8), kInteger, 3);
    expectScalar(dy(kLog, 10, 10), kInteger, 1);
    expectScalar(dy(kLog, 1, 1), kInteger, 1);
    expectScalar(dy(kLog, kInf, kInf), kFloat, kInf);
    EXPECT_EQ(dyadic(kLog, L(kInteger, 1), R(kInteger, 5)).code, kDomainError);
    // Values with no real answer are complex; in the same call, an element
    // with a real answer keeps the value it has alone (-2 to the power 3 is
    // exactly -8).
    EXPECT_EQ(dy(kPower, -8, 0.5).type, kComplex);
    EXPECT_EQ(dy(kLog, 2, -4).type, kComplex);
    EXPECT_EQ(dy(kLog, -2, 4).type, kComplex);
    ASSERT_EQ(dyadic(kPower, Lv(kInteger, {-2, -4, 0}), Rv(kFloat, {3, 0.5, 0})).code, 0);
    expectValues(result(), kComplex, {-8, 0, 0, 2, 1, 0});
    ASSERT_EQ(dyadic(kLog, Lv(kInteger, {2, -1}), Rv(kInteger, {8, -1})).code, 0);
    expectValues(result(), kInteger, {3, 1});
}

TEST_F(Scalar, Conformability) {
    ASSERT_EQ(dyadic(kPlus, Lv(kInteger, {1, 2, 3}), R(kInteger, 4)).code, 0);
    expectValues(result(), kInteger, {5, 6, 7});
    EXPECT_EQ(result().rank, 1);
    // A one-element vector extends like a scalar and keeps the longer rank.
    ASSERT_EQ(dyadic(kPlus, Lv(kInteger, {10}), Rv(kInteger, {1, 2})).code, 0);
    expectValues(result(), kInteger, {11, 12});
    ASSERT_EQ(dyadic(kPlus, Lv(kInteger, {10}), R(kInteger, 1)).code, 0);
    EXPECT_EQ(result().rank, 1);
    expectValues(result(), kInteger, {11});
    ASSERT_EQ(dyadic(kPlus, L(kInteger, 1), Rv(kFloat, {0.5})).code, 0);
    EXPECT_EQ(result().rank, 1);
    expectValues(result(), kFloat, {1.5});
    // A 1 by 1 matrix takes a scalar, but extends to nothing.
    ValueRef m = put(in, kLeft, kInteger, {1, 1}, {5});
    EXPECT_EQ(dyadic(kPlus, m, Rv(kInteger, {1, 2})).code, kRankError);
    ASSERT_EQ(dyadic(kPlus, m, R(kInteger, 1)).code, 0);
    EXPECT_EQ(result().dims, (std::vector<std::int32_t>{1, 1}));
    expectValues(result(), kInteger, {6});
    ASSERT_EQ(dyadic(kPlus, m, Rv(kInteger, {2})).code, 0);
    EXPECT_EQ(result().dims, (std::vector<std::int32_t>{1, 1}));
    EXPECT_EQ(dyadic(kPlus, Lv(kInteger, {1, 2}), Rv(kInteger, {1, 2, 3})).code, kLengthError);
    EXPECT_EQ(in.errorWord, kRankError);  // the first error of the line stays
    // Higher ranks compare every dimension and copy the dimension run.
    std::vector<double> e(24, 1.0);
    ValueRef a = put(in, 22, kInteger, {2, 3, 4}, e);
    ASSERT_EQ(dyadic(kTimes, a, put(in, kRight, kFloat, {2, 3, 4}, e)).code, 0);
    EXPECT_EQ(result().dims, (std::vector<std::int32_t>{2, 3, 4}));
    EXPECT_NE(in.ws.var(kResult).shape1, in.ws.var(22).shape1);
    EXPECT_EQ(dyadic(kTimes, a, put(in, kRight, kInteger, {2, 4, 3}, e)).code, kLengthError);
    ASSERT_EQ(dyadic(kPlus, L(kFloat, 0.5), a).code, 0);
    EXPECT_EQ(result().dims, (std::vector<std::int32_t>{2, 3, 4}));
}

TEST_F(Scalar, EmptyResultsAreInteger) {
    ASSERT_EQ(dyadic(kDivide, Lv(kFloat, {}), R(kFloat, 2.5)).code, 0);
    EXPECT_EQ(result().type, kInteger);
    EXPECT_EQ(result().rank, 1);
    EXPECT_EQ(result().count, 0);
    ASSERT_EQ(comparison(in, kEqual, kResult, Lv(kChar, {}), Rv(kChar, {})).code, 0);
    EXPECT_EQ(result().type, kInteger);
    ASSERT_EQ(logicalDyadic(in, kAnd, kResult, Lv(kBoolean, {}), R(kBoolean, 1)).code, 0);
    EXPECT_EQ(result().type, kInteger);
    ASSERT_EQ(monadic(kExp, Rv(kFloat, {})).code, 0);
    EXPECT_EQ(result().type, kInteger);
}

TEST_F(Scalar, ErrorsLeaveArgumentsUntouched) {
    ValueRef l = Lv(kFloat, {1.5, 2.5});
    ValueRef r = Rv(kInteger, {1, 2, 3});
    ValueDescriptor ld = in.ws.at(l), rd = in.ws.at(r);
    Read lv = read(in, l), rv = read(in, r);
    EXPECT_EQ(dyadic(kPlus, l, r).code, kLengthError);
    EXPECT_EQ(comparison(in, kLess, kResult, l, r).code, kLengthError);
    EXPECT_EQ(dyadic(kBinomial, l, r).code, kDomainError);
    EXPECT_EQ(logicalDyadic(in, kOr, kResult, l, r).code, kDomainError);
    EXPECT_EQ(std::memcmp(&ld, &in.ws.at(l), sizeof ld), 0);
    EXPECT_EQ(std::memcmp(&rd, &in.ws.at(r), sizeof rd), 0);
    EXPECT_EQ(read(in, l).v, lv.v);
    EXPECT_EQ(read(in, r).v, rv.v);
}

TEST_F(Scalar, TypesOutsideArithmetic) {
    EXPECT_EQ(dyadic(kPlus, chars(in, kLeft, "a"), R(kInteger, 1)).code, kDomainError);
    EXPECT_EQ(monadic(kNegate, chars(in, kRight, "ab")).code, kDomainError);
    ValueRef sym = scalar(in, kLeft, kSymbol, 3);
    EXPECT_EQ(dyadic(kTimes, sym, R(kInteger, 1)).code, kDomainError);
    ValueRef when = scalar(in, kLeft, kTemporal, 0);
    EXPECT_EQ(dyadic(kPlus, when, R(kFloat, 1.5)).code, kTypeError);
    EXPECT_EQ(dyadic(kTimes, when, R(kInteger, 2)).code, kTimeFormat);
    EXPECT_EQ(dyadic(kPlus, when, scalar(in, kRight, kTemporal, 1)).code, kTimeFormat);
    EXPECT_EQ(dyadic(kMinus, L(kInteger, 1), scalar(in, kRight, kTemporal, 1)).code, kDomainError);
    // A word of no kind is refused; a date moves by days.
    EXPECT_EQ(dyadic(kPlus, scalar(in, kLeft, kTemporal, 0), R(kInteger, 1)).code, kDateRange);
    const auto jan31 = static_cast<double>(types::temporalWord(types::kDateKind, 30));
    ASSERT_EQ(dyadic(kPlus, scalar(in, kLeft, kTemporal, jan31), R(kInteger, 1)).code, 0);
    EXPECT_EQ(inlineWord(in.ws.var(kResult)), types::temporalWord(types::kDateKind, 31));
    // Complex values and every circle function belong to the complex routines.
    ValueRef z = put(in, kRight, kComplex, {2}, {1, 2});
    EXPECT_EQ(dyadic(kPlus, L(kInteger, 1), z).code, 0);
    EXPECT_EQ(dyadic(kMax, L(kInteger, 1), z).code, kDomainError);
    EXPECT_EQ(dyadic(kPlus, chars(in, kLeft, "a"), z).code, kDomainError);
    EXPECT_EQ(monadic(kNegate, z).code, 0);
    EXPECT_EQ(monadic(kFactorial, z).code, kDomainError);  // as the dyadic binomial of a complex number
    EXPECT_EQ(dyadic(kCircle, L(kInteger, 1), R(kFloat, 0.5)).code, 0);
    EXPECT_EQ(dyadic(kCircle, L(kInteger, 12), R(kFloat, 0.5)).code, kDomainError);
    EXPECT_EQ(dyadic(kCircle, L(kFloat, 1.5), R(kFloat, 0.5)).code, kDomainError);
    EXPECT_EQ(dyadic(kCircle, L(kInteger, -12), Rv(kFloat, {0.5, 1})).code, 0);
    EXPECT_EQ(dyadic(kCircle, put(in, kLeft, kComplex, {1}, {1, 0}), Rv(kFloat, {0.5, 1})).code, kDomainError);
    // A dictionary goes to the dictionary arithmetic, which refuses one whose
    // parts are not values it can compute with.
    EXPECT_EQ(dyadic(kPlus, put(in, kLeft, kDictionary, {2}, {0, 0}), R(kInteger, 1)).code, kDomainError);
    EXPECT_EQ(dyadic(kPlus, put(in, kLeft, kGeneral, {2}, {0, 0}), R(kInteger, 1)).code, kDomainError);
}

// ---- Monadic arithmetic --------------------------------------------------

TEST_F(Scalar, MonadicFunctions) {
    expectScalar(mo(kNegate, 3), kInteger, -3);
    expectScalar(mo(kNegate, kNaN), kInteger, kNaN);
    expectScalar(mo(kReciprocal, 2), kFloat, 0.5);
    expectScalar(mo(kReciprocal, kInf), kInteger, 0);
    ASSERT_EQ(monadic(kReciprocal, Rv(kInteger, {1, 0, 2})).code, 0);
    expectValues(result(), kFloat, {1, kInf, 0.5});
    expectScalar(mo(kFactorial, 5), kInteger, 120);
    expectScalar(mo(kFactorial, 5.7), kInteger, 120);
    expectScalar(mo(kFactorial, -3), kInteger, 1);
    Read f = mo(kFactorial, 170);
    EXPECT_EQ(f.type, kFloat);
    EXPECT_NEAR(f.at(0) / 7.257415615307994e306, 1.0, 1e-14);
    expectScalar(mo(kFactorial, 171), kFloat, kInf);
    expectScalar(mo(kSignum, -2.5), kInteger, -1);
    expectScalar(mo(kSignum, kNaN), kInteger, kNaN);
    expectScalar(mo(kCeiling, 2.1), kInteger, 3);
    expectScalar(mo(kFloor, -2.1), kInteger, -3);
    expectScalar(mo(kCeiling, 3e9 + 0.5), kFloat, 3e9 + 1);
    expectScalar(mo(kExp, 0), kInteger, 1);
    expectScalar(mo(kLn, 1), kInteger, 0);
    expectScalar(mo(kLn, 0), kFloat, -kInf);
    expectScalar(mo(kMagnitude, -7), kInteger, 7);
    expectScalar(mo(kPiTimes, 1), kFloat, 3.141592653589793);
    ASSERT_EQ(monadic(kConjugate, Rv(kBoolean, {1, 0, 1})).code, 0);
    expectValues(result(), kInteger, {1, 0, 1});
    ASSERT_EQ(monadic(kMagnitude, Rv(kInteger, {-3, kNaN, 4})).code, 0);
    expectValues(result(), kInteger, {3, kNaN, 4});
    ASSERT_EQ(monadic(kFloor, Rv(kFloat, {1.5, -0.5, kNaN})).code, 0);
    expectValues(result(), kInteger, {1, -1, kNaN});
    ASSERT_EQ(monadic(kNegate, put(in, kRight, kFloat, {2, 1, 2}, {1.5, 2})).code, 0);
    EXPECT_EQ(result().dims, (std::vector<std::int32_t>{2, 1, 2}));
    expectValues(result(), kFloat, {-1.5, -2});
}

// ---- One answer whatever the representation ----------------------------

// Every scalar function on the same numbers, held as Boolean, Integer and
// Float, single and in vectors, gives the same values or the same error.
TEST_F(Scalar, SameNumbersSameAnswersInEveryNumericType) {
    const std::vector<int> dyadicCodes{kPlus, kMinus, kTimes, kDivide, kMax, kMin, kPower, kLog, kResidue, kBinomial};
    const std::vector<int> compareCodes{kLess, kLessEqual, kGreaterEqual, kGreater, kNotEqual, kEqual};
    const std::int32_t types[] = {kBoolean, kInteger, kFloat};
    const std::vector<double> xs{0, 1, 1, 0}, ys{0, 0, 1, 1};
    struct Outcome {
        int rc;
        std::vector<double> v;
    };
    auto run = [&](auto call) {
        Rc rc = call();
        return Outcome{rc.code, rc.ok() ? result().v : std::vector<double>{}};
    };
    auto expectSame = [&](const Outcome& a, const Outcome& b, const std::string& what) {
        EXPECT_EQ(a.rc, b.rc) << what;
        ASSERT_EQ(a.v.size(), b.v.size()) << what;
        for (std::size_t i = 0; i < a.v.size(); ++i) EXPECT_TRUE(same(a.v[i], b.v[i])) << what << " element " << i;
    };
    for (int code : dyadicCodes) {
        Outcome reference = run([&] { return dyadic(code, Lv(kBoolean, xs), Rv(kBoolean, ys)); });
        for (auto lt : types)
            for (auto rt : types) {
                std::string what = "code " + std::to_string(code) + " types " + std::to_string(lt) + "," + std::to_string(rt);
                expectSame(reference, run([&] { return dyadic(code, Lv(lt, xs), Rv(rt, ys)); }), what);
                for (std::size_t i = 0; i < xs.size(); ++i) {
                    Outcome single = run([&] { return dyadic(code, L(kBoolean, xs[i]), Rv(kBoolean, {ys[i]})); });
                    expectSame(single, run([&] { return dyadic(code, L(lt, xs[i]), Rv(rt, {ys[i]})); }),
                               what + " single " + std::to_string(i));
                }
            }
    }
    for (int code : compareCodes) {
        Outcome reference = run([&] { return comparison(in, code, kResult, Lv(kBoolean, xs), Rv(kBoolean, ys)); });
        for (auto lt : types)
            for (auto rt : types)
                expectSame(reference, run([&] { return comparison(in, code, kResult, Lv(lt, xs), Rv(rt, ys)); }),
                           "comparison " + std::to_string(code));
    }
    for (int code : {kOr, kAnd}) {
        Outcome reference = run([&] { return logicalDyadic(in, code, kResult, Lv(kBoolean, xs), Rv(kBoolean, ys)); });
        for (auto lt : types)
            for (auto rt : types)
                expectSame(reference, run([&] { return logicalDyadic(in, code, kResult, Lv(lt, xs), Rv(rt, ys)); }),
                           "logical " + std::to_string(code));
    }
    for (int code : {kConjugate, kNegate, kSignum, kReciprocal, kCeiling, kFloor, kExp, kLn, kMagnitude, kFactorial, kPiTimes}) {
        Outcome reference = run([&] { return monadic(code, Rv(kBoolean, {1, 0, 1})); });
        for (auto t : types)
            expectSame(reference, run([&] { return monadic(code, Rv(t, {1, 0, 1})); }), "monadic " + std::to_string(code));
    }
    // Nulls and wider numbers, as Integer and as Float.
    const std::vector<double> ws{-7, kNaN, 3, 2147483647, -2147483647}, vs{2, 5, kNaN, 1, -1};
    for (int code : dyadicCodes) {
        if (code == kBinomial || code == kLog || code == kPower) continue;
        expectSame(run([&] { return dyadic(code, Lv(kInteger, ws), Rv(kInteger, vs)); }),
                   run([&] { return dyadic(code, Lv(kFloat, ws), Rv(kFloat, vs)); }), "wide " + std::to_string(code));
    }
    for (int code : compareCodes)
        expectSame(run([&] { return comparison(in, code, kResult, Lv(kInteger, ws), Rv(kInteger, vs)); }),
                   run([&] { return comparison(in, code, kResult, Lv(kFloat, ws), Rv(kInteger, vs)); }),
                   "wide comparison " + std::to_string(code));
}

// ---- Comparisons ----------------------------------------------------------

TEST_F(Scalar, ToleranceInEqualityOnly) {
    expectScalar(cmp(kEqual, kFloat, 1 + 1e-14, kInteger, 1), kBoolean, 1);
    expectScalar(cmp(kGreater, kFloat, 1 + 1e-14, kInteger, 1), kBoolean, 1);
    expectScalar(cmp(kLessEqual, kFloat, 1 + 1e-14, kInteger, 1), kBoolean, 0);
    expectScalar(cmp(kNotEqual, kFloat, 1 + 1e-12, kInteger, 1), kBoolean, 1);
    expectScalar(cmp(kEqual, kFloat, 1e300, kFloat, 1e300 * (1 + 1e-14)), kBoolean, 1);
    expectScalar(cmp(kEqual, kFloat, 0, kFloat, 1e-300), kBoolean, 0);
    expectScalar(cmp(kEqual, kFloat, kInf, kFloat, kInf), kBoolean, 1);
    expectScalar(cmp(kEqual, kFloat, kInf, kFloat, 1e308), kBoolean, 0);
    // The null equals the null and orders below every number, as in Integer.
    expectScalar(cmp(kEqual, kFloat, kNaN, kInteger, kNaN), kBoolean, 1);
    expectScalar(cmp(kLess, kFloat, kNaN, kFloat, -kInf), kBoolean, 1);
    expectScalar(cmp(kGreaterEqual, kInteger, kNaN, kFloat, kNaN), kBoolean, 1);
    ASSERT_EQ(comparison(in, kLess, kResult, Lv(kInteger, {1, 5, 3}), R(kFloat, 3.5)).code, 0);
    expectValues(result(), kBoolean, {1, 0, 1});
}

TEST_F(Scalar, UnlikeTypes) {
    EXPECT_EQ(comparison(in, kEqual, kResult, chars(in, kLeft, "a"), R(kInteger, 1)).code, 0);
    expectScalar(result(), kBoolean, 0);
    EXPECT_EQ(comparison(in, kNotEqual, kResult, chars(in, kLeft, "a"), R(kInteger, 97)).code, 0);
    expectScalar(result(), kBoolean, 1);
    EXPECT_EQ(comparison(in, kLess, kResult, chars(in, kLeft, "a"), R(kInteger, 1)).code, kDomainError);
    EXPECT_EQ(comparison(in, kLess, kResult, chars(in, kLeft, "a"), chars(in, kRight, "b")).code, 0);
    expectScalar(result(), kBoolean, 1);
    ASSERT_EQ(comparison(in, kEqual, kResult, chars(in, kLeft, "abc"), chars(in, kRight, "abd")).code, 0);
    expectValues(result(), kBoolean, {1, 1, 0});
    ASSERT_EQ(comparison(in, kGreater, kResult, chars(in, kLeft, "a\xe9"), chars(in, kRight, "b")).code, 0);
    expectValues(result(), kBoolean, {0, 1});
    // Unlike types still have to conform.
    EXPECT_EQ(comparison(in, kEqual, kResult, chars(in, kLeft, "ab"), Rv(kInteger, {1, 2, 3})).code, kLengthError);
    ASSERT_EQ(comparison(in, kNotEqual, kResult, chars(in, kLeft, "ab"), R(kInteger, 1)).code, 0);
    expectValues(result(), kBoolean, {1, 1});
    // Symbols order by name, whatever their indices.
    std::int32_t pear = 0, apple = 0, fig = 0;
    ASSERT_TRUE(in.symbols.intern("pear", &pear).ok());
    ASSERT_TRUE(in.symbols.intern("apple", &apple).ok());
    ASSERT_TRUE(in.symbols.intern("fig", &fig).ok());
    ValueRef s = vec(in, kLeft, kSymbol, {static_cast<double>(pear), static_cast<double>(apple)});
    ASSERT_EQ(comparison(in, kLess, kResult, s, scalar(in, kRight, kSymbol, fig)).code, 0);
    expectValues(result(), kBoolean, {0, 1});
    ValueRef g = put(in, kLeft, kGeneral, {2}, {0, 0});
    EXPECT_EQ(comparison(in, kEqual, kResult, g, put(in, kRight, kGeneral, {2}, {0, 0})).code, kDomainError);
    EXPECT_EQ(comparison(in, kEqual, kResult, g, R(kInteger, 1)).code, 0);
    ValueRef z = put(in, kRight, kComplex, {2}, {1, 2});
    ASSERT_EQ(comparison(in, kEqual, kResult, Lv(kFloat, {1, 2.5}), z).code, 0);
    expectValues(result(), kBoolean, {1, 0});
    EXPECT_EQ(comparison(in, kLess, kResult, Lv(kFloat, {1, 2.5}), z).code, kDomainError);
    EXPECT_EQ(comparison(in, kEqual, kResult, scalar(in, kLeft, kTemporal, 1), R(kInteger, 1)).code, 0);
    expectScalar(result(), kBoolean, 0);
    const auto day1 = static_cast<double>(types::temporalWord(types::kDateKind, 0));
    const auto day2 = static_cast<double>(types::temporalWord(types::kDateKind, 1));
    const auto noon = static_cast<double>(types::temporalWord(types::kTimeKind, 43'200'000));
    EXPECT_EQ(comparison(in, kLess, kResult, scalar(in, kLeft, kTemporal, day1), scalar(in, kRight, kTemporal, day2)).code, 0);
    expectScalar(result(), kBoolean, 1);
    EXPECT_EQ(comparison(in, kLess, kResult, scalar(in, kLeft, kTemporal, day2), scalar(in, kRight, kTemporal, noon)).code,
              kDifferentTimeFormats);
    // An enumeration whose reference names no domain equals nothing.
    ValueRef e = put(in, kLeft, kEnumeration, {2}, {0, 1});
    ASSERT_EQ(comparison(in, kEqual, kResult, e, vec(in, kRight, kSymbol, {0, 1})).code, 0);
    expectValues(result(), kBoolean, {0, 0});
    EXPECT_EQ(comparison(in, kLess, kResult, e, vec(in, kRight, kSymbol, {0, 1})).code, kDomainError);
    EXPECT_EQ(comparison(in, kEqual, kResult, e, vec(in, kRight, kSymbol, {0, 1, 2})).code, kLengthError);
}

// ---- Logical -------------------------------------------------------------

TEST_F(Scalar, LogicalFunctions) {
    EXPECT_EQ(logicalMonadic(in, kNot, kResult, R(kInteger, 2)).code, kDomainError);
    ASSERT_EQ(logicalMonadic(in, kNot, kResult, Rv(kBoolean, {1, 0})).code, 0);
    expectValues(result(), kBoolean, {0, 1});
    ASSERT_EQ(logicalMonadic(in, kNot, kResult, R(kInteger, 0)).code, 0);
    expectScalar(result(), kBoolean, 1);
    ASSERT_EQ(logicalDyadic(in, kOr, kResult, Lv(kBoolean, {1, 0}), Rv(kBoolean, {0, 0})).code, 0);
    expectValues(result(), kBoolean, {1, 0});
    ASSERT_EQ(logicalDyadic(in, kAnd, kResult, Lv(kInteger, {1, 0, 1}), R(kBoolean, 1)).code, 0);
    expectValues(result(), kBoolean, {1, 0, 1});
    EXPECT_EQ(logicalDyadic(in, kAnd, kResult, Lv(kInteger, {1, 0, 1}), R(kFloat, 0.5)).code, kDomainError);
    EXPECT_EQ(logicalDyadic(in, kAnd, kResult, Lv(kInteger, {1, kNaN}), R(kBoolean, 1)).code, kDomainError);
    EXPECT_EQ(logicalDyadic(in, kAnd, kResult, Lv(kBoolean, {1, 0}), Rv(kBoolean, {1, 0, 1})).code, kLengthError);
    EXPECT_EQ(logicalDyadic(in, kOr, kResult, chars(in, kLeft, "a"), R(kBoolean, 1)).code, kDomainError);
}

// ---- Memory ----------------------------------------------------------------

TEST_F(Scalar, ResultMayReuseAnArgumentSlot) {
    ValueRef t = vec(in, kResult, kInteger, {1, 2, 2147483647});
    ASSERT_EQ(dyadic(kPlus, t, t).code, 0);
    expectValues(result(), kFloat, {2, 4, 4294967294.0});
    t = vec(in, kResult, kFloat, {0.5, 1.5});
    ASSERT_EQ(comparison(in, kLess, kResult, L(kFloat, 1), t).code, 0);
    expectValues(result(), kBoolean, {0, 1});
    t = scalar(in, kResult, kInteger, 4);
    ASSERT_EQ(dyadic(kMinus, Lv(kInteger, {1, 2}), t).code, 0);
    expectValues(result(), kInteger, {-3, -2});
}

TEST(ScalarMemory, ArgumentsMovedByCompactionAreReadWhereTheyWent) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    Interpreter in(caps);
    // A dead block above the argument: making room for the result slides the
    // argument up over it.
    ASSERT_EQ(in.ws.allocOwned(30, kInteger, 150'000).code, 0);
    std::vector<double> v(30'000);
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = static_cast<double>(i) + 0.5;
    ValueRef a = vec(in, 31, kFloat, v);
    in.ws.freeValueBlocks(in.ws.var(30));
    std::uint32_t before = in.ws.var(31).data;
    ASSERT_EQ(scalarDyadic(in, kTimes, kResult, a, scalar(in, 32, kInteger, 2)).code, 0);
    EXPECT_NE(in.ws.var(31).data, before);
    Read r = read(in, varRef(kResult));
    ASSERT_EQ(r.count, 30'000);
    EXPECT_EQ(r.type, kInteger);
    for (std::size_t i = 0; i < v.size(); ++i) ASSERT_EQ(r.at(i), 2 * v[i]);
}

TEST(ScalarMemory, FullWorkspaceIsAnError) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    Interpreter in(caps);
    ValueRef a = vec(in, 30, kFloat, std::vector<double>(100'000, 1.5));
    EXPECT_EQ(scalarDyadic(in, kPlus, kResult, a, a).code, kWorkspaceFull);
    EXPECT_EQ(in.errorWord, kWorkspaceFull);
    EXPECT_EQ(read(in, a).at(99'999), 1.5);
}

}  // namespace
}  // namespace wox::primitives
