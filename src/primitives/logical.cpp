// The logical functions: or (&), and (^), not (~). Arguments are Boolean, or
// Integer or Float values whose every element is 0 or 1; those are read as
// they are, without building a Boolean copy.
#include "primitives/conformability.h"
#include "primitives/element_loops.h"
#include "primitives/scalar.h"
#include "primitives/scalar_ops.h"
#include "primitives/single_scalars.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {

namespace {

using vocabulary::code::kAnd;
using vocabulary::code::kNot;
using vocabulary::code::kOr;

bool holdsBits(const ArgumentSide& s) {
    const std::int64_t n = s.single ? 1 : s.count;
    if (s.type == kBoolean) return true;
    if (s.type == kInteger) {
        return visitSide<std::int32_t>(s, [&](auto a) {
            for (std::int64_t i = 0; i < n; ++i)
                if (static_cast<std::uint32_t>(a[i]) > 1u) return false;
            return true;
        });
    }
    if (s.type == kFloat) {
        return visitSide<double>(s, [&](auto a) {
            for (std::int64_t i = 0; i < n; ++i)
                if (a[i] != 0.0 && a[i] != 1.0) return false;
            return true;
        });
    }
    return false;
}

// Reads a side that holds only 0 and 1 as int32 bits.
template <class R>
struct Bits {
    R r;
    std::int32_t operator[](std::int64_t i) const { return static_cast<std::int32_t>(r[i]); }
};
template <class R>
Bits(R) -> Bits<R>;

template <class Op>
Rc runLogical(values::Context& cx, ArgumentDigest& g) {
    auto pairs = [&](std::int32_t* out, std::int64_t n) {
        visitNumeric(g, [&](auto l, auto r) {
            Bits lb{l};
            Bits rb{r};
            for (std::int64_t i = 0; i < n; ++i) out[i] = Op::apply(lb[i], rb[i]);
        });
    };
    if (g.resultSingle) {
        std::int32_t z;
        pairs(&z, 1);
        storeSingleInt(cx, g, kBoolean, z);
        return kOk;
    }
    WOX_TRY(prepareResult(cx, g, kBoolean));
    if (g.resultCount > 0) pairs(resultBlock<std::int32_t>(cx, g), g.resultCount);
    return kOk;
}

}  // namespace

Rc logicalDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    // Dispatch sends only "or" and "and" here; the unused codes beside them
    // belong to no family.
    if (code != kOr && code != kAnd) return cx.fail(kNotImplemented);
    ArgumentDigest g = digestDyadic(cx.ws, result, left, right);
    if (!g.left.present() || !g.right.present()) return cx.fail(kValueError);
    if (!holdsBits(g.left) || !holdsBits(g.right)) return cx.fail(kDomainError);
    if (Rc rc = conformabilityCheck(cx.ws, g); rc.failed()) return cx.fail(rc.code);
    return code == kOr ? runLogical<ops::Or>(cx, g) : runLogical<ops::And>(cx, g);
}

Rc logicalMonadic(values::Context& cx, int code, int result, ValueRef right) {
    if (code != kNot) return cx.fail(kNotImplemented);
    // A single truth value, as a loop's test gives, needs no digest.
    if (const ValueDescriptor& d = cx.ws.at(right); d.type == kBoolean && isInline(d)) {
        writeSingleInt(cx.ws, result, kBoolean, d.rank, ops::Not::apply(inlineInt(d)));
        return kOk;
    }
    ArgumentDigest g = digestMonadic(cx.ws, result, right);
    if (!g.right.present()) return cx.fail(kValueError);
    if (!holdsBits(g.right)) return cx.fail(kDomainError);
    auto run = [&](std::int32_t* out, std::int64_t n) {
        visitNumericSide(g.right, [&](auto a) {
            Bits b{a};
            for (std::int64_t i = 0; i < n; ++i) out[i] = ops::Not::apply(b[i]);
        });
    };
    if (g.resultSingle) {
        std::int32_t z;
        run(&z, 1);
        storeSingleInt(cx, g, kBoolean, z);
        return kOk;
    }
    WOX_TRY(prepareResult(cx, g, kBoolean));
    if (g.resultCount > 0) run(resultBlock<std::int32_t>(cx, g), g.resultCount);
    return kOk;
}

}  // namespace wox::primitives
