#pragma once
// The sum of one run of Integer (or Boolean) elements in 64 bits: the inner
// loop of every exact integer plus-reduction, and a pass that only reads, so
// how many elements it takes per step decides whether it keeps up with
// memory.
#include <cstdint>

namespace wox::primitives {

// x[0] + ... + x[n-1] in 64 bits, which no run of fewer than 2^32 elements
// can pass; *null is set when some element is the null and left alone
// otherwise. Uses 16-lane registers where the processor has them.
std::int64_t integerSum(const std::int32_t* x, std::int64_t n, bool* null);

// The same on any processor; integerSum gives exactly its results.
std::int64_t integerSumBaseline(const std::int32_t* x, std::int64_t n, bool* null);

}  // namespace wox::primitives
