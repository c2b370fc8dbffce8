#pragma once
// The layout of dictionaries, tables and keyed tables. Each is a value whose
// block holds two descriptors:
//   dictionary   (Dictionary, shape word 0 = 1): keys, values
//   keyed table  (Dictionary, shape word 0 = 2): key table, value table
//   table        (Table): column names (a Symbol vector), columns (a General
//                vector whose shape word 0 holds the row count)
#include <cstdint>
#include <cstdlib>

#include "values/value.h"
#include "values/workspace.h"

namespace wox {

inline constexpr std::int32_t kPlainDictionary = 1;
inline constexpr std::int32_t kKeyedTable = 2;

// The two descriptors, or null when d is no dictionary or table or its block
// cannot hold them. This is the one reader of the layout; values whose origin
// is not trusted (a domain reference, a path through foreign keys) test its
// answer.
inline const ValueDescriptor* descriptorPair(const values::Workspace& ws, const ValueDescriptor& d) {
    if ((d.type != kDictionary && d.type != kTable) || d.count != 2 ||
        d.blockSize < 2 * static_cast<std::int32_t>(sizeof(ValueDescriptor)))
        return nullptr;
    if (static_cast<std::uint64_t>(d.data) + 2 * sizeof(ValueDescriptor) > ws.region.size()) return nullptr;
    return reinterpret_cast<const ValueDescriptor*>(ws.base() + d.data);
}

// The two descriptors of a value already known to be a dictionary or table.
// Should it not hold them, the heap is broken: stopping is better than
// reading past the block.
inline const ValueDescriptor* partsOf(const values::Workspace& ws, const ValueDescriptor& d) {
    const ValueDescriptor* parts = descriptorPair(ws, d);
    if (!parts) std::abort();
    return parts;
}
inline bool isPair(const ValueDescriptor& d) { return d.count == 2 && d.rank >= 0; }
inline bool isTable(const ValueDescriptor& d) { return d.type == kTable && isPair(d); }
inline bool isDictionary(const ValueDescriptor& d) { return d.type == kDictionary && isPair(d); }
inline bool isKeyedTable(const ValueDescriptor& d) { return isDictionary(d) && d.shape0 == kKeyedTable; }
inline bool isPlainDictionary(const ValueDescriptor& d) { return isDictionary(d) && d.shape0 != kKeyedTable; }

// A table's column names and columns.
inline const ValueDescriptor& tableNames(const values::Workspace& ws, const ValueDescriptor& t) {
    return partsOf(ws, t)[0];
}
inline const ValueDescriptor* tableColumns(const values::Workspace& ws, const ValueDescriptor& t) {
    return ws.elems<ValueDescriptor>(partsOf(ws, t)[1]);
}
inline std::int32_t tableWidth(const values::Workspace& ws, const ValueDescriptor& t) {
    return partsOf(ws, t)[1].count;
}
// Symbol index of column c's name.
inline std::int32_t columnName(const values::Workspace& ws, const ValueDescriptor& t, int c) {
    return ws.elems<std::int32_t>(tableNames(ws, t))[c];
}
// Rows of a table (kept in its column list) or of a keyed table.
inline std::int32_t tableRows(const values::Workspace& ws, const ValueDescriptor& t) {
    if (isTable(t)) return partsOf(ws, t)[1].shape0;
    if (isKeyedTable(t)) return tableRows(ws, partsOf(ws, t)[0]);
    return 0;
}

}  // namespace wox
