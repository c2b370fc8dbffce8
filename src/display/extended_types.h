#pragma once
// The texts of symbol elements, read from the symbol table through the
// context, and of temporal elements, which carry their own values.
#include <cstdint>
#include <string_view>

#include "values/context.h"

namespace wox::display {

// Longest temporal text (a date-time) with room to spare.
inline constexpr int kTemporalTextMax = 32;

// The name of symbol `index`, without the backquote.
std::string_view symbolName(const values::Context& cx, std::int32_t index);

// The fixed-width text of a temporal element; returns its length.
int temporalText(std::int64_t word, char* out);

// Column width of a temporal element's kind (10 for a date ...).
int temporalWidth(std::int64_t word);

}  // namespace wox::display
