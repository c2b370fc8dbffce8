#pragma once
// The search and set functions: index of, membership, unique, group and
// match, and the mixed-radix pair decode and encode. Each has the dispatch
// signature; those that count positions take the index origin in force.
#include "values/context.h"

namespace wox::primitives {

// index_of.cpp
Rc indexOf(values::Context& cx, int result, ValueRef left, ValueRef right, ValueRef io);
Rc membership(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// unique_group.cpp
Rc unique(values::Context& cx, int code, int result, ValueRef right);
Rc group(values::Context& cx, int result, ValueRef right, ValueRef io);

// match.cpp
Rc match(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

// decode_encode.cpp
Rc decode(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc encode(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

}  // namespace wox::primitives
