#include "spreadsheet/workbook.h"

#include <algorithm>
#include <cctype>

namespace wox::spreadsheet {

namespace {

constexpr std::string_view kForbiddenInSheetName = ":\\/?*[]";

bool sameIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

Area usedArea(const Worksheet& sheet) {
    if (sheet.cells.empty()) return {};
    Area a;
    a.firstRow = sheet.cells.begin()->first.row;
    a.lastRow = sheet.cells.rbegin()->first.row;
    a.firstColumn = kMaxColumns;
    a.lastColumn = 1;
    for (const auto& [at, cell] : sheet.cells) {
        a.firstColumn = std::min(a.firstColumn, at.column);
        a.lastColumn = std::max(a.lastColumn, at.column);
    }
    return a;
}

bool validSheetName(std::string_view name) {
    if (name.empty() || name.size() > kMaxSheetName) return false;
    if (name.front() == '\'' || name.back() == '\'') return false;
    for (char c : name)
        if (static_cast<unsigned char>(c) < ' ') return false;
    return name.find_first_of(kForbiddenInSheetName) == std::string_view::npos;
}

int findSheet(const Workbook& book, std::string_view name) {
    for (std::size_t i = 0; i < book.sheets.size(); ++i)
        if (sameIgnoringCase(book.sheets[i].name, name)) return static_cast<int>(i);
    return -1;
}

}  // namespace wox::spreadsheet
