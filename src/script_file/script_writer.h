#pragma once
// The text of a script file as OUT writes it: every function as a block
// ("@." and its header, its further source lines, "@." and an empty line)
// and every variable that holds a value as a block ("&name " and its tagged
// value text, then "&"), in the order of the global name table. A variable
// written as a statement that enumerates over another variable of the
// script waits until that variable is written.
#include <string>
#include <vector>

#include "engine/interpreter.h"

namespace wox::script_file {

inline constexpr std::string_view kFunctionMark = "@.";
inline constexpr char kVariableMark = '&';

// `only` empty: every function and variable; otherwise those of the names
// given. False, with `problem` naming the variable and the reason, when a
// value cannot be written without loss; no text is made then.
bool scriptText(const Interpreter& in, const std::vector<std::string>& only, std::string* text,
                std::string* problem);

}  // namespace wox::script_file
