// Indexing and indexed assignment on values the language cannot build yet
// (matrices, rank 3), element widths of every type, and the guarantees under
// a full heap: a failed store leaves the variable exactly as it was.
#include "primitives/indexing.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "engine/evaluator.h"
#include "frontend/translator.h"
#include "primitives/value_builder.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::primitives {
namespace {

using testing::put;
using testing::read;
using testing::scalar;
using testing::vec;

constexpr ValueRef kAll = kOmittedIndex;
constexpr int kX = 20, kV = 21, kI = 22, kJ = 23;  // variable slots
constexpr int kResult = 4, kScratch = 5;           // temporaries

std::vector<double> iota(int n, double from = 0) {
    std::vector<double> v;
    for (int i = 0; i < n; ++i) v.push_back(from + i);
    return v;
}

// A General value built by the language into variable slot `slot`; false
// when the heap cannot hold it.
bool tryGeneral(Interpreter& in, int slot, const std::string& text) {
    in.errorWord = 0;
    frontend::TranslatedLine line;
    if (frontend::translateLine(in.frontEnd(), text, -1, 0, &line).failed()) return false;
    engine::EvalContext cx;
    ValueRef r = engine::kNoValue;
    if (engine::evaluate(in, cx, line.first, &r).failed()) return false;
    if (values::assignValue(in.ws, slot, r).failed()) return false;
    in.ws.releasePending();
    in.ws.stackTop = 0;
    return true;
}

void putGeneral(Interpreter& in, int slot, const std::string& text) { ASSERT_TRUE(tryGeneral(in, slot, text)) << text; }

Rc idx(Interpreter& in, ValueRef x, std::vector<ValueRef> ix, int io = 0) {
    return index(in, kResult, x, ix, io);
}

Rc store(Interpreter& in, ValueRef v, std::vector<ValueRef> ix, int io = 0) {
    Rc rc = indexedAssign(in, kX, kScratch, v, ix, io);
    in.ws.releasePending();
    return rc;
}

class Indexing : public ::testing::Test {
protected:
    Interpreter in;
    // 3 by 4 matrix of 0 .. 11 in kX.
    ValueRef matrix() { return put(in, kX, kInteger, {3, 4}, iota(12)); }
};

TEST_F(Indexing, MatrixSelectionsTakeTheIndexShapesInTurn) {
    ValueRef m = matrix();
    ASSERT_EQ(idx(in, m, {scalar(in, kI, kInteger, 1), scalar(in, kJ, kInteger, 2)}).code, 0);
    auto r = read(in, varRef(kResult));
    EXPECT_EQ(r.rank, 0);
    EXPECT_EQ(r.v, std::vector<double>{6});

    ASSERT_EQ(idx(in, m, {vec(in, kI, kInteger, {0, 2}), vec(in, kJ, kInteger, {3, 1})}).code, 0);
    r = read(in, varRef(kResult));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{2, 2}));
    EXPECT_EQ(r.v, (std::vector<double>{3, 1, 11, 9}));

    // m[;1] is the column as a vector, m[2;] the last row.
    ASSERT_EQ(idx(in, m, {kAll, scalar(in, kJ, kInteger, 1)}).code, 0);
    r = read(in, varRef(kResult));
    EXPECT_EQ(r.dims, std::vector<std::int32_t>{3});
    EXPECT_EQ(r.v, (std::vector<double>{1, 5, 9}));
    ASSERT_EQ(idx(in, m, {scalar(in, kI, kInteger, 2), kAll}).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).v, (std::vector<double>{8, 9, 10, 11}));

    // A matrix index gives a result of rank 3, whose shape lives in gList.
    ASSERT_EQ(idx(in, m, {put(in, kI, kInteger, {2, 2}, {0, 1, 2, 0}), vec(in, kJ, kInteger, {0, 3})}).code, 0);
    r = read(in, varRef(kResult));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{2, 2, 2}));
    EXPECT_EQ(r.v, (std::vector<double>{0, 3, 4, 7, 8, 11, 0, 3}));

    // Both omitted: the matrix itself.
    ASSERT_EQ(idx(in, m, {kAll, kAll}).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).v, iota(12));
}

