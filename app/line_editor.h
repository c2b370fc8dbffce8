#pragma once
// Reads lines from the user: readline on a terminal, plain reads otherwise.
#include <optional>
#include <string>

namespace wox::app {

class LineEditor {
public:
    LineEditor();
    bool interactive() const { return interactive_; }
    // The next line without its newline, or nothing at end of input.
    std::optional<std::string> read(const char* prompt);

private:
    bool interactive_ = false;
};

}  // namespace wox::app
