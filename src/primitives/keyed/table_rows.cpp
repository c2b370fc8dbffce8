// Indexing tables by rows and columns, and finding rows of keyed tables and
// entries of dictionaries by key.
#include "primitives/keyed/table_rows.h"

#include <algorithm>
#include <cstring>

#include "primitives/keyed/foreign_key.h"
#include "primitives/indexing.h"
#include "primitives/keyed/keyed.h"
#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::primitives {

void needRows(StackBuilder& b, const ValueDescriptor& column, const std::vector<std::int32_t>& rows) {
    const auto n = static_cast<std::int64_t>(rows.size());
    if (isStringColumn(column)) {
        b.needBytes(static_cast<std::uint64_t>(n * values::dimension(b.ws(), column, 1) + 1));
        return;
    }
    b.needBytes(static_cast<std::uint64_t>(elementSize(column.type, n)));
    if (column.type == kGeneral) {
        const ValueDescriptor* items = b.ws().elems<ValueDescriptor>(column);
        for (std::int32_t r : rows) b.need(items[r]);
    }
}

ValueDescriptor takeRows(StackBuilder& b, const ValueDescriptor& column, const std::vector<std::int32_t>& rows,
                         bool single) {
    values::Workspace& ws = b.ws();
    const auto n = static_cast<std::int32_t>(rows.size());
    if (isStringColumn(column)) {
        const std::int32_t width = values::dimension(ws, column, 1);
        ValueDescriptor v;
        if (single) {
            v = b.vector(kChar, width);
        } else {
            v.type = kChar;
            v.rank = 2;
            v.count = n * width;
            v.shape0 = n;
            v.shape1 = width;
            if (v.count > 0) {
                v.data = b.block(kChar, v.count);
                v.blockSize = static_cast<std::int32_t>(elementSize(kChar, v.count));
            }
        }
        char* out = ws.elems<char>(v);
        const char* in = ws.elems<char>(column);
        for (std::int32_t i = 0; i < n && out != nullptr; ++i)
            std::memcpy(out + static_cast<std::int64_t>(i) * width, in + static_cast<std::int64_t>(rows[i]) * width,
                        static_cast<std::size_t>(width));
        return v;
    }
    if (column.type == kGeneral && single) return b.copy(ws.elems<ValueDescriptor>(column)[rows[0]]);
    ValueDescriptor v = b.vector(column.type, n);
    if (single) v.rank = 0;
    if (n == 0) return v;
    char* out = ws.elems<char>(v);
    const char* in = ws.elems<char>(column);
    if (column.type == kEnumeration) {
        std::memcpy(out, in, kEnumerationHead);
        out += kEnumerationHead;
        in += kEnumerationHead;
    }
    const int stride = elementStride(column.type);
    for (std::int32_t i = 0; i < n; ++i)
        std::memcpy(out + static_cast<std::int64_t>(i) * stride, in + static_cast<std::int64_t>(rows[i]) * stride,
                    static_cast<std::size_t>(stride));
    if (column.type == kGeneral) {
        for (std::int32_t i = 0; i < n; ++i)
            values::copyTreeInto(ws, reinterpret_cast<ValueDescriptor*>(ws.base() + v.data + 32u * i), 0, true);
    }
    return v;
}

RowIndex::RowIndex(const values::Workspace& ws, const ValueDescriptor* columns, int width, std::int32_t rows) {
    rows_.reserve(static_cast<std::size_t>(rows));
    std::string key;
    for (std::int32_t r = 0; r < rows; ++r) {
        key.clear();
        for (int c = 0; c < width; ++c) rowKey(ws, columns[c], r, key);
        rows_.emplace(key, r);
    }
}

std::int32_t RowIndex::find(const std::string& key) const {
    auto it = rows_.find(key);
    return it == rows_.end() ? -1 : it->second;
}

Rc rowPositions(const values::Workspace& ws, ValueRef ref, std::int32_t rows, int io,
                std::vector<std::int32_t>& out, bool* single) {
    if (ref == kOmittedIndex) return kOk;  // every row, which the caller copies whole
    const ValueDescriptor& d = ws.at(ref);
    if (d.unset()) return kValueError;
    if (d.type != kBoolean && d.type != kInteger) return kTypeError;
    if (d.rank > 1) return kRankError;
    *single = d.rank == 0;
    const std::int32_t* e = ws.elems<std::int32_t>(d);
    for (std::int32_t i = 0; i < d.count; ++i) {
        const std::int64_t r = static_cast<std::int64_t>(e[i]) - io;
        if (r < 0 || r >= rows) return kIndexError;
        out.push_back(static_cast<std::int32_t>(r));
    }
    return kOk;
}

