#pragma once
// Reads lines from a user at a terminal with GNU readline: editing, history
// kept between sessions, Ctrl-C to drop the line being typed, Ctrl-D on an
// empty line to leave.
#include <optional>
#include <string>

namespace wox::app {

class LineEditor {
public:
    LineEditor();
    ~LineEditor();
    LineEditor(const LineEditor&) = delete;
    LineEditor& operator=(const LineEditor&) = delete;

    // The next line without its newline, or nothing when the user leaves
    // (Ctrl-D on an empty line, or the terminal goes away).
    std::optional<std::string> read(const std::string& prompt);

    // Async-signal-safe: the signal handlers of the program report here.
    static void noteInterrupt();
    static void noteResize();

private:
    void remember(const std::string& line);

    std::string historyFile_;
};

}  // namespace wox::app
