// Executed text in loops: what a text's translation made is given back once
// it has run, so a loop of executions runs in constant table space.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/line_session.h"
#include "frontend/function_store.h"

namespace wox::engine {
namespace {

using Session = testing::LineSession;

Capacities smallTables() {
    Capacities c;
    c.heapBytes = 1 << 20;
    c.constants = 64;
    c.parseNodes = 256;
    c.functionEntries = 128;
    c.gList = 512;
    return c;
}

TEST(ExecutedText, ALoopOfExecutionsRunsInConstantTableSpace) {
    Session s(smallTables());
    s.define({"z<-ex n;s;i", "s<-0", "i<-0", "L:i<-i+1", "s<-s+!.'1.5'", "s<-s+!.'1+1'", "->(i<n)/L", "z<-s"});
    // Far more runs than the tables have entries.
    EXPECT_EQ(s.run("ex 5000"), "17500");
    int nodes = s.in.front.lastNode, constants = s.in.ws.lastConstant;
    EXPECT_EQ(s.run("ex 5000"), "17500");
    EXPECT_EQ(s.in.front.lastNode, nodes);
    EXPECT_EQ(s.in.ws.lastConstant, constants);
}

TEST(ExecutedText, ValuesAndVectorsOutliveTheirText) {
    Session s(smallTables());
    // A vector constant has a heap block; the result is copied before the
    // block is given back, and compaction later must not bring it back.
    s.define({"z<-vec n;i", "i<-0", "z<-0", "L:i<-i+1", "z<-z+!.'10 20 30'", "->(i<n)/L"});
    EXPECT_EQ(s.run("vec 3000"), "30000 60000 90000");
    EXPECT_EQ(s.run("v<-!.'''abc'''"), "");
    EXPECT_EQ(s.run("v"), "abc");
    EXPECT_EQ(s.run("0+!.'!.''2+3'''"), "5");
    EXPECT_EQ(s.run("w<-!.'q<-4 5 6'"), "");
    EXPECT_EQ(s.run("q+w"), "8 10 12");
}

TEST(ExecutedText, AFunctionFirstTranslatedInsideTheTextStaysCallable) {
    Session s(smallTables());
    s.define({"z<-twice x", "z<-x+x"});
    s.define({"z<-calls n;i", "i<-0", "z<-0", "L:i<-i+1", "z<-z+!.'twice 1.5'", "->(i<n)/L"});
    EXPECT_EQ(s.run("calls 2000"), "6000");
    // Later in the same line the body translated inside the text is still
    // in use.
    EXPECT_EQ(s.run("(!.'twice 2')+(twice 3)+calls 10"), "40");
}

TEST(ExecutedText, AFailingTextKeepsItsReport) {
    Session s(smallTables());
    EXPECT_EQ(s.run("1+!.'2+''a'''"), "domain error\r\n      1+!.'2+''a'''\r\n        ^");
    EXPECT_EQ(s.run("0+!.'1.5'"), "1.5");
}

}  // namespace
}  // namespace wox::engine
