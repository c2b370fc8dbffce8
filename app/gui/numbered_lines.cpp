#include "numbered_lines.h"

#include "session/line_text.h"

namespace wox::gui {

namespace {
constexpr std::string_view kNumberGap = "  ";
constexpr std::string_view kCommit = "@.";
}  // namespace

std::string numberedLine(int number, std::string_view text) {
    std::string line = "[";
    line += std::to_string(number);
    line += ']';
    line += kNumberGap;
    line += text;
    return line;
}

std::size_t numberPrefixLength(std::string_view line) {
    if (!line.starts_with('[')) return 0;
    std::size_t i = 1;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
    if (i == 1 || i >= line.size() || line[i] != ']') return 0;
    ++i;
    for (std::size_t blanks = 0; blanks < kNumberGap.size() && i < line.size() && line[i] == ' '; ++blanks) ++i;
    return i;
}

std::string_view withoutNumber(std::string_view line) { return line.substr(numberPrefixLength(line)); }

bool isCommitLine(std::string_view line) {
    return session::skipLeadingBlanks(withoutNumber(line)).starts_with(kCommit);
}

}  // namespace wox::gui
