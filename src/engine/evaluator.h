#pragma once
// The evaluator: runs one translated chain of parse nodes from right to left.
// Intermediate results go to temporary variable slots; assignments copy into
// owned blocks; every primitive goes through dispatch by its code.
#include <cstdint>

#include "engine/interpreter.h"
#include "frontend/function_store.h"
#include "values/capacities.h"
#include "values/messages.h"
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

// A pair line v<-a f b (BodyLine::pairOp) as evaluate(first) would run it:
// two single numbers go to f's single routine without the walk.
Rc evaluatePairLine(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, ValueRef* result);
// A call line v<-f b (BodyLine::callOp) as evaluate(first) would run it:
// the call and the assignment without the walk.
Rc evaluateCallLine(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, ValueRef* result);

// Evaluates a plain line (LineShape::kPlain) as evaluate(first) would, pair
// and call lines by their own roads. Inline, so that each road keeps its
// own small frame.
inline Rc evaluateLine(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, ValueRef* result) {
    if (line.pairOp >= 0) return evaluatePairLine(in, cx, line, result);
    if (line.callOp >= 0) return evaluateCallLine(in, cx, line, result);
    return evaluate(in, cx, line.first, result);
}

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

// The temporary after t in the order 4 to 17, then 15,384 to 16,383; a
// nested entry starts its counter there, one above its caller's. Inline, as
// every line and call takes one.
inline int followingTemp(int t) {
    ++t;
    return t > kLastFirstSeriesTemp && t < kSecondSeriesTemp ? kSecondSeriesTemp : t;
}

// The next temporary slot in that order; beyond 16,383 error 1.
inline Rc nextTemp(EvalContext& cx, int* slot) {
    int t = followingTemp(cx.temp);
    if (t > kLastTemp) return kDomainError;
    cx.temp = t;
    *slot = t;
    return kOk;
}

}  // namespace wox::engine
