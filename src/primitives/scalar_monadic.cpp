// Monadic arithmetic: one element rule per code, run over the argument's
// block in doubles, or in integers when the argument is Boolean or Integer
// and the function maps integers to integers (identity, negate, signum,
// ceiling, floor, magnitude), which needs no narrowing at all. A Float
// result notes during its loop whether every element is integral, and only
// then is it narrowed in place. Complex arguments, and the logarithms of
// negative numbers, go to the complex seam.
#include <array>

#include "primitives/element_loops.h"
#include "primitives/scalar.h"
#include "primitives/scalar_ops.h"
#include "primitives/scalar_seams.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

namespace ops {

namespace {
// n! as a running product, eight factors at a time while n >= 9, then one at
// a time; 171! and beyond exceed a double.
constexpr int kLargestFactorial = 170;
constexpr std::array<double, kLargestFactorial + 1> kFactorials = [] {
    std::array<double, kLargestFactorial + 1> t{};
    for (int k = 0; k <= kLargestFactorial; ++k) {
        double r = 1;
        double n = k;
        for (; n >= 9; n -= 8) r *= n * (n - 1) * (n - 2) * (n - 3) * (n - 4) * (n - 5) * (n - 6) * (n - 7);
        for (; n > 1; --n) r *= n;
        t[k] = r;
    }
    return t;
}();
static_assert(kFactorials[5] == 120 && kFactorials[12] == 479001600);
}  // namespace

double Factorial::apply(double x) {
    if (isNull(x)) return kNull;
    if (x <= 1) return 1;
    if (x >= kLargestFactorial + 1) return kInfinity;
    return kFactorials[static_cast<int>(x)];
}

}  // namespace ops

namespace {

using Routine = Rc (*)(values::Context&, ArgumentDigest&);

template <class Op>
Rc runMonadic(values::Context& cx, ArgumentDigest& g) {
    const ArgumentSide& a = g.right;
    const std::int64_t n = g.resultCount;
    if constexpr (requires { Op::applyInt(0); }) {
        if (isIntegral(a.type)) {
            if (g.resultSingle) {
                std::int32_t z;
                intLoop<Op>(Same<std::int32_t>{a.inlineInt}, &z, 1);
                storeSingleInt(cx, g, kInteger, z);
                return kOk;
            }
            WOX_TRY(prepareResult(cx, g, kInteger));
            if (n > 0) intLoop<Op>(Each<std::int32_t>{a.block<std::int32_t>()}, resultBlock<std::int32_t>(cx, g), n);
            return kOk;
        }
    }
    if (g.resultSingle) {
        double z;
        visitNumericSide(a, [&](auto r) { return floatLoop<Op>(r, &z, 1); });
        storeSingleNumber(cx, g, z);
        return kOk;
    }
    WOX_TRY(prepareResult(cx, g, kFloat));
    if (n == 0) return kOk;
    double* out = resultBlock<double>(cx, g);
    if (visitNumericSide(g.right, [&](auto r) { return floatLoop<Op>(r, out, n); })) narrowFloatResult(cx, g);
    return kOk;
}

bool anyNegative(const ArgumentSide& a) {
    return visitNumericSide(a, [&](auto r) {
        std::int64_t n = a.single ? 1 : a.count;
        for (std::int64_t i = 0; i < n; ++i)
            if (ops::toDouble(r[i]) < 0) return true;
        return false;
    });
}

struct MonadicRow {
    int code;
    Routine run;
};

constexpr int kFirstCode = vocabulary::code::kIdentity;
constexpr std::array kMonadic{
    MonadicRow{vocabulary::code::kIdentity, &runMonadic<ops::Identity>},
    MonadicRow{vocabulary::code::kNegate, &runMonadic<ops::Negate>},
    MonadicRow{vocabulary::code::kSignum, &runMonadic<ops::Signum>},
    MonadicRow{vocabulary::code::kReciprocal, &runMonadic<ops::Reciprocal>},
    MonadicRow{vocabulary::code::kCeiling, &runMonadic<ops::Ceiling>},
    MonadicRow{vocabulary::code::kFloor, &runMonadic<ops::Floor>},
    MonadicRow{vocabulary::code::kExponential, &runMonadic<ops::Exponential>},
    MonadicRow{vocabulary::code::kNaturalLog, &runMonadic<ops::NaturalLog>},
    MonadicRow{vocabulary::code::kMagnitude, &runMonadic<ops::Magnitude>},
    MonadicRow{vocabulary::code::kFactorial, &runMonadic<ops::Factorial>},
    MonadicRow{vocabulary::code::kPiTimes, &runMonadic<ops::PiTimes>},
};
constexpr bool rowsInOrder() {
    for (std::size_t i = 0; i < kMonadic.size(); ++i)
        if (kMonadic[i].code != kFirstCode + 2 * static_cast<int>(i)) return false;
    return true;
}
static_assert(rowsInOrder(), "row i holds the code of identity + 2i");

using vocabulary::code::kFactorial;

}  // namespace

Rc scalarMonadic(values::Context& cx, int code, int result, ValueRef right) {
    int row = (code - kFirstCode) / 2;
    if (code < kFirstCode || code % 2 != 0 || row >= static_cast<int>(kMonadic.size()))
        return cx.fail(kNotImplemented);
    ArgumentDigest g = digestMonadic(cx.ws, result, right);
    if (!g.right.present()) return cx.fail(kValueError);
    if (g.right.type == kComplex) {
        if (code == kFactorial) return cx.fail(kDomainError);  // no factorial of a complex number
        return complexMonadic(cx, code, result, right);
    }
    if (g.right.type == kDictionary) return dictionaryMonadic(cx, code, result, right);
    if (!isRealNumeric(g.right.type)) return cx.fail(kDomainError);
    // A negative number has complex logarithms only.
    if (code == vocabulary::code::kNaturalLog && g.right.count > 0 && anyNegative(g.right))
        return complexMonadic(cx, code, result, right);
    return kMonadic[row].run(cx, g);
}

}  // namespace wox::primitives
