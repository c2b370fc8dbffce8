#include "primitives/value_type.h"

namespace wox::primitives {

Rc typeOf(values::Context& cx, int, int result, ValueRef right) {
    std::int32_t t = cx.ws.at(right).type;
    ValueDescriptor& d = cx.ws.var(result);
    d = ValueDescriptor{};
    d.type = wox::kInteger;
    d.count = 1;
    setInlineInt(d, t);
    return kOk;
}

}  // namespace wox::primitives