Rc lookupKeys(const values::Workspace& ws, const ValueDescriptor* columns, int width, ValueRef index,
              std::vector<std::string>& keys, bool* single) {
    const ValueDescriptor& k = ws.at(index);
    if (k.unset()) return kValueError;
    std::vector<ValueDescriptor> parts;
    if (width == 1 && (columns[0].type == kGeneral || !(k.type == kGeneral && k.rank == 1))) {
        parts.push_back(k);
    } else {
        if (k.type != kGeneral || k.count != width) return kLengthError;
        for (int c = 0; c < width; ++c) parts.push_back(ws.elems<ValueDescriptor>(k)[c]);
    }
    auto isString = [&](int c) { return isStringColumn(columns[c]) && parts[c].type == kChar && parts[c].rank <= 1; };
    auto lengthOf = [&](int c) -> std::int64_t {
        if (isString(c) || (columns[c].type == kGeneral && width > 1)) return -1;
        if (columns[c].type == kGeneral) return parts[c].type == kGeneral && parts[c].rank == 1 ? parts[c].count : -1;
        return parts[c].rank == 0 ? -1 : parts[c].count;
    };
    std::int64_t n = -1;
    for (int c = 0; c < width; ++c) {
        const std::int64_t len = lengthOf(c);
        if (len < 0) continue;
        if (n >= 0 && len != n) return kLengthError;
        n = len;
    }
    *single = n < 0;
    const std::int64_t count = *single ? 1 : n;
    keys.assign(static_cast<std::size_t>(count), std::string());
    for (int c = 0; c < width; ++c) {
        const ValueDescriptor& p = parts[c];
        for (std::int64_t j = 0; j < count; ++j) {
            std::string& key = keys[static_cast<std::size_t>(j)];
            if (isString(c)) {
                const std::int32_t w = values::dimension(ws, columns[c], 1);
                key.push_back('m');
                std::string text(ws.elems<char>(p) ? ws.elems<char>(p) : "", static_cast<std::size_t>(p.count));
                text.resize(static_cast<std::size_t>(std::max<std::int32_t>(w, p.count)), ' ');
                key.append(text);
            } else if (columns[c].type == kGeneral) {
                // One key is the value itself, or the item of an enclosed one.
                const bool items = p.type == kGeneral && (!*single || p.rank == 0) && p.count > 0;
                valueKey(ws, items ? ws.elems<ValueDescriptor>(p)[*single ? 0 : j] : p, key);
            } else if (p.type == kGeneral || p.type > kTemporal) {
                key.push_back('?');
            } else {
                rowKey(ws, p, p.count == 1 ? 0 : j, key);
            }
        }
    }
    return kOk;
}

