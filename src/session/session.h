#pragma once
// The session: turns Enter on the transcript into requests to the
// interpreter. It writes the banner and the prompts, reads the input line,
// removes its comment, classifies it and hands it on; output of every kind
// reaches the transcript through the link it installs in the interpreter,
// the one way up from the floors below (values/session_link.h). Earlier
// lines the user changed are run again at the next Enter and their former
// texts put back.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/interpreter.h"
#include "script_file/script_reader.h"
#include "session/command_table.h"
#include "session/edited_lines.h"
#include "session/transcript.h"

namespace wox::session {

inline constexpr std::string_view kPrompt = "      ";

// What a piece of session text is, for front ends that show the session as a
// stream (a terminal, a batch transcript) rather than as an editable text.
enum class Piece {
    Output,  // banner, results, messages
    Echo,    // the typed line placed on the input line
    Prompt,  // "\r\n" and the six-blank prompt
    ScriptLine,  // "\r\n", the prompt and a line of a script being read
};
using Sink = std::function<void(Piece, std::string_view)>;

class Session : private engine::InterpreterLink {
public:
    Session(Interpreter& in, Transcript& transcript);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // Every text appended at the end of the transcript is also passed here,
    // in order. Changes of earlier lines are not.
    void setSink(Sink sink) { sink_ = std::move(sink); }

    // Opens the function editor on a defined function, and with
    // `newFunctions` also on a name that can become one (newFunctionSource);
    // without an opener (batch mode) "@." says that the editor needs the
    // desktop program.
    void setEditorOpener(std::function<void(std::string_view)> open, bool newFunctions = false) {
        openEditor_ = std::move(open);
        editorMakesFunctions_ = newFunctions;
    }
    // The folder of workspace and script files, ending with "/".
    // Workbooks of the spreadsheet link live there too.
    void setWorkspaceFolder(std::string folder) {
        in_.spreadsheet.folder = folder;
        in_.workspaceFolder = folder;
        workspaceFolder_ = std::move(folder);
    }
    const std::string& workspaceFolder() const { return workspaceFolder_; }
    // The workspace name; empty for a clear workspace ("CLEAR WS").
    const std::string& workspaceName() const { return workspaceName_; }
    // What OFF does: end the program with status 0. Without one, OFF only
    // stops the session from taking more lines.
    void setOff(std::function<void()> off) { off_ = std::move(off); }
    bool switchedOff() const { return switchedOff_; }
    // Told after SAVE has written the workspace file, so a window can mark
    // its document as not modified.
    void setSavedListener(std::function<void()> saved) { saved_ = std::move(saved); }
    // Shows the interpreter's diagnostics: a message box on the desktop,
    // standard error in the terminal. Without one they are dropped.
    void setMessageBox(std::function<void(std::string_view)> show) { messageBox_ = std::move(show); }

    // Runs a system command line (the text after ")") and returns the last
    // command result: 0, or a message number or 1.
    int dispatchCommand(std::string_view commandLine);
    // The same for a command already named (a menu's), with its argument.
    int runCommand(Command command, std::string_view argument = {});

    // Reads the script file at `path` as FLOAD does (the program's start
    // with a script named on its command line); `announce` writes "saved"
    // and the file time after a read that succeeded. Returns 0 or 1.
    int loadScript(const std::string& path, bool announce = true);

    // Writes a line of output below the current one.
    void writeNote(std::string_view text);

    // First display: banner, then the workspace name with " ws loaded", or
    // "CLEAR WS" when `workspaceName` is empty, then the first prompt.
    void start(std::string_view workspaceName = {});
    // The same with the script file at `path` read, as FLOAD reads one,
    // between the banner and the first prompt (a script named on the
    // program's command line); `announce` as for loadScript.
    void startWithScript(const std::string& path, bool announce);

    // Key handling: call before a key reaches an earlier line (any line but
    // the last), so that the line's former text is kept for Enter.
    void beforeKeyOn(int line);
    // Replaces the text of earlier line n as typing on it would.
    void editLine(int line, std::string_view text);

