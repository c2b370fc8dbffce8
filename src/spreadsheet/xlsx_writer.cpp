#include "spreadsheet/xlsx_writer.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <xlsxwriter.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

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

mode_t fileMode() {
    mode_t m = umask(0);
    umask(m);
    return 0666 & ~m;
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

bool writeWorkbookFile(const Workbook& book, const std::string& path, std::string* problem) {
    auto fail = [&](const std::string& what, int error) {
        *problem = what + (error ? std::string(": ") + std::strerror(error) : std::string());
        return false;
    };
    if (book.sheets.empty()) return fail("a workbook needs a worksheet", 0);
    // rename() would replace a read-only file; the user asked it be kept.
    struct stat st {};
    if (stat(path.c_str(), &st) == 0 &&
        (access(path.c_str(), W_OK) != 0 || (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0))
        return fail("cannot replace " + path, EACCES);
    std::size_t slash = path.rfind('/');
    std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
    std::string temp = (slash == std::string::npos ? std::string() : folder) + ".wox-xlsx-XXXXXX";
    int fd = mkstemp(temp.data());
    if (fd < 0) return fail("cannot write into " + folder, errno);
    fchmod(fd, fileMode());
    close(fd);
    lxw_workbook* wb = workbook_new(temp.c_str());
    if (!wb) {
        unlink(temp.c_str());
        return fail("cannot write " + temp, ENOMEM);
    }
    bool written = writeCells(wb, book);
    // Closing writes the file, and frees the workbook either way.
    bool closed = workbook_close(wb) == LXW_NO_ERROR;
    int error = 0;
    bool ok = written && closed;
    if (ok) {
        fd = open(temp.c_str(), O_RDWR);
        ok = fd >= 0 && fsync(fd) == 0;
        if (!ok) error = errno;
        if (fd >= 0) close(fd);
    }
    if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
        ok = false;
        error = errno;
    }
    if (!ok) {
        unlink(temp.c_str());
        return fail("cannot save " + path, error);
    }
    // The rename itself is made durable with the folder.
    int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (dir >= 0) {
        (void)fsync(dir);
        close(dir);
    }
    return true;
}

}  // namespace wox::spreadsheet