namespace {

// One row as a dictionary from column names to the row's values: a simple
// vector when every value is a simple scalar of one type, else a General
// vector. The builder holds room for the names' copy.
ValueDescriptor rowDictionary(StackBuilder& b, const std::vector<ValueDescriptor>& parts, const ValueDescriptor& columnNames) {
    values::Workspace& ws = b.ws();
    const auto width = static_cast<std::int32_t>(parts.size());
    bool simple = width > 0;
    for (const ValueDescriptor& p : parts) simple = simple && isInline(p) && p.rank == 0 && p.type == parts[0].type;
    ValueDescriptor values = b.vector(simple ? parts[0].type : kGeneral, width);
    char* out = ws.elems<char>(values);
    for (std::int32_t c = 0; c < width; ++c) {
        if (simple) {
            std::memcpy(out + c * elementStride(values.type), &parts[static_cast<std::size_t>(c)].shape0,
                        static_cast<std::size_t>(elementStride(values.type)));
        } else {
            std::memcpy(out + 32 * c, &parts[static_cast<std::size_t>(c)], 32);
        }
    }
    ValueDescriptor names = b.copy(columnNames);
    if (names.rank == 0) names.rank = 1;
    return b.pair(kDictionary, kPlainDictionary, names, values);
}

// x[rows;cols] of a table; either may be omitted. One column name gives that
// column's rows, several a General vector of them; all columns a table, or
// a dictionary for one row (a scalar index, x[i;] or x[i]).
Rc indexTable(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices, int io) {
    values::Workspace& ws = cx.ws;
    if (indices.size() > 2) return kRankError;
    ValueRef rowIndex = indices[0];
    ValueRef columnIndex = indices.size() == 2 ? indices[1] : kOmittedIndex;
    if (indices.size() == 1 && rowIndex != kOmittedIndex && ws.at(rowIndex).type == kSymbol)
        std::swap(rowIndex, columnIndex);
    const std::int32_t height = tableRows(ws, ws.at(x));
    std::vector<std::int32_t> rows;
    bool singleRow = false;
    WOX_TRY(rowPositions(ws, rowIndex, height, io, rows, &singleRow));
    std::vector<int> columns;
    bool oneColumn = false;
    if (columnIndex == kOmittedIndex) {
        for (int c = 0; c < tableWidth(ws, ws.at(x)); ++c) columns.push_back(c);
    } else {
        const ValueDescriptor& names = ws.at(columnIndex);
        if (names.unset()) return kValueError;
        if (names.type != kSymbol) return kTypeError;
        if (names.rank > 1) return kRankError;
        oneColumn = names.rank == 0;
        for (std::int32_t i = 0; i < names.count; ++i) {
            const int c = findColumn(ws, ws.at(x), ws.elems<std::int32_t>(names)[i]);
            if (c < 0) return kDomainError;
            columns.push_back(c);
        }
    }
    // All rows in order: the columns are copied whole.
    const bool allRows = rowIndex == kOmittedIndex;
    StackBuilder b(ws);
    for (int c : columns) {
        const ValueDescriptor& col = tableColumns(ws, ws.at(x))[c];
        if (allRows) {
            b.need(col);
        } else {
            needRows(b, col, rows);
        }
    }
    b.needBytes(tableFrame(columns.size()));
    // One row of every column is a dictionary, as a keyed table's row is.
    const bool rowOnly = singleRow && columnIndex == kOmittedIndex;
    if (rowOnly) b.need(tableNames(ws, ws.at(x)));
    WOX_TRY(b.reserve());
    const ValueDescriptor& t = ws.at(x);
    const ValueDescriptor* cols = tableColumns(ws, t);
    auto take = [&](const ValueDescriptor& col, bool single) { return allRows ? b.copy(col) : takeRows(b, col, rows, single); };
    if (oneColumn) {
        ws.var(result) = take(cols[columns[0]], singleRow);
        return kOk;
    }
    std::vector<ValueDescriptor> parts;
    std::vector<std::int32_t> names;
    for (int c : columns) {
        parts.push_back(take(cols[c], singleRow));
        names.push_back(columnName(ws, t, c));
    }
    if (rowOnly) {
        ws.var(result) = rowDictionary(b, parts, tableNames(ws, ws.at(x)));
        return kOk;
    }
    if (columnIndex == kOmittedIndex) {
        const std::int32_t count = allRows ? tableRows(ws, t) : static_cast<std::int32_t>(rows.size());
        ws.var(result) = b.table(b.symbols(names.data(), static_cast<int>(names.size())), parts, count);
        return kOk;
    }
    ValueDescriptor list = b.vector(kGeneral, static_cast<std::int32_t>(parts.size()));
    if (!parts.empty()) std::memcpy(ws.base() + list.data, parts.data(), parts.size() * sizeof(ValueDescriptor));
    ws.var(result) = list;
    return kOk;
}

Rc findRows(const values::Workspace& ws, const ValueDescriptor* columns, int width, std::int32_t height,
            ValueRef index, std::vector<std::int32_t>& rows, bool* single) {
    std::vector<std::string> keys;
    WOX_TRY(lookupKeys(ws, columns, width, index, keys, single));
    const RowIndex found(ws, columns, width, height);
    for (const std::string& key : keys) {
        const std::int32_t r = found.find(key);
        if (r < 0) return *single ? kRecordNotFound : kKeyNotFound;
        rows.push_back(r);
    }
    return kOk;
}

// kt[k]: the value row of a key as a dictionary from column names to
// values, or the value rows of several keys as a table.
Rc lookupKeyed(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices) {
    values::Workspace& ws = cx.ws;
    if (indices.size() != 1 || indices[0] == kOmittedIndex) return kRankError;
    auto keyTable = [&]() -> const ValueDescriptor& { return partsOf(ws, ws.at(x))[0]; };
    auto valueTable = [&]() -> const ValueDescriptor& { return partsOf(ws, ws.at(x))[1]; };
    std::vector<std::int32_t> rows;
    bool single = false;
    WOX_TRY(findRows(ws, tableColumns(ws, keyTable()), tableWidth(ws, keyTable()), tableRows(ws, keyTable()),
                     indices[0], rows, &single));
    const int width = tableWidth(ws, valueTable());
    StackBuilder b(ws);
    for (int c = 0; c < width; ++c) needRows(b, tableColumns(ws, valueTable())[c], rows);
    b.need(tableNames(ws, valueTable()));
    b.needBytes(tableFrame(static_cast<std::size_t>(width)));
    WOX_TRY(b.reserve());
    const ValueDescriptor* cols = tableColumns(ws, valueTable());
    std::vector<ValueDescriptor> parts;
    for (int c = 0; c < width; ++c) parts.push_back(takeRows(b, cols[c], rows, single));
    if (!single) {
        std::vector<std::int32_t> names;
        for (int c = 0; c < width; ++c) names.push_back(columnName(ws, valueTable(), c));
        ws.var(result) = b.table(b.symbols(names.data(), width), parts, static_cast<std::int32_t>(rows.size()));
        return kOk;
    }
    ws.var(result) = rowDictionary(b, parts, tableNames(ws, valueTable()));
    return kOk;
}

// d[k]: the value of a key, or the values of several keys.
Rc lookupDictionary(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices) {
    values::Workspace& ws = cx.ws;
    if (indices.size() != 1 || indices[0] == kOmittedIndex) return kRankError;
    auto parts = [&] { return partsOf(ws, ws.at(x)); };
    std::vector<std::int32_t> rows;
    bool single = false;
    WOX_TRY(findRows(ws, &parts()[0], 1, parts()[0].count, indices[0], rows, &single));
    StackBuilder b(ws);
    needRows(b, parts()[1], rows);
    WOX_TRY(b.reserve());
    ws.var(result) = takeRows(b, parts()[1], rows, single);
    return kOk;
}

}  // namespace

