// Two single numbers take a short path through the scalar families; every
// answer must be the one the full loops give for the same pair.
#include "primitives/single_scalars.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "primitives/compress.h"
#include "primitives/scalar.h"
#include "primitives/value_builder.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using testing::put;
using testing::read;
using testing::Read;
using testing::scalar;
using testing::vec;

constexpr int kLeft = 20, kRight = 21, kResult = 4;
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct Number {
    std::int32_t type;
    double value;
};

// Booleans, integers at and beyond the edges of the Integer range, the
// integer null, floats with fractions, near-equal floats, infinities and the
// float null.
const std::vector<Number>& numbers() {
    static const std::vector<Number> all{
        {kBoolean, 0},          {kBoolean, 1},          {kInteger, 0},           {kInteger, 7},
        {kInteger, -3},         {kInteger, 2147483647}, {kInteger, -2147483647}, {kInteger, kNaN},
        {kFloat, 2.5},          {kFloat, -0.5},         {kFloat, 7.0},           {kFloat, 1e-14},
        {kFloat, 7.000000000001}, {kFloat, 3e9},        {kFloat, kInf},          {kFloat, -kInf},
        {kFloat, kNaN},
    };
    return all;
}

bool sameElement(double a, double b) { return (std::isnan(a) && std::isnan(b)) || a == b; }

class SingleScalars : public ::testing::Test {
protected:
    Interpreter in;

    // x f y on two scalars, and on two-element vectors of them (the full
    // loops); the scalar answer must be the vector's first element, of the
    // vector's type.
    void agree(int code, Rc (*family)(values::Context&, int, int, ValueRef, ValueRef)) {
        for (const Number& x : numbers()) {
            for (const Number& y : numbers()) {
                std::string what = std::to_string(code) + " on " + std::to_string(x.value) + " (type " +
                                   std::to_string(x.type) + "), " + std::to_string(y.value) + " (type " +
                                   std::to_string(y.type) + ")";
                in.ws.stackTop = 0;
                Rc whole = family(in, code, kResult, vec(in, kLeft, x.type, {x.value, x.value}),
                                  vec(in, kRight, y.type, {y.value, y.value}));
                Read expected = read(in, varRef(kResult));
                Rc single = family(in, code, kResult, scalar(in, kLeft, x.type, x.value),
                                   scalar(in, kRight, y.type, y.value));
                Read got = read(in, varRef(kResult));
                ASSERT_EQ(single.code, whole.code) << what;
                if (whole.failed()) continue;
                EXPECT_EQ(got.type, expected.type) << what;
                EXPECT_EQ(got.rank, 0) << what;
                ASSERT_EQ(got.count, 1) << what;
                EXPECT_TRUE(sameElement(got.at(0), expected.at(0)))
                    << what << ": " << got.at(0) << " against " << expected.at(0);
            }
        }
    }
};

TEST_F(SingleScalars, ArithmeticAgreesWithTheFullLoops) {
    for (int code : {vocabulary::code::kPlus, vocabulary::code::kMinus, vocabulary::code::kTimes, vocabulary::code::kDivide, vocabulary::code::kMaximum, vocabulary::code::kMinimum,
                     vocabulary::code::kResidue, vocabulary::code::kPower, vocabulary::code::kLogarithm, vocabulary::code::kBinomial})
        agree(code, &scalarDyadic);
}

TEST_F(SingleScalars, ComparisonsAgreeWithTheFullLoops) {
    for (int code : {vocabulary::code::kLess, vocabulary::code::kLessEqual, vocabulary::code::kGreaterEqual, vocabulary::code::kGreater, vocabulary::code::kNotEqual,
                     vocabulary::code::kEqual})
        agree(code, &comparison);
}

// A one-element vector keeps its rank in the result, and its element inline.
TEST_F(SingleScalars, OneElementVectorGivesAVector) {
    ASSERT_TRUE(scalarDyadic(in, vocabulary::code::kPlus, kResult, vec(in, kLeft, kInteger, {2}), scalar(in, kRight, kFloat, 0.5))
                    .ok());
    Read sum = read(in, varRef(kResult));
    EXPECT_EQ(sum.type, kFloat);
    EXPECT_EQ(sum.rank, 1);
    EXPECT_EQ(sum.dims, std::vector<std::int32_t>{1});
    EXPECT_DOUBLE_EQ(sum.at(0), 2.5);

    ASSERT_TRUE(comparison(in, vocabulary::code::kLess, kResult, scalar(in, kLeft, kInteger, 1), vec(in, kRight, kBoolean, {1}))
                    .ok());
    Read less = read(in, varRef(kResult));
    EXPECT_EQ(less.type, kBoolean);
    EXPECT_EQ(less.rank, 1);
    EXPECT_EQ(less.at(0), 0);
}

