#include "engine/interpreter.h"

#include "frontend/builtin_names.h"

namespace wox {

Interpreter::Interpreter(const Capacities& caps)
    : Context(caps),
      front(caps),
      functions(caps),
      scope(caps.shadowStack),
      shadowedSlots(scope.bindings.size()),
      errors(caps.callTrace) {
    symbolNames = &symbols;
    install(ownLink_);
    frontend::enterBuiltinNames(front, functions);
    // The heap stays empty until start-up: []AV gets its block there.
    frontend::enterInlineSystemValues(ws);
}

}  // namespace wox
