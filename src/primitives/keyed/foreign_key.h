#pragma once
// Foreign-key paths: a table's enumerated column leads, row by row, to a
// row of the keyed table that is its domain, and from there to any column
// of that keyed table. The query language reads paths of two names joined
// by a point through this.
#include <cstdint>

#include "values/context.h"

namespace wox::primitives {

// Into temporary slot `result`: for each row of `table` (a table or a
// keyed table), the element of column `referenced` of the keyed table that
// the row's enumerated column `column` points at. Columns are named by
// symbol index; the referenced one is sought among the key columns first,
// then the value columns. A name that is no column is 1; a column that is
// not an enumeration over a keyed table is 203 ("foreign key problem"); a
// position beyond the keyed table's rows is 25.
Rc foreignKeyPath(values::Context& cx, int result, ValueRef table, std::int32_t column, std::int32_t referenced);

// The same for an enumerated column already taken out of its table:
// e.referenced, as `t.s.c` reads once `t.s` is evaluated.
Rc enumerationMember(values::Context& cx, int result, ValueRef enumeration, std::int32_t referenced);

}  // namespace wox::primitives