Rc member(values::Context& cx, int, int result, ValueRef x, ValueRef name) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& d = ws.at(x);
    if (d.unset() || ws.at(name).unset()) return kValueError;
    if (ws.at(name).type != kSymbol || ws.at(name).count < 1 || ws.at(name).count > 2) return kDomainError;
    if (ws.at(name).count == 2) {  // a foreign-key path: column, then referenced column
        const std::int32_t* path = ws.elems<std::int32_t>(ws.at(name));
        return foreignKeyPath(cx, result, x, path[0], path[1]);
    }
    if (isPlainDictionary(d)) return lookupDictionary(cx, result, x, std::span<const ValueRef>(&name, 1));
    const std::int32_t wanted = ws.elems<std::int32_t>(ws.at(name))[0];
    if (d.type == kEnumeration) return enumerationMember(cx, result, x, wanted);
    // The part that holds the column, and its place there.
    auto locate = [&](int* part, int* column) {
        const ValueDescriptor& v = ws.at(x);
        *part = -1;
        if (isTable(v)) {
            *column = findColumn(ws, v, wanted);
            return;
        }
        for (int p = 0; p < 2; ++p) {
            *column = findColumn(ws, partsOf(ws, v)[p], wanted);
            if (*column >= 0) {
                *part = p;
                return;
            }
        }
    };
    if (!isTable(d) && !isKeyedTable(d)) return kDomainError;
    int part = -1, column = -1;
    locate(&part, &column);
    if (column < 0) return kDomainError;
    auto columnOf = [&]() -> const ValueDescriptor& {
        const ValueDescriptor& v = ws.at(x);
        return tableColumns(ws, part < 0 ? v : partsOf(ws, v)[part])[column];
    };
    StackBuilder b(ws);
    b.need(columnOf());
    WOX_TRY(b.reserve());
    ws.var(result) = b.copy(columnOf());
    return kOk;
}

Rc indexKeyed(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices, int io) {
    const ValueDescriptor& d = cx.ws.at(x);
    if (indices.empty()) return kRankError;
    if (isTable(d)) return indexTable(cx, result, x, indices, io);
    if (isKeyedTable(d)) return lookupKeyed(cx, result, x, indices);
    if (isDictionary(d)) return lookupDictionary(cx, result, x, indices);
    return kDomainError;
}

}  // namespace wox::primitives
