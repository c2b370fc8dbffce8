// Arithmetic with a dictionary: the function applies to the dictionary's
// values, which keep their keys.
#include "primitives/keyed/keyed_layout.h"
#include "primitives/scalar.h"
#include "primitives/scalar_seams.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::primitives {

Rc dictionaryDyadic(values::Context& cx, int code, int result, ValueRef left, ValueRef right) {
    values::Workspace& ws = cx.ws;
    const bool leftDictionary = ws.at(left).type == kDictionary;
    const bool rightDictionary = ws.at(right).type == kDictionary;
    // Two dictionaries would need their keys matched; not offered.
    if (leftDictionary && rightDictionary) return cx.fail(kDomainError);
    const ValueRef dictionary = leftDictionary ? left : right;
    if (!isPlainDictionary(ws.at(dictionary))) return cx.fail(kDomainError);
    // The values are copied into the result slot and the function runs on
    // that copy; the scalar families allow a result slot that is also an
    // argument.
    if (Rc rc = values::copyItemToTemp(ws, result, dictionary, 1); rc.failed()) return cx.fail(rc.code);
    if (ws.var(result).type > kTemporal) return cx.fail(kDomainError);
    WOX_TRY(leftDictionary ? scalarDyadic(cx, code, result, varRef(result), right)
                           : scalarDyadic(cx, code, result, left, varRef(result)));
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

}  // namespace wox::primitives
