#pragma once
// The operand of reduce, scan, outer and inner product as one element step
// on complex numbers: for Complex arguments, and for real ones whose power,
// logarithm or circle function has complex values (the real steps stop
// those with 43, and the operator runs again here). Like the real steps it
// keeps its first failure and gives the null, so loops have no early exits.
#include <cmath>
#include <cstdint>
#include <new>
#include <optional>
#include <vector>

#include "numeric/complex_functions.h"
#include "primitives/complex_codes.h"
#include "primitives/scalar_ops.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"
#include "values/context.h"
#include "values/messages.h"
#include "values/narrowing.h"
#include "values/value.h"
#include "values/workspace.h"

namespace wox::primitives {

using numeric::Complex;

class ComplexStep {
public:
    explicit ComplexStep(int f) : f_(f), op_(complexDyadicOf(f)) {}

    int failure = 0;

    Complex operator()(Complex x, Complex y) {
        if (op_) {
            Complex r;
            return numeric::complexDyadic(*op_, x, y, r) ? r : fail();
        }
        if (f_ == vocabulary::code::kCircle) {
            if (ops::isNull(x.re) || ops::isNull(y.re) || ops::isNull(y.im)) return kNullElement;
            bool selector = x.im == 0 && x.re == std::floor(x.re) && x.re >= numeric::kLowestCircle &&
                            x.re <= numeric::kHighestCircle;
            return selector ? numeric::complexCircle(static_cast<int>(x.re), y) : fail();
        }
        if (f_ == vocabulary::code::kEqual || f_ == vocabulary::code::kNotEqual) {
            bool same = ops::Equal::apply(ops::ComplexElement{x.re, x.im}, ops::ComplexElement{y.re, y.im});
            return {same == (f_ == vocabulary::code::kEqual) ? 1.0 : 0.0, 0.0};
        }
        return fail();  // ordering, maximum, minimum, logic: real numbers only
    }

private:
    static constexpr Complex kNullElement{ops::kNull, 0.0};

    Complex fail() {
        if (!failure) failure = kDomainError;
        return kNullElement;
    }

    int f_;
    std::optional<numeric::ComplexDyadic> op_;
};

// Whether an operator's real kernel asked for the complex one.
inline bool wantsComplex(int failure) { return failure == kNotImplemented; }

// The elements of a real or Complex value as complex numbers: a Complex
// block where it lies (valid until the next heap allocation), real elements
// widened into `copy`. Throws std::bad_alloc.
inline const Complex* asComplex(const values::Workspace& ws, const ValueDescriptor& d, std::vector<Complex>& copy) {
    const char* p = values::elementsOf(ws, d);
    if (d.type == kComplex) return reinterpret_cast<const Complex*>(p);
    copy.resize(static_cast<std::size_t>(d.count));
    if (d.type == kFloat) {
        const auto* e = reinterpret_cast<const double*>(p);
        for (std::int32_t i = 0; i < d.count; ++i) copy[static_cast<std::size_t>(i)] = {e[i], 0.0};
    } else {
        const auto* e = reinterpret_cast<const std::int32_t*>(p);
        for (std::int32_t i = 0; i < d.count; ++i) copy[static_cast<std::size_t>(i)] = {ops::toDouble(e[i]), 0.0};
    }
    return copy.data();
}

// An outer or inner product's Complex result of shape `dims`, and both
// arguments as complex numbers (see asComplex), read after the result's
// allocation; "workspace full" when either cannot be made.
struct ComplexSides {
    const Complex* x = nullptr;
    const Complex* y = nullptr;
    Complex* out = nullptr;
    std::vector<Complex> xCopy, yCopy;

    Rc prepare(values::Context& cx, int result, const std::vector<std::int32_t>& dims, ValueRef left,
               ValueRef right) {
        WOX_TRY(values::shapedResult(cx, result, kComplex, dims));
        try {
            x = asComplex(cx.ws, cx.ws.at(left), xCopy);
            y = asComplex(cx.ws, cx.ws.at(right), yCopy);
        } catch (const std::bad_alloc&) {
            return cx.fail(kWorkspaceFull);
        }
        out = reinterpret_cast<Complex*>(values::resultElements(cx, result));
        return kOk;
    }
};

// Narrows a finished Complex result; one that becomes an inline Float or
// Integer no longer names its stack block.
inline void narrowComplexResult(values::Workspace& ws, int result, bool toBoolean = false) {
    ValueDescriptor& d = ws.var(result);
    values::narrow(ws, d, toBoolean);
    if (isInline(d)) {
        d.blockSize = 0;
        d.data = 0;
    }
}

// Gives back the stack block of a result that is about to be made again
// with another type.
inline void dropResultBlock(values::Workspace& ws, int result) {
    const ValueDescriptor& d = ws.var(result);
    if (!isInline(d) && d.blockSize > 0) ws.stackTop = d.data;
}

}  // namespace wox::primitives
