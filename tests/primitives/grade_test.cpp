// Grade through the interpreter: the working memory comes from the free heap
// above the stack, or from the system when the heap is short of it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/recording_link.h"
#include "engine/workspace_clear.h"
#include "frontend/name_table.h"

namespace wox {
namespace {

std::string run(Interpreter& in, const std::string& line) {
    std::string out;
    {
        testing::RecordingLink link(in, [&](std::string_view s) { out += s; });
        engine::executeLine(in, line);
    }
    return out;
}

std::vector<std::int32_t> ints(Interpreter& in, std::string_view name) {
    int g = frontend::findGlobal(in.front, name);
    EXPECT_GE(g, 0);
    const ValueDescriptor& d = in.ws.var(in.front.globals[static_cast<std::size_t>(g)].slot);
    EXPECT_EQ(d.type, kInteger);
    const std::int32_t* p = in.ws.elems<std::int32_t>(d);
    return std::vector<std::int32_t>(p, p + d.count);
}

// Each grade orders x, and equal values keep their order of position.
void expectGrades(std::uint32_t heapBytes) {
    Capacities caps;
    caps.heapBytes = heapBytes;
    Interpreter in(caps);
    ASSERT_EQ(engine::clearWorkspace(in).code, 0);
    // 60,000 values of a range wide enough for two radix passes, with repeats.
    ASSERT_EQ(run(in, "x<-?.60000#100000"), "");
    ASSERT_EQ(run(in, "up<-<x"), "");
    ASSERT_EQ(run(in, "down<->x"), "");
    std::vector<std::int32_t> x = ints(in, "x"), up = ints(in, "up"), down = ints(in, "down");
    ASSERT_EQ(up.size(), x.size());
    ASSERT_EQ(down.size(), x.size());
    for (std::size_t i = 1; i < x.size(); ++i) {
        std::int32_t a = x[up[i - 1] - 1], b = x[up[i] - 1];
        ASSERT_TRUE(a < b || (a == b && up[i - 1] < up[i])) << i;
        a = x[down[i - 1] - 1], b = x[down[i] - 1];
        ASSERT_TRUE(a > b || (a == b && down[i - 1] < down[i])) << i;
    }
}

TEST(GradePrimitive, SortsInTheFreeHeap) { expectGrades(Capacities{}.heapBytes); }

TEST(GradePrimitive, SortsWithSystemMemoryWhenTheHeapIsShort) {
    // The values and positions fill most of this heap; the sort's million
    // bytes of pairs do not fit beside them.
    expectGrades(1'600'000);
}

}  // namespace
}  // namespace wox
