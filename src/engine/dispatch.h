#pragma once
// Dispatch of primitive codes to their routines. The family of a code comes
// from the primitive table; the routines are one table indexed by family, and
// a family without a routine answers its error from this one place.
#include "engine/interpreter.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// Applies the primitive `code` to its argument(s), leaving the result in the
// temporary variable slot `result`.
Rc dispatchMonadic(Interpreter& in, int code, int result, ValueRef right);
Rc dispatchDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right);

// Whether a code has a routine in its valence (so each can apply it).
bool hasMonadicRoutine(int code);
bool hasDyadicRoutine(int code);

}  // namespace wox::engine
