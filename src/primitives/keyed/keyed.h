#pragma once
// Dictionaries, tables and keyed tables: making them, turning them into each
// other, and the keyword functions that inspect them. Each routine writes its
// result into the temporary slot `result` and returns 0 or a message number.
#include <cstdint>
#include <span>

#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// x:y — a dictionary from keys and values, or a keyed table from a key table
// and a value table. A single symbol on the left makes an enumeration.
Rc makeDictionary(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// &. of a dictionary with symbol keys (a table) or of a table (a dictionary
// from column names to columns).
Rc flip(values::Context& cx, int result, ValueRef right);

// A table literal: names is the Symbol vector of column names, items a
// General vector whose first item is the number of key columns and whose
// others are the columns' values in written order.
Rc tableLiteral(values::Context& cx, int code, int result, ValueRef names, ValueRef items);

// The keyword functions. The symbols meta names its columns with are
// interned by the caller.
struct MetaNames {
    std::int32_t column, type, foreignKey, attribute;
};
Rc keyOf(values::Context& cx, int result, ValueRef right);
Rc valueOf(values::Context& cx, int result, ValueRef right);
Rc columnsOf(values::Context& cx, int result, ValueRef right);
Rc keyColumnsOf(values::Context& cx, int result, ValueRef right);
Rc metaOf(values::Context& cx, int result, ValueRef right, const MetaNames& names);
Rc foreignKeysOf(values::Context& cx, int result, ValueRef right);
Rc xkey(values::Context& cx, int result, ValueRef left, ValueRef right);

// x[i;j] where x is a table, keyed table or dictionary: rows then columns
// of a table, a key of a keyed table or dictionary.
Rc indexKeyed(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices, int io);

// x[k]<-v and t[i;c]<-v into variable slot `target`: a dictionary's
// key gets a value (a new key is appended), a table's cells or whole
// columns are replaced (t[c]<-v may add a column), a keyed table's row
// of a key is replaced (a new key appends a row). The new value is built
// aside in `scratch`; the variable changes only when everything succeeded.
Rc assignKeyed(values::Context& cx, int target, int scratch, ValueRef v, std::span<const ValueRef> indices, int io);

// x.name: the column of a table or keyed table (key columns first), or the
// value of a dictionary's symbol key.
Rc member(values::Context& cx, int code, int result, ValueRef x, ValueRef name);

// t,v: the rows in v (one value, or one vector, per column) appended to
// table t.
Rc appendRows(values::Context& cx, int result, ValueRef table, ValueRef rows);

}  // namespace wox::primitives
