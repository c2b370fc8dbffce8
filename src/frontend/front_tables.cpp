#include "frontend/front_tables.h"

#include <algorithm>

#include "frontend/scan_state.h"
#include "values/workspace.h"
#include "values/messages.h"

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
    lstgx = -1;
    lstnx = -1;
    lsttnam = -1;
    lstndx = -1;
    lstfndx = -1;
    lstbrx = 0;
    lstlx = -1;
}

LineMark markLine(const FrontTables& ft, const values::Workspace& ws) {
    return {ft.lstndx, ft.lstfndx, ws.lstcx, ft.lstbrx, ft.lstlx};
}

void releaseToMark(FrontTables& ft, values::Workspace& ws, const LineMark& m) {
    for (int s = ws.lstcx; s > m.lstcx && s >= kPresetConstants; --s) {
        ws.freeValueBlocks(ws.consts[s]);
        ws.consts[s] = ValueDescriptor{};
    }
    if (m.lstcx < ws.lstcx) ws.lstcx = m.lstcx < kPresetConstants - 1 ? kPresetConstants - 1 : m.lstcx;
    if (m.lstndx < ft.lstndx) ft.lstndx = m.lstndx;
    if (m.lstfndx < ft.lstfndx) ft.lstfndx = m.lstfndx;
    if (m.lstbrx < ft.lstbrx) ft.lstbrx = m.lstbrx < 0 ? 0 : m.lstbrx;
    if (m.lstlx < ft.lstlx) ft.lstlx = m.lstlx;
}

void releaseLineTables(FrontTables& ft, values::Workspace& ws) {
    releaseToMark(ft, ws, LineMark{-1, -1, kPresetConstants - 1, 0, -1});
}

Rc takeNode(FrontTables& ft, char kind, int pos, int* index) {
    if (ft.lstndx + 1 >= static_cast<int>(ft.nodes.size())) return kTableFull;
    ParseNode& n = ft.nodes[++ft.lstndx];
    n = ParseNode{};
    n.kind = kind;
    n.operand = 0;
    n.list = -1;
    n.count = 0;
    n.next = -1;
    n.local = -1;
    n.pos = pos;
    *index = ft.lstndx;
    return kOk;
}

Rc takeEntry(FrontTables& ft, char kind, std::int32_t monadic, std::int32_t dyadic, int* index) {
    if (ft.lstfndx + 1 >= static_cast<int>(ft.entries.size())) return kTableFull;
    FunctionEntry& e = ft.entries[++ft.lstfndx];
    e = FunctionEntry{};
    e.kind = kind;
    e.monadic = monadic;
    e.left = -1;
    e.dyadic = dyadic;
    *index = ft.lstfndx;
    return kOk;
}

Rc takeBranch(FrontTables& ft, int* index) {
    if (ft.lstbrx + 1 >= static_cast<int>(ft.branches.size())) return kTableFull;
    ft.branches[++ft.lstbrx] = BranchEntry{};
    *index = ft.lstbrx;
    return kOk;
}

Rc takeListWords(FrontTables& ft, int n, int* start) {
    if (n < 0 || n > static_cast<int>(ft.lists.size()) - (ft.lstlx + 1)) return kGListFull;
    *start = ft.lstlx + 1;
    ft.lstlx += n;
    return kOk;
}

Rc takeConstant(values::Workspace& ws, int* slot) {
    int s = ws.lstcx + 1;
    if (s >= static_cast<int>(ws.consts.size())) return kTableFull;
    ValueDescriptor& d = ws.consts[s];
    // Slots above the counter hold no block; make sure of it rather than
    // let a stale trailer name this slot in the next compaction.
    if (ws.isOwnedBlock(d) && ws.trailerOf(d)->owner == (values::kOwnerConst | static_cast<std::uint32_t>(s)))
        ws.freeValueBlocks(d);
    d = ValueDescriptor{};
    ws.lstcx = s;
    *slot = s;
    return kOk;
}

}  // namespace wox::frontend
