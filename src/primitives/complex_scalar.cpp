// The scalar functions on complex values: the checks and the result of the
// call here, the element rules in the numeric library. Real arguments (of a
// call that has a Complex one, or of a power, logarithm or circle function
// whose values are complex) are widened a chunk at a time into a buffer on
// the C stack, so no converted copy of an argument is ever built and the
// conversion cannot fail. The result is Complex, then narrowed: a result
// whose imaginary parts are all 0 becomes Float or Integer.
#include <algorithm>
#include <array>
#include <optional>

#include "numeric/complex_functions.h"
#include "primitives/argument_digest.h"
#include "primitives/complex_step.h"
#include "primitives/conformability.h"
#include "primitives/element_loops.h"
#include "primitives/scalar_seams.h"
#include "values/shaped_result.h"
#include "primitives/small_dims.h"
#include "primitives/structural_result.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"
#include "values/narrowing.h"

namespace wox::primitives {

namespace {

using numeric::Complex;
using numeric::ComplexDyadic;
using numeric::ComplexMonadic;

// Elements are widened this many at a time.
constexpr std::int64_t kWidenChunk = 256;

// One argument read as complex elements: a Complex block in place, or real
// elements widened into a buffer, or one element that extends (step 0).
class ComplexReader {
public:
    explicit ComplexReader(const ArgumentSide& s) : s_(s) {
        if (s.single) one_ = readOne(s);
    }
    // Elements first .. first + n - 1 (n <= kWidenChunk), and the step between them.
    const Complex* at(std::int64_t first, std::int64_t n, std::ptrdiff_t& step) {
        if (s_.single) {
            step = 0;
            return &one_;
        }
        step = 1;
        if (s_.type == kComplex) return s_.block<Complex>() + first;
        if (isIntegral(s_.type)) {
            widen(s_.block<std::int32_t>() + first, n);
        } else {
            widen(s_.block<double>() + first, n);
        }
        return buffer_.data();
    }

private:
    static Complex readOne(const ArgumentSide& s) {
        if (s.type == kComplex) return *s.block<Complex>();
        if (isIntegral(s.type)) return {ops::toDouble(s.inlineInt), 0.0};
        return {s.inlineDouble, 0.0};
    }
    template <class T>
    void widen(const T* p, std::int64_t n) {
        for (std::int64_t i = 0; i < n; ++i) buffer_[static_cast<std::size_t>(i)] = {ops::toDouble(p[i]), 0.0};
    }

    const ArgumentSide& s_;
    Complex one_{};
    std::array<Complex, kWidenChunk> buffer_;
};

// Circle selectors: integral elements of any real type, as int32.
class SelectorReader {
public:
    explicit SelectorReader(const ArgumentSide& s) : s_(s) {
        if (s.single) one_ = isIntegral(s.type) ? s.inlineInt : static_cast<std::int32_t>(s.inlineDouble);
    }
    const std::int32_t* at(std::int64_t first, std::int64_t n, std::ptrdiff_t& step) {
        if (s_.single) {
            step = 0;
            return &one_;
        }
        step = 1;
        if (isIntegral(s_.type)) return s_.block<std::int32_t>() + first;
        const double* p = s_.block<double>() + first;
        for (std::int64_t i = 0; i < n; ++i) buffer_[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(p[i]);
        return buffer_.data();
    }

private:
    const ArgumentSide& s_;
    std::int32_t one_ = 0;
    std::array<std::int32_t, kWidenChunk> buffer_;
};

// The result slot's dimensions by the conformability rule: those of the side
// the shape comes from, or one element when that side is a scalar and the
// other a one-element vector.
SmallDims resultDims(const values::Workspace& ws, const ArgumentDigest& g) {
    const ArgumentSide& side = g.shapeFromRight ? g.right : g.left;
    if (side.rank != g.resultRank) {
        SmallDims one(1);
        one[0] = 1;
        return one;
    }
    Arg a(ws, side.ref);
    return a.dims(ws);
}

// Gives the result its Complex block (an empty result is Integer).
Rc complexResult(values::Context& cx, int result, const SmallDims& dims, std::int64_t n, Complex** out) {
    char* bytes = nullptr;
    Rc rc = values::makeResult(cx.ws, result, n == 0 ? kInteger : kComplex, dims.data(), dims.rank(), &bytes);
    if (rc.failed()) return cx.fail(rc.code);
    *out = reinterpret_cast<Complex*>(bytes);
    return kOk;
}

Rc circleRun(values::Context& cx, ArgumentDigest& g, Complex* out) {
    SelectorReader left(g.left);
    ComplexReader right(g.right);
    for (std::int64_t i = 0; i < g.resultCount; i += kWidenChunk) {
        std::int64_t n = std::min(kWidenChunk, g.resultCount - i);
        std::ptrdiff_t ls, rs;
        const std::int32_t* l = left.at(i, n, ls);
        const Complex* r = right.at(i, n, rs);
        numeric::complexCircle(l, ls, r, rs, out + i, n);
    }
    narrowComplexResult(cx.ws, g.result);
    return kOk;
}

}  // namespace

Rc complexMonadic(values::Context& cx, int code, int result, ValueRef right) {
    std::optional<ComplexMonadic> f = complexMonadicOf(code);
    if (!f) return cx.fail(kNotImplemented);
    values::Workspace& ws = cx.ws;
    ArgumentDigest g = digestMonadic(ws, result, right);
    if (!g.right.present()) return cx.fail(kValueError);
    if (g.right.type != kComplex && !isRealNumeric(g.right.type)) return cx.fail(kDomainError);
    const std::int64_t n = g.resultCount;
    Complex* out = nullptr;
    WOX_TRY(complexResult(cx, result, Arg(ws, right).dims(ws), n, &out));
    if (n == 0) return kOk;
    g.refresh(ws);
    ComplexReader z(g.right);
    for (std::int64_t i = 0; i < n; i += kWidenChunk) {
        std::int64_t k = std::min(kWidenChunk, n - i);
        std::ptrdiff_t step;
        const Complex* p = z.at(i, k, step);
        // A single argument is a single result: k is 1 and the step does not matter.
        numeric::complexMonadic(*f, p, out + i, k);
    }
    narrowComplexResult(ws, result);
    return kOk;
}

Rc complexDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    ArgumentDigest g = digestDyadic(ws, result, left, right);
    if (!g.left.present() || !g.right.present()) return cx.fail(kValueError);
    if (Rc rc = conformabilityCheck(ws, g); rc.failed()) return cx.fail(rc.code);
    std::optional<ComplexDyadic> f = complexDyadicOf(code);
    if (!f && code != vocabulary::code::kCircle) return cx.fail(kNotImplemented);
    Complex* out = nullptr;
    WOX_TRY(complexResult(cx, result, resultDims(ws, g), g.resultCount, &out));
    if (g.resultCount == 0) return kOk;
    g.refresh(ws);
    if (!f) return circleRun(cx, g, out);
    ComplexReader x(g.left);
    ComplexReader y(g.right);
    for (std::int64_t i = 0; i < g.resultCount; i += kWidenChunk) {
        std::int64_t n = std::min(kWidenChunk, g.resultCount - i);
        std::ptrdiff_t xs, ys;
        const Complex* l = x.at(i, n, xs);
        const Complex* r = y.at(i, n, ys);
        if (numeric::complexDyadic(*f, l, xs, r, ys, out + i, n) != n) return cx.fail(kDomainError);
    }
    narrowComplexResult(ws, result);
    return kOk;
}

}  // namespace wox::primitives
