// The line walk: temporaries and their two series, nested entries, lists,
// multiple assignment and the stack discipline.
#include <gtest/gtest.h>

#include <string>

#include "engine/evaluator.h"
#include "engine/execute_line.h"
#include "engine/line_session.h"
#include "engine/recording_link.h"
#include "frontend/front_tables.h"
#include "frontend/translator.h"

namespace wox::engine {
namespace {

using Line = testing::LineSession;

std::string chainOfPlus(int n) {
    std::string s = "1";
    for (int i = 0; i < n; ++i) s += "+1";
    return s;
}

TEST(EvaluatorTemporaries, FifteenthTemporaryIsTheFirstOfTheSecondSeries) {
    Line r;
    ValueRef v = kNoValue;
    ASSERT_EQ(r.eval(chainOfPlus(14), &v).code, 0);
    EXPECT_EQ(v, varRef(17));
    ASSERT_EQ(r.eval(chainOfPlus(15), &v).code, 0);
    EXPECT_EQ(v, varRef(15384));
    EXPECT_EQ(inlineInt(r.in.ws.at(v)), 16);
}

TEST(EvaluatorTemporaries, RunningOutOfTemporariesIsDomainError) {
    Line r;
    ValueRef v = kNoValue;
    // 14 + 1000 temporaries exist; one more is refused.
    ASSERT_EQ(r.eval(chainOfPlus(1014), &v).code, 0);
    EXPECT_EQ(v, varRef(16383));
    EXPECT_EQ(r.eval(chainOfPlus(1015), &v).code, 1);
    EXPECT_EQ(r.in.errorWord, 1);
}

TEST(EvaluatorTemporaries, NestedResultsAreCopiedOutOfTheCalleesTemporaries) {
    Line r;
    ValueRef v = kNoValue;
    // The group's result would be overwritten by the caller's next
    // temporaries if it were used in place.
    ASSERT_EQ(r.eval("(1 2+3 4)+(10 20+30 40)*2", &v).code, 0);
    const ValueDescriptor& d = r.in.ws.at(v);
    ASSERT_EQ(d.count, 2);
    EXPECT_EQ(r.in.ws.elems<int>(d)[0], 84);
    EXPECT_EQ(r.in.ws.elems<int>(d)[1], 126);
}

TEST(EvaluatorAssignment, ChainedAssignmentAndStackReturnToMark) {
    Line r;
    ValueRef v = kNoValue;
    ASSERT_EQ(r.eval("a<-b<-1 2 3+4 5 6", &v).code, 0);
    EXPECT_EQ(r.in.ws.stackTop, 0u) << "a stored value ends the line's temporaries";
    ASSERT_EQ(r.eval("a+b", &v).code, 0);
    EXPECT_EQ(r.in.ws.elems<int>(r.in.ws.at(v))[2], 18);
}

TEST(EvaluatorAssignment, ReassignmentReadsTheOldValueWhileBuildingTheNew) {
    Line r;
    ValueRef v = kNoValue;
    ASSERT_EQ(r.eval("x<-1 2 3", &v).code, 0);
    for (int i = 0; i < 50; ++i) ASSERT_EQ(r.eval("x<-x+x", &v).code, 0);
    ASSERT_EQ(r.eval("x", &v).code, 0);
    EXPECT_EQ(r.in.ws.elems<double>(r.in.ws.at(v))[0], 1125899906842624.0);
}

TEST(EvaluatorLists, ListsAreGeneralVectorsAndMultipleAssignmentChecksThem) {
    Line r;
    ValueRef v = kNoValue;
    ASSERT_EQ(r.eval("(a;b)<-(1 2;'xy')", &v).code, 0);
    ASSERT_EQ(r.eval("a", &v).code, 0);
    EXPECT_EQ(r.in.ws.at(v).count, 2);
    ASSERT_EQ(r.eval("b", &v).code, 0);
    EXPECT_EQ(r.in.ws.at(v).type, kChar);
    EXPECT_EQ(r.eval("(a;b)<-(1;2;3)", &v).code, 3);
    EXPECT_EQ(r.eval("(a;b)<-1 2", &v).code, 1);
    EXPECT_EQ(r.eval("(1;nosuch)", &v).code, 4);
}

TEST(EvaluatorLists, MultipleAssignmentFromOneOfItsOwnTargets) {
    Line r;
    ValueRef v = kNoValue;
    ASSERT_EQ(r.eval("a<-(10 20 30;'xyz')", &v).code, 0);
    ASSERT_EQ(r.eval("(a;b)<-a", &v).code, 0);
    ASSERT_EQ(r.eval("a", &v).code, 0);
    ASSERT_EQ(r.in.ws.at(v).count, 3);
    EXPECT_EQ(r.in.ws.elems<int>(r.in.ws.at(v))[2], 30);
    ASSERT_EQ(r.eval("b", &v).code, 0);
    EXPECT_EQ(std::string(r.in.ws.elems<char>(r.in.ws.at(v)), 3), "xyz");
}

TEST(EvaluatorErrors, FirstErrorWinsAndCaretStandsUnderTheFailingNode) {
    Line r;
    ASSERT_EQ(executeLine(r.in, "1+'a'"), -1);
    EXPECT_EQ(r.out, "\r\ndomain error\r\n      1+'a'\r\n       ^");
    r.out.clear();
    ASSERT_EQ(executeLine(r.in, "(1 2+1 2 3)+'a'"), -1);
    EXPECT_EQ(r.out, "\r\nlength error\r\n      (1 2+1 2 3)+'a'\r\n          ^") << "the inner error is reported";
    r.out.clear();
    ASSERT_EQ(executeLine(r.in, "x\t+1"), -1);
    EXPECT_EQ(r.out, "\r\nsyntax error\r\n      x      +1\r\n       ^") << "a tab is shown as six blanks";
    r.out.clear();
    ASSERT_EQ(executeLine(r.in, "'\t'+q"), -1);
    EXPECT_EQ(r.out, "\r\nvalue error\r\n      '      '+q\r\n               ^") << "the caret counts the tab as six";
}

TEST(EvaluatorIndexing, StoresThatNameTheirOwnTargetAndTheValueOfTheStore) {
    Line r;
    ValueRef v = kNoValue;
    ASSERT_EQ(r.eval("z<-3 1 2", &v).code, 0);
    ASSERT_EQ(r.eval("z[z]<-z", &v).code, 0);
    ASSERT_EQ(r.eval("z", &v).code, 0);
    const std::int32_t* e = r.in.ws.elems<std::int32_t>(r.in.ws.at(v));
    EXPECT_EQ(e[0], 1);
    EXPECT_EQ(e[1], 2);
    EXPECT_EQ(e[2], 3);
    ASSERT_EQ(r.eval("a<-z[2]<-2+5", &v).code, 0);
    ASSERT_EQ(r.eval("a", &v).code, 0);
    EXPECT_EQ(r.in.ws.elems<std::int32_t>(r.in.ws.at(v))[0], 7) << "the value of x[i]<-v is v";
}

// A session line that widens a variable by indexed assignment, under heaps
// of every size around the point where it fits: it either succeeds or fails
// with "workspace full", and then the variable is exactly as it was.
TEST(EvaluatorIndexing, FailedStoreUnderASmallHeapLeavesTheVariable) {
    std::string numbers = "x<-";
    for (int i = 1; i <= 200; ++i) numbers += std::to_string(i) + " ";
    bool failed = false, succeeded = false;
    for (std::uint32_t bytes = 1024; bytes <= 8192; bytes += 64) {
        Capacities caps;
        caps.heapBytes = bytes;
        Interpreter in(caps);
        std::string out;
        testing::RecordingLink link(in, [&](std::string_view s) { out += s; });
        if (executeLine(in, numbers) != 0) continue;
        out.clear();
        if (executeLine(in, "x[100]<-0.5") == 0) {
            succeeded = true;
            continue;
        }
        failed = true;
        EXPECT_EQ(out, "\r\nworkspace full\r\n      x[100]<-0.5\r\n      ^") << bytes;
        out.clear();
        ASSERT_EQ(executeLine(in, ":x"), 0);
        ASSERT_EQ(executeLine(in, "x[1 100 200]"), 0);
        EXPECT_EQ(out, "\r\n1\r\n1 100 200") << bytes;
    }
    EXPECT_TRUE(failed);
    EXPECT_TRUE(succeeded);
}

}  // namespace
}  // namespace wox::engine
