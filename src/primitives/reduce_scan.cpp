// Reduce and scan along the last or the first axis.
//
// Every value is the one the language's order gives: a reduction runs right
// to left (acc = x[i] f acc), and item i of a scan is the reduction of items
// 0..i. The general kernels do exactly that, over doubles. Where no order
// can change a result, faster kernels give the same values:
//   - plus on Boolean/Integer elements, summed in 64-bit integers, when no
//     partial sum the right-to-left order forms can pass 2^53 (below that a
//     double sum is exact, so it equals the integer one);
//   - plus on integral Float elements whose sums stay below 2^53;
//   - maximum and minimum, and the logical functions, which are exact;
//   - a comparison scan, whose running value is 1 or 0 after one step, so
//     each prefix's fold is known from two values carried along.
// A scan of any other operand reduces each prefix anew (quadratic time),
// because rounding makes its results depend on that order.
//
// An axis is walked as (outer, n, inner): the last axis has inner = 1, the
// first outer = 1. The kernels loop over i outside and the inner index j
// inside, so a first-axis reduction runs down whole rows.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <type_traits>
#include <vector>

#include "primitives/complex_step.h"
#include "primitives/element_loops.h"
#include "primitives/integer_plus_scan.h"
#include "primitives/integer_sum.h"
#include "primitives/operand_steps.h"
#include "primitives/operators.h"
#include "types/temporal.h"
#include "values/shaped_result.h"
#include "vocabulary/vocabulary.h"
#include "values/interrupt_poll.h"
#include "values/messages.h"
#include "values/narrowing.h"
#include "values/value_copy.h"

