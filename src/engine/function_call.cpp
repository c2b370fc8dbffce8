#include "engine/function_call.h"

#include "engine/messages.h"

namespace wox::engine {

Rc callDefined(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result) {
    (void)cx;
    (void)fn;
    (void)left;
    (void)right;
    *result = kNoValue;
    return in.fail(kNotImplemented);
}

}  // namespace wox::engine
