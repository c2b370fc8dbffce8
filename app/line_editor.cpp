#include "line_editor.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <readline/history.h>
#include <readline/readline.h>

namespace wox::app {

LineEditor::LineEditor() : interactive_(isatty(STDIN_FILENO) && isatty(STDOUT_FILENO)) {}

std::optional<std::string> LineEditor::read(const char* prompt) {
    if (interactive_) {
        char* line = readline(prompt);
        if (!line) return std::nullopt;
        std::string s(line);
        std::free(line);
        if (!s.empty()) add_history(s.c_str());
        return s;
    }
    std::string s;
    if (!std::getline(std::cin, s)) return std::nullopt;
    if (!s.empty() && s.back() == '\r') s.pop_back();
    return s;
}

}  // namespace wox::app
