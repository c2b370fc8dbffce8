// Enclose <.y makes a General scalar holding y; first ^.y takes the first
// element (the first item's value for a General y).
#include <cstring>

#include "primitives/structural.h"
#include "primitives/structural_result.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::primitives {

Rc enclose(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    if (ws.at(right).unset()) return kValueError;
    char* out;
    WOX_TRY(makeResult(ws, result, kGeneral, nullptr, 0, &out));
    return ownItems(ws, result, [&] {
        ValueDescriptor item = ws.at(right);
        std::memcpy(ws.base() + ws.var(result).data, &item, sizeof item);
    });
}

Rc first(values::Context& cx, int, int result, ValueRef right) {
    values::Workspace& ws = cx.ws;
    Arg y(ws, right);
    if (y.d.unset()) return kValueError;
    if (y.d.count == 0) {
        char* out;
        return makeVector(ws, result, kInteger, 0, &out);
    }
    if (holdsDescriptors(y.d.type)) {
        if (y.d.type != kGeneral) return kDomainError;
        if (right == varRef(result)) {
            // The item is read from the argument's old block, which stays on the stack.
            ValueDescriptor item;
            std::memcpy(&item, y.bytes(ws), sizeof item);
            ws.var(result) = item;
            return kOk;
        }
        return values::copyItemToTemp(ws, result, right, 0);
    }
    if (!isSimple(y.d.type)) return kDomainError;
    char* out;
    WOX_TRY(makeResult(ws, result, y.d.type, nullptr, 0, &out));
    y.refresh(ws, result);
    std::memcpy(out, y.bytes(ws), static_cast<std::size_t>(elementStride(y.d.type)));
    return kOk;
}

}  // namespace wox::primitives
