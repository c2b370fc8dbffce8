// The line walk. A chain is walked from its rightmost node to its left end
// with one current value; nested chains (groups, list items, left operands,
// index expressions) are recursive entries with their own temporaries, whose
// temporary results are copied into the caller's next temporary so that the
// caller's later work cannot overwrite them.
#include "engine/evaluator.h"

#include <array>
#include <span>
#include <vector>

#include "display/value_display.h"
#include "engine/dispatch.h"
#include "engine/each.h"
#include "engine/execute_text.h"
#include "engine/function_call.h"
#include "frontend/front_tables.h"
#include "primitives/indexing.h"
#include "primitives/operators.h"
#include "primitives/scalar_seams.h"
#include "vocabulary/primitive_table.h"
#include "primitives/single_scalars.h"
#include "primitives/structural.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::engine {

namespace {

using frontend::FunctionEntry;
using frontend::ParseNode;
namespace code = vocabulary::code;

bool isTemp(int slot) {
    return (slot >= kFirstTemp && slot <= kLastFirstSeriesTemp) || slot >= kSecondSeriesTemp;
}

bool isTempRef(ValueRef r) { return r < 0 && isTemp(-r); }

// Whether a dyadic scalar function or comparison meets two dictionaries.
bool pairsDictionaries(const Interpreter& in, int code, ValueRef left, ValueRef right) {
    if (in.ws.at(left).type != kDictionary || in.ws.at(right).type != kDictionary) return false;
    const vocabulary::Family f = vocabulary::dyadicFamily(code);
    return f == vocabulary::Family::ScalarDyadic || f == vocabulary::Family::Comparison;
}

// A name of a function body reads the slot its entry is bound to in the
// running call; other names carry their slot.
int slotOf(const Interpreter& in, const ParseNode& n) {
    return n.local >= 0 ? in.front.locals[static_cast<std::size_t>(n.local)].slot : n.operand;
}

// Evaluates a chain of more than a lone constant or variable as a
// recursive entry (see nested).
Rc nestedChain(Interpreter& in, EvalContext& cx, int first, int pos, ValueRef* out) {
    EvalContext child = cx;
    child.stackMark = in.ws.stackTop;
    child.temp = followingTemp(cx.temp);
    ValueRef r = kNoValue;
    WOX_TRY(evaluate(in, child, first, &r));
    if (r == kNoValue) return in.failAt(kValueError, pos);
    if (isTempRef(r)) {
        int t;
        WOX_TRY(nextTemp(cx, &t));
        if (Rc rc = values::copyToTemp(in.ws, t, r); rc.failed()) return in.failAt(rc.code, pos);
        r = varRef(t);
    }
    *out = r;
    return kOk;
}

// Evaluates a nested chain as a recursive entry and hands back a value that
// the caller's later temporaries cannot disturb. A lone constant or variable,
// as most left arguments are, is used in place without an entry.
inline Rc nested(Interpreter& in, EvalContext& cx, int first, int pos, ValueRef* out) {
    const ParseNode& head = in.front.nodes[static_cast<std::size_t>(first)];
    if (head.next == -1) {
        if (head.kind == frontend::kConstNode) {
            *out = head.operand;
            return kOk;
        }
        if (head.kind == frontend::kVarNode) {
            int slot = slotOf(in, head);
            if (in.ws.var(slot).unset()) return in.failAt(kValueError, head.pos);
            *out = varRef(slot);
            return kOk;
        }
    }
    return nestedChain(in, cx, first, pos, out);
}

// (a;b;c): items evaluated right to left into a General vector.
Rc buildList(Interpreter& in, EvalContext& cx, const ParseNode& node, ValueRef* out) {
    int g;
    WOX_TRY(nextTemp(cx, &g));
    if (Rc rc = in.ws.allocTemp(g, kGeneral, node.count); rc.failed()) return in.failAt(rc.code, node.pos);
    ValueDescriptor& d = in.ws.var(g);
    d.type = kGeneral;
    d.rank = 1;
    d.count = node.count;
    d.shape0 = node.count;
    for (int i = node.count - 1; i >= 0; --i) {
        int first = in.front.lists[static_cast<std::size_t>(node.list + i)];
        ValueRef item = kNoValue;
        EvalContext child = cx;  // item temporaries stay clear of the list's slot
        WOX_TRY(nested(in, child, first, node.pos, &item));
        std::uint32_t at = in.ws.var(g).data + 32u * static_cast<std::uint32_t>(i);
        if (Rc rc = values::copyIntoTempItem(in.ws, at, item); rc.failed()) return in.failAt(rc.code, node.pos);
    }
    *out = varRef(g);
    return kOk;
}

// The index expressions of a bracket list, evaluated right to left; a left
// out index is kOmittedIndex.
class IndexValues {
public:
    Rc evaluate(Interpreter& in, EvalContext& cx, const ParseNode& node) {
        const auto n = static_cast<std::size_t>(node.count);
        if (n > kInline) more_.resize(n);
        refs_ = n > kInline ? more_.data() : fixed_;
        n_ = n;
        for (std::size_t i = n; i-- > 0;) {
            int first = in.front.lists[static_cast<std::size_t>(node.list) + i];
            refs_[i] = primitives::kOmittedIndex;
            if (first >= 0) WOX_TRY(nested(in, cx, first, node.pos, &refs_[i]));
        }
        return kOk;
    }
    std::span<ValueRef> refs() { return {refs_, n_}; }

private:
    static constexpr std::size_t kInline = 8;
    ValueRef fixed_[kInline] = {};
    std::vector<ValueRef> more_;
    ValueRef* refs_ = fixed_;
    std::size_t n_ = 0;
};

Rc indexOriginAt(Interpreter& in, const EvalContext& cx, int pos, int* io) {
    if (Rc rc = primitives::indexOrigin(in.ws, varRef(cx.ioSlot), io); rc.failed()) return in.failAt(rc.code, pos);
    return kOk;
}

// x[i;j]: the current value indexed.
Rc indexValue(Interpreter& in, EvalContext& cx, const ParseNode& node, ValueRef* cur) {
    IndexValues ix;
    WOX_TRY(ix.evaluate(in, cx, node));
    int io = 0;
    WOX_TRY(indexOriginAt(in, cx, node.pos, &io));
    int t;
    if (Rc rc = nextTemp(cx, &t); rc.failed()) return in.failAt(rc.code, node.pos);
    if (Rc rc = primitives::index(in, t, *cur, ix.refs(), io); rc.failed()) return in.failAt(rc.code, node.pos);
    *cur = varRef(t);
    return kOk;
}

// x[i;j]<-v. The current value v stays current.
Rc indexedAssign(Interpreter& in, EvalContext& cx, const ParseNode& node, ValueRef cur) {
    const int slot = slotOf(in, node);
    if (in.ws.var(slot).unset()) return in.failAt(kValueError, node.pos);
    IndexValues ix;
    WOX_TRY(ix.evaluate(in, cx, node));
    int io = 0;
    WOX_TRY(indexOriginAt(in, cx, node.pos, &io));
    // The variable is rewritten in place, so what it stores must not be
    // read from it (x[x]<-x): such an argument is copied first.
    auto detach = [&](ValueRef& r) -> Rc {
        if (r != varRef(slot)) return kOk;
        int t;
        WOX_TRY(nextTemp(cx, &t));
        WOX_TRY(values::copyToTemp(in.ws, t, r));
        r = varRef(t);
        return kOk;
    };
    if (Rc rc = detach(cur); rc.failed()) return in.failAt(rc.code, node.pos);
    for (ValueRef& r : ix.refs())
        if (Rc rc = detach(r); rc.failed()) return in.failAt(rc.code, node.pos);
    int scratch;
    if (Rc rc = nextTemp(cx, &scratch); rc.failed()) return in.failAt(rc.code, node.pos);
    if (Rc rc = primitives::indexedAssign(in, slot, scratch, cur, ix.refs(), io); rc.failed())
        return in.failAt(rc.code, node.pos);
    in.ws.releasePending();
    return kOk;
}

Rc assign(Interpreter& in, EvalContext& cx, const ParseNode& node, ValueRef cur) {
    int slot = slotOf(in, node);
    if (slot == kOutSlot || slot == kOutOpenSlot) {
        if (Rc rc = display::displayValue(in, in.displayState, cur, slot == kOutOpenSlot); rc.failed())
            return in.failAt(rc.code, node.pos);
        return kOk;
    }
    if (!values::assignScalarInPlace(in.ws, slot, cur)) {
        if (Rc rc = values::assignValue(in.ws, slot, cur); rc.failed()) return in.failAt(rc.code, node.pos);
        in.ws.releasePending();
    }
    if (!isTemp(slot)) in.ws.stackTop = cx.stackMark;
    return kOk;
}

// v<-cur, after which v is the current value; the output names leave the
// value they show current.
Rc assignCurrent(Interpreter& in, EvalContext& cx, const ParseNode& node, ValueRef* cur) {
    if (const int slot = slotOf(in, node);
        slot != kOutSlot && slot != kOutOpenSlot && values::assignScalarInPlace(in.ws, slot, *cur)) {
        // A loop's counter or a call's result: assign() without its call.
        if (!isTemp(slot)) in.ws.stackTop = cx.stackMark;
        *cur = varRef(slot);
        return kOk;
    }
    WOX_TRY(assign(in, cx, node, *cur));
    if (node.local >= 0 || (node.operand != kOutSlot && node.operand != kOutOpenSlot)) *cur = varRef(slotOf(in, node));
    return kOk;
}

// (a;b)<-v: the items of a General vector to the names, in order.
Rc multiAssign(Interpreter& in, EvalContext& cx, const ParseNode& node, ValueRef cur) {
    const ValueDescriptor& v = in.ws.at(cur);
    if (v.type != kGeneral || v.rank != 1) return in.failAt(kDomainError, node.pos);
    if (v.count != node.count) return in.failAt(kLengthError, node.pos);
    if (!isTempRef(cur)) {
        // (a;b)<-a would replace a's block while its items are still read.
        int t;
        if (Rc rc = nextTemp(cx, &t); rc.failed()) return in.failAt(rc.code, node.pos);
        if (Rc rc = values::copyToTemp(in.ws, t, cur); rc.failed()) return in.failAt(rc.code, node.pos);
        cur = varRef(t);
    }
    for (int i = 0; i < node.count; ++i) {
        int z = in.front.lists[static_cast<std::size_t>(node.list + i)];
        const ParseNode& target = in.front.nodes[static_cast<std::size_t>(z)];
        if (Rc rc = values::assignItem(in.ws, slotOf(in, target), cur, i); rc.failed())
            return in.failAt(rc.code, target.pos);
        in.ws.releasePending();
    }
    return kOk;
}

bool isNiladic(const Interpreter& in, const FunctionEntry& e) {
    if (e.kind == frontend::kPrimitiveFn) return vocabulary::isNiladicSystemFunction(e.monadic);
    return in.functions.records[static_cast<std::size_t>(e.monadic)].valence == 0;
}

// x f:g &.y: the transpose of a matrix y is left unbuilt when the next node
// is an inner product that will read y along its second axis instead. Only
// when evaluating x cannot change y: y is no variable, or x is one name or
// constant.
bool feedsInnerProduct(const Interpreter& in, const ParseNode& node, ValueRef cur) {
    if (node.next == -1 || cur == kNoValue) return false;
    const ValueDescriptor& y = in.ws.at(cur);
    if (y.rank != 2 || !(y.type <= kFloat || y.type == kChar)) return false;
    const ParseNode& next = in.front.nodes[static_cast<std::size_t>(node.next)];
    if (next.kind != frontend::kCallNode || next.list >= 0) return false;
    const FunctionEntry& e = in.front.entries[static_cast<std::size_t>(next.operand)];
    if (e.kind != frontend::kPrimitiveFn || e.left < 0) return false;
    if (vocabulary::dyadicFamily(e.dyadic) != vocabulary::Family::InnerProduct) return false;
    if (cur < 0 && !isTempRef(cur)) {
        const ParseNode& head = in.front.nodes[static_cast<std::size_t>(e.left)];
        return head.next == -1 && (head.kind == frontend::kConstNode || head.kind == frontend::kVarNode);
    }
    return true;
}

// A lone name or constant as a value in place; kNoValue for an unset name.
ValueRef loneValue(Interpreter& in, const ParseNode& n) {
    if (n.kind == frontend::kConstNode) return n.operand;
    const int slot = slotOf(in, n);
    return in.ws.var(slot).unset() ? kNoValue : varRef(slot);
}

// a f b of a line's pair (BodyLine::pairOp): whether a and b are single
// real numbers, for f's single routine (pairSingle); if so p holds them.
// Otherwise the caller walks the chain, which also reports an unset name
// with its caret.
bool readSinglePairOf(Interpreter& in, const frontend::BodyLine& line, primitives::SinglePair& p) {
    const ParseNode* nodes = in.front.nodes.data();
    // Each operand's descriptor in place: a constant's, or a name's when set.
    // The tables are read once; nothing here writes to them.
    const frontend::NameEntry* locals = in.front.locals.data();
    const ValueDescriptor* vars = in.ws.vars.data();
    const ValueDescriptor* consts = in.ws.consts.data();
    auto operand = [&](const ParseNode& n) -> const ValueDescriptor* {
        if (n.kind == frontend::kConstNode) return &consts[n.operand];
        const ValueDescriptor& d = vars[n.local >= 0 ? locals[n.local].slot : n.operand];
        return d.unset() ? nullptr : &d;
    };
    const ValueDescriptor* r = operand(nodes[line.pairFirst]);
    const ValueDescriptor* l = operand(nodes[line.pairLeft]);
    return r && l && primitives::readSinglePair(*l, *r, p);
}

// a f b of a line's pair, its result in the next temporary; false, having
// done nothing, when readSinglePairOf says no or no temporary is left.
bool runSinglePair(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, ValueRef* out) {
    primitives::SinglePair p;
    int t;
    if (!readSinglePairOf(in, line, p) || nextTemp(cx, &t).failed()) return false;
    line.pairSingle(in.ws, t, p);
    *out = varRef(t);
    return true;
}

Rc apply(Interpreter& in, EvalContext& cx, const ParseNode& node, ValueRef* cur, int missing, bool* transposed) {
    // Entries are never rewritten while a line runs (translation only adds).
    const FunctionEntry& e = in.front.entries[static_cast<std::size_t>(node.operand)];
    bool niladic = *cur == kNoValue && isNiladic(in, e);
    if (*cur == kNoValue && !niladic) return in.failAt(missing, node.pos);
    ValueRef left = kNoValue;
    if (e.left >= 0) WOX_TRY(nested(in, cx, e.left, node.pos, &left));
    if (left != kNoValue && *cur != kNoValue && e.kind == frontend::kPrimitiveFn && !*transposed) {
        // A loop's counters and tests: two single numbers need neither
        // dispatch nor an argument digest.
        primitives::SinglePair p;
        if (primitives::SingleDyadic single = primitives::singleDyadic(e.dyadic);
            single && primitives::readSinglePair(in.ws, left, *cur, p)) {
            int t;
            if (Rc rc = nextTemp(cx, &t); rc.failed()) return in.failAt(rc.code, node.pos);
            single(in.ws, t, p);
            *cur = varRef(t);
            return kOk;
        }
    }
    if (e.kind == frontend::kDefinedFn) {
        ValueRef r = kNoValue;
        if (Rc rc = callDefined(in, cx, e.monadic, left, niladic ? kNoValue : *cur, &r); rc.failed())
            return in.failAt(rc.code, node.pos);
        *cur = r;
        return kOk;
    }
    if (e.monadic == code::kEach) {
        if (node.list < 0) return in.failAt(kSyntaxError, node.pos);
        const FunctionEntry f = in.front.entries[static_cast<std::size_t>(node.list)];
        int t;
        if (Rc rc = nextTemp(cx, &t); rc.failed()) return in.failAt(rc.code, node.pos);
        Rc rc = left != kNoValue ? eachDyadic(in, cx, f, t, left, *cur) : eachMonadic(in, cx, f, t, *cur);
        if (rc.failed()) return in.failAt(rc.code, node.pos);
        *cur = varRef(t);
        return kOk;
    }
    if (left == kNoValue && e.monadic == code::kTranspose && feedsInnerProduct(in, node, *cur)) {
        *transposed = true;
        return kOk;
    }
    int t;
    if (Rc rc = nextTemp(cx, &t); rc.failed()) return in.failAt(rc.code, node.pos);
    if (*transposed) {
        *transposed = false;
        if (Rc rc = primitives::innerProduct(in, e.dyadic, t, left, *cur, true); rc.failed())
            return in.failAt(rc.code, node.pos);
        *cur = varRef(t);
        return kOk;
    }
    if (left == kNoValue && e.monadic == code::kExecute) {
        // Execute runs in this context, so it is not an ordinary primitive.
        if (Rc rc = executeText(in, cx, *cur, t, cur); rc.failed()) return in.failAt(rc.code, node.pos);
        return kOk;
    }
    if (left != kNoValue && pairsDictionaries(in, e.dyadic, left, *cur)) {
        // Two dictionaries meet key by key, which takes a temporary more.
        int scratch;
        if (Rc rc = nextTemp(cx, &scratch); rc.failed()) return in.failAt(rc.code, node.pos);
        if (Rc rc = primitives::dictionaryPair(in, e.dyadic, t, scratch, left, *cur); rc.failed())
            return in.failAt(rc.code, node.pos);
        *cur = varRef(t);
        return kOk;
    }
    Rc rc = left != kNoValue ? dispatchDyadic(in, e.dyadic, t, left, *cur)
                             : dispatchMonadic(in, e.monadic, t, niladic ? kNoValue : *cur);
    if (rc.failed()) return in.failAt(rc.code, node.pos);
    *cur = varRef(t);
    return kOk;
}

// Whether a node applies the monadic shape primitive.
bool isMonadicShape(const Interpreter& in, const ParseNode& node) {
    if (node.kind != frontend::kCallNode || node.list >= 0) return false;
    const FunctionEntry& e = in.front.entries[static_cast<std::size_t>(node.operand)];
    return e.kind == frontend::kPrimitiveFn && e.left < 0 && e.monadic == code::kShape;
}

// ##y is the rank of y as a one-element vector: the inner shape is never
// built. Returns the outer node, or -1 when `node` does not start a ##.
int shapeOfShape(const Interpreter& in, const ParseNode& node) {
    if (node.next < 0 || !isMonadicShape(in, node)) return -1;
    return isMonadicShape(in, in.front.nodes[static_cast<std::size_t>(node.next)]) ? node.next : -1;
}

Rc applyRank(Interpreter& in, EvalContext& cx, const ParseNode& outer, ValueRef* cur) {
    int t;
    if (Rc rc = nextTemp(cx, &t); rc.failed()) return in.failAt(rc.code, outer.pos);
    if (Rc rc = primitives::rankOf(in, t, *cur); rc.failed()) return in.failAt(rc.code, outer.pos);
    *cur = varRef(t);
    return kOk;
}

}  // namespace

