// Rows of tables, keyed tables, dictionaries and enumerations moved by take,
// drop, compress and reverse: a result beyond the heap is "workspace full"
// and leaves the argument as it was; one that fits after compaction is
// whole.
#include <gtest/gtest.h>

#include <string>

#include "engine/line_session.h"

namespace wox::primitives {
namespace {

using testing::LineSession;

Capacities smallHeap() {
    Capacities c;
    c.heapBytes = 12 << 20;
    return c;
}

TEST(KeyedRows, ResultsBeyondTheHeapAreWorkspaceFull) {
    LineSession s(smallHeap());
    s.run("a<-!250000");
    ASSERT_EQ(s.run("t<-([]a:a;b:a)"), "");
    ASSERT_EQ(s.run("k<-([k:a]v:a)"), "");
    for (const char* line : {"4/t", "r<-(250000#4)/t"})
        EXPECT_EQ(s.run(line).substr(0, 14), "workspace full") << line;
    EXPECT_EQ(s.run("^t"), "250000");
    EXPECT_EQ(s.run("t!`a`b:7 7"), "7");
    EXPECT_EQ(s.run("^k"), "250000");
}

TEST(KeyedRows, ResultsThatFitAfterCompactionAreWhole) {
    LineSession s(smallHeap());
    s.run("a<-!250000");
    ASSERT_EQ(s.run("t<-([]a:a;b:a)"), "");
    // Garbage left between the blocks: the builder must compact to fit.
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(s.run("g<-a+1"), "");
        ASSERT_EQ(s.run("r<-$t"), "");
        EXPECT_EQ(s.run("1^.r"), "a      b     \r\n-------------\r\n250000 250000");
        EXPECT_EQ(s.run("r!`a`b:1 1"), "250000");
        EXPECT_EQ(s.run("^_2!.r"), "249998");
    }
    s.run("s<-`a`b`c");
    s.run("e<-`s:250000#`c`a`b");
    EXPECT_EQ(s.run("_2^.$e"), "`s:`a `c");  // the first two, reversed
    EXPECT_EQ(s.run("^(250000#1 0)/e"), "125000");
}

}  // namespace
}  // namespace wox::primitives
