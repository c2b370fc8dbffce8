#pragma once
// Display of dictionaries (one entry per line: the key padded to the widest
// key, "| ", the value) and of tables and keyed tables (a heading of column
// names, a rule, then one line per row, every cell padded to its column's
// width; a keyed table has "|" between its key and value columns).
#include "display/printer.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::display {

// `item` is set when the value is an item of a general array: the display
// then starts with the item marker (Printer::beginValue).
Rc displayDictionary(Printer& p, const ValueDescriptor& d, bool item);
Rc displayTable(Printer& p, const ValueDescriptor& d, bool item);

}  // namespace wox::display
