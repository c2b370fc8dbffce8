#pragma once
// The execute primitive "!.": a character vector, or a symbol's name, runs as
// a line in the caller's context (its temporaries and []IO), without display
// and without an error report of its own.
#include <string_view>

#include "engine/evaluator.h"

namespace wox::engine {

// Runs the text named by `arg`; the value goes to temporary `result`, or
// stays in place when it is a workspace variable (*out tells which).
Rc executeText(Interpreter& in, EvalContext& cx, ValueRef arg, int result, ValueRef* out);

// Runs a statement of a script that is read while a line is running (the
// query library, loaded by the first `do`). Names resolve as between lines,
// to global entries, not through the active calls' bindings, and the origin
// is the global []IO; temporaries start above `lineTemp`, the running
// line's last, and the stack goes back to where it stood; nothing is shown
// and nothing reported. A failure gives back every call it began and leaves
// no error behind, so the running line can report its own.
Rc executeScriptStatement(Interpreter& in, int lineTemp, std::string_view text);

}  // namespace wox::engine
