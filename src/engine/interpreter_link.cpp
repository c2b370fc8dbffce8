#include "engine/interpreter_link.h"

#include "engine/interpreter.h"
#include "frontend/name_table.h"

namespace wox::engine {

bool InterpreterLink::localNamed(int slot, std::int32_t name) {
    for (int i = in_.scope.top; i >= 0; --i) {
        const frontend::ScopeBinding& b = in_.scope.at(i);
        if (b.name >= 0 && b.slot == slot)
            return frontend::nameEquals(in_.front, in_.front.locals[static_cast<std::size_t>(b.name)],
                                        in_.symbols.name(name));
    }
    return false;
}

}  // namespace wox::engine