TEST_F(Indexing, RankThreeWithLeftOutAxes) {
    ValueRef x = put(in, kX, kInteger, {2, 3, 4}, iota(24));
    ASSERT_EQ(idx(in, x, {scalar(in, kI, kInteger, 1), kAll, vec(in, kJ, kInteger, {0, 3})}).code, 0);
    auto r = read(in, varRef(kResult));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{3, 2}));
    EXPECT_EQ(r.v, (std::vector<double>{12, 15, 16, 19, 20, 23}));
    EXPECT_EQ(idx(in, x, {kAll, kAll}).code, kRankError);
}

TEST_F(Indexing, HighRanksGoBeyondTheInlineAxisRecords) {
    // Rank 5, every index a 1 by 2 matrix: the result has rank 10.
    ValueRef x = put(in, kX, kInteger, {2, 2, 2, 2, 2}, iota(32));
    std::vector<ValueRef> ix;
    for (int k = 0; k < 5; ++k) ix.push_back(put(in, kI + 10 + k, kInteger, {1, 2}, {0, 1}));
    ASSERT_EQ(idx(in, x, ix).code, 0);
    auto r = read(in, varRef(kResult));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{1, 2, 1, 2, 1, 2, 1, 2, 1, 2}));
    EXPECT_EQ(r.v, iota(32));
    ix[4] = put(in, kI + 14, kInteger, {2}, {1, 0});
    ix[2] = kAll;
    ASSERT_EQ(idx(in, x, ix).code, 0);
    r = read(in, varRef(kResult));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{1, 2, 1, 2, 2, 1, 2, 2}));
    EXPECT_EQ(r.v[0], 1);
    EXPECT_EQ(r.v[1], 0);
    EXPECT_EQ(r.v[31], 30);
}

TEST_F(Indexing, ErrorsOfTheIndices) {
    ValueRef m = matrix();
    EXPECT_EQ(idx(in, m, {scalar(in, kI, kInteger, 1)}).code, kRankError) << "one index for two axes";
    EXPECT_EQ(idx(in, scalar(in, kV, kInteger, 5), {scalar(in, kI, kInteger, 0)}).code, kRankError);
    // Bounds with either origin: 0..2 and 1..3 on the first axis.
    EXPECT_EQ(idx(in, m, {scalar(in, kI, kInteger, 3), kAll}, 0).code, kIndexError);
    EXPECT_EQ(idx(in, m, {scalar(in, kI, kInteger, 3), kAll}, 1).code, 0);
    EXPECT_EQ(idx(in, m, {scalar(in, kI, kInteger, 0), kAll}, 1).code, kIndexError);
    EXPECT_EQ(idx(in, m, {scalar(in, kI, kInteger, -1), kAll}, 0).code, kIndexError);
    EXPECT_EQ(idx(in, m, {scalar(in, kI, kInteger, std::nan("")), kAll}).code, kIndexError) << "the null";
    EXPECT_EQ(idx(in, m, {kAll, scalar(in, kJ, kFloat, 1.5)}).code, kDomainError);
    EXPECT_EQ(idx(in, m, {kAll, scalar(in, kJ, kFloat, 2)}).code, 0) << "an integral Float is an index";
    EXPECT_EQ(idx(in, m, {kAll, scalar(in, kJ, kFloat, 1e10)}).code, kIndexError) << "whole, but beyond any axis";
    EXPECT_EQ(idx(in, m, {kAll, scalar(in, kJ, kFloat, -2147483648.0)}).code, kIndexError);
    EXPECT_EQ(idx(in, m, {kAll, scalar(in, kJ, kFloat, std::numeric_limits<double>::infinity())}).code, kIndexError);
    EXPECT_EQ(idx(in, m, {kAll, testing::chars(in, kJ, "a")}).code, kDomainError);
    // The index error wins over nothing: a later axis's error is still found.
    EXPECT_EQ(idx(in, m, {vec(in, kI, kInteger, {0, 1}), vec(in, kJ, kInteger, {0, 4})}).code, kIndexError);
}

