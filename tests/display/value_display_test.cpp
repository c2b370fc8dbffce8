#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <string>
#include <vector>

#include "display/display_values.h"
#include "display/value_display.h"
#include "engine/interpreter.h"
#include "engine/recording_link.h"

namespace wox::display {
namespace {

Capacities smallHeap() {
    Capacities c;
    c.heapBytes = 64u << 20;
    return c;
}

class Display : public ::testing::Test {
protected:
    Interpreter in{smallHeap()};
    testing::Values v{in};

    std::string show(ValueRef r, bool openLine = false) {
        std::string out;
        EXPECT_TRUE(appendDisplay(in, in.displayState, r, openLine, out).ok());
        return out;
    }
    static std::vector<std::string> lines(const std::string& text) {
        std::vector<std::string> out;
        std::size_t at = 0;
        for (;;) {
            std::size_t end = text.find("\r\n", at);
            out.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
            if (end == std::string::npos) return out;
            at = end + 2;
        }
    }
};

TEST_F(Display, ScalarsAndShortVectorsStartBelowTheInput) {
    EXPECT_EQ(show(v.ints({5}, {})), "\r\n5");
    EXPECT_EQ(show(v.ints({-3, 0, 12})), "\r\n_3 0 12");
    EXPECT_EQ(show(v.floats({-2.5, 1.0 / 3, NAN, INFINITY})), "\r\n_2.5 0.3333333333 0n 0w");
    EXPECT_EQ(show(v.chars("a", {})), "\r\na");
    EXPECT_EQ(show(v.chars("hello")), "\r\nhello");
    EXPECT_EQ(show(v.complex({3, 4}, {})), "\r\n3j4");
    EXPECT_EQ(show(v.complex({1.5, -2, 3, 0})), "\r\n1.5j_2 3");
    EXPECT_EQ(show(v.make(kBoolean, {3}, std::vector<std::int32_t>{1, 0, 1}.data(), 3)), "\r\n1 0 1");
}

TEST_F(Display, LongNumericVectorWrapsAt107WithSixBlankContinuation) {
    std::vector<std::int32_t> n(200);
    std::iota(n.begin(), n.end(), 1000);
    auto text = show(v.ints(n));
    auto ls = lines(text);
    ASSERT_GT(ls.size(), 2u);
    EXPECT_EQ(ls[0], "");
    std::string joined;
    for (std::size_t i = 1; i < ls.size(); ++i) {
        EXPECT_LE(ls[i].size(), 107u) << i;
        if (i > 1) {
            ASSERT_EQ(ls[i].substr(0, 6), "      ");
            EXPECT_NE(ls[i][6], ' ');
            joined += ' ' + ls[i].substr(6);
        } else {
            joined = ls[i];
        }
    }
    // Each line is as full as it can be: the next number would not have fit.
    EXPECT_EQ(ls[1].size(), 21u * 5 - 1);
    std::string expect;
    for (int x : n) expect += (expect.empty() ? "" : " ") + std::to_string(x);
    EXPECT_EQ(joined, expect);
}

TEST_F(Display, CharacterVectorIsCutIn107And101Pieces) {
    std::string s;
    for (int i = 0; i < 300; ++i) s.push_back(static_cast<char>('a' + i % 26));
    auto ls = lines(show(v.chars(s)));
    ASSERT_EQ(ls.size(), 4u);
    EXPECT_EQ(ls[1], s.substr(0, 107));
    EXPECT_EQ(ls[2], "      " + s.substr(107, 101));
    EXPECT_EQ(ls[3], "      " + s.substr(208));
    EXPECT_EQ(ls[3].size(), 6u + 92);
}

TEST_F(Display, MatricesAlignColumnsAndDecimalPoints) {
    EXPECT_EQ(show(v.ints({1, 10, 100, 5}, {2, 2})), "\r\n  1 10\r\n100  5");
    EXPECT_EQ(show(v.floats({1.5, 10.25}, {2, 1})), "\r\n 1.5 \r\n10.25");
    EXPECT_EQ(show(v.floats({-1.5, 2, 100, 0.125}, {2, 2})), "\r\n _1.5 2    \r\n100   0.125");
    EXPECT_EQ(show(v.chars("abcdef", {2, 3})), "\r\nabc\r\ndef");
    EXPECT_EQ(show(v.complex({1, 2, 10, 0, -3, 0, 4, -5}, {2, 2})), "\r\n 1j2 10   \r\n_3    4j_5");
}

TEST_F(Display, HigherRanksPartPlanesByOneEmptyLine) {
    EXPECT_EQ(show(v.ints({1, 2, 3, 4, 5, 6, 7, 8}, {2, 2, 2})), "\r\n1 2\r\n3 4\r\n\r\n5 6\r\n7 8");
    std::vector<std::int32_t> n(16, 0);
    EXPECT_EQ(lines(show(v.ints(n, {2, 2, 2, 2}))).size(), 1u + 8 + 3);
}

TEST_F(Display, WideMatrixRowsWrapBetweenColumns) {
    std::vector<std::int32_t> n(2 * 29, 123456);
    auto ls = lines(show(v.ints(n, {2, 29})));
    // 15 cells make 104 columns; the 16th goes on a continuation line.
    ASSERT_EQ(ls.size(), 5u);
    EXPECT_EQ(ls[1].size(), 15u * 7 - 1);
    EXPECT_EQ(ls[2], "      " + ls[1].substr(0, 14 * 7 - 1));
    EXPECT_EQ(ls[3], ls[1]);
}

TEST_F(Display, EmptyValuesShowAsEmptyLines) {
    EXPECT_EQ(show(v.ints({})), "\r\n");
    EXPECT_EQ(show(v.ints({}, {3, 0})), "\r\n\r\n\r\n");
    EXPECT_EQ(show(v.ints({}, {2, 3, 0})), "\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(show(v.ints({}, {0, 3})), "");
    // Continuing an open line: one line end fewer.
    EXPECT_EQ(show(v.chars("ab"), true), "\r\nab");
    EXPECT_EQ(show(v.ints({}, {3, 0})), "\r\n\r\n");
}

TEST_F(Display, OpenOutputLineIsContinuedByTheNextDisplay) {
    std::string out;
    ASSERT_TRUE(appendDisplay(in, in.displayState, v.chars("abc"), true, out).ok());
    ASSERT_TRUE(appendDisplay(in, in.displayState, v.ints({1, 2}), false, out).ok());
    ASSERT_TRUE(appendDisplay(in, in.displayState, v.ints({3}), false, out).ok());
    EXPECT_EQ(out, "\r\nabc1 2\r\n3");
    in.displayState.reset();
    std::string session;
    wox::testing::RecordingLink link(in, [&](std::string_view t) { session += t; });
    ASSERT_TRUE(displayValue(in, in.displayState, v.floats({0.5, -0.25})).ok());
    EXPECT_EQ(session, "\r\n0.5 _0.25");
}

TEST_F(Display, NestedItemsCarryMarkersOfTheirDepth) {
    auto inner = v.general({v.ints({1, 2}), v.ints({3, 4})});
    EXPECT_EQ(show(v.general({inner, v.ints({5}, {})})), "\r\n<<1 2\r\n <3 4\r\n<5");
    EXPECT_EQ(show(v.general({v.ints({5}, {}), inner})), "\r\n<5\r\n<<1 2\r\n <3 4");
    EXPECT_EQ(show(v.general({v.chars("ab"), v.ints({}), v.floats({-1.5}, {})})), "\r\n<ab\r\n<\r\n<_1.5");
    EXPECT_EQ(show(v.general({})), "\r\n");
    EXPECT_EQ(in.displayState.depth, 0);
}

TEST_F(Display, NestedMatrixRowsStandUnderTheirFirstRow) {
    auto m = v.ints({1, 2, 3, 4}, {2, 2});
    EXPECT_EQ(show(v.general({m, v.chars("xy", {1, 2})})), "\r\n<1 2\r\n 3 4\r\n<xy");
    auto deep = v.general({v.general({v.ints({7}, {}), m})});
    EXPECT_EQ(show(deep), "\r\n<<7\r\n <1 2\r\n  3 4");
    // A 3-by-0 item: its marker, then its remaining rows as empty lines.
    EXPECT_EQ(show(v.general({v.ints({}, {3, 0})})), "\r\n<\r\n\r\n");
}

TEST_F(Display, WrappedItemLinesIndentByDepth) {
    std::vector<std::int32_t> n(40, 12345);
    auto ls = lines(show(v.general({v.general({v.ints(n)})})));
    ASSERT_EQ(ls.size(), 4u);
    EXPECT_EQ(ls[1].substr(0, 8), "<<12345 ");
    EXPECT_LE(ls[1].size(), 107u);
    EXPECT_EQ(ls[2].substr(0, 9), "        1");
}

TEST_F(Display, UnsupportedValuesReportWithoutCrashing) {
    std::string diag;
    wox::testing::RecordingLink link(in);
    link.onDiagnostic = [&](std::string_view t) { diag = t; };
    EXPECT_EQ(show(v.general({v.ints({1}, {}), v.ints({2}, {})}, {1, 2})), "");
    EXPECT_EQ(diag, "error in typ6 output");
    std::string out;
    EXPECT_EQ(appendDisplay(in, in.displayState, varRef(kFirstGlobalSlot + 500), false, out).code, 4);
    EXPECT_EQ(appendDisplay(in, in.displayState, varRef(kVariableSlots + 5), false, out).code, 4);
    EXPECT_EQ(appendDisplay(in, in.displayState, 1 << 20, false, out).code, 4);
    EXPECT_EQ(out, "");
    EXPECT_EQ(in.errorWord, 4);
    // Pathologically many empty rows are a clear error, not hours of output.
    EXPECT_EQ(appendDisplay(in, in.displayState, v.ints({}, {100000, 100000, 0}), false, out).code, 6);
}

}  // namespace
}  // namespace wox::display
