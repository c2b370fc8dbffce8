#pragma once
// The one way up from the floors under the session: what the workspace, the
// primitives, the display, the engine and the script reader ask of whoever
// runs the interpreter. The session implements it and installs it once, when
// it is made; until then a link that does nothing stands in, so an
// interpreter works without a session (tests, tools).
#include <cstdint>
#include <string_view>

#include "values/messages.h"
#include "values/rc.h"

namespace wox::values {

class SessionLink {
public:
    virtual ~SessionLink() = default;

    // Appends text at the session's caret. Text uses "\r\n" line ends and
    // every producer starts its output with "\r\n".
    virtual void output(std::string_view text) = 0;
    // A notice the desktop program shows in a message box (allocation
    // failures, a workbook's dates, the diagnostic commands).
    virtual void diagnostic(std::string_view message) = 0;

    // Whether local slot `slot` is bound now to the name that symbol `name`
    // spells. Only the engine knows the calls' bindings; a slot outlives
    // the call that named it and is given to the next call's locals.
    virtual bool localNamed(int slot, std::int32_t name) = 0;

    // Reads the query library (the statements of `do`) from inside the
    // running line, whose last temporary is `lineTemp`: the engine cannot
    // reach the script reader. kOk or kLibraryMissing.
    virtual Rc loadQueryLibrary(int lineTemp) = 0;

    // What a script read tells the session: a statement about to run
    // ("\r\n", the prompt and the line), a system command line to run (the
    // text after ")"; its result, 0 or a message number or 1), a statement
    // that failed after writing its error report, and, in the test runner's
    // numbered mode, a system command that failed.
    virtual void scriptLine(std::string_view text) = 0;
    virtual int scriptCommand(std::string_view commandLine) = 0;
    virtual void statementFailed() = 0;
    virtual void commandFailed() = 0;
};

// No session: nothing is shown, no library loads, no command runs, and any
// local slot counts as named.
class NoSession : public SessionLink {
public:
    void output(std::string_view) override {}
    void diagnostic(std::string_view) override {}
    bool localNamed(int, std::int32_t) override { return true; }
    Rc loadQueryLibrary(int) override { return kLibraryMissing; }
    void scriptLine(std::string_view) override {}
    int scriptCommand(std::string_view) override { return kIncorrectCommand; }
    void statementFailed() override {}
    void commandFailed() override {}
};

// The link of a workspace that nothing has linked yet; it keeps no state.
inline SessionLink& noSession() {
    static NoSession none;
    return none;
}

}  // namespace wox::values
