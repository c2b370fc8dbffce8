#pragma once
// The one interpreter object: all state of a Wox workspace and session lives
// here, so any number of interpreters can run side by side.
#include <string>

#include "display/display_state.h"
#include "engine/call_frame.h"
#include "engine/error_trace.h"
#include "engine/interpreter_link.h"
#include "frontend/builtin_names.h"
#include "frontend/front_end.h"
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/scope_stack.h"
#include "spreadsheet/spreadsheet_link.h"
#include "types/symbol_table.h"
#include "values/capacities.h"
#include "values/context.h"
#include "values/rc.h"

namespace wox {

class Interpreter : public values::Context {
public:
    explicit Interpreter(const Capacities& caps = {});

    frontend::FrontTables front;        // names and what translated lines are made of
    frontend::FunctionStore functions;  // every function's record, text and line table
    types::SymbolTable symbols;
    frontend::ScopeStack scope;              // bindings of active and suspended calls
    // For each binding on the scope stack, the slot its name entry had
    // before: leaving a call gives every name back its shadowed slot.
    std::vector<std::int32_t> shadowedSlots;
    std::vector<engine::CallFrame> frames;  // active and suspended calls, innermost last
    engine::ErrorState errors;  // call trace, error trace, caret position, line timing
    display::DisplayState displayState;  // line pending, nesting of the value on show
    bool displayAll = false;  // also display lines that start with an execute
    bool executingText = false;  // a "!." text is running
    // Lines come from a file or a pipe (batch wox): nobody can resume a
    // suspended call, so a line that finds the state indicator full clears
    // it, or every later line would fail.
    bool unattended = false;
    // The random generator of roll and deal; clearing sets it back, so a
    // fresh workspace draws the same numbers every time.
    std::int32_t randomState = frontend::kInitialRandomSeed;
    // The spreadsheet link lives as long as the interpreter; clearing the
    // workspace leaves it as it is.
    spreadsheet::Link spreadsheet;
    // Whether the query library (the statements of `do`) has run without
    // error in this workspace; clearing forgets it. The session's link
    // loads it.
    bool queryLibraryLoaded = false;
    // The workspace folder, ending with "/"; []FM writes a relative path there.
    std::string workspaceFolder;

    // Gives the one way up back to the interpreter's own link, which
    // answers the local-name question and does nothing else: a link
    // installed in its place goes before the interpreter does.
    void uninstall() { install(ownLink_); }

    // The front end's view of this workspace.
    frontend::FrontEnd frontEnd() { return {*this, front, functions, symbols, scope}; }

    // Records the first error of a line, with the caret position of the failing node.
    // The innermost failing node reports first, so the first position wins.
    Rc failAt(int code, int pos) {
        if (errorWord == 0) errorWord = code;
        if (errors.positionDepth < 0) {
            errors.position = pos;
            errors.positionDepth = errors.depth;
        }
        return errorWord;
    }

private:
    engine::InterpreterLink ownLink_{*this};
};

}  // namespace wox
