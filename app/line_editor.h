#pragma once
// Reads lines from a user at a terminal with GNU readline: editing, history
// kept between sessions, Tab to complete, Ctrl-C to drop the line being
// typed, Ctrl-D on an empty line to leave.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

    // What Tab offers for the line up to the cursor: the offset where the
    // word being completed starts, and the whole words for that place.
    struct Completions {
        std::size_t start = 0;
        std::vector<std::string> words;
    };
    using Completer = std::function<Completions(std::string_view before)>;
    // Without a completer, or with nothing to offer, Tab does nothing.
    void setCompleter(Completer completer);

    // Async-signal-safe: the signal handlers of the program report here.
    static void noteInterrupt();
    static void noteResize();

private:
    void remember(const std::string& line);

    std::string historyFile_;
    Completer completer_;
};

}  // namespace wox::app
