#pragma once
// Calls of the keyword functions (function slots 0 to 7): key, value, xkey,
// cols, meta, keys and fkeys go to the routines of dictionaries and tables,
// do to the query library.
#include "engine/evaluator.h"

namespace wox::engine {

// Calls keyword function `fn` (below frontend::kKeywordFunctions) with the
// given arguments (kNoValue when absent); *result is its value in one of the
// caller's temporaries.
Rc callKeyword(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result);

}  // namespace wox::engine
