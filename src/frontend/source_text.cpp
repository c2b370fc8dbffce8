#include "frontend/source_text.h"

#include <algorithm>
#include <array>

namespace wox::frontend::text {
namespace {

constexpr std::array<std::string_view, 7> kControlWords{"case", "else", "for", "if",
                                                        "while", "break", "continue"};
constexpr std::size_t kReservedWords = 5;  // the first five of kControlWords
static_assert(kControlWords[kReservedWords - 1] == "while");

}  // namespace

bool isValidName(std::string_view name) {
    return !name.empty() && isLetter(name.front()) && name.back() != '_' &&
           std::all_of(name.begin(), name.end(), isNameChar);
}

bool isReservedWord(std::string_view word) {
    return std::find(kControlWords.begin(), kControlWords.begin() + kReservedWords, word) !=
           kControlWords.begin() + kReservedWords;
}

bool isControlWord(std::string_view word) {
    return std::find(kControlWords.begin(), kControlWords.end(), word) != kControlWords.end();
}

std::string_view trimBlanks(std::string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b])) ++b;
    while (e > b && isBlank(s[e - 1])) --e;
    return s.substr(b, e - b);
}

std::size_t skipQuoted(std::string_view text, std::size_t pos, bool* closed) {
    if (closed) *closed = true;
    for (std::size_t i = pos + 1; i < text.size(); ++i) {
        if (text[i] != '\'') continue;
        if (i + 1 < text.size() && text[i + 1] == '\'') {
            ++i;
            continue;
        }
        return i + 1;
    }
    if (closed) *closed = false;
    return text.size();
}

std::size_t nameEnd(std::string_view text, std::size_t pos) {
    while (pos < text.size() && isNameChar(text[pos])) ++pos;
    return pos;
}

bool wordAt(std::string_view text, std::size_t pos, std::string_view word) {
    if (text.substr(pos, word.size()) != word) return false;
    if (pos > 0) {
        char before = text[pos - 1];
        if (isNameChar(before) || before == '`' || before == '.') return false;
    }
    std::size_t end = pos + word.size();
    return end == text.size() || !isNameChar(text[end]);
}

std::string_view withoutComment(std::string_view line) {
    for (std::size_t i = 0; i < line.size();) {
        if (line[i] == '\'') {
            i = skipQuoted(line, i);
        } else if (line[i] == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            return line.substr(0, i);
        } else {
            ++i;
        }
    }
    return line;
}

std::vector<std::string_view> splitAtSemicolons(std::string_view line, bool braces) {
    std::vector<std::string_view> pieces;
    auto add = [&](std::size_t from, std::size_t to) {
        pieces.push_back(trimBlanks(line.substr(from, to - from)));
    };
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < line.size();) {
        char c = line[i];
        if (c == '\'') {
            i = skipQuoted(line, i);
            continue;
        }
        if (c == '(' || c == '[' || (braces && c == '{')) {
            ++depth;
        } else if (c == ')' || c == ']' || (braces && c == '}')) {
            // A stray closer is the scanner's to report; it must not stop the
            // rest of the line from splitting.
            depth = std::max(0, depth - 1);
        } else if (c == ';' && depth == 0) {
            add(start, i);
            start = i + 1;
        }
        ++i;
    }
    add(start, line.size());
    return pieces;
}

std::vector<std::string_view> splitStatements(std::string_view line, bool braces) {
    std::vector<std::string_view> pieces = splitAtSemicolons(line, braces);
    std::erase_if(pieces, [](std::string_view p) { return p.empty(); });
    return pieces;
}

}  // namespace wox::frontend::text
