#include "primitives/scalar_seams.h"

#include "values/messages.h"

namespace wox::primitives {

Rc complexMonadic(Interpreter& in, int, int, ValueRef) { return in.fail(kNotImplemented); }

Rc complexDyadic(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

Rc temporalDyadic(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

Rc dictionaryDyadic(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

Rc enumerationEquality(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(kNotImplemented); }

}  // namespace wox::primitives
