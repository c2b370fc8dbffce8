#pragma once
// Shapes of values: reading dimensions, copying a shape (with its gList
// dimension run), setting a shape, and copying one element between values.
#include <cstdint>

#include "values/rc.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::values {

// Dimension k (0-based) of a value; a vector's only dimension is its count.
std::int32_t dimension(const Workspace& ws, const ValueDescriptor& d, int k);

// Copies rank, count and shape words; a rank >= 3 value gets its own copy of
// the dimension run. Fails with 9 when gList is full.
Rc copyShape(Workspace& ws, ValueDescriptor& dst, const ValueDescriptor& src);

// Stores rank and count; for values that are not inline also shape word 0
// (count for a vector, rows otherwise), shape word 1 and the data word from
// the current allocation.
void setShape(Workspace& ws, int slot, int rank, std::int32_t count, std::int32_t rows, std::int32_t cols);

// Gives a rank >= 3 value the dimensions dims[0..rank-1]. Fails with 9.
Rc setDimensions(Workspace& ws, ValueDescriptor& d, const std::int32_t* dims, int rank);

// Copies element si of src to element di of dst, by the source's type.
void copyElement(Workspace& ws, ValueDescriptor& dst, std::int64_t di, const ValueDescriptor& src, std::int64_t si);

}  // namespace wox::values
