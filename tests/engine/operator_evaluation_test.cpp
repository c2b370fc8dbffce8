// What the evaluator does for the operators: x f:g &.y reads y along its
// second axis without building the transpose, and each hands every item to
// the operand's routine.
#include <gtest/gtest.h>

#include <string>

#include "engine/evaluator.h"
#include "engine/line_session.h"
#include "frontend/translator.h"
#include "primitives/value_builder.h"
#include "values/messages.h"

namespace wox::engine {
namespace {

struct Line : testing::LineSession {
    // A variable named `name` holding the given matrix.
    ValueRef matrix(const std::string& name, std::int32_t rows, std::int32_t cols, std::vector<double> v) {
        ValueRef r = kNoValue;
        EXPECT_EQ(eval(name + "<-0", &r).code, 0);
        return testing::put(in, -r, kInteger, {rows, cols}, std::move(v));
    }
};

TEST(InnerProductOfTranspose, RightArgumentIsReadAlongItsSecondAxis) {
    Line l;
    l.matrix("a", 2, 3, {0, 1, 2, 3, 4, 5});
    ValueRef b = l.matrix("b", 2, 3, {0, 1, 2, 3, 4, 5});
    ValueRef r = kNoValue;
    ASSERT_EQ(l.eval("a +:* &.b", &r).code, 0);
    testing::Read v = testing::read(l.in, r);
    EXPECT_EQ(v.dims, (std::vector<std::int32_t>{2, 2}));
    EXPECT_EQ(v.v, (std::vector<double>{5, 14, 14, 50}));
    // The length test uses the second dimension of y.
    l.matrix("c", 3, 2, {0, 1, 2, 3, 4, 5});
    EXPECT_EQ(l.eval("a +:* &.c", &r).code, kLengthError);
    EXPECT_EQ(testing::read(l.in, b).dims, (std::vector<std::int32_t>{2, 3}));
}

TEST(EachOverItems, EveryItemGoesToTheOperandsRoutine) {
    Line l;
    ValueRef r = kNoValue;
    ASSERT_EQ(l.eval("x<-(1 2 3;4 5;'')", &r).code, 0);
    ASSERT_EQ(l.eval("+/\"x", &r).code, 0);
    const ValueDescriptor& d = l.in.ws.at(r);
    ASSERT_EQ(d.type, kGeneral);
    ASSERT_EQ(d.count, 3);
    const ValueDescriptor* items = l.in.ws.elems<ValueDescriptor>(d);
    EXPECT_EQ(inlineInt(items[0]), 6);
    EXPECT_EQ(inlineInt(items[1]), 9);
    EXPECT_EQ(inlineInt(items[2]), 0);
    // Functions without a routine, and execute, are refused.
    EXPECT_EQ(l.eval("!.\"x", &r).code, kDomainError);
    EXPECT_EQ(l.eval("(1 2;3) +\" (1;2;3)", &r).code, kLengthError);
}

}  // namespace
}  // namespace wox::engine
