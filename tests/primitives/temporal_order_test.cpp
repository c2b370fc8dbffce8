// Ordering and search of Temporal values where transcripts cannot reach:
// arguments built word by word, among them words of two kinds in one
// vector, which no literal gives.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "primitives/grade.h"
#include "primitives/operators.h"
#include "primitives/scalar.h"
#include "primitives/search.h"
#include "primitives/value_builder.h"
#include "types/temporal.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using testing::put;
using testing::read;
using testing::vec;

constexpr int kLeft = 20, kRight = 21, kIo = 22, kResult = 4;
namespace code = vocabulary::code;
constexpr int kMaxReduce = code::kReduceBase + code::kMaximum;
constexpr int kMinReduceFirst = code::kReduceFirstBase + code::kMinimum;
constexpr int kMaxScan = code::kScanBase + code::kMaximum;

double date(std::int64_t days) { return static_cast<double>(types::temporalWord(types::kDateKind, days)); }
double time(std::int64_t ms) { return static_cast<double>(types::temporalWord(types::kTimeKind, ms)); }

class TemporalOrder : public ::testing::Test {
protected:
    Interpreter in;
    ValueRef origin0() { return put(in, kIo, kInteger, {}, {0}); }
    std::vector<double> resultValues() { return read(in, varRef(kResult)).v; }
};

TEST_F(TemporalOrder, WordsOfOneKindOrderAsTheirCounts) {
    // Days before 2000.01.01 count below zero.
    ValueRef d = vec(in, kRight, kTemporal, {date(3), date(-400), date(3), date(0), date(-1)});
    ASSERT_EQ(grade(in, code::kGradeUp, kResult, d, origin0()).code, 0);
    EXPECT_EQ(resultValues(), (std::vector<double>{1, 4, 3, 0, 2}));
    ASSERT_EQ(grade(in, code::kGradeDown, kResult, d, origin0()).code, 0);
    EXPECT_EQ(resultValues(), (std::vector<double>{0, 2, 3, 4, 1}));
    ASSERT_EQ(reduce(in, kMaxReduce, kResult, d).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).type, kTemporal);
    EXPECT_EQ(resultValues(), (std::vector<double>{date(3)}));
    ASSERT_EQ(reduce(in, kMinReduceFirst, kResult, d).code, 0);
    EXPECT_EQ(resultValues(), (std::vector<double>{date(-400)}));
    ASSERT_EQ(scan(in, kMaxScan, kResult, d).code, 0);
    EXPECT_EQ(resultValues(), (std::vector<double>{date(3), date(3), date(3), date(3), date(3)}));
    ASSERT_EQ(scalarDyadic(in, code::kMinimum, kResult, d, put(in, kLeft, kTemporal, {}, {date(-2)})).code, 0);
    EXPECT_EQ(resultValues(), (std::vector<double>{date(-2), date(-400), date(-2), date(-2), date(-2)}));
}

TEST_F(TemporalOrder, KindsApartDoNotOrder) {
    // A date and a time of day in one vector, or in the rows of a matrix.
    ValueRef mixed = vec(in, kRight, kTemporal, {date(5), time(3), date(1)});
    EXPECT_EQ(grade(in, code::kGradeUp, kResult, mixed, origin0()).code, kDifferentTimeFormats);
    EXPECT_EQ(grade(in, code::kGradeDown, kResult, mixed, origin0()).code, kDifferentTimeFormats);
    EXPECT_EQ(reduce(in, kMaxReduce, kResult, mixed).code, kDifferentTimeFormats);
    EXPECT_EQ(reduce(in, kMinReduceFirst, kResult, mixed).code, kDifferentTimeFormats);
    EXPECT_EQ(scan(in, kMaxScan, kResult, mixed).code, kDifferentTimeFormats);
    ValueRef rows = put(in, kRight, kTemporal, {2, 2}, {date(5), date(1), time(3), time(4)});
    EXPECT_EQ(grade(in, code::kGradeUp, kResult, rows, origin0()).code, kDifferentTimeFormats);
    EXPECT_EQ(reduce(in, kMaxReduce, kResult, rows).code, kDifferentTimeFormats);
    // The scalar functions pair elements as comparison does: each pair
    // must be of one kind.
    EXPECT_EQ(scalarDyadic(in, code::kMaximum, kResult, vec(in, kLeft, kTemporal, {date(1), time(1)}),
                           vec(in, kRight, kTemporal, {time(2), date(2)}))
                  .code,
              kDifferentTimeFormats);
    ASSERT_EQ(scalarDyadic(in, code::kMaximum, kResult, vec(in, kLeft, kTemporal, {date(1), time(3)}),
                           vec(in, kRight, kTemporal, {date(2), time(2)}))
                  .code,
              0);
    EXPECT_EQ(resultValues(), (std::vector<double>{date(2), time(3)}));
}

TEST_F(TemporalOrder, KindsApartAreDistinctValuesToTheSearches) {
    // Equal counts of two kinds are two values: found only as themselves.
    ValueRef mixed = vec(in, kLeft, kTemporal, {date(5), time(5), date(5), time(5)});
    ASSERT_EQ(unique(in, code::kUnique, kResult, mixed).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).type, kTemporal);
    EXPECT_EQ(resultValues(), (std::vector<double>{date(5), time(5)}));
    ASSERT_EQ(group(in, kResult, mixed, origin0()).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).count, 2);
    ValueRef sought = vec(in, kRight, kTemporal, {time(5), date(5), date(6),
                                                 static_cast<double>(types::temporalWord(types::kMinuteKind, 5))});
    ASSERT_EQ(indexOf(in, kResult, mixed, sought, origin0()).code, 0);
    EXPECT_EQ(resultValues(), (std::vector<double>{1, 0, 4, 4}));
    ASSERT_EQ(membership(in, code::kMembership, kResult, sought, mixed).code, 0);
    EXPECT_EQ(resultValues(), (std::vector<double>{1, 1, 0, 0}));
}

}  // namespace
}  // namespace wox::primitives
