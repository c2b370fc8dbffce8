#include "display/keyed_display.h"

#include <algorithm>
#include <string>
#include <vector>

#include "display/cell_layout.h"
#include "display/element_text.h"
#include "display/extended_types.h"
#include "display/text_columns.h"
#include "values/keyed_value.h"
#include "values/shape.h"

namespace wox::display {

namespace {

// The rule under a table's heading is never longer than this.
constexpr std::size_t kRuleLimit = 149;

// The text of an item of a General part or column: a character vector in
// quotes, another simple item (a single character too) as its elements
// parted by blanks, a nested item as "-".
void itemText(const values::Context& cx, const ValueDescriptor& item, std::string& out) {
    if (item.type == kChar && item.rank == 1) {
        out.push_back('\'');
        out.append(cx.ws.elems<char>(item) ? cx.ws.elems<char>(item) : "", static_cast<std::size_t>(item.count));
        out.push_back('\'');
        return;
    }
    if (item.type > kTemporal || item.type == kGeneral) {
        out.push_back('-');
        return;
    }
    withElements(cx, item, TextStyle::kCell, [&](const auto& e) { appendJoined(out, e, item.count); });
}

// Cell i of a part or column, appended to out; returns its length.
int cellText(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, std::string& out) {
    const std::size_t start = out.size();
    if (d.type == kGeneral) {
        if (i < d.count) itemText(cx, cx.ws.elems<ValueDescriptor>(d)[i], out);
    } else {
        elementText(cx, d, i, -1, out);
    }
    return textColumns(std::string_view(out).substr(start));
}

std::int64_t cellsOf(const values::Context& cx, const ValueDescriptor& d) {
    if (d.type == kChar && d.rank >= 2) return values::dimension(cx.ws, d, 0);
    return d.count;
}

struct Column {
    const ValueDescriptor* cells;
    std::string_view name;
    int width;
};

// The columns of a table, each as wide as the wider of its name and its
// widest cell.
void collectColumns(const values::Context& cx, const ValueDescriptor& t, std::vector<Column>& out) {
    const auto& ws = cx.ws;
    const std::int32_t rows = tableRows(ws, t);
    const ValueDescriptor* cols = tableColumns(ws, t);
    std::string scratch;
    for (int c = 0; c < tableWidth(ws, t); ++c) {
        Column col{&cols[c], symbolName(cx, columnName(ws, t, c)), 0};
        col.width = textColumns(col.name);
        for (std::int32_t r = 0; r < rows; ++r) {
            scratch.clear();
            col.width = std::max(col.width, cellText(cx, cols[c], r, scratch));
        }
        out.push_back(col);
    }
}

// Columns [from, to) of a line, each preceded by a blank but the line's
// first.
template <class Piece>
void putColumns(Printer& p, const std::vector<Column>& cols, std::size_t from, std::size_t to, bool leadingBlank,
                Piece piece) {
    for (std::size_t c = from; c < to; ++c) {
        if (c > from || leadingBlank) p.text.push_back(' ');
        const std::size_t start = p.text.size();
        piece(cols[c]);
        padBlanks(p.text, cols[c].width - textColumns(std::string_view(p.text).substr(start)));
    }
}

void showTable(Printer& p, const std::vector<Column>& cols, std::size_t keys, std::int32_t rows) {
    const std::size_t n = cols.size();
    auto lineOf = [&](auto piece) {
        putColumns(p, cols, 0, keys, false, piece);
        if (keys > 0) p.text.push_back('|');
        putColumns(p, cols, keys, n, keys > 0, piece);
    };
    lineOf([&](const Column& c) { p.text.append(c.name); });
    p.lineBreak();
    std::string rule;
    for (std::size_t c = 0; c < n; ++c) {
        if (keys > 0 && c == keys) {
            rule.append("|-");
        } else if (c > 0) {
            rule.push_back('-');
        }
        rule.append(static_cast<std::size_t>(cols[c].width), '-');
    }
    if (keys == n && keys > 0) rule.push_back('|');
    p.text.append(rule.substr(0, kRuleLimit));
    for (std::int32_t r = 0; r < rows; ++r) {
        p.lineBreak();
        lineOf([&](const Column& c) { cellText(p.cx, *c.cells, r, p.text); });
    }
}

}  // namespace

Rc displayDictionary(Printer& p, const ValueDescriptor& d, bool item) {
    const values::Context& cx = p.cx;
    p.beginValue(item);
    if (item) p.lineBreak();
    if (isKeyedTable(d)) {
        const ValueDescriptor* parts = partsOf(cx.ws, d);
        std::vector<Column> cols;
        collectColumns(cx, parts[0], cols);
        const std::size_t keys = cols.size();
        collectColumns(cx, parts[1], cols);
        showTable(p, cols, keys, tableRows(cx.ws, parts[0]));
    } else if (isDictionary(d)) {
        const ValueDescriptor& keys = partsOf(cx.ws, d)[0];
        const ValueDescriptor& values = partsOf(cx.ws, d)[1];
        const std::int64_t n = std::min(cellsOf(cx, keys), cellsOf(cx, values));
        std::string scratch;
        int width = 0;
        for (std::int64_t i = 0; i < n; ++i) {
            scratch.clear();
            width = std::max(width, cellText(cx, keys, i, scratch));
        }
        for (std::int64_t i = 0; i < n; ++i) {
            if (i > 0) p.lineBreak();
            const int len = cellText(cx, keys, i, p.text);
            padBlanks(p.text, width - len);
            p.text.append("| ");
            cellText(cx, values, i, p.text);
        }
    }
    p.state.linePending = true;
    return kOk;
}

Rc displayTable(Printer& p, const ValueDescriptor& d, bool item) {
    p.beginValue(item);
    if (item) p.lineBreak();
    if (isTable(d)) {
        std::vector<Column> cols;
        collectColumns(p.cx, d, cols);
        showTable(p, cols, 0, tableRows(p.cx.ws, d));
    }
    p.state.linePending = true;
    return kOk;
}

}  // namespace wox::display
