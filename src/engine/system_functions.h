#pragma once
// The monadic system functions that need the interpreter: []FX defines a
// function from its lines, []CR gives a function's lines as a character
// matrix, []AI the milliseconds the current line has run, []NC what a name
// stands for (0 nothing, 2 a variable, 3 a function); the niladic []TS
// the local date and time; the dyadic []FM writes a value into a text file.
#include "engine/interpreter.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// The monadic system functions other than the spreadsheet link's.
Rc systemFunction(Interpreter& in, int code, int result, ValueRef right);

// The dyadic system functions other than the spreadsheet link's.
Rc dyadicSystemFunction(Interpreter& in, int code, int result, ValueRef left, ValueRef right);

// The niladic system functions; `right` is no value.
Rc niladicSystemFunction(Interpreter& in, int code, int result, ValueRef right);

}  // namespace wox::engine
