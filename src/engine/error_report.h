#pragma once
// The error report the session shows after a failed line: the message, then
// the failing line with a caret under the failing place.
#include <string>
#include <string_view>

#include "engine/interpreter.h"

namespace wox::engine {

// The report text for the error in the error word; `line` is the session
// line that was executed. An error inside the query library is reported as
// "error in `do statement" alone, or by nothing more than the message its
// character branch showed. When a call found the state indicator full, a
// last line says so.
std::string errorReport(const Interpreter& in, std::string_view line);

// Writes that report to the session.
void reportError(Interpreter& in, std::string_view line);

// The variable slot of the []IO in force: the innermost binding of an
// active call, else the global one.
int currentIoSlot(const Interpreter& in);
// The slot of the []RL in force: the innermost local []RL, else the global one.
int currentRlSlot(const Interpreter& in);

}  // namespace wox::engine
