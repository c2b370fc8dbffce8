// meta and fkeys over enumerated columns, which no line can make yet: the
// enumeration is laid into a column by hand (its block starts with the
// domain name's symbol and a reference to the domain's value).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "engine/line_session.h"
#include "values/keyed_value.h"

namespace wox::primitives {
namespace {

using testing::LineSession;

// Global variables in order of first assignment.
int globalSlot(int k) { return kFirstGlobalSlot + k; }

// Turns column 0 of table t (a six-element Integer column, so that its
// block holds an enumeration of four) into an enumeration over `domain`.
void enumerateFirstColumn(LineSession& s, int table, int domain, const char* domainName) {
    values::Workspace& ws = s.in.ws;
    const ValueDescriptor& t = ws.var(table);
    ValueDescriptor& column = const_cast<ValueDescriptor*>(tableColumns(ws, t))[0];
    ASSERT_EQ(column.blockSize, 24);
    std::int32_t name = 0;
    ASSERT_EQ(s.in.symbols.intern(domainName, &name).code, 0);
    auto* words = reinterpret_cast<std::int32_t*>(ws.base() + column.data);
    words[0] = name;
    words[1] = varRef(domain);
    words[2] = 0;
    words[3] = 1;
    words[4] = 1;
    words[5] = 0;
    column.type = kEnumeration;
    column.count = 4;
    column.shape0 = 4;
}

TEST(TableKeywords, MetaAndFkeysNameTheDomainsOfEnumeratedColumns) {
    LineSession s;
    s.run("dom<-`a`b");
    s.run("t<-([]e:0 0 0 0 0 0;n:1 2 3 4 5 6)");
    enumerateFirstColumn(s, globalSlot(1), globalSlot(0), "dom");
    EXPECT_EQ(s.run("meta t"), "c| t f   a\r\n-|--------\r\ne| S dom  \r\nn| I      ");
    EXPECT_EQ(s.run("fkeys t"), "e| dom");
    EXPECT_EQ(s.run("fkeys ([]n:1 2)"), "");
}

TEST(TableKeywords, AKeyedDomainShowsItsKeyColumnsType) {
    LineSession s;
    s.run("kd<-([id:1.5 2.5] v:3 4)");
    s.run("t<-([]e:0 0 0 0 0 0)");
    enumerateFirstColumn(s, globalSlot(1), globalSlot(0), "kd");
    EXPECT_EQ(s.run("(meta t)[`e]"), "t| E\r\nf| kd\r\na|  ");
}

TEST(TableKeywords, AGeneralDomainShowsL) {
    LineSession s;
    s.run("g<-(1;'ab')");
    s.run("t<-([]e:0 0 0 0 0 0)");
    enumerateFirstColumn(s, globalSlot(1), globalSlot(0), "g");
    EXPECT_EQ(s.run("(meta t)[`e]"), "t| L\r\nf| g\r\na|  ");
}

}  // namespace
}  // namespace wox::primitives
