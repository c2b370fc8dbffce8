#include "primitives/scalar_seams.h"

#include <type_traits>

#include "primitives/argument_digest.h"
#include "primitives/conformability.h"
#include "vocabulary/vocabulary.h"
#include "types/temporal.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

// The language error of temporal error e (31 "error time format" ...).
int temporalRc(int e) { return static_cast<int>(kTimeFormat) - 1 + e; }

using W = types::TemporalWord;

// An argument's elements with the stride that scalar extension gives them.
template <class T>
struct Stream {
    const T* p;
    std::size_t step;
};

Stream<types::TemporalWord> words(const ArgumentSide& s) {
    if (s.single) return {&s.inlineWord, 0};
    return {s.block<types::TemporalWord>(), 1};
}

Stream<std::int32_t> amounts(const ArgumentSide& s) {
    if (s.single) return {&s.inlineInt, 0};
    return {s.block<std::int32_t>(), 1};
}

// Runs f(i, x, y) over n pairs with scalar extension decided here once, so
// that each loop the compiler sees has fixed strides.
template <class A, class B, class F>
void pairs(Stream<A> a, Stream<B> b, std::size_t n, F f) {
    if (a.step && b.step) {
        for (std::size_t i = 0; i < n; ++i) f(i, a.p[i], b.p[i]);
    } else if (a.step) {
        const B y = *b.p;
        for (std::size_t i = 0; i < n; ++i) f(i, a.p[i], y);
    } else if (b.step) {
        const A x = *a.p;
        for (std::size_t i = 0; i < n; ++i) f(i, x, b.p[i]);
    } else {
        f(0, *a.p, *b.p);
    }
}

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

// Words of one kind order as their counts: one comparison of the words
// answers, and the kinds are checked for the whole call at once.
template <class Cmp>
bool compareWords(Stream<types::TemporalWord> a, Stream<types::TemporalWord> b, std::size_t n, std::int32_t* out,
                  Cmp cmp) {
    types::TemporalWord kinds = 0;
    pairs(a, b, n, [&](std::size_t i, types::TemporalWord x, types::TemporalWord y) {
        kinds |= (x ^ y) & types::kKindMask;
        out[i] = cmp(x, y);
    });
    return kinds == 0;
}

bool compareAll(int code, Stream<types::TemporalWord> a, Stream<types::TemporalWord> b, std::size_t n,
                std::int32_t* out) {
    switch (code) {
        case vocabulary::code::kLess: return compareWords(a, b, n, out, [](W x, W y) { return x < y; });
        case vocabulary::code::kLessEqual: return compareWords(a, b, n, out, [](W x, W y) { return x <= y; });
        case vocabulary::code::kGreaterEqual: return compareWords(a, b, n, out, [](W x, W y) { return x >= y; });
        case vocabulary::code::kGreater: return compareWords(a, b, n, out, [](W x, W y) { return x > y; });
        case vocabulary::code::kNotEqual: return compareWords(a, b, n, out, [](W x, W y) { return x != y; });
        default: return compareWords(a, b, n, out, [](W x, W y) { return x == y; });
    }
}

// The later or the earlier of each pair of words of one kind.
template <class Pick>
bool extremes(Stream<W> a, Stream<W> b, std::size_t n, W* out, Pick pick) {
    W kinds = 0;
    pairs(a, b, n, [&](std::size_t i, W x, W y) {
        kinds |= (x ^ y) & types::kKindMask;
        out[i] = pick(x, y);
    });
    return kinds == 0;
}

// The first pair that the element routines refuse, and why.
int firstFault(Stream<types::TemporalWord> a, Stream<types::TemporalWord> b, std::size_t n) {
    int fault = types::kTemporalOk;
    pairs(a, b, n, [&](std::size_t, types::TemporalWord x, types::TemporalWord y) {
        double d = 0;
        if (fault == types::kTemporalOk) fault = types::temporalDifference(x, y, &d);
    });
    return fault;
}

// Dates move by whole days: a word moves by the amount shifted past the
// kind bits. The range is checked for the whole call; on any fault the
// element routine finds the first one.
int moveDates(Stream<types::TemporalWord> when, Stream<std::int32_t> amount, std::int64_t sign, std::size_t n,
              types::TemporalWord* out) {
    constexpr types::TemporalWord kDate = types::kDateKind;
    const types::TemporalWord low = types::temporalWord(types::kDateKind, types::dayCount(types::kFirstYear, 1, 1));
    const types::TemporalWord high = types::temporalWord(types::kDateKind, types::dayCount(types::kLastYear, 12, 31));
    bool bad = false;
    pairs(when, amount, n, [&](std::size_t i, types::TemporalWord w, std::int32_t a) {
        const types::TemporalWord r = w + sign * a * (types::TemporalWord{1} << types::kKindBits);
        bad |= ((w & types::kKindMask) != kDate) | (w < low) | (w > high) | (r < low) | (r > high);
        out[i] = r;
    });
    if (!bad) return types::kTemporalOk;
    int fault = types::kTemporalOk;
    pairs(when, amount, n, [&](std::size_t i, types::TemporalWord w, std::int32_t a) {
        if (fault == types::kTemporalOk) fault = types::moveTemporal(w, sign * a, &out[i]);
    });
    return fault;
}

int moveAll(Stream<types::TemporalWord> when, Stream<std::int32_t> amount, std::int64_t sign, std::size_t n,
            types::TemporalWord* out) {
    if (types::temporalKind(*when.p) == types::kDateKind) return moveDates(when, amount, sign, n, out);
    int fault = types::kTemporalOk;
    pairs(when, amount, n, [&](std::size_t i, types::TemporalWord w, std::int32_t a) {
        if (fault == types::kTemporalOk) fault = types::moveTemporal(w, sign * a, &out[i]);
    });
    return fault;
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
        const bool kindsMatch = code == vocabulary::code::kMaximum ? extremes(words(g.left), words(g.right), n, out.p,
                                                                              [](W x, W y) { return x > y ? x : y; })
                                                                   : extremes(words(g.left), words(g.right), n, out.p,
                                                                              [](W x, W y) { return x < y ? x : y; });
        if (!kindsMatch) return cx.fail(temporalRc(types::kTemporalKindsDiffer));
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
        const Stream<types::TemporalWord> a = words(g.left), b = words(g.right);
        types::TemporalWord kinds = 0;
        pairs(a, b, n, [&](std::size_t i, types::TemporalWord x, types::TemporalWord y) {
            kinds |= (x ^ y) & types::kKindMask;
            out.p[i] = static_cast<double>(types::temporalCount(x) - types::temporalCount(y));
        });
        const std::int32_t kind = types::temporalKind(*a.p);
        if (kinds != 0 || kind < types::kDateKind || kind > types::kDateTimeKind)
            return cx.fail(temporalRc(firstFault(a, b, n)));
        if (const double scale = types::differenceScale(kind); scale != 1)
            for (std::size_t i = 0; i < n; ++i) out.p[i] *= scale;
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
