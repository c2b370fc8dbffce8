// The system commands: a line that starts with ")" names one by its first
// word, upper-cased and matched whole; the rest of the line, trimmed, is its
// argument.
#include <dirent.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/function_call.h"
#include "engine/do_statement.h"
#include "engine/workspace_clear.h"
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/name_table.h"
#include "vocabulary/char_class.h"
#include "session/command_table.h"
#include "session/file_names.h"
#include "session/line_text.h"
#include "session/name_list.h"
#include "session/session.h"
#include "values/messages.h"
#include "workspace_file/file_format.h"
#include "workspace_file/workspace_reader.h"
#include "workspace_file/workspace_writer.h"

namespace wox::session {

namespace {

constexpr std::string_view kClearWs = "CLEAR WS";
constexpr std::size_t kMaxLibWords = 20;
constexpr int kTraceDefault = 20;
constexpr int kTraceMost = 100;
constexpr std::size_t kTraceLineWidth = 80;
constexpr std::array<std::string_view, 3> kLibExtensions = {"wox", "vsf", "txt"};
// The line LOAD runs when the loaded workspace has a latent expression.
constexpr std::string_view kRunLatentExpression = "!.[]LX";

std::string upper(std::string_view word) {
    std::string s(word);
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string functionLineText(const frontend::DefinedFunction* df, int line) {
    if (!df || line < 0 || static_cast<std::size_t>(line) >= df->text.executable.size()) return {};
    return df->text.executable[static_cast<std::size_t>(line)].text;
}

}  // namespace

int Session::fail(int message) {
    showMessage(message);
    return message;
}

int Session::dispatchCommand(std::string_view commandLine) {
    std::string_view line = trimBlanks(commandLine);
    std::size_t blank = line.find(' ');
    std::string word = upper(line.substr(0, blank));
    std::string_view argument = blank == std::string_view::npos ? std::string_view() : trimBlanks(line.substr(blank + 1));
    std::optional<Command> command = findCommand(word);
    if (!command) return fail(kIncorrectCommand);
    return runCommand(*command, argument);
}

int Session::runCommand(Command command, std::string_view argument) {
    // The query library's script copies the standard library in; nothing
    // else may happen to the workspace under the line that loads it.
    if (libraryLine_ && command != Command::Fcopy) return fail(kIncorrectCommand);
    switch (command) {
        case Command::Wsid:
            return commandWsid(argument);
        case Command::Off:
            switchedOff_ = true;
            if (off_) off_();
            return 0;
        case Command::Fns:
            return commandFns(argument);
        case Command::Vars:
            return commandVars(argument);
        case Command::Lib:
            return commandLib(argument);
        case Command::Clear:
            if (!argument.empty()) return kIncorrectCommand;
            workspaceName_.clear();
            if (Rc rc = engine::clearWorkspace(in_); rc.failed()) return fail(rc.code);
            return 0;
        case Command::Si:
            return commandSi();
        case Command::Sic:
            engine::leaveAllSuspended(in_);
            return 0;
        case Command::Gc:
            in_.ws.compact();
            return 0;
        case Command::Index:
            write(Piece::Output, "\r\n" + engine::workspaceReport(in_));
            return 0;
        case Command::Trace:
            return commandTrace(argument);
        case Command::Save:
            return commandSave(argument);
        case Command::Load:
            return commandLoad(argument);
        case Command::Fload:
            return commandReadScript(argument, true, false);
        case Command::Fcopy:
            return commandReadScript(argument, false, false);
        case Command::P:
            return commandReadScript(argument, true, true);
        case Command::Out:
            return commandOut(argument);
        case Command::Cpp:
            return commandCpp(argument);
        case Command::Csv:
            return commandCsv(argument);
        case Command::If:
            return commandIf();
        case Command::Su:
            return commandSu();
        case Command::Mf:
            return commandMf();
        case Command::S:
            return commandStackEntry(argument);
        case Command::Ask:
            return commandAsk(argument);
        case Command::Open:
            return commandOpen();
        case Command::St:
            return commandSt(argument);
        case Command::Pt:
            return commandPt();
    }
    return fail(kIncorrectCommand);
}

int Session::commandWsid(std::string_view argument) {
    std::string_view shown = workspaceName_.empty() ? kClearWs : std::string_view(workspaceName_);
    if (argument.empty()) {
        write(Piece::Output, "\r\n" + std::string(shown));
        return 0;
    }
    if (!isValidName(argument)) return fail(kIncorrectCommand);
    write(Piece::Output, "\r\nwas " + std::string(shown));
    workspaceName_ = std::string(argument);
    return 0;
}

int Session::commandFns(std::string_view prefix) {
    std::vector<std::string> names;
    for (int s = kFirstUserFunction; s <= in_.functions.lastSlot; ++s) {
        const frontend::DefinedFunction* df = frontend::definedFunction(in_.functions, s);
        if (df && df->text.name.starts_with(prefix) && !engine::isLibraryFunction(in_, s)) names.push_back(df->text.name);
    }
    write(Piece::Output, nameListText(std::move(names)));
    return 0;
}

int Session::commandVars(std::string_view prefix) {
    std::vector<std::string> names;
    const frontend::FrontTables& ft = in_.front;
    for (int g = kBuiltinNames; g <= ft.lastGlobal; ++g) {
        const frontend::NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
        if (e.kind != frontend::kVariableName || in_.ws.vars[static_cast<std::size_t>(e.slot)].unset()) continue;
        std::string name = frontend::fullName(ft, e);
        if (name.starts_with(prefix)) names.push_back(std::move(name));
    }
    // The locals of the most recent suspended call that is not one of the
    // query library's.
    auto call = std::find_if(in_.frames.rbegin(), in_.frames.rend(),
                             [&](const engine::CallFrame& f) { return !engine::isLibraryFunction(in_, f.function); });
    if (call != in_.frames.rend()) {
        if (const frontend::DefinedFunction* df = frontend::definedFunction(in_.functions, call->function)) {
            const frontend::FunctionHeader& h = df->header;
            std::vector<std::string> locals;
            if (!h.result.empty()) locals.push_back(h.result);
            for (const auto* list : {&h.left, &h.right, &h.locals}) locals.insert(locals.end(), list->begin(), list->end());
            for (std::string& n : locals)
                if (!n.starts_with("[") && n.starts_with(prefix)) names.push_back(std::move(n));
        }
    }
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    write(Piece::Output, nameListText(std::move(names)));
    return 0;
}

int Session::commandLib(std::string_view argument) {
    if (argument.find_first_of("\\/.") != std::string_view::npos) {
        write(Piece::Output, "\r\n" + std::string(messageText(kIncorrectCommand)));
        return 0;
    }
    std::vector<std::string_view> words;
    while (!argument.empty() && words.size() < kMaxLibWords) {
        std::size_t blank = argument.find(' ');
        words.push_back(argument.substr(0, blank));
        argument = blank == std::string_view::npos ? std::string_view() : trimBlanks(argument.substr(blank + 1));
    }
    std::vector<std::string> names;
    if (DIR* dir = opendir(workspaceFolder_.empty() ? "." : workspaceFolder_.c_str())) {
        while (const dirent* entry = readdir(dir)) {
            std::string_view file = entry->d_name;
            if (file == "." || file == "..") continue;
            std::size_t dot = file.rfind('.');
            if (dot == std::string_view::npos) continue;
            std::string_view ext = file.substr(dot + 1);
            if (std::find(kLibExtensions.begin(), kLibExtensions.end(), ext) == kLibExtensions.end()) continue;
            bool kept = words.empty() ||
                        std::any_of(words.begin(), words.end(), [&](std::string_view w) { return file.find(w) != std::string_view::npos; });
            if (kept) names.emplace_back(file);
        }
        closedir(dir);
    }
    write(Piece::Output, nameListText(std::move(names)));
    return 0;
}

int Session::commandSi() {
    // Most recent first: a session line's level is "*", a call's is its
    // function and line, padded to the widest of them.
    struct Level {
        std::string head;
        std::string text;
        bool session = false;
    };
    std::vector<Level> levels;
    std::size_t width = 0;
    for (int d = in_.errors.depth; d >= 0; --d) {
        const engine::CallTraceEntry& e = in_.errors.callTrace[static_cast<std::size_t>(d)];
        if (e.function == engine::kSessionLevel) {
            levels.push_back(Level{"*", {}, true});
            continue;
        }
        const frontend::DefinedFunction* df = frontend::definedFunction(in_.functions, e.function);
        if (!df || engine::isLibraryFunction(in_, e.function)) continue;
        char head[64];
        std::snprintf(head, sizeof head, "[%d] ", e.line);
        Level l{df->text.name + head, functionLineText(df, e.line)};
        width = std::max(width, l.head.size());
        levels.push_back(std::move(l));
    }
    std::string text;
    for (Level& l : levels) {
        if (!l.session) l.head.resize(width, ' ');
        text += "\r\n" + l.head + l.text;
    }
    if (!text.empty()) write(Piece::Output, text);
    return 0;
}

int Session::commandTrace(std::string_view argument) {
    int n = 0;
    bool digits = !argument.empty();
    for (char c : argument) {
        if (!vocabulary::isDigit(c)) {
            digits = false;
            break;
        }
        n = n * 10 + (c - '0');
        if (n > kTraceMost) break;  // no need to read further
    }
    if (!digits || n == 0) n = kTraceDefault;
    n = std::min(n, kTraceMost);
    const engine::ErrorTrace& t = in_.errors.trace;
    const frontend::DefinedFunction* df = t.recorded ? frontend::definedFunction(in_.functions, t.function) : nullptr;
    if (!df || engine::isLibraryFunction(in_, t.function)) {
        write(Piece::Output, "\r\nnothing here");
        return 0;
    }
    char buf[512];
    std::snprintf(buf, sizeof buf, "name[%4d]: %s\r\ntotal lines: %3d", t.function, df->text.name.c_str(), t.lastLine);
    std::string text = "\r\n";
    text += buf;
    text += "\r\n step    line  content";
    // The stored words are the function, its last line, the lines run and
    // the recent lines; the last m words of those are shown, from the
    // fourth on.
    const int k = 3 + static_cast<int>(t.lines.size());
    const int m = std::min(k, n);
    const int count = static_cast<int>(t.lines.size());
    for (int w = k - m + 3; w <= k - 1; ++w) {
        int i = w - 3;
        if (i < 0 || i >= count) continue;
        long long step = static_cast<long long>(t.executed) - (count - 1 - i);
        int line = t.lines[static_cast<std::size_t>(i)];
        std::snprintf(buf, sizeof buf, "[%4lld]  [%3d]  %s", step, line, functionLineText(df, line).c_str());
        std::string row = buf;
        if (row.size() > kTraceLineWidth) row.resize(kTraceLineWidth);
        text += "\r\n" + row;
    }
    text += "\r\n--trace--version--0.02a--";
    write(Piece::Output, text);
    return 0;
}

int Session::commandSave(std::string_view argument) {
    std::string name(argument);
    if (name.empty()) {
        if (workspaceName_.empty()) {
            showMessage(kClearWsNotSaved);
            return 1;
        }
        name = workspaceName_;
    }
    ResolvedFile file = resolveFileName(name, "wox", false, workspaceFolder_);
    if (file.message != 0) {
        showMessage(file.message);
        return 1;
    }
    // What translated lines were made of is given back before every line
    // anyway; a file without it is the same workspace.
    frontend::releaseLineTables(in_.front, in_.ws);
    frontend::releaseLocalNames(in_.front, in_.scope);
    std::string problem;
    if (!workspace_file::saveWorkspaceFile(in_, file.path, &problem)) {
        showMessage(kSaveFailed);
        write(Piece::Output, "\r\n" + problem);
        return 1;
    }
    write(Piece::Output, "\r\n" + fileTimeText(file.path) + " " + file.workspaceName);
    workspaceName_ = file.workspaceName;
    if (saved_) saved_();
    return 0;
}

int Session::commandLoad(std::string_view argument) {
    ResolvedFile file = resolveFileName(argument, "wox", true, workspaceFolder_);
    if (file.message != 0) {
        showMessage(file.message);
        return 1;
    }
    // A file that does not load leaves the workspace, its name included, as
    // it was.
    workspace_file::LoadResult r = workspace_file::loadWorkspaceFile(in_, file.path);
    if (!r.loaded) {
        noteFailure();
        if (r.message.empty()) showMessage(kFileNotFound);
        else if (r.message == workspace_file::kOldLoadError && messageBox_) diagnostic(r.message);
        else write(Piece::Output, "\r\n" + std::string(r.message));
        return 1;
    }
    workspaceName_ = workspaceNameOf(file.path);
    write(Piece::Output, "\r\nsaved " + fileTimeText(file.path));
    if (in_.ws.vars[kSystemSlotLX].count > 0) {
        if (engine::executeLine(in_, kRunLatentExpression) != 0) noteFailure();
    }
    return 0;
}

}  // namespace wox::session
