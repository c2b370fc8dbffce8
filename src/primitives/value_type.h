#pragma once
// The monadic ":": the type code of a value as an Integer scalar.
#include "engine/interpreter.h"

namespace wox::primitives {

Rc typeOf(Interpreter& in, int code, int result, ValueRef right);

}  // namespace wox::primitives
