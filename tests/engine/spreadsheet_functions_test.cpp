// The spreadsheet functions through the engine: what transcripts cannot
// reach (workbooks made outside Wox, damaged and read-only files, the link
// switched off, the files left on disk).
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "engine/line_session.h"
#include "spreadsheet/xlsx_reader.h"
#include "spreadsheet/xlsx_writer.h"
#include "values/messages.h"

namespace wox {
namespace {

namespace fs = std::filesystem;
using testing::LineSession;

// The message of an error report.
std::string firstLine(const std::string& report) { return report.substr(0, report.find('\r')); }

constexpr const char* kFirstSheetPart = "xl/worksheets/sheet1.xml";

// The text of a part of a workbook file.
std::string partText(zip_t* zip, const char* part) {
    zip_stat_t st;
    zip_file_t* f = zip_stat(zip, part, 0, &st) == 0 ? zip_fopen(zip, part, 0) : nullptr;
    std::string text(f ? st.size : 0, '\0');
    if (f) {
        EXPECT_EQ(zip_fread(f, text.data(), st.size), static_cast<zip_int64_t>(st.size));
        zip_fclose(f);
    }
    return text;
}

std::string partText(const std::string& file, const char* part) {
    zip_t* zip = zip_open(file.c_str(), ZIP_RDONLY, nullptr);
    if (!zip) return {};
    std::string text = partText(zip, part);
    zip_discard(zip);
    return text;
}

// Changes a part's text, as another program might have written it.
void editPart(const std::string& file, const char* part, const std::string& from, const std::string& to) {
    zip_t* zip = zip_open(file.c_str(), 0, nullptr);
    ASSERT_NE(zip, nullptr);
    std::string text = partText(zip, part);
    std::size_t at = text.find(from);
    ASSERT_NE(at, std::string::npos) << text;
    text.replace(at, from.size(), to);
    zip_source_t* source = zip_source_buffer(zip, text.data(), text.size(), 0);
    ASSERT_GE(zip_file_add(zip, part, source, ZIP_FL_OVERWRITE), 0);
    ASSERT_EQ(zip_close(zip), 0);
}

struct SpreadsheetFixture : ::testing::Test {
    LineSession s;
    fs::path dir;
    std::string notices;
    SpreadsheetFixture() {
        char name[] = "/tmp/wox-spreadsheet-test-XXXXXX";
        dir = mkdtemp(name);
        s.in.spreadsheet.folder = dir.string() + "/";
        s.link.onDiagnostic = [this](std::string_view t) { notices += std::string(t) + "\n"; };
        (void)s.run("[]OF<-'book'");
    }
    ~SpreadsheetFixture() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string book() const { return (dir / "book.xlsx").string(); }
    std::string bytes() const {
        std::ifstream in(book(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    void writeBook(const spreadsheet::Workbook& b) {
        std::string problem;
        ASSERT_TRUE(spreadsheet::writeWorkbookFile(b, book(), &problem)) << problem;
    }
};

TEST_F(SpreadsheetFixture, WithoutTheLinkEveryFunctionHasNoDriver) {
    s.in.spreadsheet.available = false;
    for (const char* line : {"[]XD 'S'", "[]XC 'S'", "'S' []XR 'A1'", "'S' []XW 1", "'S' []XXR 1 1", "'S' []XXW 1",
                             "'S' []XN 'T'", "0 []OP 'xls'"})
        EXPECT_EQ(firstLine(s.run(line)), "no excel driver") << line;
    EXPECT_EQ(s.in.spreadsheet.openCount(), 0);
}

TEST_F(SpreadsheetFixture, TextCellsOfOneCharacterAreScalars) {
    spreadsheet::Workbook b;
    b.sheets.push_back({"S", {}});
    b.sheets[0].cells[{1, 1}] = {spreadsheet::CellKind::Text, false, 0, "x"};
    b.sheets[0].cells[{1, 2}] = {spreadsheet::CellKind::Text, false, 0, "abc"};
    b.sheets[0].cells[{2, 1}] = {spreadsheet::CellKind::Number, true, 45306, {}};
    b.sheets[0].cells[{2, 2}] = {spreadsheet::CellKind::Number, false, 0.25, {}};
    writeBook(b);
    EXPECT_EQ(s.run("##'S' []XXR 'A1'"), "0");
    EXPECT_EQ(s.run("'S' []XXR 'A1'"), "x");
    EXPECT_EQ(s.run("#'S' []XXR 'B1'"), "3");
    EXPECT_EQ(s.run("'S' []XXR 'B1'"), "abc");
    EXPECT_EQ(notices, "");
    // A date is read as its number, with the notice the desktop showed.
    EXPECT_EQ(s.run("'S' []XXR 'A2:B2'"), "45306 0.25");
    EXPECT_EQ(notices, "hello, here is time\n");
    // Cells of a range hold one character each.
    EXPECT_EQ(firstLine(s.run("'S' []XXR 'A1:B1'")), "xread format error");
    EXPECT_EQ(notices, "hello, here is time\nS!B1: more than one character\n");
}

TEST_F(SpreadsheetFixture, WritingSavesBeforeItReturns) {
    EXPECT_EQ(s.run("0 []OP 'xls'"), "0");
    EXPECT_EQ(s.run("'S' []XW 2 2#_1 2 3 4"), "0");
    spreadsheet::Workbook b;
    ASSERT_TRUE(spreadsheet::readWorkbookFile(book(), b));
    ASSERT_EQ(b.sheets.size(), 1u);
    EXPECT_EQ(b.sheets[0].name, "S");
    EXPECT_EQ(b.sheets[0].cells.size(), 4u);
    EXPECT_EQ(b.sheets[0].cells.at({1, 1}).number, -1);
    // A second sheet joins the first; writing again replaces only its cells.
    EXPECT_EQ(s.run("'T' []XW 'ab'"), "0");
    EXPECT_EQ(s.run("'S' []XW 9"), "0");
    ASSERT_TRUE(spreadsheet::readWorkbookFile(book(), b));
    ASSERT_EQ(b.sheets.size(), 2u);
    EXPECT_EQ(b.sheets[0].cells.at({1, 1}).number, 9);
    EXPECT_EQ(b.sheets[0].cells.at({2, 2}).number, 4);
    EXPECT_EQ(b.sheets[1].cells.at({1, 2}).text, "b");
    // Truth values are written as the numbers 0 and 1.
    EXPECT_EQ(s.run("'U' []XW 1 0 1"), "0");
    EXPECT_EQ(s.run("'U' []XR 'A1:C1'"), "1 0 1");
}

TEST_F(SpreadsheetFixture, NumbersReadBackExactly) {
    EXPECT_EQ(s.run("0 []OP 'xls'"), "0");
    EXPECT_EQ(s.run("'S' []XW 1.7976931348623157e308 123456789.123456789 0.1 1e_300 5e_324"), "0");
    EXPECT_EQ(s.run("'T' []XW 1"), "0");
    EXPECT_EQ(s.run("(1.7976931348623157e308 123456789.123456789 0.1 1e_300 5e_324)-'S' []XR 'A1:E1'"),
              "0 0 0 0 0");
    EXPECT_EQ(s.run("'S' []XR 'A1'"), s.run("1.7976931348623157e308"));
}

TEST_F(SpreadsheetFixture, ANumberCellThatIsNoNumberSpoilsOnlyTheReadsThatTakeItIn) {
    spreadsheet::Workbook b;
    b.sheets.push_back({"Data", {}});
    b.sheets.push_back({"Other", {}});
    auto number = [](double v) { return spreadsheet::Cell{spreadsheet::CellKind::Number, false, v, {}}; };
    b.sheets[0].cells[{1, 1}] = number(1.25);
    b.sheets[0].cells[{1, 2}] = number(2);
    b.sheets[0].cells[{2, 1}] = number(3);
    b.sheets[0].cells[{2, 2}] = number(4);
    b.sheets[1].cells[{1, 1}] = number(5);
    writeBook(b);
    // As a writer with 16 digits left the largest number.
    const std::string unreadable = "<v>1.797693134862316E+308</v>";
    editPart(book(), kFirstSheetPart, "<v>1.25</v>", unreadable);
    EXPECT_EQ(firstLine(s.run("'Data' []XXR 1 1")), "xread format error");
    EXPECT_EQ(notices, "Data!A1: not a number\n");
    EXPECT_EQ(s.run("0 []OP 'xls'"), "0");
    EXPECT_EQ(firstLine(s.run("'Data' []XR 'A1'")), "xread format error");
    EXPECT_EQ(firstLine(s.run("'Data' []XR 'B2:A1'")), "xread format error");
    EXPECT_EQ(s.run("'Data' []XR 'A2:B2'"), "3 4");
    EXPECT_EQ(s.run("'Data' []XR 'B1'"), "2");
    EXPECT_EQ(s.run("'Other' []XR 'A1'"), "5");
    // Saving other cells, or renaming, writes the cell back as it was.
    EXPECT_EQ(s.run("'Other' []XW 6 7"), "0");
    EXPECT_EQ(s.run("'New' []XW 8"), "0");
    EXPECT_EQ(s.run("'Data' []XN 'Kept'"), "0");
    EXPECT_NE(partText(book(), kFirstSheetPart).find(unreadable), std::string::npos);
    EXPECT_EQ(s.run("'Other' []XR 'A1:B1'"), "6 7");
    notices.clear();
    EXPECT_EQ(firstLine(s.run("'Kept' []XR 'A1:B2'")), "xread format error");
    EXPECT_EQ(notices, "Kept!A1: not a number\n");
    // Writing over it puts a number there.
    EXPECT_EQ(s.run("'Kept' []XW 9"), "0");
    EXPECT_EQ(s.run("'Kept' []XR 'A1:B2'"), "9 2\r\n3 4");
}

TEST_F(SpreadsheetFixture, AWorkbookThatCannotBeReadIsNeverReplaced) {
    {
        std::ofstream out(book(), std::ios::binary);
        out << "PK\x03\x04 this is not a workbook";
    }
    const std::string before = bytes();
    EXPECT_EQ(s.run("0 []OP 'xls'"), "0");
    EXPECT_EQ(firstLine(s.run("'S' []XW 1")), messageText(kWorkbookNotOpened));
    EXPECT_EQ(s.in.errorWord, kWorkbookNotOpened);
    EXPECT_EQ(firstLine(s.run("'S' []XR 'A1'")), messageText(kWorkbookNotOpened));
    EXPECT_EQ(s.in.errorWord, kWorkbookNotOpened);
    for (const char* line : {"[]XD 'S'", "[]XC 'S'", "'S' []XN 'T'"}) {
        (void)s.run(line);
        EXPECT_EQ(s.in.errorWord, kWorkbookNotOpened) << line;
    }
    EXPECT_EQ(bytes(), before);
    // A read-only workbook is kept too, and []XXW closes the link on failure.
    spreadsheet::Workbook b;
    b.sheets.push_back({"S", {}});
    writeBook(b);
    const std::string sound = bytes();
    chmod(book().c_str(), 0444);
    EXPECT_EQ(s.run("1 []OP 'xls'"), "0");
    EXPECT_EQ(firstLine(s.run("'S' []XXW 1")), "excel reading and writing error");
    EXPECT_EQ(s.in.spreadsheet.openCount(), 0);
    EXPECT_EQ(bytes(), sound);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(SpreadsheetFixture, TheWorkbookNameComesFromOF) {
    EXPECT_EQ(s.run("'S' []XXW 1"), "0");
    EXPECT_TRUE(fs::exists(dir / "book.xlsx"));
    (void)s.run("[]OF<-'b'");
    EXPECT_EQ(s.run("'S' []XXW 1"), "0");
    EXPECT_TRUE(fs::exists(dir / "b.xlsx"));
    for (const char* of : {"[]OF<-'a b'", "[]OF<-'../up'", "[]OF<-2 2#'abcd'", "[]OF<-1", "[]OF<-'_a'"}) {
        (void)s.run(of);
        (void)s.run("'S' []XXW 1");
        EXPECT_EQ(s.in.errorWord, kWorkbookName) << of;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 2);
}

}  // namespace
}  // namespace wox
