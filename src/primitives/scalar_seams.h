#pragma once
// Where the scalar families hand a call over to the arithmetic of another
// kind of value. Each seam receives the call as the family received it and
// answers for it completely (result slot, errors); where that arithmetic
// does not exist yet it answers 43, "prim. func not yet implemented".
// The complex seams are in complex_scalar.cpp.
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// Monadic arithmetic (codes 44-64 even, factorial excepted) on a Complex
// argument, and the natural logarithm of real arguments with a negative
// element, whose values are complex.
Rc complexMonadic(values::Context& cx, int code, int result, ValueRef right);

// Dyadic arithmetic (codes 45-65 odd) with a Complex argument, and every
// circle function (65), and the real cases whose values are complex (a
// negative number to a fractional power, a logarithm with a negative
// argument or base). The caller has checked the types, that maximum, minimum
// and binomial are not asked of Complex values, that a circle function's
// left argument is an integer from -12 to 11, and conformability.
Rc complexDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// Temporal arithmetic (plus 45, minus 47; the caller has checked the types
// and the functions), and the comparisons (16-21), maximum and minimum of
// two Temporal arguments.
Rc temporalDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// Dyadic arithmetic (codes 45-65 odd), the comparisons (16-21) and monadic
// arithmetic with a Dictionary argument: the function applies to its values
// and the answer keeps its keys.
Rc dictionaryDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc dictionaryComparison(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc dictionaryMonadic(values::Context& cx, int code, int result, ValueRef right);
// The same with a dictionary on each side: their keys must be the same, in
// any order (else a length error), and the answer has the left's order. The
// right's values are put in that order in temporary slot `scratch`.
Rc dictionaryPair(values::Context& cx, int code, int result, int scratch, ValueRef left, ValueRef right);

// Equal (21) and not equal (20) with an Enumeration argument; the caller has
// checked ranks (at most 1) and counts.
Rc enumerationEquality(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

}  // namespace wox::primitives
