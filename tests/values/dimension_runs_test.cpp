// Gathering gList: the runs of values that are gone are dropped, the values
// that remain keep their dimensions, and runs that temporaries in use name
// are neither moved nor overwritten.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/interpreter.h"
#include "frontend/name_table.h"
#include "values/shape.h"

namespace wox::values {
namespace {

std::vector<std::int32_t> dimsOf(const Workspace& ws, const ValueDescriptor& d) {
    std::vector<std::int32_t> out;
    for (int k = 0; k < d.rank; ++k) out.push_back(dimension(ws, d, k));
    return out;
}

int slotOf(Interpreter& in, const char* name) {
    const int e = frontend::findGlobal(in.front, name);
    EXPECT_GE(e, 0) << name;
    return in.front.globals[static_cast<std::size_t>(e)].slot;
}

TEST(DimensionRuns, GatheringKeepsLiveShapesAndDropsTheRest) {
    Interpreter in;
    Workspace& ws = in.ws;
    ASSERT_EQ(engine::executeLine(in, "a<-2 3 4#1"), 0);
    // A temporary in use that names a run of its own.
    ValueDescriptor& live = ws.var(kFirstTemp);
    live = ValueDescriptor{};
    live.type = kInteger;
    const std::int32_t liveDims[] = {6, 5, 4, 3};
    ASSERT_EQ(setDimensions(ws, live, liveDims, 4).code, 0);
    const int liveRun = live.shape1;
    const ValueDescriptor liveCopy = live;
    // Session lines use the same temporary; it is put back after each, as
    // if the lines ran inside a call whose caller holds it.
    for (int i = 0; i < 50; ++i) {
        ASSERT_EQ(engine::executeLine(in, "b<-5 1 2 3#" + std::to_string(i)), 0);
        ws.var(kFirstTemp) = liveCopy;
    }
    ASSERT_EQ(engine::executeLine(in, "n<-(3 2 1#7;4;1 1 1 1 1#2)"), 0);
    ASSERT_EQ(engine::executeLine(in, "c<-9 8 7#0"), 0);
    ValueDescriptor& held = ws.var(kFirstTemp);
    held = liveCopy;
    // One out of use that names words about to be reused.
    ValueDescriptor& stale = ws.var(kFirstTemp + 1);
    stale = ws.var(slotOf(in, "b"));
    const int staleRun = stale.shape1;

    const int fillBefore = ws.gListFill;
    ASSERT_TRUE(ws.gatherDimRuns(kFirstTemp));
    EXPECT_LT(ws.gListFill, fillBefore - 40 * 4);

    EXPECT_EQ(dimsOf(ws, ws.var(slotOf(in, "a"))), (std::vector<std::int32_t>{2, 3, 4}));
    EXPECT_EQ(dimsOf(ws, ws.var(slotOf(in, "b"))), (std::vector<std::int32_t>{5, 1, 2, 3}));
    EXPECT_EQ(dimsOf(ws, ws.var(slotOf(in, "c"))), (std::vector<std::int32_t>{9, 8, 7}));
    EXPECT_EQ(held.shape1, liveRun);
    EXPECT_EQ(dimsOf(ws, held), (std::vector<std::int32_t>{6, 5, 4, 3}));
    EXPECT_EQ(stale.shape1, staleRun);  // out of use: not looked at

    // Items of a nested value keep theirs, and the values still work.
    const ValueDescriptor* items = ws.elems<ValueDescriptor>(ws.var(slotOf(in, "n")));
    EXPECT_EQ(dimsOf(ws, items[0]), (std::vector<std::int32_t>{3, 2, 1}));
    EXPECT_EQ(dimsOf(ws, items[2]), (std::vector<std::int32_t>{1, 1, 1, 1, 1}));
    const ValueDescriptor kept = held;
    ASSERT_EQ(engine::executeLine(in, "s<-(+/,n[1]),(+/,b),#c"), 0);
    const ValueDescriptor& s = ws.var(slotOf(in, "s"));
    ASSERT_EQ(s.count, 5);
    EXPECT_EQ(ws.elems<std::int32_t>(s)[0], 42);
    EXPECT_EQ(ws.elems<std::int32_t>(s)[1], 49 * 30);
    // New runs never land on kept words.
    for (int i = 0; i < 20; ++i) ASSERT_EQ(engine::executeLine(in, "d<-1 2 3 4#0"), 0);
    EXPECT_EQ(dimsOf(ws, kept), (std::vector<std::int32_t>{6, 5, 4, 3}));
}

TEST(DimensionRuns, AGatherWithNothingToDropChangesNothing) {
    Interpreter in;
    ASSERT_EQ(engine::executeLine(in, "a<-2 3 4#1"), 0);
    ASSERT_EQ(engine::executeLine(in, "b<-4 3 2 1#1"), 0);
    Workspace& ws = in.ws;
    ASSERT_TRUE(ws.gatherDimRuns(kFirstTemp - 1));
    EXPECT_EQ(ws.gListFill, 3 + 4);
    const std::vector<std::int32_t> words(ws.gList.begin(), ws.gList.begin() + ws.gListFill);
    ASSERT_TRUE(ws.gatherDimRuns(kFirstTemp - 1));
    EXPECT_EQ(std::vector<std::int32_t>(ws.gList.begin(), ws.gList.begin() + ws.gListFill), words);
}

}  // namespace
}  // namespace wox::values
