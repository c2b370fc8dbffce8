// Outer product: result row i is f of element i of x with the whole of y,
// run by the scalar families' element loops (element_loops.h) with x's
// element held as a single operand, so each row is one vector loop.
// Integer pairs of a function closed over the integers are computed in
// integers; if any result leaves the Integer range the whole product is
// computed again in doubles.
#include <cstdint>
#include <type_traits>
#include <vector>

#include "primitives/complex_step.h"
#include "primitives/element_loops.h"
#include "primitives/operand_steps.h"
#include "primitives/operators.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"
#include "values/narrowing.h"

namespace wox::primitives {

namespace {

struct Sides {
    ValueDescriptor x;  // copies: inline elements are read from them
    ValueDescriptor y;
    std::int64_t nx = 0;
    std::int64_t ny = 0;
};

// fn(tag of x's element type, tag of y's) for real numeric sides.
template <class F>
decltype(auto) visitReal(const Sides& s, F&& fn) {
    using I = std::type_identity<std::int32_t>;
    using D = std::type_identity<double>;
    bool xi = isIntegral(s.x.type), yi = isIntegral(s.y.type);
    if (xi && yi) return fn(I{}, I{});
    if (xi) return fn(I{}, D{});
    if (yi) return fn(D{}, I{});
    return fn(D{}, D{});
}

template <class Op>
bool intRows(values::Context& cx, const Sides& s, std::int32_t* out) {
    const auto* x = reinterpret_cast<const std::int32_t*>(values::elementsOf(cx.ws, s.x));
    const auto* y = reinterpret_cast<const std::int32_t*>(values::elementsOf(cx.ws, s.y));
    bool fits = true;
    for (std::int64_t i = 0; i < s.nx; ++i)
        fits &= intLoop<Op>(Same<std::int32_t>{x[i]}, Each<std::int32_t>{y}, out + i * s.ny, s.ny);
    return fits;
}

// True when every result is an Integer element.
template <class Op>
bool floatRows(values::Context& cx, const Sides& s, double* out) {
    return visitReal(s, [&](auto lt, auto rt) {
        using L = typename decltype(lt)::type;
        using R = typename decltype(rt)::type;
        const auto* x = reinterpret_cast<const L*>(values::elementsOf(cx.ws, s.x));
        const auto* y = reinterpret_cast<const R*>(values::elementsOf(cx.ws, s.y));
        bool integral = true;
        for (std::int64_t i = 0; i < s.nx; ++i)
            integral &= floatLoop<Op>(Same<L>{x[i]}, Each<R>{y}, out + i * s.ny, s.ny);
        return integral;
    });
}

template <class Cmp>
void compareRows(values::Context& cx, const Sides& s, std::int32_t* out) {
    visitReal(s, [&](auto lt, auto rt) {
        using L = typename decltype(lt)::type;
        using R = typename decltype(rt)::type;
        using E = std::conditional_t<std::is_same_v<L, std::int32_t> && std::is_same_v<R, std::int32_t>,
                                     std::int32_t, double>;
        const auto* x = reinterpret_cast<const L*>(values::elementsOf(cx.ws, s.x));
        const auto* y = reinterpret_cast<const R*>(values::elementsOf(cx.ws, s.y));
        for (std::int64_t i = 0; i < s.nx; ++i)
            compareLoop<E, Cmp>(Same<L>{x[i]}, Each<R>{y}, out + i * s.ny, s.ny);
    });
}

// Characters or symbols, equal or not.
template <class T>
void sameTypeRows(values::Context& cx, const Sides& s, bool notEqual, std::int32_t* out) {
    const auto* x = reinterpret_cast<const T*>(values::elementsOf(cx.ws, s.x));
    const auto* y = reinterpret_cast<const T*>(values::elementsOf(cx.ws, s.y));
    const std::int32_t flip = notEqual ? 1 : 0;
    for (std::int64_t i = 0; i < s.nx; ++i) {
        T v = x[i];
        std::int32_t* row = out + i * s.ny;
        for (std::int64_t j = 0; j < s.ny; ++j) row[j] = static_cast<std::int32_t>(v == y[j]) ^ flip;
    }
}

// The functions with a failing step (power, logarithm, binomial, circle).
template <class Step>
Rc stepRows(values::Context& cx, const Sides& s, double* out, Step step) {
    visitReal(s, [&](auto lt, auto rt) {
        using L = typename decltype(lt)::type;
        using R = typename decltype(rt)::type;
        const auto* x = reinterpret_cast<const L*>(values::elementsOf(cx.ws, s.x));
        const auto* y = reinterpret_cast<const R*>(values::elementsOf(cx.ws, s.y));
        for (std::int64_t i = 0; i < s.nx; ++i) {
            double v = ops::toDouble(x[i]);
            double* row = out + i * s.ny;
            for (std::int64_t j = 0; j < s.ny; ++j) row[j] = step(v, ops::toDouble(y[j]));
        }
    });
    // 43 asks for the complex kernel, which the caller runs.
    if (wantsComplex(step.failure)) return step.failure;
    return step.failure ? cx.fail(step.failure) : kOk;
}

// Gives the result a Float block in place of the block it has.
Rc retypeFloat(values::Context& cx, int result) {
    ValueDescriptor& d = cx.ws.var(result);
    if (!isInline(d)) {
        cx.ws.stackTop = d.data;
        if (Rc rc = cx.ws.allocTemp(result, kFloat, d.count, false); rc.failed()) return cx.fail(rc.code);
    }
    cx.ws.var(result).type = kFloat;
    return kOk;
}

// Plus, minus and times of Integer sides whose magnitudes bound every
// result within the Integer range need no test per element.
template <class Op>
WOX_VECTOR_CLONES void boundedRow(std::int32_t v, const std::int32_t* __restrict y, std::int32_t* __restrict out,
                                  std::int64_t n) {
    for (std::int64_t j = 0; j < n; ++j) {
        if constexpr (std::is_same_v<Op, ops::Plus>) out[j] = v + y[j];
        else if constexpr (std::is_same_v<Op, ops::Minus>) out[j] = v - y[j];
        else out[j] = v * y[j];
    }
}

template <class Op>
bool boundedRows(values::Context& cx, const Sides& s, std::int32_t* out) {
    if constexpr (std::is_same_v<Op, ops::Plus> || std::is_same_v<Op, ops::Minus> || std::is_same_v<Op, ops::Times>) {
        const auto* x = reinterpret_cast<const std::int32_t*>(values::elementsOf(cx.ws, s.x));
        const auto* y = reinterpret_cast<const std::int32_t*>(values::elementsOf(cx.ws, s.y));
        std::int64_t mx = largestMagnitude(x, s.nx), my = largestMagnitude(y, s.ny);
        if (mx < 0 || my < 0) return false;
        std::int64_t bound = std::is_same_v<Op, ops::Times> ? mx * my : mx + my;
        if (bound > 2147483647) return false;
        for (std::int64_t i = 0; i < s.nx; ++i) boundedRow<Op>(x[i], y, out + i * s.ny, s.ny);
        return true;
    } else {
        return false;
    }
}

template <class Op>
Rc arithmetic(values::Context& cx, int result, Sides& s) {
    if constexpr (requires { Op::applyInt(0, 0); }) {
        if (isIntegral(s.x.type) && isIntegral(s.y.type)) {
            cx.ws.var(result).type = kInteger;
            if (boundedRows<Op>(cx, s, reinterpret_cast<std::int32_t*>(values::resultElements(cx, result)))) return kOk;
            if (intRows<Op>(cx, s, reinterpret_cast<std::int32_t*>(values::resultElements(cx, result)))) return kOk;
        }
    }
    WOX_TRY(retypeFloat(cx, result));
    floatRows<Op>(cx, s, reinterpret_cast<double*>(values::resultElements(cx, result)));
    values::narrow(cx.ws, cx.ws.var(result));
    return kOk;
}

Rc compute(values::Context& cx, int f, int result, Sides& s) {
    auto* truth = reinterpret_cast<std::int32_t*>(values::resultElements(cx, result));
    auto asTruth = [&] { cx.ws.var(result).type = kBoolean; return kOk; };
    if (s.x.type == kChar) {
        sameTypeRows<unsigned char>(cx, s, f == vocabulary::code::kNotEqual, truth);
        return asTruth();
    }
    if (s.x.type == kSymbol) {
        sameTypeRows<std::int32_t>(cx, s, f == vocabulary::code::kNotEqual, truth);
        return asTruth();
    }
    switch (f) {
        case vocabulary::code::kLess: compareRows<ops::Less>(cx, s, truth); return asTruth();
        case vocabulary::code::kLessEqual: compareRows<ops::LessEqual>(cx, s, truth); return asTruth();
        case vocabulary::code::kGreaterEqual: compareRows<ops::GreaterEqual>(cx, s, truth); return asTruth();
        case vocabulary::code::kGreater: compareRows<ops::Greater>(cx, s, truth); return asTruth();
        case vocabulary::code::kNotEqual: compareRows<ops::NotEqual>(cx, s, truth); return asTruth();
        case vocabulary::code::kEqual: compareRows<ops::Equal>(cx, s, truth); return asTruth();
        case vocabulary::code::kPlus: return arithmetic<ops::Plus>(cx, result, s);
        case vocabulary::code::kMinus: return arithmetic<ops::Minus>(cx, result, s);
        case vocabulary::code::kTimes: return arithmetic<ops::Times>(cx, result, s);
        case vocabulary::code::kDivide: return arithmetic<ops::Divide>(cx, result, s);
        case vocabulary::code::kMaximum: return arithmetic<ops::Maximum>(cx, result, s);
        case vocabulary::code::kMinimum: return arithmetic<ops::Minimum>(cx, result, s);
        case vocabulary::code::kResidue: return arithmetic<ops::Residue>(cx, result, s);
        default: break;
    }
    if (isLogicalOperand(f)) {
        // 0/1 elements: or is the maximum, and the minimum.
        const auto* x = reinterpret_cast<const std::int32_t*>(values::elementsOf(cx.ws, s.x));
        const auto* y = reinterpret_cast<const std::int32_t*>(values::elementsOf(cx.ws, s.y));
        const bool isOr = f == vocabulary::code::kOr;
        for (std::int64_t i = 0; i < s.nx; ++i) {
            std::int32_t v = x[i];
            std::int32_t* row = truth + i * s.ny;
            for (std::int64_t j = 0; j < s.ny; ++j) row[j] = isOr ? (v | y[j]) : (v & y[j]);
        }
        return asTruth();
    }
    WOX_TRY(retypeFloat(cx, result));
    auto* out = reinterpret_cast<double*>(values::resultElements(cx, result));
    Rc rc = visitOperand(f, [&](auto step) { return stepRows(cx, s, out, step); });
    WOX_TRY(rc);
    values::narrow(cx.ws, cx.ws.var(result));
    return kOk;
}

Rc checkTypes(const values::Workspace& ws, int f, const ValueDescriptor& x, const ValueDescriptor& y) {
    std::int32_t widest = x.type > y.type ? x.type : y.type;
    if (widest == kChar || widest == kSymbol) {
        bool equality = f == vocabulary::code::kEqual || f == vocabulary::code::kNotEqual;
        return x.type == y.type && equality ? kOk : kDomainError;
    }
    if (widest == kComplex) return x.type == kChar || y.type == kChar ? kDomainError : kOk;
    if (widest > kComplex) return kTypeError;
    if (isLogicalOperand(f) && !(allZeroOne(ws, x) && allZeroOne(ws, y))) return kDomainError;
    return kOk;
}

// Every pair in complex numbers: for Complex sides, and for real ones whose
// power, logarithm or circle function has complex values.
Rc complexPairs(values::Context& cx, int f, int result, ValueRef left, ValueRef right,
                const std::vector<std::int32_t>& dims) {
    ComplexSides sides;
    WOX_TRY(sides.prepare(cx, result, dims, left, right));
    const Complex* x = sides.x;
    const Complex* y = sides.y;
    Complex* out = sides.out;
    const std::int64_t nx = cx.ws.at(left).count, ny = cx.ws.at(right).count;
    ComplexStep step(f);
    for (std::int64_t i = 0; i < nx; ++i)
        for (std::int64_t j = 0; j < ny; ++j) out[i * ny + j] = step(x[i], y[j]);
    if (step.failure) return cx.fail(step.failure);
    narrowComplexResult(cx.ws, result, f == vocabulary::code::kEqual || f == vocabulary::code::kNotEqual);
    return kOk;
}

}  // namespace

Rc outerProduct(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    const ValueDescriptor& x0 = cx.ws.at(left);
    const ValueDescriptor& y0 = cx.ws.at(right);
    if (x0.unset() || y0.unset()) return cx.fail(kValueError);
    const int f = code - vocabulary::code::kOuterProductBase;
    if (!isScalarOperand(f)) return cx.fail(kDomainError);
    if (Rc rc = checkTypes(cx.ws, f, x0, y0); rc.failed()) return cx.fail(rc.code);
    std::vector<std::int32_t> dims = values::dimensionsOf(cx.ws, x0);
    std::vector<std::int32_t> ydims = values::dimensionsOf(cx.ws, y0);
    dims.insert(dims.end(), ydims.begin(), ydims.end());
    const bool complex = x0.type == kComplex || y0.type == kComplex;
    WOX_TRY(values::shapedResult(cx, result, kInteger, dims));
    if (cx.ws.var(result).count == 0) return kOk;
    if (!complex) {
        // Read after the allocation, which may have moved the arguments' blocks.
        Sides s{cx.ws.at(left), cx.ws.at(right), cx.ws.at(left).count, cx.ws.at(right).count};
        Rc rc = compute(cx, f, result, s);
        if (!wantsComplex(rc.code)) return rc;
    }
    dropResultBlock(cx.ws, result);
    return complexPairs(cx, f, result, left, right, dims);
}

}  // namespace wox::primitives
