#pragma once
// Symbols order alphabetically: by their names, bytes compared as unsigned,
// so that grade and the ordering comparisons agree with a sort of the
// texts. Equal symbols are the same index, so equality needs no names.
#include <cstdint>
#include <span>
#include <vector>

#include "values/context.h"
#include "values/rc.h"

namespace wox::primitives {

// rankOf[i] is the alphabetical rank of symbol index i among the indices
// that occur in `a` and `b` (-1 for one that does not occur). Fails with 6
// (workspace full) when its memory cannot be had, 1 for a negative index.
Rc alphabeticalRanks(const values::Context& cx, std::span<const std::int32_t> a, std::span<const std::int32_t> b,
                     std::vector<std::int32_t>& rankOf);

// The comparison `code` (less ... greater) of the symbols of two sides
// by name: n results, a side of one element extending to all.
Rc compareSymbolNames(const values::Context& cx, int code, std::span<const std::int32_t> a,
                      std::span<const std::int32_t> b, std::int32_t* out, std::int64_t n);

}  // namespace wox::primitives
