#include "session/terminal_text.h"

namespace wox::session {

void TerminalText::put(Piece piece, std::string_view text, std::string& out) {
    if (mode_ == Mode::Quiet) {
        putQuiet(piece, text, out);
        return;
    }
    if (mode_ == Mode::Interactive) {
        if (piece == Piece::Echo) {
            finish(out);
            enterShown_ = true;
            return;
        }
        if (piece == Piece::Prompt && text.ends_with(kPrompt)) text.remove_suffix(kPrompt.size());
    }
    convert(text, out);
    if (piece == Piece::Prompt) finish(out);
}

void TerminalText::putQuiet(Piece piece, std::string_view text, std::string& out) {
    switch (piece) {
        case Piece::ScriptLine:
            // A line a script runs is not shown, but what it writes is.
            finish(out);
            if (lineWrote_) out.push_back('\n');
            [[fallthrough]];
        case Piece::Echo:
            // Like a terminal after Enter: the line break that starts the
            // output is already there.
            finish(out);
            lineStarted_ = true;
            lineWrote_ = false;
            enterShown_ = true;
            return;
        case Piece::Prompt:
            finish(out);
            enterShown_ = false;
            if (lineWrote_) out.push_back('\n');
            lineWrote_ = false;
            return;
        case Piece::Output:
            if (!lineStarted_) {  // the banner
                // As after Enter: the next output's line break is there.
                lineStarted_ = enterShown_ = showAfterBanner_;
                return;
            }
            lineWrote_ = true;
            convert(text, out);
            return;
    }
}

void TerminalText::close(std::string& out) {
    finish(out);
    if (mode_ != Mode::Quiet) out.push_back('\n');
}

void TerminalText::convert(std::string_view text, std::string& out) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (heldReturn_) {
            heldReturn_ = false;
            if (c != '\n') emit('\r', out);
        }
        if (c == '\r') {
            if (i + 1 == text.size()) {
                heldReturn_ = true;
                continue;
            }
            if (text[i + 1] == '\n') continue;
        }
        emit(c, out);
    }
}

void TerminalText::emit(char c, std::string& out) {
    if (enterShown_) {
        enterShown_ = false;
        if (c == '\n') return;
    }
    out.push_back(c);
}

void TerminalText::finish(std::string& out) {
    if (heldReturn_) {
        heldReturn_ = false;
        emit('\r', out);
    }
}

}  // namespace wox::session
