// Fuzz target for reading workbook files. The first byte chooses how the
// rest is used: as a whole file; as changes to a valid workbook (each group
// of five bytes puts one byte at a 32-bit position); or, split at the first
// zero byte, as the XML of a worksheet and of the shared strings, packed
// with a sound workbook part into a fresh archive, so that the XML itself
// is reached past the archive's checksums. A file must be refused, or read
// as a workbook whose every range analyses, and that writes and reads back
// with its numbers bit for bit (the last for one first byte in eight).
#include <unistd.h>
#include <zip.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "sandbox.h"
#include "spreadsheet/range_analysis.h"
#include "spreadsheet/xlsx_reader.h"
#include "spreadsheet/xlsx_writer.h"

namespace {

using namespace wox::spreadsheet;

constexpr std::string_view kWorkbookXml =
    R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" )"
    R"(xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships"><sheets>)"
    R"(<sheet name="One" sheetId="1" r:id="rId1"/></sheets></workbook>)";
constexpr std::string_view kRelationsXml =
    R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
    R"(<Relationship Id="rId1" Type="worksheet" Target="worksheets/sheet1.xml"/></Relationships>)";
constexpr std::string_view kStylesXml =
    R"(<?xml version="1.0"?><styleSheet><numFmts><numFmt numFmtId="164" formatCode="yyyy\-mm"/></numFmts>)"
    R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="14"/><xf numFmtId="164"/></cellXfs></styleSheet>)";

const std::string& folder() { return wox::fuzz::sandbox(); }

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

std::string validWorkbook() {
    Workbook book;
    Worksheet a{"Numbers", {}};
    a.cells[{1, 1}] = Cell{CellKind::Number, false, 1, {}};
    a.cells[{1, 2}] = Cell{CellKind::Number, false, 2.5, {}};
    a.cells[{2, 1}] = Cell{CellKind::Number, true, 45000, {}};
    a.cells[{2, 2}] = Cell{CellKind::Boolean, false, 1, {}};
    Worksheet b{"Texts", {}};
    b.cells[{1, 1}] = Cell{CellKind::Text, false, 0, "x"};
    b.cells[{3, 27}] = Cell{CellKind::Text, false, 0, "abc"};
    b.cells[{4, 1}] = Cell{CellKind::Error, false, 0, "#N/A"};
    book.sheets = {a, b};
    std::string path = folder() + "valid.xlsx", problem;
    if (!writeWorkbookFile(book, path, &problem)) std::abort();
    return fileBytes(path);
}

// An archive of the given parts, stored as they are.
std::string packed(const std::vector<std::pair<const char*, std::string>>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(src);
    zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &error);
    if (!za) std::abort();
    for (const auto& [name, bytes] : parts) {
        zip_source_t* s = zip_source_buffer(za, bytes.data(), bytes.size(), 0);
        if (!s || zip_file_add(za, name, s, ZIP_FL_OVERWRITE) < 0) std::abort();
    }
    if (zip_close(za) != 0) std::abort();
    std::string out;
    zip_stat_t st;
    if (zip_source_open(src) == 0 && zip_source_stat(src, &st) == 0) {
        out.resize(st.size);
        if (zip_source_read(src, out.data(), st.size) != static_cast<zip_int64_t>(st.size)) std::abort();
        zip_source_close(src);
    }
    zip_source_free(src);
    zip_error_fini(&error);
    return out;
}

void use(const Workbook& book, bool writeBack) {
    RangeContents contents;
    for (const Worksheet& sheet : book.sheets) {
        RangeRequest whole;
        (void)analyseRange(sheet, whole, contents);
        Area a = usedArea(sheet);
        RangeRequest corners{RangeRequest::Kind::Corners, a.lastRow, a.lastColumn, a.firstRow, a.firstColumn};
        (void)analyseRange(sheet, corners, contents);
        for (const auto& [at, cell] : sheet.cells) {
            RangeRequest one{RangeRequest::Kind::Cell, at.row, at.column, at.row, at.column};
            int e = analyseRange(sheet, one, contents);
            if (e == 0 && contents.numbers.size() + (contents.type == ValueClass::Text) != 1) std::abort();
        }
    }
    // What was read writes, and reads back as the same worksheets. Saving
    // flushes to the disk, so only some inputs (chosen by their first byte)
    // take that road.
    if (!writeBack) return;
    std::string path = folder() + "again.xlsx", problem;
    if (!writeWorkbookFile(book, path, &problem)) return;
    Workbook again;
    if (!readWorkbookFile(path, again) || again.sheets.size() != book.sheets.size()) std::abort();
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        if (again.sheets[i].cells.size() > book.sheets[i].cells.size()) std::abort();
        for (const auto& [at, cell] : book.sheets[i].cells) {
            if (cell.kind != CellKind::Number) continue;
            auto it = again.sheets[i].cells.find(at);
            if (it == again.sheets[i].cells.end() || it->second.kind != CellKind::Number ||
                std::bit_cast<std::uint64_t>(it->second.number) != std::bit_cast<std::uint64_t>(cell.number))
                std::abort();
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string valid = validWorkbook();
    if (size == 0) return 0;
    std::string file;
    std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
    switch (data[0] % 3) {
        case 0:
            file = rest;
            break;
        case 1:
            file = valid;
            for (std::size_t at = 0; at + 5 <= rest.size(); at += 5) {
                std::uint32_t pos = static_cast<std::uint8_t>(rest[at]) | static_cast<std::uint8_t>(rest[at + 1]) << 8 |
                                    static_cast<std::uint8_t>(rest[at + 2]) << 16 |
                                    static_cast<std::uint32_t>(static_cast<std::uint8_t>(rest[at + 3])) << 24;
                file[pos % file.size()] = rest[at + 4];
            }
            break;
        default: {
            std::size_t zero = rest.find('\0');
            std::string sheet(rest.substr(0, zero));
            std::string strings(zero == std::string_view::npos ? std::string_view() : rest.substr(zero + 1));
            file = packed({{"xl/workbook.xml", std::string(kWorkbookXml)},
                           {"xl/_rels/workbook.xml.rels", std::string(kRelationsXml)},
                           {"xl/styles.xml", std::string(kStylesXml)},
                           {"xl/worksheets/sheet1.xml", sheet},
                           {"xl/sharedStrings.xml", strings}});
        }
    }
    Workbook book;
    if (readWorkbook(std::span(reinterpret_cast<const unsigned char*>(file.data()), file.size()), book))
        use(book, (data[0] & 0x38) == 0);
    return 0;
}
