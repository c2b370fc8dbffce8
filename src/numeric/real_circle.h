#pragma once
// The circle functions of a real argument: the operators apply them element
// by element, and the complex circle functions use them where a real
// argument has a real value.
#include <optional>

namespace wox::numeric {

// Circle function n (-7..7) of x: 0 sqrt(1-x*x), 1..3 sin cos tan, 4
// sqrt(1+x*x), 5..7 sinh cosh tanh, and the negatives their inverses (-4
// sqrt(x*x-1)). A result of magnitude below 1e-13 is 0. No value for an n
// outside -7..7; the caller reports it.
std::optional<double> realCircle(int n, double x);

}  // namespace wox::numeric
