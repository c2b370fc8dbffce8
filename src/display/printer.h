#pragma once
// The text builder of value display. It appends session text ("\r\n" line
// ends) to a string, keeps the interpreter's display state (line pending,
// nesting depth, first item) and knows the layout constants: where lines wrap
// and how item markers and continuation lines look.
#include <cstddef>
#include <string>
#include <string_view>

#include "display/display_state.h"
#include "values/context.h"

namespace wox::display {

inline constexpr int kLineLimit = 107;         // longest line of a wrapped vector
inline constexpr int kContinuationIndent = 6;  // a wrapped line starts this far in
inline constexpr int kCharPiece = kLineLimit;  // characters of text on a first line
inline constexpr int kCharContinuationPiece = kLineLimit - kContinuationIndent;
inline constexpr int kMaxNesting = 1000;       // deeper general arrays are not shown
// The message box of a value display cannot make (too deep, or a type
// without its display yet).
inline constexpr std::string_view kUnsupportedDisplay = "error in typ6 output";

class Printer {
public:
    // With toSession, text goes to cx.write() in pieces as it grows and at
    // finish(); otherwise it stays in `text`.
    Printer(values::Context& cx, DisplayState& state, std::string& text, bool toSession = false);

    values::Context& cx;
    DisplayState& state;
    std::string& text;

    // Starts a value on a fresh line, or continues an open one; an item of a
    // general array then gets its marker ("<", "<<", " <" ...).
    void beginValue(bool item);
    // Ends the current line and starts the next one at column 0.
    void lineBreak();
    // Starts a wrapped line: nesting indent and the continuation indent.
    void continuationLine();
    void blanks(int n) {
        if (n > 0) text.append(static_cast<std::size_t>(n), ' ');
    }
    // Characters on the current line so far (the item marker included).
    std::size_t lineLength() const { return text.size() - lineStart_; }
    // Shows a fixed text in a message box (standard error in the terminal).
    void diagnostic(std::string_view message) const;
    // Hands what is left to the session.
    void finish();

private:
    bool toSession_;
    std::size_t lineStart_;
};

}  // namespace wox::display
