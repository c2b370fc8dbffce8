#pragma once
// A result of a given shape in a temporary slot, for routines whose result
// shape is built from pieces of their arguments' shapes (structural
// functions, reductions, outer and inner products) rather than copied from
// one argument.
#include <cstdint>
#include <vector>

#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::values {

// Largest element count of a value.
inline constexpr std::int64_t kMaxElements = 0x7fffffff;

// The dimensions of a value, outermost first (a scalar has none).
std::vector<std::int32_t> dimensionsOf(const values::Workspace& ws, const ValueDescriptor& d);

// Product of dimensions, or -1 beyond kMaxElements.
std::int64_t elementCount(const std::int32_t* dims, int rank);

// Gives temporary slot `result` the type, shape and (unless its one element
// is inline, or it is empty) a stack block; *out is where its elements go.
// Fails with 6 (count beyond the heap) or 9 (gList full).
Rc makeResult(values::Workspace& ws, int result, std::int32_t type, const std::int32_t* dims, int rank,
              char** out);

// The same for a routine whose empty results are Integer whatever `type`
// says; failures are recorded in the context.
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

}  // namespace wox::values
