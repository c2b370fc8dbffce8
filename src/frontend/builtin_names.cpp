#include "frontend/builtin_names.h"

#include <cstring>

#include "frontend/name_table.h"

namespace wox::frontend {

void enterBuiltinNames(FrontTables& ft, FunctionStore& functions) {
    for (int i = 0; i < kBuiltinNames; ++i) {
        const BuiltinName& b = kBuiltins[i];
        NameEntry e{};
        (void)storeName(ft, e, b.name);  // every built-in name fits in the head
        e.kind = b.kind;
        e.slot = b.slot;
        ft.globals[i] = e;
        if (b.kind == kFunctionName) {
            FunctionRecord r;
            r.valence = b.valence;
            r.resultName = kKeywordResult;
            r.nameEntry = i;
            functions.records[static_cast<std::size_t>(b.slot)] = r;
        }
    }
    ft.lastGlobal = kBuiltinNames - 1;
}

void enterInlineSystemValues(values::Workspace& ws) {
    ValueDescriptor io{};
    io.type = kInteger;
    io.count = 1;
    setInlineInt(io, 1);
    ws.vars[kIoSlot] = io;

    for (int s = kSystemSlotOF; s < kSystemSlotOF + 12; ++s) {
        ws.freeValueBlocks(ws.vars[s]);
        ws.vars[s] = ValueDescriptor{};
        ws.vars[s].rank = -1;
    }

    ValueDescriptor lx{};
    lx.type = kChar;
    lx.rank = 1;
    ws.vars[kSystemSlotLX] = lx;

    ValueDescriptor rl{};
    rl.type = kInteger;
    rl.rank = 1;
    rl.count = 1;
    setInlineInt(rl, kInitialRandomSeed);
    ws.vars[kSystemSlotRL] = rl;
}

Rc enterSystemValues(values::Workspace& ws) {
    enterInlineSystemValues(ws);
    WOX_TRY(ws.allocOwned(kSystemSlotAV, kChar, 256));
    ValueDescriptor& av = ws.vars[kSystemSlotAV];
    av.type = kChar;
    av.rank = 1;
    av.count = 256;
    av.shape0 = 256;
    char* c = ws.base() + av.data;
    for (int i = 0; i < 256; ++i) c[i] = (i >= 33 && i <= 127) ? static_cast<char>(i) : ' ';
    ws.releasePending();
    return kOk;
}

}  // namespace wox::frontend
