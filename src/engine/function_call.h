#pragma once
// Calls of defined functions: the frame (free names bound by dynamic scope,
// header names in fresh local slots), argument binding, the line loop with
// its branches, the result, and leaving the frame. A call that fails keeps
// its frame: the function is suspended until "->" leaves it (a failed
// statement of the query library leaves its calls at once).
#include <cstddef>

#include "engine/evaluator.h"

namespace wox::engine {

// Calls function slot `fn` with the given arguments (kNoValue when absent);
// *result is the call's value in one of the caller's temporaries, or
// kNoValue for a function that returns nothing.
Rc callDefined(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result);

// "->" at the session: leaves the most recent suspended call, and the
// session line's level below it when the session called it. Calls of the
// query library on top are passed over and go with it. Does nothing when
// no call is suspended.
void leaveSuspended(Interpreter& in);

// Leaves the innermost calls until `keep` remain, each as a return would,
// without touching the call-trace depth: for work that began calls inside
// a running line and failed (a statement of a script read by `do`).
void leaveCallsAbove(Interpreter& in, std::size_t keep);

// Leaves every suspended call and the session lines' levels below them:
// ")SIC", and a batch run's line that found the state indicator full.
void leaveAllSuspended(Interpreter& in);

}  // namespace wox::engine
