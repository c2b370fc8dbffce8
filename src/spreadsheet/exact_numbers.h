#pragma once
// The exact text of the number cells in a written workbook file.
// libxlsxwriter writes numbers with 16 significant digits, which changes the
// last bits of many and turns the largest into text that reads as no number.
// Its file is put right afterwards: every number cell gets the shortest text
// that reads back as the very same number.
#include <string>

#include "spreadsheet/workbook.h"

namespace wox::spreadsheet {

// The shortest text that reads back as exactly `v` (17 significant digits
// at most), its exponent written "E" as spreadsheet programs write it.
std::string numberText(double v);

// Sets the value of every number cell in `file`, a workbook file as
// libxlsxwriter wrote `book` (worksheet parts sheet1.xml, sheet2.xml, ... in
// the book's order), to the text of the book's cell there: its numberText,
// or the text an unreadable cell keeps. False, with `file` as it was, when
// the file does not hold exactly the book's number cells.
bool putExactNumbers(std::string& file, const Workbook& book);

}  // namespace wox::spreadsheet
