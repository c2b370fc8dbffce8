#include "primitives/operators.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "primitives/value_builder.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using testing::put;
using testing::read;
using testing::Read;
using testing::vec;

constexpr int kLeft = 20, kRight = 21, kResult = 4;
constexpr int kPlusReduce = vocabulary::code::kReduceBase + vocabulary::code::kPlus;
constexpr int kMinusReduce = vocabulary::code::kReduceBase + vocabulary::code::kMinus;
constexpr int kPlusReduceFirst = vocabulary::code::kReduceFirstBase + vocabulary::code::kPlus;
constexpr int kMinusReduceFirst = vocabulary::code::kReduceFirstBase + vocabulary::code::kMinus;
constexpr int kPlusScan = vocabulary::code::kScanBase + vocabulary::code::kPlus;
constexpr int kPlusScanFirst = vocabulary::code::kScanFirstBase + vocabulary::code::kPlus;
constexpr int kMinusScanFirst = vocabulary::code::kScanFirstBase + vocabulary::code::kMinus;
constexpr int kPlusTimes = vocabulary::code::kInnerProductScale * vocabulary::code::kPlus + vocabulary::code::kTimes;
constexpr int kMinusTimes = vocabulary::code::kInnerProductScale * vocabulary::code::kMinus + vocabulary::code::kTimes;

std::vector<double> iota(int n) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i) v.push_back(i);
    return v;
}

class Operators : public ::testing::Test {
protected:
    Interpreter in;
    ValueRef arg(std::int32_t type, std::vector<std::int32_t> dims, std::vector<double> v, int slot = kRight) {
        return put(in, slot, type, std::move(dims), std::move(v));
    }
    Read result() { return read(in, varRef(kResult)); }
};

void expectValue(const Read& r, std::int32_t type, std::vector<std::int32_t> dims, std::vector<double> v) {
    EXPECT_EQ(r.type, type);
    EXPECT_EQ(r.dims, dims);
    ASSERT_EQ(r.v.size(), v.size());
    for (std::size_t i = 0; i < v.size(); ++i) EXPECT_EQ(r.at(i), v[i]) << "element " << i;
}

TEST_F(Operators, ReduceAlongEitherAxisRightToLeft) {
    ValueRef m = arg(kInteger, {2, 3}, iota(6));
    ASSERT_EQ(reduce(in, kPlusReduce, kResult, m).code, 0);
    expectValue(result(), kInteger, {2}, {3, 12});
    ASSERT_EQ(reduce(in, kPlusReduceFirst, kResult, m).code, 0);
    expectValue(result(), kInteger, {3}, {3, 5, 7});
    ASSERT_EQ(reduce(in, kMinusReduce, kResult, m).code, 0);
    expectValue(result(), kInteger, {2}, {1, 4});  // 0-(1-2), 3-(4-5)
    ASSERT_EQ(reduce(in, kMinusReduceFirst, kResult, m).code, 0);
    expectValue(result(), kInteger, {3}, {-3, -3, -3});

    ValueRef cube = arg(kInteger, {2, 2, 2}, iota(8));
    ASSERT_EQ(reduce(in, kPlusReduce, kResult, cube).code, 0);
    expectValue(result(), kInteger, {2, 2}, {1, 5, 9, 13});
    ASSERT_EQ(reduce(in, kPlusReduceFirst, kResult, cube).code, 0);
    expectValue(result(), kInteger, {2, 2}, {4, 6, 8, 10});

    // A 1 by 1 matrix is no single value: its rows reduce to a vector.
    ASSERT_EQ(reduce(in, kPlusReduce, kResult, arg(kFloat, {1, 1}, {2.5})).code, 0);
    expectValue(result(), kFloat, {1}, {2.5});
}

TEST_F(Operators, EmptyAxisGivesTheIdentityInEveryCell) {
    ValueRef rows = arg(kInteger, {2, 0}, {});
    ASSERT_EQ(reduce(in, kPlusReduce, kResult, rows).code, 0);
    expectValue(result(), kInteger, {2}, {0, 0});
    ASSERT_EQ(reduce(in, vocabulary::code::kReduceBase + vocabulary::code::kTimes, kResult, rows).code, 0);
    expectValue(result(), kInteger, {2}, {1, 1});
    ASSERT_EQ(reduce(in, vocabulary::code::kReduceBase + vocabulary::code::kMaximum, kResult, rows).code, 0);
    expectValue(result(), kFloat, {2}, {-1.7976931348623157e308, -1.7976931348623157e308});
    ASSERT_EQ(reduce(in, vocabulary::code::kReduceBase + vocabulary::code::kAnd, kResult, rows).code, 0);
    expectValue(result(), kBoolean, {2}, {1, 1});
    ASSERT_EQ(reduce(in, kPlusReduceFirst, kResult, arg(kInteger, {0, 3}, {}, 23)).code, 0);
    expectValue(result(), kInteger, {3}, {0, 0, 0});
    // Reducing the other axis of an empty matrix gives an empty result.
    ASSERT_EQ(reduce(in, kPlusReduceFirst, kResult, rows).code, 0);
    expectValue(result(), kInteger, {0}, {});
}

