#pragma once
// Rows of table columns and dictionary parts: selecting them by position
// and finding them by key.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "primitives/keyed/keyed_layout.h"

namespace wox::primitives {

// Counts what takeRows takes.
void needRows(StackBuilder& b, const ValueDescriptor& column, const std::vector<std::int32_t>& rows);
// The rows of a column at the given positions (0-based, checked). With
// single, the one row itself: an element as a scalar, a string of a
// character matrix, an item of a General column.
ValueDescriptor takeRows(StackBuilder& b, const ValueDescriptor& column, const std::vector<std::int32_t>& rows,
                         bool single);

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
