// t,v: rows appended to a table, one value (or one vector of values) per
// column, as INSERT runs it.
#include <algorithm>
#include <cstring>
#include <vector>

#include "primitives/element_convert.h"
#include "primitives/keyed/keyed.h"
#include "primitives/keyed/keyed_layout.h"
#include "primitives/structural_result.h"
#include "primitives/keyed/table_columns.h"
#include "primitives/temporal_kinds.h"
#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

// How one column grows: the type it becomes, and the rows its new value
// gives (-1 for a single value that every new row repeats).
struct Growth {
    std::int32_t type = 0;
    std::int64_t rows = -1;
};

Rc growthOf(const values::Workspace& ws, const ValueDescriptor& column, const ValueDescriptor& v, Growth* g) {
    if (v.unset()) return kValueError;
    if (column.type == kGeneral) {
        g->type = kGeneral;
        if (v.type == kGeneral && v.rank == 1) g->rows = v.count;
        return kOk;
    }
    if (isStringColumn(column)) {
        if (v.type != kChar || v.rank > 2) return kDomainError;
        g->type = kChar;
        if (v.rank == 2) g->rows = values::dimension(ws, v, 0);
        return kOk;
    }
    if (v.rank > 1) return kRankError;
    if (!isMovable(column.type) || !isMovable(v.type) || v.type == kGeneral) return kDomainError;
    g->type = joinedType(column.type, column.count == 0, v.type, v.count == 0);
    if (g->type < 0 || g->type == kGeneral) return kDomainError;
    if (g->type == kTemporal) WOX_TRY(sameKind(firstKind(ws, column), kindOfValue(ws, v)));
    if (v.rank == 1 && v.count != 1) g->rows = v.count;
    return kOk;
}

std::int32_t stringWidth(const values::Workspace& ws, const ValueDescriptor& v) {
    return v.rank == 2 ? values::dimension(ws, v, 1) : v.count;
}

ValueDescriptor grownStrings(StackBuilder& b, const ValueDescriptor& column, const ValueDescriptor& v,
                             std::int32_t old, std::int32_t added) {
    values::Workspace& ws = b.ws();
    const std::int32_t colWidth = values::dimension(ws, column, 1);
    const std::int32_t width = std::max(colWidth, stringWidth(ws, v));
    ValueDescriptor m;
    m.type = kChar;
    m.rank = 2;
    m.count = (old + added) * width;
    m.shape0 = old + added;
    m.shape1 = width;
    if (m.count == 0) return m;
    m.data = b.block(kChar, m.count);
    m.blockSize = static_cast<std::int32_t>(elementSize(kChar, m.count));
    char* out = ws.base() + m.data;
    std::memset(out, ' ', static_cast<std::size_t>(m.count));
    const char* in = ws.elems<char>(column);
    for (std::int32_t r = 0; r < old; ++r)
        std::memcpy(out + static_cast<std::int64_t>(r) * width, in + static_cast<std::int64_t>(r) * colWidth,
                    static_cast<std::size_t>(colWidth));
    const char* s = ws.elems<char>(v);
    const std::int32_t sw = stringWidth(ws, v);
    for (std::int32_t r = 0; r < added && s != nullptr; ++r) {
        const char* row = v.rank == 2 ? s + static_cast<std::int64_t>(r) * sw : s;
        std::memcpy(out + static_cast<std::int64_t>(old + r) * width, row, static_cast<std::size_t>(sw));
    }
    return m;
}

ValueDescriptor grownItems(StackBuilder& b, const ValueDescriptor& column, const ValueDescriptor& v,
                           std::int32_t old, std::int32_t added, bool single) {
    values::Workspace& ws = b.ws();
    ValueDescriptor g = b.vector(kGeneral, old + added);
    if (g.count == 0) return g;
    auto* out = reinterpret_cast<ValueDescriptor*>(ws.base() + g.data);
    if (old > 0) std::memcpy(out, ws.elems<ValueDescriptor>(column), 32 * static_cast<std::size_t>(old));
    // A single new value is one item; an enclosed one gives its item.
    const ValueDescriptor one = v.type == kGeneral && v.rank == 0 && v.count == 1 ? ws.elems<ValueDescriptor>(v)[0] : v;
    for (std::int32_t r = 0; r < added; ++r) out[old + r] = single ? one : ws.elems<ValueDescriptor>(v)[r];
    for (std::int32_t r = 0; r < old + added; ++r)
        values::copyTreeInto(ws, reinterpret_cast<ValueDescriptor*>(ws.base() + g.data + 32u * r), 0, true);
    return g;
}

