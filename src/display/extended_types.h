#pragma once
// The texts of symbol and temporal elements, read from their tables
// (symbol names, temporal records) through the context.
#include <cstdint>
#include <string_view>

#include "values/context.h"

namespace wox::display {

// Longest temporal text (a date-time) with room to spare.
inline constexpr int kTemporalTextMax = 32;

// The name of symbol `index`, without the backquote.
std::string_view symbolName(const values::Context& cx, std::int32_t index);

// The fixed-width text of temporal element `index`; returns its length.
int temporalText(const values::Context& cx, std::int32_t index, char* out);

// Column width of the kind of temporal element `index` (10 for a date ...).
int temporalWidth(const values::Context& cx, std::int32_t index);

}  // namespace wox::display
