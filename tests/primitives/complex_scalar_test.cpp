// The complex seams of the scalar families, where transcripts cannot look:
// real arguments widened a chunk at a time, every loop shape, a result in an
// argument's own slot, narrowing of the finished result, and a full heap.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "primitives/scalar.h"
#include "primitives/value_builder.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using namespace wox::engine;
using testing::put;
using testing::read;
using testing::Read;
using testing::scalar;
using testing::vec;

constexpr int kLeft = 20, kRight = 21, kResult = 4;

// A Complex value of the given shape from (re, im) pairs.
ValueRef complexValue(Interpreter& in, int slot, std::vector<std::int32_t> dims, const std::vector<double>& pairs) {
    std::vector<double> re(pairs.size() / 2);
    ValueRef r = put(in, slot, kComplex, std::move(dims), re);
    double* e = in.ws.elems<double>(in.ws.var(slot));
    for (std::size_t i = 0; i < pairs.size(); ++i) e[i] = pairs[i];
    return r;
}

TEST(ComplexScalar, RealBlocksWidenAcrossChunksInEveryLoopShape) {
    Interpreter in;
    const int n = 1000;  // several chunks, the last one partial
    std::vector<double> ints(n), floats(n), pairs;
    for (int i = 0; i < n; ++i) {
        ints[i] = i;
        floats[i] = i + 0.25;
        pairs.push_back(i);
        pairs.push_back(-i);
    }
    ValueRef half = complexValue(in, kRight, {}, {0.5, 1});
    ASSERT_EQ(scalarDyadic(in, vocabulary::code::kPlus, kResult, vec(in, kLeft, kInteger, ints), half).code, 0);
    Read r = read(in, varRef(kResult));
    ASSERT_EQ(r.type, kComplex);
    ASSERT_EQ(r.count, n);
    for (int i = 0; i < n; ++i) ASSERT_TRUE(r.at(2 * i) == i + 0.5 && r.at(2 * i + 1) == 1) << i;

    // Both blocks: a Float block against a Complex one.
    ValueRef z = complexValue(in, kRight, {n}, pairs);
    ASSERT_EQ(scalarDyadic(in, vocabulary::code::kTimes, kResult, vec(in, kLeft, kFloat, floats), z).code, 0);
    r = read(in, varRef(kResult));
    for (int i = 0; i < n; ++i) ASSERT_TRUE(r.at(2 * i) == floats[i] * i && r.at(2 * i + 1) == -floats[i] * i) << i;

    // Right single: z minus 1 keeps z's shape.
    ASSERT_EQ(scalarDyadic(in, vocabulary::code::kMinus, kResult, z, scalar(in, kLeft, kBoolean, 1)).code, 0);
    r = read(in, varRef(kResult));
    EXPECT_EQ(r.rank, 1);
    for (int i = 0; i < n; ++i) ASSERT_TRUE(r.at(2 * i) == i - 1 && r.at(2 * i + 1) == -i) << i;

    // The circle functions read selectors of every real type alike.
    ValueRef w = complexValue(in, kRight, {2}, {3, 4, 1, -1});
    for (std::int32_t type : {kBoolean, kInteger, kFloat}) {
        ASSERT_EQ(scalarDyadic(in, vocabulary::code::kCircle, kResult, vec(in, kLeft, type, {1, 0}), w).code, 0) << type;
        r = read(in, varRef(kResult));
        ASSERT_EQ(r.type, kComplex);
        EXPECT_NEAR(r.at(0), std::sin(3) * std::cosh(4), 1e-12);
        // 0@1j_1 is sqrt(1 - (1-i)^2) = sqrt(1 + 2i).
        EXPECT_NEAR(r.at(2), 1.272019649514069, 1e-12);
        EXPECT_NEAR(r.at(3), 0.7861513777574233, 1e-12);
    }
}

TEST(ComplexScalar, ResultsNarrowAndMayUseTheArgumentsSlot) {
    Interpreter in;
    // The argument is a temporary in the slot the result goes to.
    ValueRef z = complexValue(in, kResult, {3}, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(scalarMonadic(in, vocabulary::code::kNegate, kResult, z).code, 0);
    Read r = read(in, varRef(kResult));
    EXPECT_EQ(r.v, (std::vector<double>{-1, -2, -3, -4, -5, -6}));

    // Imaginary parts that are all 0 after the clean-up: the result is
    // Integer, and a single one is inline with no block.
    ValueRef e = complexValue(in, kRight, {}, {0, 3.141592653589793});
    ASSERT_EQ(scalarMonadic(in, vocabulary::code::kExponential, kResult, e).code, 0);
    const ValueDescriptor& d = in.ws.var(kResult);
    EXPECT_EQ(d.type, kInteger);
    EXPECT_EQ(d.rank, 0);
    EXPECT_EQ(d.blockSize, 0);
    EXPECT_EQ(inlineInt(d), -1);

    // An empty result is an empty Integer.
    ASSERT_EQ(scalarDyadic(in, vocabulary::code::kPlus, kResult, complexValue(in, kLeft, {0}, {}), scalar(in, kRight, kInteger, 1))
                  .code,
              0);
    EXPECT_EQ(in.ws.var(kResult).type, kInteger);
    EXPECT_EQ(in.ws.var(kResult).count, 0);
}

TEST(ComplexScalar, FullHeapIsAnErrorAndArgumentsStay) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    Interpreter in(caps);
    // 100,000 Float elements fit; their complex result (1.6 MB) does not.
    ValueRef a = vec(in, 30, kFloat, std::vector<double>(100'000, -2.5));
    EXPECT_EQ(scalarDyadic(in, vocabulary::code::kPower, kResult, a, scalar(in, kRight, kFloat, 0.5)).code, kWorkspaceFull);
    EXPECT_EQ(in.errorWord, kWorkspaceFull);
    EXPECT_EQ(read(in, a).at(99'999), -2.5);
    // A domain error found midway through the elements is still an error.
    ValueRef ones = complexValue(in, kLeft, {3}, {1, 1, 0, 0, 2, 0});
    EXPECT_EQ(scalarDyadic(in, vocabulary::code::kDivide, kResult, ones, vec(in, kRight, kInteger, {1, 0, 0})).code, kDomainError);
}

}  // namespace
}  // namespace wox::primitives
