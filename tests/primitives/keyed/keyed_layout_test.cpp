// Building tables deep on the stack: a heap too small for the result is
// "workspace full", and the variables stay as they were.
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

TEST(KeyedLayout, ResultsBeyondTheHeapAreWorkspaceFull) {
    LineSession s(smallHeap());
    s.run("a<-!250000");
    ASSERT_EQ(s.run("^a"), "250000");
    const std::string made = s.run("t<-([]a:a;b:a)");
    ASSERT_EQ(made, "");
    ASSERT_EQ(s.run("^t"), "250000");
    for (const char* line : {"([]a:a;b:a;c:a;d:a)", "([k:a] v:a;w:a;x:a)"})
        EXPECT_EQ(s.run(line).substr(0, 14), "workspace full") << line;
    EXPECT_EQ(s.run("t[,2;]"), "a b\r\n---\r\n2 2");
    EXPECT_EQ(s.run("^t"), "250000");
}

}  // namespace
}  // namespace wox::primitives
