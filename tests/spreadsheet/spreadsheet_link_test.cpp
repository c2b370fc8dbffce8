// The link's worksheet operations, which the functions reach only in part.
#include "spreadsheet/spreadsheet_link.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "values/messages.h"

namespace wox::spreadsheet {
namespace {

TEST(SpreadsheetLink, WorksheetOperations) {
    char name[] = "/tmp/wox-link-test-XXXXXX";
    std::filesystem::path dir = mkdtemp(name);
    Link link;
    link.workbookPath = (dir / "b.xlsx").string();
    EXPECT_EQ(link.openWorkbook(), kNoWorkbook);  // not started
    EXPECT_EQ(link.addWorksheet("A"), kNoWorkbook);
    EXPECT_EQ(link.renameWorksheet("A", "B"), kNoWorkbook);
    EXPECT_EQ(link.clearWorksheet(), kNoWorkbook);
    ASSERT_EQ(link.start(), 0);
    EXPECT_EQ(link.openWorkbook(), kWorkbookNotOpened);  // no such file
    link.sheetName = "First";
    link.newWorkbook();
    EXPECT_EQ(link.addWorksheet("first"), kExcelRangeError);  // letter case aside, it exists
    EXPECT_EQ(link.addWorksheet("Second"), 0);
    EXPECT_EQ(link.findWorksheet("SECOND"), 1);
    EXPECT_EQ(link.findWorksheet("Third"), -1);
    EXPECT_EQ(link.renameWorksheet("Third", "X"), kExcelRangeError);
    EXPECT_EQ(link.renameWorksheet("Second", "first"), kExcelRangeError);  // another sheet's name
    EXPECT_EQ(link.renameWorksheet("Second", "SECOND"), 0);               // its own, in other letters
    ASSERT_EQ(link.openWorkbook(), 0);  // renaming saved the workbook
    EXPECT_EQ(link.book.sheets.size(), 2u);
    EXPECT_EQ(link.book.sheets[1].name, "SECOND");
    link.sheetName = "Missing";
    EXPECT_EQ(link.deleteWorksheet(), kExcelRangeError);
    link.sheetName = "first";
    EXPECT_EQ(link.deleteWorksheet(), 0);
    link.sheetName = "SECOND";
    EXPECT_EQ(link.deleteWorksheet(), kExcelReadWrite);  // a workbook keeps one worksheet
    ASSERT_EQ(link.openWorkbook(), 0);
    EXPECT_EQ(link.book.sheets.size(), 1u);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace wox::spreadsheet
