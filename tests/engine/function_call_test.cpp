// Calls of defined functions: dynamic scope, argument lists, results, the
// limits of recursion, suspension, line timing and the error trace.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/execute_line.h"
#include "engine/function_call.h"
#include "engine/line_session.h"
#include "frontend/function_store.h"

namespace wox::engine {
namespace {

using Session = testing::LineSession;

TEST(DynamicScope, ALocalHidesTheGlobalForTheCallAndItsCallees) {
    Session s;
    s.define({"z<-show", "z<-g"});
    s.define({"z<-hide x;g", "g<-x", "z<-show"});
    s.run("g<-10");
    EXPECT_EQ(s.run("hide 99"), "99");
    EXPECT_EQ(s.run("show"), "10");
    EXPECT_EQ(s.run("g"), "10");
    // A free name nobody binds becomes a global variable without a value.
    s.define({"z<-reads", "z<-never"});
    EXPECT_EQ(s.run("reads"), "value error\r\nreads[1]  z<-never\r\n             ^");
}

TEST(DynamicScope, ALocalRandomLinkStartsAsTheOneInForce) {
    Session s;
    // Roll and deal need a valid []RL: a local one has the caller's value
    // until it is assigned, and assigning it leaves the caller's alone.
    s.define({"z<-roll x;[]RL", "z<-[]RL,?.x"});
    s.define({"z<-set x;[]RL", "[]RL<-x", "z<-roll 6"});
    Session fresh;
    EXPECT_EQ(s.run("roll 6"), "16807 " + fresh.run("?.6"));
    EXPECT_EQ(s.run("set 5").substr(0, 2), "5 ");
    EXPECT_EQ(s.run("[]RL"), "16807");
    EXPECT_EQ(s.in.ws.lowestLocalSlot, kLocalRegionEnd);
}

TEST(DynamicScope, RecursionRebindsEachCallAndRestoresTheCaller) {
    Session s;
    s.define({"z<-down x;k", "k<-x", "->(x=0)/0", "z<-down x-1", "z<-k"});
    s.define({"z<-sum x;k", "k<-x", "z<-0", "->(x=0)/0", "z<-k+sum x-1"});
    EXPECT_EQ(s.run("sum 10"), "55");
    EXPECT_EQ(s.in.ws.lowestLocalSlot, kLocalRegionEnd) << "every local slot is given back";
    EXPECT_EQ(s.in.scope.top, -1);
}

TEST(Arguments, ParenthesisedListsBindItemsOrFailWithArgumentMismatch) {
    Session s;
    s.define({"z<-pair (a;b)", "z<-a+b"});
    EXPECT_EQ(s.run("pair (1 2;10)"), "11 12");
    EXPECT_EQ(s.run("pair (1;2;3)"), "argument mismatch\r\n      pair (1;2;3)\r\n      ^");
    EXPECT_EQ(s.run("pair 5"), "argument mismatch\r\n      pair 5\r\n      ^");
    EXPECT_EQ(s.in.ws.lowestLocalSlot, kLocalRegionEnd) << "a failed binding leaves no frame";
    s.define({"z<-(p;q) both r", "z<-p-q-r"});
    EXPECT_EQ(s.run("(10;3) both 2"), "9");
}

TEST(Results, MissingResultIsAnErrorOnlyWhereTheValueIsUsed) {
    Session s;
    s.define({"z<-maybe x", "->(x=0)/0", "z<-x"});
    EXPECT_EQ(s.run("maybe 0"), "");
    EXPECT_EQ(s.run("q<-maybe 0"), "no return value from function call\r\n      q<-maybe 0\r\n      ^");
    s.define({"noresult x", "x+1"});
    EXPECT_EQ(s.run("noresult 1"), "2") << "an unassigned line shows its value";
}

TEST(Limits, DeepRecursionStopsWithStackFullAndLeavesCleanly) {
    Session s;
    s.define({"z<-forever x", "z<-forever x"});
    std::string r = s.run("forever 1");
    EXPECT_EQ(r.substr(0, r.find('\r')), "stack full");
    EXPECT_GT(s.in.frames.size(), 200u);
    // Leaving every suspended call gives back all locals and bindings.
    while (!s.in.frames.empty()) leaveSuspended(s.in);
    EXPECT_EQ(s.in.ws.lowestLocalSlot, kLocalRegionEnd);
    EXPECT_EQ(s.in.scope.top, -1);
    EXPECT_EQ(s.in.errors.depth, -1);  // the session line's level goes too
    EXPECT_EQ(s.run("1+1"), "2");
}

TEST(Limits, SmallLocalNameAndScopeTablesFailCleanly) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    caps.localNames = 4;
    caps.shadowStack = 12;
    Session s(caps);
    s.define({"z<-wide x;a;b;c;d", "z<-x"});
    EXPECT_EQ(s.run("wide 1").substr(0, 17), "one table is full");
    EXPECT_TRUE(s.in.frames.empty()) << "a body that cannot be translated is not entered";
    s.define({"z<-deep x", "z<-deep x"});
    std::string r = s.run("deep 1");
    EXPECT_EQ(r.substr(0, r.find('\r')), "stack full");
    // Each call takes a boundary and two bindings: four calls fit in twelve.
    EXPECT_EQ(s.in.frames.size(), 4u);
    while (!s.in.frames.empty()) leaveSuspended(s.in);
    EXPECT_EQ(s.in.scope.top, -1);
    EXPECT_EQ(s.run("2+2"), "4");
}

// Failed calls stay suspended until they are left, so enough of them fill
// the state indicator. The report names the way out; a batch run, where
// nobody can resume them, takes it at once so that later lines still run.
TEST(Limits, AFullStateIndicatorIsNamedAndABatchRunClearsIt) {
    const std::string named = "\r\nthe state indicator is full: )SIC clears it";
    const std::string cleared = "\r\nthe state indicator was full: it is cleared, as )SIC clears it";
    Session s;
    s.define({"z<-bad x", "z<-x+'a'"});
    s.define({"z<-ok x", "z<-x+1"});
    // A session level and a call each: 128 fill the 256 levels.
    for (int i = 1; i <= 128; ++i) ASSERT_EQ(s.run("bad 1").substr(0, 12), "domain error") << i;
    for (int i = 0; i < 2; ++i)
        EXPECT_EQ(s.run("ok 1"), "stack full\r\n      ok 1\r\n      ^" + named) << "the calls stay until left";
    EXPECT_EQ(s.in.frames.size(), 128u);
    leaveAllSuspended(s.in);
    EXPECT_EQ(s.in.errors.depth, -1);
    EXPECT_EQ(s.run("ok 1"), "2");
    // A recursion that fills it alone is named too, from inside the call.
    s.define({"z<-forever x", "z<-forever x"});
    EXPECT_EQ(s.run("forever 1"), "stack full\r\nforever[1]  z<-forever x\r\n               ^" + named);
    leaveAllSuspended(s.in);
    // A line nested too deeply to translate is not about the calls.
    const std::string deep = std::string(1100, '(') + "1" + std::string(1100, ')');
    std::string r = s.run(deep);
    EXPECT_TRUE(r.starts_with("stack full\r\n") && !r.ends_with(named)) << r.substr(0, 40);

    s.in.unattended = true;
    for (int i = 1; i <= 128; ++i) ASSERT_EQ(s.run("bad 1").substr(0, 12), "domain error") << i;
    EXPECT_EQ(s.run("ok 1"), "stack full\r\n      ok 1\r\n      ^" + cleared);
    EXPECT_TRUE(s.in.frames.empty());
    EXPECT_EQ(s.in.errors.depth, -1);
    EXPECT_EQ(s.in.scope.top, -1);
    EXPECT_EQ(s.in.ws.lowestLocalSlot, kLocalRegionEnd);
    EXPECT_EQ(s.run("ok 1"), "2");
    EXPECT_EQ(s.run("forever 1").substr(0, 10), "stack full");
    EXPECT_TRUE(s.in.frames.empty());
    EXPECT_EQ(s.run("ok 2"), "3");
    // Other failures keep their calls suspended in a batch run as well.
    EXPECT_EQ(s.run("bad 1").substr(0, 12), "domain error");
    EXPECT_EQ(s.in.frames.size(), 1u);

    // The scope stack is part of the state indicator too.
    Capacities caps;
    caps.heapBytes = 1 << 20;
    caps.shadowStack = 12;
    Session small(caps);
    small.define({"z<-deep x", "z<-deep x"});
    EXPECT_TRUE(small.run("deep 1").ends_with(named));
    EXPECT_EQ(small.in.frames.size(), 4u);
    small.in.unattended = true;
    EXPECT_TRUE(small.run("deep 1").ends_with(cleared));
    EXPECT_TRUE(small.in.frames.empty());
}

TEST(Limits, InterruptStopsAnEndlessLoopAndKeepsTheWorkspace) {
    Session s;
    s.run("keep<-42");
    s.define({"spin", "L:->L"});
    s.link.onOutput = [&](std::string_view t) {
        s.out += t;
    };
    // The flag is already set when the loop starts: it must be seen at once.
    s.in.interruptRequested = true;
    s.out.clear();
    (void)executeLine(s.in, "spin");
    EXPECT_NE(s.out.find("interrupt"), std::string::npos) << s.out;
    leaveSuspended(s.in);
    EXPECT_EQ(s.run("keep"), "42");
}

TEST(BranchShapes, LoopLinesAreRecognisedOnceAndOtherBranchesAreLeftToTheWalk) {
    Session s;
    int slot = 0;
    ASSERT_EQ(frontend::defineFunction(s.in.frontEnd(),
                                       {"z<-f x;i", "i<-0", "L1:->(~i<x)/L2", "->((x)<i<-i+1)/L1", "->L1",
                                        "->(~x)/2.5", "->(x)/'a'", "->x", "->(~i<x)/L2,3", "L2:z<-i"},
                                       &slot)
                  .code,
              0);
    EXPECT_EQ(s.run("f 0"), "0");  // translates the body
    const std::vector<frontend::BodyLine>& lines = s.in.functions.definitions[static_cast<std::size_t>(slot)].lines;
    using frontend::LineShape;
    const LineShape expected[] = {LineShape::kPlain, LineShape::kBranchUnless, LineShape::kBranchIf,
                                  LineShape::kJump,  LineShape::kPlain,        LineShape::kPlain,
                                  LineShape::kPlain, LineShape::kPlain,        LineShape::kPlain};
    ASSERT_EQ(lines.size(), std::size(expected));
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].shape, expected[i]) << "line " << i + 1;
    EXPECT_EQ(lines[1].target, 9);
    EXPECT_EQ(lines[2].target, 2);
    EXPECT_EQ(lines[3].target, 2);
}

