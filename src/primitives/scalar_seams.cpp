#include "primitives/scalar_seams.h"

#include <bit>
#include <cstdint>
#include <type_traits>

#include "primitives/argument_digest.h"
#include "primitives/conformability.h"
#include "primitives/element_loops.h"
#include "vocabulary/vocabulary.h"
#include "types/temporal.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// The language error of temporal error e (31 "error time format" ...).
int temporalRc(int e) { return static_cast<int>(kTimeFormat) - 1 + e; }

using types::TemporalWord;

// An argument's elements with the stride that scalar extension gives them.
template <class T>
struct Stream {
    const T* p;
    std::size_t step;
};

Stream<TemporalWord> words(const ArgumentSide& s) {
    if (s.single) return {&s.inlineWord, 0};
    return {s.block<TemporalWord>(), 1};
}

Stream<std::int32_t> amounts(const ArgumentSide& s) {
    if (s.single) return {&s.inlineInt, 0};
    return {s.block<std::int32_t>(), 1};
}

// Calls kernel.template run<SA, SB>(a, b) with the strides (0 or 1) fixed at
// compile time, so that scalar extension is decided once and each loop
// the compiler sees can use vector registers.
template <class A, class B, class Kernel>
auto withStrides(Stream<A> a, Stream<B> b, Kernel kernel) {
    if (a.step && b.step) return kernel.template run<1, 1>(a.p, b.p);
    if (a.step) return kernel.template run<1, 0>(a.p, b.p);
    if (b.step) return kernel.template run<0, 1>(a.p, b.p);
    return kernel.template run<0, 0>(a.p, b.p);
}

// The kernels answer the OR of x ^ y over their pairs (or of the words'
// offsets from the ends of their range), which the caller tests once:
// words of one kind agree in their low bits.

template <int SA, int SB, class Cmp>
WOX_VECTOR_CLONES TemporalWord compareBlock(const TemporalWord* __restrict a, const TemporalWord* __restrict b,
                                            std::int32_t* __restrict out, std::size_t n, Cmp cmp) {
    TemporalWord kinds = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TemporalWord x = a[i * SA], y = b[i * SB];
        kinds |= x ^ y;
        out[i] = cmp(x, y);
    }
    return kinds;
}

template <class Cmp>
struct CompareKernel {
    std::int32_t* out;
    std::size_t n;
    template <int SA, int SB>
    TemporalWord run(const TemporalWord* a, const TemporalWord* b) const {
        return compareBlock<SA, SB>(a, b, out, n, Cmp{});
    }
};

struct Less { bool operator()(TemporalWord x, TemporalWord y) const { return x < y; } };
struct LessEqual { bool operator()(TemporalWord x, TemporalWord y) const { return x <= y; } };
struct GreaterEqual { bool operator()(TemporalWord x, TemporalWord y) const { return x >= y; } };
struct Greater { bool operator()(TemporalWord x, TemporalWord y) const { return x > y; } };
struct NotEqual { bool operator()(TemporalWord x, TemporalWord y) const { return x != y; } };
struct Equal { bool operator()(TemporalWord x, TemporalWord y) const { return x == y; } };

// Words of one kind order as their counts: one comparison of the words
// answers. False when the kinds differ.
bool compareAll(int code, Stream<TemporalWord> a, Stream<TemporalWord> b, std::size_t n, std::int32_t* out) {
    TemporalWord kinds = 0;
    switch (code) {
        case vocabulary::code::kLess: kinds = withStrides(a, b, CompareKernel<Less>{out, n}); break;
        case vocabulary::code::kLessEqual: kinds = withStrides(a, b, CompareKernel<LessEqual>{out, n}); break;
        case vocabulary::code::kGreaterEqual: kinds = withStrides(a, b, CompareKernel<GreaterEqual>{out, n}); break;
        case vocabulary::code::kGreater: kinds = withStrides(a, b, CompareKernel<Greater>{out, n}); break;
        case vocabulary::code::kNotEqual: kinds = withStrides(a, b, CompareKernel<NotEqual>{out, n}); break;
        default: kinds = withStrides(a, b, CompareKernel<Equal>{out, n}); break;
    }
    return (kinds & types::kKindMask) == 0;
}

