#include "primitives/keyed/keyed_rows.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "primitives/keyed/keyed_layout.h"
#include "primitives/keyed/table_rows.h"
#include "primitives/search_keys.h"
#include "primitives/structural_result.h"
#include "primitives/temporal_kinds.h"
#include "primitives/work_table.h"
#include "types/enumeration.h"
#include "values/messages.h"
#include "values/shape.h"

namespace wox::primitives {

bool rowsAreKeyed(const ValueDescriptor& d) { return isDictionary(d); }

std::int32_t rowCountOf(const values::Workspace& ws, const ValueDescriptor& d) {
    if (d.type == kEnumeration) return d.count;
    if (isPlainDictionary(d)) return columnLength(ws, partsOf(ws, d)[0]);
    return tableRows(ws, d);
}

namespace {

void needTableRows(StackBuilder& b, const ValueDescriptor& t, const std::vector<std::int32_t>& rows) {
    const ValueDescriptor* cols = tableColumns(b.ws(), t);
    const int width = tableWidth(b.ws(), t);
    for (int c = 0; c < width; ++c) needRows(b, cols[c], rows);
    b.need(tableNames(b.ws(), t));
    b.needBytes(tableFrame(static_cast<std::size_t>(width)));
}

// Nothing moves once the builder has reserved, so t stays readable.
ValueDescriptor buildTableRows(StackBuilder& b, const ValueDescriptor& t, const std::vector<std::int32_t>& rows) {
    values::Workspace& ws = b.ws();
    std::vector<ValueDescriptor> parts;
    for (int c = 0; c < tableWidth(ws, t); ++c) parts.push_back(takeRows(b, tableColumns(ws, t)[c], rows, false));
    ValueDescriptor names = b.copy(tableNames(ws, t));
    if (names.rank == 0) names.rank = 1;
    return b.table(names, parts, static_cast<std::int32_t>(rows.size()));
}

}  // namespace

Rc selectRows(values::Context& cx, int result, ValueRef v, const std::vector<std::int32_t>& rows) {
    values::Workspace& ws = cx.ws;
    StackBuilder b(ws);
    {
        const ValueDescriptor& d = ws.at(v);
        if (isTable(d)) {
            needTableRows(b, d, rows);
        } else if (isKeyedTable(d)) {
            needTableRows(b, partsOf(ws, d)[0], rows);
            needTableRows(b, partsOf(ws, d)[1], rows);
            b.needBytes(2 * sizeof(ValueDescriptor));
        } else if (isDictionary(d)) {
            needRows(b, partsOf(ws, d)[0], rows);
            needRows(b, partsOf(ws, d)[1], rows);
            b.needBytes(2 * sizeof(ValueDescriptor));
        } else if (d.type == kEnumeration) {
            needRows(b, d, rows);
        } else {
            return kDomainError;
        }
    }
    WOX_TRY(b.reserve());
    const ValueDescriptor& d = ws.at(v);  // reserving may have compacted
    ValueDescriptor out;
    if (isTable(d)) {
        out = buildTableRows(b, d, rows);
    } else if (isKeyedTable(d)) {
        const ValueDescriptor keys = buildTableRows(b, partsOf(ws, d)[0], rows);
        out = b.pair(kDictionary, kKeyedTable, keys, buildTableRows(b, partsOf(ws, d)[1], rows));
    } else if (isDictionary(d)) {
        const ValueDescriptor keys = takeRows(b, partsOf(ws, d)[0], rows, false);
        out = b.pair(kDictionary, kPlainDictionary, keys, takeRows(b, partsOf(ws, d)[1], rows, false));
    } else {
        out = takeRows(b, d, rows, false);
    }
    ws.var(result) = out;
    return kOk;
}

namespace {

// Writes the null (or, for a type without one, the fill) of key type `type`.
void writeKeyNull(const Fill& fill, std::int32_t type, char* out) {
    switch (type) {
        case kInteger: {
            const std::int32_t v = kIntNull;
            std::memcpy(out, &v, sizeof v);
            return;
        }
        case kFloat: {
            const std::uint64_t v = kNullBits;
            std::memcpy(out, &v, sizeof v);
            return;
        }
        case kSymbol: {
            const std::int32_t v = 0;  // the empty symbol
            std::memcpy(out, &v, sizeof v);
            return;
        }
        default:
            writeFill(fill, out, 1);
    }
}

// For each element of y, the position of the first entry of `vals` equal to
// it, or vals' length when there is none.
Rc entryPositions(values::Workspace& ws, const ValueDescriptor& vals, const Arg& y, std::int32_t* out) {
    const std::int32_t n = columnLength(ws, vals);
    if (vals.type == kGeneral) {
        std::string wanted, key;
        valueKey(ws, y.d, wanted);
        out[0] = n;
        for (std::int32_t i = 0; i < n; ++i) {
            key.clear();
            rowKey(ws, vals, i, key);
            if (key == wanted) {
                out[0] = i;
                break;
            }
        }
        return kOk;
    }
    if (vals.type > kTemporal || vals.rank > 1) return kDomainError;
    if (y.d.type > kTemporal || y.d.type == kGeneral) return kDomainError;
    alignas(8) char single[16] = {};
    const char* a = ws.elems<char>(vals);
    if (isInline(vals)) {
        std::memcpy(single, a, static_cast<std::size_t>(elementStride(vals.type)));
        a = single;
    }
    AlignedElements ye;
    return searchElements(ws.caps, false, vals.type, a, n, y.d.type, ye.at(ws, y), y.d.count, out);
}

}  // namespace

Rc keyOfValue(values::Context& cx, int result, ValueRef d, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (!isPlainDictionary(ws.at(d))) return kDomainError;
    const bool whole = partsOf(ws, ws.at(d))[1].type == kGeneral;
    if (!whole && y.d.rank > 1) return kRankError;
    const std::int32_t n = whole ? 1 : y.d.count;
    const int rank = whole ? 0 : y.d.rank;
    WorkTable<std::int32_t> at;
    WOX_TRY(at.allocate(ws.caps, static_cast<std::uint64_t>(n)));
    if (n > 0) WOX_TRY(entryPositions(ws, partsOf(ws, ws.at(d))[1], y, at.data()));
    const ValueDescriptor keys = partsOf(ws, ws.at(d))[0];
    const std::int32_t entries = columnLength(ws, keys);
    bool absent = false;
    for (std::int32_t j = 0; j < n; ++j) absent |= at[static_cast<std::uint64_t>(j)] >= entries;

    if (keys.type == kGeneral) {
        // Each key is a value of its own; an absent one is an empty item.
        StackBuilder b(ws);
        b.needBytes(elementSize(kGeneral, n));
        for (std::int32_t j = 0; j < n; ++j)
            if (at[static_cast<std::uint64_t>(j)] < entries)
                b.need(ws.elems<ValueDescriptor>(keys)[at[static_cast<std::uint64_t>(j)]]);
        WOX_TRY(b.reserve());
        auto keyAt = [&](std::int32_t j) {
            const std::int32_t p = at[static_cast<std::uint64_t>(j)];
            ValueDescriptor k;
            setEmptyVector(k);
            if (p < entries) k = b.copy(ws.elems<ValueDescriptor>(partsOf(ws, ws.at(d))[0])[p]);
            return k;
        };
        if (rank == 0) {
            ws.var(result) = keyAt(0);
            return kOk;
        }
        ValueDescriptor list = b.vector(kGeneral, n);
        for (std::int32_t j = 0; j < n; ++j) {
            const ValueDescriptor k = keyAt(j);
            std::memcpy(ws.base() + list.data + sizeof(ValueDescriptor) * static_cast<std::size_t>(j), &k, sizeof k);
        }
        ws.var(result) = list;
        return kOk;
    }
    if (keys.type > kTemporal) return kDomainError;
    const std::int32_t type = keys.type == kBoolean && absent ? kInteger : keys.type;
    const int stride = elementStride(keys.type);
    // The fill of the keys' type (and, for temporal keys, kind).
    Fill fill;
    fill.type = keys.type;
    if (keys.type == kTemporal) fill.word = temporalFillWord(firstKind(ws, keys));
    char* out;
    WOX_TRY(values::makeResult(ws, result, type, &n, rank, &out));
    if (n == 0) return kOk;
    const char* k = ws.elems<char>(partsOf(ws, ws.at(d))[0]);
    for (std::int32_t j = 0; j < n; ++j) {
        const std::int32_t p = at[static_cast<std::uint64_t>(j)];
        char* to = out + static_cast<std::ptrdiff_t>(j) * elementStride(type);
        if (p >= entries) {
            writeKeyNull(fill, type, to);
        } else if (type != keys.type) {  // Boolean keys widened to hold a null
            std::memcpy(to, k + static_cast<std::ptrdiff_t>(p) * stride, 4);
        } else {
            std::memcpy(to, k + static_cast<std::ptrdiff_t>(p) * stride, static_cast<std::size_t>(stride));
        }
    }
    return kOk;
}

namespace {

// Appends the key of row i of `src` as rowKey gives it for a row of table
// column `col`, so that equal cells give equal keys. `src` is a column of
// another table, or a dictionary's values (simple, or a General list of
// one value per entry). A cell no row of col can equal gets a key of its
// own.
void cellKey(const values::Workspace& ws, const ValueDescriptor& col, const ValueDescriptor& src, std::int64_t i,
             std::string& out) {
    const ValueDescriptor* item = src.type == kGeneral ? &ws.elems<ValueDescriptor>(src)[i] : nullptr;
    if (isStringColumn(col)) {
        const std::int64_t width = values::dimension(ws, col, 1);
        std::string text;
        if (isStringColumn(src)) {
            const std::int64_t w = values::dimension(ws, src, 1);
            text.assign(ws.elems<char>(src) + i * w, static_cast<std::size_t>(w));
        } else if (src.type == kChar) {
            text.assign(1, ws.elems<char>(src)[i]);
        } else if (item && item->type == kChar && item->rank <= 1 && item->count > 0) {
            text.assign(ws.elems<char>(*item), static_cast<std::size_t>(item->count));
        } else if (!(item && item->type == kChar && item->rank <= 1)) {
            out.push_back('?');
            return;
        }
        if (static_cast<std::int64_t>(text.size()) > width) {
            if (text.find_first_not_of(' ', static_cast<std::size_t>(width)) != std::string::npos) {
                out.push_back('?');
                return;
            }
        }
        text.resize(static_cast<std::size_t>(width), ' ');
        out.push_back('m');
        out.append(text);
        return;
    }
    if (col.type == kGeneral) {
        if (item) {
            valueKey(ws, *item, out);
        } else if (isInline(src.type, 0, 1)) {
            ValueDescriptor s;
            s.type = src.type;
            s.count = 1;
            std::memcpy(&s.shape0, ws.elems<char>(src) + i * elementStride(src.type),
                        static_cast<std::size_t>(elementStride(src.type)));
            valueKey(ws, s, out);
        } else {
            out.push_back('?');
        }
        return;
    }
    if (item) {
        const bool scalar = item->count == 1 && item->rank <= 1 && item->type != kGeneral && item->type < kDictionary;
        if (scalar && !isStringColumn(*item)) {
            rowKey(ws, *item, 0, out);
        } else {
            out.push_back('?');
        }
        return;
    }
    if (isStringColumn(src) || src.type >= kDictionary) {
        out.push_back('?');
        return;
    }
    rowKey(ws, src, i, out);
}

}  // namespace

Rc rowOfRecord(values::Context& cx, int result, ValueRef tref, ValueRef rref, int origin) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& t = ws.at(tref);
    const ValueDescriptor& r = ws.at(rref);
    if (!isTable(t)) return kDomainError;
    const bool record = isPlainDictionary(r);
    if (!record && !isTable(r)) return kDomainError;
    const ValueDescriptor& names = record ? partsOf(ws, r)[0] : tableNames(ws, r);
    if (names.type != kSymbol) return kDomainError;
    const int width = tableWidth(ws, t);
    if (names.count != width) return kDomainError;
    // Where each of t's columns is found in r.
    std::vector<int> from(static_cast<std::size_t>(width));
    for (int c = 0; c < width; ++c) {
        const std::int32_t* rn = ws.elems<std::int32_t>(names);
        const std::int32_t* found = std::find(rn, rn + names.count, columnName(ws, t, c));
        if (found == rn + names.count) return kDomainError;
        from[static_cast<std::size_t>(c)] = static_cast<int>(found - rn);
    }
    const std::int32_t height = tableRows(ws, t);
    const std::int32_t n = record ? 1 : tableRows(ws, r);
    WorkTable<std::int32_t> at;
    WOX_TRY(at.allocate(ws.caps, static_cast<std::uint64_t>(n)));
    {
        const ValueDescriptor* cols = tableColumns(ws, t);
        const RowIndex index(ws, cols, width, height);
        std::string key;
        for (std::int32_t j = 0; j < n; ++j) {
            key.clear();
            for (int c = 0; c < width; ++c) {
                const int s = from[static_cast<std::size_t>(c)];
                if (record) {
                    cellKey(ws, cols[c], partsOf(ws, r)[1], s, key);
                } else {
                    cellKey(ws, cols[c], tableColumns(ws, r)[s], j, key);
                }
            }
            const std::int32_t row = index.find(key);
            at[static_cast<std::uint64_t>(j)] = (row < 0 ? height : row) + origin;
        }
    }
    char* out;
    WOX_TRY(values::makeResult(ws, result, kInteger, &n, record ? 0 : 1, &out));
    if (n > 0) std::memcpy(out, at.data(), 4 * static_cast<std::size_t>(n));
    return kOk;
}

void elementsThroughDomain(const values::Workspace& ws, const ValueDescriptor& e, std::int32_t* type,
                           std::vector<std::uint64_t>& out) {
    const types::Domain dom = types::currentDomain(ws, e);
    const bool within = dom.column != nullptr && types::allWithin(ws, e, dom.length);
    *type = within ? dom.column->type : kInteger;
    const int stride = elementStride(*type);
    out.assign((static_cast<std::size_t>(e.count) * static_cast<std::size_t>(stride) + 7) / 8 + 1, 0);
    if (e.count == 0) return;
    const std::int32_t* at = types::positionsOf(ws, e);
    auto* to = reinterpret_cast<char*>(out.data());
    if (!within) {
        std::memcpy(to, at, 4 * static_cast<std::size_t>(e.count));
        return;
    }
    const char* from = ws.elems<char>(*dom.column);
    for (std::int32_t j = 0; j < e.count; ++j)
        std::memcpy(to + static_cast<std::ptrdiff_t>(j) * stride, from + static_cast<std::ptrdiff_t>(at[j]) * stride,
                    static_cast<std::size_t>(stride));
}

}  // namespace wox::primitives
