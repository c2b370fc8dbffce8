// Items reach f as values of their own slots. A General argument is first
// copied onto the stack unless it is already a temporary, because stack
// blocks never move: an item slot can then name the item's blocks in place
// while f's routine allocates (and the heap compacts) around it. Every
// result is copied into the General result at once, so the two slots of
// the item and of its result serve every item in turn.
#include "engine/each.h"

#include <cstring>

#include "engine/dispatch.h"
#include "engine/function_call.h"
#include "primitives/keyed/enumerations.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::engine {

namespace {

namespace code = vocabulary::code;

bool isTempRef(const values::Workspace& ws, ValueRef r) { return r < 0 && ws.isTempSlot(-r); }

// The argument as a stack value.
Rc onStack(Interpreter& in, EvalContext& cx, ValueRef* r) {
    if (isTempRef(in.ws, *r)) return kOk;
    int t;
    WOX_TRY(nextTemp(cx, &t));
    WOX_TRY(values::copyToTemp(in.ws, t, *r));
    *r = varRef(t);
    return kOk;
}

// Puts item i of `from` into slot `slot`: the item itself for a General
// value, a scalar of the element's type otherwise.
Rc itemInto(Interpreter& in, int slot, ValueRef from, std::int32_t i) {
    values::Workspace& ws = in.ws;
    const ValueDescriptor src = ws.at(from);
    ValueDescriptor& d = ws.var(slot);
    if (src.type == kGeneral) {
        d = ws.elems<ValueDescriptor>(src)[i];
        return kOk;
    }
    if (src.type == kDictionary || src.type == kTable || src.type == kEnumeration) return kDomainError;
    d = ValueDescriptor{};
    d.type = src.type;
    d.count = 1;
    int w = elementStride(src.type);
    const char* e = isInline(src) ? reinterpret_cast<const char*>(&src.shape0) : ws.elems<char>(src) + i * w;
    if (isInline(d)) {
        std::memcpy(&d.shape0, e, static_cast<std::size_t>(w));
        return kOk;
    }
    WOX_TRY(ws.allocTemp(slot, src.type, 1, false));
    const ValueDescriptor again = ws.at(from);  // the allocation may have moved its block
    std::memcpy(ws.base() + ws.var(slot).data, ws.elems<char>(again) + i * w, static_cast<std::size_t>(w));
    return kOk;
}

// An enumeration's items are its elements as they read through its domain:
// the argument becomes its plain values.
Rc plainValues(Interpreter& in, EvalContext& cx, ValueRef* r) {
    if (in.ws.at(*r).type != kEnumeration) return kOk;
    int t;
    WOX_TRY(nextTemp(cx, &t));
    WOX_TRY(primitives::enumerationValues(in, t, *r));
    *r = varRef(t);
    return kOk;
}

// A General result with the given shape, its items empty for now.
Rc generalResult(Interpreter& in, int result, const ValueDescriptor& shape) {
    values::Workspace& ws = in.ws;
    ValueDescriptor& d = ws.var(result);
    d = ValueDescriptor{};
    WOX_TRY(ws.allocTemp(result, kGeneral, shape.count));
    ValueDescriptor& r = ws.var(result);
    r.type = kGeneral;
    if (shape.rank >= 2) return values::copyShape(ws, r, shape);
    r.rank = shape.rank;
    r.count = shape.count;
    r.shape0 = shape.rank == 1 ? shape.count : 0;
    return kOk;
}

// f of `item` (and `left` when dyadic); the value lands in slot `out`
// unless f is a defined function, whose result is its own.
Rc applyTo(Interpreter& in, EvalContext& cx, const frontend::FunctionEntry& f, ValueRef left, ValueRef item, int out,
           ValueRef* value) {
    if (f.kind == frontend::kDefinedFn) {
        ValueRef r = kNoValue;
        WOX_TRY(callDefined(in, cx, f.monadic, left, item, &r));
        if (r == kNoValue) return kValueError;
        *value = r;
        return kOk;
    }
    WOX_TRY(left == kNoValue ? dispatchMonadic(in, f.monadic, out, item) : dispatchDyadic(in, f.dyadic, out, left, item));
    *value = varRef(out);
    return kOk;
}

// Item counts or type codes, read from the item descriptors.
Rc itemFacts(Interpreter& in, int result, ValueRef right, bool counts) {
    values::Workspace& ws = in.ws;
    const ValueDescriptor src = ws.at(right);
    ValueDescriptor& d = ws.var(result);
    d = ValueDescriptor{};
    if (Rc rc = values::copyShape(ws, d, src); rc.failed()) return rc;
    d.type = kInteger;
    if (src.count == 0) return kOk;
    if (!isInline(d)) WOX_TRY(ws.allocTemp(result, kInteger, src.count, false));
    ValueDescriptor& r = ws.var(result);
    if (r.rank == 1 && r.count != 1) r.shape0 = r.count;
    std::int32_t* out = isInline(r) ? &r.shape0 : ws.elems<std::int32_t>(r);
    const ValueDescriptor* items = ws.elems<ValueDescriptor>(ws.at(right));
    for (std::int32_t i = 0; i < src.count; ++i) out[i] = counts ? items[i].count : items[i].type;
    if (isInline(r)) r.shape1 = 0;
    return kOk;
}

bool hasRoutine(const frontend::FunctionEntry& f, bool dyadic) {
    if (f.kind == frontend::kDefinedFn) return true;
    return dyadic ? hasDyadicRoutine(f.dyadic) : hasMonadicRoutine(f.monadic);
}

}  // namespace

