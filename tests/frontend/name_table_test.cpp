// Name tables: long names and the tail store, newest-first lookup, scope
// lookup through active calls, creating names at the table limits, the
// kind rules and the built-in names.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/interpreter.h"
#include "frontend/builtin_names.h"
#include "frontend/name_table.h"
#include "frontend/scope_stack.h"

namespace wox::frontend {
namespace {

TEST(NameTable, LongNamesKeepTheirTails) {
    Interpreter in;
    FrontTables& ft = in.front;
    int a = 0, b = 0, c = 0, d = 0;
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "abcdefgh1", &a).ok());
    EXPECT_EQ(ft.lastTail, 1);  // one tail character and its 0 byte
    EXPECT_EQ(ft.globals[a].tail, 0);
    EXPECT_EQ(std::string(ft.globals[a].head), "abcdefgh");
    EXPECT_EQ(ft.tails[0], '1');
    EXPECT_EQ(ft.tails[1], 0);
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "abcdefgh2", &b).ok());
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "abcdefgh", &c).ok());
    EXPECT_EQ(ft.globals[c].tail, -1);
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "abcdefgh22", &d).ok());
    EXPECT_EQ(findGlobal(ft, "abcdefgh1"), a);
    EXPECT_EQ(findGlobal(ft, "abcdefgh2"), b);
    EXPECT_EQ(findGlobal(ft, "abcdefgh"), c);
    EXPECT_EQ(findGlobal(ft, "abcdefgh22"), d);
    EXPECT_EQ(findGlobal(ft, "abcdefgh3"), -1);
    EXPECT_EQ(findGlobal(ft, "abcdefg"), -1);
    EXPECT_NE(ft.globals[a].slot, ft.globals[b].slot);
    EXPECT_EQ(fullName(ft, ft.globals[d]), "abcdefgh22");
}

TEST(NameTable, NewestEntryWins) {
    Interpreter in;
    FrontTables& ft = in.front;
    int older = 0, newer = 0;
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "x", &older).ok());
    ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "x", &newer).ok());
    EXPECT_EQ(findGlobal(ft, "x"), newer);
    EXPECT_EQ(findGlobalIn(ft, "x", 0, newer - 1), older);
    int l1 = 0, l2 = 0;
    ASSERT_TRUE(newLocalName(ft, "longlocalname", kVariableName, 15000, &l1).ok());
    ASSERT_TRUE(newLocalName(ft, "longlocalname", kVariableName, 14999, &l2).ok());
    EXPECT_EQ(findLocal(ft, "longlocalname"), l2);
    EXPECT_EQ(findLocalIn(ft, "longlocalname", l1, l1), l1);
    // The innermost binding on the scope stack wins; call boundaries are skipped.
    EXPECT_EQ(findInScope(ft, in.scope, "longlocalname"), -1);
    in.scope.bindings[++in.scope.top] = {-1, -1};
    in.scope.bindings[++in.scope.top] = {l1, 15000};
    in.scope.bindings[++in.scope.top] = {-1, -1};
    in.scope.bindings[++in.scope.top] = {l2, 14999};
    EXPECT_EQ(findInScope(ft, in.scope, "longlocalname"), 3);
    in.scope.top = 2;
    EXPECT_EQ(findInScope(ft, in.scope, "longlocalname"), 1);
    EXPECT_EQ(findInScope(ft, in.scope, "x"), -1);
}

TEST(NameTable, NewNamesAtTheLimits) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    caps.globalNames = 16;
    caps.tailStore = 12;
    caps.functions = 102;
    Interpreter in(caps);
    FrontTables& ft = in.front;
    int e = 0;
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "a", &e).ok());
    EXPECT_EQ(e, kBuiltinNames);
    EXPECT_EQ(ft.globals[e].slot, kFirstGlobalSlot);
    EXPECT_TRUE(in.ws.vars[kFirstGlobalSlot].unset());
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "name_with_tail", &e).ok());  // 7 tail bytes
    EXPECT_EQ(newGlobalVariable(in.front, in.ws, "another_tail_x", &e).code, 84);  // tail store full
    EXPECT_EQ(ft.lastGlobal, kBuiltinNames + 1);
    EXPECT_EQ(in.ws.lastGlobalSlot, kFirstGlobalSlot + 1);
    ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "f", &e).ok());
    EXPECT_EQ(ft.globals[e].slot, kFirstUserFunction);
    EXPECT_EQ(in.functions.records[kFirstUserFunction].nameEntry, e);
    EXPECT_EQ(ft.lastGlobal, 15);
    EXPECT_EQ(newGlobalVariable(in.front, in.ws, "b", &e).code, 84);  // global table full
    EXPECT_EQ(newGlobalFunction(in.frontEnd(), "g", &e).code, 84);
    EXPECT_EQ(ft.lastGlobal, 15);
    EXPECT_EQ(in.ws.lastGlobalSlot, kFirstGlobalSlot + 1);

    // The global region stops where the locals of active calls begin.
    Interpreter small(caps);
    small.ws.lowestLocalSlot = kFirstGlobalSlot + 1;
    ASSERT_TRUE(newGlobalVariable(small.front, small.ws, "p", &e).ok());
    EXPECT_EQ(newGlobalVariable(small.front, small.ws, "q", &e).code, 84);
}

