#pragma once
// The spreadsheet link: one per interpreter. It works on workbook files
// themselves: a workbook is read into memory, its worksheets are found,
// added, renamed, cleared and deleted there, and saving writes the whole
// workbook over the old file. Starting and closing keep the counter and the
// checks of a link to a spreadsheet application, so code written for one
// behaves the same. Every operation returns 0 or the link's error number.
#include <string>
#include <string_view>

#include "spreadsheet/workbook.h"

namespace wox::spreadsheet {

class Link {
public:
    // Without it every spreadsheet function fails with "no excel driver".
    bool available = true;

    // The folder workbooks live in, ending with "/".
    std::string folder;
    // The workbook file and the current worksheet of the last operation.
    std::string workbookPath;
    std::string sheetName;
    // The open workbook; empty until opened or made.
    Workbook book;

    int openCount() const { return openCount_; }

    // 151 when already started.
    int start();
    // Empties the names and gives the workbook up; the counter goes back to
    // 0 only from 1, so closing a link that was never started is harmless.
    void close();

    // Reads the workbook at workbookPath: 160 when the link is not started,
    // 158 when the file is missing or is not a sound workbook.
    int openWorkbook();
    // A workbook of one worksheet named sheetName.
    void newWorkbook();
    // 0-based index of the worksheet, or -1.
    int findWorksheet(std::string_view name) const;
    // 160 without an open workbook; 152 when the name exists.
    int addWorksheet(std::string_view name);
    // 160 without an open workbook; 152 when `from` is missing or `to`
    // names another worksheet; then saves.
    int renameWorksheet(std::string_view from, std::string_view to);
    // 160 without an open workbook; 152 when sheetName is missing; 151 when
    // deleting would leave no worksheet; then saves.
    int deleteWorksheet();
    int clearWorksheet();
    // Writes the workbook over workbookPath; 151 when that fails (the old
    // file is then kept), with the reason in lastProblem. What the writer
    // library said meanwhile is in libraryMessages.
    int save();

    std::string lastProblem;
    std::string libraryMessages;

private:
    int openCount_ = 0;
    bool bookOpen_ = false;
};

}  // namespace wox::spreadsheet