namespace wox::primitives {

namespace {

// Sums whose magnitude stays at or below this are exact in doubles.
constexpr double kExactLimit = 9007199254740992.0;  // 2^53
// Elements per block of an integer sum: a block's own partial sums stay
// within kBlock * 2^31 = 2^51.
constexpr std::int64_t kBlock = std::int64_t{1} << 20;
// Up to this many Integer elements, no partial sum can leave the exact range.
constexpr std::int64_t kAlwaysExact = std::int64_t{1} << 22;

struct Axis {
    std::int64_t outer = 1;
    std::int64_t n = 0;
    std::int64_t inner = 1;
    std::vector<std::int32_t> dims;  // of the argument
    int axis = 0;
};

Axis axisOf(const values::Workspace& ws, const ValueDescriptor& d, bool first) {
    Axis a;
    a.dims = values::dimensionsOf(ws, d);
    if (a.dims.empty()) a.dims.push_back(1);
    a.axis = first ? 0 : static_cast<int>(a.dims.size()) - 1;
    for (int k = 0; k < static_cast<int>(a.dims.size()); ++k) {
        std::int64_t len = a.dims[static_cast<std::size_t>(k)];
        if (k < a.axis) a.outer *= len;
        if (k > a.axis) a.inner *= len;
    }
    a.n = a.dims[static_cast<std::size_t>(a.axis)];
    return a;
}

// The argument types the operand accepts, for a non-empty argument.
Rc checkArgument(const values::Workspace& ws, int f, const ValueDescriptor& d) {
    if (d.count == 0) return kOk;
    if (isLogicalOperand(f)) return allZeroOne(ws, d) ? kOk : kDomainError;
    bool real = isRealNumeric(d.type);
    if (f == vocabulary::code::kMaximum || f == vocabulary::code::kMinimum)
        return real || d.type == kTemporal ? kOk : kDomainError;
    if (isComparisonOperand(f)) return real ? kOk : kDomainError;
    if (f == vocabulary::code::kBinomial) return isIntegral(d.type) ? kOk : kDomainError;
    return real || d.type == kComplex ? kOk : kDomainError;
}

// Results that are truth values narrow on to Boolean.
bool truthValued(int f) { return isLogicalOperand(f) || isComparisonOperand(f); }

void narrowResult(values::Context& cx, int result, bool toBoolean) {
    values::narrow(cx.ws, cx.ws.var(result), toBoolean);
}

// ---- General kernels -----------------------------------------------------

template <class T, class Step>
void reduceRows(const T* x, const Axis& a, double* out, Step& step) {
    for (std::int64_t o = 0; o < a.outer; ++o) {
        const T* base = x + o * a.n * a.inner;
        double* acc = out + o * a.inner;
        const T* last = base + (a.n - 1) * a.inner;
        for (std::int64_t j = 0; j < a.inner; ++j) acc[j] = ops::toDouble(last[j]);
        for (std::int64_t i = a.n - 2; i >= 0; --i) {
            const T* row = base + i * a.inner;
            for (std::int64_t j = 0; j < a.inner; ++j) acc[j] = step(ops::toDouble(row[j]), acc[j]);
        }
    }
}

// Item i is the reduction of items 0..i, each computed anew. Quadratic, so
// it asks after every prefix whether the user has asked to stop (false).
template <class T, class Step>
bool scanPrefixes(const T* x, const Axis& a, double* out, Step& step, values::InterruptPoll& poll) {
    for (std::int64_t o = 0; o < a.outer; ++o) {
        const T* base = x + o * a.n * a.inner;
        double* obase = out + o * a.n * a.inner;
        for (std::int64_t i = 0; i < a.n; ++i) {
            if (poll.stop((i + 1) * a.inner)) return false;
            double* acc = obase + i * a.inner;
            const T* top = base + i * a.inner;
            for (std::int64_t j = 0; j < a.inner; ++j) acc[j] = ops::toDouble(top[j]);
            for (std::int64_t k = i - 1; k >= 0; --k) {
                const T* row = base + k * a.inner;
                for (std::int64_t j = 0; j < a.inner; ++j) acc[j] = step(ops::toDouble(row[j]), acc[j]);
            }
        }
    }
    return true;
}

// The carried form for operands where every order gives the same value.
template <class T, class Step>
void scanRunning(const T* x, const Axis& a, double* out, Step& step) {
    for (std::int64_t o = 0; o < a.outer; ++o) {
        const T* base = x + o * a.n * a.inner;
        double* obase = out + o * a.n * a.inner;
        for (std::int64_t j = 0; j < a.inner; ++j) obase[j] = ops::toDouble(base[j]);
        for (std::int64_t i = 1; i < a.n; ++i) {
            const double* prev = obase + (i - 1) * a.inner;
            double* cur = obase + i * a.inner;
            const T* row = base + i * a.inner;
            for (std::int64_t j = 0; j < a.inner; ++j) cur[j] = step(prev[j], ops::toDouble(row[j]));
        }
    }
}

template <class Step>
struct IsTruthStep : std::false_type {};
template <class Cmp>
struct IsTruthStep<steps::Truth<Cmp>> : std::true_type {};

// Item i is f0(f1(...f[i-1](x[i]))) with f[k](v) = x[k] cmp v. f[i-1](x[i])
// is 1 or 0, and the composition f0(...f[i-2](b)) is carried along for b = 0
// and b = 1, growing by one map a step: the values scanPrefixes gives, in
// one pass.
template <class T, class Step>
void scanThroughTruths(const T* x, const Axis& a, double* out, Step& step) {
    for (std::int64_t o = 0; o < a.outer; ++o) {
        for (std::int64_t j = 0; j < a.inner; ++j) {
            const T* base = x + o * a.n * a.inner + j;
            double* obase = out + o * a.n * a.inner + j;
            obase[0] = ops::toDouble(base[0]);
            double to0 = 0.0, to1 = 1.0;  // the composition so far, at 0 and at 1
            for (std::int64_t i = 1; i < a.n; ++i) {
                const double prev = ops::toDouble(base[(i - 1) * a.inner]);
                obase[i * a.inner] = step(prev, ops::toDouble(base[i * a.inner])) != 0 ? to1 : to0;
                const double at0 = step(prev, 0.0) != 0 ? to1 : to0;
                const double at1 = step(prev, 1.0) != 0 ? to1 : to0;
                to0 = at0;
                to1 = at1;
            }
        }
    }
}

// ---- Integer sums --------------------------------------------------------

// The sum of one run of Integer elements as the right-to-left double sum
// gives it; false when some partial sum could round.
bool exactIntSum(const std::int32_t* x, std::int64_t n, double* sum) {
    bool null = false;
    if (n <= kAlwaysExact) {
        std::int64_t s = integerSum(x, n, &null);
        *sum = null ? ops::kNull : static_cast<double>(s);
        return true;
    }
    // Right to left, a block's partial sums are the suffix after it plus at
    // most 2^51: exact when that suffix stays within 2^53 - 2^51.
    std::int64_t suffix = 0;
    bool exact = true;
    for (std::int64_t end = n; end > 0; end -= kBlock) {
        std::int64_t start = end > kBlock ? end - kBlock : 0;
        if (std::fabs(static_cast<double>(suffix)) > kExactLimit - kExactLimit / 4) exact = false;
        suffix += integerSum(x + start, end - start, &null);
    }
    *sum = null ? ops::kNull : static_cast<double>(suffix);
    return exact || null;
}

// Integer (or Boolean) plus-reduction of the last axis, rows of n.
bool intSumRows(const std::int32_t* x, const Axis& a, double* out) {
    for (std::int64_t o = 0; o < a.outer; ++o)
        if (!exactIntSum(x + o * a.n, a.n, out + o)) return false;
    return true;
}

// Plus-reduction of the first axis, rows added whole. With at most
// kAlwaysExact rows every partial sum is exact in doubles, in any order.
WOX_VECTOR_CLONES void intSumColumns(const std::int32_t* x, const Axis& a, double* __restrict out) {
    for (std::int64_t j = 0; j < a.inner; ++j) out[j] = ops::toDouble(x[j]);
    for (std::int64_t i = 1; i < a.n; ++i) {
        const std::int32_t* row = x + i * a.inner;
        for (std::int64_t j = 0; j < a.inner; ++j) out[j] += ops::toDouble(row[j]);
    }
}

// x0 - (x1 - (... - xi)) is x0 - x1 + x2 ... +-xi: with integers whose
// alternating sums are all exact, a running sum of signed items.
template <class T>
void minusScanRunning(const T* x, const Axis& a, double* out) {
    for (std::int64_t o = 0; o < a.outer; ++o) {
        const T* base = x + o * a.n * a.inner;
        double* obase = out + o * a.n * a.inner;
        for (std::int64_t j = 0; j < a.inner; ++j) obase[j] = ops::toDouble(base[j]);
        for (std::int64_t i = 1; i < a.n; ++i) {
            const double sign = i % 2 ? -1.0 : 1.0;
            const double* prev = obase + (i - 1) * a.inner;
            double* cur = obase + i * a.inner;
            const T* row = base + i * a.inner;
            for (std::int64_t j = 0; j < a.inner; ++j) cur[j] = prev[j] + sign * ops::toDouble(row[j]);
        }
    }
}

// Running integer plus-scan into Integer elements; from a null on, a row's
// items are null. False when a sum passes the Integer range; `exact` then
// tells whether every partial sum of every prefix stays exact in doubles
// (each is a difference of two prefix sums, so prefix sums within 2^52
// suffice).
bool intScanRows(const std::int32_t* x, const Axis& a, std::int32_t* out, bool* exact) {
    if (a.inner == 1) {
        // Rows along the last axis, each a plain run: the common case.
        bool plain = true;
        for (std::int64_t o = 0; o < a.outer && plain; ++o) plain = integerPlusScan(x + o * a.n, a.n, out + o * a.n);
        if (plain) {
            *exact = true;
            return true;
        }
    }
    std::int64_t worst = 0;
    bool fits = true;
    for (std::int64_t o = 0; o < a.outer; ++o) {
        const std::int32_t* row = x + o * a.n * a.inner;
        std::int32_t* orow = out + o * a.n * a.inner;
        for (std::int64_t j = 0; j < a.inner; ++j) {
            std::int64_t s = 0;
            bool null = false;
            for (std::int64_t i = 0; i < a.n; ++i) {
                std::int32_t v = row[i * a.inner + j];
                null = null || v == kIntNull;
                s += v;
                std::int64_t m = s < 0 ? -s : s;
                worst = m > worst ? m : worst;
                fits = fits && (null || m <= 2147483647);
                orow[i * a.inner + j] = null ? kIntNull : static_cast<std::int32_t>(s);
            }
        }
    }
    *exact = a.n <= kAlwaysExact || static_cast<double>(worst) <= kExactLimit / 2;
    return fits;
}

// Float elements that are all integers and whose absolute sum stays within
// 2^53 add exactly in any order.
bool exactFloatRun(const double* x, std::int64_t count) {
    double total = 0;
    for (std::int64_t i = 0; i < count; ++i) {
        double v = x[i];
        if (!std::isfinite(v) || v != std::floor(v)) return false;
        total += std::fabs(v);
    }
    return total <= kExactLimit;
}

// ---- Complex kernels -------------------------------------------------------

// Reduce and scan in complex numbers, always in the right-to-left order: the
// argument's elements widened once, the result Complex, then narrowed.
Rc complexRows(values::Context& cx, int result, ValueRef right, int f, const Axis& a, bool scan) {
    std::vector<Complex> copy;
    const Complex* x = nullptr;
    try {
        x = asComplex(cx.ws, cx.ws.at(right), copy);
    } catch (const std::bad_alloc&) {
        return cx.fail(kWorkspaceFull);
    }
    auto* out = reinterpret_cast<Complex*>(values::resultElements(cx, result));
    ComplexStep step(f);
    values::InterruptPoll poll(&cx.interruptRequested);
    for (std::int64_t o = 0; o < a.outer; ++o) {
        const Complex* base = x + o * a.n * a.inner;
        // A reduction is the scan's last item alone.
        const std::int64_t firstItem = scan ? 0 : a.n - 1;
        for (std::int64_t i = firstItem; i < a.n; ++i) {
            if (poll.stop((i + 1) * a.inner)) return cx.fail(kInterrupted);
            Complex* acc = out + (scan ? (o * a.n + i) * a.inner : o * a.inner);
            for (std::int64_t j = 0; j < a.inner; ++j) acc[j] = base[i * a.inner + j];
            for (std::int64_t k = i - 1; k >= 0; --k)
                for (std::int64_t j = 0; j < a.inner; ++j) acc[j] = step(base[k * a.inner + j], acc[j]);
        }
    }
    if (step.failure) return cx.fail(step.failure);
    narrowComplexResult(cx.ws, result);
    return kOk;
}

// ---- Temporal extremes ------------------------------------------------------

// Maximum and minimum of Temporal words of one kind, which order as their
// integers: the result keeps the argument's kind. A scan carries the
// running extreme; a reduction keeps only the last of it.
template <class Pick>
void wordExtremes(const std::int64_t* x, const Axis& a, std::int64_t* out, bool scan, Pick pick) {
    for (std::int64_t o = 0; o < a.outer; ++o) {
        const std::int64_t* base = x + o * a.n * a.inner;
        std::int64_t* acc = out + (scan ? o * a.n * a.inner : o * a.inner);
        for (std::int64_t j = 0; j < a.inner; ++j) acc[j] = base[j];
        for (std::int64_t i = 1; i < a.n; ++i) {
            const std::int64_t* row = base + i * a.inner;
            std::int64_t* cur = scan ? acc + i * a.inner : acc;
            const std::int64_t* prev = scan ? cur - a.inner : acc;
            for (std::int64_t j = 0; j < a.inner; ++j) cur[j] = pick(prev[j], row[j]);
        }
    }
}

// Only maximum and minimum reach here. Kinds apart do not order (34, as
// their comparison); an empty reduction has no temporal identity.
Rc temporalExtremes(values::Context& cx, int result, ValueRef right, int f, bool first, bool scan) {
    const ValueDescriptor d = cx.ws.at(right);
    if (!types::oneTemporalKind(reinterpret_cast<const types::TemporalWord*>(values::elementsOf(cx.ws, d)), d.count))
        return cx.fail(kDifferentTimeFormats);
    Axis a = axisOf(cx.ws, d, first);
    std::vector<std::int32_t> dims = a.dims;
    if (d.rank == 0) dims.clear();
    else if (!scan) dims.erase(dims.begin() + a.axis);
    const std::int64_t count = scan ? d.count : a.outer * a.inner;
    if (!scan && a.n == 0 && count > 0) return cx.fail(kDomainError);
    char* bytes;
    if (Rc rc = values::makeResult(cx.ws, result, kTemporal, dims.data(), static_cast<int>(dims.size()), &bytes);
        rc.failed())
        return cx.fail(rc.code);
    if (count == 0) return kOk;
    // An inline word is read from the snapshot; a block's place is read
    // again, after the allocation.
    const auto* in = reinterpret_cast<const std::int64_t*>(
        values::elementsOf(cx.ws, isInline(d) ? d : cx.ws.at(right)));
    auto* out = reinterpret_cast<std::int64_t*>(values::resultElements(cx, result));
    if (f == vocabulary::code::kMaximum)
        wordExtremes(in, a, out, scan, [](std::int64_t p, std::int64_t q) { return p > q ? p : q; });
    else
        wordExtremes(in, a, out, scan, [](std::int64_t p, std::int64_t q) { return p < q ? p : q; });
    return kOk;
}

// ---- Entry points ----------------------------------------------------------

struct Operator {
    int f = 0;
    bool first = false;
};

Rc start(values::Context& cx, int code, ValueRef right, Operator* op) {
    const ValueDescriptor& d = cx.ws.at(right);
    if (d.unset()) return cx.fail(kValueError);
    op->f = code % vocabulary::code::kOperandLimit;
    int base = code - op->f;
    op->first = base == vocabulary::code::kReduceFirstBase || base == vocabulary::code::kScanFirstBase;
    if (!isScalarOperand(op->f)) return cx.fail(kDomainError);
    if (Rc rc = checkArgument(cx.ws, op->f, d); rc.failed()) return cx.fail(rc.code);
    return kOk;
}

// A single argument reduces to its one element as a scalar.
Rc reduceSingle(values::Context& cx, int result, const ValueDescriptor& d, int f) {
    ValueDescriptor& r = cx.ws.var(result);
    r = ValueDescriptor{};
    r.type = d.type;
    r.count = 1;
    r.shape0 = d.shape0;
    r.shape1 = d.shape1;
    // Computed through Float: a Boolean stays one only for truth-valued f.
    if (r.type == kBoolean && !truthValued(f)) r.type = kInteger;
    narrowResult(cx, result, isLogicalOperand(f));
    return kOk;
}

template <class T>
Rc reduceBlock(values::Context& cx, int result, ValueRef right, const Operator& op, const Axis& a) {
    // The result is computed in doubles in place, then narrowed.
    const T* x = cx.ws.elems<T>(cx.ws.at(right));
    auto* out = reinterpret_cast<double*>(values::resultElements(cx, result));
    if constexpr (std::is_same_v<T, std::int32_t>) {
        if (op.f == vocabulary::code::kPlus) {
            if (a.inner == 1 && intSumRows(x, a, out)) return kOk;
            if (a.inner > 1 && a.n <= kAlwaysExact) {
                intSumColumns(x, a, out);
                return kOk;
            }
        }
    }
    return visitOperand(op.f, [&](auto step) -> Rc {
        reduceRows(x, a, out, step);
        // 43 asks for the complex kernel, which the caller runs.
        if (wantsComplex(step.failure)) return step.failure;
        return step.failure ? cx.fail(step.failure) : kOk;
    });
}

}  // namespace

Rc reduce(values::Context& cx, int code, int result, ValueRef right) {
    Operator op;
    WOX_TRY(start(cx, code, right, &op));
    const ValueDescriptor d = cx.ws.at(right);
    if (d.type == kTemporal) return temporalExtremes(cx, result, right, op.f, op.first, false);
    if (d.rank == 0 || (d.rank == 1 && d.count == 1)) {
        if (d.type == kFloat || isIntegral(d.type)) return reduceSingle(cx, result, d, op.f);
        if (d.type != kComplex) return cx.fail(kDomainError);
        WOX_TRY(values::shapedResult(cx, result, kComplex, {}));
        *reinterpret_cast<Complex*>(values::resultElements(cx, result)) = *cx.ws.elems<Complex>(cx.ws.at(right));
        narrowComplexResult(cx.ws, result);
        return kOk;
    }
    Axis a = axisOf(cx.ws, d, op.first);
    std::vector<std::int32_t> dims = a.dims;
    dims.erase(dims.begin() + a.axis);
    const std::int64_t count = a.outer * a.inner;
    if (a.n == 0 || count == 0) {
        double id = identityElement(op.f);
        bool integral = values::fitsInteger(id);
        WOX_TRY(values::shapedResult(cx, result, integral ? kInteger : kFloat, dims));
        if (count == 0) return kOk;
        char* out = values::resultElements(cx, result);
        for (std::int64_t i = 0; i < count; ++i) {
            if (integral) reinterpret_cast<std::int32_t*>(out)[i] = static_cast<std::int32_t>(id);
            else reinterpret_cast<double*>(out)[i] = id;
        }
        narrowResult(cx, result, isLogicalOperand(op.f));
        return kOk;
    }
    if (d.type != kComplex) {
        WOX_TRY(values::shapedResult(cx, result, kFloat, dims));
        Rc rc = d.type == kFloat ? reduceBlock<double>(cx, result, right, op, a)
                                 : reduceBlock<std::int32_t>(cx, result, right, op, a);
        if (rc.ok()) {
            narrowResult(cx, result, truthValued(op.f));
            return kOk;
        }
        if (!wantsComplex(rc.code)) return rc;
        dropResultBlock(cx.ws, result);
    }
    WOX_TRY(values::shapedResult(cx, result, kComplex, dims));
    return complexRows(cx, result, right, op.f, a, false);
}

Rc scan(values::Context& cx, int code, int result, ValueRef right) {
    Operator op;
    WOX_TRY(start(cx, code, right, &op));
    const ValueDescriptor d = cx.ws.at(right);
    if (d.type == kTemporal) return temporalExtremes(cx, result, right, op.f, op.first, true);
    if (d.rank == 0 || (d.rank == 1 && d.count == 1)) {
        if (d.type != kFloat && !isIntegral(d.type) && d.type != kComplex) return cx.fail(kDomainError);
        if (Rc rc = values::copyToTemp(cx.ws, result, right); rc.failed()) return cx.fail(rc.code);
        return kOk;
    }
    Axis a = axisOf(cx.ws, d, op.first);
    if (d.count == 0) return values::shapedResult(cx, result, kInteger, a.dims);
    if (d.type == kComplex) {
        WOX_TRY(values::shapedResult(cx, result, kComplex, a.dims));
        return complexRows(cx, result, right, op.f, a, true);
    }
    const bool integers = isIntegral(d.type);
    bool exactInts = false;
    if (integers && op.f == vocabulary::code::kPlus) {
        WOX_TRY(values::shapedResult(cx, result, kInteger, a.dims));
        auto* out = reinterpret_cast<std::int32_t*>(values::resultElements(cx, result));
        if (intScanRows(cx.ws.elems<std::int32_t>(cx.ws.at(right)), a, out, &exactInts)) return kOk;
        // A sum beyond the Integer range: the result is Float.
        cx.ws.stackTop = cx.ws.var(result).data;
    }
    WOX_TRY(values::shapedResult(cx, result, kFloat, a.dims));
    auto* out = reinterpret_cast<double*>(values::resultElements(cx, result));
    const ValueDescriptor& x = cx.ws.at(right);
    if (integers && op.f == vocabulary::code::kMinus && a.n <= kAlwaysExact) {
        minusScanRunning(cx.ws.elems<std::int32_t>(x), a, out);
        narrowResult(cx, result, false);
        return kOk;
    }
    bool running = op.f == vocabulary::code::kMaximum || op.f == vocabulary::code::kMinimum || isLogicalOperand(op.f) ||
                   (op.f == vocabulary::code::kPlus && (integers ? exactInts : exactFloatRun(cx.ws.elems<double>(x), x.count)));
    values::InterruptPoll poll(&cx.interruptRequested);
    Rc rc = visitOperand(op.f, [&](auto step) -> Rc {
        auto run = [&](const auto* p) {
            if constexpr (IsTruthStep<decltype(step)>::value) {
                scanThroughTruths(p, a, out, step);
                return true;
            }
            if (!running) return scanPrefixes(p, a, out, step, poll);
            scanRunning(p, a, out, step);
            return true;
        };
        const bool done = integers ? run(cx.ws.elems<std::int32_t>(x)) : run(cx.ws.elems<double>(x));
        if (!done) return cx.fail(kInterrupted);
        if (wantsComplex(step.failure)) return step.failure;
        return step.failure ? cx.fail(step.failure) : kOk;
    });
    if (wantsComplex(rc.code)) {
        dropResultBlock(cx.ws, result);
        WOX_TRY(values::shapedResult(cx, result, kComplex, a.dims));
        return complexRows(cx, result, right, op.f, a, true);
    }
    WOX_TRY(rc);
    narrowResult(cx, result, isLogicalOperand(op.f));
    return kOk;
}

}  // namespace wox::primitives
