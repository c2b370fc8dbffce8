#include "primitives/scalar_seams.h"

#include "values/messages.h"

namespace wox::primitives {

Rc temporalDyadic(values::Context& cx, int, int, ValueRef, ValueRef) { return cx.fail(kNotImplemented); }

Rc dictionaryDyadic(values::Context& cx, int, int, ValueRef, ValueRef) { return cx.fail(kNotImplemented); }

Rc enumerationEquality(values::Context& cx, int, int, ValueRef, ValueRef) { return cx.fail(kNotImplemented); }

}  // namespace wox::primitives
