#pragma once
// The primitives over enumerations (types/enumeration.h has their layout):
// making one from a domain variable and plain values, taking one apart,
// selecting from one and storing plain values into an enumerated variable.
// Equality with enumerations is the seam of the comparisons
// (scalar_seams.h).
#include <cstdint>
#include <span>

#include "values/context.h"

namespace wox::primitives {

// `d:v` into temporary slot `result`: for each element of v (a scalar or a
// vector of plain values, or an enumeration, taken through its own domain)
// its first position in the domain held by variable slot
// `domainSlot`, whose name is symbol `name`. Fails with 7 when the slot
// holds no domain, 1 when an element is not in the domain, 2 for v of rank
// 2 or more.
Rc enumerate(values::Context& cx, int result, std::int32_t name, int domainSlot, ValueRef v);

// The plain values of enumeration e: the domain elements it names, or,
// when a position lies beyond the domain's end (or the domain is gone), the
// Integer positions themselves. 7 when e is no enumeration.
Rc enumerationValues(values::Context& cx, int result, ValueRef e);

// x!y for an enumeration x: where each element of y (plain values, or an
// enumeration) first occurs among x's elements, compared through x's domain;
// absent elements give the count of x. Positions count from `origin`.
Rc indexInEnumeration(values::Context& cx, int result, ValueRef x, ValueRef y, int origin);

// x[i] for an enumeration x: an enumeration of the same domain. An index of
// rank 2 or more is a rank error.
Rc indexEnumeration(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices, int io);

// x[i]<-v for an enumerated variable x: every element of v (plain values, or
// an enumeration) must be in x's domain (1 otherwise); their positions are
// stored in place. x is unchanged on any failure.
Rc assignIntoEnumeration(values::Context& cx, int target, ValueRef v, std::span<const ValueRef> indices, int io);

}  // namespace wox::primitives
