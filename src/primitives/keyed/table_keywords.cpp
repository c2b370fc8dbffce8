// The keyword functions of dictionaries and tables: key, value, cols, keys,
// meta, fkeys and xkey.
#include <vector>

#include "primitives/keyed/keyed.h"
#include "primitives/keyed/keyed_layout.h"
#include "primitives/keyed/enumerations.h"
#include "types/enumeration.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

// Type letters of meta, by type code; any other type is "Q".
char typeLetter(std::int32_t type) {
    switch (type) {
        case kBoolean: return 'B';
        case kInteger: return 'I';
        case kFloat: return 'E';
        case kChar: return 'C';
        case kSymbol: return 'S';
        case kGeneral: return 'L';
        case kTemporal: return 'D';
        default: return 'Q';
    }
}

// The name of an enumerated column's domain (the empty symbol for an empty
// column, which names none).
std::int32_t domainName(const values::Workspace& ws, const ValueDescriptor& column) {
    types::EnumerationHeader h;
    return types::readHeader(ws, column, &h) ? h.name : 0;
}

// The letter meta shows for a column: an enumerated column shows the type of
// its domain's elements (a keyed table's key column; "L" for a general list).
char columnLetter(const values::Workspace& ws, const ValueDescriptor& column) {
    if (column.type != kEnumeration) return typeLetter(column.type);
    const types::Domain d = types::currentDomain(ws, column);
    if (d.column != nullptr) return typeLetter(d.column->type);
    // A variable that no longer holds a domain: a general list still shows L.
    types::EnumerationHeader h;
    const int slot = types::readHeader(ws, column, &h) ? types::domainSlot(ws, h) : -1;
    if (slot >= 0 && ws.at(varRef(slot)).type == kGeneral && ws.at(varRef(slot)).count > 1) return typeLetter(kGeneral);
    return typeLetter(kEnumeration);
}

Rc copyPart(values::Context& cx, int result, ValueRef right, int part) {
    return values::copyItemToTemp(cx.ws, result, right, part);
}

}  // namespace

Rc keyOf(values::Context& cx, int result, ValueRef right) {
    if (!isDictionary(cx.ws.at(right))) return kTypeError;
    return copyPart(cx, result, right, 0);
}

Rc valueOf(values::Context& cx, int result, ValueRef right) {
    const ValueDescriptor& y = cx.ws.at(right);
    if (y.type == kEnumeration) return enumerationValues(cx, result, right);
    if (!isDictionary(y)) return kTypeError;
    return copyPart(cx, result, right, 1);
}

Rc columnsOf(values::Context& cx, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    std::vector<ColumnSource> sources;
    columnSources(ws, ws.at(right), sources);
    if (!isTable(ws.at(right)) && !isKeyedTable(ws.at(right))) {
        setEmptyVector(ws.var(result));
        return kOk;
    }
    std::vector<std::int32_t> names;
    for (const ColumnSource& s : sources) names.push_back(s.name);
    StackBuilder b(ws);
    b.needBytes(4 * names.size());
    WOX_TRY(b.reserve());
    ws.var(result) = b.symbols(names.data(), static_cast<int>(names.size()));
    return kOk;
}

Rc keyColumnsOf(values::Context& cx, int result, ValueRef right) {
    if (!isKeyedTable(cx.ws.at(right))) {
        setEmptyVector(cx.ws.var(result));
        return kOk;
    }
    StackBuilder b(cx.ws);
    b.need(tableNames(cx.ws, partsOf(cx.ws, cx.ws.at(right))[0]));
    WOX_TRY(b.reserve());
    ValueDescriptor names = b.copy(tableNames(cx.ws, partsOf(cx.ws, cx.ws.at(right))[0]));
    if (names.rank == 0) names.rank = 1;
    cx.ws.var(result) = names;
    return kOk;
}