// The result slot may be an argument's own slot.
TEST_F(SingleScalars, ResultMayReplaceAnArgument) {
    ValueRef x = scalar(in, kResult, kInteger, 2147483647);
    ASSERT_TRUE(scalarDyadic(in, vocabulary::code::kPlus, kResult, x, scalar(in, kRight, kInteger, 1)).ok());
    Read sum = read(in, varRef(kResult));
    EXPECT_EQ(sum.type, kFloat);
    EXPECT_EQ(sum.at(0), 2147483648.0);
}

// Values of other kinds leave the short path and meet the family's checks.
TEST_F(SingleScalars, OtherKindsKeepTheirErrors) {
    EXPECT_EQ(scalarDyadic(in, vocabulary::code::kPlus, kResult, scalar(in, kLeft, kChar, 'a'), scalar(in, kRight, kInteger, 1))
                  .code,
              kDomainError);
    EXPECT_EQ(comparison(in, vocabulary::code::kLess, kResult, scalar(in, kLeft, kChar, 'a'), scalar(in, kRight, kInteger, 1))
                  .code,
              kDomainError);
    ASSERT_TRUE(comparison(in, vocabulary::code::kEqual, kResult, scalar(in, kLeft, kChar, 'a'), scalar(in, kRight, kInteger, 97))
                    .ok());
    EXPECT_EQ(read(in, varRef(kResult)).at(0), 0);
}

// c/y with a single c and a scalar y is what a loop's branch line computes;
// a scalar y stands for a vector of one item, so the answer must be that of
// the same y as a one-element vector.
TEST_F(SingleScalars, ChoiceOfAScalarIsThatOfAOneItemVector) {
    const std::vector<Number> ys{{kBoolean, 1}, {kInteger, 12}, {kInteger, kNaN}, {kFloat, 2.5}, {kChar, 'q'}};
    for (int code : {vocabulary::code::kCompress, vocabulary::code::kCompressFirst}) {
        for (Number c : {Number{kBoolean, 0}, Number{kBoolean, 1}, Number{kInteger, 0}, Number{kInteger, 1},
                         Number{kInteger, 2}, Number{kInteger, -1}}) {
            for (const Number& y : ys) {
                std::string what = std::to_string(c.value) + "/" + std::to_string(y.value) + " (type " +
                                   std::to_string(y.type) + ")";
                in.ws.stackTop = 0;
                Rc whole = compress(in, code, kResult, scalar(in, kLeft, c.type, c.value), vec(in, kRight, y.type, {y.value}));
                Read expected = read(in, varRef(kResult));
                Rc single = compress(in, code, kResult, scalar(in, kLeft, c.type, c.value), scalar(in, kRight, y.type, y.value));
                Read got = read(in, varRef(kResult));
                ASSERT_EQ(single.code, whole.code) << what;
                if (whole.failed()) continue;
                EXPECT_EQ(got.type, expected.type) << what;
                EXPECT_EQ(got.rank, 1) << what;
                EXPECT_EQ(got.dims, expected.dims) << what;
                ASSERT_EQ(got.v.size(), expected.v.size()) << what;
                for (std::size_t i = 0; i < got.v.size(); ++i) EXPECT_TRUE(sameElement(got.at(i), expected.at(i))) << what;
            }
        }
    }
}

TEST_F(SingleScalars, NotOfASingleTruthValue) {
    for (double b : {0.0, 1.0}) {
        ASSERT_TRUE(logicalMonadic(in, vocabulary::code::kNot, kResult, scalar(in, kRight, kBoolean, b)).ok());
        Read got = read(in, varRef(kResult));
        EXPECT_EQ(got.type, kBoolean);
        EXPECT_EQ(got.rank, 0);
        EXPECT_EQ(got.at(0), 1 - b);
        ASSERT_TRUE(logicalMonadic(in, vocabulary::code::kNot, kResult, vec(in, kRight, kBoolean, {b})).ok());
        EXPECT_EQ(read(in, varRef(kResult)).rank, 1);
    }
    // Only 0 and 1 have a negation, whatever their type.
    EXPECT_EQ(logicalMonadic(in, vocabulary::code::kNot, kResult, scalar(in, kRight, kInteger, 2)).code, kDomainError);
    ASSERT_TRUE(logicalMonadic(in, vocabulary::code::kNot, kResult, scalar(in, kRight, kFloat, 1)).ok());
    EXPECT_EQ(read(in, varRef(kResult)).at(0), 0);
}

}  // namespace
}  // namespace wox::primitives
