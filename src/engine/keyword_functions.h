#pragma once
// The keyword functions (`key`, `value`, `xkey`, `cols`, `meta`, `keys`,
// `fkeys`, `do`): function slots 0 to 7, whose routines are built in.
#include "engine/evaluator.h"

namespace wox::engine {

// Calls keyword function `fn` (a slot below 8); *result is its value in one
// of the caller's temporaries. Keywords whose routines do not exist yet
// answer 43.
Rc callKeyword(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result);

}  // namespace wox::engine
