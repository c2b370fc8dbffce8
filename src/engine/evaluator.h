#pragma once
// The evaluator: runs one translated chain of parse nodes from right to left.
// Intermediate results go to temporary variable slots; assignments copy into
// owned blocks; every primitive goes through dispatch by its code.
#include <cstdint>

#include "engine/interpreter.h"
#include "frontend/function_store.h"
#include "values/rc.h"
#include "values/value.h"

namespace wox::engine {

inline constexpr ValueRef kNoValue = INT32_MIN;

struct EvalContext {
    int function = -1;            // defined function owning the line, -1 for a session line
    std::uint32_t stackMark = 0;  // stack top when the caller started
    int temp = kFirstTemp - 1;    // last temporary handed out
    int ioSlot = kIoSlot;         // slot of the []IO in force
};

// Evaluates the chain that starts at node `first`. *result is the value of
// the chain's leftmost item (kNoValue when the chain yields none). Temporary
// results of nested chains are copied into this context's own temporaries.
Rc evaluate(Interpreter& in, EvalContext& cx, int first, ValueRef* result);

// Evaluates a plain line (LineShape::kPlain) as evaluate(first) would; a
// line v<-a f b of two single numbers is run without walking its chain.
Rc evaluateLine(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, ValueRef* result);

// Runs a line of the form ->(~c)/L or ->(c)/L (LineShape::kBranchUnless,
// kBranchIf). When c is a single 0 or 1, *condition tells whether the
// branch is taken and *value is kNoValue: nothing else is built. Otherwise
// *value is the branch value, computed as the line would.
Rc evaluateConditionalBranch(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, int* condition,
                             ValueRef* value);

// Whether a line's value is shown: not when its leftmost operation is an
// assignment, a call without a result, or an execute (unless the interpreter
// shows everything). `last` is the line's leftmost node.
bool showsValue(const Interpreter& in, int last, ValueRef value);

// The next temporary slot: 4 to 17, then 15,384 to 16,383; beyond that 1.
Rc nextTemp(EvalContext& cx, int* slot);
// The temporary after t in that order; a nested entry starts its counter
// there, one above its caller's.
int followingTemp(int t);

}  // namespace wox::engine
