// Compaction driven by garbage: a loop of replacements stays in a few
// megabytes of heap and gives the pages below it back to the system, while
// a heap with much live data is not compacted more often than before.
#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/interpreter.h"
#include "engine/recording_link.h"
#include "frontend/function_store.h"
#include "values/value_copy.h"

namespace wox::values {
namespace {

// A General temporary (n; 'abc'; 1 2 3), the value the loops assign.
void makeTriple(Workspace& ws, int tmp, int n) {
    ws.stackTop = 0;
    ASSERT_EQ(ws.allocTemp(tmp, kGeneral, 3).code, 0);
    ValueDescriptor& g = ws.var(tmp);
    g.type = kGeneral;
    g.rank = 1;
    g.count = 3;
    g.shape0 = 3;
    std::uint32_t block = g.data;
    auto item = [&](int i) { return reinterpret_cast<ValueDescriptor*>(ws.base() + block + 32u * static_cast<std::uint32_t>(i)); };
    item(0)->type = kInteger;
    item(0)->count = 1;
    setInlineInt(*item(0), n);
    ASSERT_EQ(ws.allocTemp(5, kChar, 3).code, 0);
    ValueDescriptor c = ws.var(5);
    c.type = kChar;
    c.rank = 1;
    c.count = 3;
    c.shape0 = 3;
    std::memcpy(ws.base() + c.data, "abc", 3);
    *item(1) = c;
    ASSERT_EQ(ws.allocTemp(6, kInteger, 3).code, 0);
    ValueDescriptor v = ws.var(6);
    v.type = kInteger;
    v.rank = 1;
    v.count = 3;
    v.shape0 = 3;
    for (int k = 0; k < 3; ++k) ws.elems<std::int32_t>(v)[k] = k + 1;
    *item(2) = v;
}

// Resident pages of the heap in [from, to), by mincore.
std::size_t residentPages(const Workspace& ws, std::uint32_t from, std::uint32_t to) {
    const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    std::size_t first = (from + page - 1) / page * page, last = to / page * page;
    if (first >= last) return 0;
    std::vector<unsigned char> in((last - first) / page);
    if (mincore(ws.base() + first, last - first, in.data()) != 0) return ~std::size_t{0};
    std::size_t n = 0;
    for (unsigned char c : in) n += c & 1;
    return n;
}

TEST(GarbageCompaction, ALoopOfNestedAssignmentsStaysNearTheTop) {
    Interpreter in;  // the full 600 MiB heap
    Workspace& ws = in.ws;
    for (int i = 0; i < 400'000; ++i) {
        makeTriple(ws, 4, i);
        ASSERT_EQ(assignValue(ws, 20, varRef(4)).code, 0);
        ws.releasePending();
        ASSERT_LE(ws.region.size() - ws.heapTop, 2 * ws.liveBytes() + 2 * ws.garbageMargin() + 4096) << "step " << i;
    }
    EXPECT_GT(ws.compactions, 0u);
    EXPECT_GT(ws.pagesGivenBack, 0u);
    std::uint32_t span = ws.liveBytes() + 2 * ws.garbageMargin();
    // Nothing below the working span is resident any more (the stack's
    // first huge page aside).
    EXPECT_EQ(residentPages(ws, ws.stackTop + (2u << 20), ws.region.size() - span), 0u);
    const ValueDescriptor& t = ws.var(20);
    const auto* items = ws.elems<ValueDescriptor>(t);
    EXPECT_EQ(*ws.elems<std::int32_t>(items[0]), 399'999);
    EXPECT_EQ(std::string(ws.elems<char>(items[1]), 3), "abc");
    EXPECT_EQ(ws.elems<std::int32_t>(items[2])[2], 3);
}

TEST(GarbageCompaction, PagesOfABigValueGoBackOnceItIsGone) {
    Interpreter in;
    Workspace& ws = in.ws;
    const std::int64_t n = (64 << 20) / 4;
    ASSERT_EQ(ws.allocOwned(21, kInteger, n).code, 0);
    std::memset(ws.base() + ws.var(21).data, 1, static_cast<std::size_t>(n) * 4);
    std::uint32_t bigStart = ws.var(21).data;
    ws.releaseVar(21);  // as a local's return would
    ASSERT_EQ(ws.garbageBytes(), 0u) << "slot 21 is a global: releaseVar leaves it";
    ws.freeValueBlocks(ws.var(21));
    ws.var(21) = ValueDescriptor{};
    for (int i = 0; i < 1000; ++i) {
        makeTriple(ws, 4, i);
        ASSERT_EQ(assignValue(ws, 20, varRef(4)).code, 0);
        ws.releasePending();
    }
    EXPECT_GE(ws.compactions, 1u);
    EXPECT_GE(ws.pagesGivenBack, std::uint64_t{40} << 20);
    EXPECT_EQ(residentPages(ws, bigStart, ws.region.size() - ws.liveBytes() - 2 * ws.garbageMargin()), 0u);
    // The bytes the value held read as zeros now.
    EXPECT_EQ(ws.base()[bigStart + (8u << 20)], 0);
}

TEST(GarbageCompaction, GarbageIsCountedOnceAndClearedByCompaction) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    Interpreter in(caps);
    Workspace& ws = in.ws;
    std::uint32_t live0 = ws.liveBytes();
    EXPECT_EQ(ws.garbageBytes(), 0u);
    makeTriple(ws, 4, 7);
    ASSERT_EQ(assignValue(ws, 20, varRef(4)).code, 0);
    ws.releasePending();
    // The General block (3 descriptors) and two item blocks, with trailers.
    std::uint32_t tree = (96 + 16) + (8 + 16) + (16 + 16);
    EXPECT_EQ(ws.liveBytes(), live0 + tree);
    ws.freeValueBlocks(ws.var(20));
    ws.freeValueBlocks(ws.var(20));  // a second free of the same value counts nothing
    EXPECT_EQ(ws.garbageBytes(), tree);
    EXPECT_EQ(ws.liveBytes(), live0);
    ws.compact();
    EXPECT_EQ(ws.garbageBytes(), 0u);
    EXPECT_EQ(ws.region.size() - ws.heapTop, live0);
}

TEST(GarbageCompaction, MuchLiveDataIsNotCompactedOnEveryStep) {
    Capacities caps;
    caps.heapBytes = 8 << 20;  // margin 512 KiB
    Interpreter in(caps);
    Workspace& ws = in.ws;
    // 2 MiB live in one variable.
    ASSERT_EQ(ws.allocOwned(30, kInteger, (2 << 20) / 4).code, 0);
    ws.var(30).type = kInteger;
    ws.var(30).rank = 1;
    ws.var(30).count = (2 << 20) / 4;
    std::uint64_t before = ws.compactions;
    std::uint64_t allocated = 0;
    for (int i = 0; i < 20'000; ++i) {
        makeTriple(ws, 4, i);
        ASSERT_EQ(assignValue(ws, 20, varRef(4)).code, 0);
        ws.releasePending();
        allocated += 160;
    }
    // A compaction per live bytes and margin of garbage at most: the live
    // bytes are moved no more than once per as many bytes allocated.
    std::uint64_t runs = ws.compactions - before;
    EXPECT_GE(runs, 1u);
    EXPECT_LE(runs, allocated / ((2u << 20) + ws.garbageMargin()) + 1);
    EXPECT_EQ(ws.var(30).count, (2 << 20) / 4);
}

TEST(GarbageCompaction, TheCompactionCountRunsPastTwoToThe32) {
    Capacities caps;
    caps.heapBytes = 1 << 16;
    Interpreter in(caps);
    in.ws.compactions = (std::uint64_t{1} << 32) - 1;
    in.ws.compact();
    in.ws.compact();
    EXPECT_EQ(in.ws.compactions, (std::uint64_t{1} << 32) + 1);
}

TEST(GarbageCompaction, TheInterpretersGrowLoopKeepsItsValuesAndItsFunctions) {
    Interpreter in;
    std::string out;
    testing::RecordingLink link(in, [&](std::string_view s) { out += s; });
    int slot = 0;
    ASSERT_EQ(frontend::defineFunction(in.frontEnd(),
                                       {"z<-grow x;i", "i<-0", "L:t<-(i;'abc';1 2 3)", "i<-i+1", "->(i<x)/L", "z<-i"},
                                       &slot)
                  .code,
              0);
    (void)engine::executeLine(in, "keep<-1 2 3 4 5");
    (void)engine::executeLine(in, "grow 300000");
    EXPECT_EQ(out, "\r\n300000");
    EXPECT_GT(in.ws.compactions, 0u);
    EXPECT_LT(in.ws.region.size() - in.ws.heapTop, 40u << 20);
    out.clear();
    (void)engine::executeLine(in, "keep+1");
    EXPECT_EQ(out, "\r\n2 3 4 5 6");
}

}  // namespace
}  // namespace wox::values
