#pragma once
// Column widths of an array of rank 2 or more: the widest element text of
// each column over all rows and planes, measured once before layout.
#include <vector>

#include "values/context.h"
#include "values/value.h"

namespace wox::display {

// Integers: `first` is the widest text. Floats: `first` the widest part
// before the decimal point (the whole text when it has none), `second` the
// widest part from the point on (0 when no text has a point). Complex: the
// widest real and imaginary texts (`second` 0 when every imaginary part is
// 0). Symbols: the widest name without its backquote. Temporal values: the
// width of the first element's kind, for every column (wider only where an
// element of another kind needs more).
struct ColumnWidth {
    int first = 0;
    int second = 0;
};

// plainIntegers measures integers as the format function writes them (no
// "0n" or "0wi"). Other types give no widths.
std::vector<ColumnWidth> columnWidths(const values::Context& cx, const ValueDescriptor& d, bool plainIntegers);

// Where a float text's decimal point is: its length when it has none.
int pointPosition(const char* text, int length);

}  // namespace wox::display
