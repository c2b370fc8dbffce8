// Indexed assignment into dictionaries and tables builds the new value
// aside: a heap too small for it is "workspace full" with the variable as it
// was, and a compaction made to find room moves neither the old value nor
// the cells being stored.
#include <gtest/gtest.h>

#include <string>

#include "engine/line_session.h"

namespace wox::primitives {
namespace {

using testing::LineSession;

Capacities heapOf(std::uint64_t bytes) {
    Capacities c;
    c.heapBytes = bytes;
    return c;
}

TEST(KeyedAssignment, ANewValueBeyondTheHeapIsWorkspaceFullAndChangesNothing) {
    struct Case {
        const char* make;
        const char* store;
        const char* look;
        const char* was;
    };
    // Each store makes a column of characters General (32 bytes an item
    // instead of one) or adds columns: many times the old value's room.
    const Case cases[] = {
        {"t<-([]c:100000#'x')", "t[1;`c]<-<.1 2", "(^t),:t[;`c]", "100000 3"},
        {"t<-([]c:100000#'x')", "t[`d`e]<-(a;a)", "cols t", "`c"},
        {"d<-a:100000#'x'", "d[1]<-<.1 2", "(^d),:value d", "100000 3"},
        {"d<-a:100000#'x'", "d[0]<-'y'", "^d", "100000"},
        {"kt<-([k:a] v:100000#'x')", "kt[0]<-<.1 2", "(^kt),:kt.v", "100000 3"},
    };
    // Heaps from where the value just fits up to where its store does.
    for (const Case& c : cases) {
        bool refused = false;
        for (std::uint64_t kib = 1024; kib <= 12 * 1024; kib += 512) {
            LineSession s(heapOf(kib << 10));
            ASSERT_EQ(s.run("a<-!100000"), "");
            if (!s.run(c.make).empty()) continue;
            const std::string answer = s.run(c.store);
            if (answer.empty()) break;
            EXPECT_EQ(answer.substr(0, 14), "workspace full") << c.store;
            EXPECT_EQ(s.run(c.look), c.was) << c.store;
            refused = true;
        }
        EXPECT_TRUE(refused) << c.store;
    }
}

TEST(KeyedAssignment, CellsSurviveACompactionWhileTheNewValueIsBuilt) {
    // Garbage left by replaced variables fills the heap, so building the new
    // value needs a compaction first; every run must store the cells given,
    // and some run must compact.
    bool compacted = false;
    for (int garbage = 0; garbage < 40; ++garbage) {
        Capacities caps;
        caps.heapBytes = 400 * 1024;
        LineSession s(caps);
        ASSERT_EQ(s.run("t<-([]a:!1000;s:1000 3#'abc';g:1000#<.'xy')"), "");
        ASSERT_EQ(s.run("d<-(!500):500#<.1 2"), "");
        ASSERT_EQ(s.run("v<-(7 8;'long text';<.5 6)"), "");
        for (int i = 0; i < garbage; ++i) s.run("b<-!" + std::to_string(1000 + 20 * i));
        const std::uint64_t before = s.in.ws.compactions;
        ASSERT_EQ(s.run("t[2 3;`a`s`g]<-(v[1];v[2];v[3])"), "") << garbage;
        ASSERT_EQ(s.run("d[600]<-v"), "") << garbage;
        compacted = compacted || s.in.ws.compactions > before;
        EXPECT_EQ(s.run("t[1 2 3;`a]"), "1 7 8") << garbage;
        EXPECT_EQ(s.run("t[3;`s]"), "long text") << garbage;
        EXPECT_EQ(s.run("t[2;`g]~5 6"), "1") << garbage;
        EXPECT_EQ(s.run("d[600]~v"), "1") << garbage;
        EXPECT_EQ(s.run("^d"), "501") << garbage;
    }
    EXPECT_TRUE(compacted);
}

}  // namespace
}  // namespace wox::primitives
