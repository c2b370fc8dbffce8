// Dyadic arithmetic. The types decide the path once per call: Dictionary,
// Temporal and Complex arguments go to their seams after the checks that
// belong to this family; real arguments run one element rule over the
// pairs, in one of three loop shapes (both blocks, left single, right
// single), with Integer and Float elements read as they are.
//
// When both arguments are Boolean or Integer and the function is closed over
// the integers (plus, minus, times, maximum, minimum, residue) the loop works
// in integers and notes whether any result left the Integer range; only then
// is the call done again in doubles. Every other result is computed as a
// double while the loop notes whether all are integral, so narrowing costs a
// pass only when the result does narrow.
#include <array>
#include <cmath>

#include "primitives/conformability.h"
#include "primitives/element_loops.h"
#include "primitives/scalar.h"
#include "primitives/scalar_ops.h"
#include "primitives/scalar_seams.h"
#include "primitives/single_scalars.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

using vocabulary::code::kBinomial;
using vocabulary::code::kCircle;
using vocabulary::code::kMaximum;
using vocabulary::code::kMinimum;
using vocabulary::code::kMinus;
using vocabulary::code::kPlus;
constexpr int kLowestCircle = -12;
constexpr int kHighestCircle = 11;

// The call as it was handed in, passed on to a seam unchanged.
struct Call {
    int code;
    int result;
    ValueRef left;
    ValueRef right;
};

template <class Op>
bool intPairs(const ArgumentDigest& g, std::int32_t* out, std::int64_t n) {
    return visitShapes<std::int32_t, std::int32_t>(g, [&](auto l, auto r) { return intLoop<Op>(l, r, out, n); });
}

template <class Op>
bool floatPairs(const ArgumentDigest& g, double* out, std::int64_t n) {
    return visitNumeric(g, [&](auto l, auto r) { return floatLoop<Op>(l, r, out, n); });
}

template <class Op>
Rc runDyadic(values::Context& cx, ArgumentDigest& g) {
    const std::int64_t n = g.resultCount;
    [[maybe_unused]] const bool integers = isIntegral(g.left.type) && isIntegral(g.right.type);
    if (g.resultSingle) {
        if constexpr (requires { Op::applyInt(0, 0); }) {
            std::int32_t z;
            if (integers && intPairs<Op>(g, &z, 1)) {
                storeSingleInt(cx, g, kInteger, z);
                return kOk;
            }
        }
        double z;
        floatPairs<Op>(g, &z, 1);
        storeSingleNumber(cx, g, z);
        return kOk;
    }
    if (n == 0) return prepareResult(cx, g, kInteger);
    if constexpr (requires { Op::applyInt(0, 0); }) {
        if (integers) {
            WOX_TRY(prepareResult(cx, g, kInteger));
            if (intPairs<Op>(g, resultBlock<std::int32_t>(cx, g), n)) return kOk;
            WOX_TRY(retypeResult(cx, g, kFloat));
            // Some result is beyond the Integer range, so this one stays Float.
            floatPairs<Op>(g, resultBlock<double>(cx, g), n);
            return kOk;
        }
    }
    WOX_TRY(prepareResult(cx, g, kFloat));
    if (floatPairs<Op>(g, resultBlock<double>(cx, g), n)) narrowFloatResult(cx, g);
    return kOk;
}

// Whether pred(x, y) holds for some pair of elements, read as doubles.
template <class Pred>
bool anyPair(const ArgumentDigest& g, Pred pred) {
    const std::int64_t n = g.resultSingle ? 1 : g.resultCount;
    return visitNumeric(g, [&](auto l, auto r) {
        for (std::int64_t i = 0; i < n; ++i)
            if (pred(ops::toDouble(l[i]), ops::toDouble(r[i]))) return true;
        return false;
    });
}

// Whether pred(x) holds for every element of a side, read as a double.
template <class Pred>
bool allElements(const ArgumentSide& s, Pred pred) {
    const std::int64_t n = s.single ? 1 : s.count;
    return visitNumericSide(s, [&](auto a) {
        for (std::int64_t i = 0; i < n; ++i)
            if (!pred(ops::toDouble(a[i]))) return false;
        return true;
    });
}

