#pragma once
// Two single real numbers: scalars or one-element vectors of Boolean,
// Integer or Float, whose elements live inline in their descriptors. The
// counters and tests of a loop in a defined function are such values, and
// for them building an argument digest costs more than the arithmetic. The
// scalar families answer them from the descriptors with the same element
// rules as their full loops, and fall back to the digest for anything else.
#include <array>
#include <cstdint>

#include "primitives/element_loops.h"
#include "primitives/scalar_ops.h"
#include "values/narrowing.h"
#include "values/workspace.h"

namespace wox::primitives {

struct SinglePair {
    bool integers = false;  // both Boolean or Integer: read li and ri
    std::int32_t li = 0, ri = 0;
    double ld = 0, rd = 0;  // otherwise both read as doubles, nulls as the float null
    std::int32_t rank = 0;  // of the result: the higher of the two
};

inline bool isSingleReal(const ValueDescriptor& d) {
    return d.type >= kBoolean && d.type <= kFloat && isInline(d);
}

// Whether l and r are both single real numbers; fills `p` when so.
inline bool readSinglePair(const ValueDescriptor& l, const ValueDescriptor& r, SinglePair& p) {
    if (!isSingleReal(l) || !isSingleReal(r)) return false;
    p.rank = l.rank > r.rank ? l.rank : r.rank;
    p.integers = isIntegral(l.type) && isIntegral(r.type);
    if (p.integers) {
        p.li = inlineInt(l);
        p.ri = inlineInt(r);
    } else {
        p.ld = l.type == kFloat ? inlineFloat(l) : ops::toDouble(inlineInt(l));
        p.rd = r.type == kFloat ? inlineFloat(r) : ops::toDouble(inlineInt(r));
    }
    return true;
}
inline bool readSinglePair(const values::Workspace& ws, ValueRef left, ValueRef right, SinglePair& p) {
    return readSinglePair(ws.at(left), ws.at(right), p);
}

// The result slot as a single value of one element, written inline.
inline void writeSingleInt(values::Workspace& ws, int result, std::int32_t type, std::int32_t rank, std::int32_t v) {
    ValueDescriptor d;
    d.type = type;
    d.rank = rank;
    d.count = 1;
    setInlineInt(d, v);
    ws.var(result) = d;
}

// A number narrowed to Integer when it is one, as every scalar result is.
inline void writeSingleNumber(values::Workspace& ws, int result, std::int32_t rank, double v) {
    if (values::fitsInteger(v)) {
        writeSingleInt(ws, result, kInteger, rank, values::toIntegerElement(v));
        return;
    }
    ValueDescriptor d;
    d.type = kFloat;
    d.rank = rank;
    d.count = 1;
    setInlineFloat(d, v);
    ws.var(result) = d;
}

// The routine that answers a dyadic code for two single real numbers, or
// null: the arithmetic functions without checks of their own, and the
// comparisons. The evaluator calls it directly when both arguments are
// single, skipping dispatch and the argument digest.
using SingleDyadic = void (*)(values::Workspace& ws, int result, const SinglePair& p);
SingleDyadic singleArithmetic(int code);  // scalar_dyadic.cpp
SingleDyadic singleComparison(int code);  // comparison.cpp
// Either of them by dyadic code, in a table made when the program loads:
// every scalar dyadic code is below its end.
inline constexpr int kSingleDyadicCodes = 128;
extern const std::array<SingleDyadic, kSingleDyadicCodes> kSingleDyadicTable;
// The routine for any dyadic code; null for a code that has neither.
inline SingleDyadic singleDyadic(int code) {
    return code >= 0 && code < kSingleDyadicCodes ? kSingleDyadicTable[static_cast<std::size_t>(code)] : nullptr;
}

}  // namespace wox::primitives
