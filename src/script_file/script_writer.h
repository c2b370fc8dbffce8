#pragma once
// The text of a script file as OUT writes it: every function as a block
// ("@." and its header, its further source lines, "@." and an empty line)
// and every variable that holds a value as a block ("&name " and its tagged
// value text, then "&"), in the order of the global name table.
#include <string>
#include <vector>

#include "engine/interpreter.h"

namespace wox::script_file {

inline constexpr std::string_view kFunctionMark = "@.";
inline constexpr char kVariableMark = '&';

// `only` empty: every function and variable; otherwise those of the names
// given.
std::string scriptText(const Interpreter& in, const std::vector<std::string>& only);

}  // namespace wox::script_file
