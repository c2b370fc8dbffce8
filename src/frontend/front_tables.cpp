#include "frontend/front_tables.h"

#include <algorithm>

#include "frontend/scan_state.h"
#include "values/messages.h"
#include "values/workspace.h"

namespace wox::frontend {

FrontTables::FrontTables(const Capacities& caps)
    : globals(static_cast<std::size_t>(std::max(caps.globalNames, kBuiltinNames))),
      locals(static_cast<std::size_t>(caps.localNames)),
      tails(static_cast<std::size_t>(caps.tailStore)),
      nodes(static_cast<std::size_t>(caps.parseNodes)),
      entries(static_cast<std::size_t>(caps.functionEntries)),
      branches(static_cast<std::size_t>(caps.branches < 1 ? 1 : caps.branches)),
      lists(static_cast<std::size_t>(caps.gList)),
      scan(std::make_unique<ScanState>()) {}

FrontTables::~FrontTables() = default;

void FrontTables::reset() {
    std::fill(globals.begin(), globals.end(), NameEntry{});
    std::fill(locals.begin(), locals.end(), NameEntry{});
    lastGlobal = -1;
    lastLocal = -1;
    lastTail = -1;
    lastNode = -1;
    lastEntry = -1;
    lastBranch = 0;
    lastListWord = -1;
}

LineMark markLine(const FrontTables& ft, const values::Workspace& ws) {
    return {ft.lastNode, ft.lastEntry, ws.lastConstant, ft.lastBranch, ft.lastListWord};
}

void releaseToMark(FrontTables& ft, values::Workspace& ws, const LineMark& m) {
    for (int s = ws.lastConstant; s > m.lastConstant && s >= kPresetConstants; --s) {
        ws.freeValueBlocks(ws.consts[s]);
        ws.consts[s] = ValueDescriptor{};
    }
    if (m.lastConstant < ws.lastConstant) ws.lastConstant = m.lastConstant < kPresetConstants - 1 ? kPresetConstants - 1 : m.lastConstant;
    if (m.lastNode < ft.lastNode) ft.lastNode = m.lastNode;
    if (m.lastEntry < ft.lastEntry) ft.lastEntry = m.lastEntry;
    if (m.lastBranch < ft.lastBranch) ft.lastBranch = m.lastBranch < 0 ? 0 : m.lastBranch;
    if (m.lastListWord < ft.lastListWord) ft.lastListWord = m.lastListWord;
}

void releaseLineTables(FrontTables& ft, values::Workspace& ws) {
    releaseToMark(ft, ws, LineMark{-1, -1, kPresetConstants - 1, 0, -1});
}

Rc takeNode(FrontTables& ft, char kind, int pos, int* index) {
    if (ft.lastNode + 1 >= static_cast<int>(ft.nodes.size())) return kTableFull;
    ParseNode& n = ft.nodes[++ft.lastNode];
    n = ParseNode{};
    n.kind = kind;
    n.operand = 0;
    n.list = -1;
    n.count = 0;
    n.next = -1;
    n.local = -1;
    n.pos = pos;
    *index = ft.lastNode;
    return kOk;
}

Rc takeEntry(FrontTables& ft, char kind, std::int32_t monadic, std::int32_t dyadic, int* index) {
    if (ft.lastEntry + 1 >= static_cast<int>(ft.entries.size())) return kTableFull;
    FunctionEntry& e = ft.entries[++ft.lastEntry];
    e = FunctionEntry{};
    e.kind = kind;
    e.monadic = monadic;
    e.left = -1;
    e.dyadic = dyadic;
    *index = ft.lastEntry;
    return kOk;
}

Rc takeBranch(FrontTables& ft, int* index) {
    if (ft.lastBranch + 1 >= static_cast<int>(ft.branches.size())) return kTableFull;
    ft.branches[++ft.lastBranch] = BranchEntry{};
    *index = ft.lastBranch;
    return kOk;
}

Rc takeListWords(FrontTables& ft, int n, int* start) {
    if (n < 0 || n > static_cast<int>(ft.lists.size()) - (ft.lastListWord + 1)) return kGListFull;
    *start = ft.lastListWord + 1;
    ft.lastListWord += n;
    return kOk;
}

Rc takeConstant(values::Workspace& ws, int* slot) {
    int s = ws.lastConstant + 1;
    if (s >= static_cast<int>(ws.consts.size())) return kTableFull;
    ValueDescriptor& d = ws.consts[s];
    // Slots above the counter hold no block; make sure of it rather than
    // let a stale trailer name this slot in the next compaction.
    if (ws.isOwnedBlock(d) && ws.trailerOf(d)->owner == (values::kOwnerConst | static_cast<std::uint32_t>(s)))
        ws.freeValueBlocks(d);
    d = ValueDescriptor{};
    ws.lastConstant = s;
    *slot = s;
    return kOk;
}

}  // namespace wox::frontend