TEST(PairShapes, OnlyOneOperationOnTwoLoneOperandsIsRunWithoutTheWalk) {
    Session s;
    int slot = 0;
    ASSERT_EQ(frontend::defineFunction(s.in.frontEnd(),
                                       {"z<-f x;i", "i<-0", "i<-i+1", "L1:->(~i<x)/L2", "->(~(i<x))/L2",
                                        "->((x)<i<-i+1)/L1", "z<-x+i+1", "z<-(i)+1", "i+1", "z<-x[1]+1",
                                        "->(i=x)/L2", "i<-x*.2", "L2:z<-i"},
                                       &slot)
                  .code,
              0);
    EXPECT_EQ(s.run("f 1"), "1");  // translates the body
    const std::vector<frontend::BodyLine>& lines = s.in.functions.definitions[static_cast<std::size_t>(slot)].lines;
    // (i) is a lone name; power has no routine for two single numbers.
    const bool paired[] = {false, true, true, true, false, false, true, false, false, true, false, false};
    ASSERT_EQ(lines.size(), std::size(paired));
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].pairOp >= 0, paired[i]) << "line " << i + 1;
}

TEST(CallShapes, OnlyAnAssignedMonadicCallOfADefinedFunctionOnALoneOperandSkipsTheWalk) {
    Session s;
    s.define({"z<-inc x", "z<-x+1"});
    s.define({"z<-a add b", "z<-a+b"});
    int slot = 0;
    ASSERT_EQ(frontend::defineFunction(s.in.frontEnd(),
                                       {"z<-f x;i", "i<-inc x", "i<-inc 3", "i<-inc i+1", "i<-1 add i",
                                        "i<-(inc i)", "i<-inc (i)", "i<--i", "z<-i<-inc i", "->inc _1"},
                                       &slot)
                  .code,
              0);
    EXPECT_EQ(s.run("f 1"), "_8");  // translates the body; the last line ends it
    const std::vector<frontend::BodyLine>& lines = s.in.functions.definitions[static_cast<std::size_t>(slot)].lines;
    // (i) is a lone name; (inc i) a group.
    const bool called[] = {true, true, false, false, false, true, false, false, false};
    ASSERT_EQ(lines.size(), std::size(called));
    for (std::size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i].callOp >= 0, called[i]) << "line " << i + 1;
}

