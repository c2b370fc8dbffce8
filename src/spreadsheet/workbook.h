#pragma once
// A workbook in memory: its worksheets in order, each a sparse map of the
// cells that hold something. The link reads a workbook file into this model,
// changes it and writes the whole of it back.
#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace wox::spreadsheet {

// The limits of the file format: cells beyond them cannot be stored.
inline constexpr std::int32_t kMaxRows = 1'048'576;
inline constexpr std::int32_t kMaxColumns = 16'384;
inline constexpr std::size_t kMaxSheetName = 31;

// An Unreadable cell is a number cell of the file whose text is no finite
// number: it is kept as that text, so that it is written back as it was.
enum class CellKind : std::uint8_t { Number, Text, Boolean, Error, Unreadable };

struct Cell {
    CellKind kind = CellKind::Number;
    bool date = false;    // a number shown as a date or time
    double number = 0;    // Number, and Boolean as 0 or 1
    std::string text;     // Text (UTF-8), the code of an Error ("#N/A"), an Unreadable's text
};

// 1-based row and column, ordered row by row.
struct CellPosition {
    std::int32_t row = 1;
    std::int32_t column = 1;
    friend auto operator<=>(const CellPosition&, const CellPosition&) = default;
};

// A rectangle of cells, corners included.
struct Area {
    std::int32_t firstRow = 1;
    std::int32_t firstColumn = 1;
    std::int32_t lastRow = 1;
    std::int32_t lastColumn = 1;
};

struct Worksheet {
    std::string name;
    std::map<CellPosition, Cell> cells;
};

struct Workbook {
    std::vector<Worksheet> sheets;
};

// The smallest rectangle that holds every cell of the sheet; A1 alone for an
// empty sheet, as the spreadsheet application answers.
Area usedArea(const Worksheet& sheet);

// Whether a worksheet may be called so: 1 to 31 characters, none of
// : \ / ? * [ ] nor control characters, not starting or ending with a quote.
bool validSheetName(std::string_view name);

// The 0-based index of the worksheet of that name (letter case ignored, as
// two sheets may not differ in case alone), or -1.
int findSheet(const Workbook& book, std::string_view name);

}  // namespace wox::spreadsheet
