#include "engine/interpreter.h"

#include "frontend/builtin_names.h"
#include "frontend/name_table.h"

namespace wox {

Interpreter::Interpreter(const Capacities& caps)
    : Context(caps),
      front(caps),
      functions(caps),
      scope(caps.shadowStack),
      shadowedSlots(scope.bindings.size()),
      errors(caps.callTrace) {
    symbolNames = &symbols;
    ws.localNamed = [this](int slot, std::int32_t name) {
        for (int i = scope.top; i >= 0; --i) {
            const frontend::ScopeBinding& b = scope.at(i);
            if (b.name >= 0 && b.slot == slot)
                return frontend::nameEquals(front, front.locals[static_cast<std::size_t>(b.name)], symbols.name(name));
        }
        return false;
    };
    frontend::enterBuiltinNames(front, functions);
    // The heap stays empty until start-up: []AV gets its block there.
    frontend::enterInlineSystemValues(ws);
}

}  // namespace wox
