#include "engine/error_report.h"

#include "engine/do_statement.h"
#include "frontend/name_table.h"
#include "values/messages.h"

namespace wox::engine {

namespace {

constexpr std::string_view kLibraryErrorReport = "\r\nerror in `do statement";
// After "stack full" for want of room for one more call. The message stays
// as it is (scripts match on it); this line says what filled the stack. A
// batch run clears the state indicator itself (executeLine).
constexpr std::string_view kStateIndicatorFull = "\r\nthe state indicator is full: )SIC clears it";
constexpr std::string_view kStateIndicatorCleared = "\r\nthe state indicator was full: it is cleared, as )SIC clears it";

// Tabs take the prompt's width, so the caret stays under its character.
void appendExpanded(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\t') out += "      ";
        else out += c;
    }
}

// Blanks up to the failing column (tabs at their expanded width), then "^".
void appendCaret(std::string& out, std::string_view line, int pos) {
    int limit = static_cast<int>(line.size()) - 1;
    if (pos > limit) pos = limit;
    if (pos < 0) pos = 0;
    for (int i = 0; i < pos; ++i) out += line[static_cast<std::size_t>(i)] == '\t' ? "      " : " ";
    out += '^';
}

// The message and where it happened.
std::string failureReport(const Interpreter& in, std::string_view line) {
    std::string out;
    const ErrorTrace& t = in.errors.trace;
    if (t.recorded && isLibraryFunction(in, t.function)) {
        // Inside the query library: a character branch has shown the
        // library's own message, which is the whole report; any other
        // error names the statement rather than the library's lines.
        if (in.errorWord != kCharacterBranch) out += kLibraryErrorReport;
        return out;
    }
    // A character branch has shown its own text already.
    if (in.errorWord != kCharacterBranch) {
        out += "\r\n";
        out += messageText(in.errorWord);
    }
    if (t.recorded) {
        // Inside a function: name[line], the line, the caret under it.
        std::string prefix = t.name;
        prefix += '[';
        prefix += std::to_string(t.lastLine);
        prefix += "]  ";
        out += "\r\n";
        out += prefix;
        appendExpanded(out, t.lineText);
        out += "\r\n";
        out.append(prefix.size(), ' ');
        appendCaret(out, t.lineText, t.position);
        return out;
    }
    out += "\r\n      ";
    appendExpanded(out, line);
    out += "\r\n      ";
    appendCaret(out, line, in.errors.position);
    return out;
}

}  // namespace

std::string errorReport(const Interpreter& in, std::string_view line) {
    std::string out = failureReport(in, line);
    if (in.errors.stateIndicatorFull) out += in.unattended ? kStateIndicatorCleared : kStateIndicatorFull;
    return out;
}

void reportError(Interpreter& in, std::string_view line) { in.write(errorReport(in, line)); }

int currentIoSlot(const Interpreter& in) {
    int s = frontend::findInScope(in.front, in.scope, "[]IO");
    return s >= 0 ? in.scope.at(s).slot : kIoSlot;
}

int currentRlSlot(const Interpreter& in) {
    int s = frontend::findInScope(in.front, in.scope, "[]RL");
    return s >= 0 ? in.scope.at(s).slot : kSystemSlotRL;
}

}  // namespace wox::engine
