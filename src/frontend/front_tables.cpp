#include "frontend/front_tables.h"

#include <algorithm>

#include "engine/interpreter.h"
#include "frontend/builtin_names.h"
#include "frontend/scan_state.h"
#include "values/messages.h"

namespace wox::frontend {

FrontTables::FrontTables(const Capacities& caps)
    : globals(static_cast<std::size_t>(std::max(caps.globalNames, kBuiltinNames))),
      locals(static_cast<std::size_t>(caps.localNames)),
      tails(static_cast<std::size_t>(caps.tailStore)),
      nodes(static_cast<std::size_t>(caps.parseNodes)),
      entries(static_cast<std::size_t>(caps.functionEntries)),
      functions(static_cast<std::size_t>(caps.functions < kFirstUserFunction ? kFirstUserFunction : caps.functions)),
      branches(static_cast<std::size_t>(caps.branches < 1 ? 1 : caps.branches)),
      lists(static_cast<std::size_t>(caps.gList)),
      scope(static_cast<std::size_t>(caps.shadowStack)),
      scan(std::make_unique<ScanState>()) {
    enterBuiltinNames(*this);
}

FrontTables::~FrontTables() = default;

void resetFrontTables(Interpreter& in) {
    FrontTables& ft = in.front;
    std::fill(ft.globals.begin(), ft.globals.end(), NameEntry{});
    std::fill(ft.locals.begin(), ft.locals.end(), NameEntry{});
    std::fill(ft.functions.begin(), ft.functions.end(), FunctionRecord{});
    ft.lstgx = -1;
    ft.lstnx = -1;
    ft.lsttnam = -1;
    ft.lstndx = -1;
    ft.lstfndx = -1;
    ft.lstfx = kFirstUserFunction - 1;
    ft.lstbrx = 0;
    ft.lstlx = -1;
    ft.dfxstack = -1;
    ft.symbols.reset();
    enterBuiltinNames(ft);
}

LineMark markLine(const Interpreter& in) {
    const FrontTables& ft = in.front;
    return {ft.lstndx, ft.lstfndx, in.ws.lstcx, ft.lstbrx, ft.lstlx};
}

void releaseToMark(Interpreter& in, const LineMark& m) {
    FrontTables& ft = in.front;
    values::Workspace& ws = in.ws;
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

void releaseLineTables(Interpreter& in) {
    releaseToMark(in, LineMark{-1, -1, kPresetConstants - 1, 0, -1});
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
