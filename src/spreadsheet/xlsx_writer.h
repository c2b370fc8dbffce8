#pragma once
// Writes the whole workbook model as a workbook file (.xlsx, through
// libxlsxwriter): numbers, each as text that reads back as the same number,
// dates (a number in a date format), texts, truth values and error codes,
// and the text an unreadable number cell was read with. The file is written
// beside the old one and renamed over it once it is complete and on the
// disk, so a failed save leaves the previous workbook as it was.
#include <string>

#include "spreadsheet/workbook.h"

namespace wox::spreadsheet {

// False, with the reason in *problem, when the file could not be replaced.
// What the writer library said on standard error meanwhile is in
// *libraryMessages (when given). The workbook needs at least one worksheet.
bool writeWorkbookFile(const Workbook& book, const std::string& path, std::string* problem,
                       std::string* libraryMessages = nullptr);

// Text as the file must hold it: valid UTF-8 sequences as they are, any
// other byte as the character of that code (Latin-1), so that any
// character vector makes a readable file.
std::string utf8Text(std::string_view bytes);

}  // namespace wox::spreadsheet