bool showsValue(const Interpreter& in, int last, ValueRef value) {
    if (value == kNoValue || last < 0) return false;
    const ParseNode& n = in.front.nodes[static_cast<std::size_t>(last)];
    if (n.kind == frontend::kAssignNode || n.kind == frontend::kMultiAssignNode) return false;
    if (n.kind == frontend::kCallNode) {
        const FunctionEntry& e = in.front.entries[static_cast<std::size_t>(n.operand)];
        if (e.kind == frontend::kPrimitiveFn && e.monadic == code::kExecute && e.left < 0) return in.displayAll;
    }
    return true;
}


namespace {

// The state of a walk along a chain: the current value and what a missing
// value is when the next node needs one.
struct Walk {
    ValueRef cur = kNoValue;
    bool transposed = false;    // cur stands for its transpose (see feedsInnerProduct)
    int missing = kValueError;  // 47 after a call without result
};

// Walks the chain from `first` up to (not including) `stop`, -1 for its end.
Rc walk(Interpreter& in, EvalContext& cx, int first, int stop, Walk& w) {
    ValueRef& cur = w.cur;
    for (int n = first; n != stop;) {
        if (in.interruptRequested.load(std::memory_order_relaxed)) {
            in.interruptRequested.store(false);
            return in.failAt(kInterrupted, in.front.nodes[static_cast<std::size_t>(n)].pos);
        }
        // Nodes are never rewritten while a line runs (translation only adds).
        const ParseNode& node = in.front.nodes[static_cast<std::size_t>(n)];
        switch (node.kind) {
            case frontend::kConstNode:
                cur = node.operand;
                break;
            case frontend::kVarNode: {
                int slot = slotOf(in, node);
                if (in.ws.var(slot).unset()) return in.failAt(kValueError, node.pos);
                cur = varRef(slot);
                break;
            }
            case frontend::kGroupNode:
                WOX_TRY(nested(in, cx, node.list, node.pos, &cur));
                break;
            case frontend::kListNode:
                WOX_TRY(buildList(in, cx, node, &cur));
                break;
            case frontend::kIndexNode:
                if (cur == kNoValue) return in.failAt(w.missing, node.pos);
                WOX_TRY(indexValue(in, cx, node, &cur));
                break;
            case frontend::kAssignNode:
                if (cur == kNoValue) return in.failAt(w.missing, node.pos);
                if (node.list >= 0) {
                    WOX_TRY(indexedAssign(in, cx, node, cur));
                    break;
                }
                WOX_TRY(assignCurrent(in, cx, node, &cur));
                break;
            case frontend::kMultiAssignNode:
                if (cur == kNoValue) return in.failAt(w.missing, node.pos);
                WOX_TRY(multiAssign(in, cx, node, cur));
                break;
            case frontend::kCallNode:
                if (int outer = shapeOfShape(in, node); outer >= 0 && cur != kNoValue) {
                    const ParseNode& o = in.front.nodes[static_cast<std::size_t>(outer)];
                    WOX_TRY(applyRank(in, cx, o, &cur));
                    w.missing = kValueError;
                    n = o.next;
                    continue;
                }
                WOX_TRY(apply(in, cx, node, &cur, w.missing, &w.transposed));
                w.missing = cur == kNoValue ? kNoReturnValue : kValueError;
                break;
            default:
                return in.failAt(kSyntaxError, node.pos);
        }
        n = node.next;
    }
    return kOk;
}

}  // namespace

