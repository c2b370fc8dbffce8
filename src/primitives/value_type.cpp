#include "primitives/value_type.h"

namespace wox::primitives {

Rc typeOf(values::Context& in, int, int result, ValueRef right) {
    std::int32_t t = in.ws.at(right).type;
    ValueDescriptor& d = in.ws.var(result);
    d = ValueDescriptor{};
    d.type = wox::kInteger;
    d.count = 1;
    setInlineInt(d, t);
    return kOk;
}

}  // namespace wox::primitives
