#include "primitives/scalar_seams.h"

#include <new>
#include <vector>

#include "primitives/argument_digest.h"
#include "primitives/conformability.h"
#include "vocabulary/vocabulary.h"
#include "types/temporal.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// The language error of temporal error e (31 "error time format" ...).
int temporalRc(int e) { return static_cast<int>(kTimeFormat) - 1 + e; }

// An argument's elements with the stride that scalar extension gives them.
struct Stream {
    const std::int32_t* p;
    std::size_t step;
};

Stream streamOf(const ArgumentSide& s) {
    if (s.single) return {&s.inlineInt, 0};
    return {s.block<std::int32_t>(), 1};
}

// Whether order o (0 equal, 1 later, 2 earlier) satisfies comparison `code`.
bool satisfies(int code, int o) {
    switch (code) {
        case vocabulary::code::kLess: return o == 2;
        case vocabulary::code::kLessEqual: return o != 1;
        case vocabulary::code::kGreaterEqual: return o != 2;
        case vocabulary::code::kGreater: return o == 1;
        case vocabulary::code::kNotEqual: return o != 0;
        default: return o == 0;
    }
}

// Copies the computed elements into the result slot.
template <class T>
Rc store(values::Context& cx, ArgumentDigest& g, std::int32_t type, const std::vector<T>& out) {
    WOX_TRY(prepareResult(cx, g, type));
    if (g.resultCount == 0) return kOk;
    if (g.resultSingle) {
        ValueDescriptor& d = cx.ws.var(g.result);
        if constexpr (sizeof(T) == 8) setInlineFloat(d, out[0]);
        else setInlineInt(d, out[0]);
        return kOk;
    }
    T* r = resultBlock<T>(cx, g);
    for (std::size_t i = 0; i < out.size(); ++i) r[i] = out[i];
    return kOk;
}

Rc temporalElements(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    ArgumentDigest g = digestDyadic(cx.ws, result, left, right);
    if (Rc rc = conformabilityCheck(cx.ws, g); rc.failed()) return cx.fail(rc.code);
    const std::size_t n = static_cast<std::size_t>(g.resultCount);
    const Stream a = streamOf(g.left), b = streamOf(g.right);
    types::TemporalTable& table = cx.ws.temporals;
    auto rec = [&table](std::int32_t i) -> const values::TemporalRecord* {
        return i >= 0 && static_cast<std::size_t>(i) < table.size() ? &table[static_cast<std::size_t>(i)] : nullptr;
    };

    if (code != vocabulary::code::kPlus && code != vocabulary::code::kMinus) {
        std::vector<std::int32_t> out(n);
        for (std::size_t i = 0; i < n; ++i) {
            const values::TemporalRecord *x = rec(a.p[i * a.step]), *y = rec(b.p[i * b.step]);
            if (!x || !y) return cx.fail(kDomainError);
            int order = 0;
            if (int e = types::compareTemporal(*x, *y, &order); e) return cx.fail(temporalRc(e));
            out[i] = satisfies(code, order);
        }
        return store(cx, g, kBoolean, out);
    }

    if (g.left.type == kTemporal && g.right.type == kTemporal) {
        std::vector<double> out(n);
        for (std::size_t i = 0; i < n; ++i) {
            const values::TemporalRecord *x = rec(a.p[i * a.step]), *y = rec(b.p[i * b.step]);
            if (!x || !y) return cx.fail(kDomainError);
            if (int e = types::temporalDifference(*x, *y, &out[i]); e) return cx.fail(temporalRc(e));
        }
        return store(cx, g, kFloat, out);
    }

    // A value moved by amounts: the number may stand on either side of
    // plus, only on the right of minus.
    const bool temporalLeft = g.left.type == kTemporal;
    const Stream when = temporalLeft ? a : b, amount = temporalLeft ? b : a;
    const std::int64_t sign = code == vocabulary::code::kMinus ? -1 : 1;
    const std::size_t mark = table.size();
    std::vector<std::int32_t> out(n);
    for (std::size_t i = 0; i < n; ++i) {
        const values::TemporalRecord* x = rec(when.p[i * when.step]);
        if (!x) return cx.fail(kDomainError);
        const values::TemporalRecord from = *x;  // the table may grow under x
        if (int e = types::addToTemporal(table, from, sign * amount.p[i * amount.step], &out[i]); e) {
            table.resize(mark);
            return cx.fail(temporalRc(e));
        }
    }
    return store(cx, g, kTemporal, out);
}

}  // namespace

// The elements are computed into working vectors before the result exists;
// memory for them that cannot be had is "workspace full".
Rc temporalDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    try {
        return temporalElements(cx, code, result, left, right);
    } catch (const std::bad_alloc&) {
        return cx.fail(kWorkspaceFull);
    }
}


}  // namespace wox::primitives