Rc metaOf(values::Context& cx, int result, ValueRef right, const MetaNames& names) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& y = ws.at(right);
    if (!isTable(y) && !isKeyedTable(y)) {
        setEmptyVector(ws.var(result));
        return kOk;
    }
    std::vector<ColumnSource> sources;
    columnSources(ws, y, sources);
    const auto n = static_cast<std::int32_t>(sources.size());
    std::vector<std::int32_t> columnNames, domains;
    std::string letters;
    for (const ColumnSource& s : sources) {
        columnNames.push_back(s.name);
        letters.push_back(columnLetter(ws, *s.column));
        domains.push_back(s.column->type == kEnumeration ? domainName(ws, *s.column) : 0);
    }
    StackBuilder b(ws);
    b.needBytes(3 * static_cast<std::uint64_t>(n) * 4 + 4 * 64 + 2 * tableFrame(3));
    WOX_TRY(b.reserve());
    ValueDescriptor types = b.vector(kChar, n);
    ValueDescriptor blanks = b.vector(kChar, n);
    char* t = ws.elems<char>(types);
    char* a = ws.elems<char>(blanks);
    for (std::int32_t i = 0; i < n; ++i) {
        t[i] = letters[static_cast<std::size_t>(i)];
        a[i] = ' ';
    }
    const ValueDescriptor keyTable = b.table(b.symbols(&names.column, 1), {b.symbols(columnNames.data(), n)}, n);
    const std::int32_t valueNames[] = {names.type, names.foreignKey, names.attribute};
    const ValueDescriptor valueTable =
        b.table(b.symbols(valueNames, 3), {types, b.symbols(domains.data(), n), blanks}, n);
    ws.var(result) = b.pair(kDictionary, kKeyedTable, keyTable, valueTable);
    return kOk;
}

Rc foreignKeysOf(values::Context& cx, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    std::vector<ColumnSource> sources;
    columnSources(ws, ws.at(right), sources);
    std::vector<std::int32_t> columns, domains;
    for (const ColumnSource& s : sources) {
        if (s.column->type != kEnumeration) continue;
        columns.push_back(s.name);
        domains.push_back(domainName(ws, *s.column));
    }
    if (columns.empty()) {
        setEmptyVector(ws.var(result));
        return kOk;
    }
    const auto n = static_cast<int>(columns.size());
    StackBuilder b(ws);
    b.needBytes(8 * static_cast<std::uint64_t>(n) + 128);
    WOX_TRY(b.reserve());
    ws.var(result) = b.pair(kDictionary, kPlainDictionary, b.symbols(columns.data(), n), b.symbols(domains.data(), n));
    return kOk;
}

namespace {

// x xkey t: the named columns, in the order named, become the key table.
Rc keyColumns(values::Context& cx, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& x = ws.at(left);
    const std::vector<std::int32_t> wanted(ws.elems<std::int32_t>(x), ws.elems<std::int32_t>(x) + x.count);
    if (wanted.empty()) return kDomainError;
    auto split = [&](std::vector<ColumnSource>& keys, std::vector<ColumnSource>& values) -> Rc {
        const ValueDescriptor& t = ws.at(right);
        std::vector<ColumnSource> all;
        columnSources(ws, t, all);
        std::vector<bool> keyed(all.size(), false);
        for (std::int32_t name : wanted) {
            const int c = findColumn(ws, t, name);
            if (c < 0 || keyed[static_cast<std::size_t>(c)]) return kDomainError;
            keyed[static_cast<std::size_t>(c)] = true;
            keys.push_back(all[static_cast<std::size_t>(c)]);
        }
        for (std::size_t c = 0; c < all.size(); ++c)
            if (!keyed[c]) values.push_back(all[c]);
        return kOk;
    };
    std::vector<ColumnSource> keys, values;
    WOX_TRY(split(keys, values));
    const std::int32_t rows = tableRows(ws, ws.at(right));
    StackBuilder b(ws);
    needTable(b, keys);
    needTable(b, values);
    b.needBytes(64);
    WOX_TRY(b.reserve());
    keys.clear();
    values.clear();
    WOX_TRY(split(keys, values));
    const ValueDescriptor keyTable = tableOf(b, keys, rows);
    if (hasDuplicateRows(ws, keyTable)) return kUniqueRecordForKeys;
    ws.var(result) = b.pair(kDictionary, kKeyedTable, keyTable, tableOf(b, values, rows));
    return kOk;
}

// () xkey kt: the plain table of the key columns followed by the value
// columns.
Rc unkey(values::Context& cx, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    std::vector<ColumnSource> sources;
    columnSources(ws, ws.at(right), sources);
    const std::int32_t rows = tableRows(ws, ws.at(right));
    StackBuilder b(ws);
    needTable(b, sources);
    WOX_TRY(b.reserve());
    sources.clear();
    columnSources(ws, ws.at(right), sources);
    ws.var(result) = tableOf(b, sources, rows);
    return kOk;
}

}  // namespace

Rc xkey(values::Context& cx, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& x = ws.at(left);
    const ValueDescriptor& y = ws.at(right);
    const bool names = x.type == kSymbol && x.rank <= 1;
    const bool none = x.type == kGeneral && x.count == 0;
    if (!names && !none) return kDomainError;
    if (names && isTable(y)) return keyColumns(cx, result, left, right);
    if (none && isKeyedTable(y)) return unkey(cx, result, right);
    if (none && isTable(y)) return values::copyToTemp(ws, result, right);
    setEmptyVector(ws.var(result));
    return kOk;
}

}  // namespace wox::primitives
