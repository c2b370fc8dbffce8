#include "spreadsheet/range_analysis.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "spreadsheet/cell_reference.h"
#include "values/messages.h"

namespace wox::spreadsheet {

namespace {

bool integral(double v) {
    return v == std::trunc(v) && v >= -2147483648.0 && v <= 2147483647.0;
}

}  // namespace

bool parseRangeText(std::string_view text, RangeRequest& request) {
    std::size_t colon = text.find(':');
    CellPosition a, b;
    if (!parseCellReference(text.substr(0, colon), kRangeTextLetters, kMaxRangeTextRow, a)) return false;
    request.row1 = request.row2 = a.row;
    request.column1 = request.column2 = a.column;
    request.kind = RangeRequest::Kind::Cell;
    if (colon == std::string_view::npos) return true;
    if (!parseCellReference(text.substr(colon + 1), kRangeTextLetters, kMaxRangeTextRow, b)) return false;
    request.row2 = b.row;
    request.column2 = b.column;
    request.kind = RangeRequest::Kind::Corners;
    return true;
}

int analyseRange(const Worksheet& sheet, const RangeRequest& request, RangeContents& contents) {
    contents = {};
    if (sheet.cells.empty()) return kExcelFileNotFound;
    const Area used = usedArea(sheet);
    std::int64_t top, left, rows, columns;
    switch (request.kind) {
        case RangeRequest::Kind::UsedRange:
            top = used.firstRow;
            left = used.firstColumn;
            rows = used.lastRow - used.firstRow + 1;
            columns = used.lastColumn - used.firstColumn + 1;
            break;
        case RangeRequest::Kind::Cell:
            top = request.row1;
            left = request.column1;
            rows = columns = 1;
            break;
        default:
            top = std::min(request.row1, request.row2);
            left = std::min(request.column1, request.column2);
            rows = std::abs(request.row2 - request.row1) + 1;
            columns = std::abs(request.column2 - request.column1) + 1;
    }
    if (rows <= 0 || columns <= 0 || top < used.firstRow || left < used.firstColumn) return kExcelFileNotFound;
    // Beyond the used range every cell is empty.
    if (top + rows - 1 > used.lastRow || left + columns - 1 > used.lastColumn) return kExcelFileNotFound;
    const std::int64_t count = rows * columns;
    if (count > kMaxReadCells) return kWorkspaceFull;
    const bool single = count == 1;
    contents.rows = static_cast<std::int32_t>(rows);
    contents.columns = static_cast<std::int32_t>(columns);
    contents.shape = single ? ShapeKind::SingleCell : rows == 1 ? ShapeKind::OneRow : ShapeKind::Rows;
    // The kind of the first filled cell decides the range's.
    const Cell* first = nullptr;
    const std::int64_t bottom = top + rows - 1, right = left + columns - 1;
    for (auto it = sheet.cells.lower_bound({static_cast<std::int32_t>(top), 0});
         it != sheet.cells.end() && it->first.row <= bottom && !first; ++it)
        if (it->first.column >= left && it->first.column <= right) first = &it->second;
    const bool text = first && first->kind == CellKind::Text;
    if (text && single) {
        contents.type = ValueClass::Text;
        contents.text = first->text;
        return 0;
    }
    if (text) contents.text.reserve(static_cast<std::size_t>(count));
    else contents.numbers.reserve(static_cast<std::size_t>(count));
    auto fail = [&](CellPosition at, Unreadable why) {
        contents.unreadable = at;
        contents.why = why;
        return kExcelReadFormat;
    };
    bool real = false;
    for (std::int64_t r = top; r <= bottom; ++r) {
        auto it = sheet.cells.lower_bound({static_cast<std::int32_t>(r), static_cast<std::int32_t>(left)});
        for (std::int64_t c = left; c <= right; ++c) {
            const bool filled = it != sheet.cells.end() && it->first.row == r && it->first.column == c;
            if (!filled) {
                if (text) contents.text.push_back(' ');
                else contents.numbers.push_back(std::numeric_limits<double>::quiet_NaN());
                continue;
            }
            const CellPosition at = it->first;
            const Cell& cell = (it++)->second;
            if (cell.kind == CellKind::Unreadable) return fail(at, Unreadable::NotANumber);
            // An error cell (a formula that failed) holds no value: it reads
            // as an empty cell does.
            if (cell.kind == CellKind::Error) {
                if (text) contents.text.push_back(' ');
                else contents.numbers.push_back(std::numeric_limits<double>::quiet_NaN());
                continue;
            }
            // A truth value is the number 0 or 1.
            if ((cell.kind == CellKind::Text) != text) return fail(at, Unreadable::TextAmongNumbers);
            if (text) {
                if (cell.text.size() > 1) return fail(at, Unreadable::LongText);
                contents.text.push_back(cell.text.empty() ? ' ' : cell.text.front());
                continue;
            }
            contents.metDate = contents.metDate || cell.date;
            real = real || !integral(cell.number);
            contents.numbers.push_back(cell.number);
        }
    }
    if (text) {
        contents.type = ValueClass::Text;
        return 0;
    }
    contents.type = real ? ValueClass::Real : ValueClass::Integer;
    return 0;
}

}  // namespace wox::spreadsheet
