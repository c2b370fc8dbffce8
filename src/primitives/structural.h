#pragma once
// The structural functions: they build, reshape, select and rearrange arrays
// without computing on their elements. Each has the dispatch signature; the
// code tells the axis where a family shares one routine. Those that count
// positions take the value reference of the index origin in force.
#include "values/context.h"

namespace wox::primitives {

// reshape.cpp
Rc shapeOf(values::Context& cx, int code, int result, ValueRef right);
Rc reshape(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc ravel(values::Context& cx, int code, int result, ValueRef right);
Rc countOf(values::Context& cx, int code, int result, ValueRef right);
// The rank of a value as a one-element vector: what ## gives.
Rc rankOf(values::Context& cx, int result, ValueRef right);

// interval_where.cpp
Rc interval(values::Context& cx, int result, ValueRef right, ValueRef io);
Rc where(values::Context& cx, int result, ValueRef right, ValueRef io);

// catenate.cpp
Rc catenate(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc laminate(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc raze(values::Context& cx, int code, int result, ValueRef right);

// take_drop.cpp
Rc take(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc drop(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// reverse_rotate.cpp
Rc reverse(values::Context& cx, int code, int result, ValueRef right);
Rc rotate(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// transpose.cpp
Rc transpose(values::Context& cx, int code, int result, ValueRef right);
Rc transposeAxes(values::Context& cx, int result, ValueRef left, ValueRef right, ValueRef io);

// compress.cpp (compress itself in compress.h)
Rc expand(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// nesting.cpp
Rc enclose(values::Context& cx, int code, int result, ValueRef right);
Rc first(values::Context& cx, int code, int result, ValueRef right);
Rc partitionLengths(values::Context& cx, int result, ValueRef right, ValueRef io);
Rc partition(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

}  // namespace wox::primitives
