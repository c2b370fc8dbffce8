#include "session/session.h"

#include <string>

#include "engine/execute_line.h"
#include "engine/function_call.h"
#include "engine/workspace_clear.h"
#include "frontend/direct_definition.h"
#include "session/configuration.h"
#include "session/function_requests.h"
#include "session/line_text.h"
#include "values/capacities.h"
#include "values/messages.h"

namespace wox::session {
namespace {


const std::string& lineTooLongText() {
    static const std::string text =
        "line too long: a line holds at most " + std::to_string(kLineBuffer) + " characters";
    return text;
}

const std::string& tooManyEditsText() {
    static const std::string text = "more than " + std::to_string(EditedLines::kCapacity) +
                                    " earlier lines were changed: only the first " +
                                    std::to_string(EditedLines::kCapacity) + " ran again";
    return text;
}


}  // namespace

Session::Session(Interpreter& in, Transcript& transcript)
    : engine::InterpreterLink(in), in_(in), transcript_(transcript) {
    in_.install(*this);
}

Session::~Session() { in_.uninstall(); }

void Session::diagnostic(std::string_view message) {
    if (messageBox_) messageBox_(message);
}

void Session::write(Piece piece, std::string_view text) {
    // The query library loads quietly: whatever it fails with, the line
    // that asked for it reports 205.
    if (text.empty() || libraryLine_) return;
    transcript_.append(text);
    if (sink_) sink_(piece, text);
}

void Session::writeNote(std::string_view text) {
    std::string line = "\r\n";
    line += text;
    write(Piece::Output, line);
}

void Session::writePrompt() {
    // The prompt always goes to the end, even after a blank line left the
    // caret somewhere in the transcript.
    transcript_.caretToEnd();
    std::string prompt = "\r\n";
    prompt += kPrompt;
    write(Piece::Prompt, prompt);
}

void Session::showMessage(int number) {
    noteFailure();
    std::string text = "\r\n";
    text += messageText(number);
    write(Piece::Output, text);
}

void Session::start(std::string_view workspaceName) {
    writeBanner(workspaceName);
    writePrompt();
}

void Session::startWithScript(const std::string& path, bool announce) {
    writeBanner({});
    if (loadScript(path, announce) != 0) noteFailure();
    writePrompt();
}

void Session::writeBanner(std::string_view workspaceName) {
    transcript_.caretToEnd();
    workspaceName_ = std::string(workspaceName);
    std::string banner(kVersionLine);
    banner += "\r\n";
    banner += kPrompt;
    if (workspaceName.empty()) {
        // A clear session starts from a cleared workspace, []AV and all.
        (void)engine::clearWorkspace(in_);
        banner += "CLEAR WS\r\n";
    } else {
        banner += workspaceName;
        banner += " ws loaded\r\n";
    }
    write(Piece::Output, banner);
}

void Session::beforeKeyOn(int line) {
    // The banner line is never run again, so its changes need no record.
    if (line <= 0 || line >= transcript_.lineCount() - 1) return;
    (void)edited_.record(line, transcript_.readLine(line));
}

void Session::editLine(int line, std::string_view text) {
    beforeKeyOn(line);
    transcript_.selectLine(line);
    transcript_.append(text);
}

void Session::submit(std::string_view text) {
    transcript_.caretToEnd();
    write(Piece::Echo, text);
    enter();
}

void Session::enter() {
    if (!edited_.empty()) {
        runEditedLines();
        return;
    }
    processInputLine();
    writePrompt();
}

void Session::runEditedLines() {
    int inputLine = transcript_.lineCount() - 1;
    std::string pending = transcript_.readLine(inputLine);
    bool ranAny = false;
    for (const EditedLines::Entry& entry : edited_.ascending()) {
        if (entry.line <= 0 || entry.line >= inputLine) continue;
        // Run the changed text on the input line and put the former text
        // back, so the transcript above shows what really ran.
        std::string changed = transcript_.readLine(entry.line);
        transcript_.selectInputLine();
        transcript_.append(changed);
        transcript_.selectLine(entry.line);
        transcript_.append(entry.saved);
        transcript_.caretToEnd();
        processInputLine();
        writePrompt();
        ranAny = true;
    }
    if (edited_.overflowed()) {
        transcript_.selectInputLine();
        write(Piece::Output, tooManyEditsText());
        writePrompt();
    }
    bool overflowed = edited_.overflowed();
    edited_.clear();

    std::string_view typed = trimBlanks(pending);
    if (typed.empty()) {
        if (!ranAny && !overflowed) writePrompt();
        return;
    }
    std::string line(kPrompt);
    line += typed;
    transcript_.selectInputLine();
    transcript_.append(line);
    transcript_.caretToEnd();
    processInputLine();
    writePrompt();
}

void Session::noteFailure() {
    lastLineFailed_ = true;
    anyLineFailed_ = true;
}

void Session::processInputLine() {
    lastLineFailed_ = false;
    std::string line = transcript_.readLine(transcript_.lineCount() - 1);
    if (skipLeadingBlanks(line).size() > static_cast<std::size_t>(kLineBuffer)) {
        noteFailure();
        transcript_.caretToEnd();
        write(Piece::Output, "\r\n" + lineTooLongText());
        return;
    }
    ClassifiedLine request = classifyLine(line);
    if (request.kind == LineKind::Empty) return;

    transcript_.caretToEnd();
    lastCommandResult_ = 0;
    // A Ctrl-C that came while the prompt waited is not meant for this line.
    in_.interruptRequested.store(false);
    switch (request.kind) {
        case LineKind::SystemCommand:
            lastCommandResult_ = dispatchCommand(request.text);
            if (lastCommandResult_ != 0) noteFailure();
            break;
        case LineKind::OpenEditor:
            openEditor(request.text);
            break;
        case LineKind::Braces:
            braces(request.text);
            break;
        case LineKind::LeaveSuspended:
            leaveSuspended(request.text);
            break;
        case LineKind::Expression:
            if (engine::executeLine(in_, request.text) != 0) noteFailure();
            break;
        case LineKind::Empty:
            break;
    }
    // Nor is one that came after the line had finished.
    in_.interruptRequested.store(false);
}

void Session::openEditor(std::string_view rest) {
    std::string_view name = trimBlanks(rest);
    const bool opens = isDefinedFunction(in_, name) ||
                       (openEditor_ && editorMakesFunctions_ && !newFunctionSource(in_, name).empty());
    if (!opens) {
        showMessage(kDefinitionError);
        return;
    }
    if (openEditor_) {
        openEditor_(name);
        return;
    }
    std::string text = "\r\nthe function editor needs the desktop program; {";
    text += name;
    text += "} lists the function";
    write(Piece::Output, text);
}

void Session::braces(std::string_view text) {
    std::string_view body = trimBlanks(text.substr(1));
    if (!body.ends_with('}')) {
        showMessage(kDefinitionError);
        return;
    }
    if (frontend::braceRequest(text) == frontend::BraceRequest::Definition) {
        std::string reply;
        if (defineDirect(in_, body, reply).failed()) {
            showMessage(kDefinitionError);
            return;
        }
        write(Piece::Output, "\r\n" + reply);
        return;
    }
    body.remove_suffix(1);
    std::string listing;
    if (!listFunction(in_, trimBlanks(body), listing)) {
        showMessage(kDefinitionError);
        return;
    }
    write(Piece::Output, "\r\n" + listing);
}

void Session::leaveSuspended(std::string_view rest) {
    // Text after the arrow (a line number, say) asks for nothing.
    if (!trimBlanks(rest).empty()) return;
    engine::leaveSuspended(in_);
}

}  // namespace wox::session
