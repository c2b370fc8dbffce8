#pragma once
// Dyadic "+.", format by specification: x+.y writes the numbers of y in
// fields that x gives, a pair (width, decimals) for every column or one
// pair for all. A width of 0 takes the widest text of the column and a
// blank before it; a lone number is the decimals, every width 0. Negative
// decimals ask for that many significant digits in the exponent form. A
// text wider than its field fills the field with "*".
#include "values/context.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::display {

// Largest width and number of decimals a field may ask for.
inline constexpr std::int32_t kMaxFieldWidth = 255;
inline constexpr std::int32_t kMaxDecimals = 17;

// The Char value in temporary slot `result`: a vector for a scalar or
// vector y, else y's leading shape and the total width. Fails with 1 for a
// y that is not Boolean, Integer or Float, or an x that is not whole
// numbers in range; 2 for an x of more than one axis; 3 for an x whose
// length is not 1, 2 or twice y's columns.
Rc formatBySpecification(values::Context& cx, int result, ValueRef left, ValueRef right);

}  // namespace wox::display
