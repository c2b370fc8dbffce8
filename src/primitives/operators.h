#pragma once
// The operators on primitive functions: reduce and scan (along the last or
// the first axis), outer product and inner product. The operand is decoded
// from the derived code once per call. Each entry point reads its arguments
// by value reference, writes its result into temporary variable slot
// `result`, and returns 0 or a message number; arguments are never changed.
// Results are narrowed (Float to Integer, truth values to Boolean).
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::primitives {

// f/ (codes 101-199) and f/. (301-399): right-to-left reduction of the last
// or first axis; an empty axis gives f's identity element.
Rc reduce(values::Context& cx, int code, int result, ValueRef right);

// f\ (201-299) and f\. (401-499): item i is the reduction of items 0..i.
Rc scan(values::Context& cx, int code, int result, ValueRef right);

// x .:f y (501-599): f of every element of x with every element of y, with
// the shape of x followed by the shape of y.
Rc outerProduct(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// x f:g y (100 f + g): each result element is the f-reduction of a row of x
// g a column of y. With `rightTransposed`, y stands for its transpose (a
// matrix read along its second axis), which is never built.
Rc innerProduct(values::Context& cx, int code, int result, ValueRef left, ValueRef right,
                bool rightTransposed = false);

}  // namespace wox::primitives
