#pragma once
// Calls of defined functions and keyword functions from the evaluator.
#include "engine/evaluator.h"

namespace wox::engine {

// Calls function slot `fn` with the given arguments (kNoValue when absent);
// *result is the call's value, or kNoValue for a function without a result.
Rc callDefined(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result);

}  // namespace wox::engine
