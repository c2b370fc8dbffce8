#pragma once
// The running plus-scan of one run of Integer elements, kept in Integer
// elements: the common case of +\ and the one worth wide registers.
#include <cstdint>

namespace wox::primitives {

// out[i] = x[0] + ... + x[i] for every i < n. Returns false (out then holds
// anything) when the run holds the null or some sum is no Integer element
// (outside +-2147483647); the caller then takes its careful path. Uses
// 16-lane registers where the processor has them.
bool integerPlusScan(const std::int32_t* x, std::int64_t n, std::int32_t* out);

// The same on any processor; integerPlusScan gives exactly its results.
bool integerPlusScanBaseline(const std::int32_t* x, std::int64_t n, std::int32_t* out);

}  // namespace wox::primitives
