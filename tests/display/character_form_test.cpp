#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "display/character_form.h"
#include "display/display_values.h"
#include "engine/interpreter.h"
#include "values/shape.h"

namespace wox::display {
namespace {

class Format : public ::testing::Test {
protected:
    Interpreter in{[] {
        Capacities c;
        c.heapBytes = 16u << 20;
        return c;
    }()};
    testing::Values v{in};
    static constexpr int kResult = 4;

    const ValueDescriptor& result() { return in.ws.var(kResult); }
    std::string text() {
        const ValueDescriptor& r = result();
        const char* p = in.ws.elems<char>(r);
        return p ? std::string(p, static_cast<std::size_t>(r.count)) : std::string();
    }
    std::string format(ValueRef arg) {
        EXPECT_TRUE(formatMonadic(in, kResult, arg).ok());
        EXPECT_EQ(result().type, kChar);
        return text();
    }
};

TEST_F(Format, ScalarsAndVectorsGiveOneLine) {
    EXPECT_EQ(format(v.ints({-42}, {})), "_42");
    EXPECT_EQ(result().rank, 1);
    EXPECT_EQ(format(v.ints({7}, {})), "7");
    EXPECT_EQ(result().rank, 1);
    EXPECT_EQ(result().count, 1);
    // Integer specials show their values here, float specials their names.
    EXPECT_EQ(format(v.ints({-2147483647 - 1, 2147483647, -5})), "_2147483648 2147483647 _5");
    EXPECT_EQ(format(v.floats({0.5, -1e20, NAN})), "0.5 _1E20 0n");
    EXPECT_EQ(format(v.complex({1, -2, 3, 0})), "1j_2 3");
    // No wrapping, however long.
    std::vector<std::int32_t> many(500, 99);
    EXPECT_EQ(format(v.ints(many)).size(), 500u * 3 - 1);
}

TEST_F(Format, ArraysKeepLeadingShapeAndAlignColumns) {
    EXPECT_EQ(format(v.ints({1, 10, 100, 5}, {2, 2})), "  1 10100  5");
    EXPECT_EQ(result().rank, 2);
    EXPECT_EQ(result().shape0, 2);
    EXPECT_EQ(result().shape1, 6);
    EXPECT_EQ(format(v.floats({1.5, 10.25}, {2, 1})), " 1.5 10.25");
    EXPECT_EQ(format(v.ints({1, -2, 3, 4, 5, 6, 7, 8}, {2, 2, 2})), "1 _23  45  67  8");
    EXPECT_EQ(result().rank, 3);
    EXPECT_EQ(values::dimension(in.ws, result(), 0), 2);
    EXPECT_EQ(values::dimension(in.ws, result(), 1), 2);
    EXPECT_EQ(values::dimension(in.ws, result(), 2), 4);
}

TEST_F(Format, CharactersPassAndOthersFail) {
    EXPECT_EQ(format(v.chars("abc", {1, 3})), "abc");
    EXPECT_EQ(result().rank, 2);
    EXPECT_EQ(format(v.ints({})), "");
    EXPECT_EQ(result().count, 0);
    EXPECT_EQ(format(v.ints({}, {3, 0})), "");
    EXPECT_EQ(result().rank, 1);
    EXPECT_EQ(formatMonadic(in, kResult, v.general({v.ints({1, 2})})).code, 1);
    EXPECT_EQ(in.errorWord, 1);
    EXPECT_EQ(formatMonadic(in, kResult, varRef(kFirstGlobalSlot + 900)).code, 4);
}

TEST(FormatLimits, ResultLargerThanTheHeapIsWorkspaceFull) {
    Capacities c;
    c.heapBytes = 4u << 20;
    Interpreter small{c};
    testing::Values sv{small};
    // 1.6 MB of floats make 2.8 MB of text: more than the heap has left.
    ValueRef s = sv.floats(std::vector<double>(200000, -1.0 / 3));
    ASSERT_NE(s, 0);
    EXPECT_EQ(formatMonadic(small, 4, s).code, 6);
    EXPECT_EQ(small.errorWord, 6);
}

}  // namespace
}  // namespace wox::display
