#include "primitives/scalar_seams.h"

#include "engine/messages.h"

namespace wox::primitives {

Rc complexMonadic(Interpreter& in, int, int, ValueRef) { return in.fail(engine::kNotImplemented); }

Rc complexDyadic(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(engine::kNotImplemented); }

Rc temporalDyadic(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(engine::kNotImplemented); }

Rc dictionaryDyadic(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(engine::kNotImplemented); }

Rc enumerationEquality(Interpreter& in, int, int, ValueRef, ValueRef) { return in.fail(engine::kNotImplemented); }

}  // namespace wox::primitives
