#include "script_file/script_reader.h"

#include <algorithm>
#include <cstdio>

#include "engine/evaluator.h"
#include "engine/execute_line.h"
#include "engine/execute_text.h"
#include "engine/workspace_clear.h"
#include "frontend/direct_definition.h"
#include "frontend/function_header.h"
#include "frontend/function_store.h"
#include "frontend/source_text.h"
#include "script_file/script_writer.h"
#include "script_file/tagged_value.h"
#include "values/capacities.h"
#include "values/messages.h"

namespace wox::script_file {
namespace {

using frontend::text::isBlank;
using frontend::text::isLetter;
using frontend::text::trimBlanks;

constexpr char kCommandMark = ')';
constexpr char kOpenBrace = '{';
constexpr char kCloseBrace = '}';
constexpr char kHeaderContinued = '\\';
constexpr std::string_view kEcho = "\r\n      ";

std::string_view cleaned(std::string_view line) {
    return trimBlanks(frontend::text::withoutComment(trimBlanks(line)));
}

bool startsVariableBlock(std::string_view line) {
    if (line.empty() || line[0] != kVariableMark) return false;
    std::size_t i = 1;
    while (i < line.size() && isBlank(line[i])) ++i;
    return i < line.size() && isLetter(line[i]);
}

// Whether a function of that name has a call in progress, running or
// suspended.
bool inProgress(const Interpreter& in, std::string_view name) {
    const int slot = frontend::findFunction(in.front, name);
    return slot >= 0 && std::any_of(in.frames.begin(), in.frames.end(),
                                     [slot](const engine::CallFrame& f) { return f.function == slot; });
}

// Defines a function from its lines, header first; a read inside a line
// leaves the functions with a call in progress as they are.
Rc define(Interpreter& in, const ScriptOptions& options, const std::vector<std::string>& lines) {
    if (options.insideLine) {
        frontend::FunctionHeader header;
        if (frontend::parseHeader(lines.front(), header).failed() || inProgress(in, header.name))
            return kGetFunctionError;
    }
    int slot = 0;
    if (frontend::defineFunction(in.frontEnd(), lines, &slot).failed()) return kGetFunctionError;
    return kOk;
}

// "@." and the header (a header ending in "\" goes on on the next line),
// the body lines, and a line "@.". *next is the line after the block.
Rc functionBlock(Interpreter& in, const ScriptOptions& options, const std::vector<std::string>& lines, std::size_t at,
                 std::size_t* next) {
    std::string header(trimBlanks(trimBlanks(lines[at]).substr(kFunctionMark.size())));
    std::size_t i = at + 1;
    while (!header.empty() && header.back() == kHeaderContinued) {
        header.pop_back();
        if (i >= lines.size()) return kGetFunctionError;
        header += trimBlanks(lines[i++]);
    }
    std::vector<std::string> source{header};
    for (;; ++i) {
        if (i >= lines.size()) return kGetFunctionError;
        std::string_view line = trimBlanks(lines[i]);
        if (line == kFunctionMark) break;
        source.emplace_back(line);
    }
    *next = i + 1;
    return define(in, options, source);
}

Rc variableBlock(Interpreter& in, const ScriptOptions& options, const std::vector<std::string>& lines, std::size_t at,
                 std::size_t* next) {
    std::string_view line = trimBlanks(lines[at]).substr(1);
    line = trimBlanks(line);
    std::size_t end = frontend::text::nameEnd(line, 0);
    LineCursor cursor{lines, at + 1};
    const int firstTemp = options.insideLine ? engine::followingTemp(*options.insideLine) : kFirstTemp;
    Rc rc = readTaggedValue(in, line.substr(0, end), line.substr(end), std::string_view(&kVariableMark, 1), cursor,
                            firstTemp);
    if (rc.failed()) return rc.code == kTableFull || rc.code == kWorkspaceFull ? rc : Rc(kGetVariableError);
    *next = cursor.next;
    return kOk;
}

// Where the braces opened before `text` (depth of them) close in it: the
// position of the closing brace, or npos; depth is carried on.
std::size_t closingBrace(std::string_view text, int* depth) {
    for (std::size_t i = 0; i < text.size();) {
        char c = text[i];
        if (c == '\'') {
            i = frontend::text::skipQuoted(text, i);
            continue;
        }
        if (c == kOpenBrace) ++*depth;
        if (c == kCloseBrace && --*depth == 0) return i;
        ++i;
    }
    return std::string_view::npos;
}

// "{name: first line", further lines, the last one closing the braces.
Rc bracedDefinition(Interpreter& in, const ScriptOptions& options, const std::vector<std::string>& lines,
                    std::size_t at, std::string_view first, std::size_t* next) {
    std::size_t colon = first.find(':');
    if (colon == std::string_view::npos) return kGetFunctionError;
    std::string_view name = trimBlanks(first.substr(1, colon - 1));
    std::string body;
    int depth = 1;
    std::string_view piece = first.substr(colon + 1);
    std::size_t i = at;
    for (;;) {
        std::size_t close = closingBrace(piece, &depth);
        if (close != std::string_view::npos) {
            if (!trimBlanks(piece.substr(close + 1)).empty()) return kGetFunctionError;
            body.append(piece.substr(0, close));
            break;
        }
        body.append(piece);
        body += '\n';
        if (++i >= lines.size()) return kGetFunctionError;
        piece = cleaned(lines[i]);
    }
    *next = i + 1;
    frontend::DirectDefinition dd;
    auto isFunction = [&](std::string_view n) { return frontend::findFunction(in.front, n) >= 0; };
    if (frontend::buildDirectDefinition(name, body, isFunction, dd).failed()) return kGetFunctionError;
    return define(in, options, dd.lines);
}

}  // namespace

std::vector<std::string> scriptLines(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\n' && text[i] != '\r') continue;
        lines.emplace_back(text.substr(start, i - start));
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
        start = i + 1;
    }
    if (start < text.size()) lines.emplace_back(text.substr(start));
    return lines;
}

