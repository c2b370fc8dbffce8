#pragma once
// Every failure is one small number that is also the number of the message
// the user sees. The numbers below are the ones code refers to by name; the
// texts live in one table in messages.cpp.
#include <string_view>

namespace wox {

enum Message : int {
    kDomainError = 1,
    kRankError = 2,
    kLengthError = 3,
    kValueError = 4,
    kStackFull = 5,
    kWorkspaceFull = 6,
    kTypeError = 7,
    kNameMustStartWithLetter = 8,
    kGListFull = 9,
    kVarNameIsFunctionName = 10,
    kAssignExpected = 11,
    kFunctionNameExpected = 12,
    kNameExpected = 13,
    kMissingFunction = 14,
    kValenceMismatch = 15,
    kSyntaxError = 16,
    kLeftArgumentMissing = 17,
    kInnerProductNotScalar = 18,
    kParenMissingFunction = 19,
    kOuterProductNotDyadic = 20,
    kUnpairedBrackets = 21,
    kRightParenRequired = 22,
    kDefinitionError = 23,
    kIndexOriginError = 24,
    kIndexError = 25,
    kStructError = 26,
    kAxisRestriction = 27,
    kAxisSpecification = 28,
    kRightBracketExpected = 29,
    kAxisError = 30,
    kTimeFormat = 31,
    kTimeTableFull = 32,
    kDateTimeValue = 33,
    kDifferentTimeFormats = 34,
    kDateRange = 35,
    kArgumentMismatch = 36,
    kRecordNotFound = 37,
    kKeyNotFound = 38,
    kParsingError = 42,
    kNotImplemented = 43,
    kBranchRestrictions = 44,
    kBranchFormat = 45,
    kSysVarNotImplemented = 46,
    kNoReturnValue = 47,
    kFormatFilePath = 49,  // []FM's left argument is no file path
    kIncorrectCommand = 71,
    kClearWsNotSaved = 72,
    kFileNameRequired = 73,
    kSaveFailed = 74,
    kBadFilePath = 75,
    kFileNotFound = 76,
    kWsNameTooLong = 77,
    kBadLibraryReference = 78,
    kFunctionNotInserted = 80,
    kFunctionWithoutLines = 81,
    kGetVariableError = 82,
    kGetFunctionError = 83,
    kTableFull = 84,
    kRandomLinkError = 85,
    kCharacterBranch = 100,  // signalled after the branch's own text was shown; no text
    kInterrupted = 101,      // the user stopped the running line (Ctrl-C)
    kScriptsTooDeep = 102,   // a script read another, and so on, too deep
    kNoExcelDriver = 150,
    kExcelReadWrite = 151,
    kExcelRangeError = 152,
    kExcelReadFormat = 153,
    kExcelFileNotFound = 154,
    kSheetNameError = 155,
    kWorksheetArgument = 156,   // not a character vector, or not a valid worksheet name
    kWorkbookName = 157,        // []OF holds no valid workbook name
    kWorkbookNotOpened = 158,   // the workbook file cannot be read
    kSpreadsheetArgument = 159, // wrong argument types or ranks
    kNoWorkbook = 160,          // the link is not started
    kOpenArgument = 161,        // wrong arguments to []OP
    kCsvNotRead = 170,          // the CSV file is missing or cannot be read
    kCsvNotText = 171,          // not UTF-8 text; the line is named
    kCsvQuote = 172,            // a quote not closed, or text after a closing quote
    kCsvRagged = 173,           // a line with another number of fields than the first
    kCsvField = 174,            // a field that does not read as its column's type
    kCsvArgument = 175,         // wrong arguments to []CSVR
    kCsvColumn = 176,           // a column the file format cannot hold
    kCsvNotWritten = 177,       // the file cannot be replaced
    kCsvEmpty = 178,            // no header line, or no line at all
    kCsvHeader = 179,           // a column name twice in the header
    kCsvWriteArgument = 180,    // wrong arguments to []CSVW
    kMismatch = 200,
    kUniqueRecordForKeys = 201,
    kSymbolNameOnly = 202,
    kForeignKeyProblem = 203,
    kTableHeadMismatch = 204,
    kLibraryMissing = 205,
    kNoSameColumnName = 206,
};

// The text of message `number`, exactly as the session shows it; empty for a
// number that has no text (100, or any number not in the table).
std::string_view messageText(int number);

}  // namespace wox
