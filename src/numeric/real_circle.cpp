#include "numeric/real_circle.h"

#include <cmath>

namespace wox::numeric {

std::optional<double> realCircle(int n, double x) {
    double r;
    switch (n) {
        case 0: r = std::sqrt(1 - x * x); break;
        case 1: r = std::sin(x); break;
        case 2: r = std::cos(x); break;
        case 3: r = std::tan(x); break;
        case 4: r = std::sqrt(1 + x * x); break;
        case 5: r = std::sinh(x); break;
        case 6: r = std::cosh(x); break;
        case 7: r = std::tanh(x); break;
        case -1: r = std::asin(x); break;
        case -2: r = std::acos(x); break;
        case -3: r = std::atan(x); break;
        case -4: r = std::sqrt(x * x - 1); break;
        case -5: r = std::asinh(x); break;
        case -6: r = std::acosh(x); break;
        case -7: r = std::atanh(x); break;
        default: return std::nullopt;
    }
    // Rounding noise such as sin(pi) reads as the 0 it stands for.
    return std::fabs(r) < 1e-13 ? 0.0 : r;
}

}  // namespace wox::numeric
