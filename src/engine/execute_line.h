#pragma once
// The engine's front door for a typed line: translate, evaluate, display the
// result or write the error report with its caret.
#include <string_view>

#include "engine/interpreter.h"

namespace wox::engine {

// Returns 0 on success, -1 after an error has been reported to the session.
int executeLine(Interpreter& in, std::string_view text);

}  // namespace wox::engine