Rc evaluate(Interpreter& in, EvalContext& cx, int first, ValueRef* result) {
    Walk w;
    WOX_TRY(walk(in, cx, first, -1, w));
    *result = w.cur;
    return kOk;
}

Rc evaluatePairLine(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, ValueRef* result) {
    const primitives::SingleDyadic single = line.pairSingle;
    primitives::SinglePair p;
    int t;
    if (readSinglePairOf(in, line, p) && nextTemp(cx, &t).ok()) {
        const ParseNode& z = in.front.nodes[static_cast<std::size_t>(in.front.nodes[static_cast<std::size_t>(line.pairOp)].next)];
        const int slot = slotOf(in, z);
        ValueDescriptor& v = in.ws.var(slot);
        if (slot != kOutSlot && slot != kOutOpenSlot && !isTemp(slot) && !in.ws.isOwnedBlock(v) &&
            !in.ws.hasPending()) {
            // What assigning the single result would do (assignScalarInPlace):
            // the variable holds no block, so the result is written straight
            // into it, its operands having been read already.
            single(in.ws, slot, p);
            in.ws.stackTop = cx.stackMark;
            *result = varRef(slot);
            return kOk;
        }
        single(in.ws, t, p);
        ValueRef cur = varRef(t);
        WOX_TRY(assignCurrent(in, cx, z, &cur));
        *result = cur;
        return kOk;
    }
    return evaluate(in, cx, line.first, result);
}

