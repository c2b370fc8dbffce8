#pragma once
// The execute primitive "!.": a character vector, or a symbol's name, runs as
// a line in the caller's context (its temporaries and []IO), without display
// and without an error report of its own.
#include "engine/evaluator.h"

namespace wox::engine {

// Runs the text named by `arg`; the value goes to temporary `result`, or
// stays in place when it is a workspace variable (*out tells which).
Rc executeText(Interpreter& in, EvalContext& cx, ValueRef arg, int result, ValueRef* out);

}  // namespace wox::engine
