// Workbook files: what is written reads back the same, every damaged file
// is refused, and a failed save keeps the old file.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "spreadsheet/cell_reference.h"
#include "spreadsheet/exact_numbers.h"
#include "spreadsheet/range_analysis.h"
#include "spreadsheet/xlsx_reader.h"
#include "spreadsheet/xlsx_writer.h"
#include "values/messages.h"

namespace wox::spreadsheet {
namespace {

namespace fs = std::filesystem;

struct TempFolder {
    fs::path path;
    TempFolder() {
        char name[] = "/tmp/wox-xlsx-test-XXXXXX";
        path = mkdtemp(name);
    }
    ~TempFolder() {
        std::error_code ec;
        fs::permissions(path, fs::perms::owner_all, ec);
        fs::remove_all(path, ec);
    }
    std::string file(const std::string& name) const { return (path / name).string(); }
};

std::string bytesOf(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

bool readBytes(const std::string& bytes, Workbook& book) {
    return readWorkbook(std::span(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()), book);
}

Cell number(double v, bool date = false) { return Cell{CellKind::Number, date, v, {}}; }
Cell text(std::string t) { return Cell{CellKind::Text, false, 0, std::move(t)}; }

Workbook sample() {
    Workbook book;
    Worksheet a{"Numbers", {}};
    a.cells[{1, 1}] = number(1);
    a.cells[{1, 2}] = number(-2.5);
    a.cells[{2, 1}] = number(45306, true);
    a.cells[{2, 2}] = number(1e300);
    a.cells[{7, 16384}] = number(-2147483648.0);
    Worksheet b{"Other sheet", {}};
    b.cells[{1, 1}] = text("x");
    b.cells[{1, 2}] = text("a longer text, with <markup> & \"quotes\"");
    b.cells[{1048576, 3}] = Cell{CellKind::Boolean, false, 1, {}};
    b.cells[{3, 1}] = Cell{CellKind::Error, false, 0, "#N/A"};
    Worksheet c{"Empty", {}};
    book.sheets = {a, b, c};
    return book;
}

void expectSameCells(const Worksheet& want, const Worksheet& got) {
    EXPECT_EQ(want.name, got.name);
    ASSERT_EQ(want.cells.size(), got.cells.size()) << want.name;
    for (const auto& [at, cell] : want.cells) {
        auto it = got.cells.find(at);
        ASSERT_NE(it, got.cells.end()) << want.name << " row " << at.row << " column " << at.column;
        EXPECT_EQ(cell.kind, it->second.kind);
        EXPECT_EQ(cell.number, it->second.number);
        EXPECT_EQ(cell.date, it->second.date);
        EXPECT_EQ(cell.text, it->second.text);
    }
}

TEST(CellReference, LettersAndRowsWithinTheirLimits) {
    CellPosition at;
    ASSERT_TRUE(parseCellReference("A1", 2, 65535, at));
    EXPECT_EQ(at, (CellPosition{1, 1}));
    ASSERT_TRUE(parseCellReference("z9", 2, 65535, at));
    EXPECT_EQ(at, (CellPosition{9, 26}));
    ASSERT_TRUE(parseCellReference("AA10", 2, 65535, at));
    EXPECT_EQ(at, (CellPosition{10, 27}));
    ASSERT_TRUE(parseCellReference("zZ65535", 2, 65535, at));
    EXPECT_EQ(at, (CellPosition{65535, 702}));
    ASSERT_TRUE(parseCellReference("XFD1048576", 3, kMaxRows, at));
    EXPECT_EQ(at, (CellPosition{kMaxRows, kMaxColumns}));
    for (const char* bad : {"", "A", "1", "1A", "A0", "A01", "AAA1", "A65536", "A-1", "A+1", " A1", "A1 ", "A1:",
                            "A1B", "A99999999999999999999"})
        EXPECT_FALSE(parseCellReference(bad, 2, 65535, at)) << bad;
    EXPECT_FALSE(parseCellReference("XFE1", 3, kMaxRows, at));
    EXPECT_FALSE(parseCellReference("A1048577", 3, kMaxRows, at));
}

TEST(CellReference, TheTextOfACellReadsBackAsThatCell) {
    EXPECT_EQ(cellReferenceText({1, 1}), "A1");
    EXPECT_EQ(cellReferenceText({9, 26}), "Z9");
    EXPECT_EQ(cellReferenceText({10, 27}), "AA10");
    EXPECT_EQ(cellReferenceText({3, 702}), "ZZ3");
    EXPECT_EQ(cellReferenceText({kMaxRows, kMaxColumns}), "XFD1048576");
    for (std::int32_t column = 1; column <= kMaxColumns; ++column) {
        CellPosition at;
        ASSERT_TRUE(parseCellReference(cellReferenceText({column, column}), 3, kMaxRows, at)) << column;
        ASSERT_EQ(at, (CellPosition{column, column}));
    }
}

TEST(XlsxFile, WhatIsWrittenReadsBackCellForCell) {
    TempFolder dir;
    std::string path = dir.file("book.xlsx"), problem;
    Workbook book = sample();
    ASSERT_TRUE(writeWorkbookFile(book, path, &problem)) << problem;
    Workbook again;
    ASSERT_TRUE(readWorkbookFile(path, again));
    ASSERT_EQ(again.sheets.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i) expectSameCells(book.sheets[i], again.sheets[i]);
    // Written again over itself, and no temporary file is left behind.
    ASSERT_TRUE(writeWorkbookFile(again, path, &problem)) << problem;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(XlsxFile, NumbersReadBackBitForBit) {
    const std::vector<double> chosen = {1.7976931348623157e308, -1.7976931348623157e308, 123456789.123456789, 0.1,
                                        1e-300, -0.0, 5e-324, -5e-324, 2.2250738585072014e-308,
                                        2.2250738585072009e-308, 9007199254740993.0, 1e16, 1e21, 0.3, 2.0 / 3};
    Workbook book;
    book.sheets.push_back(Worksheet{"Chosen", {}});
    for (std::size_t i = 0; i < chosen.size(); ++i)
        book.sheets[0].cells[{1, static_cast<std::int32_t>(i + 1)}] = number(chosen[i]);
    book.sheets[0].cells[{2, 1}] = number(45306.123456789012, true);
    // A sheet without numbers between them, so that parts and sheets must
    // be matched in order.
    book.sheets.push_back(Worksheet{"No numbers", {}});
    book.sheets[1].cells[{1, 1}] = text("x");
    book.sheets[1].cells[{1, 2}] = Cell{CellKind::Boolean, false, 1, {}};
    book.sheets.push_back(Worksheet{"Random", {}});
    std::mt19937_64 bits(20240611);
    constexpr std::int32_t kColumns = 40;
    for (int n = 0; n < 4000;) {
        double v = std::bit_cast<double>(bits());
        if (!std::isfinite(v)) continue;
        book.sheets[2].cells[{n / kColumns + 1, n % kColumns + 1}] = number(v);
        ++n;
    }
    TempFolder dir;
    std::string path = dir.file("exact.xlsx"), problem;
    ASSERT_TRUE(writeWorkbookFile(book, path, &problem)) << problem;
    Workbook again;
    ASSERT_TRUE(readWorkbookFile(path, again));
    ASSERT_EQ(again.sheets.size(), book.sheets.size());
    for (std::size_t s = 0; s < book.sheets.size(); ++s) {
        const auto& want = book.sheets[s].cells;
        ASSERT_EQ(again.sheets[s].cells.size(), want.size());
        for (const auto& [at, cell] : want) {
            const Cell& got = again.sheets[s].cells.at(at);
            ASSERT_EQ(got.kind, cell.kind);
            EXPECT_EQ(got.date, cell.date);
            EXPECT_EQ(std::bit_cast<std::uint64_t>(got.number), std::bit_cast<std::uint64_t>(cell.number))
                << book.sheets[s].name << "!" << cellReferenceText(at) << " " << numberText(cell.number);
        }
    }
    // The shortest text that reads back, as spreadsheet programs write it.
    EXPECT_EQ(numberText(1.7976931348623157e308), "1.7976931348623157E+308");
    EXPECT_EQ(numberText(123456789.123456789), "123456789.12345679");
    EXPECT_EQ(numberText(0.1), "0.1");
    EXPECT_EQ(numberText(-0.0), "-0");
    EXPECT_EQ(numberText(5e-324), "5E-324");
    EXPECT_EQ(numberText(-2147483648.0), "-2147483648");
    // A file that does not hold the book's number cells is left as it was.
    std::string notAnArchive = "not an archive";
    EXPECT_FALSE(putExactNumbers(notAnArchive, book));
    EXPECT_EQ(notAnArchive, "not an archive");
    std::string written = bytesOf(path);
    const std::string before = written;
    book.sheets[2].cells[{200, 1}] = number(1);
    EXPECT_FALSE(putExactNumbers(written, book));
    EXPECT_EQ(written, before);
}

TEST(XlsxFile, CharactersThatAreNotUtf8AreWrittenAsTheirLatin1Characters) {
    EXPECT_EQ(utf8Text("plain"), "plain");
    EXPECT_EQ(utf8Text("caf\xC3\xA9"), "caf\xC3\xA9");        // already UTF-8
    EXPECT_EQ(utf8Text("caf\xE9"), "caf\xC3\xA9");            // a lone Latin-1 byte
    EXPECT_EQ(utf8Text("\xED\xA0\x80"), "\xC3\xAD\xC2\xA0\xC2\x80");  // a surrogate is no text
    EXPECT_EQ(utf8Text("\xC3"), "\xC3\x83");                  // cut short
    TempFolder dir;
    Workbook book;
    book.sheets.push_back(Worksheet{"S", {}});
    book.sheets[0].cells[{1, 1}] = text("\xFF\x80");
    std::string problem;
    ASSERT_TRUE(writeWorkbookFile(book, dir.file("b.xlsx"), &problem));
    Workbook again;
    ASSERT_TRUE(readWorkbookFile(dir.file("b.xlsx"), again));
    EXPECT_EQ(again.sheets[0].cells.at({1, 1}).text, "\xC3\xBF\xC2\x80");
}

TEST(XlsxFile, MissingTruncatedAndDamagedFilesAreRefused) {
    TempFolder dir;
    Workbook book;
    EXPECT_FALSE(readWorkbookFile(dir.file("none.xlsx"), book));
    EXPECT_FALSE(readWorkbookFile(dir.path.string(), book));  // a folder
    EXPECT_FALSE(readBytes("", book));
    EXPECT_FALSE(readBytes("PK\x03\x04 not really a zip", book));
    std::string problem;
    ASSERT_TRUE(writeWorkbookFile(sample(), dir.file("good.xlsx"), &problem));
    const std::string good = bytesOf(dir.file("good.xlsx"));
    ASSERT_TRUE(readBytes(good, book));
    for (std::size_t n = 0; n < good.size(); n += 61) {
        EXPECT_FALSE(readBytes(good.substr(0, n), book)) << n;
        EXPECT_TRUE(book.sheets.empty());
    }
    // Damage anywhere in the archive: refused, or read soundly; never a crash.
    int refused = 0;
    for (std::size_t at = 0; at < good.size(); at += 7) {
        std::string bad = good;
        bad[at] = static_cast<char>(bad[at] ^ 0x5A);
        refused += readBytes(bad, book) ? 0 : 1;
    }
    EXPECT_GT(refused, 0);
}

// An archive of the given parts, as other programs write them.
std::string archive(const std::vector<std::pair<const char*, std::string>>& parts) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &error);
    zip_source_keep(src);
    zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &error);
    for (const auto& [name, bytes] : parts)
        zip_file_add(za, name, zip_source_buffer(za, bytes.data(), bytes.size(), 0), 0);
    zip_close(za);
    std::string out;
    zip_stat_t st;
    if (zip_source_open(src) == 0 && zip_source_stat(src, &st) == 0) {
        out.resize(st.size);
        zip_source_read(src, out.data(), st.size);
        zip_source_close(src);
    }
    zip_source_free(src);
    zip_error_fini(&error);
    return out;
}

TEST(XlsxFile, PartsAsOtherProgramsWriteThem) {
    // Prefixed names, an absolute target, rich and phonetic text, inline
    // text, formulas with their last values, cells without references, a
    // custom date format, and a cell that is only formatted.
    const std::string workbook =
        R"(<x:workbook xmlns:x="main" xmlns:rel="rels"><x:sheets>)"
        R"(<x:sheet name="Only" sheetId="4" rel:id="r7"/></x:sheets></x:workbook>)";
    const std::string relations =
        R"(<Relationships><Relationship Id="r7" Target="/xl/worksheets/data.xml"/></Relationships>)";
    const std::string strings =
        R"(<sst><si><t>plain</t></si><si><r><t>ri</t></r><r><t>ch</t></r><rPh><t>no</t></rPh></si></sst>)";
    const std::string styles =
        R"(<styleSheet><numFmts><numFmt numFmtId="170" formatCode="[Red]&quot;d&quot;\d 0.0"/>)"
        R"(<numFmt numFmtId="171" formatCode="[$-409]dd/mm"/></numFmts>)"
        R"(<cellXfs><xf numFmtId="0"/><xf numFmtId="170"/><xf numFmtId="171"/><xf numFmtId="22"/></cellXfs></styleSheet>)";
    const std::string sheet =
        R"(<x:worksheet xmlns:x="main"><x:sheetData><x:row r="2">)"
        R"(<x:c r="A2" t="s"><x:v>1</x:v></x:c><x:c t="inlineStr"><x:is><x:t>inline</x:t></x:is></x:c>)"
        R"(<x:c s="1"><x:v> 1.5e1 </x:v></x:c><x:c s="2"><x:v>45000</x:v></x:c><x:c s="3"/></x:row>)"
        R"(<x:row><x:c t="str"><x:f>A2&amp;"!"</x:f><x:v>rich!</x:v></x:c><x:c t="e"><x:f>1/0</x:f><x:v>#DIV/0!</x:v></x:c>)"
        R"(<x:c t="b"><x:v>1</x:v></x:c><x:c><x:f>1+1</x:f><x:v>2</x:v></x:c><x:c r="G3" s="3"><x:v>0.5</x:v></x:c></x:row>)"
        R"(</x:sheetData></x:worksheet>)";
    Workbook book;
    ASSERT_TRUE(readBytes(archive({{"xl/workbook.xml", workbook},
                                   {"xl/_rels/workbook.xml.rels", relations},
                                   {"xl/sharedStrings.xml", strings},
                                   {"xl/styles.xml", styles},
                                   {"xl/worksheets/data.xml", sheet}}),
                          book));
    ASSERT_EQ(book.sheets.size(), 1u);
    const auto& cells = book.sheets[0].cells;
    EXPECT_EQ(book.sheets[0].name, "Only");
    EXPECT_EQ(cells.size(), 9u);
    EXPECT_EQ(cells.at({2, 1}).text, "rich");
    EXPECT_EQ(cells.at({2, 2}).text, "inline");
    EXPECT_EQ(cells.at({2, 3}).number, 15);
    EXPECT_FALSE(cells.at({2, 3}).date);  // "d" quoted and escaped only
    EXPECT_TRUE(cells.at({2, 4}).date);
    EXPECT_EQ(cells.at({3, 1}).text, "rich!");
    EXPECT_EQ(cells.at({3, 1}).kind, CellKind::Text);
    EXPECT_EQ(cells.at({3, 2}).kind, CellKind::Error);
    EXPECT_EQ(cells.at({3, 3}).kind, CellKind::Boolean);
    EXPECT_EQ(cells.at({3, 4}).number, 2);
    EXPECT_TRUE(cells.at({3, 7}).date);
    // A part that is named but missing, a string index beyond the table, a
    // number that is no number, a reference off its row: refused.
    auto withSheet = [&](const std::string& data) {
        return archive({{"xl/workbook.xml", workbook},
                        {"xl/_rels/workbook.xml.rels", relations},
                        {"xl/sharedStrings.xml", strings},
                        {"xl/worksheets/data.xml", data}});
    };
    auto cell = [](const std::string& c) {
        return "<worksheet><sheetData><row r=\"1\">" + c + "</row></sheetData></worksheet>";
    };
    EXPECT_TRUE(readBytes(withSheet(cell("<c r=\"A1\"><v>1</v></c>")), book));
    for (const char* bad : {"<c t=\"s\"><v>2</v></c>", "<c r=\"A2\"><v>1</v></c>", "<c r=\"XFE1\"><v>1</v></c>",
                            "<c t=\"b\"><v>2</v></c>"})
        EXPECT_FALSE(readBytes(withSheet(cell(bad)), book)) << bad;
    // A number that is no number spoils its cell alone, which keeps its text.
    for (std::string bad : {"1x", "nan", "1e999", "1.797693134862316E+308", ""}) {
        ASSERT_TRUE(readBytes(withSheet(cell("<c r=\"B1\" t=\"n\"><v>" + bad + "</v></c><c><v>2</v></c>")), book))
            << bad;
        EXPECT_EQ(book.sheets[0].cells.at({1, 2}).kind, CellKind::Unreadable) << bad;
        EXPECT_EQ(book.sheets[0].cells.at({1, 2}).text, bad);
        EXPECT_EQ(book.sheets[0].cells.at({1, 3}).number, 2) << bad;
    }
    EXPECT_FALSE(readBytes(archive({{"xl/workbook.xml", workbook}, {"xl/_rels/workbook.xml.rels", relations}}), book));
    EXPECT_FALSE(readBytes(withSheet("<worksheet><sheetData><row r=\"0\"/></sheetData></worksheet>"), book));
    EXPECT_FALSE(readBytes(withSheet("<worksheet><sheetData><row r=\"1\"><c></sheetData>"), book));
}

TEST(XlsxFile, AnUnreadableNumberIsWrittenBackAsItWas) {
    // As a writer with 16 digits left the largest number.
    const std::string workbook =
        R"(<workbook xmlns:r="rels"><sheets><sheet name="Sheet1" r:id="rId1"/></sheets></workbook>)";
    const std::string relations =
        R"(<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/></Relationships>)";
    const std::string styles = R"(<styleSheet><cellXfs><xf numFmtId="0"/><xf numFmtId="14"/></cellXfs></styleSheet>)";
    const std::string sheet =
        R"(<worksheet><sheetData><row r="1"><c r="A1"><v>1.797693134862316E+308</v></c><c r="B1"><v>0.5</v></c>)"
        R"(<c r="C1" s="1"><v>&lt;a date&gt;</v></c></row><row r="2"><c r="A2"><v>3</v></c><c r="B2"><v>4</v></c>)"
        R"(</row></sheetData></worksheet>)";
    Workbook book;
    ASSERT_TRUE(readBytes(archive({{"xl/workbook.xml", workbook},
                                   {"xl/_rels/workbook.xml.rels", relations},
                                   {"xl/styles.xml", styles},
                                   {"xl/worksheets/sheet1.xml", sheet}}),
                          book));
    const Worksheet& read = book.sheets[0];
    EXPECT_EQ(read.cells.at({1, 1}).kind, CellKind::Unreadable);
    EXPECT_EQ(read.cells.at({1, 1}).text, "1.797693134862316E+308");
    EXPECT_EQ(read.cells.at({1, 3}).text, "<a date>");
    EXPECT_TRUE(read.cells.at({1, 3}).date);
    // A read that takes it in fails and names it; the others read.
    RangeContents got;
    EXPECT_EQ(analyseRange(read, {RangeRequest::Kind::Corners, 2, 2, 1, 1}, got), kExcelReadFormat);
    EXPECT_EQ(got.unreadable, (CellPosition{1, 1}));
    EXPECT_EQ(analyseRange(read, {RangeRequest::Kind::Cell, 1, 3, 1, 3}, got), kExcelReadFormat);
    EXPECT_EQ(got.unreadable, (CellPosition{1, 3}));
    ASSERT_EQ(analyseRange(read, {RangeRequest::Kind::Corners, 1, 2, 2, 2}, got), 0);
    EXPECT_EQ(got.numbers, (std::vector<double>{0.5, 4}));
    // Written back with the rest, its text and date stay as they were.
    TempFolder dir;
    std::string path = dir.file("kept.xlsx"), problem;
    book.sheets[0].cells[{2, 1}] = number(0.1);
    ASSERT_TRUE(writeWorkbookFile(book, path, &problem)) << problem;
    Workbook again;
    ASSERT_TRUE(readWorkbookFile(path, again));
    expectSameCells(book.sheets[0], again.sheets[0]);
}

TEST(XlsxFile, AFailedSaveKeepsTheOldFile) {
    TempFolder dir;
    std::string path = dir.file("book.xlsx"), problem;
    ASSERT_TRUE(writeWorkbookFile(sample(), path, &problem));
    const std::string before = bytesOf(path);
    Workbook other;
    other.sheets.push_back(Worksheet{"New", {}});
    chmod(path.c_str(), 0444);
    EXPECT_FALSE(writeWorkbookFile(other, path, &problem));
    EXPECT_EQ(bytesOf(path), before);
    chmod(path.c_str(), 0644);
    // A worksheet name the format cannot hold fails the whole save.
    other.sheets.push_back(Worksheet{"bad[name]", {}});
    EXPECT_FALSE(writeWorkbookFile(other, path, &problem));
    EXPECT_EQ(bytesOf(path), before);
    EXPECT_FALSE(writeWorkbookFile(Workbook{}, path, &problem));
    EXPECT_FALSE(writeWorkbookFile(sample(), dir.file("missing/book.xlsx"), &problem));
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path), fs::directory_iterator()), 1);
}

TEST(Workbook, SheetNamesFollowTheFormatsRules) {
    EXPECT_TRUE(validSheetName("Sheet 1"));
    EXPECT_TRUE(validSheetName(std::string(31, 'a')));
    for (std::string bad : {std::string(), std::string(32, 'a'), std::string("a:b"), std::string("a/b"),
                            std::string("a\\b"), std::string("a?"), std::string("*"), std::string("[a]"),
                            std::string("'a"), std::string("a'"), std::string("a\tb")})
        EXPECT_FALSE(validSheetName(bad)) << bad;
    Workbook book = sample();
    EXPECT_EQ(findSheet(book, "numbers"), 0);
    EXPECT_EQ(findSheet(book, "OTHER SHEET"), 1);
    EXPECT_EQ(findSheet(book, "Numbers "), -1);
    EXPECT_EQ(usedArea(book.sheets[2]).lastColumn, 1);
    Area a = usedArea(book.sheets[0]);
    EXPECT_EQ(a.firstRow, 1);
    EXPECT_EQ(a.firstColumn, 1);
    EXPECT_EQ(a.lastRow, 7);
    EXPECT_EQ(a.lastColumn, 16384);
}

}  // namespace
}  // namespace wox::spreadsheet