Rc evaluateCallLine(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, ValueRef* result) {
    // v<-f b: the call as apply() makes it, then the assignment, without
    // the walk. An unset b takes the walk, which reports it.
    const ParseNode& call = in.front.nodes[static_cast<std::size_t>(line.callOp)];
    const ValueRef right = loneValue(in, in.front.nodes[static_cast<std::size_t>(line.first)]);
    if (right == kNoValue) return evaluate(in, cx, line.first, result);
    const FunctionEntry& e = in.front.entries[static_cast<std::size_t>(call.operand)];
    ValueRef r = kNoValue;
    if (Rc rc = callDefined(in, cx, e.monadic, kNoValue, right, &r); rc.failed()) return in.failAt(rc.code, call.pos);
    const ParseNode& z = in.front.nodes[static_cast<std::size_t>(call.next)];
    if (r == kNoValue) return in.failAt(kNoReturnValue, z.pos);
    // A single result into a variable that holds no block, as assignCurrent()
    // would store it first; anything else through it.
    if (const int slot = slotOf(in, z);
        slot != kOutSlot && slot != kOutOpenSlot && !isTemp(slot) && values::assignScalarInPlace(in.ws, slot, r)) {
        in.ws.stackTop = cx.stackMark;
        *result = varRef(slot);
        return kOk;
    }
    WOX_TRY(assignCurrent(in, cx, z, &r));
    *result = r;
    return kOk;
}

