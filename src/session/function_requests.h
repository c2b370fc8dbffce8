#pragma once
// The session's requests about defined functions: "{name}" lists a function,
// "{name: ...}" defines one directly, "@.name" edits one.
#include <string>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"

namespace wox::session {

bool isDefinedFunction(const Interpreter& in, std::string_view name);

// The listing of a user function, or the reserved-function line of a
// keyword function or a function of the loaded query library; false when
// the name is no function.
bool listFunction(const Interpreter& in, std::string_view name, std::string& text);

// Defines a function from the text after "{"; the reply is its listing.
Rc defineDirect(Interpreter& in, std::string_view text, std::string& reply);

// The source lines of a user function (header first), for an editor.
std::vector<std::string> functionSource(const Interpreter& in, std::string_view name);

// What an editor starts a new function from: the header a direct
// definition of one argument has, "z<-name x". Empty when `name` cannot
// become a function: not a name, already a function, or a variable with a
// value.
std::vector<std::string> newFunctionSource(const Interpreter& in, std::string_view name);

// Redefines a function from edited lines. A header that names no function
// (other than `newName`, the function the editor was opened to make)
// stores nothing (false).
bool defineEdited(Interpreter& in, const std::vector<std::string>& lines, std::string_view newName = {});

}  // namespace wox::session
