// The CSV splitter and field texts on their own, and what []CSVR does with
// files a transcript cannot make: bytes that are no UTF-8, files too large
// for the workspace, the places its diagnostics name.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>

#include "csv_file/csv_fields.h"
#include "csv_file/csv_records.h"
#include "engine/line_session.h"
#include "frontend/name_table.h"
#include "values/messages.h"

namespace wox {
namespace {

namespace fs = std::filesystem;
using csv_file::Fault;
using csv_file::Records;

std::string firstLine(const std::string& report) { return report.substr(0, report.find('\r')); }

TEST(CsvRecords, QuotesLineEndsAndTheByteOrderMark) {
    Records r;
    Fault f;
    ASSERT_TRUE(csv_file::splitRecords("\xEF\xBB\xBF" "a,b\r\n\"x,\"\"y\"\"\r\nz\",\r1,\"\"\n", ',', r, f));
    ASSERT_EQ(r.width, 2);
    ASSERT_EQ(r.count(), 3);
    EXPECT_EQ(r.field(0, 0), "a");
    EXPECT_EQ(r.field(1, 0), "x,\"y\"\r\nz");
    EXPECT_EQ(r.field(1, 1), "");
    EXPECT_EQ(r.field(2, 0), "1");
    EXPECT_EQ(r.field(2, 1), "");
    // Records start on lines 1, 2 and 4 (a lone "\r" ends a line too).
    EXPECT_EQ(r.lines, (std::vector<std::int64_t>{1, 2, 4}));
}

TEST(CsvRecords, ABlankLineIsOneEmptyFieldAndNoFinalLineEndIsNeeded) {
    Records r;
    Fault f;
    ASSERT_TRUE(csv_file::splitRecords("a\n\n2", ',', r, f));
    ASSERT_EQ(r.count(), 3);
    EXPECT_EQ(r.field(1, 0), "");
    EXPECT_EQ(r.field(2, 0), "2");
    EXPECT_FALSE(csv_file::splitRecords("a,b\n\n", ',', r, f));
    EXPECT_EQ(f.message, kCsvRagged);
    EXPECT_EQ(f.line, 2);
}

TEST(CsvRecords, FaultsNameTheirLines) {
    Records r;
    Fault f;
    EXPECT_FALSE(csv_file::splitRecords("a\n\"x\ny\n", ',', r, f));
    EXPECT_EQ(f.message, kCsvQuote);
    EXPECT_EQ(f.line, 2);
    EXPECT_FALSE(csv_file::splitRecords("a,b\n1,\"x\"y\n", ',', r, f));
    EXPECT_EQ(f.message, kCsvQuote);
    EXPECT_EQ(f.column, 2);
    EXPECT_FALSE(csv_file::splitRecords("a\n\xC3\xA9\n\xC3(\n", ',', r, f));
    EXPECT_EQ(f.message, kCsvNotText);
    EXPECT_EQ(f.line, 3);
    EXPECT_FALSE(csv_file::splitRecords("", ',', r, f));
    EXPECT_EQ(f.message, kCsvEmpty);
    EXPECT_FALSE(csv_file::splitRecords("\xEF\xBB\xBF", ',', r, f));
    EXPECT_EQ(f.message, kCsvEmpty);
}

TEST(CsvRecords, OnlyWellFormedUtf8IsText) {
    EXPECT_EQ(csv_file::invalidUtf8("plain ascii text, long enough for words"), std::string_view::npos);
    EXPECT_EQ(csv_file::invalidUtf8("\xE6\x97\xA5\xF0\x9F\x98\x80"), std::string_view::npos);
    EXPECT_EQ(csv_file::invalidUtf8("ab\x80"), 2u);           // a lone continuation byte
    EXPECT_EQ(csv_file::invalidUtf8("\xC0\xAF"), 0u);         // an overlong form
    EXPECT_EQ(csv_file::invalidUtf8("\xED\xA0\x80"), 0u);     // a surrogate
    EXPECT_EQ(csv_file::invalidUtf8("\xF4\x90\x80\x80"), 0u); // beyond U+10FFFF
    EXPECT_EQ(csv_file::invalidUtf8("x\xE6\x97"), 1u);        // cut short
}

TEST(CsvFields, NumbersAndTimesReadAndWriteBack) {
    std::int32_t i = 0;
    EXPECT_TRUE(csv_file::readInteger("-2147483647", &i));
    EXPECT_FALSE(csv_file::readInteger("-2147483648", &i));  // the null is no number
    EXPECT_FALSE(csv_file::readInteger("2147483648", &i));
    EXPECT_FALSE(csv_file::readInteger("1.0", &i));
    double d = 0;
    for (double v : {0.1, 1.0 / 3, 1e300, -5e-324, 123456789012345680.0}) {
        std::string text;
        csv_file::appendFloat(text, v);
        ASSERT_TRUE(csv_file::readFloat(text, &d)) << text;
        EXPECT_EQ(d, v) << text;
    }
    std::string text;
    csv_file::appendFloat(text, -HUGE_VAL);
    EXPECT_EQ(text, "-inf");
    for (std::string_view t : {"2024-02-29", "2024-02", "13:45", "13:45:00", "13:45:00.250", "2024-02-29T13:45:00.250",
                               "0001-01-01T00:00:00.000", "9999-12-31"}) {
        types::TemporalWord w = 0;
        ASSERT_TRUE(csv_file::readTemporal(t, &w)) << t;
        std::string back;
        csv_file::appendTemporal(back, w);
        EXPECT_EQ(back, t);
    }
    types::TemporalWord w = 0;
    EXPECT_TRUE(csv_file::readTemporal("2024-02-29T13:45:00.123456", &w));  // kept to the millisecond
    EXPECT_FALSE(csv_file::readTemporal("2023-02-29", &w));
    EXPECT_FALSE(csv_file::readTemporal("24:00", &w));
    EXPECT_FALSE(csv_file::readTemporal("2024-1-2", &w));
    std::string null;
    csv_file::appendTemporal(null, csv_file::temporalNull(types::kDateKind));
    EXPECT_EQ(null, "");
}

TEST(CsvFields, FieldsAreQuotedOnlyWhenTheyMustBe) {
    std::string out;
    csv_file::appendField(out, "plain", ',');
    csv_file::appendField(out, "a,b", ',');
    csv_file::appendField(out, "say \"x\"", ',');
    csv_file::appendField(out, "two\nlines", ',');
    csv_file::appendField(out, "a;b", ';');
    EXPECT_EQ(out, "plain\"a,b\"\"say \"\"x\"\"\"\"two\nlines\"\"a;b\"");
    // A mark at the start of a field would be skipped at the start of a file.
    out.clear();
    csv_file::appendField(out, "\xEF\xBB\xBFx", ',');
    EXPECT_EQ(out, "\"\xEF\xBB\xBFx\"");
}

struct CsvFolder : ::testing::Test {
    fs::path dir = fs::temp_directory_path() / ("wox-csv-" + std::to_string(::getpid()));
    void SetUp() override { fs::create_directories(dir); }
    void TearDown() override { fs::remove_all(dir); }
    void file(const char* name, const std::string& bytes) {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }
};

TEST_F(CsvFolder, AFileThatIsNoUtf8TextIsRefusedWithItsLine) {
    testing::LineSession s;
    s.in.workspaceFolder = dir.string() + "/";
    std::string place;
    s.link.onDiagnostic = [&](std::string_view m) { place = m; };
    file("latin.csv", "a,b\n1,caf\xE9\n");
    EXPECT_EQ(firstLine(s.run("t<-[]CSVR 'latin'")), messageText(kCsvNotText));
    EXPECT_EQ(place, (dir / "latin.csv").string() + ": line 2");
    EXPECT_EQ(firstLine(s.run("t")), messageText(kValueError));
    file("field.csv", "a,b\n1,2\n3,x\n");
    EXPECT_EQ(firstLine(s.run("t<-'II' []CSVR 'field'")), messageText(kCsvField));
    EXPECT_EQ(place, (dir / "field.csv").string() + ": line 3, column 2");
}

TEST_F(CsvFolder, AFileTooLargeForTheWorkspaceIsWorkspaceFull) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    testing::LineSession s(caps);
    s.in.workspaceFolder = dir.string() + "/";
    // Larger than the whole heap: refused before it is read.
    std::string big = "a\n";
    while (big.size() < (2u << 20)) big += "12345\n";
    file("big.csv", big);
    EXPECT_EQ(firstLine(s.run("t<-[]CSVR 'big'")), messageText(kWorkspaceFull));
    // Smaller than the heap, but its values (a General column of texts)
    // are not.
    std::string texts = "a\n";
    while (texts.size() < (700u << 10)) texts += "x" + std::to_string(texts.size()) + "\n";
    file("texts.csv", texts);
    EXPECT_EQ(firstLine(s.run("t<-'C' []CSVR 'texts'")), messageText(kWorkspaceFull));
    EXPECT_EQ(firstLine(s.run("t")), messageText(kValueError));
    // The workspace still works.
    EXPECT_EQ(s.run("1+1"), "2");
}

}  // namespace
}  // namespace wox
