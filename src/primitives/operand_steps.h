#pragma once
// The operand of reduce, scan, outer and inner product as one element step
// on doubles: the scalar function's own rule (scalar_ops.h), with the checks
// that the scalar family makes over whole arguments made per step instead,
// because the operators apply the step to values they compute themselves.
//
// A step is an object: steps that can fail keep the first failure in
// `failure` (a message number) and give the null, so loops stay free of
// early exits; the caller looks at `failure` once after its loop.
#include <cmath>
#include <cstdint>
#include <optional>

#include "numeric/real_circle.h"
#include "primitives/scalar_ops.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::primitives {

// The dyadic scalar functions that may be operands: the logical functions,
// the comparisons and the arithmetic.
inline bool isScalarOperand(int f) {
    if (f == vocabulary::code::kOr || f == vocabulary::code::kAnd) return true;
    if (f >= vocabulary::code::kLess && f <= vocabulary::code::kEqual) return true;
    return f >= vocabulary::code::kPlus && f <= vocabulary::code::kCircle && (f - vocabulary::code::kPlus) % 2 == 0;
}

inline bool isLogicalOperand(int f) { return f == vocabulary::code::kOr || f == vocabulary::code::kAnd; }
inline bool isComparisonOperand(int f) { return f >= vocabulary::code::kLess && f <= vocabulary::code::kEqual; }

// What reducing an empty axis gives.
inline double identityElement(int f) {
    switch (f) {
        case vocabulary::code::kAnd: case vocabulary::code::kLessEqual: case vocabulary::code::kGreaterEqual: case vocabulary::code::kEqual:
        case vocabulary::code::kTimes: case vocabulary::code::kDivide: case vocabulary::code::kPower: case vocabulary::code::kBinomial:
            return 1;
        case vocabulary::code::kMaximum: return -1.7976931348623157e308;
        case vocabulary::code::kMinimum: return 1.7976931348623157e308;
        default: return 0;
    }
}

// Whether every element is 0 or 1: a Boolean value, or an Integer one
// that narrows to Boolean.
inline bool allZeroOne(const values::Workspace& ws, const ValueDescriptor& d) {
    if (d.type == kBoolean) return true;
    if (d.type != kInteger) return false;
    const auto* p = isInline(d) ? &d.shape0 : ws.elems<std::int32_t>(d);
    std::uint32_t above = 0;
    for (std::int32_t i = 0; i < d.count; ++i) above |= static_cast<std::uint32_t>(p[i]) > 1u;
    return above == 0;
}

namespace steps {

// A rule of scalar_ops.h that cannot fail.
template <class Op>
struct Plain {
    int failure = 0;
    double operator()(double x, double y) const { return Op::apply(x, y); }
};

// Comparisons and the logical functions give 1 or 0.
template <class Cmp>
struct Truth {
    int failure = 0;
    double operator()(double x, double y) const { return Cmp::apply(x, y) ? 1.0 : 0.0; }
};

// Operands of or and and must be 0 or 1; others (which an inner product's
// inner function can give) are a domain error.
inline bool isTruth(double v) { return v == 0 || v == 1; }

struct Or {
    int failure = 0;
    double operator()(double x, double y) {
        if (!isTruth(x) || !isTruth(y)) failure = failure ? failure : kDomainError;
        return ((x != 0) | (y != 0)) ? 1.0 : 0.0;
    }
};

struct And {
    int failure = 0;
    double operator()(double x, double y) {
        if (!isTruth(x) || !isTruth(y)) failure = failure ? failure : kDomainError;
        return ((x != 0) & (y != 0)) ? 1.0 : 0.0;
    }
};

// A negative number to a fractional power has only complex values, which
// these real loops do not compute.
struct Power {
    int failure = 0;
    double operator()(double x, double y) {
        if (x < 0 && std::isfinite(x) && std::isfinite(y) && y != std::floor(y)) {
            if (!failure) failure = kNotImplemented;
            return ops::kNull;
        }
        return ops::Power::apply(x, y);
    }
};

struct Logarithm {
    int failure = 0;
    double operator()(double x, double y) {
        if (x == 1 && y != 1 && !ops::isNull(y)) {
            if (!failure) failure = kDomainError;
            return ops::kNull;
        }
        if (x < 0 || y < 0) {
            if (!failure) failure = kNotImplemented;
            return ops::kNull;
        }
        return ops::Logarithm::apply(x, y);
    }
};

struct Binomial {
    int failure = 0;
    double operator()(double x, double y) {
        if (ops::isNull(x) || ops::isNull(y)) return ops::kNull;
        bool integral = std::isfinite(x) && std::isfinite(y) && x == std::floor(x) && y == std::floor(y);
        if (!integral || ops::binomialFactors(x, y) > ops::kBinomialFactorLimit) {
            if (!failure) failure = kDomainError;
            return ops::kNull;
        }
        return ops::Binomial::apply(x, y);
    }
};

// The real circle functions; the selectors beyond -7..7 and arguments
// outside a function's real domain have complex values only.
struct Circle {
    int failure = 0;
    double operator()(double x, double y) {
        if (ops::isNull(x) || ops::isNull(y)) return ops::kNull;
        if (x != std::floor(x) || x < -12 || x > 11) {
            if (!failure) failure = kDomainError;
            return ops::kNull;
        }
        std::optional<double> r = numeric::realCircle(static_cast<int>(x), y);
        if (!r || ops::isNull(*r)) {
            if (!failure) failure = kNotImplemented;
            return ops::kNull;
        }
        return *r;
    }
};

}  // namespace steps

// fn(step) with the step of operand f; f must satisfy isScalarOperand.
template <class F>
decltype(auto) visitOperand(int f, F&& fn) {
    switch (f) {
        case vocabulary::code::kOr: return fn(steps::Or{});
        case vocabulary::code::kAnd: return fn(steps::And{});
        case vocabulary::code::kLess: return fn(steps::Truth<ops::Less>{});
        case vocabulary::code::kLessEqual: return fn(steps::Truth<ops::LessEqual>{});
        case vocabulary::code::kGreaterEqual: return fn(steps::Truth<ops::GreaterEqual>{});
        case vocabulary::code::kGreater: return fn(steps::Truth<ops::Greater>{});
        case vocabulary::code::kNotEqual: return fn(steps::Truth<ops::NotEqual>{});
        case vocabulary::code::kEqual: return fn(steps::Truth<ops::Equal>{});
        case vocabulary::code::kMinus: return fn(steps::Plain<ops::Minus>{});
        case vocabulary::code::kTimes: return fn(steps::Plain<ops::Times>{});
        case vocabulary::code::kDivide: return fn(steps::Plain<ops::Divide>{});
        case vocabulary::code::kMaximum: return fn(steps::Plain<ops::Maximum>{});
        case vocabulary::code::kMinimum: return fn(steps::Plain<ops::Minimum>{});
        case vocabulary::code::kPower: return fn(steps::Power{});
        case vocabulary::code::kLogarithm: return fn(steps::Logarithm{});
        case vocabulary::code::kResidue: return fn(steps::Plain<ops::Residue>{});
        case vocabulary::code::kBinomial: return fn(steps::Binomial{});
        case vocabulary::code::kCircle: return fn(steps::Circle{});
        default: return fn(steps::Plain<ops::Plus>{});
    }
}

}  // namespace wox::primitives
