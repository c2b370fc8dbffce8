// Scalar functions with a dictionary: the function applies to the
// dictionary's values, which keep their keys.
#include <cstring>
#include <vector>

#include "primitives/keyed/keyed_layout.h"
#include "primitives/scalar.h"
#include "primitives/scalar_seams.h"
#include "primitives/search_keys.h"
#include "values/messages.h"
#include "values/shaped_result.h"
#include "values/value_copy.h"
#include "vocabulary/primitive_table.h"

namespace wox::primitives {

namespace {

using Dyadic = Rc (*)(values::Context&, int, int, ValueRef, ValueRef);

// The values are copied into the result slot and `run` applies the
// function to that copy (the scalar families allow a result slot that is
// also an argument); then the keys are put back in front of the answer.
template <class Run>
Rc onValues(values::Context& cx, int result, ValueRef dictionary, Run run) {
    values::Workspace& ws = cx.ws;
    if (!isPlainDictionary(ws.at(dictionary))) return cx.fail(kDomainError);
    if (Rc rc = values::copyItemToTemp(ws, result, dictionary, 1); rc.failed()) return cx.fail(rc.code);
    if (ws.var(result).type > kTemporal) return cx.fail(kDomainError);
    WOX_TRY(run());
    StackBuilder b(ws);
    b.need(partsOf(ws, ws.at(dictionary))[0]);
    b.need(ws.var(result));
    b.needBytes(64);
    if (Rc rc = b.reserve(); rc.failed()) return cx.fail(rc.code);
    const ValueDescriptor keys = b.copy(partsOf(ws, ws.at(dictionary))[0]);
    ValueDescriptor values = b.copy(ws.var(result));
    if (values.rank == 0) values.rank = 1;
    ws.var(result) = b.pair(kDictionary, kPlainDictionary, keys, values);
    return kOk;
}

Rc withOneDictionary(values::Context& cx, int code, int result, ValueRef left, ValueRef right, Dyadic f) {
    const values::Workspace& ws = cx.ws;
    const bool leftDictionary = ws.at(left).type == kDictionary;
    // Two dictionaries would need their keys matched; not offered.
    if (leftDictionary && ws.at(right).type == kDictionary) return cx.fail(kDomainError);
    const ValueRef dictionary = leftDictionary ? left : right;
    return onValues(cx, result, dictionary, [&] {
        return leftDictionary ? f(cx, code, result, varRef(result), right) : f(cx, code, result, left, varRef(result));
    });
}

}  // namespace

Rc dictionaryDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    return withOneDictionary(cx, code, result, left, right, scalarDyadic);
}

Rc dictionaryComparison(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    return withOneDictionary(cx, code, result, left, right, comparison);
}

Rc dictionaryPair(values::Context& cx, int code, int result, int scratch, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    if (!isPlainDictionary(ws.at(left)) || !isPlainDictionary(ws.at(right))) return cx.fail(kDomainError);
    auto simple = [](const ValueDescriptor& d) { return d.type <= kTemporal && d.type != kGeneral && d.rank <= 1; };
    const ValueDescriptor leftKeys = partsOf(ws, ws.at(left))[0], rightKeys = partsOf(ws, ws.at(right))[0];
    if (!simple(leftKeys) || !simple(rightKeys) || !simple(partsOf(ws, ws.at(right))[1])) return cx.fail(kDomainError);
    const std::int32_t n = leftKeys.count;
    if (rightKeys.count != n) return cx.fail(kLengthError);
    // Where each of the left's keys stands among the right's: every key
    // once, or the dictionaries do not conform.
    std::vector<std::int32_t> at(static_cast<std::size_t>(n));
    std::vector<bool> taken(static_cast<std::size_t>(n));
    if (Rc rc = searchElements(ws.caps, false, rightKeys.type, values::elementsOf(ws, rightKeys), n, leftKeys.type,
                               values::elementsOf(ws, leftKeys), n, at.data());
        rc.failed())
        return cx.fail(rc.code);
    for (std::int32_t p : at) {
        if (p >= n || taken[static_cast<std::size_t>(p)]) return cx.fail(kLengthError);
        taken[static_cast<std::size_t>(p)] = true;
    }
    // The right's values in the left's key order, in the scratch slot.
    const std::int32_t type = partsOf(ws, ws.at(right))[1].type;
    StackBuilder b(ws);
    b.needBytes(static_cast<std::uint64_t>(elementSize(type, n)));
    if (Rc rc = b.reserve(); rc.failed()) return cx.fail(rc.code);
    ValueDescriptor ordered = b.vector(type, n);
    const ValueDescriptor& values = partsOf(ws, ws.at(right))[1];
    const std::size_t w = static_cast<std::size_t>(elementStride(type));
    char* out = ws.elems<char>(ordered);
    const char* from = values::elementsOf(ws, values);
    for (std::int32_t j = 0; j < n; ++j)
        std::memcpy(out + w * static_cast<std::size_t>(j), from + w * static_cast<std::size_t>(at[static_cast<std::size_t>(j)]), w);
    ws.var(scratch) = ordered;
    const Dyadic f = vocabulary::dyadicFamily(code) == vocabulary::Family::Comparison ? comparison : scalarDyadic;
    return onValues(cx, result, left, [&] { return f(cx, code, result, varRef(result), varRef(scratch)); });
}

Rc dictionaryMonadic(values::Context& cx, int code, int result, ValueRef right) {
    return onValues(cx, result, right, [&] { return scalarMonadic(cx, code, result, varRef(result)); });
}

}  // namespace wox::primitives
