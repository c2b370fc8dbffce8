#include "display/value_display.h"

#include <algorithm>
#include <cstdint>
#include <vector>

#include "display/cell_layout.h"
#include "display/element_text.h"
#include "display/extended_types.h"
#include "display/keyed_display.h"
#include "types/enumeration.h"
#include "values/messages.h"
#include "values/shape.h"

// Layout in brief. Vectors are their element texts separated by blanks,
// wrapped before an element that would pass column 107; character vectors are
// cut into pieces instead. Arrays of rank 2 or more are planes of rows, one
// empty line between planes, each column as wide as its widest element, rows
// wrapped between columns. Items of a general array each start their own line
// with a marker whose length is the nesting depth. Wrapped lines start with
// the nesting indent and six blanks.

namespace wox::display {

namespace {

// Beyond this many line ends an empty array is refused rather than shown.
constexpr std::int64_t kMaxEmptyLines = std::int64_t{1} << 24;

// Wrap bounds of matrix rows: floats leave one column spare, symbols may
// pass the line by their backquote and one column more.
constexpr int kFloatRowLimit = kLineLimit - 1;
constexpr int kSymbolRowLimit = kLineLimit + 2;

struct Grid {
    std::int64_t planes;
    std::int64_t rows;
    int cols;
};

Grid gridOf(const values::Workspace& ws, const ValueDescriptor& d) {
    Grid g;
    g.rows = values::dimension(ws, d, d.rank - 2);
    g.cols = values::dimension(ws, d, d.rank - 1);
    g.planes = d.count / (g.rows * g.cols);
    return g;
}

// Element texts separated by blanks, a line wrapped before an element that
// would pass the line limit. `gap` is what the separating blank counts for in
// that test: 1, or 0 for the elements of an enumeration.
template <class Elements>
void wrappedVector(Printer& p, const Elements& e, std::int64_t n, int gap) {
    char buf[kElementTextMax];
    for (std::int64_t i = 0; i < n; ++i) {
        const ElementText t = e(i, buf);
        if (i > 0) {
            if (p.lineLength() + static_cast<std::size_t>(gap) + t.size() > kLineLimit) {
                p.continuationLine();
            } else {
                p.text.push_back(' ');
            }
        }
        t.appendTo(p.text);
    }
}

// The bytes of s[0, n) that show as at most `columns` characters, a UTF-8
// sequence kept whole.
std::int64_t bytesOfColumns(const char* s, std::int64_t n, std::int64_t columns) {
    std::int64_t i = 0, shown = 0;
    for (; i < n; ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) continue;
        if (shown == columns) break;
        ++shown;
    }
    return i;
}

// Characters cut into pieces: the first line holds 107 - depth of them, each
// continuation line 101 - depth after its indent.
void characterPieces(Printer& p, const char* s, std::int64_t n) {
    const int depth = p.state.depth;
    std::int64_t take = bytesOfColumns(s, n, std::max(1, kCharPiece - depth));
    p.text.append(s, static_cast<std::size_t>(take));
    const std::int64_t piece = std::max(1, kCharContinuationPiece - depth);
    for (std::int64_t at = take; at < n; at += take) {
        p.continuationLine();
        take = bytesOfColumns(s + at, n - at, piece);
        p.text.append(s + at, static_cast<std::size_t>(take));
    }
}

void vectorBody(Printer& p, const ValueDescriptor& d) {
    if (d.type == kChar) {
        characterPieces(p, p.cx.ws.elems<char>(d), d.count);
        return;
    }
    withElements(p.cx, d, TextStyle::kDisplay, [&](const auto& e) { wrappedVector(p, e, d.count, 1); });
}

// "`name:" and the elements.
Rc showEnumeration(Printer& p, const ValueDescriptor& d, bool item) {
    p.beginValue(item);
    types::EnumerationHeader h;
    if (types::readHeader(p.cx.ws, d, &h)) {
        p.text.push_back('`');
        p.text.append(symbolName(p.cx, h.name));
        p.text.push_back(':');
        wrappedVector(p, EnumerationElements(p.cx, d, TextStyle::kDisplay), d.count, 0);
    }
    p.state.linePending = true;
    return kOk;
}

// Starts row r of plane k: rows after the first go on a new line, planes are
// parted by an empty line, and inside a general array rows of the aligned
// types stand under the text after the item marker.
void beginRow(Printer& p, std::int64_t k, std::int64_t r, bool indent) {
    if (k == 0 && r == 0) return;
    p.lineBreak();
    if (r == 0) p.lineBreak();
    if (indent) p.blanks(p.state.depth);
}

// The cells of one row from element i, wrapped between columns that would
// take the line past `bound`.
template <class Elements>
void matrixRow(Printer& p, const Elements& e, const ColumnWidth* w, std::int64_t i, int cols, int bound) {
    putCell(p.text, e, i, w[0]);
    for (int c = 1; c < cols; ++c) {
        if (p.lineLength() + 1 + static_cast<std::size_t>(w[c].width()) > static_cast<std::size_t>(bound)) {
            p.continuationLine();
        } else {
            p.text.push_back(' ');
        }
        putCell(p.text, e, i + c, w[c]);
    }
}

template <class Elements>
void matrixBody(Printer& p, const Elements& e, Grid g, bool indent, int bound) {
    const std::vector<ColumnWidth> w = columnWidths(e, g.planes * g.rows * g.cols, g.cols);
    std::int64_t i = 0;
    for (std::int64_t k = 0; k < g.planes; ++k) {
        for (std::int64_t r = 0; r < g.rows; ++r, i += g.cols) {
            beginRow(p, k, r, indent);
            matrixRow(p, e, w.data(), i, g.cols, bound);
        }
    }
}

void characterMatrix(Printer& p, const ValueDescriptor& d, Grid g, bool indent) {
    const char* s = p.cx.ws.elems<char>(d);
    for (std::int64_t k = 0; k < g.planes; ++k) {
        for (std::int64_t r = 0; r < g.rows; ++r, s += g.cols) {
            beginRow(p, k, r, indent);
            characterPieces(p, s, g.cols);
        }
    }
}

void arrayBody(Printer& p, const ValueDescriptor& d, bool item) {
    const values::Context& cx = p.cx;
    const Grid g = gridOf(cx.ws, d);
    // Inside a general array only rows of these types line up under the
    // marker; the others start at column 0.
    const bool aligned = item && (d.type <= kChar);
    if (d.type == kChar) {
        characterMatrix(p, d, g, aligned);
        return;
    }
    const int bound = d.type == kFloat ? kFloatRowLimit : d.type == kSymbol ? kSymbolRowLimit : kLineLimit;
    withElements(cx, d, TextStyle::kDisplay, [&](const auto& e) { matrixBody(p, e, g, aligned, bound); });
}

// An empty vector is an empty line. An empty array of rank 2 or more shows
// its rows as empty lines, planes parted as usual; with no rows at all it
// shows nothing.
Rc showEmpty(Printer& p, const ValueDescriptor& d, bool item) {
    if (d.rank <= 1) {
        p.beginValue(item);
        return kOk;
    }
    if (values::dimension(p.cx.ws, d, 0) == 0) return kOk;
    std::int64_t planes = 1;
    for (int k = 0; k + 2 < d.rank && planes <= kMaxEmptyLines; ++k) planes *= values::dimension(p.cx.ws, d, k);
    const std::int64_t rows = values::dimension(p.cx.ws, d, d.rank - 2);
    if (planes > kMaxEmptyLines || rows > kMaxEmptyLines || planes * rows + planes - 1 > kMaxEmptyLines)
        return kWorkspaceFull;
    const std::int64_t lineEnds = planes * rows + planes - 1;
    if (lineEnds == 0 && !item) return kOk;
    p.beginValue(item);
    for (std::int64_t i = 1; i < lineEnds; ++i) p.lineBreak();
    return kOk;
}

Rc showGeneral(Printer& p, const ValueDescriptor& d) {
    if (d.rank >= 2 || p.state.depth >= kMaxNesting) {
        p.diagnostic(kUnsupportedDisplay);
        return kOk;
    }
    // Display takes no heap space, so the items stay where they are.
    const ValueDescriptor* items = p.cx.ws.elems<ValueDescriptor>(d);
    ++p.state.depth;
    Rc rc;
    for (std::int32_t i = 0; i < d.count && rc.ok(); ++i) {
        p.state.firstItem = i == 0;
        rc = showValue(p, items[i], true);
    }
    --p.state.depth;
    return rc;
}

Rc show(Printer& p, ValueRef v, bool openLine) {
    auto& ws = p.cx.ws;
    const bool known = isConstRef(v) ? v < static_cast<ValueRef>(ws.consts.size())
                                     : -static_cast<std::int64_t>(v) < static_cast<std::int64_t>(ws.vars.size());
    if (!known || ws.at(v).unset()) return p.cx.fail(kValueError);
    const ValueDescriptor d = ws.at(v);
    const Rc rc = showValue(p, d, false);
    p.state.linePending = !openLine;
    if (rc.failed()) return p.cx.fail(rc.code);
    return kOk;
}

}  // namespace

