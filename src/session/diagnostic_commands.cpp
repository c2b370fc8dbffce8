// The commands that let a developer look inside the interpreter: S (one
// binding of the dfx stack), ASK (where a name lives), IF (the control
// structures of a test script rewritten), PT (a complex-library check),
// OPEN and ST (the session transcript saved to a file). What the desktop
// program showed in message boxes goes through the workspace's diagnostic
// callback: a box in wox-gui, standard error in the terminal.
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "frontend/control_rewrite.h"
#include "frontend/function_text.h"
#include "frontend/name_table.h"
#include "numeric/complex_functions.h"
#include "vocabulary/char_class.h"
#include "values/shaped_result.h"
#include "script_file/script_reader.h"
#include "session/diagnostic_folders.h"
#include "session/file_names.h"
#include "session/line_text.h"
#include "session/session.h"
#include "session/terminal_text.h"
#include "values/file_replacement.h"
#include "values/messages.h"

namespace wox::session {

namespace {

constexpr std::string_view kSaveFailedText = "save failed";
// The box IF shows before it reads its script.
constexpr std::string_view kTranslationBox = "dsd";
// Every name the rewriting invents is numbered from here, so that the
// translation of one script always reads the same.
constexpr int kTranslationNameNumber = 1;
constexpr const char* kTranscriptTempPrefix = ".wox-log-";

template <class... Args>
std::string formatted(const char* format, Args... args) {
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, format, args...);
    return buffer;
}

// The items ASK shows of a simple value: `single` for a scalar or a
// one-item vector, which it shows with a blank before every kind of item.
std::string itemText(const ValueDescriptor& d, const char* p, bool single) {
    switch (d.type) {
        case kFloat: {
            double v;
            std::memcpy(&v, p, sizeof v);
            return formatted(" %.15lf", v);
        }
        case kChar:
            return formatted(single ? " %c" : "%c", *p);
        case kComplex: {
            double v[2];
            std::memcpy(v, p, sizeof v);
            return single ? formatted("%.3lf %.3lf", v[0], v[1]) : formatted(" %.3lf %.3lf", v[0], v[1]);
        }
        default: {
            std::int32_t v;
            std::memcpy(&v, p, sizeof v);
            return formatted(" %d", v);
        }
    }
}

// ASK's box for a local variable slot.
std::string localReport(const values::Workspace& ws, int slot) {
    const ValueDescriptor& d = ws.vars[static_cast<std::size_t>(slot)];
    std::string text = formatted("targ=%d , type=%d, dim=%d , lgth=%d\r\n", slot, d.type, d.rank, d.count);
    const bool simple = d.type <= kTemporal && d.type != kGeneral && d.rank >= 0;
    if (!simple || d.count <= 0) return text;
    const char* p = values::elementsOf(ws, d);
    const std::size_t stride = static_cast<std::size_t>(elementStride(d.type));
    if (d.rank <= 1 && d.count == 1) return text + itemText(d, p, true);
    if (d.rank != 2) return text;
    text += formatted("dim0=%d, dim1=%d\r\n", d.shape0, d.shape1);
    for (std::int32_t r = 0; r < d.shape0; ++r) {
        text += "\r\n";
        for (std::int32_t c = 0; c < d.shape1; ++c, p += stride) text += itemText(d, p, false);
    }
    return text;
}

// The leading decimal digits of a text, or -1 when they pass INT_MAX.
int leadingNumber(std::string_view text) {
    long long n = 0;
    for (char c : text) {
        if (!vocabulary::isDigit(c)) break;
        n = n * 10 + (c - '0');
        if (n > INT_MAX) return -1;
    }
    return static_cast<int>(n);
}

}  // namespace

