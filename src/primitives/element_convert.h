#pragma once
// Moving runs of elements between types when values of unlike types are
// joined (catenate, laminate, raze): Boolean and Integer share their 32-bit
// elements, numbers widen to Float or Complex, and simple elements become
// scalar items of a General result.
#include <cstdint>

namespace wox::primitives {

// The type that holds the elements of both: -1 when they do not go together
// (characters with numbers, symbols with temporal values ...). An empty side
// takes the other's type: pass its emptiness.
std::int32_t joinedType(std::int32_t a, bool aEmpty, std::int32_t b, bool bEmpty);

// Writes n elements of type `to` from n elements of type `from` (or, with
// repeat, n copies of the first one). `from` must widen to `to`.
void convertRun(char* out, std::int32_t to, const char* src, std::int32_t from, std::int64_t n, bool repeat);

}  // namespace wox::primitives