TEST_F(Indexing, EmptyIndexGivesAnEmptyResultOfTheSameType) {
    ValueRef x = testing::chars(in, kX, "abc");
    ASSERT_EQ(idx(in, x, {vec(in, kI, kInteger, {})}).code, 0);
    auto r = read(in, varRef(kResult));
    EXPECT_EQ(r.type, kChar);
    EXPECT_EQ(r.rank, 1);
    EXPECT_EQ(r.count, 0);
    ValueRef m = matrix();
    ASSERT_EQ(idx(in, m, {vec(in, kI, kInteger, {}), kAll}).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).dims, (std::vector<std::int32_t>{0, 4}));
}

TEST_F(Indexing, EveryElementWidth) {
    ValueRef c = put(in, kX, kChar, {2, 2}, {'a', 'b', 'c', 'd'});
    ASSERT_EQ(idx(in, c, {kAll, scalar(in, kI, kInteger, 1)}).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).v, (std::vector<double>{'b', 'd'}));
    ValueRef f = vec(in, kX, kFloat, {0.5, 1.5, 2.5});
    ASSERT_EQ(idx(in, f, {vec(in, kI, kInteger, {2, 0})}).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).v, (std::vector<double>{2.5, 0.5}));
    ValueRef z = vec(in, kX, kComplex, {1, 2, 3});
    ASSERT_EQ(idx(in, z, {vec(in, kI, kInteger, {1, 1})}).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).v, (std::vector<double>{2, 0, 2, 0}));
    ASSERT_EQ(idx(in, z, {scalar(in, kI, kInteger, 2)}).code, 0);
    EXPECT_EQ(read(in, varRef(kResult)).rank, 0);
    EXPECT_EQ(read(in, varRef(kResult)).v, (std::vector<double>{3, 0}));
    ValueRef b = vec(in, kX, kBoolean, {1, 0, 1});
    ASSERT_EQ(idx(in, b, {vec(in, kI, kBoolean, {1, 1})}).code, 0) << "a Boolean index is positions too";
    EXPECT_EQ(read(in, varRef(kResult)).type, kBoolean);
    EXPECT_EQ(read(in, varRef(kResult)).v, (std::vector<double>{0, 0}));
}

TEST_F(Indexing, GeneralValuesCopyTheSelectedItems) {
    putGeneral(in, kX, "(1 2;'ab';3.5)");
    ASSERT_EQ(idx(in, varRef(kX), {scalar(in, kI, kInteger, 1)}).code, 0);
    auto r = read(in, varRef(kResult));
    EXPECT_EQ(r.type, kChar) << "a scalar index gives the item itself";
    EXPECT_EQ(r.v, (std::vector<double>{'a', 'b'}));
    EXPECT_LT(in.ws.var(kResult).data, in.ws.heapTop) << "a copy on the stack, not the variable's block";

    ASSERT_EQ(idx(in, varRef(kX), {vec(in, kI, kInteger, {0, 0})}).code, 0);
    const ValueDescriptor& g = in.ws.var(kResult);
    ASSERT_EQ(g.type, kGeneral);
    ASSERT_EQ(g.count, 2);
    const auto* items = in.ws.elems<ValueDescriptor>(g);
    EXPECT_NE(items[0].data, items[1].data) << "each item owns its block";
    EXPECT_LT(items[0].data, in.ws.heapTop);
}

