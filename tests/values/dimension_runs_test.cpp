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
#include "engine/line_session.h"

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


// Random programs of values of rank 3 to 5, nested values holding them,
// defined functions with loops and each, run twice: with a gList that holds
// everything the program ever makes, and with one so small that the program
// keeps running only if the runs of dead values are gathered again and
// again. Both must write the same.
class RandomProgram {
public:
    explicit RandomProgram(unsigned seed) : state_(seed * 2654435761u + 1) {}

    std::vector<std::string> lines(int count) {
        std::vector<std::string> out;
        for (int i = 0; i < count; ++i) out.push_back(line());
        for (int k = 0; k < kArrays; ++k)
            if (array_[k]) out.push_back("(#a" + std::to_string(k) + "),+/,a" + std::to_string(k));
        for (int k = 0; k < kNested; ++k)
            if (nested_[k]) out.push_back("#\"n" + std::to_string(k));
        return out;
    }

private:
    static constexpr int kArrays = 6, kNested = 3;

    unsigned next(unsigned n) {
        state_ = state_ * 1103515245u + 12345u;
        return (state_ >> 8) % n;
    }
    std::string dims() {
        std::string d;
        const unsigned rank = 3 + next(3);
        for (unsigned i = 0; i < rank; ++i) d += std::to_string(1 + next(3)) + " ";
        return d;
    }
    std::string a(int k) { return "a" + std::to_string(k); }
    std::string n(int k) { return "n" + std::to_string(k); }
    int someArray() {
        for (int tries = 0; tries < 8; ++tries) {
            int k = static_cast<int>(next(kArrays));
            if (array_[k]) return k;
        }
        return -1;
    }
    int someNested() {
        int k = static_cast<int>(next(kNested));
        return nested_[k] ? k : -1;
    }

    std::string line() {
        const int to = static_cast<int>(next(kArrays));
        const int from = someArray();
        const int nest = someNested();
        if (from < 0) {
            array_[to] = true;
            return a(to) + "<-" + dims() + "#" + std::to_string(next(10));
        }
        switch (next(12)) {
            case 0: array_[to] = true; return a(to) + "<-" + dims() + "#" + std::to_string(next(10));
            case 1: array_[to] = true; return a(to) + "<-h " + a(from);
            case 2: array_[to] = true; return a(to) + "<-tw " + a(from);
            case 3: array_[to] = true; return a(to) + "<-&." + a(from);
            case 4: array_[to] = true; return a(to) + "<-lp " + std::to_string(1 + next(40));
            case 5: {
                const int k = static_cast<int>(next(kNested));
                nested_[k] = true;
                return n(k) + "<-pair " + a(from);
            }
            case 6:
                if (nest < 0) return "#" + a(from);
                nested_[nest] = true;
                return n(nest) + "<-h\"" + n(nest);
            case 7: return nest < 0 ? "+/," + a(from) : "+/,(" + n(nest) + ")[2]";
            case 8: array_[to] = true; return a(to) + "<-" + a(from) + "," + a(from);
            case 9: return "#" + a(from) + "," + a(from);
            case 10:
                // A value of rank 3 waits in a temporary while lp's loop runs.
                array_[to] = true;
                return a(to) + "<-(lp " + std::to_string(1 + next(60)) + "),2 1 5#" + std::to_string(next(10));
            default: return "(#" + a(from) + "),+/,h " + a(from);
        }
    }

    unsigned state_;
    bool array_[kArrays] = {};
    bool nested_[kNested] = {};
};

void defineHelpers(wox::testing::LineSession& s) {
    s.define({"z<-h x", "z<-x+1"});
    s.define({"z<-tw x", "z<-x,x"});
    s.define({"z<-lp x;i;q", "i<-0", "L1:->(~i<x)/L2", "q<-2 1 3#i", "i<-i+1", "->L1", "L2:", "z<-q"});
    s.define({"z<-pair x", "z<-(x;h x;7)"});
}

TEST(DimensionRuns, WhatACallerHoldsSurvivesGatheringInTheCall) {
    Capacities small;
    small.gList = 2000;
    wox::testing::LineSession s(small);
    defineHelpers(s);
    // 2 1 5#1 waits in a temporary while lp's loop makes 1,800 words of runs.
    EXPECT_EQ(s.run("r<-(lp 300),2 1 5#1"), "");
    EXPECT_EQ(s.run("#r"), "2 1 8");
    EXPECT_EQ(s.run("+/,r"), "1804");
    EXPECT_EQ(s.run("#\"(lp 400;2 1 4#0;lp 300)"), "<2 1 3\r\n<2 1 4\r\n<2 1 3");
}

TEST(DimensionRuns, ASmallListRunsWhatALargeOneRuns) {
    Capacities small;
    small.gList = 2000;
    for (unsigned seed = 1; seed <= 12; ++seed) {
        RandomProgram program(seed);
        const std::vector<std::string> lines = program.lines(400);
        wox::testing::LineSession large, tight(small);
        defineHelpers(large);
        defineHelpers(tight);
        for (const std::string& line : lines) {
            const std::string want = large.run(line);
            const std::string got = tight.run(line);
            ASSERT_EQ(got, want) << "seed " << seed << ": " << line;
            ASSERT_EQ(want.find("error"), std::string::npos) << line << "\n" << want;
            ASSERT_EQ(want.find("full"), std::string::npos) << line << "\n" << want;
        }
        // The large list was never gathered; far more than the small one
        // holds was made.
        EXPECT_GT(large.in.ws.gListFill, 3 * small.gList) << "seed " << seed;
    }
}

}  // namespace
}  // namespace wox::values
