#include "spreadsheet/spreadsheet_link.h"

#include "spreadsheet/xlsx_reader.h"
#include "spreadsheet/xlsx_writer.h"
#include "values/messages.h"

namespace wox::spreadsheet {

int Link::start() {
    if (openCount_ > 0) return kExcelReadWrite;
    openCount_ = 1;
    return 0;
}

void Link::close() {
    sheetName.clear();
    workbookPath.clear();
    book = {};
    bookOpen_ = false;
    if (openCount_ > 0) --openCount_;
}

int Link::openWorkbook() {
    bookOpen_ = false;
    if (openCount_ == 0) return kNoWorkbook;
    if (!readWorkbookFile(workbookPath, book)) return kWorkbookNotOpened;
    bookOpen_ = true;
    return 0;
}

void Link::newWorkbook() {
    book = {};
    book.sheets.push_back(Worksheet{sheetName, {}});
    bookOpen_ = true;
}

int Link::findWorksheet(std::string_view name) const { return findSheet(book, name); }

int Link::addWorksheet(std::string_view name) {
    if (!bookOpen_) return kNoWorkbook;
    if (findWorksheet(name) >= 0) return kExcelRangeError;
    book.sheets.push_back(Worksheet{std::string(name), {}});
    return 0;
}

int Link::renameWorksheet(std::string_view from, std::string_view to) {
    if (!bookOpen_) return kNoWorkbook;
    int at = findWorksheet(from);
    if (at < 0) return kExcelRangeError;
    int other = findWorksheet(to);
    if (other >= 0 && other != at) return kExcelRangeError;
    book.sheets[static_cast<std::size_t>(at)].name = std::string(to);
    return save();
}

int Link::deleteWorksheet() {
    if (!bookOpen_) return kNoWorkbook;
    int at = findWorksheet(sheetName);
    if (at < 0) return kExcelRangeError;
    if (book.sheets.size() == 1) return kExcelReadWrite;
    book.sheets.erase(book.sheets.begin() + at);
    return save();
}

int Link::clearWorksheet() {
    if (!bookOpen_) return kNoWorkbook;
    int at = findWorksheet(sheetName);
    if (at < 0) return kExcelRangeError;
    book.sheets[static_cast<std::size_t>(at)].cells.clear();
    return save();
}

int Link::save() {
    if (!bookOpen_) return kNoWorkbook;
    lastProblem.clear();
    libraryMessages.clear();
    return writeWorkbookFile(book, workbookPath, &lastProblem, &libraryMessages) ? 0 : kExcelReadWrite;
}

}  // namespace wox::spreadsheet
