#include "frontend/function_store.h"

#include <algorithm>
#include <cstring>

#include "frontend/branch_shape.h"
#include "frontend/control_rewrite.h"
#include "frontend/front_end.h"
#include "frontend/front_tables.h"
#include "frontend/name_table.h"
#include "frontend/pair_shape.h"
#include "frontend/source_text.h"
#include "frontend/translator.h"
#include "values/messages.h"

namespace wox::frontend {

FunctionStore::FunctionStore(const Capacities& caps)
    : records(static_cast<std::size_t>(caps.functions < kFirstUserFunction ? kFirstUserFunction : caps.functions)) {
    // Room for every slot at once: a definition made while a line runs (the
    // query library loaded by do) never moves the texts of running calls.
    definitions.reserve(records.size());
}

void FunctionStore::clear() {
    std::fill(records.begin(), records.end(), FunctionRecord{});
    lastSlot = kFirstUserFunction - 1;
    definitions.clear();
}

namespace {


// The slot a definition goes to: a new user function, the user function of
// that name, or a variable without a value that becomes a function.
Rc slotForName(const FrontEnd& fe, const std::string& name, int* slot) {
    FrontTables& ft = fe.tables;
    int g = findGlobal(ft, name);
    if (g >= 0 && ft.globals[static_cast<std::size_t>(g)].kind == kFunctionName) {
        int s = ft.globals[static_cast<std::size_t>(g)].slot;
        if (s >= kFirstUserFunction) {
            *slot = s;
            return kOk;
        }
        g = -1;  // a keyword function: the new entry hides it
    }
    if (g >= 0 && g >= kBuiltinNames) {
        WOX_TRY(makeFunctionName(fe, g));
        *slot = ft.globals[static_cast<std::size_t>(g)].slot;
        return kOk;
    }
    int e = 0;
    WOX_TRY(newGlobalFunction(fe, name, &e));
    *slot = ft.globals[static_cast<std::size_t>(e)].slot;
    return kOk;
}

Rc addLocal(FrontTables& ft, std::string_view name, char kind, int slot, int* entry) {
    return newLocalName(ft, name, kind, slot, entry);
}

}  // namespace

Rc defineFunction(const FrontEnd& fe, const std::vector<std::string>& lines, int* slot) {
    DefinedFunction df;
    WOX_TRY(makeFunctionText(lines, df.text, df.header));
    ControlRewrite rewrite;
    std::uint32_t& state = fe.functions.nameSeed;
    RandomSource random = [&state] {
        state = static_cast<std::uint32_t>((static_cast<std::uint64_t>(state) * 16807u) % 2147483647u);
        return state;
    };
    if (makeExecutable(df.text, random, rewrite).failed()) return kDefinitionError;
    df.generated = generatedLocals(df.header, rewrite);
    int s = 0;
    WOX_TRY(slotForName(fe, df.header.name, &s));
    FunctionRecord& r = fe.functions.records[static_cast<std::size_t>(s)];
    r = untranslatedRecord(df, s, r.nameEntry);
    std::vector<DefinedFunction>& defs = fe.functions.definitions;
    if (defs.size() <= static_cast<std::size_t>(s)) defs.resize(static_cast<std::size_t>(s) + 1);
    defs[static_cast<std::size_t>(s)] = std::move(df);
    *slot = s;
    return kOk;
}

std::vector<std::string> generatedLocals(const FunctionHeader& header, const ControlRewrite& rewrite) {
    std::vector<std::string> out;
    for (const std::string& g : rewrite.generatedNames) {
        bool listed = g == header.result;
        for (const auto* names : {&header.left, &header.right, &header.locals})
            for (const std::string& n : *names) listed = listed || n == g;
        if (!listed) out.push_back(g);
    }
    return out;
}

FunctionRecord untranslatedRecord(const DefinedFunction& df, int slot, int nameEntry) {
    FunctionRecord r;
    r.nameEntry = nameEntry;
    r.valence = df.header.valence;
    r.resultName = df.header.result.empty() ? -1 : 0;
    r.rightArgs = static_cast<std::int32_t>(df.header.right.size());
    r.lineCount = static_cast<std::int32_t>(df.text.executable.size()) - 1;
    r.object = slot;
    return r;
}

int findFunction(const FrontTables& ft, std::string_view name) {
    int g = findGlobal(ft, name);
    if (g < 0) return -1;
    const NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
    return e.kind == kFunctionName ? e.slot : -1;
}

Rc translateFunction(const FrontEnd& fe, int slot, int* errorLine, int* errorPos) {
    *errorLine = 0;
    *errorPos = 0;
    FrontTables& ft = fe.tables;
    DefinedFunction& df = fe.functions.definitions[static_cast<std::size_t>(slot)];
    FunctionRecord& r = fe.functions.records[static_cast<std::size_t>(slot)];
    const FunctionHeader& h = df.header;
    df.leftEntries.clear();
    df.rightEntries.clear();
    df.localEntries.clear();
    df.resultEntry = -1;
    df.ioEntry = -1;
    df.rlEntry = -1;
    df.leafLeft = df.leafRight = DefinedFunction::LeafOperand{};

    // Header names, then labels: one run of local entries.
    r.headerFirst = ft.lastLocal + 1;
    int e = 0;
    if (!h.result.empty()) {
        WOX_TRY(addLocal(ft, h.result, kVariableName, 0, &e));
        df.resultEntry = e;
    }
    for (const std::string& n : h.left) {
        WOX_TRY(addLocal(ft, n, kVariableName, 0, &e));
        df.leftEntries.push_back(e);
    }
    for (const std::string& n : h.right) {
        WOX_TRY(addLocal(ft, n, kVariableName, 0, &e));
        df.rightEntries.push_back(e);
    }
    const std::vector<std::string>* localLists[] = {&h.locals, &df.generated};
    for (const std::vector<std::string>* names : localLists) {
        for (const std::string& n : *names) {
            WOX_TRY(addLocal(ft, n, kVariableName, 0, &e));
            df.localEntries.push_back(e);
            if (n == "[]IO") df.ioEntry = e;
            if (n == "[]RL") df.rlEntry = e;
        }
    }
    r.headerLast = ft.lastLocal;
    r.freeFirst = ft.lastLocal + 1;
    r.freeLast = ft.lastLocal;
    const auto& lines = df.text.executable;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        std::string_view t = lines[i].text;
        std::size_t p = t.find_first_not_of(" \t");
        std::size_t nameEndPos = 0, after = 0;
        if (p != std::string_view::npos && isLabel(t, p, &nameEndPos, &after)) {
            WOX_TRY(addLocal(ft, t.substr(p, nameEndPos - p), kLabelName, static_cast<int>(i), &e));
            r.freeLast = e;
        }
    }
    df.lines.assign(lines.size() > 0 ? lines.size() - 1 : 0, BodyLine{});
    for (std::size_t i = 1; i < lines.size(); ++i) {
        TranslatedLine tl;
        if (Rc rc = translateLine(fe, lines[i].text, slot, static_cast<int>(i), &tl); rc.failed()) {
            *errorLine = static_cast<int>(i);
            *errorPos = tl.errorPos;
            return rc;
        }
        BodyLine& bl = df.lines[i - 1];
        bl.first = tl.first;
        bl.last = tl.last;
        bl.branch = tl.branch;
        recogniseBranchShape(ft, fe.cx.ws, bl);
        recognisePairShape(ft, bl);
        recogniseCallShape(ft, bl);
    }
    df.freeVariables.clear();
    for (int f = r.freeFirst; f <= r.freeLast; ++f) {
        const NameEntry& entry = ft.locals[static_cast<std::size_t>(f)];
        if (entry.kind == kVariableName) df.freeVariables.push_back({f, fullName(ft, entry)});
    }
    recogniseLeafPair(ft, df);
    r.translated = 1;
    r.localsAtTranslation = ft.lastLocal;
    return kOk;
}

void releaseLocalNames(FrontTables& ft, const ScopeStack& scope) {
    if (!scope.empty()) return;
    ft.lastLocal = -1;
    // The tail store keeps what global names still use.
    int end = -1;
    for (int g = 0; g <= ft.lastGlobal; ++g) {
        const NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
        if (e.tail < 0) continue;
        int last = e.tail + static_cast<int>(std::strlen(&ft.tails[static_cast<std::size_t>(e.tail)]));
        if (last > end) end = last;
    }
    ft.lastTail = end;
}

}  // namespace wox::frontend
