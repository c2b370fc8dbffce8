#pragma once
// The monadic system functions that need the interpreter: []FX defines a
// function from its lines, []CR gives a function's lines as a character
// matrix, []AI the milliseconds the current line has run; the niladic []TS
// the local date and time; the dyadic []FM writes a value into a text file.
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// Has the dispatch signature; `cx` is the interpreter.
Rc systemFunction(values::Context& cx, int code, int result, ValueRef right);

// The dyadic system functions other than the spreadsheet link's.
Rc dyadicSystemFunction(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// The niladic system functions; `right` is no value.
Rc niladicSystemFunction(values::Context& cx, int code, int result, ValueRef right);

}  // namespace wox::engine