TEST_F(Operators, ScanReducesEveryPrefixRightToLeft) {
    ValueRef m = arg(kInteger, {3, 2}, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(scan(in, kMinusScanFirst, kResult, m).code, 0);
    expectValue(result(), kInteger, {3, 2}, {1, 2, -2, -2, 3, 4});
    ASSERT_EQ(scan(in, kPlusScanFirst, kResult, m).code, 0);
    expectValue(result(), kInteger, {3, 2}, {1, 2, 4, 6, 9, 12});
    ASSERT_EQ(scan(in, kPlusScan, kResult, m).code, 0);
    expectValue(result(), kInteger, {3, 2}, {1, 3, 3, 7, 5, 11});

    // 0.1+(0.2+0.3) is not (0.1+0.2)+0.3: no running sum for fractions.
    ASSERT_EQ(scan(in, kPlusScan, kResult, vec(in, kRight, kFloat, {0.1, 0.2, 0.3})).code, 0);
    Read r = result();
    ASSERT_EQ(r.count, 3);
    EXPECT_EQ(r.at(2), 0.1 + (0.2 + 0.3));
    EXPECT_NE(r.at(2), (0.1 + 0.2) + 0.3);

    // Sums beyond the Integer range make a Float result; a null stays null.
    ASSERT_EQ(scan(in, kPlusScan, kResult, vec(in, kRight, kInteger, {2147483647, 1, NAN, 1})).code, 0);
    r = result();
    EXPECT_EQ(r.type, kFloat);
    EXPECT_EQ(r.at(1), 2147483648.0);
    EXPECT_TRUE(std::isnan(r.at(2)) && std::isnan(r.at(3)));
}

// A comparison scan runs in one pass; every item must still be the
// reduction of its prefix, which reduce computes right to left.
TEST_F(Operators, ComparisonScansEqualTheReductionOfEveryPrefix) {
    std::mt19937 rng(7);
    const int comparisons[] = {vocabulary::code::kLess, vocabulary::code::kLessEqual, vocabulary::code::kEqual,
                               vocabulary::code::kGreaterEqual, vocabulary::code::kGreater, vocabulary::code::kNotEqual};
    const double floats[] = {0, 1, 0.5, -1, 2, 1 + 1e-15, 1e-300, -0.0};
    for (int f : comparisons) {
        for (int round = 0; round < 40; ++round) {
            const bool whole = round % 2 == 0;
            const int n = 1 + static_cast<int>(rng() % 24);
            std::vector<double> v;
            for (int i = 0; i < n; ++i)
                v.push_back(whole ? static_cast<double>(static_cast<int>(rng() % 5) - 1) : floats[rng() % 8]);
            const std::int32_t type = whole ? kInteger : kFloat;
            ASSERT_EQ(scan(in, vocabulary::code::kScanBase + f, kResult, arg(type, {n}, v)).code, 0);
            const Read got = result();
            ASSERT_EQ(got.count, n);
            for (int i = 0; i < n; ++i) {
                std::vector<double> prefix(v.begin(), v.begin() + i + 1);
                ASSERT_EQ(reduce(in, vocabulary::code::kReduceBase + f, kResult, arg(type, {i + 1}, prefix)).code, 0);
                EXPECT_EQ(got.at(static_cast<std::size_t>(i)), result().at(0)) << "code " << f << " item " << i;
            }
        }
        // Down the first axis, each column as its own vector.
        const std::vector<double> m = {1, 0, 3, 2, 2, 0, 1, 1, 1, 0, 5, 1};
        ASSERT_EQ(scan(in, vocabulary::code::kScanFirstBase + f, kResult, arg(kInteger, {4, 3}, m)).code, 0);
        const Read down = result();
        for (int j = 0; j < 3; ++j) {
            ASSERT_EQ(scan(in, vocabulary::code::kScanBase + f, kResult, arg(kInteger, {4}, {m[j], m[3 + j], m[6 + j], m[9 + j]})).code, 0);
            const Read column = result();
            for (int i = 0; i < 4; ++i) EXPECT_EQ(down.at(static_cast<std::size_t>(3 * i + j)), column.at(static_cast<std::size_t>(i)));
        }
    }
}

TEST_F(Operators, LongIntegerScanLeavesTheIntegerRangeLate) {
    // 3000 sums of 1,000,000 stay Integer; those after 2147 leave the range.
    std::vector<double> v(3000, 1'000'000);
    ASSERT_EQ(scan(in, kPlusScan, kResult, vec(in, 30, kInteger, v)).code, 0);
    Read r = result();
    EXPECT_EQ(r.type, kFloat);
    for (std::size_t i = 0; i < v.size(); ++i) ASSERT_EQ(r.at(i), 1e6 * static_cast<double>(i + 1));
    v.resize(2000);
    ASSERT_EQ(scan(in, kPlusScan, kResult, vec(in, 30, kInteger, v)).code, 0);
    r = result();
    EXPECT_EQ(r.type, kInteger);
    EXPECT_EQ(r.at(1999), 2e9);
}

TEST_F(Operators, LongIntegerSumsRoundAsTheRightToLeftDoubleSum) {
    // Partial sums pass 2^53, where doubles round: the result must be the
    // right-to-left double sum, not the exact integer one.
    const std::int32_t n = (1 << 22) + 5000;
    std::vector<double> v(static_cast<std::size_t>(n));
    std::mt19937 gen(7);
    for (auto& e : v) e = 2147483647.0 - static_cast<double>(gen() % 1000);
    double expected = v.back();
    for (std::int32_t i = n - 2; i >= 0; --i) expected = v[static_cast<std::size_t>(i)] + expected;
    ASSERT_EQ(reduce(in, kPlusReduce, kResult, vec(in, 30, kInteger, v)).code, 0);
    Read r = result();
    EXPECT_EQ(r.type, kFloat);
    EXPECT_EQ(r.at(0), expected);
}

TEST_F(Operators, ReduceAndScanRefuseWhatTheOperandCannotTake) {
    EXPECT_EQ(reduce(in, vocabulary::code::kReduceBase + vocabulary::code::kAnd, kResult, vec(in, kRight, kInteger, {1, 2})).code, kDomainError);
    EXPECT_EQ(scan(in, vocabulary::code::kScanBase + vocabulary::code::kOr, kResult, vec(in, kRight, kFloat, {0.5, 1})).code, kDomainError);
    EXPECT_EQ(reduce(in, vocabulary::code::kReduceBase + vocabulary::code::kBinomial, kResult, vec(in, kRight, kFloat, {1.5, 2})).code,
              kDomainError);
    EXPECT_EQ(reduce(in, kPlusReduce, kResult, testing::chars(in, kRight, "ab")).code, kDomainError);
    EXPECT_EQ(reduce(in, vocabulary::code::kReduceBase + vocabulary::code::kCatenate, kResult, vec(in, kRight, kInteger, {1, 2})).code,
              kDomainError);
    in.ws.var(22).rank = -1;
    EXPECT_EQ(scan(in, kPlusScan, kResult, varRef(22)).code, kValueError);
}

TEST_F(Operators, OuterProductShapeIsBothShapes) {
    ValueRef x = vec(in, kLeft, kInteger, {1, 2});
    ValueRef y = arg(kInteger, {2, 2}, {1, 2, 3, 4});
    ASSERT_EQ(outerProduct(in, vocabulary::code::kOuterProductBase + vocabulary::code::kTimes, kResult, x, y).code, 0);
    expectValue(result(), kInteger, {2, 2, 2}, {1, 2, 3, 4, 2, 4, 6, 8});
    // Integer products beyond the Integer range give a Float result.
    x = vec(in, kLeft, kInteger, {65536, 2});
    ASSERT_EQ(outerProduct(in, vocabulary::code::kOuterProductBase + vocabulary::code::kTimes, kResult, x, x).code, 0);
    expectValue(result(), kFloat, {2, 2}, {4294967296.0, 131072, 131072, 4});
    // At the edge of the Integer range, with and without nulls.
    constexpr int kPlusOuter = vocabulary::code::kOuterProductBase + vocabulary::code::kPlus;
    ASSERT_EQ(outerProduct(in, kPlusOuter, kResult, vec(in, kLeft, kInteger, {2147483646, -2147483646}),
                           vec(in, kRight, kInteger, {1, -1})).code, 0);
    expectValue(result(), kInteger, {2, 2}, {2147483647, 2147483645, -2147483645, -2147483647});
    ASSERT_EQ(outerProduct(in, kPlusOuter, kResult, vec(in, kLeft, kInteger, {2147483647, 0}),
                           vec(in, kRight, kInteger, {1, 0})).code, 0);
    expectValue(result(), kFloat, {2, 2}, {2147483648.0, 2147483647, 1, 0});
    ASSERT_EQ(outerProduct(in, kPlusOuter, kResult, vec(in, kLeft, kInteger, {NAN, 1}),
                           vec(in, kRight, kInteger, {1, 2})).code, 0);
    Read r = result();
    EXPECT_EQ(r.type, kInteger);
    EXPECT_TRUE(std::isnan(r.at(0)) && std::isnan(r.at(1)));
    EXPECT_EQ(r.at(3), 3);
    x = vec(in, kLeft, kInteger, {65536, 2});
    ASSERT_EQ(outerProduct(in, vocabulary::code::kOuterProductBase + vocabulary::code::kDivide, kResult, x, vec(in, kRight, kInteger, {0, 4})).code, 0);
    expectValue(result(), kFloat, {2, 2}, {std::numeric_limits<double>::infinity(), 16384, std::numeric_limits<double>::infinity(), 0.5});
}

TEST_F(Operators, InnerProductIsTheMatrixProduct) {
    ValueRef a = arg(kInteger, {2, 3}, iota(6), kLeft);
    ValueRef b = arg(kInteger, {3, 2}, iota(6));
    ASSERT_EQ(innerProduct(in, kPlusTimes, kResult, a, b).code, 0);
    expectValue(result(), kInteger, {2, 2}, {10, 13, 28, 40});
    EXPECT_EQ(innerProduct(in, kPlusTimes, kResult, a, arg(kInteger, {2, 3}, iota(6))).code, kLengthError);
    // Read as its transpose, a 2 by 3 right argument conforms.
    ValueRef bt = arg(kInteger, {2, 3}, iota(6));
    ASSERT_EQ(innerProduct(in, kPlusTimes, kResult, a, bt, true).code, 0);
    expectValue(result(), kInteger, {2, 2}, {5, 14, 14, 50});
    EXPECT_EQ(innerProduct(in, kPlusTimes, kResult, a, arg(kInteger, {3, 2}, iota(6)), true).code, kLengthError);
    // Each element reduces right to left: 1-(2-3).
    ASSERT_EQ(innerProduct(in, kMinusTimes, kResult, vec(in, kLeft, kInteger, {1, 2, 3}),
                           vec(in, kRight, kInteger, {1, 1, 1})).code, 0);
    expectValue(result(), kInteger, {}, {2});
    // An empty inner axis gives f's identity.
    ASSERT_EQ(innerProduct(in, kPlusTimes, kResult, arg(kInteger, {2, 0}, {}, kLeft), arg(kInteger, {0, 2}, {})).code, 0);
    expectValue(result(), kInteger, {2, 2}, {0, 0, 0, 0});
}

TEST_F(Operators, FloatInnerProductKeepsEachElementsOrder) {
    std::mt19937 gen(3);
    std::uniform_real_distribution<double> u(-1, 1);
    // Shapes with partial tiles of rows and columns, and inner lengths
    // that take several passes over the result.
    struct Shape {
        int n, k, m;
    };
    for (Shape s : {Shape{7, 13, 9}, Shape{17, 300, 37}, Shape{9, 1, 16}, Shape{1, 129, 8}}) {
        const int n = s.n, k = s.k, m = s.m;
        std::vector<double> x(static_cast<std::size_t>(n * k)), y(static_cast<std::size_t>(k * m));
        for (auto& e : x) e = u(gen);
        for (auto& e : y) e = u(gen);
        ASSERT_EQ(innerProduct(in, kPlusTimes, kResult, arg(kFloat, {n, k}, x, kLeft), arg(kFloat, {k, m}, y)).code, 0);
        Read r = result();
        ASSERT_EQ(r.v.size(), static_cast<std::size_t>(n * m));
        for (int i = 0; i < n; ++i) {
            for (int j = 0; j < m; ++j) {
                volatile double acc = x[i * k + k - 1] * y[(k - 1) * m + j];
                for (int p = k - 2; p >= 0; --p) {
                    volatile double t = x[i * k + p] * y[p * m + j];
                    acc = t + acc;
                }
                ASSERT_EQ(r.at(static_cast<std::size_t>(i * m + j)), acc) << n << " " << k << " " << m;
            }
        }
    }
    // Infinities follow the scalar rule: 0w + _0w is 0w, not a NaN.
    double inf = std::numeric_limits<double>::infinity();
    ASSERT_EQ(innerProduct(in, kPlusTimes, kResult, vec(in, kLeft, kFloat, {inf, 1.5}), vec(in, kRight, kFloat, {1, -inf})).code, 0);
    EXPECT_EQ(result().at(0), inf);
}

TEST(OperatorsMemory, ResultsBeyondTheHeapAreWorkspaceFull) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    Interpreter in(caps);
    ValueRef v = vec(in, 30, kInteger, iota(1000));
    EXPECT_EQ(outerProduct(in, vocabulary::code::kOuterProductBase + vocabulary::code::kPlus, kResult, v, v).code, kWorkspaceFull);
    EXPECT_EQ(in.errorWord, kWorkspaceFull);
    EXPECT_EQ(scan(in, vocabulary::code::kScanBase + vocabulary::code::kMinus, kResult, v).code, 0);
    Read arg = read(in, v);
    EXPECT_EQ(arg.at(999), 999);
}

}  // namespace
}  // namespace wox::primitives
