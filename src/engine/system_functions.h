#pragma once
// The monadic system functions that need the interpreter: []FX defines a
// function from its lines, []CR gives a function's lines as a character
// matrix, []AI the milliseconds the current line has run.
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// Has the dispatch signature; `cx` is the interpreter.
Rc systemFunction(values::Context& cx, int code, int result, ValueRef right);

}  // namespace wox::engine
