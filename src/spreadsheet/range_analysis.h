#pragma once
// What a read asks for (the whole used range, one cell, or the rectangle
// between two corners) and what it finds there: the widest class of the
// cells' values and the cells row by row.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "spreadsheet/workbook.h"

namespace wox::spreadsheet {

// The highest row a range text may name.
inline constexpr std::int64_t kMaxRangeTextRow = 65'535;
inline constexpr int kRangeTextLetters = 2;

struct RangeRequest {
    enum class Kind { UsedRange, Cell, Corners };
    Kind kind = Kind::UsedRange;
    // 1-based; any numbers may be asked for, the analysis refuses the bad.
    std::int64_t row1 = 0, column1 = 0, row2 = 0, column2 = 0;
};

// "B3" or "a1:C20": one or two letters and a row from 1 to 65,535, and
// optionally ":" and another such reference. False for any other text.
bool parseRangeText(std::string_view text, RangeRequest& request);

enum class ValueClass { Integer = 1, Real = 2, Text = 3 };
enum class ShapeKind { SingleCell = 0, OneRow = 1, Rows = 2 };

struct RangeContents {
    ValueClass type = ValueClass::Integer;
    ShapeKind shape = ShapeKind::SingleCell;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::vector<double> numbers;  // rows × columns numbers, row by row
    std::string text;             // the text of a single text cell
    bool metDate = false;         // some cell was a date, read as its number
    CellPosition unreadable;      // the number cell with no number that failed the read
};

// Reads the requested rectangle of the sheet. Fails with 154 when it has no
// rows or columns, starts before the used range, or holds a cell that is
// empty, a truth value or an error, or text in more than one cell, or text
// and numbers together. It fails with 153 at an unreadable number cell,
// which it names in `unreadable`. A whole number within 32 bits is of the
// Integer class, any other number Real.
int analyseRange(const Worksheet& sheet, const RangeRequest& request, RangeContents& contents);

}  // namespace wox::spreadsheet