Rc eachMonadic(Interpreter& in, EvalContext& cx0, const frontend::FunctionEntry& f, int result, ValueRef right) {
    EvalContext cx = cx0;
    if (in.ws.at(right).unset()) return kValueError;
    WOX_TRY(plainValues(in, cx, &right));
    const ValueDescriptor y = in.ws.at(right);
    bool primitive = f.kind == frontend::kPrimitiveFn;
    if (primitive && f.monadic == code::kExecute) return kDomainError;
    if (y.type != kGeneral) {
        ValueRef r = kNoValue;
        WOX_TRY(applyTo(in, cx, f, kNoValue, right, result, &r));
        if (r != varRef(result)) WOX_TRY(values::copyToTemp(in.ws, result, r));
        return kOk;
    }
    if (primitive && (f.monadic == code::kCount || f.monadic == code::kTypeCode))
        return itemFacts(in, result, right, f.monadic == code::kCount);
    if (!hasRoutine(f, false)) return kDomainError;
    WOX_TRY(onStack(in, cx, &right));
    int item, out;
    WOX_TRY(nextTemp(cx, &item));
    WOX_TRY(nextTemp(cx, &out));
    WOX_TRY(generalResult(in, result, in.ws.at(right)));
    const std::int32_t n = in.ws.at(right).count;
    // A defined function's result takes a temporary of its own, copied into
    // the result at once: each item reuses the same ones.
    const int temps = cx.temp;
    for (std::int32_t i = 0; i < n; ++i) {
        cx.temp = temps;
        WOX_TRY(itemInto(in, item, right, i));
        ValueRef r = kNoValue;
        WOX_TRY(applyTo(in, cx, f, kNoValue, varRef(item), out, &r));
        std::uint32_t at = in.ws.var(result).data + static_cast<std::uint32_t>(sizeof(ValueDescriptor)) * static_cast<std::uint32_t>(i);
        WOX_TRY(values::copyIntoTempItem(in.ws, at, r));
    }
    return kOk;
}

Rc eachDyadic(Interpreter& in, EvalContext& cx0, const frontend::FunctionEntry& f, int result, ValueRef left,
              ValueRef right) {
    EvalContext cx = cx0;
    if (in.ws.at(left).unset() || in.ws.at(right).unset()) return kValueError;
    WOX_TRY(plainValues(in, cx, &left));
    WOX_TRY(plainValues(in, cx, &right));
    const ValueDescriptor x = in.ws.at(left);
    const ValueDescriptor y = in.ws.at(right);
    if (x.rank > 1 || y.rank > 1) return kRankError;
    if (x.count != y.count && x.count != 1 && y.count != 1) return kLengthError;
    if (!hasRoutine(f, true)) return kDomainError;
    const std::int32_t n = x.count == 1 ? y.count : x.count;
    WOX_TRY(onStack(in, cx, &left));
    WOX_TRY(onStack(in, cx, &right));
    int a, b, out;
    WOX_TRY(nextTemp(cx, &a));
    WOX_TRY(nextTemp(cx, &b));
    WOX_TRY(nextTemp(cx, &out));
    ValueDescriptor shape{};
    shape.rank = 1;
    shape.count = n;
    WOX_TRY(generalResult(in, result, shape));
    const int temps = cx.temp;
    for (std::int32_t i = 0; i < n; ++i) {
        cx.temp = temps;
        WOX_TRY(itemInto(in, a, left, x.count == 1 ? 0 : i));
        WOX_TRY(itemInto(in, b, right, y.count == 1 ? 0 : i));
        ValueRef r = kNoValue;
        WOX_TRY(applyTo(in, cx, f, varRef(a), varRef(b), out, &r));
        std::uint32_t at = in.ws.var(result).data + static_cast<std::uint32_t>(sizeof(ValueDescriptor)) * static_cast<std::uint32_t>(i);
        WOX_TRY(values::copyIntoTempItem(in.ws, at, r));
    }
    return kOk;
}

}  // namespace wox::engine