// A count as a double without the conversion instruction that vector
// registers lack for 64-bit integers: exact for |v| < 2^51, which every
// difference of two counts is.
inline double countToDouble(std::int64_t v) {
    constexpr std::uint64_t kMagic = 0x4338000000000000ull;  // 1.5 * 2^52
    return std::bit_cast<double>(static_cast<std::uint64_t>(v) + kMagic) - std::bit_cast<double>(kMagic);
}

// Counts in milliseconds are divided into seconds; others are whole units.
template <int SA, int SB, bool Millis>
WOX_VECTOR_CLONES TemporalWord differenceBlock(const TemporalWord* __restrict a, const TemporalWord* __restrict b,
                                               double* __restrict out, std::size_t n) {
    TemporalWord kinds = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TemporalWord x = a[i * SA], y = b[i * SB];
        kinds |= x ^ y;
        const double d = countToDouble(types::temporalCount(x) - types::temporalCount(y));
        out[i] = Millis ? d / types::differenceDivisor(types::kTimeKind) : d;
    }
    return kinds;
}

struct DifferenceKernel {
    double* out;
    std::size_t n;
    bool millis;
    template <int SA, int SB>
    TemporalWord run(const TemporalWord* a, const TemporalWord* b) const {
        return millis ? differenceBlock<SA, SB, true>(a, b, out, n) : differenceBlock<SA, SB, false>(a, b, out, n);
    }
};

// Dates move by whole days: a word moves by the amount shifted past the
// kind bits. The answer is the OR of every result's distance from both ends
// of the range: negative when one left it, with low bits when a word was of
// another kind.
template <int SW, int SA>
WOX_VECTOR_CLONES TemporalWord moveDateBlock(const TemporalWord* __restrict w, const std::int32_t* __restrict a,
                                             TemporalWord unit, TemporalWord low, TemporalWord high,
                                             TemporalWord* __restrict out, std::size_t n) {
    TemporalWord outside = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TemporalWord r = w[i * SW] + a[i * SA] * unit;
        outside |= (r - low) | (high - r);
        out[i] = r;
    }
    return outside;
}

struct MoveDateKernel {
    TemporalWord unit, low, high;
    TemporalWord* out;
    std::size_t n;
    template <int SW, int SA>
    TemporalWord run(const TemporalWord* w, const std::int32_t* a) const {
        return moveDateBlock<SW, SA>(w, a, unit, low, high, out, n);
    }
};

// The result of `type` made ready for n elements: the elements are written
// where the pointer answered by begin() points, a single one into `single`
// until finish() puts it inline.
template <class T>
struct ResultElements {
    T single{};
    T* p = nullptr;

    Rc begin(values::Context& cx, ArgumentDigest& g, std::int32_t type) {
        WOX_TRY(prepareResult(cx, g, type));
        p = g.resultSingle ? &single : resultBlock<T>(cx, g);
        return kOk;
    }
    void finish(values::Context& cx, const ArgumentDigest& g) const {
        if (!g.resultSingle) return;
        ValueDescriptor& d = cx.ws.var(g.result);
        if constexpr (std::is_same_v<T, double>) setInlineFloat(d, single);
        else if constexpr (sizeof(T) == 8) setInlineWord(d, single);
        else setInlineInt(d, single);
    }
};

// The later or the earlier of each pair.
template <int SA, int SB, class Pick>
WOX_VECTOR_CLONES TemporalWord pickBlock(const TemporalWord* __restrict a, const TemporalWord* __restrict b,
                                         TemporalWord* __restrict out, std::size_t n, Pick pick) {
    TemporalWord kinds = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const TemporalWord x = a[i * SA], y = b[i * SB];
        kinds |= x ^ y;
        out[i] = pick(x, y);
    }
    return kinds;
}

template <class Pick>
struct PickKernel {
    TemporalWord* out;
    std::size_t n;
    template <int SA, int SB>
    TemporalWord run(const TemporalWord* a, const TemporalWord* b) const {
        return pickBlock<SA, SB>(a, b, out, n, Pick{});
    }
};

struct Later { TemporalWord operator()(TemporalWord x, TemporalWord y) const { return x > y ? x : y; } };
struct Earlier { TemporalWord operator()(TemporalWord x, TemporalWord y) const { return x < y ? x : y; } };