ValueDescriptor grownSimple(StackBuilder& b, const ValueDescriptor& column, const ValueDescriptor& v,
                            std::int32_t type, std::int32_t old, std::int32_t added, bool single) {
    values::Workspace& ws = b.ws();
    ValueDescriptor g = b.vector(type, old + added);
    if (g.count == 0) return g;
    char* out = ws.elems<char>(g);
    if (old > 0) convertRun(out, type, ws.elems<char>(column), column.type, old, false);
    const char* in = isInline(v) ? reinterpret_cast<const char*>(&v.shape0) : ws.base() + v.data;
    if (added > 0) convertRun(out + static_cast<std::int64_t>(old) * elementStride(type), type, in, v.type, added, single);
    return g;
}

}  // namespace

Rc appendRows(values::Context& cx, int result, ValueRef table, ValueRef rows) {
    values::Workspace& ws = cx.ws;
    if (ws.at(rows).unset()) return kValueError;
    auto columns = [&] { return tableColumns(ws, ws.at(table)); };
    const int width = tableWidth(ws, ws.at(table));
    std::vector<ValueDescriptor> values = valuesAsColumns(ws, ws.at(rows));
    if (static_cast<int>(values.size()) != width) return kLengthError;
    std::vector<Growth> growth(static_cast<std::size_t>(width));
    std::int64_t added = -1;
    for (int c = 0; c < width; ++c) {
        WOX_TRY(growthOf(ws, columns()[c], values[static_cast<std::size_t>(c)], &growth[static_cast<std::size_t>(c)]));
        const std::int64_t n = growth[static_cast<std::size_t>(c)].rows;
        if (n < 0) continue;
        if (added >= 0 && n != added) return kMismatch;
        added = n;
    }
    if (added < 0) added = 1;
    const std::int32_t old = tableRows(ws, ws.at(table));
    if (old + added > 0x7fffffff) return kWorkspaceFull;
    const auto fresh = static_cast<std::int32_t>(added);
    StackBuilder b(ws);
    for (int c = 0; c < width; ++c) {
        const ValueDescriptor& col = columns()[c];
        const ValueDescriptor& v = values[static_cast<std::size_t>(c)];
        if (isStringColumn(col)) {
            b.needBytes(static_cast<std::uint64_t>(old + fresh) *
                        static_cast<std::uint64_t>(std::max(values::dimension(ws, col, 1), stringWidth(ws, v))) + 1);
        } else {
            b.needBytes(static_cast<std::uint64_t>(elementSize(growth[static_cast<std::size_t>(c)].type, old + fresh)));
        }
        if (col.type == kGeneral) {
            b.need(col);
            for (std::int32_t r = 0; r < (growth[static_cast<std::size_t>(c)].rows < 0 ? fresh : 1); ++r) b.need(v);
        }
    }
    b.need(tableNames(ws, ws.at(table)));
    b.needBytes(tableFrame(static_cast<std::size_t>(width)));
    WOX_TRY(b.reserve());
    values = valuesAsColumns(ws, ws.at(rows));
    std::vector<ValueDescriptor> grown;
    for (int c = 0; c < width; ++c) {
        const ValueDescriptor& col = columns()[c];
        const ValueDescriptor& v = values[static_cast<std::size_t>(c)];
        const Growth& g = growth[static_cast<std::size_t>(c)];
        if (isStringColumn(col)) {
            grown.push_back(grownStrings(b, col, v, old, fresh));
        } else if (col.type == kGeneral) {
            grown.push_back(grownItems(b, col, v, old, fresh, g.rows < 0));
        } else {
            grown.push_back(grownSimple(b, col, v, g.type, old, fresh, g.rows < 0));
        }
    }
    ws.var(result) = b.table(b.copy(tableNames(ws, ws.at(table))), grown, old + fresh);
    return kOk;
}

}  // namespace wox::primitives
