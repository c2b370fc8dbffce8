#include "primitives/index_origin.h"

#include "values/messages.h"

namespace wox::primitives {

Rc indexOrigin(const values::Workspace& ws, ValueRef io, int* origin) {
    const ValueDescriptor& d = ws.at(io);
    if (d.unset() || (d.type != kBoolean && d.type != kInteger) || d.count != 1 || d.rank > 1) return kIndexOriginError;
    std::int32_t v = inlineInt(d);
    if (v != 0 && v != 1) return kIndexOriginError;
    *origin = v;
    return kOk;
}

}  // namespace wox::primitives
