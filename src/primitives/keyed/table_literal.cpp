// Table literals: ([]a:1 2;b:3 4), keyed ([k:1 2] v:3 4), and the table of
// variables ([] a; b). The translator hands over the column names and a list
// whose first item counts the key columns.
#include <vector>

#include "primitives/keyed/keyed.h"
#include "primitives/keyed/keyed_layout.h"
#include "primitives/keyed/table_columns.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

ValueDescriptor buildTable(StackBuilder& b, const std::int32_t* names, const ValueDescriptor* values, int n,
                           std::int32_t rows) {
    std::vector<ValueDescriptor> columns;
    columns.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) columns.push_back(buildColumn(b, values[i], rows));
    return b.table(b.symbols(names, n), columns, rows);
}

}  // namespace

Rc tableLiteral(values::Context& cx, int, int result, ValueRef names, ValueRef items) {
    values::Workspace& ws = cx.ws;
    const ValueDescriptor& nd = ws.at(names);
    const ValueDescriptor& list = ws.at(items);
    if (nd.type != kSymbol || list.type != kGeneral || list.count != nd.count + 1) return kDomainError;
    const int n = nd.count;
    auto values = [&] { return ws.elems<ValueDescriptor>(ws.at(items)) + 1; };
    const ValueDescriptor& keyCount = ws.elems<ValueDescriptor>(list)[0];
    const int keys = keyCount.type == kInteger && keyCount.count == 1 ? inlineInt(keyCount) : -1;
    if (keys < 0 || keys >= n) return kDomainError;
    const std::vector<std::int32_t> columnNames(ws.elems<std::int32_t>(nd), ws.elems<std::int32_t>(nd) + n);
    if (repeatsName(columnNames.data(), n)) return kNoSameColumnName;
    std::int32_t rows = 0;
    WOX_TRY(columnRows(ws, values(), n, &rows));
    StackBuilder b(ws);
    for (int i = 0; i < n; ++i) needColumn(b, values()[i], rows);
    b.needBytes(2 * tableFrame(static_cast<std::size_t>(n)) + 4 * static_cast<std::uint64_t>(n));
    WOX_TRY(b.reserve());
    if (keys == 0) {
        ws.var(result) = buildTable(b, columnNames.data(), values(), n, rows);
        return kOk;
    }
    const ValueDescriptor keyTable = buildTable(b, columnNames.data(), values(), keys, rows);
    if (hasDuplicateRows(ws, keyTable)) return kUniqueRecordForKeys;
    const ValueDescriptor valueTable = buildTable(b, columnNames.data() + keys, values() + keys, n - keys, rows);
    ws.var(result) = b.pair(kDictionary, kKeyedTable, keyTable, valueTable);
    return kOk;
}

}  // namespace wox::primitives
