#pragma once
// Suspended calls of a loaded workspace: the call-trace stack, the bindings
// on dfxstack and the local variables are stored as they lie; loading makes
// the calls' frames from them again, after checking that they agree.
#include <vector>

#include "engine/error_trace.h"
#include "engine/interpreter.h"
#include "frontend/scope_stack.h"

namespace wox::workspace_file {

// Rebuilds the frames of the suspended calls. The local-name table
// (0 .. lastLocal), the local variables (lowestLocalSlot up) and the
// functions are in place already; `trace` and `bindings` are the stored
// stacks. False, with nothing of the calls kept, when any count, slot or
// name reference does not fit the rest.
bool restoreSuspendedCalls(Interpreter& in, const std::vector<engine::CallTraceEntry>& trace,
                           const std::vector<frontend::ScopeBinding>& bindings, int lastLocal);

}  // namespace wox::workspace_file
