// Matrix divide and inverse where transcripts cannot look: the working
// memory against the heap (a sweep across the limit, and a compaction that
// makes room), the argument types read alike, and a result written into
// the argument's own slot.
#include "primitives/matrix_divide.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "primitives/value_builder.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using namespace wox::engine;
using testing::put;
using testing::read;
using testing::Read;
using testing::vec;

constexpr int kLeft = 20, kRight = 21, kResult = 4;

// An n by n matrix with a dominant diagonal, far from singular.
std::vector<double> wellConditioned(int n) {
    std::vector<double> a(static_cast<std::size_t>(n) * n);
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) a[static_cast<std::size_t>(i) * n + j] = i == j ? n + 1.0 : ((i * 7 + j * 3) % 5) / 5.0;
    return a;
}

// Whether m is the n by n identity within rounding.
bool isIdentity(const Read& m, int n) {
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j)
            if (std::fabs(m.at(static_cast<std::size_t>(i) * n + j) - (i == j ? 1.0 : 0.0)) > 1e-12) return false;
    return true;
}

TEST(MatrixDivide, WorkingMemoryMustFitTheHeap) {
    const int n = 40;  // 12.8 KB a matrix; divide takes two more and the result
    int failures = 0, successes = 0;
    for (std::uint32_t heap = 24 << 10; heap <= 96 << 10; heap += 4 << 10) {
        Capacities caps;
        caps.heapBytes = heap;
        Interpreter in(caps);
        ValueRef y = put(in, kRight, kFloat, {n, n}, wellConditioned(n));
        if (in.ws.var(kRight).count != n * n || in.ws.var(kRight).blockSize == 0) continue;
        Rc rc = matrixDivide(in, vocabulary::code::kMatrixDivide, kResult, y, y);
        if (rc.code == kWorkspaceFull) {
            ++failures;
        } else {
            ASSERT_EQ(rc.code, 0) << "heap " << heap;
            Read z = read(in, varRef(kResult));
            ASSERT_EQ(z.dims, (std::vector<std::int32_t>{n, n}));
            EXPECT_TRUE(isIdentity(z, n)) << "heap " << heap;
            ++successes;
        }
        // Whatever happened, the argument is as it was.
        Read again = read(in, y);
        ASSERT_EQ(again.v, wellConditioned(n)) << "heap " << heap;
    }
    EXPECT_GT(failures, 0);
    EXPECT_GT(successes, 0);
}

TEST(MatrixDivide, CompactsTheHeapToMakeRoom) {
    Capacities caps;
    caps.heapBytes = 136 << 10;
    Interpreter in(caps);
    // A dead block of 100 KB: only a compaction leaves room for the solve.
    ASSERT_EQ(in.ws.allocOwned(30, kFloat, 12'800).code, 0);
    const int n = 40;
    ValueRef y = put(in, 31, kFloat, {n, n}, wellConditioned(n));
    in.ws.freeValueBlocks(in.ws.var(30));
    const std::uint64_t before = in.ws.compactions;
    ASSERT_EQ(matrixInverse(in, vocabulary::code::kMatrixInverse, kResult, y).code, 0);
    EXPECT_GT(in.ws.compactions, before);
    // The inverse times the matrix is the identity.
    Read inv = read(in, varRef(kResult));
    std::vector<double> a = wellConditioned(n);
    Read product;
    for (int i = 0; i < n; ++i)
        for (int j = 0; j < n; ++j) {
            double s = 0;
            for (int k = 0; k < n; ++k) s += inv.at(static_cast<std::size_t>(i) * n + k) * a[static_cast<std::size_t>(k) * n + j];
            product.v.push_back(s);
        }
    EXPECT_TRUE(isIdentity(product, n));
}

TEST(MatrixDivide, ArgumentTypesReadAlike) {
    Interpreter in;
    for (std::int32_t type : {kBoolean, kInteger, kFloat}) {
        ValueRef y = put(in, kRight, type, {3, 3}, {1, 0, 0, 0, 1, 0, 1, 0, 1});
        ValueRef x = vec(in, kLeft, type == kBoolean ? kInteger : type, {2, 3, 5});
        ASSERT_EQ(matrixDivide(in, vocabulary::code::kMatrixDivide, kResult, x, y).code, 0) << type;
        Read z = read(in, varRef(kResult));
        EXPECT_EQ(z.type, kFloat);
        EXPECT_EQ(z.v, (std::vector<double>{2, 3, 3})) << type;
    }
    // The integer null is no number to solve with.
    ValueRef y = put(in, kRight, kInteger, {2, 2}, {1, 0, 0, std::nan("")});
    EXPECT_EQ(matrixInverse(in, vocabulary::code::kMatrixInverse, kResult, y).code, kDomainError);
}

TEST(MatrixDivide, InverseIntoTheArgumentsOwnSlot) {
    Interpreter in;
    ValueRef y = put(in, kResult, kFloat, {2, 2}, {4, 7, 2, 6});
    ASSERT_EQ(matrixInverse(in, vocabulary::code::kMatrixInverse, kResult, y).code, 0);
    Read z = read(in, varRef(kResult));
    ASSERT_EQ(z.count, 4);
    const double want[] = {0.6, -0.7, -0.2, 0.4};
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(z.at(i), want[i], 1e-15);
}

}  // namespace
}  // namespace wox::primitives
