#pragma once
// Clearing the workspace and the report of its tables.
#include <string>

#include "engine/interpreter.h"

namespace wox::engine {

// Empties the heap, every table and the error state, and enters the
// built-in names and system values again. Fails with 6 only when the heap
// cannot hold []AV.
Rc clearWorkspace(Interpreter& in);

// The workspace report: every table's counter above its capacity, then the
// heap line and the end marker, with "\r\n" line ends.
std::string workspaceReport(const Interpreter& in);

}  // namespace wox::engine
