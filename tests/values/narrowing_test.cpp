// Numeric narrowing: each step, their order, inline results and empty values.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/interpreter.h"
#include "values/narrowing.h"

namespace wox::values {
namespace {

ValueDescriptor& floats(Workspace& ws, int slot, const std::vector<double>& v, int rank = 1) {
    EXPECT_EQ(ws.allocTemp(slot, kFloat, static_cast<int>(v.size())).code, 0);
    ValueDescriptor& d = ws.var(slot);
    d.type = kFloat;
    d.rank = rank;
    d.count = static_cast<int>(v.size());
    d.shape0 = d.count;
    if (isInline(d)) setInlineFloat(d, v[0]);
    else if (!v.empty()) std::memcpy(ws.base() + d.data, v.data(), 8 * v.size());
    return d;
}

ValueDescriptor& complexes(Workspace& ws, int slot, const std::vector<double>& pairs, int rank = 1) {
    int n = static_cast<int>(pairs.size() / 2);
    EXPECT_EQ(ws.allocTemp(slot, kComplex, n).code, 0);
    ValueDescriptor& d = ws.var(slot);
    d.type = kComplex;
    d.rank = rank;
    d.count = n;
    if (!pairs.empty()) std::memcpy(ws.base() + d.data, pairs.data(), 8 * pairs.size());
    return d;
}

std::vector<int> ints(Workspace& ws, const ValueDescriptor& d) {
    const int* e = ws.elems<int>(d);
    return std::vector<int>(e, e + d.count);
}

TEST(Narrowing, ComplexComesDownToBooleanInOneCall) {
    Interpreter in;
    ValueDescriptor& d = complexes(in.ws, 4, {1, 0, 0, 0, 1, 0});
    narrow(in.ws, d, true);
    EXPECT_EQ(d.type, kBoolean);
    EXPECT_EQ(ints(in.ws, d), (std::vector<int>{1, 0, 1}));
}

TEST(Narrowing, ComplexWithImaginaryPartStaysAndIntegralComplexBecomesInteger) {
    Interpreter in;
    ValueDescriptor& a = complexes(in.ws, 4, {1, 0, 2, 0.5});
    narrow(in.ws, a);
    EXPECT_EQ(a.type, kComplex);
    ValueDescriptor& b = complexes(in.ws, 5, {1, 0, 2, 0});
    narrow(in.ws, b);
    EXPECT_EQ(b.type, kInteger);
    EXPECT_EQ(ints(in.ws, b), (std::vector<int>{1, 2}));
    // A Complex scalar that narrows becomes an inline Float.
    ValueDescriptor& c = complexes(in.ws, 6, {2.5, 0}, 0);
    narrow(in.ws, c);
    EXPECT_EQ(c.type, kFloat);
    EXPECT_EQ(inlineFloat(c), 2.5);
}

TEST(Narrowing, FloatToIntegerRules) {
    Interpreter in;
    Workspace& ws = in.ws;
    ValueDescriptor& a = floats(ws, 4, {2.0, 4.0});
    narrow(ws, a);
    EXPECT_EQ(a.type, kInteger);
    EXPECT_EQ(ints(ws, a), (std::vector<int>{2, 4}));
    ValueDescriptor& b = floats(ws, 5, {2.0, 2.5});
    narrow(ws, b);
    EXPECT_EQ(b.type, kFloat);
    ValueDescriptor& c = floats(ws, 6, {3e9}, 0);
    narrow(ws, c);
    EXPECT_EQ(c.type, kFloat);
    ValueDescriptor& n = floats(ws, 7, {1, std::nan(""), 3});
    narrow(ws, n);
    EXPECT_EQ(n.type, kInteger);
    EXPECT_EQ(ints(ws, n), (std::vector<int>{1, kIntNull, 3}));
    ValueDescriptor& edge = floats(ws, 8, {2147483647.0, -2147483647.0});
    narrow(ws, edge);
    EXPECT_EQ(edge.type, kInteger);
    ValueDescriptor& over = floats(ws, 9, {-2147483648.0});
    narrow(ws, over);
    EXPECT_EQ(over.type, kFloat) << "-2^31 is the null, not a number";
    ValueDescriptor& inf = floats(ws, 10, {INFINITY, 1});
    narrow(ws, inf);
    EXPECT_EQ(inf.type, kFloat);
}

TEST(Narrowing, EmptyAndOneElementValues) {
    Interpreter in;
    Workspace& ws = in.ws;
    ValueDescriptor& e = floats(ws, 4, {});
    narrow(ws, e);
    EXPECT_EQ(e.type, kInteger);
    EXPECT_EQ(e.count, 0);
    ValueDescriptor& ce = complexes(ws, 5, {});
    narrow(ws, ce);
    EXPECT_EQ(ce.type, kComplex);
    // A one-element vector keeps rank 1 and its element inline.
    ValueDescriptor& one = floats(ws, 6, {7.0}, 1);
    narrow(ws, one, true);
    EXPECT_EQ(one.type, kInteger);
    EXPECT_EQ(one.rank, 1);
    EXPECT_EQ(inlineInt(one), 7);
}

TEST(Narrowing, BooleanStepOnlyOnRequest) {
    Interpreter in;
    ValueDescriptor& d = floats(in.ws, 4, {1, 0, 1});
    narrow(in.ws, d);
    EXPECT_EQ(d.type, kInteger);
    narrowToBoolean(in.ws, d);
    EXPECT_EQ(d.type, kBoolean);
    ValueDescriptor& n = floats(in.ws, 5, {1, 0, 2});
    narrow(in.ws, n, true);
    EXPECT_EQ(n.type, kInteger);
    EXPECT_EQ(toIntegerElement(-0.0), 0);
}

}  // namespace
}  // namespace wox::values
