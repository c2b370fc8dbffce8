#include "engine/interpreter.h"

#include "frontend/builtin_names.h"

namespace wox {

Interpreter::Interpreter(const Capacities& caps) : Context(caps), front(caps), errors(caps.callTrace) {
    // The heap stays empty until start-up: []AV gets its block there.
    frontend::enterInlineSystemValues(*this);
}

}  // namespace wox