TEST(Limits, InterruptStopsALoopWhoseBranchesAreDecidedWithoutValues) {
    // The test and the jump back of a while loop run no ordinary line walk;
    // a Ctrl-C arriving while it spins must still stop it.
    Session s;
    s.define({"z<-spin x;i", "i<-0", "L1:->(~i<x)/L2", "i<-i*1", "->L1", "L2:z<-i"});
    s.define({"z<-count x;i", "i<-0", "L1:->((x)<i<-i+0)/L2", "->L1", "L2:z<-i"});
    s.link.onOutput = [&](std::string_view t) {
        s.out += t;
    };
    for (const char* line : {"spin 1", "count 1"}) {
        s.out.clear();
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            s.in.interruptRequested = true;
        });
        (void)executeLine(s.in, line);
        stopper.join();
        EXPECT_NE(s.out.find("interrupt"), std::string::npos) << line << ": " << s.out;
        leaveSuspended(s.in);
    }
}

TEST(Suspension, SessionLinesSeeTheLocalsOfASuspendedCall) {
    Session s;
    s.define({"z<-stop x;loc", "loc<-x*2", "z<-loc+'a'"});
    EXPECT_EQ(s.run("stop 21"), "domain error\r\nstop[2]  z<-loc+'a'\r\n               ^");
    EXPECT_EQ(s.run("loc"), "42");
    EXPECT_EQ(s.run("[]IO"), "1");
    leaveSuspended(s.in);
    EXPECT_EQ(s.run("loc"), "value error\r\n      loc\r\n      ^");
}

