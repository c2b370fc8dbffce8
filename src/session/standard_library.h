#pragma once
// The standard function library, the script standard.vsf: the program
// carries it (its text is built into the program from src/session/
// standard.vsf) and writes it into the workspace folder when it is missing
// there, so that ")fcopy standard" finds it.
#include <string>
#include <string_view>

namespace wox::session {

inline constexpr std::string_view kStandardLibraryFile = "standard.vsf";

std::string_view standardLibraryText();

// Writes the library into `folder` (ending with "/") unless a file of its
// name is there; a user's own copy is never replaced. False with the
// reason when it cannot be written.
bool installStandardLibrary(const std::string& folder, std::string* problem);

}  // namespace wox::session
