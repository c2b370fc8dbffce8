#pragma once
// Reading a script: every line in order, each trimmed and its "//" comment
// removed. A function block ("@." header ... "@."), a variable block
// ("&name " tagged value ... "&") or a definition in braces ("{name: ...}",
// over as many lines as its braces need) defines what it names; a line
// that starts with ")" is a system command; any other line is a statement,
// echoed after the prompt and run. A statement that fails has written its
// error report and the script goes on; a bad block, a failing system
// command (outside numbered mode) or an unclosed definition stops it, and
// everything defined before stays.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "engine/interpreter.h"

namespace wox::script_file {

// What a read tells the session and asks of it goes through the
// interpreter's link (values/session_link.h); these say how it reads.
struct ScriptOptions {
    // The test runner's numbered mode: lines are not echoed, and a failing
    // system command is told to the link's commandFailed while the script
    // goes on.
    bool numbered = false;
    // A read from inside a running line (the query library, loaded by the
    // first `do`): that line's last temporary. Such a read keeps its hands
    // off what the line uses: it is quiet (no echo, no failure report), its
    // statements run above the line's temporaries (executeScriptStatement)
    // and the first that fails stops it, its variable blocks are built
    // above them too, and no function with a call in progress (running or
    // suspended) is redefined.
    std::optional<int> insideLine;
};

struct ScriptFailure {
    int message = 0;   // the message shown; 0 for a failed system command
    int line = -1;     // where the failing item began, counting from 0
    std::string text;  // that line
};

// The lines of a script text, whatever its line ends.
std::vector<std::string> scriptLines(std::string_view text);

// Returns 0, or 1 after a failure, which *failure describes (the report
// "\r\n" message "\r\n[*ln%d] [%s]" is written unless the read is quiet).
int readScript(Interpreter& in, const std::vector<std::string>& lines, const ScriptOptions& options = {},
               ScriptFailure* failure = nullptr);

// Reads the script's blocks and definitions as readScript would, into a
// scratch interpreter with the capacities of `in`, and runs nothing: 0, or
// 1 after the failure readScript would stop at, reported as it reports it.
// `in` is left as it is, so a command that resets the workspace checks
// first. The scratch workspace is cleared at each system command line, so
// the check refuses no script that the read takes; a failure that only the
// script's statements or commands bring about (a name they make) still
// shows when it runs.
int checkScript(const Interpreter& in, const std::vector<std::string>& lines, const ScriptOptions& options = {},
                ScriptFailure* failure = nullptr);

}  // namespace wox::script_file
