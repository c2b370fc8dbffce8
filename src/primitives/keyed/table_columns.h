#pragma once
// Columns of a new table made from arbitrary values, as table literals and
// the flip of a dictionary make them: the row count is the length of the
// first value that is neither a scalar nor of length 1; such single values
// are repeated down every row; a character matrix is a column of strings,
// one per row.
#include <cstdint>
#include <vector>

#include "primitives/keyed/keyed_layout.h"

namespace wox::primitives {

// The row count of columns made from values[0..n); 200 when two lengths
// differ, 1 for a value of rank 2 or more other than a character matrix
// (or of a type no column can have).
Rc columnRows(const values::Workspace& ws, const ValueDescriptor* values, int n, std::int32_t* rows);

// Counts what buildColumn takes, before the builder reserves.
void needColumn(StackBuilder& b, const ValueDescriptor& v, std::int32_t rows);
// The column of `rows` rows made from v (which columnRows accepted).
ValueDescriptor buildColumn(StackBuilder& b, const ValueDescriptor& v, std::int32_t rows);

// The values of a General vector's items, or of a simple vector's
// elements, each as a value of its own: one value per column. An inline
// element is held in the descriptor; any other one points into v's block.
std::vector<ValueDescriptor> valuesAsColumns(const values::Workspace& ws, const ValueDescriptor& v);

// Whether a name occurs twice among names[0..n).
bool repeatsName(const std::int32_t* names, int n);

}  // namespace wox::primitives