TEST(Timing, EachLineWithCodeWritesOneTimingLine) {
    Session s;
    s.define({"three", "a<-1", "b<-2", "c<-3"});
    s.in.errors.lineTiming = true;
    std::string r = s.run("three");
    EXPECT_NE(r.find("in func. [   three] line [  1] :   0 ms"), std::string::npos) << r;
    EXPECT_NE(r.find("line [  2]"), std::string::npos);
    EXPECT_NE(r.find("line [  3]"), std::string::npos);
}

TEST(ErrorTrace, InnermostCallRecordsItsExecutedLinesInOrder) {
    Session s;
    s.define({"inner x", "a<-1", "b<-2", "x+'a'"});
    s.define({"outer x", "inner x"});
    s.run("outer 1");
    const ErrorTrace& t = s.in.errors.trace;
    ASSERT_TRUE(t.recorded);
    EXPECT_EQ(t.name, "inner");
    EXPECT_EQ(t.lastLine, 3);
    EXPECT_EQ(t.lines, (std::vector<std::int32_t>{1, 2, 3}));
    // A loop of more than 100 lines keeps only the last 100.
    s.define({"many;i", "i<-0", "L:i<-i+1", "->(i<60)/L", "i+'a'"});
    while (!s.in.frames.empty()) leaveSuspended(s.in);
    s.run("many");
    EXPECT_EQ(s.in.errors.trace.lines.size(), 100u);
    EXPECT_EQ(s.in.errors.trace.lines.back(), 4);
    EXPECT_EQ(s.in.errors.trace.executed, std::uint64_t{1 + 2 * 60 + 1});
}

}  // namespace
}  // namespace wox::engine