namespace {

// Reads the items of a script in order into `in`: function blocks, variable
// blocks and definitions in braces, and, when `run`, statements and system
// commands too; otherwise statements are passed over and a system command
// clears `in`. A failure is reported through `link`.
int readItems(Interpreter& in, values::SessionLink& link, const std::vector<std::string>& lines,
              const ScriptOptions& options, bool run, ScriptFailure* failure) {
    const bool quiet = options.insideLine.has_value();
    auto stop = [&](int message, std::size_t at, std::string_view text) {
        if (!quiet) {
            std::string report;
            if (message != 0) report += "\r\n" + std::string(messageText(message));
            char number[32];
            std::snprintf(number, sizeof number, "[*ln%zu] [", at);
            report += "\r\n" + std::string(number) + std::string(text) + "]";
            link.output(report);
        }
        if (failure) *failure = ScriptFailure{message, static_cast<int>(at), std::string(text)};
        return 1;
    };
    auto runStatement = [&](std::string_view line) {
        if (options.insideLine) return engine::executeScriptStatement(in, *options.insideLine, line).ok();
        return engine::executeLine(in, line) == 0;
    };
    for (std::size_t i = 0; i < lines.size();) {
        const std::size_t at = i;
        std::string_view line = cleaned(lines[i]);
        ++i;
        if (line.empty()) continue;
        if (line.starts_with(kFunctionMark)) {
            if (Rc rc = functionBlock(in, options, lines, at, &i); rc.failed()) return stop(rc.code, at, line);
        } else if (startsVariableBlock(line)) {
            if (Rc rc = variableBlock(in, options, lines, at, &i); rc.failed()) return stop(rc.code, at, line);
        } else if (line[0] == kOpenBrace) {
            if (Rc rc = bracedDefinition(in, options, lines, at, line, &i); rc.failed()) return stop(rc.code, at, line);
        } else if (run) {
            if (!quiet && !options.numbered) link.scriptLine(std::string(kEcho) + std::string(line));
            if (line[0] == kCommandMark) {
                int result = link.scriptCommand(line.substr(1));
                if (result != 0 && options.numbered) {
                    link.commandFailed();
                } else if (result != 0) {
                    return stop(0, at, line);
                }
            } else if (!runStatement(line)) {
                link.statementFailed();
                if (options.insideLine) return stop(0, at, line);
            }
        } else if (line[0] == kCommandMark) {
            // What a command does (a CLEAR, a LOAD) is not known here; from
            // a cleared workspace the check refuses nothing the read takes.
            (void)engine::clearWorkspace(in);
        }
    }
    return 0;
}

}  // namespace

int readScript(Interpreter& in, const std::vector<std::string>& lines, const ScriptOptions& options,
               ScriptFailure* failure) {
    return readItems(in, in.link(), lines, options, true, failure);
}

int checkScript(const Interpreter& in, const std::vector<std::string>& lines, const ScriptOptions& options,
                ScriptFailure* failure) {
    // A scratch interpreter of the same capacities starts as a cleared
    // workspace does; its heap is taken only as its values need it.
    Interpreter scratch(in.ws.caps);
    (void)engine::clearWorkspace(scratch);
    return readItems(scratch, in.link(), lines, options, false, failure);
}

}  // namespace wox::script_file
