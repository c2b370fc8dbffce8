#pragma once
// Reads lines from a user at a terminal with GNU readline: editing, history
// kept between sessions, Tab to complete, Ctrl-C to drop the line being
// typed, Ctrl-D on an empty line to leave. History is kept in the state
// folder (state_folder.h); when it cannot be, standard error says why.
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
    // The same for the answer to a question, which history does not keep.
    std::optional<std::string> answer(const std::string& question);

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
    std::optional<std::string> readLine(const std::string& prompt);
    void remember(const std::string& line);
    // History that cannot be kept lasts for this run; standard error hears
    // why, once.
    void historyLost(const std::string& reason);
    // `error` is what a history call returned; 0 is success.
    void historyFailed(const char* doing, int error);

    std::string historyFile_;
    bool historyLostTold_ = false;
    Completer completer_;
};

}  // namespace wox::app
