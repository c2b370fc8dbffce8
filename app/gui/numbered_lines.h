#pragma once
// The line numbers of the function editor: every line shows "[n]  " before
// its text, n counting from 0 with the header. The numbers are only shown:
// the text of a line is what follows them.
#include <string>
#include <string_view>

namespace wox::gui {

std::string numberedLine(int number, std::string_view text);
// Length of the "[n]" prefix and the blanks (at most two) after it; 0 for a
// line that has none.
std::size_t numberPrefixLength(std::string_view line);
std::string_view withoutNumber(std::string_view line);
// A line whose text starts with "@." commits the lines above it.
bool isCommitLine(std::string_view line);

}  // namespace wox::gui
