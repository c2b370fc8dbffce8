#pragma once
// Value display: the session text of a value of any type and rank. Numbers
// come from number_text, the extended types from extended_types.
//
// Output never ends its own last line. A display starts with "\r\n" when the
// session line already holds output (the line-pending flag, set before every
// executed line), so the first display of a line starts below the input; a
// value sent to the open output name leaves the line open and the next
// display continues on it.
#include <string>

#include "display/printer.h"
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::display {

// Writes the display of v to the session. openLine: the value was assigned
// to the open output name "[)". Fails with 4 for a free slot, and with the
// error of an extended type's display.
Rc displayValue(values::Context& cx, DisplayState& state, ValueRef v, bool openLine = false);

// The same display appended to `out` instead of the session.
Rc appendDisplay(values::Context& cx, DisplayState& state, ValueRef v, bool openLine, std::string& out);

// Displays one value through a printer; item: it is an item of a general
// array being displayed. The building block of the two above and of the
// displays of the keyed collections.
Rc showValue(Printer& p, const ValueDescriptor& d, bool item);

}  // namespace wox::display
