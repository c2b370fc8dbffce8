#include "frontend/name_table.h"

#include <cstring>

#include "frontend/front_end.h"
#include "values/messages.h"

namespace wox::frontend {

namespace {

std::size_t headLength(const NameEntry& e) {
    std::size_t n = 0;
    while (n < static_cast<std::size_t>(kNameHead) && e.head[n] != 0) ++n;
    return n;
}
}  // namespace

std::size_t nameEnd(std::string_view text, std::size_t pos) {
    std::size_t p = pos;
    while (p < text.size() && isNameChar(text[p])) ++p;
    if (p > pos + 1 && text[p - 1] == '_') --p;
    return p;
}

Rc readName(std::string_view text, std::size_t pos, std::string_view* name, std::size_t* end) {
    while (pos < text.size() && text[pos] == ' ') ++pos;
    if (pos >= text.size() || !isLetter(text[pos])) return kNameMustStartWithLetter;
    std::size_t e = nameEnd(text, pos);
    *name = text.substr(pos, e - pos);
    *end = e;
    return kOk;
}

Rc storeName(FrontTables& ft, NameEntry& e, std::string_view name) {
    int tail = -1;
    if (name.size() > static_cast<std::size_t>(kNameHead)) {
        std::size_t rest = name.size() - kNameHead;
        std::size_t need = rest + 1;
        std::size_t used = static_cast<std::size_t>(ft.lastTail + 1);
        if (need > ft.tails.size() - used) return kTableFull;
        tail = static_cast<int>(used);
        std::memcpy(ft.tails.data() + used, name.data() + kNameHead, rest);
        ft.tails[used + rest] = 0;
        ft.lastTail = static_cast<int>(used + need) - 1;
    }
    std::memset(e.head, 0, sizeof e.head);
    std::memcpy(e.head, name.data(), name.size() < kNameHead ? name.size() : kNameHead);
    e.tail = tail;
    return kOk;
}

bool nameEquals(const FrontTables& ft, const NameEntry& e, std::string_view name) {
    if (name.empty() || e.head[0] != name[0]) return false;
    if (name.size() <= static_cast<std::size_t>(kNameHead)) {
        return e.tail < 0 && headLength(e) == name.size() && std::memcmp(e.head, name.data(), name.size()) == 0;
    }
    if (e.tail < 0 || std::memcmp(e.head, name.data(), kNameHead) != 0) return false;
    std::size_t rest = name.size() - kNameHead;
    std::size_t t = static_cast<std::size_t>(e.tail);
    if (t + rest >= ft.tails.size()) return false;
    return std::memcmp(ft.tails.data() + t, name.data() + kNameHead, rest) == 0 && ft.tails[t + rest] == 0;
}

std::string fullName(const FrontTables& ft, const NameEntry& e) {
    std::string s(e.head, headLength(e));
    if (e.tail >= 0) {
        for (std::size_t t = static_cast<std::size_t>(e.tail); t < ft.tails.size() && ft.tails[t] != 0; ++t)
            s += ft.tails[t];
    }
    return s;
}

namespace {

// The newest entry first..last of a table whose last entry in use is `top`.
int findNewest(const FrontTables& ft, const std::vector<NameEntry>& table, int top, std::string_view name,
               int first, int last) {
    if (last > top) last = top;
    if (first < 0) first = 0;
    for (int i = last; i >= first; --i)
        if (nameEquals(ft, table[static_cast<std::size_t>(i)], name)) return i;
    return -1;
}

}  // namespace

int findGlobalIn(const FrontTables& ft, std::string_view name, int first, int last) {
    return findNewest(ft, ft.globals, ft.lastGlobal, name, first, last);
}

int findGlobal(const FrontTables& ft, std::string_view name) { return findGlobalIn(ft, name, 0, ft.lastGlobal); }

int findLocalIn(const FrontTables& ft, std::string_view name, int first, int last) {
    return findNewest(ft, ft.locals, ft.lastLocal, name, first, last);
}

int findLocal(const FrontTables& ft, std::string_view name) { return findLocalIn(ft, name, 0, ft.lastLocal); }

Rc newGlobalVariable(FrontTables& ft, values::Workspace& ws, std::string_view name, int* entry) {
    if (ft.lastGlobal + 1 >= static_cast<int>(ft.globals.size())) return kTableFull;
    int slot = ws.lastGlobalSlot + 1;
    // The global region ends where the locals of active calls begin.
    if (slot >= ws.lowestLocalSlot || slot >= kVariableSlots) return kTableFull;
    NameEntry e{};
    WOX_TRY(storeName(ft, e, name));
    e.kind = kVariableName;
    e.slot = slot;
    ft.globals[++ft.lastGlobal] = e;
    ws.lastGlobalSlot = slot;
    ws.vars[slot] = ValueDescriptor{};
    ws.vars[slot].rank = -1;
    *entry = ft.lastGlobal;
    return kOk;
}

Rc newGlobalFunction(const FrontEnd& fe, std::string_view name, int* entry) {
    FrontTables& ft = fe.tables;
    FunctionStore& fs = fe.functions;
    if (ft.lastGlobal + 1 >= static_cast<int>(ft.globals.size())) return kTableFull;
    int slot = fs.lastSlot + 1;
    if (slot >= static_cast<int>(fs.records.size())) return kTableFull;
    NameEntry e{};
    WOX_TRY(storeName(ft, e, name));
    e.kind = kFunctionName;
    e.slot = slot;
    ft.globals[++ft.lastGlobal] = e;
    fs.lastSlot = slot;
    fs.records[static_cast<std::size_t>(slot)] = FunctionRecord{};
    fs.records[static_cast<std::size_t>(slot)].nameEntry = ft.lastGlobal;
    *entry = ft.lastGlobal;
    return kOk;
}

Rc makeFunctionName(const FrontEnd& fe, int entry) {
    FunctionStore& fs = fe.functions;
    NameEntry& e = fe.tables.globals[static_cast<std::size_t>(entry)];
    if (e.kind == kFunctionName) return kOk;
    if (entry < kBuiltinNames || !fe.cx.ws.vars[static_cast<std::size_t>(e.slot)].unset()) return kVarNameIsFunctionName;
    int slot = fs.lastSlot + 1;
    if (slot >= static_cast<int>(fs.records.size())) return kTableFull;
    e.kind = kFunctionName;
    e.slot = slot;
    fs.lastSlot = slot;
    fs.records[static_cast<std::size_t>(slot)] = FunctionRecord{};
    fs.records[static_cast<std::size_t>(slot)].nameEntry = entry;
    return kOk;
}

Rc newLocalName(FrontTables& ft, std::string_view name, char kind, std::int32_t slot, int* entry) {
    if (ft.lastLocal + 1 >= static_cast<int>(ft.locals.size())) return kTableFull;
    NameEntry e{};
    WOX_TRY(storeName(ft, e, name));
    e.kind = kind;
    e.slot = slot;
    ft.locals[++ft.lastLocal] = e;
    *entry = ft.lastLocal;
    return kOk;
}

}  // namespace wox::frontend
