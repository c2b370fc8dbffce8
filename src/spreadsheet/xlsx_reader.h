#pragma once
// Reads a workbook file (.xlsx: a zip archive of XML parts) into the model:
// worksheet names in order, and every cell's number, text, truth value or
// error code, with numbers whose format shows a date or time marked as dates.
// Formulas are read as the values last computed for them. A number cell
// whose text is no finite number is read as an unreadable cell holding that
// text; any other fault refuses the file as a whole.
#include <cstddef>
#include <span>
#include <string>

#include "spreadsheet/workbook.h"

namespace wox::spreadsheet {

inline constexpr std::size_t kMaxWorkbookBytes = std::size_t{256} << 20;  // the file itself
inline constexpr std::size_t kMaxUnpackedBytes = std::size_t{512} << 20;  // all parts read, unpacked
inline constexpr std::size_t kMaxCells = 10'000'000;

// False, leaving `book` empty, for anything but a workbook within the limits.
bool readWorkbook(std::span<const unsigned char> file, Workbook& book);

// The same for a file; false too when it is missing or cannot be read.
bool readWorkbookFile(const std::string& path, Workbook& book);

}  // namespace wox::spreadsheet
