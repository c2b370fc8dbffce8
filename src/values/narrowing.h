#pragma once
// Numeric narrowing: a value is brought down to the narrowest numeric type
// that holds every element exactly (Complex -> Float -> Integer, and on
// request Integer -> Boolean). Narrowing never fails; a value that does not
// qualify stays as it was.
#include "values/value.h"
#include "values/workspace.h"

namespace wox::values {

// Complex -> Float -> Integer, and Integer -> Boolean when toBoolean is set.
void narrow(Workspace& ws, ValueDescriptor& d, bool toBoolean = false);
// Integer -> Boolean alone.
void narrowToBoolean(Workspace& ws, ValueDescriptor& d);

// Whether a double converts to an Integer element exactly (NaN is the null).
inline bool fitsInteger(double x) {
    return x != x || (x >= -2147483647.0 && x <= 2147483647.0 && x == static_cast<double>(static_cast<long long>(x)));
}
// The Integer element for a double that fits: NaN becomes the integer null.
std::int32_t toIntegerElement(double x);

}  // namespace wox::values
