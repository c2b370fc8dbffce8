#pragma once
// The session as a stream of bytes: what a terminal shows and what batch mode
// writes. Session text ends its lines with "\r\n"; a stream ends them with
// "\n".
//
// In batch mode every piece is written, the echo of each input line
// included, so the output is exactly the transcript. On a terminal the line
// editor has already shown the prompt and the typed line and moved to the
// next line when the user pressed Enter; so the echo and the prompt's six
// blanks are left out, and the line break that starts the first output after
// Enter is the one the terminal already made.
//
// Quiet mode (`wox -q`) writes only what lines produce: no banner, no echo,
// no prompts. Each line's output starts on a line of its own and ends with a
// line break, so a script reads one result per line.
#include <string>
#include <string_view>

#include "session/session.h"

namespace wox::session {

class TerminalText {
public:
    enum class Mode { Batch, Interactive, Quiet };
    explicit TerminalText(Mode mode) : mode_(mode) {}

    // Appends to `out` the bytes that show `text`.
    void put(Piece piece, std::string_view text, std::string& out);
    // Appends anything still held back (a "\r" that might have begun a
    // "\r\n").
    void finish(std::string& out);
    // What ends the whole stream: the transcript's last line break, nothing
    // in quiet mode.
    void close(std::string& out);
    // Quiet mode: what follows the banner (a script read at start) is shown
    // even before the first typed line.
    void showAfterBanner() { showAfterBanner_ = true; }

private:
    void putQuiet(Piece piece, std::string_view text, std::string& out);
    void convert(std::string_view text, std::string& out);
    void emit(char c, std::string& out);

    Mode mode_;
    bool heldReturn_ = false;
    bool enterShown_ = false;
    bool lineStarted_ = false;  // quiet: an input line has been typed
    bool lineWrote_ = false;    // quiet: and it has written something
    bool showAfterBanner_ = false;
};

}  // namespace wox::session
