// Fuzz target for line translation: any bytes, as a session line, as a line
// of a function body, or as a session line while a call is active. Every
// translation must succeed or fail with a numbered error, and a successful
// one must be a sound structure: every chain ends, every index is inside
// its table. Small tables make every limit reachable; when one fills up the
// workspace is cleared, as a user would, and fuzzing goes on.
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>

#include "sandbox.h"
#include "engine/interpreter.h"
#include "engine/workspace_clear.h"
#include "frontend/builtin_names.h"
#include "frontend/front_tables.h"
#include "frontend/name_table.h"
#include "frontend/translator.h"
#include "values/messages.h"

namespace {

using namespace wox;
using namespace wox::frontend;

Capacities smallTables() {
    Capacities c;
    c.heapBytes = 8 << 20;
    c.constants = 96;
    c.globalNames = 64;
    c.localNames = 64;
    c.parseNodes = 512;
    c.functionEntries = 256;
    c.branches = 16;
    c.gList = 256;
    c.tailStore = 96;
    return c;
}

constexpr int kFunction = kFirstUserFunction;

// A function "f" with header z x [ ]IO and a label L3, and an active call
// that binds a local "y".
void setUp(Interpreter& in) {
    (void)engine::clearWorkspace(in);
    FrontTables& ft = in.front;
    int e = 0;
    (void)newGlobalFunction(in.frontEnd(), "f", &e);
    FunctionRecord& r = in.functions.records[kFunction];
    r.valence = 1;
    (void)newLocalName(ft, "z", kVariableName, 0, &e);
    r.headerFirst = e;
    (void)newLocalName(ft, "x", kVariableName, 0, &e);
    (void)newLocalName(ft, "[]IO", kVariableName, 0, &e);
    r.headerLast = e;
    (void)newLocalName(ft, "L3", kLabelName, 3, &e);
    r.freeFirst = r.freeLast = e;
    (void)newLocalName(ft, "yyyyyyyyy", kVariableName, 15000, &e);
    in.scope.bindings[++in.scope.top] = {-1, -1};
    in.scope.bindings[++in.scope.top] = {e, 15000};
}

[[noreturn]] void broken() { __builtin_trap(); }

int visited = 0;

void checkChain(const Interpreter& in, int first, int depth);

void checkList(const Interpreter& in, const ParseNode& n, bool elided, int depth) {
    const FrontTables& ft = in.front;
    if (n.count < 1 || n.list < 0 || n.list + n.count - 1 > ft.lastListWord) broken();
    for (int i = 0; i < n.count; ++i) {
        int h = ft.lists[static_cast<std::size_t>(n.list + i)];
        if (h < 0) {
            if (!elided) broken();
            continue;
        }
        checkChain(in, h, depth + 1);
    }
}

void checkChain(const Interpreter& in, int first, int depth) {
    const FrontTables& ft = in.front;
    if (depth > 2100) broken();
    for (int k = first; k >= 0;) {
        if (k > ft.lastNode || ++visited > ft.lastNode + 1) broken();
        const ParseNode& n = ft.nodes[static_cast<std::size_t>(k)];
        if (n.pos < 0) broken();
        switch (n.kind) {
            case kConstNode:
                if (n.operand < 0 || n.operand > in.ws.lastConstant) broken();
                break;
            case kVarNode:
                if (n.operand < 0 || n.operand >= kVariableSlots) broken();
                break;
            case kAssignNode:
                if (n.operand < 0 || n.operand >= kVariableSlots) broken();
                if (n.list >= 0) checkList(in, n, true, depth);
                break;
            case kGroupNode: checkChain(in, n.list, depth + 1); break;
            case kListNode: checkList(in, n, false, depth); break;
            case kIndexNode: checkList(in, n, true, depth); break;
            case kMultiAssignNode:
                checkList(in, n, false, depth);
                for (int i = 0; i < n.count; ++i) {
                    const ParseNode& z = ft.nodes[static_cast<std::size_t>(ft.lists[static_cast<std::size_t>(n.list + i)])];
                    if (z.kind != kAssignNode || z.next != -1) broken();
                }
                break;
            case kCallNode: {
                if (n.operand < 0 || n.operand > ft.lastEntry) broken();
                const FunctionEntry& e = ft.entries[static_cast<std::size_t>(n.operand)];
                if (e.kind != kPrimitiveFn && e.kind != kDefinedFn) broken();
                if (n.list >= 0 && n.list > ft.lastEntry) broken();
                if (e.left >= 0) checkChain(in, e.left, depth + 1);
                break;
            }
            default: broken();
        }
        k = n.next;
    }
}

bool nearlyFull(const Interpreter& in) {
    const FrontTables& ft = in.front;
    return ft.lastGlobal + 8 >= static_cast<int>(ft.globals.size()) || ft.lastLocal + 8 >= static_cast<int>(ft.locals.size()) ||
           ft.lastTail + 40 >= static_cast<int>(ft.tails.size()) || in.symbols.last() + 16 >= in.symbols.capacity() ||
           ft.lastBranch + 2 >= static_cast<int>(ft.branches.size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static std::unique_ptr<Interpreter> in = [] {
        auto p = std::make_unique<Interpreter>(smallTables());
        setUp(*p);
        return p;
    }();
    if (size == 0) return 0;
    int mode = data[0] % 3;
    std::string_view line(reinterpret_cast<const char*>(data + 1), size - 1);
    // A session line starts afresh: what earlier lines translated is given back.
    releaseLineTables(in->front, in->ws);
    in->errorWord = 0;
    TranslatedLine t;
    Rc rc = translateLine(in->frontEnd(), line, mode == 1 ? kFunction : -1, 1, &t);
    if (rc.failed()) {
        if (rc.code <= 0 || t.first != -1 || t.errorPos < 0 || t.errorPos > static_cast<int>(line.size())) broken();
        if (in->errorWord != rc.code) broken();
    } else {
        visited = 0;
        checkChain(*in, t.first, 0);
        if (t.first >= 0 && (t.last < 0 || in->front.nodes[static_cast<std::size_t>(t.last)].next != -1)) broken();
    }
    if (mode == 2) {
        // Lines of a function body pile up until the tables fill.
        (void)translateLine(in->frontEnd(), line, kFunction, 2, &t);
    }
    if (rc.code == kTableFull || rc.code == kGListFull || rc.code == kWorkspaceFull || nearlyFull(*in)) setUp(*in);
    return 0;
}
