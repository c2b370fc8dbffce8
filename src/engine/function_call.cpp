#include "engine/function_call.h"

#include <cstdio>
#include <string>
#include <utility>

#include "display/value_display.h"
#include "engine/error_report.h"
#include "engine/keyword_functions.h"
#include "engine/do_statement.h"
#include "frontend/builtin_names.h"
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/name_table.h"
#include "frontend/scope_stack.h"
#include "primitives/single_scalars.h"
#include "values/messages.h"
#include "values/narrowing.h"
#include "values/value_copy.h"

namespace wox::engine {

namespace {

using frontend::DefinedFunction;
using frontend::FrontTables;
using frontend::ScopeBinding;
using frontend::kKeywordFunctions;

int& entrySlot(Interpreter& in, int entry) { return in.front.locals[static_cast<std::size_t>(entry)].slot; }

// Pops the innermost frame: its local slots are released, its bindings come
// off dfxstack, and the names it shadowed get the slots of the calls that
// are still active.
[[gnu::always_inline]] inline void popFrame(Interpreter& in) {
    const CallFrame f = in.frames.back();
    in.frames.pop_back();
    frontend::ScopeStack& scope = in.scope;
    // The call's own slots, all at or above lowestLocalSlot: released as
    // releaseVar() does, without its test of that.
    values::Workspace& ws = in.ws;
    for (int s = f.firstLocal; s < f.firstLocal + f.locals; ++s) {
        ValueDescriptor& d = ws.vars[static_cast<std::size_t>(s)];
        if (ws.isOwnedBlock(d)) ws.freeValueBlocks(d);
        d = ValueDescriptor{};
    }
    in.ws.lowestLocalSlot += f.locals;
    // Newest first, so a name bound twice ends with the slot it had first.
    const frontend::ScopeBinding* bindings = scope.bindings.data();
    const std::int32_t* shadowed = in.shadowedSlots.data();
    for (int p = scope.top; p > f.boundary; --p)
        entrySlot(in, bindings[p].name) = shadowed[p];
    scope.top = f.boundary - 1;
}

// No room for one more call: the report says the state indicator is full.
Rc stackFull(Interpreter& in) {
    in.errors.stateIndicatorFull = true;
    return kStackFull;
}

// Pushes a binding and keeps the slot it shadows, for popFrame.
Rc push(Interpreter& in, int name, int slot) {
    frontend::ScopeStack& scope = in.scope;
    if (scope.top + 1 >= static_cast<int>(scope.bindings.size())) return stackFull(in);
    ++scope.top;
    scope.bindings[static_cast<std::size_t>(scope.top)] = ScopeBinding{name, slot};
    if (name >= 0) {
        int& bound = entrySlot(in, name);
        in.shadowedSlots[static_cast<std::size_t>(scope.top)] = bound;
        bound = slot;
    }
    return kOk;
}

// Binds the call's names: free names by dynamic scope (else a global
// variable, made if need be), header names to fresh local slots.
Rc enterFrame(Interpreter& in, int fn, const DefinedFunction& df, int depth, const EvalContext& cx) {
    FrontTables& ft = in.front;
    frontend::ScopeStack& scope = in.scope;
    const frontend::FunctionRecord& r = in.functions.records[static_cast<std::size_t>(fn)];
    // The caller's []RL, which a local []RL starts out as: looked up by name
    // only for a function that has one.
    const int rlInForce = df.rlEntry >= 0 ? currentRlSlot(in) : -1;
    int boundary = scope.top + 1;
    if (boundary >= static_cast<int>(scope.bindings.size())) return stackFull(in);
    scope.top = boundary;  // the call's boundary mark, as push(-1, -1) makes it
    scope.bindings[static_cast<std::size_t>(boundary)] = ScopeBinding{-1, -1};
    auto undo = [&](Rc rc) {
        for (int p = scope.top; p > boundary; --p)
            entrySlot(in, scope.at(p).name) = in.shadowedSlots[static_cast<std::size_t>(p)];
        scope.top = boundary - 1;
        return rc;
    };
    for (const DefinedFunction::FreeName& free : df.freeVariables) {
        const int e = free.entry;
        const std::string& name = free.name;
        int slot;
        if (int s = frontend::findInScope(ft, scope, name); s >= 0) {
            slot = scope.at(s).slot;
        } else if (int g = frontend::findGlobal(ft, name); g >= 0) {
            const frontend::NameEntry& ge = ft.globals[static_cast<std::size_t>(g)];
            if (ge.kind != frontend::kVariableName) return undo(kVarNameIsFunctionName);
            slot = ge.slot;
        } else {
            int ng = 0;
            if (Rc rc = frontend::newGlobalVariable(ft, in.ws, name, &ng); rc.failed()) return undo(rc);
            slot = ft.globals[static_cast<std::size_t>(ng)].slot;
        }
        if (Rc rc = push(in, e, slot); rc.failed()) return undo(rc);
    }
    int count = r.headerLast - r.headerFirst + 1;
    if (in.ws.lastGlobalSlot >= in.ws.lowestLocalSlot - count) return undo(kTableFull);
    if (scope.top + count >= static_cast<int>(scope.bindings.size())) return undo(stackFull(in));
    // Room was checked for all of them at once: each header name is bound
    // as push() would bind it, to a fresh unset slot.
    ValueDescriptor unset;
    unset.rank = -1;
    frontend::ScopeBinding* bindings = scope.bindings.data();
    std::int32_t* shadowed = in.shadowedSlots.data();
    for (int e = r.headerFirst; e <= r.headerLast; ++e) {
        const int slot = --in.ws.lowestLocalSlot;
        in.ws.vars[static_cast<std::size_t>(slot)] = unset;
        const auto top = static_cast<std::size_t>(++scope.top);
        bindings[top] = ScopeBinding{e, slot};
        int& bound = entrySlot(in, e);
        shadowed[top] = bound;
        bound = slot;
    }
    in.frames.push_back(CallFrame{fn, boundary, in.ws.lowestLocalSlot, count, depth});
    if (df.ioEntry < 0 && df.rlEntry < 0) return kOk;
    // A local []IO starts out as the origin in force, a local []RL as the
    // []RL in force, so that roll and deal work before either is assigned.
    const std::pair<int, int> inherited[] = {{df.ioEntry, cx.ioSlot}, {df.rlEntry, rlInForce}};
    for (auto [entry, from] : inherited) {
        if (entry < 0) continue;
        if (Rc rc = values::assignValue(in.ws, entrySlot(in, entry), varRef(from)); rc.failed()) {
            popFrame(in);
            return rc;
        }
        in.ws.releasePending();
    }
    return kOk;
}

// Binds an argument to its names: one name takes the value, a list of names
// takes the items of a General vector of that length.
Rc bind(Interpreter& in, const std::vector<int>& entries, bool isList, ValueRef value) {
    if (entries.empty() || value == kNoValue) return kOk;
    if (!isList) {
        const int slot = entrySlot(in, entries[0]);
        if (values::assignScalarInPlace(in.ws, slot, value)) return kOk;
        WOX_TRY(values::assignValue(in.ws, slot, value));
        in.ws.releasePending();
        return kOk;
    }
    const ValueDescriptor& v = in.ws.at(value);
    if (v.type != kGeneral || v.rank != 1 || v.count != static_cast<std::int32_t>(entries.size()))
        return kArgumentMismatch;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        WOX_TRY(values::assignItem(in.ws, entrySlot(in, entries[i]), value, static_cast<int>(i)));
        in.ws.releasePending();
    }
    return kOk;
}

// Where a branch goes: the next line, or 0 to end the function.
Rc branchTarget(Interpreter& in, ValueRef v, int line, int* next) {
    ValueDescriptor d = in.ws.at(v);
    if (d.unset()) return kValueError;
    if (d.type == kChar) {
        std::string text = "\r\n";
        if (d.count > 0) text.append(in.ws.elems<char>(d), static_cast<std::size_t>(d.count));
        in.write(text);
        return kCharacterBranch;
    }
    if (d.count == 0 && d.type <= kFloat) {
        *next = line + 1;  // an empty branch, as from ->(c)/L with c false, goes on
        return kOk;
    }
    if (d.type == kFloat) {
        // Narrow a copy of the descriptor: an inline Float that holds an integer.
        if (d.rank <= 1 && d.count == 1) {
            double x = inlineFloat(d);
            if (!values::fitsInteger(x)) return kTypeError;
            d.type = kInteger;
            setInlineInt(d, values::toIntegerElement(x));
        } else {
            return kBranchRestrictions;
        }
    }
    if (d.type != kBoolean && d.type != kInteger) return kTypeError;
    if (d.rank > 1 || d.count != 1) return kBranchRestrictions;
    std::int32_t target = *in.ws.elems<std::int32_t>(d);
    *next = target < 0 ? line + 1 : target;
    return kOk;
}

Rc runLines(Interpreter& in, EvalContext& body, int fn, int depth) {
    const DefinedFunction& df = in.functions.definitions[static_cast<std::size_t>(fn)];
    LineRing ring{LineRing::Unfilled{}};
    const auto count = static_cast<unsigned>(df.lines.size());
    std::uint32_t mark = in.ws.stackTop;
    // The innermost failing call records where it failed.
    auto failed = [&](Rc rc, int line) {
        ErrorTrace& t = in.errors.trace;
        if (!t.recorded) {
            t.record(fn, line, ring);
            t.name = df.text.name;
            const frontend::ShownLine shown =
                frontend::shownLine(df.text, line, in.errors.positionDepth == depth ? in.errors.position : 0);
            t.lineText = shown.text;
            t.position = shown.column;
        }
        return rc;
    };
    // The call-trace table has a fixed size: its entry stays put.
    CallTraceEntry& traced = in.errors.callTrace[static_cast<std::size_t>(depth)];
    const frontend::BodyLine* lines = df.lines.data();
    // Every line starts from the body's context; lines change only its
    // temporary counter, which is set back before each.
    EvalContext cx = body;
    int line = 1;
    while (static_cast<unsigned>(line - 1) < count) {  // 1 <= line <= count
        // The line is entered before the interrupt is taken, so that the
        // state indicator shows the line the report names.
        traced.line = line;
        ring.push(line);
        if (in.interruptRequested.load(std::memory_order_relaxed)) {
            in.interruptRequested.store(false);
            return failed(in.fail(kInterrupted), line);
        }
        const frontend::BodyLine& bl = lines[line - 1];
        if (bl.first < 0) {
            ++line;
            continue;
        }
        const bool timing = in.errors.lineTiming;
        in.ws.stackTop = mark;
        if (bl.shape == frontend::LineShape::kJump && !timing) {
            // The jump back of a loop: nothing to evaluate, time or show.
            line = bl.target < 0 ? line + 1 : bl.target;
            continue;
        }
        // Between lines no routine holds a descriptor of its own, and only
        // the callers' temporaries are in use.
        if (in.ws.dimRunsGatherDue()) (void)in.ws.gatherDimRuns(body.temp);
        std::int64_t started = timing ? processClockMs() : 0;
        ValueRef v = kNoValue;
        int next = line + 1;
        Rc rc = kOk;
        switch (bl.shape) {
            case frontend::LineShape::kJump:
                next = bl.target < 0 ? line + 1 : bl.target;
                break;
            case frontend::LineShape::kBranchUnless:
            case frontend::LineShape::kBranchIf: {
                cx.temp = body.temp;
                int taken = 0;
                rc = evaluateConditionalBranch(in, cx, bl, &taken, &v);
                if (rc.ok() && v == kNoValue && taken && bl.target >= 0) next = bl.target;
                break;
            }
            case frontend::LineShape::kPlain: {
                cx.temp = body.temp;
                rc = evaluateLine(in, cx, bl, &v);
                break;
            }
        }
        // The lines of a loop leave nothing to time, show or branch on: a
        // branch decided without a value, or a pair or call line, which
        // assigns.
        if (rc.ok() && !timing &&
            (v == kNoValue ? !bl.branch || bl.shape != frontend::LineShape::kPlain
                           : !bl.branch && (bl.pairOp >= 0 || bl.callOp >= 0))) {
            line = next;
            continue;
        }
        if (timing) {
            char buf[96];
            std::snprintf(buf, sizeof buf, "\r\nin func. [%8s] line [%3d] : %3lld ms", df.text.name.c_str(), line,
                          static_cast<long long>(processClockMs() - started));
            in.write(buf);
        }
        if (rc.ok() && v == kNoValue && bl.branch && bl.shape == frontend::LineShape::kPlain) {
            // ->f x with an f that returns nothing: there is no line to go to.
            rc = in.failAt(kNoReturnValue, in.front.nodes[static_cast<std::size_t>(bl.last)].pos);
        }
        if (rc.ok() && v != kNoValue) {
            if (bl.branch) {
                rc = branchTarget(in, v, line, &next);
                if (rc.failed()) rc = in.failAt(rc.code, in.front.nodes[static_cast<std::size_t>(bl.last)].pos);
            } else if (bl.pairOp < 0 && showsValue(in, bl.last, v)) {  // a pair line assigns
                rc = display::displayValue(in, in.displayState, v);
                if (rc.failed()) rc = in.fail(rc.code);
            }
        }
        if (rc.failed()) return failed(rc, line);
        line = next;
    }
    return kOk;
}

// A call of a leaf pair body (DefinedFunction::leafLeft, leafRight) with two
// single numbers: f's routine writes the result straight into the caller's
// next temporary. Binding the names, running the line and copying z out
// leave just that behind, and nothing can look in between: the routine
// neither fails nor calls out. False, having done nothing, when the
// ordinary road would go otherwise (no room to bind or for temporaries, a
// release pending, line timing, an interrupt to take), so that road runs.
bool callLeafPair(Interpreter& in, EvalContext& cx, int fn, const DefinedFunction& df, int depth, ValueRef left,
                  ValueRef right, ValueRef* result) {
    using Leaf = DefinedFunction::LeafOperand;
    auto operand = [&](const Leaf& o) {
        return o.from == Leaf::kConstant ? o.constant : o.from == Leaf::kRightArgument ? right : left;
    };
    const ValueRef a = operand(df.leafLeft), b = operand(df.leafRight);
    primitives::SinglePair p;
    if (a == kNoValue || b == kNoValue || !primitives::readSinglePair(in.ws, a, b, p)) return false;
    const frontend::FunctionRecord& r = in.functions.records[static_cast<std::size_t>(fn)];
    const int count = r.headerLast - r.headerFirst + 1;
    // The callee's line would take the temporary after this one.
    const int t = followingTemp(cx.temp);
    if (followingTemp(t) > kLastTemp || in.scope.top + 1 + count >= static_cast<int>(in.scope.bindings.size()) ||
        in.ws.lastGlobalSlot >= in.ws.lowestLocalSlot - count || in.ws.hasPending() || in.errors.lineTiming ||
        in.interruptRequested.load(std::memory_order_relaxed))
        return false;
    df.lines[0].pairSingle(in.ws, t, p);
    cx.temp = t;
    in.errors.callTrace[static_cast<std::size_t>(depth)] = CallTraceEntry{fn, 1};
    *result = varRef(t);
    return true;
}

}  // namespace

