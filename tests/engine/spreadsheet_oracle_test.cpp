// LibreOffice as the oracle of the workbook format: a workbook Wox writes
// converts to the same cells as text, and one LibreOffice makes from text
// reads into Wox with the right types and shapes. Skipped where soffice is
// not installed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "engine/line_session.h"
#include "on_path.h"

namespace wox {
namespace {

namespace fs = std::filesystem;
using testing::LineSession;
using testing::onPath;

std::string contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct OracleFixture : ::testing::Test {
    fs::path dir;
    LineSession s;
    void SetUp() override {
        if (!onPath("soffice")) GTEST_SKIP() << "soffice is not installed";
        char name[] = "/tmp/wox-oracle-test-XXXXXX";
        dir = mkdtemp(name);
        s.in.spreadsheet.folder = dir.string() + "/";
        s.link.onDiagnostic = [](std::string_view) {};
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir.empty()) fs::remove_all(dir, ec);
    }
    // Converts a file in the folder; `to` is soffice's target ("xlsx", or
    // csv with its filter options).
    void convert(const std::string& file, const std::string& to) {
        std::string command = "cd '" + dir.string() + "' && timeout 300 soffice -env:UserInstallation=file://" +
                              dir.string() + "/profile --headless --convert-to '" + to + "' --outdir out '" + file +
                              "' >/dev/null 2>&1";
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }
};

TEST_F(OracleFixture, AWorkbookWrittenByWoxConvertsToTheSameCells) {
    ASSERT_EQ(s.run("[]OF<-'book'"), "");
    ASSERT_EQ(s.run("'Data' []XXW 2 3#1 _2 3 4 5.5 0.125"), "0");
    ASSERT_EQ(s.run("'Text' []XXW 2 2#'ab'"), "0");
    ASSERT_EQ(s.run("'Data' []XXW 7"), "0");  // rewritten: the second sheet stays
    // Every sheet to its own file, values as stored rather than as shown.
    convert("book.xlsx", "csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1");
    EXPECT_EQ(contents(dir / "out" / "book-Data.csv"), "7,-2,3\n4,5.5,0.125\n");
    EXPECT_EQ(contents(dir / "out" / "book-Text.csv"), "a,b\na,b\n");
}

TEST_F(OracleFixture, AWorkbookMadeByLibreOfficeReadsWithItsTypesAndShape) {
    std::ofstream(dir / "made.csv") << "1,2.5,hello\n3,-4,x\n2024-01-15,7,1e3\n";
    convert("made.csv", "xlsx");
    fs::rename(dir / "out" / "made.xlsx", dir / "made.xlsx");
    ASSERT_EQ(s.run("[]OF<-'made'"), "");
    ASSERT_EQ(s.run("0 []OP 'xls'"), "0");
    EXPECT_EQ(s.run("'made' []XR 'A1:B2'"), "1  2.5\r\n3 _4  ");
    EXPECT_EQ(s.run(":'made' []XR 'A1:B2'"), "2");  // Float
    EXPECT_EQ(s.run("'made' []XR 'A2:A1'"), "1\r\n3");  // corners in either order
    EXPECT_EQ(s.run(":'made' []XR 'A1:A2'"), "1");  // Integer
    EXPECT_EQ(s.run("'made' []XR 'C1'"), "hello");
    EXPECT_EQ(s.run("#'made' []XR 'C1'"), "5");
    EXPECT_EQ(s.run("##'made' []XR 'C2'"), "0");  // one character: a scalar
    // The date is its serial number; 1e3 is stored as the integer 1000.
    EXPECT_EQ(s.run("'made' []XR 'A3:C3'"), "45306 7 1000");
    EXPECT_EQ(s.run(":'made' []XR 'A3:C3'"), "1");
    EXPECT_EQ(s.run("#'made' []XR 'B3:A1'"), "3 2");
    EXPECT_EQ(s.run("'made' []XR 'A1:C1'").substr(0, 27), "the excel file is not found");
}

}  // namespace
}  // namespace wox
