#pragma once
// The query library, the script behind the statements of `do`: the program
// carries it (its text is built into the program from src/session/
// query.vsf), and the first `do` of a workspace reads it quietly through
// the script reader (Session::loadQueryLibrary), from inside whatever line
// or function is running.
#include <string_view>

namespace wox::session {

std::string_view queryLibraryText();

}  // namespace wox::session
