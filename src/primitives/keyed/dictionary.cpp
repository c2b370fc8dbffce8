// Making dictionaries and keyed tables (x:y), and flip between tables and
// dictionaries of columns.
#include <cstring>
#include <vector>

#include "primitives/keyed/keyed.h"
#include "primitives/keyed/keyed_layout.h"
#include "primitives/keyed/table_columns.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// A dictionary part is a vector: a scalar becomes a one-element one.
ValueDescriptor asVector(ValueDescriptor d) {
    if (d.rank == 0) d.rank = 1;
    if (!isInline(d)) d.shape0 = d.count;
    return d;
}

Rc keyedTable(values::Context& cx, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    if (tableRows(ws, ws.at(left)) != tableRows(ws, ws.at(right))) return kMismatch;
    if (hasDuplicateRows(ws, ws.at(left))) return kUniqueRecordForKeys;
    StackBuilder b(ws);
    b.need(ws.at(left));
    b.need(ws.at(right));
    b.needBytes(64);
    WOX_TRY(b.reserve());
    const ValueDescriptor keys = b.copy(ws.at(left));
    const ValueDescriptor values = b.copy(ws.at(right));
    ws.var(result) = b.pair(kDictionary, kKeyedTable, keys, values);
    return kOk;
}

}  // namespace

Rc makeDictionary(values::Context& cx, int, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& l = ws.at(left);
    const ValueDescriptor& r = ws.at(right);
    if (l.unset() || r.unset()) return kValueError;
    if (isTable(l) && isTable(r)) return keyedTable(cx, result, left, right);
    if (l.type > kTemporal || r.type > kTemporal) return kDomainError;
    if (l.rank > 1 || r.rank > 1) return kRankError;
    if (l.count != r.count || l.count == 0) return kLengthError;
    StackBuilder b(ws);
    b.need(l);
    b.need(r);
    b.needBytes(64);
    WOX_TRY(b.reserve());
    const ValueDescriptor keys = asVector(b.copy(ws.at(left)));
    const ValueDescriptor values = asVector(b.copy(ws.at(right)));
    ws.var(result) = b.pair(kDictionary, kPlainDictionary, keys, values);
    return kOk;
}

namespace {

// A table becomes the dictionary from its names to its columns.
Rc tableToDictionary(values::Context& cx, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    StackBuilder b(ws);
    b.need(ws.at(right));
    b.needBytes(64);
    WOX_TRY(b.reserve());
    const ValueDescriptor& t = ws.at(right);
    const ValueDescriptor names = b.copy(tableNames(ws, t));
    ValueDescriptor columns = b.copy(partsOf(ws, t)[1]);
    columns.shape0 = columns.count;
    ws.var(result) = b.pair(kDictionary, kPlainDictionary, names, columns);
    return kOk;
}

// The names of a dictionary that flips: a Symbol vector, or a General
// vector holding one.
const ValueDescriptor* flipNames(const values::Workspace& ws, const ValueDescriptor& keys) {
    if (keys.type == kSymbol) return &keys;
    if (keys.type == kGeneral && keys.count == 1) {
        const ValueDescriptor& item = ws.elems<ValueDescriptor>(keys)[0];
        if (item.type == kSymbol) return &item;
    }
    return nullptr;
}

Rc dictionaryToTable(values::Context& cx, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    auto parts = [&] { return partsOf(ws, ws.at(right)); };
    // Keys wrapped in a General vector come with values wrapped alike: the
    // columns are the items of the values' one item.
    auto columnsPart = [&]() -> const ValueDescriptor* {
        if (parts()[0].type != kGeneral) return &parts()[1];
        const ValueDescriptor& v = parts()[1];
        return v.type == kGeneral && v.count == 1 ? &ws.elems<ValueDescriptor>(v)[0] : nullptr;
    };
    const ValueDescriptor* names = flipNames(ws, parts()[0]);
    if (names == nullptr) return kSymbolNameOnly;
    if (columnsPart() == nullptr || names->count != columnsPart()->count) return kLengthError;
    if (repeatsName(ws.elems<std::int32_t>(*names), names->count)) return kNoSameColumnName;
    std::int32_t rows = 0;
    std::vector<ValueDescriptor> values = valuesAsColumns(ws, *columnsPart());
    WOX_TRY(columnRows(ws, values.data(), static_cast<int>(values.size()), &rows));
    StackBuilder b(ws);
    b.need(*names);
    for (const ValueDescriptor& v : values) needColumn(b, v, rows);
    b.needBytes(tableFrame(values.size()));
    WOX_TRY(b.reserve());
    names = flipNames(ws, parts()[0]);
    values = valuesAsColumns(ws, *columnsPart());
    const ValueDescriptor nameCopy = b.copy(*names);
    std::vector<ValueDescriptor> columns;
    for (const ValueDescriptor& v : values) columns.push_back(buildColumn(b, v, rows));
    ws.var(result) = b.table(nameCopy, columns, rows);
    return kOk;
}

}  // namespace

Rc flip(values::Context& cx, int result, ValueRef right) {
    const ValueDescriptor& y = cx.ws.at(right);
    if (isTable(y)) return tableToDictionary(cx, result, right);
    if (isPlainDictionary(y)) return dictionaryToTable(cx, result, right);
    if (isDictionary(y)) return kSymbolNameOnly;
    return kDomainError;
}

}  // namespace wox::primitives
