// The comparisons < <= >= > ~= = . The kinds of the two arguments decide the
// path once per call: real numbers (compared as integers when both sides are
// Boolean or Integer, else as doubles, with tolerant equality), Complex
// (equality only, on both parts), Char (character codes), Symbol (indices
// for equality, names for order). Values of unlike kinds are unequal everywhere and cannot be
// ordered. Temporal and Enumeration values go to their seams.
#include <array>
#include <span>
#include <type_traits>

#include "primitives/conformability.h"
#include "primitives/element_loops.h"
#include "primitives/scalar.h"
#include "primitives/scalar_ops.h"
#include "primitives/scalar_seams.h"
#include "primitives/single_scalars.h"
#include "primitives/symbol_order.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

using vocabulary::code::kEqual;
using vocabulary::code::kNotEqual;
constexpr int kFirstCode = vocabulary::code::kLess;

enum class Kind { Real, Complex, Char, Symbol, General, Temporal };

Kind kindOf(std::int32_t type) {
    switch (type) {
        case kComplex: return Kind::Complex;
        case kChar: return Kind::Char;
        case kSymbol: return Kind::Symbol;
        case kGeneral: return Kind::General;
        case kTemporal: return Kind::Temporal;
        default: return Kind::Real;
    }
}

template <class T>
struct Tag {
    using type = T;
};

// f(Tag<element type>) for a real or complex side.
template <class F>
void withComplexOrReal(std::int32_t type, F&& f) {
    if (type == kComplex) {
        f(Tag<ops::ComplexElement>{});
    } else if (isIntegral(type)) {
        f(Tag<std::int32_t>{});
    } else {
        f(Tag<double>{});
    }
}

template <class Cmp>
constexpr bool kEquality = std::is_same_v<Cmp, ops::Equal> || std::is_same_v<Cmp, ops::NotEqual>;

template <class Cmp>
void comparePairs(const ArgumentDigest& g, Kind kind, std::int32_t* out, std::int64_t n) {
    switch (kind) {
        case Kind::Real:
            visitNumeric(g, [&](auto l, auto r) {
                using E = std::conditional_t<std::is_same_v<decltype(l[0]), std::int32_t> &&
                                                 std::is_same_v<decltype(r[0]), std::int32_t>,
                                             std::int32_t, double>;
                compareLoop<E, Cmp>(l, r, out, n);
            });
            break;
        case Kind::Complex:
            if constexpr (kEquality<Cmp>) {
                withComplexOrReal(g.left.type, [&](auto lt) {
                    withComplexOrReal(g.right.type, [&](auto rt) {
                        using L = typename decltype(lt)::type;
                        using R = typename decltype(rt)::type;
                        visitShapes<L, R>(g, [&](auto l, auto r) { compareLoop<ops::ComplexElement, Cmp>(l, r, out, n); });
                    });
                });
            }
            break;
        case Kind::Char:
            visitShapes<unsigned char, unsigned char>(
                g, [&](auto l, auto r) { compareLoop<unsigned char, Cmp>(l, r, out, n); });
            break;
        case Kind::Symbol:
            visitShapes<std::int32_t, std::int32_t>(
                g, [&](auto l, auto r) { compareLoop<std::int32_t, Cmp>(l, r, out, n); });
            break;
        default:
            break;
    }
}

template <class Cmp>
Rc runCompare(values::Context& cx, ArgumentDigest& g, Kind kind) {
    if (g.resultSingle) {
        std::int32_t z;
        comparePairs<Cmp>(g, kind, &z, 1);
        storeSingleInt(cx, g, kBoolean, z);
        return kOk;
    }
    WOX_TRY(prepareResult(cx, g, kBoolean));
    if (g.resultCount > 0) comparePairs<Cmp>(g, kind, resultBlock<std::int32_t>(cx, g), g.resultCount);
    return kOk;
}

// Every element the same: the answer for values of unlike kinds.
Rc fill(values::Context& cx, ArgumentDigest& g, std::int32_t bit) {
    if (g.resultSingle) {
        storeSingleInt(cx, g, kBoolean, bit);
        return kOk;
    }
    WOX_TRY(prepareResult(cx, g, kBoolean));
    std::int32_t* out = g.resultCount > 0 ? resultBlock<std::int32_t>(cx, g) : nullptr;
    for (std::int64_t i = 0; i < g.resultCount; ++i) out[i] = bit;
    return kOk;
}

// Two single real numbers (see single_scalars.h), compared as the Real
// path compares them.
template <class Cmp>
void singlePair(values::Workspace& ws, int result, const SinglePair& p) {
    std::int32_t z;
    if (p.integers) {
        z = Cmp::apply(p.li, p.ri);  // compareLoop's Integer rule, without its clones' dispatch
    } else {
        compareLoop<double, Cmp>(Same<double>{p.ld}, Same<double>{p.rd}, &z, 1);
    }
    writeSingleInt(ws, result, kBoolean, p.rank, z);
}

using Routine = Rc (*)(values::Context&, ArgumentDigest&, Kind);
using SingleRoutine = SingleDyadic;