// Integral elements (nulls allowed); a Float argument qualifies when its
// values do, so a value answers alike in every numeric type.
bool integralSide(const ArgumentSide& s) {
    if (isIntegral(s.type)) return true;
    return s.type == kFloat &&
           allElements(s, [](double x) { return ops::isNull(x) || (std::isfinite(x) && x == std::floor(x)); });
}

bool circleSelector(const ArgumentSide& s) {
    return isRealNumeric(s.type) &&
           allElements(s, [](double x) { return x >= kLowestCircle && x <= kHighestCircle && x == std::floor(x); });
}

Rc conform(values::Context& cx, ArgumentDigest& g) {
    if (Rc rc = conformabilityCheck(cx.ws, g); rc.failed()) return cx.fail(rc.code);
    return kOk;
}

Rc binomial(values::Context& cx, ArgumentDigest& g, const Call&) {
    if (!integralSide(g.left) || !integralSide(g.right)) return cx.fail(kDomainError);
    WOX_TRY(conform(cx, g));
    bool tooMany = anyPair(g, [](double x, double y) {
        return !ops::isNull(x) && !ops::isNull(y) && ops::binomialFactors(x, y) > ops::kBinomialFactorLimit;
    });
    if (tooMany) return cx.fail(kDomainError);
    return runDyadic<ops::Binomial>(cx, g);
}

// A negative number to a fractional power has complex values only.
Rc power(values::Context& cx, ArgumentDigest& g, const Call& c) {
    WOX_TRY(conform(cx, g));
    bool complex = anyPair(g, [](double x, double y) {
        return x < 0 && std::isfinite(x) && std::isfinite(y) && y != std::floor(y);
    });
    if (complex) return complexDyadic(cx, c.code, c.result, c.left, c.right);
    return runDyadic<ops::Power>(cx, g);
}

// Base 1 has no logarithm but of 1; a negative argument or base has complex
// logarithms.
Rc logarithm(values::Context& cx, ArgumentDigest& g, const Call& c) {
    WOX_TRY(conform(cx, g));
    if (anyPair(g, [](double x, double y) { return x == 1 && y != 1 && !ops::isNull(y); }))
        return cx.fail(kDomainError);
    if (anyPair(g, [](double x, double y) { return x < 0 || y < 0; }))
        return complexDyadic(cx, c.code, c.result, c.left, c.right);
    return runDyadic<ops::Logarithm>(cx, g);
}

Rc circle(values::Context& cx, ArgumentDigest& g, const Call& c) {
    if (!circleSelector(g.left)) return cx.fail(kDomainError);
    WOX_TRY(conform(cx, g));
    return complexDyadic(cx, c.code, c.result, c.left, c.right);
}

template <class Op>
Rc plain(values::Context& cx, ArgumentDigest& g, const Call&) {
    WOX_TRY(conform(cx, g));
    return runDyadic<Op>(cx, g);
}

// Two single real numbers (see single_scalars.h), for the functions that
// need no check beyond their element rule. The integer rule runs first when
// both are integers, as in runDyadic, and doubles take over when it does not
// fit.
template <class Op>
void singlePair(values::Workspace& ws, int result, const SinglePair& p) {
    if constexpr (requires { Op::applyInt(0, 0); }) {
        if (p.integers) {
            // intLoop's rule for one element, without its clones' dispatch.
            int null = (p.li == kIntNull) | (p.ri == kIntNull);
            ops::IntResult z = Op::applyInt(p.li, p.ri);
            if (null | z.fits) {
                writeSingleInt(ws, result, kInteger, p.rank, null ? kIntNull : z.value);
                return;
            }
        }
    }
    double l = p.integers ? ops::toDouble(p.li) : p.ld;
    double r = p.integers ? ops::toDouble(p.ri) : p.rd;
    double z;
    floatLoop<Op>(Same<double>{l}, Same<double>{r}, &z, 1);
    writeSingleNumber(ws, result, p.rank, z);
}

using Routine = Rc (*)(values::Context&, ArgumentDigest&, const Call&);
using SingleRoutine = SingleDyadic;

struct DyadicRow {
    int code;
    Routine run;
    SingleRoutine single;  // null when the function has checks of its own
};

