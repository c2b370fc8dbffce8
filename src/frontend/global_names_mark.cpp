#include "frontend/global_names_mark.h"

#include <algorithm>

#include "frontend/function_store.h"

namespace wox::frontend {

GlobalNamesMark markGlobalNames(const FrontEnd& fe) {
    const FrontTables& ft = fe.tables;
    GlobalNamesMark mark;
    mark.entries.assign(ft.globals.begin(), ft.globals.begin() + (ft.lastGlobal + 1));
    mark.lastFunction = fe.functions.lastSlot;
    mark.lastVariable = fe.cx.ws.lastGlobalSlot;
    return mark;
}

void dropGlobalNamesSince(const FrontEnd& fe, const GlobalNamesMark& mark) {
    FrontTables& ft = fe.tables;
    FunctionStore& fs = fe.functions;
    values::Workspace& ws = fe.cx.ws;
    for (int s = mark.lastVariable + 1; s <= ws.lastGlobalSlot; ++s) {
        ValueDescriptor& d = ws.vars[static_cast<std::size_t>(s)];
        if (ws.isOwnedBlock(d)) ws.freeValueBlocks(d);
        d = ValueDescriptor{};
        d.rank = -1;
    }
    ws.lastGlobalSlot = mark.lastVariable;
    for (int s = mark.lastFunction + 1; s <= fs.lastSlot; ++s) {
        fs.records[static_cast<std::size_t>(s)] = FunctionRecord{};
        if (static_cast<std::size_t>(s) < fs.definitions.size()) fs.definitions[static_cast<std::size_t>(s)] = DefinedFunction{};
    }
    fs.lastSlot = mark.lastFunction;
    std::copy(mark.entries.begin(), mark.entries.end(), ft.globals.begin());
    ft.lastGlobal = static_cast<int>(mark.entries.size()) - 1;
}

}  // namespace wox::frontend
