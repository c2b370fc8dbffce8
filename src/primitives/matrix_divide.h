#pragma once
// Matrix divide (x #. y: the z with y times z = x, in the least-squares sense
// when y is not square) and matrix inverse (#. y), on Boolean, Integer and
// Float arguments of rank at most 2. The checks and the result's shape are
// here; the solving is the numeric library's.
#include "values/context.h"

namespace wox::primitives {

Rc matrixDivide(values::Context& cx, int code, int result, ValueRef left, ValueRef right);
Rc matrixInverse(values::Context& cx, int code, int result, ValueRef right);

}  // namespace wox::primitives
