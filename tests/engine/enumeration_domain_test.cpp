// Enumerations over keyed tables and the foreign-key paths through them.
// Keyed tables are laid out here by hand, as the language's table literals
// would make them: a Dictionary of sub-kind 2 holding a key table and a
// value table, each a Table of a Symbol vector of names and a General
// vector of columns whose shape word 0 is the row count.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "display/element_text.h"
#include "engine/line_session.h"
#include "frontend/name_table.h"
#include "primitives/keyed/foreign_key.h"
#include "primitives/value_builder.h"
#include "types/enumeration.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox {
namespace {

using testing::LineSession;
using testing::put;
using testing::vec;

class KeyedDomain : public ::testing::Test {
protected:
    LineSession s;
    int temp = kFirstTemp;

    std::int32_t sym(const std::string& name) {
        std::int32_t i = 0;
        EXPECT_EQ(s.in.symbols.intern(name, &i).code, 0);
        return i;
    }
    ValueDescriptor symbols(const std::vector<std::string>& names) {
        std::vector<double> v;
        for (const std::string& n : names) v.push_back(sym(n));
        return s.in.ws.at(vec(s.in, temp++, kSymbol, v));
    }
    ValueDescriptor numbers(std::int32_t type, std::vector<double> v) { return s.in.ws.at(vec(s.in, temp++, type, v)); }
    // A value holding the given descriptors, on the stack.
    ValueDescriptor holder(std::int32_t type, const std::vector<ValueDescriptor>& items, std::int32_t shape0) {
        const int slot = temp++;
        values::Workspace& ws = s.in.ws;
        EXPECT_EQ(ws.allocTemp(slot, type, static_cast<std::int64_t>(items.size())).code, 0);
        ValueDescriptor& d = ws.var(slot);
        d.type = type;
        d.rank = 1;
        d.count = static_cast<std::int32_t>(items.size());
        d.shape0 = shape0;
        for (std::size_t i = 0; i < items.size(); ++i) ws.elems<ValueDescriptor>(d)[i] = items[i];
        return d;
    }
    ValueDescriptor table(const std::vector<std::string>& names, const std::vector<ValueDescriptor>& columns) {
        const std::int32_t rows = columns.empty() ? 0 : columns[0].count;
        ValueDescriptor n = symbols(names);
        ValueDescriptor c = holder(kGeneral, columns, rows);
        return holder(kTable, {n, c}, 2);
    }
    ValueDescriptor keyed(const ValueDescriptor& keys, const ValueDescriptor& values) {
        return holder(kDictionary, {keys, values}, kKeyedTable);
    }
    // Makes `name` a global variable holding v (copied into owned blocks).
    void assign(const std::string& name, const ValueDescriptor& v) {
        s.run(name + "<-0");
        const int g = frontend::findGlobal(s.in.front, name);
        ASSERT_GE(g, 0);
        const int slot = s.in.front.globals[static_cast<std::size_t>(g)].slot;
        const int from = temp++;
        s.in.ws.var(from) = v;
        ASSERT_EQ(values::assignValue(s.in.ws, slot, varRef(from)).code, 0);
        s.in.ws.releasePending();
        temp = kFirstTemp;
        s.in.ws.stackTop = 0;
    }
    ValueRef global(const std::string& name) {
        const int g = frontend::findGlobal(s.in.front, name);
        return varRef(s.in.front.globals[static_cast<std::size_t>(g)].slot);
    }
    // The products keyed table: key column k (symbols), value columns price
    // and name (a character matrix of rows "ab" "cd" "ef").
    void products() {
        ValueDescriptor names = s.in.ws.at(put(s.in, temp++, kChar, {3, 2}, {'a', 'b', 'c', 'd', 'e', 'f'}));
        assign("kt", keyed(table({"k"}, {symbols({"x", "y", "z"})}),
                           table({"price", "name"}, {numbers(kInteger, {10, 20, 30}), names})));
    }
};

TEST_F(KeyedDomain, TheOneKeyColumnIsTheDomain) {
    products();
    EXPECT_EQ(s.run("e<-`kt:`z`x`z"), "");
    EXPECT_EQ(s.run("e"), "`kt:`z `x `z");
    EXPECT_EQ(s.run("value e"), "`z `x `z");
    EXPECT_EQ(s.run("e[2]<-`y"), "");
    EXPECT_EQ(s.run("e=`y"), "0 1 0");
    EXPECT_EQ(s.run("`kt:`w").substr(0, 12), "domain error");
    // Cells of tables show the domain element without its backquote.
    std::string cell;
    display::elementText(s.in, s.in.ws.at(global("e")), 1, 3, cell);
    EXPECT_EQ(cell, "y  ");
    // The reference is a slot: compaction moves the domain's blocks, not it.
    s.run("junk<-!1000");
    s.run("junk<-0");
    s.in.ws.compact();
    EXPECT_EQ(s.run("e"), "`kt:`z `y `z");
}

TEST_F(KeyedDomain, NumericKeysAreFoundByValue) {
    assign("ids", keyed(table({"id"}, {numbers(kInteger, {10, 20, 30})}), table({"v"}, {symbols({"a", "b", "c"})})));
    EXPECT_EQ(s.run("`ids:30 10.0"), "`ids:30 10");
    EXPECT_EQ(s.run("value `ids:20"), "20");
    EXPECT_EQ(s.run("`ids:25").substr(0, 12), "domain error");
    EXPECT_EQ(s.run("`ids:`a").substr(0, 12), "domain error");
}

TEST_F(KeyedDomain, OtherCollectionsAreNoDomain) {
    // Two key columns; a plain dictionary; a General key column.
    assign("two", keyed(table({"a", "b"}, {symbols({"x", "y"}), symbols({"p", "q"})}),
                        table({"v"}, {numbers(kInteger, {1, 2})})));
    EXPECT_EQ(s.run("`two:`x").substr(0, 10), "type error");
    assign("dict", holder(kDictionary, {symbols({"x", "y"}), numbers(kInteger, {1, 2})}, 1));
    EXPECT_EQ(s.run("`dict:`x").substr(0, 10), "type error");
    ValueDescriptor general = holder(kGeneral, {symbols({"x", "y"}), symbols({"p", "q"})}, 2);
    assign("gen", keyed(table({"g"}, {general}), table({"v"}, {numbers(kInteger, {1, 2})})));
    EXPECT_EQ(s.run("`gen:`x").substr(0, 10), "type error");
}

TEST_F(KeyedDomain, ForeignKeyPathsReachEveryColumnOfTheReferencedTable) {
    products();
    s.run("e<-`kt:`z`x`z");
    ValueDescriptor rows = numbers(kInteger, {5, 6, 7});
    assign("orders", table({"prod", "qty"}, {s.in.ws.at(global("e")), rows}));
    const ValueRef t = global("orders");
    const int r = kFirstTemp;
    ASSERT_EQ(primitives::foreignKeyPath(s.in, r, t, sym("prod"), sym("price")).code, 0);
    testing::Read got = testing::read(s.in, varRef(r));
    EXPECT_EQ(got.type, kInteger);
    EXPECT_EQ(got.v, (std::vector<double>{30, 10, 30}));
    // Key columns first, then value columns; rows of a character matrix.
    ASSERT_EQ(primitives::foreignKeyPath(s.in, r, t, sym("prod"), sym("k")).code, 0);
    const double z = sym("z"), x = sym("x");
    EXPECT_EQ(testing::read(s.in, varRef(r)).v, (std::vector<double>{z, x, z}));
    ASSERT_EQ(primitives::foreignKeyPath(s.in, r, t, sym("prod"), sym("name")).code, 0);
    got = testing::read(s.in, varRef(r));
    EXPECT_EQ(got.dims, (std::vector<std::int32_t>{3, 2}));
    EXPECT_EQ(got.v, (std::vector<double>{'e', 'f', 'a', 'b', 'e', 'f'}));
    EXPECT_EQ(primitives::foreignKeyPath(s.in, r, t, sym("prod"), sym("colour")).code, kDomainError);
    EXPECT_EQ(primitives::foreignKeyPath(s.in, r, t, sym("nothing"), sym("price")).code, kDomainError);
    EXPECT_EQ(primitives::foreignKeyPath(s.in, r, t, sym("qty"), sym("price")).code, kForeignKeyProblem);
    // A referenced table that lost rows leaves positions that lead nowhere.
    assign("kt", keyed(table({"k"}, {symbols({"x", "y"})}), table({"price"}, {numbers(kInteger, {1, 2})})));
    EXPECT_EQ(primitives::foreignKeyPath(s.in, r, t, sym("prod"), sym("price")).code, kIndexError);
    EXPECT_EQ(s.run("e"), "`kt:2 `x 2");
}

}  // namespace
}  // namespace wox
