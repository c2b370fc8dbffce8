#pragma once
// What every routine below the engine works in: the workspace, the error word
// of the line in progress, and the one way up to the session. Primitives,
// display and the front end take this rather than the whole interpreter, so
// they cannot reach the engine's state.
#include <atomic>
#include <string_view>

#include "values/capacities.h"
#include "values/rc.h"
#include "values/session_link.h"
#include "values/symbol_names.h"
#include "values/workspace.h"

namespace wox::values {

class Context {
public:
    explicit Context(const Capacities& caps) : ws(caps) {}
    Context(const Context&) = delete;
    Context& operator=(const Context&) = delete;

    Workspace ws;
    int errorWord = 0;  // the first error of the line in progress
    // The symbol table of this workspace, once its owner has set it.
    const SymbolNames* symbolNames = nullptr;

    // Set from a signal handler when the user asks to stop the running line
    // (Ctrl-C in the terminal). The evaluator, the function line loop and
    // the long loops of the primitives poll it, clear it and fail; the
    // session clears it before every line.
    std::atomic<bool> interruptRequested{false};

    // The one way up to the session (values/session_link.h), which the
    // session installs when it is made; kept by the workspace, whose
    // allocations report through it.
    SessionLink& link() const { return ws.link(); }
    void install(SessionLink& link) { ws.install(link); }
    // Appends text at the session's caret.
    void write(std::string_view text) { link().output(text); }

    // Records the first error of a line and returns it.
    Rc fail(int code) {
        if (errorWord == 0) errorWord = code;
        return code;
    }
};

}  // namespace wox::values
