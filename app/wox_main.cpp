// wox: the Wox interpreter in a terminal.
//
// On a terminal the session is edited with readline; with standard input or
// output redirected, wox runs in batch mode and writes exactly the transcript
// the session holds, each input line echoed after its prompt.
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "engine/interpreter.h"
#include "function_editor.h"
#include "line_editor.h"
#include "session/completion.h"
#include "session/line_reader.h"
#include "session/session.h"
#include "session/start_up.h"
#include "session/terminal_text.h"
#include "session/transcript.h"

namespace {

using wox::session::Piece;
using wox::session::TerminalText;

// A long run keeps only the recent part of its transcript in memory; the
// terminal or the output file has the rest.
constexpr std::size_t kTranscriptKeep = std::size_t{1} << 20;

static_assert(std::atomic<bool>::is_always_lock_free, "the interrupt flag is set from a signal handler");
std::atomic<bool>* interruptTarget = nullptr;
// Set while a typed line runs, when Ctrl-C stops the line, not the prompt.
std::atomic<bool> lineRunning{false};

extern "C" void onInterrupt(int) {
    wox::app::LineEditor::noteInterrupt();
    if (interruptTarget) interruptTarget->store(true);
    // The terminal has echoed "^C" where the output continues: end that line.
    if (lineRunning.load()) (void)!write(STDOUT_FILENO, "\n", 1);
}

extern "C" void onResize(int) { wox::app::LineEditor::noteResize(); }

void installHandler(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    // Output in progress is not cut short; the prompt's wait is, since poll
    // is never restarted.
    action.sa_flags = SA_RESTART;
    sigaction(signal, &action, nullptr);
}

void writeOut(std::string_view bytes) {
    if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

int usage() {
    std::fputs(
        "usage: wox [-q] [WORKSPACE.wox | SCRIPT.vsf]\n"
        "Starts the Wox interpreter. On a terminal lines are edited with history\n"
        "and Tab completes names and system commands; with input from a file or a\n"
        "pipe, wox writes the session transcript. A script file is read at start\n"
        "as )fload reads one: `wox -q SCRIPT.vsf < /dev/null` runs it as a program.\n"
        "\n"
        "  -q, --quiet    with input from a file or a pipe: no banner, no echo of\n"
        "                 the lines, no prompts; only results and error reports\n"
        "  -h, --help     show this text\n"
        "  -v, --version  show the version\n"
        "\n"
        "The exit status is 0 when every line ran, 1 when any line ended in an\n"
        "error (or the output could not be written), however the session ended,\n"
        "2 for a wrong command line. The workspace folder is set in\n"
        "$XDG_CONFIG_HOME/wox/wox.conf (~/.config/wox/wox.conf); see wox(1).\n",
        stdout);
    return 0;
}

// A wrong command line is one line on standard error and status 2, as
// other programs answer one.
constexpr int kBadCommandLine = 2;
constexpr const char* kUnknownOption = "wox: unknown option '%s'; try 'wox --help'\n";
constexpr const char* kSecondFile = "wox: one file at most, not '%s' and '%s'; try 'wox --help'\n";

// Ends the run: the final line break of the transcript, and a failure when
// any output was lost or any line failed, however the session ended.
int finish(TerminalText& text, const wox::session::Session& session) {
    std::string tail;
    text.close(tail);
    writeOut(tail);
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "wox: cannot write the output: %s\n", std::strerror(errno));
        return 1;
    }
    return session.anyLineFailed() ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    bool quiet = false;
    const char* workspace = nullptr;
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") return usage();
        if (arg == "-v" || arg == "--version") {
            std::printf("%.*s\n", static_cast<int>(wox::session::kVersionLine.size()),
                        wox::session::kVersionLine.data());
            return 0;
        }
        if (arg == "-q" || arg == "--quiet") {
            quiet = true;
        } else if (arg.starts_with("-")) {
            std::fprintf(stderr, kUnknownOption, argv[i]);
            return kBadCommandLine;
        } else if (workspace) {
            std::fprintf(stderr, kSecondFile, workspace, argv[i]);
            return kBadCommandLine;
        } else {
            workspace = argv[i];
        }
    }

    wox::Interpreter in;
    const bool ready = wox::session::readyInterpreter(in);
    auto fail = [](std::string_view problem) {
        std::fprintf(stderr, "wox: %.*s\n", static_cast<int>(problem.size()), problem.data());
    };
    if (!ready) {
        fail(wox::session::kNoWorkspaceHeap);
        return 1;
    }
    wox::session::Configuration config;
    std::string problem;
    if (!wox::session::loadStartConfiguration(wox::session::configurationPlaces(), config, &problem, fail)) {
        fail(problem);
        return 1;
    }
    const bool interactive = isatty(STDIN_FILENO) && isatty(STDOUT_FILENO);
    in.unattended = !interactive;
    TerminalText text(interactive ? TerminalText::Mode::Interactive
                      : quiet     ? TerminalText::Mode::Quiet
                                  : TerminalText::Mode::Batch);
    wox::session::TextTranscript transcript(kTranscriptKeep);
    wox::session::Session session(in, transcript);
    // The interpreter's diagnostics (a workspace that needs a larger heap)
    // go to standard error, from the start file's load on.
    session.setMessageBox([](std::string_view message) {
        std::fprintf(stderr, "%.*s\n", static_cast<int>(message.size()), message.data());
    });
    wox::session::StartFile file;
    if (workspace) {
        file = wox::session::startFileNamed(workspace);
        if (!wox::session::openStartFile(in, file, &problem)) {
            fail(wox::session::startFileProblem(file, problem));
            return 1;
        }
    }

    std::string bytes;
    session.setSink([&](Piece piece, std::string_view piece_text) {
        bytes.clear();
        text.put(piece, piece_text, bytes);
        writeOut(bytes);
        // On a terminal every answer shows at once; a long line's output
        // appears as it is produced.
        if (interactive) std::fflush(stdout);
    });

    // Quiet mode shows a script named on the command line as it is read.
    auto startSession = [&] {
        if (file.script) text.showAfterBanner();
        wox::session::startSession(session, config, file, !quiet);
    };
    if (!interactive) {
        // Batch mode keeps the default Ctrl-C: it stops the whole run.
        startSession();
        wox::session::LineReader reader(STDIN_FILENO);
        std::string line;
        // A program that drives us through a pipe may wait for the banner or
        // an answer while it has already sent more: into anything but a
        // file, what a line wrote goes out before the next line is read.
        // Into a file it goes out only before a read that would wait.
        struct stat out {};
        const bool toFile = fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode);
        // OFF may already have come from a script read at start.
        while (!session.switchedOff()) {
            if (!toFile || reader.wouldWait()) std::fflush(stdout);
            if (!reader.next(line)) break;
            session.submit(line);
        }
        int status = finish(text, session);
        if (reader.error() != 0) {
            std::fprintf(stderr, "wox: cannot read the input: %s\n", std::strerror(reader.error()));
            return 1;
        }
        return status;
    }

    wox::app::LineEditor editor;
    editor.setCompleter([&](std::string_view before) {
        wox::session::Completion c = wox::session::complete(in, before);
        return wox::app::LineEditor::Completions{c.start, std::move(c.candidates)};
    });
    wox::app::EditorDialog dialog;
    dialog.say = [&](std::string_view note) { session.writeNote(note); };
    // The function editor's question goes on a line of its own; the answer's
    // Enter ends that line as a typed line's does. Ctrl-C while it waits
    // only drops what was typed.
    dialog.ask = [&](const std::string& question) {
        std::string shown;
        text.put(Piece::Output, "\r\n", shown);
        writeOut(shown);
        std::fflush(stdout);
        lineRunning.store(false);
        std::optional<std::string> answer = editor.answer(question);
        lineRunning.store(true);
        shown.clear();
        if (answer) text.put(Piece::Echo, *answer, shown);
        writeOut(shown);
        return answer;
    };
    session.setEditorOpener([&](std::string_view name) { wox::app::editFunction(in, name, dialog); }, true);
    interruptTarget = &in.interruptRequested;
    installHandler(SIGINT, onInterrupt);
    installHandler(SIGWINCH, onResize);
    startSession();
    const std::string prompt(wox::session::kPrompt);
    while (!session.switchedOff()) {
        auto typed = editor.read(prompt);
        if (!typed) break;
        // A paste may bring several lines at once; each runs on its own.
        std::string_view rest = *typed;
        for (;;) {
            std::size_t nl = rest.find('\n');
            lineRunning.store(true);
            session.submit(rest.substr(0, nl));
            lineRunning.store(false);
            if (nl == std::string_view::npos || session.switchedOff()) break;
            rest.remove_prefix(nl + 1);
        }
    }
    interruptTarget = nullptr;
    return finish(text, session);
}
