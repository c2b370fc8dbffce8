#pragma once
// Dispatch of primitive codes to their routines. The family of a code comes
// from the primitive table; each family has one handler here, and a family
// without one answers its error from this one place.
#include "engine/interpreter.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// Routines below the engine see only the workspace context.
using MonadicHandler = Rc (*)(values::Context&, int code, int result, ValueRef right);
using DyadicHandler = Rc (*)(values::Context&, int code, int result, ValueRef left, ValueRef right);

// Applies the primitive `code` to its argument(s), leaving the result in the
// temporary variable slot `result`.
Rc dispatchMonadic(Interpreter& in, int code, int result, ValueRef right);
Rc dispatchDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right);

// Whether a code has a routine in its valence (so each can apply it).
bool hasMonadicRoutine(int code);
bool hasDyadicRoutine(int code);

}  // namespace wox::engine
