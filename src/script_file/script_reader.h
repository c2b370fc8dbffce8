#pragma once
// Reading a script: every line in order, each trimmed and its "//" comment
// removed. A function block ("@." header ... "@."), a variable block
// ("&name " tagged value ... "&") or a definition in braces ("{name: ...}",
// over as many lines as its braces need) defines what it names; a line
// that starts with ")" is a system command; any other line is a statement,
// echoed after the prompt and run. A statement that fails has written its
// error report and the script goes on; a bad block, a failing system
// command or an unclosed definition stops it, and everything defined
// before stays.
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"
#include "values/capacities.h"

namespace wox::script_file {

struct ScriptHooks {
    std::function<void(std::string_view)> write;      // session output
    std::function<void(std::string_view)> echo;       // a line about to run, after its prompt
    std::function<int(std::string_view)> dispatch;    // a system command: its result
    std::function<void()> statementFailed;            // a statement wrote an error report
    bool quiet = false;                               // no echo, no failure report
    // A script read from inside a running line (the query library) runs
    // its statements its own way and must keep its hands off what the line
    // uses: `execute` runs a statement (true when it ran without error;
    // unset: execute line, with its report), `mayDefine` tells whether a
    // function of that name may be defined (unset: any), and variable blocks
    // build their values from temporary `firstTemp` on.
    std::function<bool(std::string_view)> execute;
    std::function<bool(std::string_view)> mayDefine;
    int firstTemp = kFirstTemp;
    bool stopAtFailedStatement = false;               // a failing statement stops the script
};

struct ScriptFailure {
    int message = 0;   // the message shown; 0 for a failed system command
    int line = -1;     // where the failing item began, counting from 0
    std::string text;  // that line
};

// The lines of a script text, whatever its line ends.
std::vector<std::string> scriptLines(std::string_view text);

// Returns 0, or 1 after a failure, which *failure describes (the report
// "\r\n" message "\r\n[*ln%d] [%s]" is written unless quiet).
int readScript(Interpreter& in, const std::vector<std::string>& lines, const ScriptHooks& hooks,
               ScriptFailure* failure = nullptr);

}  // namespace wox::script_file
