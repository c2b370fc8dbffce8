#pragma once
// The text rules of a typed line: where its comment starts, which blanks are
// skipped, and what kind of request its first characters make.
#include <string_view>

namespace wox::session {

// The line without its "//" comment and without a trailing "\r\n". Text
// inside single quotes is skipped ('' inside quotes is one quote), so "//"
// in a character literal is not a comment; an unclosed quote runs to the end.
std::string_view stripComment(std::string_view line);

// Blanks and tabs skipped at the left, at both ends.
std::string_view skipLeadingBlanks(std::string_view text);
std::string_view trimBlanks(std::string_view text);

enum class LineKind {
    Empty,           // nothing but blanks and a comment
    SystemCommand,   // ")" command word and argument
    OpenEditor,      // "@." function name
    Braces,          // "{" listing or one-line definition
    LeaveSuspended,  // "->" at the start of the line
    Expression,      // everything else goes to execute line
};

struct ClassifiedLine {
    LineKind kind = LineKind::Empty;
    // For a system command, editor request or "->": the text after the
    // prefix. For braces: the text from "{" on. For an expression: the whole
    // text with comment and leading blanks removed.
    std::string_view text;
};

// Removes the comment, skips leading blanks and classifies by the first
// characters, in the order "@.", "{", ")", "->".
ClassifiedLine classifyLine(std::string_view line);

}  // namespace wox::session
