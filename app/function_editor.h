#pragma once
// "@.name" in the terminal: the function's source goes to the user's editor
// in a temporary file; what is saved there redefines the function.
#include <string>
#include <string_view>

#include "engine/interpreter.h"

namespace wox::app {

// The editor command: $VISUAL, else $EDITOR, else the system's default.
std::string editorCommand();

// Edits function `name`; returns a line to show the user (empty when the
// function was redefined).
std::string editFunction(Interpreter& in, std::string_view name);

}  // namespace wox::app
