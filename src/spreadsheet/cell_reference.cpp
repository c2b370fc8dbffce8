#include "spreadsheet/cell_reference.h"

#include <algorithm>

namespace wox::spreadsheet {

bool parseCellReference(std::string_view text, int maxLetters, std::int32_t maxRow, CellPosition& at) {
    std::size_t i = 0;
    std::int64_t column = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (c < 'A' || c > 'Z') break;
        if (static_cast<int>(i) == maxLetters) return false;
        column = column * 26 + (c - 'A' + 1);
    }
    if (i == 0 || i == text.size() || text[i] == '0') return false;
    std::int64_t row = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c < '0' || c > '9') return false;
        row = row * 10 + (c - '0');
        if (row > maxRow) return false;
    }
    if (column > kMaxColumns) return false;
    at.row = static_cast<std::int32_t>(row);
    at.column = static_cast<std::int32_t>(column);
    return true;
}

std::string cellReferenceText(CellPosition at) {
    std::string letters;
    // Letters count from 1, so each step takes one off before dividing.
    for (std::int32_t column = at.column; column > 0; column = (column - 1) / 26)
        letters += static_cast<char>('A' + (column - 1) % 26);
    std::reverse(letters.begin(), letters.end());
    return letters + std::to_string(at.row);
}

}  // namespace wox::spreadsheet