constexpr int kFirstCode = kPlus;
constexpr std::array kDyadic{
    DyadicRow{kPlus, &plain<ops::Plus>, &singlePair<ops::Plus>},
    DyadicRow{kMinus, &plain<ops::Minus>, &singlePair<ops::Minus>},
    DyadicRow{vocabulary::code::kTimes, &plain<ops::Times>, &singlePair<ops::Times>},
    DyadicRow{vocabulary::code::kDivide, &plain<ops::Divide>, &singlePair<ops::Divide>},
    DyadicRow{kMaximum, &plain<ops::Maximum>, &singlePair<ops::Maximum>},
    DyadicRow{kMinimum, &plain<ops::Minimum>, &singlePair<ops::Minimum>},
    DyadicRow{vocabulary::code::kPower, &power, nullptr},
    DyadicRow{vocabulary::code::kLogarithm, &logarithm, nullptr},
    DyadicRow{vocabulary::code::kResidue, &plain<ops::Residue>, &singlePair<ops::Residue>},
    DyadicRow{kBinomial, &binomial, nullptr},
    DyadicRow{kCircle, &circle, nullptr},
};
constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < kDyadic.size(); ++i)
        if (kDyadic[i].code != kFirstCode + 2 * static_cast<int>(i)) return false;
    return true;
}
static_assert(rowsInOrder(), "row i holds the code of plus + 2i");

Rc temporal(values::Context& cx, ArgumentDigest& g, const Call& c) {
    std::int32_t l = g.left.type, r = g.right.type;
    std::int32_t other = l < r ? l : r;
    if (!isIntegral(other) && other != kTemporal) return cx.fail(kTypeError);
    // The later and the earlier of two moments, as comparison orders them.
    const bool extreme = (c.code == kMaximum || c.code == kMinimum) && other == kTemporal;
    if (c.code != kPlus && c.code != kMinus && !extreme) return cx.fail(kTimeFormat);
    if (c.code == kPlus && l == kTemporal && r == kTemporal) return cx.fail(kTimeFormat);
    if (c.code == kMinus && r == kTemporal && l != kTemporal) return cx.fail(kDomainError);
    WOX_TRY(conform(cx, g));
    return temporalDyadic(cx, c.code, c.result, c.left, c.right);
}

Rc complexArithmetic(values::Context& cx, ArgumentDigest& g, const Call& c) {
    if (g.left.type == kChar || g.right.type == kChar) return cx.fail(kDomainError);
    if (c.code == kMaximum || c.code == kMinimum || c.code == kBinomial) return cx.fail(kDomainError);
    if (c.code == kCircle && !circleSelector(g.left)) return cx.fail(kDomainError);
    WOX_TRY(conform(cx, g));
    return complexDyadic(cx, c.code, c.result, c.left, c.right);
}

}  // namespace

SingleDyadic singleArithmetic(int code) {
    int row = (code - kFirstCode) / 2;
    if (code < kFirstCode || code % 2 == 0 || row >= static_cast<int>(kDyadic.size())) return nullptr;
    return kDyadic[row].single;
}

Rc scalarDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    int row = (code - kFirstCode) / 2;
    if (code < kFirstCode || code % 2 == 0 || row >= static_cast<int>(kDyadic.size()))
        return cx.fail(kNotImplemented);
    if (SinglePair p; kDyadic[row].single && readSinglePair(cx.ws, left, right, p)) {
        kDyadic[row].single(cx.ws, result, p);
        return kOk;
    }
    ArgumentDigest g = digestDyadic(cx.ws, result, left, right);
    if (!g.left.present() || !g.right.present()) return cx.fail(kValueError);
    const Call call{code, result, left, right};
    std::int32_t widest = g.left.type > g.right.type ? g.left.type : g.right.type;
    if (widest == kDictionary) return dictionaryDyadic(cx, code, result, left, right);
    if (widest == kTemporal) return temporal(cx, g, call);
    if (widest == kComplex) return complexArithmetic(cx, g, call);
    if (!isRealNumeric(widest)) return cx.fail(kDomainError);
    return kDyadic[row].run(cx, g, call);
}

}  // namespace wox::primitives
