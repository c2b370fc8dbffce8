#include "primitives/scalar_seams.h"

#include "values/messages.h"

namespace wox::primitives {

Rc complexMonadic(values::Context& in, int, int, ValueRef) { return in.fail(kNotImplemented); }

Rc complexDyadic(values::Context& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

Rc temporalDyadic(values::Context& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

Rc dictionaryDyadic(values::Context& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

Rc enumerationEquality(values::Context& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

}  // namespace wox::primitives
