#include "spreadsheet/xlsx_writer.h"

#include <unistd.h>
#include <xlsxwriter.h>

#include <fstream>
#include <iterator>

#include "spreadsheet/captured_errors.h"
#include "spreadsheet/exact_numbers.h"
#include "values/file_replacement.h"

namespace wox::spreadsheet {

namespace {

// The built-in number format that shows a date ("m/d/yyyy").
constexpr std::uint8_t kDateFormat = 14;

// The length of the valid UTF-8 sequence at the start of s (2 to 4 bytes),
// or 0.
std::size_t sequenceLength(std::string_view s) {
    auto byte = [&](std::size_t i) { return static_cast<unsigned char>(s[i]); };
    unsigned char b = byte(0);
    std::size_t n = b >= 0xF0 && b <= 0xF4 ? 4 : b >= 0xE0 ? 3 : b >= 0xC2 && b <= 0xDF ? 2 : 0;
    if (n == 0 || s.size() < n) return 0;
    for (std::size_t i = 1; i < n; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    // Overlong forms, surrogates and code points beyond U+10FFFF.
    if (n == 3 && ((b == 0xE0 && byte(1) < 0xA0) || (b == 0xED && byte(1) >= 0xA0))) return 0;
    if (n == 4 && ((b == 0xF0 && byte(1) < 0x90) || (b == 0xF4 && byte(1) >= 0x90))) return 0;
    return n;
}

bool writeCells(lxw_workbook* wb, const Workbook& book) {
    lxw_format* date = workbook_add_format(wb);
    if (!date) return false;
    format_set_num_format_index(date, kDateFormat);
    for (const Worksheet& sheet : book.sheets) {
        lxw_worksheet* ws = workbook_add_worksheet(wb, utf8Text(sheet.name).c_str());
        if (!ws) return false;
        for (const auto& [at, cell] : sheet.cells) {
            lxw_row_t row = static_cast<lxw_row_t>(at.row - 1);
            lxw_col_t col = static_cast<lxw_col_t>(at.column - 1);
            lxw_error e = LXW_NO_ERROR;
            switch (cell.kind) {
                case CellKind::Number:
                case CellKind::Unreadable:
                    // Their texts are put in once the file is written.
                    e = worksheet_write_number(ws, row, col, cell.number, cell.date ? date : nullptr);
                    break;
                case CellKind::Text:
                    e = worksheet_write_string(ws, row, col, utf8Text(cell.text).c_str(), nullptr);
                    break;
                case CellKind::Boolean:
                    e = worksheet_write_boolean(ws, row, col, cell.number != 0, nullptr);
                    break;
                case CellKind::Error: {
                    // An error literal is a formula whose value is that error.
                    std::string code = utf8Text(cell.text);
                    e = worksheet_write_formula_str(ws, row, col, ("=" + code).c_str(), nullptr, code.c_str());
                    break;
                }
            }
            if (e != LXW_NO_ERROR) return false;
        }
    }
    return true;
}

}  // namespace

std::string utf8Text(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    while (!bytes.empty()) {
        unsigned char b = static_cast<unsigned char>(bytes.front());
        std::size_t n = b < 0x80 ? 1 : sequenceLength(bytes);
        if (n > 0) {
            out.append(bytes.substr(0, n));
            bytes.remove_prefix(n);
            continue;
        }
        out += static_cast<char>(0xC0 | (b >> 6));
        out += static_cast<char>(0x80 | (b & 0x3F));
        bytes.remove_prefix(1);
    }
    return out;
}

bool writeWorkbookFile(const Workbook& book, const std::string& path, std::string* problem,
                       std::string* libraryMessages) {
    if (book.sheets.empty()) {
        *problem = "a workbook needs a worksheet";
        return false;
    }
    values::FileReplacement file;
    if (!file.open(path, ".wox-xlsx-", problem)) return false;
    // libxlsxwriter writes the file by its name, into the same file, and
    // tells its troubles on standard error.
    CapturedErrors told;
    lxw_workbook* wb = workbook_new(file.tempPath().c_str());
    if (!wb) {
        if (libraryMessages) *libraryMessages = told.text();
        *problem = "cannot save " + path;
        return false;
    }
    bool written = writeCells(wb, book);
    // Closing writes the file, and frees the workbook either way.
    bool closed = workbook_close(wb) == LXW_NO_ERROR;
    if (std::string said = told.text(); libraryMessages) *libraryMessages = std::move(said);
    std::string bytes;
    if (written && closed) {
        std::ifstream in(file.tempPath(), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        written = in && putExactNumbers(bytes, book);
    }
    // The file with the numbers' exact texts goes over what libxlsxwriter
    // wrote, through the replacement's own descriptor.
    if (!written || !closed || ftruncate(file.fd(), 0) != 0) {
        *problem = "cannot save " + path;
        return false;
    }
    return file.write(bytes, problem) && file.commit(problem);
}

}  // namespace wox::spreadsheet