int Session::commandStackEntry(std::string_view argument) {
    std::string_view a = trimBlanks(argument);
    int index = -1;
    if (!a.empty() && vocabulary::isDigit(a.front())) index = leadingNumber(a);
    else if (!a.empty() && vocabulary::isLetter(a.front())) index = frontend::findInScope(in_.front, in_.scope, a);
    if (index < 0 || index > in_.scope.top) return 1;
    const frontend::ScopeBinding& b = in_.scope.at(index);
    if (b.name < 0 || b.name > in_.front.lastLocal || b.slot <= 0 ||
        static_cast<std::size_t>(b.slot) >= in_.ws.vars.size())
        return 1;
    write(Piece::Output, "\r\n" + frontend::fullName(in_.front, in_.front.locals[static_cast<std::size_t>(b.name)]));
    diagnostic(formatted("val = %d", index));
    diagnostic(formatted("val = %d", b.slot));
    const ValueDescriptor& d = in_.ws.vars[static_cast<std::size_t>(b.slot)];
    std::string text = "\r\n" + formatted("rank = %d, ", d.rank);
    if (d.rank >= 0) text += formatted("lgth = %d", d.count);
    write(Piece::Output, text);
    return 0;
}

int Session::commandAsk(std::string_view argument) {
    std::string_view name = trimBlanks(argument);
    if (name.empty()) return 0;
    if (!in_.frames.empty()) {
        // A binding above the current call's boundary is one of its locals.
        int at = frontend::findInScope(in_.front, in_.scope, name);
        if (at > in_.frames.back().boundary) {
            diagnostic(localReport(in_.ws, in_.scope.at(at).slot));
            return 0;
        }
    }
    const frontend::FrontTables& ft = in_.front;
    // Up to the last entry in use: the newest name can be asked too.
    for (int g = 0; g <= ft.lastGlobal; ++g) {
        const frontend::NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
        if (!frontend::nameEquals(ft, e, name)) continue;
        std::string full = frontend::fullName(ft, e);
        write(Piece::Output, "\r\n" + formatted("%s, gname=%d, val=%c, tag=%d", full.c_str(), g, e.kind, e.slot));
        return 0;
    }
    return 0;
}

int Session::commandIf() {
    diagnostic(kTranslationBox);
    std::string text;
    if (!readWholeFile(DiagnosticFolders(workspaceFolder_).translationScript(), &text)) return 1;
    // The script's lines are a function body under an empty header.
    std::vector<std::string> lines = script_file::scriptLines(text);
    lines.insert(lines.begin(), std::string());
    std::vector<frontend::TaggedLine> statements = frontend::makeStatements(frontend::sourceLines(lines));
    frontend::ControlRewrite rewrite;
    std::span<const frontend::TaggedLine> body(statements.data() + 1, statements.size() - 1);
    if (frontend::rewriteControl(body, kTranslationNameNumber, rewrite).failed()) return fail(kStructError);
    std::string out = "\r\n";
    for (const frontend::TaggedLine& l : rewrite.lines) out += l.text + "\r\n";
    write(Piece::Output, out);
    return 0;
}

int Session::commandPt() {
    const numeric::Complex z = numeric::complexMonadic(numeric::ComplexMonadic::Exponential, {0.0, numeric::kPi});
    diagnostic(formatted("%.17lf", z.im));
    return 0;
}

bool Session::saveTranscript(const std::string& path) {
    // The file holds the transcript as batch mode writes it: "\n" line ends.
    TerminalText stream(TerminalText::Mode::Batch);
    std::string text;
    stream.put(Piece::Output, transcript_.wholeText(), text);
    stream.finish(text);
    std::string problem;
    return values::replaceFile(path, text, kTranscriptTempPrefix, &problem);
}

int Session::commandOpen() { return saveTranscript(DiagnosticFolders(workspaceFolder_).openFile()) ? 0 : 1; }

int Session::commandSt(std::string_view argument) {
    std::string_view name = trimBlanks(argument);
    // The name is a file of the transcript folder, never a path elsewhere.
    const bool named = !name.empty() && name.find_first_of("/\\") == std::string_view::npos;
    if (named && saveTranscript(DiagnosticFolders(workspaceFolder_).transcriptFile(name))) return 0;
    write(Piece::Output, "\r\n" + std::string(kSaveFailedText));
    return 1;
}

}  // namespace wox::session
