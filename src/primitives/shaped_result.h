#pragma once
// A result of a given shape in a temporary slot, for routines whose result
// shape is built from pieces of their arguments' shapes (reductions, outer
// and inner products) rather than copied from one argument.
#include <cstdint>
#include <vector>

#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::primitives {

// Largest element count of a value.
inline constexpr std::int64_t kMaxElements = 0x7fffffff;

// The dimensions of a value, outermost first (a scalar has none).
std::vector<std::int32_t> dimensionsOf(const values::Workspace& ws, const ValueDescriptor& d);

// Gives temporary slot `result` the type, dimensions and element count of a
// new value, with a block on the stack unless the value is inline or empty
// (an empty value is an Integer whatever `type` says). Fails with 6
// (workspace full, also for a count beyond the largest) or 9 (gList full).
Rc shapedResult(values::Context& cx, int result, std::int32_t type, const std::vector<std::int32_t>& dims);

// Where the elements of a prepared result are written: its block, or the
// descriptor's shape words for an inline value. Valid until the next
// allocation.
char* resultElements(values::Context& cx, int result);

// Where the elements of a value are read: its block, or the descriptor's
// shape words for an inline value (so `d` must outlive the pointer).
inline const char* elementsOf(const values::Workspace& ws, const ValueDescriptor& d) {
    if (isInline(d)) return reinterpret_cast<const char*>(&d.shape0);
    return ws.base() + d.data;
}

}  // namespace wox::primitives
