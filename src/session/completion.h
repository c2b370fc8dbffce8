#pragma once
// What Tab offers in the terminal: the names of the workspace (variables
// with a value, defined and keyword functions, the locals of suspended
// calls), the system names, and after a leading ")" the system commands.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"

namespace wox::session {

struct Completion {
    std::size_t start = 0;                // where in the line the word being completed starts
    std::vector<std::string> candidates;  // whole words for that place, sorted, no duplicates
};

// The completions of the word that ends at the end of `before` (the line up
// to the cursor). No candidates when there is nothing to complete there: a
// number, the inside of a character string, or no word at all.
Completion complete(const Interpreter& in, std::string_view before);

}  // namespace wox::session
