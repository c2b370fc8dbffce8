#pragma once
// The name lists of FNS, VARS and LIB: sorted by their bytes; up to eight
// names on one line, two blanks apart; more in rows of eight whose columns
// are as wide as their longest name.
#include <string>
#include <vector>

namespace wox::session {

// The lines, each starting with "\r\n"; nothing for no names.
std::string nameListText(std::vector<std::string> names);

}  // namespace wox::session
