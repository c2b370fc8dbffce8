#pragma once
// The monadic ":": the type code of a value as an Integer scalar.
#include "values/context.h"

namespace wox::primitives {

Rc typeOf(values::Context& cx, int code, int result, ValueRef right);

}  // namespace wox::primitives