TEST(NameTable, KindRules) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    caps.functions = 101;
    Interpreter in(caps);
    FrontTables& ft = in.front;
    int v = 0, w = 0;
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "v", &v).ok());
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "w", &w).ok());
    setInlineInt(in.ws.vars[ft.globals[w].slot], 5);
    in.ws.vars[ft.globals[w].slot].rank = 0;
    in.ws.vars[ft.globals[w].slot].count = 1;
    EXPECT_EQ(makeFunctionName(in.frontEnd(), w).code, 10);  // a variable with a value stays one
    EXPECT_EQ(makeFunctionName(in.frontEnd(), 0).code, 10);  // []IO
    ASSERT_TRUE(makeFunctionName(in.frontEnd(), v).ok());    // a name without a value may become a function
    EXPECT_EQ(ft.globals[v].kind, kFunctionName);
    EXPECT_EQ(ft.globals[v].slot, kFirstUserFunction);
    int x = 0;
    ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "x", &x).ok());
    EXPECT_EQ(makeFunctionName(in.frontEnd(), x).code, 84);  // no function slot left
    EXPECT_EQ(ft.globals[x].kind, kVariableName);
}

TEST(NameTable, NameCharacters) {
    EXPECT_EQ(nameEnd("abc+1", 0), 3u);
    EXPECT_EQ(nameEnd("a_b1 x", 0), 4u);
    EXPECT_EQ(nameEnd("x_.y", 0), 1u);  // a trailing "_" belongs to what follows
    EXPECT_EQ(nameEnd("x", 0), 1u);
    std::string_view name;
    std::size_t end = 0;
    ASSERT_TRUE(readName("  total_2+1", 0, &name, &end).ok());
    EXPECT_EQ(name, "total_2");
    EXPECT_EQ(end, 9u);
    EXPECT_EQ(readName("  2x", 0, &name, &end).code, 8);
    EXPECT_EQ(readName("_x", 0, &name, &end).code, 8);
    EXPECT_EQ(readName("   ", 0, &name, &end).code, 8);
}

TEST(BuiltinNames, EnteredAtStartAndAfterReset) {
    Interpreter in;
    EXPECT_EQ(in.ws.heapTop, in.ws.region.size());  // nothing on the heap before start-up
    EXPECT_EQ(inlineInt(in.ws.vars[kIoSlot]), 1);
    ASSERT_TRUE(enterSystemValues(in.ws).ok());
    for (int pass = 0; pass < 2; ++pass) {
        FrontTables& ft = in.front;
        EXPECT_EQ(ft.lastGlobal, kBuiltinNames - 1);
        for (int i = 0; i < kBuiltinNames; ++i) {
            EXPECT_EQ(findGlobal(ft, kBuiltins[i].name), i);
            EXPECT_EQ(ft.globals[i].kind, kBuiltins[i].kind);
        }
        EXPECT_EQ(ft.globals[0].slot, kIoSlot);
        EXPECT_EQ(ft.globals[4].slot, kSystemSlotRL);
        EXPECT_EQ(ft.globals[12].slot, 7);
        EXPECT_EQ(in.functions.records[7].valence, 2);
        EXPECT_EQ(in.functions.records[0].valence, 1);
        EXPECT_EQ(in.functions.records[2].resultName, kKeywordResult);
        const values::Workspace& ws = in.ws;
        EXPECT_EQ(inlineInt(ws.vars[kIoSlot]), 1);
        EXPECT_TRUE(ws.vars[kSystemSlotOF].unset());
        const ValueDescriptor& av = ws.vars[kSystemSlotAV];
        ASSERT_EQ(av.count, 256);
        EXPECT_EQ(ws.elems<char>(av)[65], 'A');
        EXPECT_EQ(ws.elems<char>(av)[0], ' ');
        EXPECT_EQ(ws.elems<char>(av)[200], ' ');
        EXPECT_EQ(ws.vars[kSystemSlotLX].rank, 1);
        EXPECT_EQ(ws.vars[kSystemSlotLX].count, 0);
        EXPECT_EQ(ws.vars[kSystemSlotRL].rank, 1);
        EXPECT_EQ(inlineInt(ws.vars[kSystemSlotRL]), 16807);

        int e = 0;
        ASSERT_TRUE(newGlobalVariable(in.front, in.ws, "somewhat_long_name", &e).ok());
        ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "f", &e).ok());
        ASSERT_TRUE(newLocalName(ft, "loc", kVariableName, 0, &e).ok());
        std::int32_t sym = 0;
        ASSERT_TRUE(in.symbols.intern("s", &sym).ok());
        // Clearing: the workspace, then the front end's tables and the system values.
        in.ws.clear();
        in.front.reset();
        in.functions.clear();
        in.symbols.reset();
        enterBuiltinNames(in.front, in.functions);
        ASSERT_TRUE(enterSystemValues(in.ws).ok());
        EXPECT_EQ(ft.lastLocal, -1);
        EXPECT_EQ(ft.lastTail, -1);
        EXPECT_EQ(in.functions.lastSlot, kFirstUserFunction - 1);
        EXPECT_EQ(in.symbols.last(), 0);
        EXPECT_EQ(findGlobal(ft, "f"), -1);
    }
}

}  // namespace
}  // namespace wox::frontend
