#include "values/messages.h"

#include <algorithm>
#include <array>

namespace wox {
namespace {

struct MessageRow {
    int number;
    std::string_view text;
};

// Texts stay exactly as Wox has always written them, odd spellings and
// trailing blanks included: users and scripts match on them.
constexpr std::array kMessages{
    MessageRow{kDomainError, "domain error"},
    MessageRow{kRankError, "rank error"},
    MessageRow{kLengthError, "length error"},
    MessageRow{kValueError, "value error"},
    MessageRow{kStackFull, "stack full"},
    MessageRow{kWorkspaceFull, "workspace full"},
    MessageRow{kTypeError, "type error"},
    MessageRow{kNameMustStartWithLetter, "name must start with letter"},
    MessageRow{kGListFull, "gList full"},
    MessageRow{kVarNameIsFunctionName, "var name can't be a func name"},
    MessageRow{kAssignExpected, "<- expected"},
    MessageRow{kFunctionNameExpected, "func name expected"},
    MessageRow{kNameExpected, "name expected"},
    MessageRow{kMissingFunction, "illegal appear. of var/num due to missing fn"},
    MessageRow{kValenceMismatch, " func. valence not fit"},
    MessageRow{kSyntaxError, "syntax error"},
    MessageRow{kLeftArgumentMissing, "left argument missing"},
    MessageRow{kInnerProductNotScalar, "inner prod. can only apply to scalar fns"},
    MessageRow{kParenMissingFunction, "illegal appear. if '(' likely due to missing fn"},
    MessageRow{kOuterProductNotDyadic, "only dyadic fn can be in outerprod. "},
    MessageRow{kUnpairedBrackets, "unpaired parenthese or brackets"},
    MessageRow{kRightParenRequired, "right parenthesis required"},
    MessageRow{kDefinitionError, "defn error"},
    MessageRow{kIndexOriginError, "[]IO error"},
    MessageRow{kIndexError, "index error"},
    MessageRow{kStructError, "struct error"},
    MessageRow{kAxisRestriction, "compiler restriction on, axis and format. premature exit!"},
    MessageRow{kAxisSpecification, "axis specification wrong, may due to []IO=1."},
    MessageRow{kRightBracketExpected, "right bracjet exoected"},
    MessageRow{kAxisError, "axis error"},
    MessageRow{kTimeFormat, "error time format"},
    MessageRow{kTimeTableFull, "time table is full"},
    MessageRow{kDateTimeValue, "date or time value error"},
    MessageRow{kDifferentTimeFormats, "different time formats"},
    MessageRow{kDateRange, "date starts from 0001 to 9999"},
    MessageRow{kArgumentMismatch, "argument mismatch"},
    MessageRow{kRecordNotFound, "record not found"},
    MessageRow{kKeyNotFound, "key not found"},
    MessageRow{kParsingError, "parsing error"},
    MessageRow{kNotImplemented, "prim. func not yet implemented"},
    MessageRow{kBranchRestrictions, "branch restrictions"},
    MessageRow{kBranchFormat, "branch format error"},
    MessageRow{kSysVarNotImplemented, "sys. vars not yet implemented"},
    MessageRow{kNoReturnValue, "no return value from function call"},
    MessageRow{kFormatFilePath, "[]FM: the left argument is a file path, a character vector of 2 or more characters"},
    MessageRow{kIncorrectCommand, "incorrect command"},
    MessageRow{kClearWsNotSaved, "not saved, this is a clear ws"},
    MessageRow{kFileNameRequired, "must provide file name"},
    MessageRow{kSaveFailed, "unexpected error while saving"},
    MessageRow{kBadFilePath, "incorrect file path or file name is not correct"},
    MessageRow{kFileNotFound, "the file is not found"},
    MessageRow{kWsNameTooLong, "max 16 in ws name"},
    MessageRow{kBadLibraryReference, "improper library reference"},
    MessageRow{kFunctionNotInserted, "function required was not inserted into function list!"},
    MessageRow{kFunctionWithoutLines, "function with no lines(include head line)."},
    MessageRow{kGetVariableError, "get variable error"},
    MessageRow{kGetFunctionError, "get function error"},
    MessageRow{kTableFull, "one table is full"},
    MessageRow{kRandomLinkError, "[]RL error"},
    MessageRow{kInterrupted, "interrupt"},
    MessageRow{kScriptsTooDeep, "scripts nested too deeply: a script reads at most 16 others"},
    MessageRow{kNoExcelDriver, "no excel driver"},
    MessageRow{kExcelReadWrite, "excel reading and writing error"},
    MessageRow{kExcelRangeError, "error in xrc"},
    MessageRow{kExcelReadFormat, "xread format error"},
    MessageRow{kExcelFileNotFound, "the excel file is not found"},
    MessageRow{kSheetNameError, "incorrect sheet name"},
    MessageRow{kWorksheetArgument,
               "the worksheet name is 1 to 31 characters, none of : \\ / ? * [ ], no quote at either end"},
    MessageRow{kWorkbookName, "[]OF does not hold the workbook's name, a name that starts with a letter"},
    MessageRow{kWorkbookNotOpened, "the workbook file is missing or cannot be read"},
    MessageRow{kSpreadsheetArgument,
               "the left argument is the worksheet name (characters), the right a nonempty range or array"},
    MessageRow{kNoWorkbook, "the spreadsheet link is not started: 0 []OP 'xls' starts it"},
    MessageRow{kOpenArgument, "[]OP: the left argument is 0 (start) or 1 (close), the right characters"},
    MessageRow{kCsvNotRead, "the CSV file is missing or cannot be read"},
    MessageRow{kCsvNotText, "the CSV file is not UTF-8 text"},
    MessageRow{kCsvQuote, "CSV quote error: a quoted field is not closed, or text follows its closing quote"},
    MessageRow{kCsvRagged, "CSV line with another number of fields than the first line"},
    MessageRow{kCsvField, "CSV field that does not read as its column's type"},
    MessageRow{kCsvArgument, "[]CSVR: the left argument holds , ; | tab - and the type letters BIECSD or blank, "
                             "one per column; the right is the file name"},
    MessageRow{kCsvColumn, "a column that a CSV file cannot hold (complex, nested or of rank 2 or more)"},
    MessageRow{kCsvNotWritten, "the CSV file cannot be written"},
    MessageRow{kCsvEmpty, "the CSV file has no header line"},
    MessageRow{kCsvHeader, "the CSV header names a column twice"},
    MessageRow{kCsvWriteArgument, "[]CSVW: the left argument is a table, keyed table or dictionary, the right the file name"},
    MessageRow{kMismatch, "missmatch"},
    MessageRow{kUniqueRecordForKeys, "unique record for keys"},
    MessageRow{kSymbolNameOnly, "symbol name only"},
    MessageRow{kForeignKeyProblem, "foreign key problem"},
    MessageRow{kTableHeadMismatch, "table head doesn't match"},
    MessageRow{kLibraryMissing,
               "library missing (please check library files: standardn.vsf and newfns.vsf)"},
    MessageRow{kNoSameColumnName, "no same column name"},
};

constexpr bool strictlySorted() {
    for (std::size_t i = 1; i < kMessages.size(); ++i)
        if (kMessages[i - 1].number >= kMessages[i].number) return false;
    return true;
}
static_assert(strictlySorted(), "message numbers must be unique and in ascending order");

constexpr bool allTextsPresent() {
    for (const MessageRow& row : kMessages)
        if (row.number <= 0 || row.text.empty()) return false;
    return true;
}
static_assert(allTextsPresent(), "a listed message needs a positive number and a text");

}  // namespace

std::string_view messageText(int number) {
    auto it = std::lower_bound(kMessages.begin(), kMessages.end(), number,
                               [](const MessageRow& row, int n) { return row.number < n; });
    if (it == kMessages.end() || it->number != number) return {};
    return it->text;
}

}  // namespace wox
