#include "engine/workspace_clear.h"

#include <cstdio>

#include "frontend/builtin_names.h"
#include "frontend/front_tables.h"

namespace wox::engine {

Rc clearWorkspace(Interpreter& in) {
    in.ws.clear();
    in.front.reset();
    in.functions.clear();
    frontend::enterBuiltinNames(in.front, in.functions);
    in.symbols.reset();
    in.scope.top = -1;
    in.frames.clear();
    in.errorWord = 0;
    in.errors = ErrorState(in.ws.caps.callTrace);
    in.displayState.reset();
    in.randomState = frontend::kInitialRandomSeed;
    in.queryLibraryLoaded = false;  // the next do loads the library again
    return frontend::enterSystemValues(in.ws);
}

std::string workspaceReport(const Interpreter& in) {
    const values::Workspace& ws = in.ws;
    const frontend::FrontTables& ft = in.front;
    const Capacities& c = ws.caps;
    char buf[1024];
    int n = std::snprintf(
        buf, sizeof buf,
        "lstvx=%6d, lstgx=%5d, lstfndx=%6d, nxtglx=%7d, lstndx=%6d\n"
        "lstvx=%6d, lstgx=%5d, lstfndx=%6d, nxtglx=%7d, lstndx=%6d\n"
        "lstcx=%5d, lstnx=%5d, lstfx=%5d, lstbrx=%5d, ET.sidx=%5d\n"
        "lstcx=%5d, lstnx=%5d, lstfx=%5d, lstbrx=%5d, ET.sidx=%5d\n"
        "lstvxend=%5d, lsttnam=%5d, dfxstack=%5d, overflow=%5d\n"
        "lstvxend=%5d, lsttnam=%5d, dfxstack=%5d, overflow=%5d\n"
        "  r15=%5u, stacktop=%5u, gc_time=%5d\n\n"
        "---the end of )index--version--0.1--",
        ws.lastGlobalSlot, ft.lastGlobal, ft.lastEntry, ws.gListFill, ft.lastNode,            //
        kVariableSlots, c.globalNames, c.functionEntries, c.gList, c.parseNodes,             //
        ws.lastConstant, ft.lastLocal, in.functions.lastSlot, ft.lastBranch, in.errors.depth, //
        c.constants, c.localNames, c.functions, c.branches, c.callTrace,                     //
        ws.lowestLocalSlot, ft.lastTail, in.scope.top, 0,                                    //
        kLocalRegionEnd, c.tailStore, c.shadowStack, c.overflow,                             //
        ws.heapTop, ws.stackTop, 0);
    std::string text;
    for (int i = 0; i < n && i < static_cast<int>(sizeof buf) - 1; ++i) {
        if (buf[i] == '\n') text += "\r\n";
        else text += buf[i];
    }
    return text;
}

}  // namespace wox::engine
