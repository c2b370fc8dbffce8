#pragma once
// Defined functions in the workspace: their text objects, defining and
// replacing a function from its lines, and translating a function's body into
// parse nodes with its line table.
//
// A body is translated afresh on its first call within each session line.
// Its header names (result, arguments, locals, and the names the control
// rewriting invented) and then its labels and free names are one run of
// local-name entries; a call binds each entry to a slot (function_call.h),
// and variable nodes of the body read their slot through that entry.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "frontend/function_header.h"
#include "frontend/function_text.h"
#include "values/rc.h"

namespace wox {
class Interpreter;
}

namespace wox::frontend {

// One line of a translated body: its nodes, and whether it is a branch line.
struct BodyLine {
    std::int32_t first = -1;  // rightmost node, -1 for a line with nothing to run
    std::int32_t last = -1;   // leftmost operation
    bool branch = false;
};

// What a call needs besides the function record.
struct DefinedFunction {
    FunctionText text;
    FunctionHeader header;
    std::vector<BodyLine> lines;    // line n is lines[n - 1]
    std::vector<std::string> generated;  // locals the control rewriting invented
    // Local-name entries of the header names, by role, after translation.
    int resultEntry = -1;
    std::vector<int> leftEntries;
    std::vector<int> rightEntries;
    std::vector<int> localEntries;  // locals and generated names
    int ioEntry = -1;               // a local []IO
};

struct FunctionStore {
    std::vector<DefinedFunction> bySlot;  // indexed by function slot
    std::uint32_t randomState = 16807;    // name numbers of the control rewriting
    void clear() { bySlot.clear(); }
};

// Defines a function from its lines (header first), or replaces the user
// function of that name in place. Errors: 81 no lines, 8 and 23 in the
// header, 23 for a control structure that cannot be rewritten, 10 when the
// name is a variable with a value, 84 when a table is full.
Rc defineFunction(Interpreter& in, const std::vector<std::string>& lines, int* slot);

// The function slot of a defined or keyword function of that name, or -1.
int findFunction(const Interpreter& in, std::string_view name);

// The function behind a slot, or nullptr for a keyword or unused slot.
const DefinedFunction* definedFunction(const Interpreter& in, int slot);

// Translates the body of function `slot`. On failure *errorLine and
// *errorPos tell which line and where.
Rc translateFunction(Interpreter& in, int slot, int* errorLine, int* errorPos);

// Gives back the local-name entries of translated bodies when no call is
// active or suspended; called before each session line.
void releaseLocalNames(Interpreter& in);

}  // namespace wox::frontend
