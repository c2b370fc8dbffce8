#pragma once
// The scalar function families: monadic and dyadic arithmetic, the logical
// functions and the comparisons. Each entry point reads its arguments by
// value reference, writes its result into variable slot `result` (a
// temporary slot), and returns 0 or a message number, also left in the
// interpreter's error word. Arguments are never changed.
//
// Numeric results are narrowed (an integral Float result becomes Integer);
// logical and comparison results are Boolean; an empty result is an empty
// Integer. An integer result beyond the 32-bit range stays Float.
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// Codes 44-64 even: identity + , negate - , signum * , reciprocal % ,
// ceiling ~. , floor _. , exponential *. , natural logarithm %. ,
// magnitude | , factorial |. , pi times @ .
Rc scalarMonadic(values::Context& cx, int code, int result, ValueRef right);

// Codes 45-65 odd: plus, minus, times, divide, maximum, minimum, power,
// logarithm (left argument the base), residue, binomial, circle functions.
Rc scalarDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// Code 25: not ~ .
Rc logicalMonadic(values::Context& cx, int code, int result, ValueRef right);

// Codes 12 (or &) and 13 (and ^).
Rc logicalDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// Codes 16-21: < <= >= > ~= = .
Rc comparison(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

}  // namespace wox::primitives