TEST_F(Indexing, GeneralIndexIndexesWithEachItem) {
    ValueRef x = vec(in, kX, kInteger, {10, 20, 30});
    putGeneral(in, kI, "(0 1;2;(1;0 0))");
    ASSERT_EQ(idx(in, x, {varRef(kI)}).code, 0);
    const ValueDescriptor& g = in.ws.var(kResult);
    ASSERT_EQ(g.type, kGeneral);
    ASSERT_EQ(g.count, 3);
    const auto* items = in.ws.elems<ValueDescriptor>(g);
    EXPECT_EQ(items[0].count, 2);
    EXPECT_EQ(in.ws.elems<std::int32_t>(items[0])[1], 20);
    EXPECT_EQ(items[1].rank, 0);
    EXPECT_EQ(in.ws.elems<std::int32_t>(items[1])[0], 30);
    ASSERT_EQ(items[2].type, kGeneral) << "a nested index nests the result";
    const auto* inner = in.ws.elems<ValueDescriptor>(items[2]);
    EXPECT_EQ(in.ws.elems<std::int32_t>(inner[0])[0], 20);
    EXPECT_EQ(inner[1].count, 2);

    putGeneral(in, kJ, "(0;5)");
    EXPECT_EQ(idx(in, x, {varRef(kJ)}).code, kIndexError);
    EXPECT_EQ(idx(in, matrix(), {varRef(kJ)}).code, kRankError);
}

TEST_F(Indexing, IndexOriginMustBeZeroOrOne) {
    int io = -1;
    EXPECT_EQ(indexOrigin(in.ws, varRef(kIoSlot), &io).code, 0);
    EXPECT_EQ(io, 1);
    put(in, kIoSlot, kInteger, {}, {2});
    EXPECT_EQ(indexOrigin(in.ws, varRef(kIoSlot), &io).code, kIndexOriginError);
    put(in, kIoSlot, kFloat, {}, {0.5});
    EXPECT_EQ(indexOrigin(in.ws, varRef(kIoSlot), &io).code, kIndexOriginError);
    put(in, kIoSlot, kBoolean, {1}, {0});
    EXPECT_EQ(indexOrigin(in.ws, varRef(kIoSlot), &io).code, 0);
    EXPECT_EQ(io, 0);
}

// ---- Indexed assignment ------------------------------------------------------

TEST_F(Indexing, StoreIntoMatrixInPlace) {
    matrix();
    const std::uint32_t block = in.ws.var(kX).data;
    ASSERT_EQ(store(in, vec(in, kV, kInteger, {-1, -2}), {vec(in, kI, kInteger, {0, 2}), scalar(in, kJ, kInteger, 1)})
                  .code,
              0);
    ASSERT_EQ(store(in, scalar(in, kV, kInteger, 7), {kAll, scalar(in, kJ, kInteger, 3)}).code, 0);
    auto r = read(in, varRef(kX));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(r.v, (std::vector<double>{0, -1, 2, 7, 4, 5, 6, 7, 8, -2, 10, 7}));
    EXPECT_EQ(in.ws.var(kX).data, block) << "same type: no new block";
    // v takes the shape of the selection: a 2 by 2 selection wants 2 by 2.
    ValueRef v22 = put(in, kV, kInteger, {2, 2}, {1, 2, 3, 4});
    ASSERT_EQ(store(in, v22, {vec(in, kI, kInteger, {1, 2}), vec(in, kJ, kInteger, {0, 1})}).code, 0);
    EXPECT_EQ(read(in, varRef(kX)).v, (std::vector<double>{0, -1, 2, 7, 1, 2, 6, 7, 3, 4, 10, 7}));
}