    // Enter, wherever the caret is: runs the changed earlier lines, if any,
    // then the input line, and starts a new input line.
    void enter();
    // Types `text` at the end of the input line and presses Enter.
    void submit(std::string_view text);

    // Writes "\r\n" and the text of message `number`.
    void showMessage(int number);

    // The script the first `do` of a workspace reads as the query library;
    // empty (the default) for the one the program carries.
    void setQueryLibraryText(std::string text) { queryLibraryText_ = std::move(text); }

    // 0, or the message number a system command ended with.
    int lastCommandResult() const { return lastCommandResult_; }
    // Whether the last line run ended in an error (an error report or a
    // message), and whether any line of the session did: batch mode's exit
    // status.
    bool lastLineFailed() const { return lastLineFailed_; }
    bool anyLineFailed() const { return anyLineFailed_; }
    const EditedLines& editedLines() const { return edited_; }

private:
    // The link to the floors below.
    void output(std::string_view text) override { write(Piece::Output, text); }
    void diagnostic(std::string_view message) override;
    // The query library (query_library.cpp): read quietly from inside the
    // running line whose last temporary is `lineTemp`.
    Rc loadQueryLibrary(int lineTemp) override;
    void scriptLine(std::string_view text) override { write(Piece::ScriptLine, text); }
    int scriptCommand(std::string_view commandLine) override;
    void statementFailed() override { noteFailure(); }
    void commandFailed() override { testMode_.failed = true; }

    void write(Piece piece, std::string_view text);
    void writePrompt();
    void writeBanner(std::string_view workspaceName);
    void noteFailure();
    void runEditedLines();
    void processInputLine();
    void openEditor(std::string_view rest);
    void braces(std::string_view text);
    void leaveSuspended(std::string_view rest);

    // The system commands (system_commands.cpp).
    int commandWsid(std::string_view argument);
    int commandFns(std::string_view prefix);
    int commandVars(std::string_view prefix);
    int commandLib(std::string_view argument);
    int commandSi();
    int commandTrace(std::string_view argument);
    int commandSave(std::string_view argument);
    int commandLoad(std::string_view argument);
    // The script files (script_commands.cpp).
    int commandReadScript(std::string_view argument, bool clear, bool timing);
    int readScriptFile(const std::string& path, bool clear, bool timing, bool announce);
    script_file::ScriptOptions scriptOptions() const;
    int commandOut(std::string_view argument);
    // The diagnostic commands (diagnostic_commands.cpp).
    int commandStackEntry(std::string_view argument);
    int commandAsk(std::string_view argument);
    int commandIf();
    int commandPt();
    int commandOpen();
    int commandSt(std::string_view argument);
    bool saveTranscript(const std::string& path);
    // The regression suite SU (regression_suite.cpp).
    int commandSu();
    int commandMf();
    // The export commands (export_commands.cpp).
    int commandCpp(std::string_view argument);
    int commandCsv(std::string_view argument);
    int exportFailure(std::string_view text);
    int fail(int message);

    Interpreter& in_;
    Transcript& transcript_;
    EditedLines edited_;
    Sink sink_;
    std::function<void(std::string_view)> openEditor_;
    bool editorMakesFunctions_ = false;
    std::string workspaceFolder_;
    std::string workspaceName_;
    std::function<void()> off_;
    std::function<void()> saved_;
    std::function<void(std::string_view)> messageBox_;
    bool switchedOff_ = false;
    int scriptDepth_ = 0;  // scripts being read, one inside another
    // While the query library loads: the last temporary of the line that
    // asked for it. Nothing is shown then, only FCOPY runs of the system
    // commands, and the script it copies is read as the library is.
    std::optional<int> libraryLine_;
    std::string queryLibraryText_;
    // While SU runs: the number of the test being read, and whether one of
    // its system command lines failed.
    struct TestMode {
        bool on = false;
        int number = 0;
        bool failed = false;
    } testMode_;
    int lastCommandResult_ = 0;
    bool lastLineFailed_ = false;
    bool anyLineFailed_ = false;
};

}  // namespace wox::session
