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

#include "engine/messages.h"
#include "primitives/conformability.h"
#include "primitives/element_loops.h"
#include "primitives/scalar.h"
#include "primitives/scalar_ops.h"
#include "primitives/scalar_seams.h"

namespace wox::primitives {

namespace {

constexpr int kPlus = 45;
constexpr int kMinus = 47;
constexpr int kMaximum = 53;
constexpr int kMinimum = 55;
constexpr int kBinomial = 63;
constexpr int kCircle = 65;
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
Rc runDyadic(Interpreter& in, ArgumentDigest& g) {
    const std::int64_t n = g.resultCount;
    [[maybe_unused]] const bool integers = isIntegral(g.left.type) && isIntegral(g.right.type);
    if (g.resultSingle) {
        if constexpr (requires { Op::applyInt(0, 0); }) {
            std::int32_t z;
            if (integers && intPairs<Op>(g, &z, 1)) {
                storeSingleInt(in, g, kInteger, z);
                return kOk;
            }
        }
        double z;
        floatPairs<Op>(g, &z, 1);
        storeSingleNumber(in, g, z);
        return kOk;
    }
    if (n == 0) return prepareResult(in, g, kInteger);
    if constexpr (requires { Op::applyInt(0, 0); }) {
        if (integers) {
            WOX_TRY(prepareResult(in, g, kInteger));
            if (intPairs<Op>(g, resultBlock<std::int32_t>(in, g), n)) return kOk;
            WOX_TRY(retypeResult(in, g, kFloat));
            // Some result is beyond the Integer range, so this one stays Float.
            floatPairs<Op>(g, resultBlock<double>(in, g), n);
            return kOk;
        }
    }
    WOX_TRY(prepareResult(in, g, kFloat));
    if (floatPairs<Op>(g, resultBlock<double>(in, g), n)) narrowFloatResult(in, g);
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

Rc conform(Interpreter& in, ArgumentDigest& g) {
    if (Rc rc = conformabilityCheck(in.ws, g); rc.failed()) return in.fail(rc.code);
    return kOk;
}

Rc binomial(Interpreter& in, ArgumentDigest& g, const Call&) {
    if (!integralSide(g.left) || !integralSide(g.right)) return in.fail(engine::kDomainError);
    WOX_TRY(conform(in, g));
    bool tooMany = anyPair(g, [](double x, double y) {
        return !ops::isNull(x) && !ops::isNull(y) && ops::binomialFactors(x, y) > ops::kBinomialFactorLimit;
    });
    if (tooMany) return in.fail(engine::kDomainError);
    return runDyadic<ops::Binomial>(in, g);
}

// A negative number to a fractional power has complex values only.
Rc power(Interpreter& in, ArgumentDigest& g, const Call& c) {
    WOX_TRY(conform(in, g));
    bool complex = anyPair(g, [](double x, double y) {
        return x < 0 && std::isfinite(x) && std::isfinite(y) && y != std::floor(y);
    });
    if (complex) return complexDyadic(in, c.code, c.result, c.left, c.right);
    return runDyadic<ops::Power>(in, g);
}

// Base 1 has no logarithm but of 1; a negative argument or base has complex
// logarithms.
Rc logarithm(Interpreter& in, ArgumentDigest& g, const Call& c) {
    WOX_TRY(conform(in, g));
    if (anyPair(g, [](double x, double y) { return x == 1 && y != 1 && !ops::isNull(y); }))
        return in.fail(engine::kDomainError);
    if (anyPair(g, [](double x, double y) { return x < 0 || y < 0; }))
        return complexDyadic(in, c.code, c.result, c.left, c.right);
    return runDyadic<ops::Logarithm>(in, g);
}

Rc circle(Interpreter& in, ArgumentDigest& g, const Call& c) {
    if (!circleSelector(g.left)) return in.fail(engine::kDomainError);
    WOX_TRY(conform(in, g));
    return complexDyadic(in, c.code, c.result, c.left, c.right);
}

template <class Op>
Rc plain(Interpreter& in, ArgumentDigest& g, const Call&) {
    WOX_TRY(conform(in, g));
    return runDyadic<Op>(in, g);
}

using Routine = Rc (*)(Interpreter&, ArgumentDigest&, const Call&);

struct DyadicRow {
    int code;
    Routine run;
};

constexpr int kFirstCode = 45;
constexpr std::array kDyadic{
    DyadicRow{45, &plain<ops::Plus>},
    DyadicRow{47, &plain<ops::Minus>},
    DyadicRow{49, &plain<ops::Times>},
    DyadicRow{51, &plain<ops::Divide>},
    DyadicRow{53, &plain<ops::Maximum>},
    DyadicRow{55, &plain<ops::Minimum>},
    DyadicRow{57, &power},
    DyadicRow{59, &logarithm},
    DyadicRow{61, &plain<ops::Residue>},
    DyadicRow{63, &binomial},
    DyadicRow{65, &circle},
};
constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < kDyadic.size(); ++i)
        if (kDyadic[i].code != kFirstCode + 2 * static_cast<int>(i)) return false;
    return true;
}
static_assert(rowsInOrder(), "row i holds code 45 + 2i");

Rc temporal(Interpreter& in, ArgumentDigest& g, const Call& c) {
    std::int32_t l = g.left.type, r = g.right.type;
    std::int32_t other = l < r ? l : r;
    if (!isIntegral(other) && other != kTemporal) return in.fail(engine::kTypeError);
    if (c.code != kPlus && c.code != kMinus) return in.fail(engine::kTimeFormat);
    if (c.code == kPlus && l == kTemporal && r == kTemporal) return in.fail(engine::kTimeFormat);
    if (c.code == kMinus && r == kTemporal && l != kTemporal) return in.fail(engine::kDomainError);
    WOX_TRY(conform(in, g));
    return temporalDyadic(in, c.code, c.result, c.left, c.right);
}

Rc complexArithmetic(Interpreter& in, ArgumentDigest& g, const Call& c) {
    if (g.left.type == kChar || g.right.type == kChar) return in.fail(engine::kDomainError);
    if (c.code == kMaximum || c.code == kMinimum || c.code == kBinomial) return in.fail(engine::kDomainError);
    if (c.code == kCircle && !circleSelector(g.left)) return in.fail(engine::kDomainError);
    WOX_TRY(conform(in, g));
    return complexDyadic(in, c.code, c.result, c.left, c.right);
}

}  // namespace

Rc scalarDyadic(Interpreter& in, int code, int result, ValueRef left, ValueRef right) {
    int row = (code - kFirstCode) / 2;
    if (code < kFirstCode || code % 2 == 0 || row >= static_cast<int>(kDyadic.size()))
        return in.fail(engine::kNotImplemented);
    ArgumentDigest g = digestDyadic(in.ws, result, left, right);
    if (!g.left.present() || !g.right.present()) return in.fail(engine::kValueError);
    const Call call{code, result, left, right};
    std::int32_t widest = g.left.type > g.right.type ? g.left.type : g.right.type;
    if (widest == kDictionary) return dictionaryDyadic(in, code, result, left, right);
    if (widest == kTemporal) return temporal(in, g, call);
    if (widest == kComplex) return complexArithmetic(in, g, call);
    if (!isRealNumeric(widest)) return in.fail(engine::kDomainError);
    return kDyadic[row].run(in, g, call);
}

}  // namespace wox::primitives