TEST_F(Indexing, StoreErrorsLeaveTheVariableAlone) {
    matrix();
    const auto before = read(in, varRef(kX));
    EXPECT_EQ(store(in, vec(in, kV, kInteger, {1, 2, 3}), {vec(in, kI, kInteger, {0, 1}), kAll}).code, kLengthError);
    EXPECT_EQ(store(in, vec(in, kV, kInteger, {1, 2, 3, 4}), {vec(in, kI, kInteger, {0, 1}), scalar(in, kJ, kInteger, 0)})
                  .code,
              kLengthError);
    EXPECT_EQ(store(in, put(in, kV, kInteger, {1, 2}, {1, 2}), {vec(in, kI, kInteger, {0, 1}), kAll}).code, kLengthError)
        << "a 1 by 2 value for a 2 by 4 selection";
    EXPECT_EQ(store(in, scalar(in, kV, kInteger, 1), {scalar(in, kI, kInteger, 1)}).code, kRankError);
    EXPECT_EQ(store(in, scalar(in, kV, kInteger, 1), {scalar(in, kI, kInteger, 3), kAll}).code, kIndexError);
    EXPECT_EQ(store(in, scalar(in, kV, kInteger, 1), {scalar(in, kI, kInteger, 0), kAll}, 1).code, kIndexError);
    EXPECT_EQ(store(in, testing::chars(in, kV, "a"), {scalar(in, kI, kInteger, 0), kAll}).code, kDomainError);
    EXPECT_EQ(store(in, scalar(in, kV, kInteger, 1), {kAll, scalar(in, kJ, kFloat, 0.5)}).code, kDomainError);
    const auto after = read(in, varRef(kX));
    EXPECT_EQ(after.v, before.v);
    EXPECT_EQ(after.type, kInteger);
    EXPECT_EQ(after.dims, before.dims);
    in.ws.var(kX).rank = -1;
    EXPECT_EQ(store(in, scalar(in, kV, kInteger, 1), {scalar(in, kI, kInteger, 0)}).code, kValueError);
}

TEST_F(Indexing, TypeRulesOfTheStore) {
    // Integer to Float keeps the shape and the other elements.
    matrix();
    ASSERT_EQ(store(in, scalar(in, kV, kFloat, 0.5), {scalar(in, kI, kInteger, 1), scalar(in, kJ, kInteger, 1)}).code,
              0);
    auto r = read(in, varRef(kX));
    EXPECT_EQ(r.type, kFloat);
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{3, 4}));
    EXPECT_EQ(r.v[5], 0.5);
    EXPECT_EQ(r.v[11], 11);
    // The integer null becomes the float null when widened.
    vec(in, kX, kInteger, {std::nan(""), 1});
    ASSERT_EQ(store(in, scalar(in, kV, kFloat, 2.5), {scalar(in, kI, kInteger, 1)}).code, 0);
    EXPECT_TRUE(std::isnan(read(in, varRef(kX)).v[0]));
    // Float to Complex, Boolean to Integer; a narrower v never narrows x.
    vec(in, kX, kFloat, {0.5, 1.5});
    ASSERT_EQ(store(in, scalar(in, kV, kComplex, 3), {scalar(in, kI, kInteger, 0)}).code, 0);
    EXPECT_EQ(read(in, varRef(kX)).type, kComplex);
    EXPECT_EQ(read(in, varRef(kX)).v, (std::vector<double>{3, 0, 1.5, 0}));
    vec(in, kX, kBoolean, {1, 0, 1});
    ASSERT_EQ(store(in, scalar(in, kV, kInteger, 5), {scalar(in, kI, kInteger, 1)}).code, 0);
    EXPECT_EQ(read(in, varRef(kX)).type, kInteger);
    EXPECT_EQ(read(in, varRef(kX)).v, (std::vector<double>{1, 5, 1}));
    vec(in, kX, kFloat, {0.5, 1.5});
    ASSERT_EQ(store(in, scalar(in, kV, kInteger, 2), {scalar(in, kI, kInteger, 0)}).code, 0);
    EXPECT_EQ(read(in, varRef(kX)).type, kFloat);
    // Char, Symbol and Temporal take only their own type.
    testing::chars(in, kX, "abc");
    EXPECT_EQ(store(in, scalar(in, kV, kInteger, 1), {scalar(in, kI, kInteger, 0)}).code, kDomainError);
    put(in, kX, kSymbol, {2}, {0, 1});
    EXPECT_EQ(store(in, testing::chars(in, kV, "a"), {scalar(in, kI, kInteger, 0)}).code, kDomainError);
    EXPECT_EQ(store(in, scalar(in, kV, kSymbol, 1), {scalar(in, kI, kInteger, 0)}).code, 0);
    put(in, kX, kTemporal, {2}, {0, 1});
    EXPECT_EQ(store(in, scalar(in, kV, kInteger, 1), {scalar(in, kI, kInteger, 0)}).code, kDomainError);
}