Rc showValue(Printer& p, const ValueDescriptor& d, bool item) {
    if (d.unset()) return kValueError;
    switch (d.type) {
        case kGeneral:
            if (d.count <= 0) return showEmpty(p, d, item);
            return showGeneral(p, d);
        case kEnumeration:
            return showEnumeration(p, d, item);
        case kDictionary:
            return displayDictionary(p, d, item);
        case kTable:
            return displayTable(p, d, item);
        case kBoolean:
        case kInteger:
        case kFloat:
        case kChar:
        case kComplex:
        case kSymbol:
        case kTemporal:
            break;
        default:
            return kOk;
    }
    if (d.count <= 0) return showEmpty(p, d, item);
    p.beginValue(item);
    if (d.rank <= 1) {
        vectorBody(p, d);
    } else {
        arrayBody(p, d, item);
    }
    p.state.linePending = true;
    return kOk;
}

Rc displayValue(values::Context& cx, DisplayState& state, ValueRef v, bool openLine) {
    std::string text;
    Printer p(cx, state, text, true);
    const Rc rc = show(p, v, openLine);
    p.finish();
    return rc;
}

Rc appendDisplay(values::Context& cx, DisplayState& state, ValueRef v, bool openLine, std::string& out) {
    Printer p(cx, state, out, false);
    return show(p, v, openLine);
}

}  // namespace wox::display
