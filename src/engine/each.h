#pragma once
// The each operator: f" y applies f to every item of y, x f" y to every
// pair of items. Each item is handed to f's routine as a value of its own,
// so each belongs to the engine, which dispatches per item.
#include "engine/evaluator.h"
#include "engine/interpreter.h"
#include "frontend/front_tables.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

// f" y into temporary slot `result`. A y that is not General gets f itself;
// count and type through each read the items' descriptors; otherwise the
// result is a General value of y's shape holding f of each item.
Rc eachMonadic(Interpreter& in, EvalContext& cx, const frontend::FunctionEntry& f, int result, ValueRef right);

// x f" y: both of rank at most 1, counts equal or one of them 1; a General
// vector of x[i] f y[i], an item of a General argument being the value it
// holds and one of a simple argument a scalar.
Rc eachDyadic(Interpreter& in, EvalContext& cx, const frontend::FunctionEntry& f, int result, ValueRef left,
              ValueRef right);

}  // namespace wox::engine
