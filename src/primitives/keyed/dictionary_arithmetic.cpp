// Scalar functions with a dictionary: the function applies to the
// dictionary's values, which keep their keys.
#include "primitives/keyed/keyed_layout.h"
#include "primitives/scalar.h"
#include "primitives/scalar_seams.h"
#include "values/messages.h"
#include "values/value_copy.h"

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

Rc dictionaryMonadic(values::Context& cx, int code, int result, ValueRef right) {
    return onValues(cx, result, right, [&] { return scalarMonadic(cx, code, result, varRef(result)); });
}

}  // namespace wox::primitives
