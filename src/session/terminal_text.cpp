#include "session/terminal_text.h"

namespace wox::session {

void TerminalText::put(Piece piece, std::string_view text, std::string& out) {
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
