#include "engine/spreadsheet_functions.h"

#include <sys/stat.h>

#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include "engine/interpreter.h"
#include "frontend/name_table.h"
#include "frontend/scope_stack.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"
#include "spreadsheet/cell_reference.h"
#include "spreadsheet/range_analysis.h"
#include "values/messages.h"

namespace wox::engine {

namespace {

using values::elementsOf;
using values::makeResult;
using vocabulary::systemCodeOf;
using spreadsheet::Link;

constexpr int kOpenCode = systemCodeOf("[]OP");
constexpr int kReadCode = systemCodeOf("[]XR");
constexpr int kWriteCode = systemCodeOf("[]XW");
constexpr int kStartReadCode = systemCodeOf("[]XXR");
constexpr int kStartWriteCode = systemCodeOf("[]XXW");
constexpr int kRenameCode = systemCodeOf("[]XN");
constexpr int kDeleteCode = systemCodeOf("[]XD");

// The one kind of link []OP knows.
constexpr std::string_view kLinkKind = "xls";
constexpr std::string_view kWorkbookExtension = ".xlsx";
// Shown when a read meets a date, which it takes as the date's number.
constexpr std::string_view kDateNotice = "hello, here is time";
// Shown after the worksheet and cell ("Sheet1!A1") where a read fails, by
// spreadsheet::Unreadable.
constexpr std::string_view kUnreadableNotices[] = {": not a number", ": more than one character",
                                                   ": text and numbers together"};
// What []XXR and []XXW answer when the link cannot be started.
constexpr std::int32_t kNotStarted = 1;
constexpr std::int32_t kOpenStart = 0;
constexpr std::int32_t kOpenClose = 1;
// An integer range names one cell or two corners.
constexpr std::int32_t kCellItems = 2;
constexpr std::int32_t kCornerItems = 4;

Rc integerScalar(values::Workspace& ws, int result, std::int32_t v) {
    char* out;
    WOX_TRY(makeResult(ws, result, kInteger, nullptr, 0, &out));
    std::memcpy(out, &v, sizeof v);
    return kOk;
}

std::int32_t intAt(const char* elements, std::int64_t i) {
    std::int32_t v;
    std::memcpy(&v, elements + 4 * i, sizeof v);
    return v;
}

// A character vector (or one character) of at least one character.
bool textArgument(const values::Workspace& ws, const ValueDescriptor& d, std::string& text) {
    if (d.type != kChar || d.rank > 1 || d.count < 1) return false;
    text.assign(elementsOf(ws, d), static_cast<std::size_t>(d.count));
    return true;
}

// A worksheet name for []XN, []XD and []XC, and for the sheet a write adds.
Rc sheetNameArgument(const values::Workspace& ws, const ValueDescriptor& d, std::string& name) {
    if (!textArgument(ws, d, name) || !spreadsheet::validSheetName(name)) return kWorksheetArgument;
    return kOk;
}

// The workbook file: the workspace folder, the name []OF holds (the one in
// force, local or global) and the extension.
Rc workbookPath(Interpreter& in, std::string& path) {
    int s = frontend::findInScope(in.front, in.scope, "[]OF");
    const ValueDescriptor d = in.ws.at(varRef(s >= 0 ? in.scope.at(s).slot : kSystemSlotOF));
    std::string name;
    if (d.unset() || !textArgument(in.ws, d, name)) return kWorkbookName;
    if (!vocabulary::isLetter(name.front()) || frontend::nameEnd(name, 0) != name.size()) return kWorkbookName;
    path = in.spreadsheet.folder + name + std::string(kWorkbookExtension);
    return kOk;
}

// Opens the workbook and answers the index of the link's worksheet.
Rc openSheet(Link& link, int* sheet) {
    WOX_TRY(Rc{link.openWorkbook()});
    *sheet = link.findWorksheet(link.sheetName);
    return *sheet < 0 ? Rc{kExcelRangeError} : kOk;
}

// The requested range of []XR (text) or []XXR (text or integers).
Rc rangeArgument(const values::Workspace& ws, const ValueDescriptor& d, bool integersToo,
                 spreadsheet::RangeRequest& request) {
    std::string text;
    if (!integersToo && !textArgument(ws, d, text)) return kSpreadsheetArgument;
    if (d.rank >= 2) return kSheetNameError;
    if (d.type == kChar) {
        text.assign(elementsOf(ws, d), static_cast<std::size_t>(d.count));
        return spreadsheet::parseRangeText(text, request) ? kOk : Rc{kExcelRangeError};
    }
    if (d.type != kBoolean && d.type != kInteger) return kTypeError;
    if (d.count != kCellItems && d.count != kCornerItems) return kSheetNameError;
    const char* e = elementsOf(ws, d);
    request.row1 = request.row2 = intAt(e, 0);
    request.column1 = request.column2 = intAt(e, 1);
    request.kind = spreadsheet::RangeRequest::Kind::Cell;
    if (d.count == kCornerItems) {
        request.row2 = intAt(e, 2);
        request.column2 = intAt(e, 3);
        request.kind = spreadsheet::RangeRequest::Kind::Corners;
    }
    return kOk;
}

// Runs a read or write on the workbook and worksheet given. []XXR and
// []XXW start the link first (answering 1 when they cannot) and close it
// after, failures included, or the link would stay started for good.
template <class Work>
Rc onLink(Interpreter& in, bool starts, int result, const std::string& path, const std::string& sheet, Work work) {
    Link& link = in.spreadsheet;
    if (starts && link.start() != 0) return integerScalar(in.ws, result, kNotStarted);
    link.workbookPath = path;
    link.sheetName = sheet;
    Rc rc = work();
    if (starts) link.close();
    return rc;
}

// Reads the range of the link's worksheet into the result.
Rc readRange(Interpreter& in, int result, const spreadsheet::RangeRequest& request) {
    Link& link = in.spreadsheet;
    int sheet = 0;
    WOX_TRY(openSheet(link, &sheet));
    spreadsheet::RangeContents got;
    const spreadsheet::Worksheet& cells = link.book.sheets[static_cast<std::size_t>(sheet)];
    const Rc analysed{spreadsheet::analyseRange(cells, request, got)};
    if (analysed.code == kExcelReadFormat) {
        const std::string cell = cells.name + '!' + spreadsheet::cellReferenceText(got.unreadable);
        in.link().diagnostic(cell + std::string(kUnreadableNotices[static_cast<int>(got.why)]));
    }
    WOX_TRY(analysed);
    if (got.metDate) in.link().diagnostic(kDateNotice);
    char* out;
    std::int32_t dims[2] = {got.rows, got.columns};
    const int rank = got.shape == spreadsheet::ShapeKind::SingleCell ? 0 : got.shape == spreadsheet::ShapeKind::OneRow ? 1 : 2;
    const std::int32_t* shape = rank == 1 ? dims + 1 : dims;
    if (got.type == spreadsheet::ValueClass::Text) {
        // A single cell's text is a vector, unless it is one character.
        std::int32_t n = static_cast<std::int32_t>(got.text.size());
        if (rank == 0) WOX_TRY(makeResult(in.ws, result, kChar, &n, n == 1 ? 0 : 1, &out));
        else WOX_TRY(makeResult(in.ws, result, kChar, shape, rank, &out));
        if (n > 0) std::memcpy(out, got.text.data(), got.text.size());
        return kOk;
    }
    const bool real = got.type == spreadsheet::ValueClass::Real;
    WOX_TRY(makeResult(in.ws, result, real ? kFloat : kInteger, shape, rank, &out));
    if (real) {
        std::memcpy(out, got.numbers.data(), got.numbers.size() * sizeof(double));
    } else {
        for (double v : got.numbers) {
            // An empty cell is NaN, the null.
            std::int32_t i = v != v ? kIntNull : static_cast<std::int32_t>(v);
            std::memcpy(out, &i, sizeof i);
            out += sizeof i;
        }
    }
    return kOk;
}

Rc read(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    const ValueDescriptor l = in.ws.at(left), r = in.ws.at(right);
    std::string sheet;
    if (r.count == 0 || !textArgument(in.ws, l, sheet)) return kSpreadsheetArgument;
    spreadsheet::RangeRequest request;
    WOX_TRY(rangeArgument(in.ws, r, code == kStartReadCode, request));
    std::string path;
    WOX_TRY(workbookPath(in, path));
    return onLink(in, code == kStartReadCode, result, path, sheet, [&] { return readRange(in, result, request); });
}

// The cells a value writes from row 1, column 1: a scalar or vector fills
// one row, a matrix its rows and columns.
Rc valueCells(const values::Workspace& ws, const ValueDescriptor& d, spreadsheet::Worksheet& cells) {
    const std::int64_t rows = d.rank == 2 ? d.shape0 : 1;
    const std::int64_t columns = d.rank == 2 ? d.shape1 : d.count;
    if (rows > spreadsheet::kMaxRows || columns > spreadsheet::kMaxColumns) return kSheetNameError;
    // Complex values are not written.
    if (d.type == kComplex) return kOk;
    const char* e = elementsOf(ws, d);
    for (std::int64_t i = 0; i < d.count; ++i) {
        spreadsheet::Cell c;
        if (d.type == kFloat) {
            std::memcpy(&c.number, e + 8 * i, sizeof c.number);
            // A cell holds no null or infinity.
            if (!std::isfinite(c.number)) return kDomainError;
        } else if (d.type == kChar) {
            c.kind = spreadsheet::CellKind::Text;
            c.text.assign(1, e[i]);
        } else {
            c.number = intAt(e, i);
        }
        spreadsheet::CellPosition at{static_cast<std::int32_t>(i / columns + 1), static_cast<std::int32_t>(i % columns + 1)};
        cells.cells.emplace_hint(cells.cells.end(), at, std::move(c));
    }
    return kOk;
}

Rc writeValue(Interpreter& in, spreadsheet::Worksheet& cells) {
    Link& link = in.spreadsheet;
    Rc opened{link.openWorkbook()};
    if (opened.code == kWorkbookNotOpened) {
        // A file that is there but cannot be read is never replaced.
        struct stat st {};
        if (stat(link.workbookPath.c_str(), &st) == 0) return opened;
        link.newWorkbook();
    } else if (opened.failed()) {
        return opened;
    }
    int sheet = link.findWorksheet(link.sheetName);
    if (sheet < 0) {
        WOX_TRY(Rc{link.addWorksheet(link.sheetName)});
        sheet = static_cast<int>(link.book.sheets.size()) - 1;
    }
    auto& target = link.book.sheets[static_cast<std::size_t>(sheet)].cells;
    for (auto& [at, c] : cells.cells) target[at] = std::move(c);
    return Rc{link.save()};
}

Rc write(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    const ValueDescriptor l = in.ws.at(left), r = in.ws.at(right);
    std::string sheet;
    if (r.count == 0 || !textArgument(in.ws, l, sheet) || r.type > kSymbol || r.rank > 2) return kSpreadsheetArgument;
    WOX_TRY(sheetNameArgument(in.ws, l, sheet));
    spreadsheet::Worksheet cells;
    WOX_TRY(valueCells(in.ws, r, cells));
    std::string path;
    WOX_TRY(workbookPath(in, path));
    return onLink(in, code == kStartWriteCode, result, path, sheet, [&]() -> Rc {
        WOX_TRY(writeValue(in, cells));
        return integerScalar(in.ws, result, 0);
    });
}

Rc rename(Interpreter& in, int result, ValueRef left, ValueRef right) {
    std::string from, to, path;
    WOX_TRY(sheetNameArgument(in.ws, in.ws.at(left), from));
    WOX_TRY(sheetNameArgument(in.ws, in.ws.at(right), to));
    WOX_TRY(workbookPath(in, path));
    Link& link = in.spreadsheet;
    link.workbookPath = path;
    link.sheetName = from;
    WOX_TRY(Rc{link.openWorkbook()});
    WOX_TRY(Rc{link.renameWorksheet(from, to)});
    return integerScalar(in.ws, result, 0);
}

Rc open(Interpreter& in, int result, ValueRef left, ValueRef right) {
    const ValueDescriptor l = in.ws.at(left), r = in.ws.at(right);
    if ((l.type != kBoolean && l.type != kInteger) || l.rank != 0 || r.type != kChar || r.rank > 1)
        return kOpenArgument;
    const std::int32_t what = intAt(elementsOf(in.ws, l), 0);
    if (what != kOpenStart && what != kOpenClose) return kOpenArgument;
    std::string_view kind(elementsOf(in.ws, r), static_cast<std::size_t>(r.count));
    if (kind != kLinkKind) return integerScalar(in.ws, result, kNotStarted);
    Link& link = in.spreadsheet;
    if (what == kOpenStart) return integerScalar(in.ws, result, link.start() == 0 ? 0 : kNotStarted);
    link.close();
    return integerScalar(in.ws, result, 0);
}

}  // namespace

// What a save said beyond its answer (the reason it failed, the writer
// library's own words) goes where diagnostics go.
Rc reported(Interpreter& in, Rc rc) {
    Link& link = in.spreadsheet;
    if (!link.libraryMessages.empty()) in.link().diagnostic(link.libraryMessages);
    if (rc.code == kExcelReadWrite && !link.lastProblem.empty()) in.link().diagnostic(link.lastProblem);
    link.libraryMessages.clear();
    link.lastProblem.clear();
    return rc;
}

Rc monadicCall(Interpreter& in, int code, int result, ValueRef right) {
    Link& link = in.spreadsheet;
    if (!link.available) return kNoExcelDriver;
    std::string sheet, path;
    WOX_TRY(sheetNameArgument(in.ws, in.ws.at(right), sheet));
    WOX_TRY(workbookPath(in, path));
    link.workbookPath = path;
    link.sheetName = sheet;
    WOX_TRY(Rc{link.openWorkbook()});
    WOX_TRY(Rc{code == kDeleteCode ? link.deleteWorksheet() : link.clearWorksheet()});
    return integerScalar(in.ws, result, 0);
}

Rc dyadicCall(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    if (!in.spreadsheet.available) return kNoExcelDriver;
    switch (code) {
        case kOpenCode: return open(in, result, left, right);
        case kReadCode:
        case kStartReadCode: return read(in, code, result, left, right);
        case kWriteCode:
        case kStartWriteCode: return write(in, code, result, left, right);
        case kRenameCode: return rename(in, result, left, right);
        default: return kNotImplemented;
    }
}

Rc spreadsheetMonadic(Interpreter& in, int code, int result, ValueRef right) {
    return reported(in, monadicCall(in, code, result, right));
}

Rc spreadsheetDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    return reported(in, dyadicCall(in, code, result, left, right));
}

}  // namespace wox::engine
