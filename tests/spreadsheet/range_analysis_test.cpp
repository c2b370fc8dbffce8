// What a range holds: shape, the widest class of its cells,
// and every way a range is refused.
#include "spreadsheet/range_analysis.h"

#include <gtest/gtest.h>

#include <cmath>

#include "values/messages.h"

namespace wox::spreadsheet {
namespace {

using Kind = RangeRequest::Kind;

Worksheet grid() {
    // B2:D3 holds 1 2 3 / 4 5.5 6; F1 a text; B5 a truth value; D5 a gap before it.
    Worksheet s{"S", {}};
    double v[2][3] = {{1, 2, 3}, {4, 5.5, 6}};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 3; ++c) s.cells[{r + 2, c + 2}] = Cell{CellKind::Number, false, v[r][c], {}};
    s.cells[{1, 6}] = Cell{CellKind::Text, false, 0, "abc"};
    s.cells[{5, 2}] = Cell{CellKind::Boolean, false, 1, {}};
    s.cells[{5, 4}] = Cell{CellKind::Number, true, 45000, {}};
    return s;
}

TEST(RangeAnalysis, ClassesOfTheCells) {
    Worksheet s = grid();
    RangeContents got;
    ASSERT_EQ(analyseRange(s, {Kind::Corners, 3, 4, 2, 2}, got), 0);
    EXPECT_EQ(got.shape, ShapeKind::Rows);
    EXPECT_EQ(got.type, ValueClass::Real);  // 5.5 makes the whole range real
    EXPECT_EQ(got.numbers, (std::vector<double>{1, 2, 3, 4, 5.5, 6}));
    ASSERT_EQ(analyseRange(s, {Kind::Cell, 1, 6, 1, 6}, got), 0);
    EXPECT_EQ(got.type, ValueClass::Text);
    EXPECT_EQ(got.text, "abc");
    ASSERT_EQ(analyseRange(s, {Kind::Cell, 5, 4, 5, 4}, got), 0);
    EXPECT_TRUE(got.metDate);
    EXPECT_EQ(got.numbers, (std::vector<double>{45000}));
}

// A truth value is the number it stands for; an error cell (a failed
// formula) holds nothing, in numbers and in texts alike.
TEST(RangeAnalysis, TruthValuesAndErrorCells) {
    Worksheet s = grid();
    s.cells[{5, 3}] = Cell{CellKind::Error, false, 0, "#DIV/0!"};
    RangeContents got;
    ASSERT_EQ(analyseRange(s, {Kind::Cell, 5, 2, 5, 2}, got), 0);
    EXPECT_EQ(got.type, ValueClass::Integer);
    EXPECT_EQ(got.numbers, (std::vector<double>{1}));
    ASSERT_EQ(analyseRange(s, {Kind::Corners, 5, 2, 5, 3}, got), 0);
    EXPECT_EQ(got.type, ValueClass::Integer);
    ASSERT_EQ(got.numbers.size(), 2u);
    EXPECT_EQ(got.numbers[0], 1);
    EXPECT_TRUE(std::isnan(got.numbers[1]));
    Worksheet texts{"T", {}};
    texts.cells[{1, 1}] = Cell{CellKind::Text, false, 0, "a"};
    texts.cells[{1, 2}] = Cell{CellKind::Error, false, 0, "#N/A"};
    texts.cells[{1, 3}] = Cell{CellKind::Text, false, 0, "c"};
    ASSERT_EQ(analyseRange(texts, {Kind::Corners, 1, 1, 1, 3}, got), 0);
    EXPECT_EQ(got.type, ValueClass::Text);
    EXPECT_EQ(got.text, "a c");
}

TEST(RangeAnalysis, RefusedRanges) {
    Worksheet s = grid();
    RangeContents got;
    auto refused = [&](RangeRequest r) { return analyseRange(s, r, got) == kExcelFileNotFound; };
    EXPECT_TRUE(refused({Kind::Cell, 0, 2, 0, 2}));              // before the used range
    EXPECT_TRUE(refused({Kind::Cell, 2, 0, 2, 0}));
    EXPECT_TRUE(refused({Kind::Cell, -5, -5, -5, -5}));
    EXPECT_TRUE(refused({Kind::Corners, 2, 2, 9, 4}));          // beyond the used range
    EXPECT_TRUE(refused({Kind::Corners, 2, 2, 2147483647, 2147483647}));
    Worksheet empty{"E", {}};
    EXPECT_EQ(analyseRange(empty, {Kind::UsedRange}, got), kExcelFileNotFound);
}

TEST(RangeAnalysis, TextAndEmptyCells) {
    Worksheet s = grid();
    RangeContents got;
    auto failsAt = [&](RangeRequest r, CellPosition at, Unreadable why) {
        return analyseRange(s, r, got) == kExcelReadFormat && got.unreadable == at && got.why == why;
    };
    EXPECT_TRUE(failsAt({Kind::Corners, 1, 2, 1, 6}, {1, 6}, Unreadable::LongText));
    ASSERT_EQ(analyseRange(s, {Kind::Cell, 1, 2, 1, 2}, got), 0);  // one empty cell
    EXPECT_EQ(got.type, ValueClass::Integer);
    ASSERT_EQ(got.numbers.size(), 1u);
    EXPECT_TRUE(std::isnan(got.numbers[0]));
    ASSERT_EQ(analyseRange(s, {Kind::Corners, 3, 2, 4, 4}, got), 0);  // numbers above gaps
    EXPECT_EQ(got.type, ValueClass::Real);
    EXPECT_EQ(got.shape, ShapeKind::Rows);
    ASSERT_EQ(got.numbers.size(), 6u);
    EXPECT_EQ(got.numbers[1], 5.5);
    EXPECT_TRUE(std::isnan(got.numbers[3]));
    Worksheet texts{"T", {}};
    texts.cells[{1, 1}] = Cell{CellKind::Text, false, 0, "a"};
    texts.cells[{1, 3}] = Cell{CellKind::Text, false, 0, "b"};
    texts.cells[{2, 2}] = Cell{CellKind::Text, false, 0, "c"};
    ASSERT_EQ(analyseRange(texts, {Kind::UsedRange}, got), 0);
    EXPECT_EQ(got.type, ValueClass::Text);
    EXPECT_EQ(got.text, "a b c ");
    texts.cells[{2, 3}] = Cell{CellKind::Number, false, 1, {}};
    s = texts;
    EXPECT_TRUE(failsAt({Kind::UsedRange}, {2, 3}, Unreadable::TextAmongNumbers));
}

TEST(RangeAnalysis, IntegersAreWholeNumbersWithin32Bits) {
    Worksheet s{"S", {}};
    s.cells[{1, 1}] = Cell{CellKind::Number, false, -2147483648.0, {}};
    s.cells[{1, 2}] = Cell{CellKind::Number, false, 2147483647.0, {}};
    RangeContents got;
    ASSERT_EQ(analyseRange(s, {Kind::UsedRange}, got), 0);
    EXPECT_EQ(got.type, ValueClass::Integer);
    s.cells[{1, 2}] = Cell{CellKind::Number, false, 2147483648.0, {}};
    ASSERT_EQ(analyseRange(s, {Kind::UsedRange}, got), 0);
    EXPECT_EQ(got.type, ValueClass::Real);
}

}  // namespace
}  // namespace wox::spreadsheet
