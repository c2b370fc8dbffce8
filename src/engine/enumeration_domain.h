#pragma once
// The engine's part in making an enumeration: the left argument of `d:v`
// names the domain's variable, which only the engine can look up (the
// innermost binding of an active call, else the global variable).
#include <string_view>

#include "engine/interpreter.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// Whether x is a symbol scalar, which makes `x:y` an enumeration; a
// one-element Symbol vector makes a dictionary of one entry instead.
bool namesDomain(const values::Workspace& ws, ValueRef x);

// The variable slot the name stands for now (the innermost binding of an
// active call, else the global entry), or -1 when it names no variable.
int variableSlot(const Interpreter& in, std::string_view name);

// `x:y` with a single symbol x: the enumeration of y over the value of the
// variable x names, into temporary slot `result`. A name that is no
// variable, or one without a value, is a domain error.
Rc makeEnumeration(Interpreter& in, int result, ValueRef x, ValueRef y);

}  // namespace wox::engine
