#pragma once
// Bracket indexing x[i;j;...] and indexed assignment x[i;j;...]<-v.
//
// Indices are given left to right, one per axis of x; kOmittedIndex stands
// for an index left out (x[;2]), which takes the whole axis.
#include <climits>
#include <cstdint>
#include <span>
#include <vector>

#include "primitives/index_origin.h"
#include "values/context.h"

namespace wox::primitives {

inline constexpr ValueRef kOmittedIndex = INT32_MIN;

// x[i;j;...] into the temporary slot `result`. The result's shape is the
// index shapes in turn; a scalar selection from a General value is the item
// itself; a General index into a vector gives a General value of the
// selections by each of its items.
Rc index(values::Context& cx, int result, ValueRef x, std::span<const ValueRef> indices, int io);

// x[i;j;...]<-v into variable slot `target`, which keeps its old value unless
// the whole store succeeds. `scratch` is a temporary slot the routine may
// fill. Neither v nor an index may name `target`: the caller copies such an
// argument first. The caller releases the replaced block afterwards
// (Workspace::releasePending).
Rc indexedAssign(values::Context& cx, int target, int scratch, ValueRef v, std::span<const ValueRef> indices,
                 int io);

// Element k of a simple x as a value of its own, a scalar. A Complex
// element keeps pointing at x's block, from which copyTreeInto copies it.
ValueDescriptor scalarItem(const values::Workspace& ws, const ValueDescriptor& x, std::int64_t k);

// The positions of x (from 0, row-major) that x[i;j;...] selects, in result
// order, and the selection's shape; the indices are checked as indexing
// checks them. For the types whose elements are not plain blocks
// (enumerations), which select through positions.
Rc selectedPositions(const values::Workspace& ws, const ValueDescriptor& x, std::span<const ValueRef> indices, int io,
                     std::vector<std::int64_t>* positions, std::vector<std::int32_t>* dims);

}  // namespace wox::primitives
