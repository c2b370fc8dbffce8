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

// Why a read failed at the cell named in `unreadable`.
enum class Unreadable { NotANumber, LongText, TextAmongNumbers };

// The most cells one read takes.
inline constexpr std::int64_t kMaxReadCells = std::int64_t{1} << 24;

struct RangeContents {
    ValueClass type = ValueClass::Integer;
    ShapeKind shape = ShapeKind::SingleCell;
    std::int32_t rows = 0;
    std::int32_t columns = 0;
    std::vector<double> numbers;  // rows × columns numbers, row by row; NaN for an empty cell
    std::string text;             // a single cell's text, or one character a cell, row by row
    bool metDate = false;         // some cell was a date, read as its number
    CellPosition unreadable;      // the cell that failed the read
    Unreadable why = Unreadable::NotANumber;
};

// Reads the requested rectangle of the sheet. Fails with 154 when it has no
// rows or columns or reaches outside the used range. A truth value reads as
// the number 0 or 1, an error cell as an empty one. The range is Text when its cells hold text and no numbers, and
// one character a cell unless it is a single cell. It fails with 153, naming
// the cell in `unreadable`, at an unreadable number cell, at a longer text in
// a range of several cells, and at the first cell whose kind (text or number)
// differs from the first filled cell's, since one array cannot hold both. A
// whole number within 32 bits is of the Integer class, any other number Real.
// An empty cell is a blank in a Text range and NaN (the null) in numbers; a
// range with no filled cell is Integer. More than kMaxReadCells cells fail with 6.
int analyseRange(const Worksheet& sheet, const RangeRequest& request, RangeContents& contents);

}  // namespace wox::spreadsheet
