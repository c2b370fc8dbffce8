#pragma once
// Values whose items are whole rows: the rows of a table or keyed table, the
// entries of a dictionary (a key with its value) and the elements of an
// enumeration. Take, drop, compress and reverse pick such rows by position
// and build a value of the same kind from them; index of finds a key by its
// value and a table row by its record.
#include <cstdint>
#include <vector>

#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// Whether a value of this type is moved row by row.
inline bool movesByRows(std::int32_t type) {
    return type == kTable || type == kDictionary || type == kEnumeration;
}

// Whether each row carries a key that must stay distinct (a dictionary or
// keyed table): its rows may be dropped or reordered but not repeated.
bool rowsAreKeyed(const ValueDescriptor& d);

// Rows of a table or keyed table, entries of a dictionary, elements of an
// enumeration (a scalar counts as one).
std::int32_t rowCountOf(const values::Workspace& ws, const ValueDescriptor& d);

// The value made of the rows of v at `rows` (0-based, each below
// rowCountOf), in that order, into temporary slot `result`: a table, keyed
// table or dictionary of the same columns or kind, or an enumeration over
// the same domain.
Rc selectRows(values::Context& cx, int result, ValueRef v, const std::vector<std::int32_t>& rows);

// d!y for a plain dictionary d: for each element of y (a scalar or a
// vector) the key of the first entry whose value is that element. An
// absent value gives the null of the key type (0N for integer and Boolean
// keys, 0n for float keys, the empty symbol for symbol keys) or, for a key
// type without one, its fill. Values held as a General list are compared
// with y as a whole, giving one key.
Rc keyOfValue(values::Context& cx, int result, ValueRef d, ValueRef y);

// t!r for a table t: the row number (from `origin`) of the first row equal
// to record r, a dictionary from t's column names to values (a scalar
// result), or of each row of table r with t's columns (a vector). Columns
// are matched by name; other names are a domain error. An absent record
// gives the row count + origin.
Rc rowOfRecord(values::Context& cx, int result, ValueRef t, ValueRef r, int origin);

// The elements of enumeration e as they read through its domain, packed at
// the domain's stride into `out` (8-byte aligned), and their type; the
// Integer positions themselves when one lies beyond the domain or there is
// none, as `value` gives them.
void elementsThroughDomain(const values::Workspace& ws, const ValueDescriptor& e, std::int32_t* type,
                           std::vector<std::uint64_t>& out);

}  // namespace wox::primitives
