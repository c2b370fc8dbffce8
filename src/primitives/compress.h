#pragma once
// Compress and replicate: x/y along the last axis (5), x/.y along the first (6).
#include "values/context.h"

namespace wox::primitives {

Rc compress(values::Context& cx, int code, int result, ValueRef left, ValueRef right);

}  // namespace wox::primitives
