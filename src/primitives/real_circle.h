#pragma once
// The circle functions of a real argument, for the operators that apply a
// circle function element by element.
#include <optional>

namespace wox::primitives {

// Circle function n (-7..7) of x: 0 sqrt(1-x*x), 1..3 sin cos tan, 4
// sqrt(1+x*x), 5..7 sinh cosh tanh, and the negatives their inverses (-4
// sqrt(x*x-1)). A result of magnitude below 1e-13 is 0. No value for an n
// outside -7..7; the caller reports it.
std::optional<double> realCircle(int n, double x);

}  // namespace wox::primitives
