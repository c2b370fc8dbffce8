#pragma once
// Finding values in an enumeration's domain, as index of finds them
// (numbers by value across types, symbols by index, temporal elements by
// their dates and times). Making an enumeration, storing into one and
// comparing with one all map plain values to domain positions this way.
#include <cstdint>

#include "types/enumeration.h"
#include "values/rc.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::primitives {

// Marks of a value that has no position in the domain.
inline constexpr std::int32_t kNotInDomain = -1;

// For each of the n elements of a simple type at `elems`, its first
// position in `dom`, else kNotInDomain. Elements of another kind than the
// domain's (characters against numbers, a General value) are never found.
// Fails only with 6 when working memory cannot be had.
Rc positionsInDomain(const values::Workspace& ws, const types::Domain& dom, std::int32_t type, const char* elems,
                     std::int64_t n, std::int32_t* out);

// The same for every element of value v in the domain of an enumeration
// with header `own`: an enumeration with the same header gives its stored
// positions as they are; another enumeration is taken through its own
// domain first (its positions beyond that domain are never found); any
// other value is searched element by element. out has room for v.count.
Rc positionsOfValue(const values::Workspace& ws, const types::Domain& dom, const types::EnumerationHeader& own,
                    const ValueDescriptor& v, std::int32_t* out);

}  // namespace wox::primitives
