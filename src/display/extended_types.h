#pragma once
// Display of the extended types: the texts of symbol and temporal elements,
// and the whole displays of enumerations, dictionaries and tables. Value
// display and the format function reach these types only through here, so
// each of them plugs in with its own table (symbols, temporal records).
#include <cstdint>
#include <string>
#include <string_view>

#include "display/printer.h"
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::display {

// Longest temporal text (a date-time) with room to spare.
inline constexpr int kTemporalTextMax = 32;

// The name of symbol `index`, without the backquote.
std::string_view symbolName(const values::Context& cx, std::int32_t index);

// The fixed-width text of temporal element `index`; returns its length.
int temporalText(const values::Context& cx, std::int32_t index, char* out);

// Column width of the kind of temporal element `index` (10 for a date ...).
int temporalWidth(const values::Context& cx, std::int32_t index);

// Appends the text of element i of an enumeration: the domain element it
// names, or an integer when its index lies beyond the domain. Returns the
// length appended.
int enumerationElementText(const values::Context& cx, const ValueDescriptor& d, std::int64_t i, std::string& out);

// Whole displays. `item` is set when the value is an item of a general
// array: the display then starts with the item marker (Printer::beginValue).
Rc displayEnumeration(Printer& p, const ValueDescriptor& d, bool item);
Rc displayDictionary(Printer& p, const ValueDescriptor& d, bool item);
Rc displayTable(Printer& p, const ValueDescriptor& d, bool item);

}  // namespace wox::display