// The first pair that the element routines refuse, and why.
template <class F>
int firstFault(std::size_t n, F fault) {
    for (std::size_t i = 0; i < n; ++i)
        if (int e = fault(i); e != types::kTemporalOk) return e;
    return types::kTemporalOk;
}

int moveAll(Stream<TemporalWord> when, Stream<std::int32_t> amount, std::int64_t sign, std::size_t n,
            TemporalWord* out) {
    auto oneByOne = [&](std::size_t i) {
        return types::moveTemporal(when.p[i * when.step], sign * amount.p[i * amount.step], &out[i]);
    };
    if (types::temporalKind(*when.p) != types::kDateKind) return firstFault(n, oneByOne);
    const MoveDateKernel k{sign * (TemporalWord{1} << types::kKindBits),
                           types::temporalWord(types::kDateKind, types::dayCount(types::kFirstYear, 1, 1)),
                           types::temporalWord(types::kDateKind, types::dayCount(types::kLastYear, 12, 31)), out, n};
    const TemporalWord outside = withStrides(when, amount, k);
    if (outside >= 0 && (outside & types::kKindMask) == 0) return types::kTemporalOk;
    return firstFault(n, oneByOne);
}

}  // namespace

Rc temporalDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    ArgumentDigest g = digestDyadic(cx.ws, result, left, right);
    if (Rc rc = conformabilityCheck(cx.ws, g); rc.failed()) return cx.fail(rc.code);
    const std::size_t n = static_cast<std::size_t>(g.resultCount);
    const bool extreme = code == vocabulary::code::kMaximum || code == vocabulary::code::kMinimum;
    if (n == 0) return prepareResult(cx, g, extreme ? kTemporal : kBoolean);

    if (extreme) {
        ResultElements<types::TemporalWord> out;
        WOX_TRY(out.begin(cx, g, kTemporal));
        const TemporalWord kinds = code == vocabulary::code::kMaximum
                                       ? withStrides(words(g.left), words(g.right), PickKernel<Later>{out.p, n})
                                       : withStrides(words(g.left), words(g.right), PickKernel<Earlier>{out.p, n});
        if ((kinds & types::kKindMask) != 0) return cx.fail(temporalRc(types::kTemporalKindsDiffer));
        out.finish(cx, g);
        return kOk;
    }

    if (code != vocabulary::code::kPlus && code != vocabulary::code::kMinus) {
        ResultElements<std::int32_t> out;
        WOX_TRY(out.begin(cx, g, kBoolean));
        if (!compareAll(code, words(g.left), words(g.right), n, out.p))
            return cx.fail(temporalRc(types::kTemporalKindsDiffer));
        out.finish(cx, g);
        return kOk;
    }

    if (g.left.type == kTemporal && g.right.type == kTemporal) {
        ResultElements<double> out;
        WOX_TRY(out.begin(cx, g, kFloat));
        const Stream<TemporalWord> a = words(g.left), b = words(g.right);
        const std::int32_t kind = types::temporalKind(*a.p);
        const TemporalWord kinds = withStrides(a, b, DifferenceKernel{out.p, n, types::differenceDivisor(kind) != 1});
        if ((kinds & types::kKindMask) != 0 || kind < types::kDateKind || kind > types::kDateTimeKind) {
            double d = 0;
            return cx.fail(temporalRc(firstFault(n, [&](std::size_t i) {
                return types::temporalDifference(a.p[i * a.step], b.p[i * b.step], &d);
            })));
        }
        out.finish(cx, g);
        return kOk;
    }

    // A value moved by amounts: the number may stand on either side of
    // plus, only on the right of minus.
    ResultElements<types::TemporalWord> out;
    WOX_TRY(out.begin(cx, g, kTemporal));
    const bool temporalLeft = g.left.type == kTemporal;
    const std::int64_t sign = code == vocabulary::code::kMinus ? -1 : 1;
    if (int e = moveAll(words(temporalLeft ? g.left : g.right), amounts(temporalLeft ? g.right : g.left), sign, n,
                        out.p))
        return cx.fail(temporalRc(e));
    out.finish(cx, g);
    return kOk;
}



}  // namespace wox::primitives
