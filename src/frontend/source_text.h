#pragma once
// Lexical helpers for function source text: quotes, comments, names and
// statement splitting, the shared ground of the header parser, the
// control-structure rewriting and direct definition. They work on plain
// strings and know nothing of the workspace tables.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "vocabulary/char_class.h"

namespace wox::frontend::text {

using vocabulary::isDigit;
using vocabulary::isLetter;
using vocabulary::isNameChar;
constexpr bool isBlank(char c) { return c == ' ' || c == '\t'; }

// A user name: a letter, then letters, digits and "_", not ending in "_".
bool isValidName(std::string_view name);

// The words of the control structures. The first five are reserved: no
// function, argument or local may be called by them.
bool isReservedWord(std::string_view word);
bool isControlWord(std::string_view word);

std::string_view trimBlanks(std::string_view s);

// `pos` is at a single quote; the position just past the closing quote (a
// doubled quote inside stands for one quote), or text.size() when the text
// ends inside the quotes, which `closed` then tells.
std::size_t skipQuoted(std::string_view text, std::size_t pos, bool* closed = nullptr);

// End of the name that starts with the letter at `pos`.
std::size_t nameEnd(std::string_view text, std::size_t pos);

// Whether `word` stands at `pos` as a whole word: not glued to a name,
// symbol or member access before it, nor to name characters after it.
bool wordAt(std::string_view text, std::size_t pos, std::string_view word);

// The line without its "//" comment (the first "//" outside quotes).
std::string_view withoutComment(std::string_view line);

// Pieces of `line` cut at every ";" outside quotes, parentheses and brackets
// (and braces, when `braces` is set), trimmed; empty pieces are kept.
std::vector<std::string_view> splitAtSemicolons(std::string_view line, bool braces);

// The same with the empty pieces dropped: the statements of a line.
std::vector<std::string_view> splitStatements(std::string_view line, bool braces);

}  // namespace wox::frontend::text