TEST_F(Indexing, GeneralValueMakesTheVariableGeneral) {
    put(in, kX, kComplex, {2, 2}, {1, 2, 3, 4});
    putGeneral(in, kV, "(9;'xy')");
    ASSERT_EQ(store(in, varRef(kV), {kAll, scalar(in, kJ, kInteger, 1)}).code, 0);
    const ValueDescriptor& x = in.ws.var(kX);
    ASSERT_EQ(x.type, kGeneral);
    EXPECT_EQ(x.rank, 2);
    EXPECT_GE(x.data, in.ws.heapTop) << "the variable owns its new block";
    const auto* items = in.ws.elems<ValueDescriptor>(x);
    EXPECT_EQ(items[0].type, kComplex) << "old elements become scalar items";
    EXPECT_EQ(in.ws.elems<double>(items[2])[0], 3);
    EXPECT_GE(items[2].data, in.ws.heapTop);
    EXPECT_EQ(items[1].type, kInteger);
    EXPECT_EQ(items[3].type, kChar);
    EXPECT_EQ(std::string(in.ws.elems<char>(items[3]), 2), "xy");
    // Into a General variable: items are replaced, a simple v gives scalars.
    ASSERT_EQ(store(in, vec(in, kI, kInteger, {7, 8}), {scalar(in, kJ, kInteger, 0), kAll}).code, 0);
    items = in.ws.elems<ValueDescriptor>(in.ws.var(kX));
    EXPECT_EQ(items[1].rank, 0);
    EXPECT_EQ(in.ws.elems<std::int32_t>(items[1])[0], 8);
    EXPECT_EQ(items[3].type, kChar);
    // What the replaced items held is given back by compaction.
    in.ws.compact();
    items = in.ws.elems<ValueDescriptor>(in.ws.var(kX));
    EXPECT_EQ(std::string(in.ws.elems<char>(items[3]), 2), "xy");
    EXPECT_EQ(in.ws.elems<double>(items[2])[0], 3);
}

// Sweeps the heap across the size where a store fits: every failure is
// "workspace full" and leaves the variable as it was.
// The first element of every item of a General value, or the elements of a
// simple one.
std::vector<double> contents(Interpreter& in, ValueRef r) {
    const ValueDescriptor& d = in.ws.at(r);
    if (d.type != kGeneral) return read(in, r).v;
    std::vector<double> out;
    const auto* items = in.ws.elems<ValueDescriptor>(d);
    for (std::int32_t i = 0; i < d.count; ++i) {
        out.push_back(items[i].count);
        if (items[i].count > 0) out.push_back(in.ws.elems<std::int32_t>(items[i])[0]);
    }
    return out;
}

template <class Setup, class Act, class Check>
void sweepHeap(Setup setup, Act act, Check check) {
    bool failed = false, succeeded = false;
    for (std::uint32_t bytes = 8192; bytes >= 512; bytes -= 64) {
        Capacities caps;
        caps.heapBytes = bytes;
        Interpreter in(caps);
        if (!setup(in)) continue;
        const auto before = contents(in, varRef(kX));
        const std::int32_t typeBefore = in.ws.var(kX).type;
        in.ws.stackTop = 0;
        Rc rc = act(in);
        in.ws.releasePending();
        if (rc.failed()) {
            failed = true;
            EXPECT_EQ(rc.code, kWorkspaceFull) << bytes;
            EXPECT_EQ(in.ws.var(kX).type, typeBefore) << bytes;
            EXPECT_EQ(contents(in, varRef(kX)), before) << bytes;
            EXPECT_LE(in.ws.stackTop, in.ws.heapTop);
        } else {
            succeeded = true;
            check(in);
        }
    }
    EXPECT_TRUE(failed);
    EXPECT_TRUE(succeeded);
}

