#include "spreadsheet/exact_numbers.h"

#include <zip.h>

#include <algorithm>
#include <array>
#include <charconv>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "spreadsheet/cell_reference.h"
#include "spreadsheet/xlsx_writer.h"

namespace wox::spreadsheet {

namespace {

constexpr std::string_view kSheetPartStart = "xl/worksheets/sheet";
constexpr std::string_view kSheetPartEnd = ".xml";
constexpr int kReferenceLetters = 3;
// Whitespace and the declaration are kept, so that only the values change.
constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_declaration | pugi::parse_ws_pcdata;
constexpr unsigned kSaveOptions = pugi::format_raw | pugi::format_no_declaration;

bool numberCell(const Cell& cell) { return cell.kind == CellKind::Number || cell.kind == CellKind::Unreadable; }

std::size_t numberCells(const Worksheet& sheet) {
    return static_cast<std::size_t>(
        std::ranges::count_if(sheet.cells, [](const auto& entry) { return numberCell(entry.second); }));
}

struct StringWriter : pugi::xml_writer {
    std::string out;
    void write(const void* data, std::size_t size) override { out.append(static_cast<const char*>(data), size); }
};

// Puts the book's texts into the number cells (those without a type) of a
// worksheet part; false when they are not exactly the sheet's number cells.
bool rewriteSheet(std::string& xml, const Worksheet& sheet) {
    pugi::xml_document doc;
    if (!doc.load_buffer(xml.data(), xml.size(), kParseOptions, pugi::encoding_utf8)) return false;
    std::size_t rewritten = 0;
    for (pugi::xml_node row : doc.child("worksheet").child("sheetData").children("row")) {
        for (pugi::xml_node c : row.children("c")) {
            pugi::xml_node v = c.child("v");
            if (c.attribute("t") || !v) continue;
            CellPosition at;
            if (!parseCellReference(c.attribute("r").value(), kReferenceLetters, kMaxRows, at)) return false;
            auto it = sheet.cells.find(at);
            if (it == sheet.cells.end() || !numberCell(it->second)) return false;
            const Cell& cell = it->second;
            std::string text = cell.kind == CellKind::Number ? numberText(cell.number) : utf8Text(cell.text);
            if (!v.text().set(text.c_str())) return false;
            ++rewritten;
        }
    }
    if (rewritten != numberCells(sheet)) return false;
    StringWriter writer;
    doc.save(writer, "", kSaveOptions, pugi::encoding_utf8);
    xml = std::move(writer.out);
    return true;
}

bool readPart(zip_t* zip, zip_int64_t index, zip_stat_t& st, std::string& bytes) {
    zip_stat_init(&st);
    if (zip_stat_index(zip, static_cast<zip_uint64_t>(index), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) return false;
    zip_file_t* f = zip_fopen_index(zip, static_cast<zip_uint64_t>(index), 0);
    if (!f) return false;
    bytes.resize(static_cast<std::size_t>(st.size));
    zip_int64_t got = st.size ? zip_fread(f, bytes.data(), st.size) : 0;
    bool closed = zip_fclose(f) == 0;
    return closed && got == static_cast<zip_int64_t>(st.size);
}

// The replacement's bytes must outlive the archive, which reads them when
// it is closed. The part keeps its time, so equal books make equal files.
bool replacePart(zip_t* zip, zip_int64_t index, const zip_stat_t& st, const std::string& bytes) {
    zip_source_t* source = zip_source_buffer(zip, bytes.data(), bytes.size(), 0);
    if (!source) return false;
    if (zip_file_replace(zip, static_cast<zip_uint64_t>(index), source, 0) != 0) {
        zip_source_free(source);
        return false;
    }
    return !(st.valid & ZIP_STAT_MTIME) || zip_file_set_mtime(zip, static_cast<zip_uint64_t>(index), st.mtime, 0) == 0;
}

// The archive the source holds now.
bool sourceBytes(zip_source_t* source, std::string& bytes) {
    zip_stat_t st;
    zip_stat_init(&st);
    if (zip_source_open(source) != 0) return false;
    bool ok = zip_source_stat(source, &st) == 0 && (st.valid & ZIP_STAT_SIZE);
    if (ok) {
        bytes.resize(static_cast<std::size_t>(st.size));
        ok = zip_source_read(source, bytes.data(), st.size) == static_cast<zip_int64_t>(st.size);
    }
    zip_source_close(source);
    return ok;
}

bool rewriteSheets(zip_t* zip, const Workbook& book, std::vector<std::string>& parts) {
    for (std::size_t i = 0; i < book.sheets.size(); ++i) {
        const Worksheet& sheet = book.sheets[i];
        if (numberCells(sheet) == 0) continue;
        std::string name = std::string(kSheetPartStart) + std::to_string(i + 1) + std::string(kSheetPartEnd);
        zip_int64_t index = zip_name_locate(zip, name.c_str(), 0);
        zip_stat_t st;
        if (index < 0 || !readPart(zip, index, st, parts[i]) || !rewriteSheet(parts[i], sheet) ||
            !replacePart(zip, index, st, parts[i]))
            return false;
    }
    return true;
}

}  // namespace

std::string numberText(double v) {
    std::array<char, 32> buffer;
    auto [end, ec] = std::to_chars(buffer.data(), buffer.data() + buffer.size(), v);
    std::string text(buffer.data(), ec == std::errc() ? end : buffer.data());
    std::ranges::replace(text, 'e', 'E');
    return text;
}

bool putExactNumbers(std::string& file, const Workbook& book) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(file.data(), file.size(), 0, &error);
    zip_t* zip = source ? zip_open_from_source(source, 0, &error) : nullptr;
    zip_error_fini(&error);
    if (!zip) {
        if (source) zip_source_free(source);
        return false;
    }
    // Kept past closing the archive, which writes the new archive into it.
    zip_source_keep(source);
    std::vector<std::string> parts(book.sheets.size());
    bool ok = rewriteSheets(zip, book, parts);
    if (ok) {
        ok = zip_close(zip) == 0;
        if (!ok) zip_discard(zip);
    } else {
        zip_discard(zip);
    }
    std::string rewritten;
    ok = ok && sourceBytes(source, rewritten);
    zip_source_free(source);
    if (ok) file = std::move(rewritten);
    return ok;
}

}  // namespace wox::spreadsheet
