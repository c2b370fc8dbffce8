#pragma once
// Rows of table columns and dictionary parts: selecting them by position
// and finding them by key.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "primitives/keyed/keyed_layout.h"
#include "values/rc.h"

namespace wox::primitives {

// Counts what takeRows takes.
void needRows(StackBuilder& b, const ValueDescriptor& column, const std::vector<std::int32_t>& rows);
// The rows of a column at the given positions (0-based, checked). With
// single, the one row itself: an element as a scalar, a string of a
// character matrix, an item of a General column.
ValueDescriptor takeRows(StackBuilder& b, const ValueDescriptor& column, const std::vector<std::int32_t>& rows,
                         bool single);

// Row positions from an index value: Boolean or Integer (else 7), each
// within the table counted from io (else 25), made 0-based. An omitted
// index adds none (the caller takes every row); single tells a scalar.
Rc rowPositions(const values::Workspace& ws, ValueRef ref, std::int32_t rows, int io,
                std::vector<std::int32_t>& out, bool* single);

// The lookup keys of an index into key columns[0..width): a single key
// (one value per column) or several (one vector per column), each built as
// rowKey builds a row's. A character vector looks up one string of a
// character-matrix column.
Rc lookupKeys(const values::Workspace& ws, const ValueDescriptor* columns, int width, ValueRef index,
              std::vector<std::string>& keys, bool* single);

// The rows of a set of key columns by their keys (the first of equal rows).
class RowIndex {
public:
    RowIndex(const values::Workspace& ws, const ValueDescriptor* columns, int width, std::int32_t rows);
    // The row whose key is `key` (built with rowKey over the same columns), or -1.
    std::int32_t find(const std::string& key) const;

private:
    std::unordered_map<std::string, std::int32_t> rows_;
};

}  // namespace wox::primitives