struct ComparisonRow {
    int code;
    Routine run;
    SingleRoutine single;
};

constexpr std::array kComparisons{
    ComparisonRow{vocabulary::code::kLess, &runCompare<ops::Less>, &singlePair<ops::Less>},
    ComparisonRow{vocabulary::code::kLessEqual, &runCompare<ops::LessEqual>, &singlePair<ops::LessEqual>},
    ComparisonRow{vocabulary::code::kGreaterEqual, &runCompare<ops::GreaterEqual>, &singlePair<ops::GreaterEqual>},
    ComparisonRow{vocabulary::code::kGreater, &runCompare<ops::Greater>, &singlePair<ops::Greater>},
    ComparisonRow{kNotEqual, &runCompare<ops::NotEqual>, &singlePair<ops::NotEqual>},
    ComparisonRow{kEqual, &runCompare<ops::Equal>, &singlePair<ops::Equal>},
};
constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < kComparisons.size(); ++i)
        if (kComparisons[i].code != kFirstCode + static_cast<int>(i)) return false;
    return true;
}
static_assert(rowsInOrder(), "row i holds the code of less + i");

Rc conform(values::Context& cx, ArgumentDigest& g) {
    if (Rc rc = conformabilityCheck(cx.ws, g); rc.failed()) return cx.fail(rc.code);
    return kOk;
}

// Symbols order by name; the sides are read after the result is made,
// which may move their blocks.
Rc symbolOrder(values::Context& cx, ArgumentDigest& g, int code) {
    auto side = [](const ArgumentSide& x) {
        return x.single ? std::span<const std::int32_t>(&x.inlineInt, 1)
                        : std::span<const std::int32_t>(x.block<std::int32_t>(), static_cast<std::size_t>(x.count));
    };
    if (g.resultSingle) {
        std::int32_t z = 0;
        if (Rc rc = compareSymbolNames(cx, code, side(g.left), side(g.right), &z, 1); rc.failed())
            return cx.fail(rc.code);
        storeSingleInt(cx, g, kBoolean, z);
        return kOk;
    }
    WOX_TRY(prepareResult(cx, g, kBoolean));
    if (g.resultCount == 0) return kOk;
    if (Rc rc = compareSymbolNames(cx, code, side(g.left), side(g.right), resultBlock<std::int32_t>(cx, g),
                                   g.resultCount);
        rc.failed())
        return cx.fail(rc.code);
    return kOk;
}

// Enumerations compare for equality with one another or with a plain vector
// of their domain, as vectors or scalars.
Rc enumerations(values::Context& cx, ArgumentDigest& g, int code) {
    if (g.left.rank > 1 || g.right.rank > 1) return cx.fail(kRankError);
    if (!g.left.single && !g.right.single && g.left.count != g.right.count) return cx.fail(kLengthError);
    return enumerationEquality(cx, code, g.result, g.left.ref, g.right.ref);
}

}  // namespace

SingleDyadic singleComparison(int code) {
    if (code < kFirstCode || code > kEqual) return nullptr;
    return kComparisons[code - kFirstCode].single;
}

Rc comparison(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    if (code < kFirstCode || code > kEqual) return cx.fail(kNotImplemented);
    if (SinglePair p; readSinglePair(cx.ws, left, right, p)) {
        kComparisons[code - kFirstCode].single(cx.ws, result, p);
        return kOk;
    }
    ArgumentDigest g = digestDyadic(cx.ws, result, left, right);
    if (!g.left.present() || !g.right.present()) return cx.fail(kValueError);
    const bool equality = code == kEqual || code == kNotEqual;
    std::int32_t widest = g.left.type > g.right.type ? g.left.type : g.right.type;
    if (g.left.type == kDictionary || g.right.type == kDictionary)
        return dictionaryComparison(cx, code, result, left, right);
    if (widest > kTemporal) {
        if (widest != kEnumeration || !equality) return cx.fail(kDomainError);
        return enumerations(cx, g, code);
    }
    Kind kl = kindOf(g.left.type), kr = kindOf(g.right.type);
    bool mixesComplex = (kl == Kind::Complex && kr == Kind::Real) || (kl == Kind::Real && kr == Kind::Complex);
    if (kl != kr && !mixesComplex) {
        if (!equality) return cx.fail(kDomainError);
        WOX_TRY(conform(cx, g));
        return fill(cx, g, code == kNotEqual);
    }
    Kind kind = mixesComplex ? Kind::Complex : kl;
    if (kind == Kind::Complex && !equality) return cx.fail(kDomainError);
    // Item-by-item equality of nested values is not a scalar comparison.
    if (kind == Kind::General) return cx.fail(kDomainError);
    WOX_TRY(conform(cx, g));
    if (kind == Kind::Temporal) return temporalDyadic(cx, code, result, left, right);
    if (kind == Kind::Symbol && !equality) return symbolOrder(cx, g, code);
    return kComparisons[code - kFirstCode].run(cx, g, kind);
}

}  // namespace wox::primitives