Rc evaluateConditionalBranch(Interpreter& in, EvalContext& cx, const frontend::BodyLine& line, int* condition,
                             ValueRef* value) {
    *value = kNoValue;
    Walk w;
    if (line.pairOp < 0 || !runSinglePair(in, cx, line, &w.cur))
        WOX_TRY(walk(in, cx, line.condFirst, line.notNode, w));
    if (w.cur != kNoValue) {
        const ValueDescriptor& c = in.ws.at(w.cur);
        if ((c.type == kBoolean || c.type == kInteger) && isInline(c) && (inlineInt(c) == 0 || inlineInt(c) == 1)) {
            *condition = line.notNode >= 0 ? 1 - inlineInt(c) : inlineInt(c);
            return kOk;
        }
    }
    // Anything else takes the line's own road: ~c (for ->(~c)/L), then the
    // compress, in this context as the group's own entry would.
    if (line.notNode >= 0) WOX_TRY(walk(in, cx, line.notNode, -1, w));
    const ParseNode& compress = in.front.nodes[static_cast<std::size_t>(in.front.nodes[static_cast<std::size_t>(line.first)].next)];
    const FunctionEntry& e = in.front.entries[static_cast<std::size_t>(compress.operand)];
    if (w.cur == kNoValue) return in.failAt(kValueError, in.front.nodes[static_cast<std::size_t>(e.left)].pos);
    int t;
    if (Rc rc = nextTemp(cx, &t); rc.failed()) return in.failAt(rc.code, compress.pos);
    const ValueRef target = in.front.nodes[static_cast<std::size_t>(line.first)].operand;
    if (Rc rc = dispatchDyadic(in, e.dyadic, t, w.cur, target); rc.failed()) return in.failAt(rc.code, compress.pos);
    *value = varRef(t);
    return kOk;
}

}  // namespace wox::engine