TEST(IndexingLimits, WideningStoreUnderAFullHeap) {
    sweepHeap(
        [](Interpreter& in) {
            put(in, kX, kInteger, {300}, iota(300));
            if (in.ws.var(kX).blockSize == 0) return false;
            put(in, kI, kInteger, {}, {7});
            put(in, kV, kFloat, {}, {0.5});
            return true;
        },
        [](Interpreter& in) { return indexedAssign(in, kX, kScratch, varRef(kV), std::vector<ValueRef>{varRef(kI)}, 0); },
        [](Interpreter& in) {
            auto r = read(in, varRef(kX));
            EXPECT_EQ(r.type, kFloat);
            EXPECT_EQ(r.v[7], 0.5);
            EXPECT_EQ(r.v[299], 299);
        });
}

TEST(IndexingLimits, GeneralStoreUnderAFullHeap) {
    sweepHeap(
        [](Interpreter& in) {
            if (!tryGeneral(in, kX, "(1;2;3)")) return false;
            put(in, kV, kInteger, {400}, iota(400));
            if (in.ws.var(kV).blockSize == 0) return false;
            put(in, kI, kInteger, {}, {1});
            // v enclosed: the only item of a General scalar.
            ValueDescriptor& g = in.ws.var(kJ);
            g = ValueDescriptor{};
            if (in.ws.allocOwned(kJ, kGeneral, 1).failed()) return false;
            g.type = kGeneral;
            g.count = 1;
            auto* item = reinterpret_cast<ValueDescriptor*>(in.ws.base() + g.data);
            *item = in.ws.var(kV);
            in.ws.var(kV) = ValueDescriptor{};  // the item owns the block now
            in.ws.trailerOf(*item)->owner = values::kOwnerItem | g.data;
            return true;
        },
        [](Interpreter& in) {
            return indexedAssign(in, kX, kScratch, varRef(kJ), std::vector<ValueRef>{varRef(kI)}, 0);
        },
        [](Interpreter& in) {
            const auto* items = in.ws.elems<ValueDescriptor>(in.ws.var(kX));
            EXPECT_EQ(items[1].count, 400);
            EXPECT_EQ(in.ws.elems<std::int32_t>(items[1])[399], 399);
            EXPECT_EQ(in.ws.elems<std::int32_t>(items[2])[0], 3);
        });
}

TEST(IndexingLimits, SimpleBecomingGeneralUnderAFullHeap) {
    sweepHeap(
        [](Interpreter& in) {
            put(in, kX, kInteger, {100}, iota(100));
            if (in.ws.var(kX).blockSize == 0) return false;
            if (!tryGeneral(in, kV, "(1 2 3;'abc')")) return false;
            put(in, kI, kInteger, {2}, {0, 99});
            return in.ws.var(kI).blockSize > 0;
        },
        [](Interpreter& in) { return indexedAssign(in, kX, kScratch, varRef(kV), std::vector<ValueRef>{varRef(kI)}, 0); },
        [](Interpreter& in) {
            const ValueDescriptor& x = in.ws.var(kX);
            ASSERT_EQ(x.type, kGeneral);
            const auto* items = in.ws.elems<ValueDescriptor>(x);
            EXPECT_EQ(items[0].count, 3);
            EXPECT_EQ(items[99].type, kChar);
            EXPECT_EQ(in.ws.elems<std::int32_t>(items[50])[0], 50);
        });
}

TEST(IndexingLimits, SelectionLargerThanTheHeapIsWorkspaceFull) {
    Capacities caps;
    caps.heapBytes = 4096;
    Interpreter in(caps);
    put(in, kX, kInteger, {100}, iota(100));
    put(in, kI, kInteger, {600}, std::vector<double>(600, 3));
    EXPECT_EQ(index(in, kResult, varRef(kX), std::vector<ValueRef>{varRef(kI)}, 0).code, kWorkspaceFull);
    put(in, kI, kInteger, {100}, std::vector<double>(100, 3));
    EXPECT_EQ(index(in, kResult, varRef(kX), std::vector<ValueRef>{varRef(kI)}, 0).code, 0);
}

}  // namespace
}  // namespace wox::primitives
