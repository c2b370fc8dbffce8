#include "engine/interpreter.h"

namespace wox {

Interpreter::Interpreter(const Capacities& caps) : ws(caps) {}

}  // namespace wox
