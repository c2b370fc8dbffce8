#pragma once
// Cell references as the range text and the workbook files write them: column
// letters (A = 1 to Z = 26, then AA = 27: each further letter multiplies by
// 26 and adds its own value) followed by the row number, letter case ignored.
#include <cstdint>
#include <string>
#include <string_view>

#include "spreadsheet/workbook.h"

namespace wox::spreadsheet {

// Reads a whole reference of at most `maxLetters` letters and a row from 1
// to `maxRow`; false for anything else (no letters, no digits, a leading
// zero row, a sign, blanks, trailing text).
bool parseCellReference(std::string_view text, int maxLetters, std::int32_t maxRow, CellPosition& at);

// The reference of a cell in capital letters ("A1", "XFD1048576").
std::string cellReferenceText(CellPosition at);

}  // namespace wox::spreadsheet
