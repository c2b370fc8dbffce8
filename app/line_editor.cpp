#include "line_editor.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>

#include <readline/history.h>
#include <readline/readline.h>

#include "state_folder.h"

namespace wox::app {
namespace {

constexpr int kHistoryLines = 1'000;

volatile std::sig_atomic_t interruptSeen = 0;
volatile std::sig_atomic_t resizeSeen = 0;
volatile std::sig_atomic_t otherSignal = 0;

// Signals that stop or end the program. While readline owns the terminal
// they are caught, so the terminal goes back to the shell as the shell gave
// it, and after Ctrl-Z and fg the line being typed comes back.
constexpr int kPassedOn[] = {SIGTSTP, SIGTERM, SIGHUP, SIGQUIT};

extern "C" void onPassedOn(int signal) { otherSignal = signal; }

// Readline's callback interface hands the finished line to a plain function;
// it can only reach the read in progress through here.
struct PendingRead {
    bool done = false;
    std::optional<std::string> line;
};
PendingRead* pending = nullptr;

// Readline asks plain functions for completions.
LineEditor::Completer* completer = nullptr;

// Every character that cannot be part of a name ends the word readline
// hands over; the completer may reach back further (to "[]" or ")").
const char* nameBreaks() {
    static std::string breaks = [] {
        std::string s;
        for (int c = 1; c < 128; ++c)
            if (!std::isalnum(c) && c != '_') s.push_back(static_cast<char>(c));
        return s;
    }();
    return breaks.c_str();
}

char* copyOf(std::string_view s) {
    auto* p = static_cast<char*>(std::malloc(s.size() + 1));
    if (!p) return nullptr;
    std::memcpy(p, s.data(), s.size());
    p[s.size()] = 0;
    return p;
}

// Readline's form of a completion: the text that replaces the word (the
// candidates' common beginning), then each candidate, then a null, every
// string from malloc. Readline replaces from `start`; the completer's words
// begin at its own start, at or before that, so they are cut to fit.
char** offerCompletions(const char*, int start, int end) {
    rl_attempted_completion_over = 1;  // never file names
    rl_completion_append_character = '\0';
    if (!completer || !*completer || start < 0 || end != rl_point) return nullptr;
    LineEditor::Completions c = (*completer)(std::string_view(rl_line_buffer, static_cast<std::size_t>(rl_point)));
    auto from = static_cast<std::size_t>(start);
    if (c.words.empty() || c.start > from) return nullptr;
    std::size_t cut = from - c.start;
    std::string_view common = c.words.front();
    for (const std::string& w : c.words) {
        std::size_t n = 0;
        while (n < common.size() && n < w.size() && common[n] == w[n]) ++n;
        common = common.substr(0, n);
    }
    if (common.size() < cut) return nullptr;
    auto** matches = static_cast<char**>(std::calloc(c.words.size() + 2, sizeof(char*)));
    if (!matches) return nullptr;
    std::size_t k = 0;
    matches[k++] = copyOf(common.substr(cut));
    if (c.words.size() > 1)
        for (const std::string& w : c.words) matches[k++] = copyOf(std::string_view(w).substr(cut));
    for (std::size_t i = 0; i < k; ++i) {
        if (matches[i]) continue;
        for (std::size_t j = 0; j < k; ++j) std::free(matches[j]);
        std::free(matches);
        return nullptr;
    }
    return matches;
}

void lineFinished(char* text) {
    // Removing the handler here keeps readline from showing the prompt again
    // before the line has run.
    rl_callback_handler_remove();
    if (pending) {
        pending->done = true;
        if (text) pending->line = std::string(text);
    }
    std::free(text);
}

// Gives the terminal back, lets `signal` take its default effect, and when
// the program goes on (fg after Ctrl-Z) shows the prompt and the line again.
void passOn(int signal, const std::string& prompt) {
    char* typed = rl_copy_text(0, rl_end);
    int point = rl_point;
    rl_callback_handler_remove();
    std::fflush(rl_outstream);

    struct sigaction byDefault {}, mine {};
    byDefault.sa_handler = SIG_DFL;
    sigemptyset(&byDefault.sa_mask);
    sigaction(signal, &byDefault, &mine);
    sigset_t only;
    sigemptyset(&only);
    sigaddset(&only, signal);
    sigprocmask(SIG_UNBLOCK, &only, nullptr);
    std::raise(signal);
    sigprocmask(SIG_BLOCK, &only, nullptr);
    sigaction(signal, &mine, nullptr);

    rl_callback_handler_install(prompt.c_str(), lineFinished);
    if (typed) {
        rl_insert_text(typed);
        std::free(typed);
    }
    rl_point = point;
    rl_redisplay();
}

}  // namespace

void LineEditor::noteInterrupt() { interruptSeen = 1; }
void LineEditor::noteResize() { resizeSeen = 1; }

LineEditor::LineEditor() {
    rl_readline_name = "wox";
    // The program owns its signals: readline must neither install handlers
    // nor pass Ctrl-C on while it edits.
    rl_catch_signals = 0;
    rl_catch_sigwinch = 0;
    rl_initialize();
    // Tab completes names and commands; it is never inserted.
    rl_bind_key('\t', rl_complete);
    rl_attempted_completion_function = offerCompletions;
    rl_completer_word_break_characters = const_cast<char*>(nameBreaks());
    rl_completer_quote_characters = nullptr;
    // Pasted lines then run one by one, each shown with its own prompt.
    rl_variable_bind("enable-bracketed-paste", "off");
    using_history();
    stifle_history(kHistoryLines);
    std::string problem;
    const std::string folder = stateFolder(&problem);
    if (folder.empty()) {
        historyLost(problem);
        return;
    }
    historyFile_ = folder + "/history";
    // A first run finds no history: it starts the file.
    if (int error = read_history(historyFile_.c_str()); error != 0) {
        if (error != ENOENT) historyFailed("read", error);
        else historyFailed("write", write_history(historyFile_.c_str()));
    }
}

void LineEditor::historyFailed(const char* doing, int error) {
    if (error != 0) historyLost(std::string("cannot ") + doing + " " + historyFile_ + ": " + std::strerror(error));
}

void LineEditor::historyLost(const std::string& reason) {
    historyFile_.clear();
    if (historyLostTold_) return;
    historyLostTold_ = true;
    std::fprintf(stderr, "wox: the history of lines is not kept: %s\n", reason.c_str());
}

void LineEditor::setCompleter(Completer c) {
    completer_ = std::move(c);
    completer = &completer_;
}

LineEditor::~LineEditor() {
    completer = nullptr;
    if (historyFile_.empty()) return;
    historyFailed("write", history_truncate_file(historyFile_.c_str(), kHistoryLines));
}

void LineEditor::remember(const std::string& line) {
    if (line.find_first_not_of(" \t") == std::string::npos) return;
    if (history_length > 0) {
        HIST_ENTRY* last = history_get(history_base + history_length - 1);
        if (last && line == last->line) return;
    }
    add_history(line.c_str());
    // Readline numbers its entries with an int that a stifled history keeps
    // raising; start again long before it could overflow.
    if (history_base > (1 << 30)) history_base = 1;
    // Appended at once, so a session that ends badly still keeps its lines.
    if (historyFile_.empty()) return;
    historyFailed("write", append_history(1, historyFile_.c_str()));
}

std::optional<std::string> LineEditor::read(const std::string& prompt) {
    std::optional<std::string> line = readLine(prompt);
    if (line) remember(*line);
    return line;
}

std::optional<std::string> LineEditor::answer(const std::string& question) { return readLine(question); }

std::optional<std::string> LineEditor::readLine(const std::string& prompt) {
    // Ctrl-C and resizes are held back except while waiting for a key, so
    // none slips in between looking at the flags and starting to wait.
    sigset_t held, original;
    sigemptyset(&held);
    sigaddset(&held, SIGINT);
    sigaddset(&held, SIGWINCH);
    for (int signal : kPassedOn) sigaddset(&held, signal);
    sigprocmask(SIG_BLOCK, &held, &original);
    sigset_t waiting = original;
    sigdelset(&waiting, SIGINT);
    sigdelset(&waiting, SIGWINCH);
    struct sigaction catching {};
    catching.sa_handler = onPassedOn;
    sigemptyset(&catching.sa_mask);
    struct sigaction before[std::size(kPassedOn)];
    for (std::size_t i = 0; i < std::size(kPassedOn); ++i) {
        sigaction(kPassedOn[i], &catching, &before[i]);
        sigdelset(&waiting, kPassedOn[i]);
    }
    otherSignal = 0;

    PendingRead read;
    pending = &read;
    interruptSeen = 0;
    rl_callback_handler_install(prompt.c_str(), lineFinished);
    while (!read.done) {
        if (resizeSeen) {
            resizeSeen = 0;
            rl_resize_terminal();
        }
        if (int signal = otherSignal) {
            otherSignal = 0;
            passOn(signal, prompt);
            continue;
        }
        if (interruptSeen) {
            // Ctrl-C at the prompt drops what was typed and starts afresh.
            // The dropped text stays on the screen, marked, as in a shell.
            interruptSeen = 0;
            rl_point = rl_end;
            rl_redisplay();
            std::fputs("^C", rl_outstream);
            rl_free_line_state();
            rl_callback_sigcleanup();
            rl_replace_line("", 1);
            rl_callback_handler_remove();
            std::fputs("\n", rl_outstream);
            std::fflush(rl_outstream);
            rl_callback_handler_install(prompt.c_str(), lineFinished);
            continue;
        }
        pollfd p{STDIN_FILENO, POLLIN, 0};
        int ready = ::ppoll(&p, 1, nullptr, &waiting);
        if (ready < 0) {
            if (errno == EINTR) continue;
            rl_callback_handler_remove();
            break;
        }
        if (ready > 0) rl_callback_read_char();
    }
    pending = nullptr;
    for (std::size_t i = 0; i < std::size(kPassedOn); ++i) sigaction(kPassedOn[i], &before[i], nullptr);
    sigprocmask(SIG_SETMASK, &original, nullptr);
    return read.line;
}

}  // namespace wox::app