Rc callDefined(Interpreter& in, EvalContext& cx, int fn, ValueRef left, ValueRef right, ValueRef* result) {
    *result = kNoValue;
    if (fn < kKeywordFunctions) return callKeyword(in, cx, fn, left, right, result);
    const DefinedFunction* df = frontend::definedFunction(in.functions, fn);
    if (!df) return kValueError;
    const frontend::FunctionRecord& rec = in.functions.records[static_cast<std::size_t>(fn)];
    if (left != kNoValue && rec.valence < 2) return kValenceMismatch;
    if (right == kNoValue && rec.valence >= 1) return kValenceMismatch;
    int depth = in.errors.depth + 1;
    if (depth >= static_cast<int>(in.errors.callTrace.size())) return stackFull(in);
    in.errors.callTrace[static_cast<std::size_t>(depth)] = CallTraceEntry{fn, 0};

    if (!rec.translated) {
        int line = 0, pos = 0;
        if (Rc rc = frontend::translateFunction(in.frontEnd(), fn, &line, &pos); rc.failed()) {
            ErrorTrace& t = in.errors.trace;
            if (!t.recorded && line > 0) {
                LineRing ring;
                ring.push(line);
                t.record(fn, line, ring);
                t.name = df->text.name;
                const frontend::ShownLine shown = frontend::shownLine(df->text, line, pos);
                t.lineText = shown.text;
                t.position = shown.column;
            }
            return rc;
        }
    }
    if (df->leafRight.from != DefinedFunction::LeafOperand::kNone &&
        callLeafPair(in, cx, fn, *df, depth, left, right, result))
        return kOk;
    const std::size_t callsBelow = in.frames.size();
    WOX_TRY(enterFrame(in, fn, *df, depth, cx));
    in.errors.depth = depth;
    auto leave = [&] {
        popFrame(in);
        in.errors.depth = depth - 1;
    };
    // One right argument name and a single element, as most calls have:
    // bound in place, else by bind().
    if (right != kNoValue && !(df->rightEntries.size() == 1 && !df->header.rightIsList &&
                               values::assignScalarInPlace(in.ws, entrySlot(in, df->rightEntries[0]), right))) {
        if (Rc rc = bind(in, df->rightEntries, df->header.rightIsList, right); rc.failed()) {
            leave();
            return rc;
        }
    }
    if (left != kNoValue) {
        if (Rc rc = bind(in, df->leftEntries, df->header.leftIsList, left); rc.failed()) {
            leave();
            return rc;
        }
    }
    EvalContext body;
    body.function = fn;
    body.stackMark = in.ws.stackTop;
    body.temp = followingTemp(cx.temp);
    body.ioSlot = df->ioEntry >= 0 ? entrySlot(in, df->ioEntry) : cx.ioSlot;
    // An error leaves the frame in place: the call is suspended. A failed
    // statement of the query library is the exception: it leaves the
    // library's calls at once, as "->" would, since nobody resumes them
    // and each would keep its room on the stacks.
    if (Rc rc = runLines(in, body, fn, depth); rc.failed()) {
        if (isLibraryStatement(in, fn)) {
            leaveCallsAbove(in, callsBelow);
            in.errors.depth = depth - 1;
        }
        return rc;
    }
    if (df->resultEntry >= 0) {
        int slot = entrySlot(in, df->resultEntry);
        if (!in.ws.var(slot).unset()) {
            int t;
            if (Rc rc = nextTemp(cx, &t); rc.failed()) {
                leave();
                return rc;
            }
            if (Rc rc = values::copyToTemp(in.ws, t, varRef(slot)); rc.failed()) {
                leave();
                return rc;
            }
            *result = varRef(t);
        }
    }
    leave();
    return kOk;
}

void leaveSuspended(Interpreter& in) {
    if (in.frames.empty()) return;
    // Calls of the query library are passed over: they go with the call or
    // the session line below them.
    while (isLibraryFunction(in, in.frames.back().function)) {
        const int depth = in.frames.back().depth;
        popFrame(in);
        in.errors.depth = depth - 1;
        if (depth > 0 && in.errors.callTrace[static_cast<std::size_t>(depth - 1)].function == kSessionLevel) {
            in.errors.depth = depth - 2;
            return;
        }
        if (in.frames.empty()) return;
    }
    int depth = in.frames.back().depth;
    popFrame(in);
    in.errors.depth = depth - 1;
    // The session line that began the call goes with it.
    if (depth > 0 && in.errors.callTrace[static_cast<std::size_t>(depth - 1)].function == kSessionLevel)
        in.errors.depth = depth - 2;
}

void leaveCallsAbove(Interpreter& in, std::size_t keep) {
    while (in.frames.size() > keep) popFrame(in);
}

void leaveAllSuspended(Interpreter& in) {
    leaveCallsAbove(in, 0);
    in.errors.depth = -1;
}

}  // namespace wox::engine
