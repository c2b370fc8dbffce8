// The structural functions at their limits: results beyond the heap, the
// gList or the 32-bit element count fail with their messages and leave the
// arguments as they were; General items survive compaction; reshape keeps
// its argument's block when it replaces it.
#include <gtest/gtest.h>

#include <string>

#include "engine/execute_line.h"
#include "engine/line_session.h"
#include "primitives/compress.h"
#include "primitives/structural.h"
#include "primitives/value_builder.h"
#include "vocabulary/vocabulary.h"
#include "values/messages.h"

namespace wox::primitives {
namespace {

using wox::testing::read;
using wox::testing::vec;

using Session = testing::LineSession;

Capacities smallHeap(std::uint32_t bytes) {
    Capacities caps;
    caps.heapBytes = bytes;
    return caps;
}

std::string firstLine(const std::string& s) { return s.substr(0, s.find("\r\n")); }

TEST(StructuralLimits, ResultsBeyondTheHeapAreWorkspaceFullAndLeaveTheVariable) {
    Session s(smallHeap(256 * 1024));
    s.run("x<-!1000");
    EXPECT_EQ(firstLine(s.run("100000#x")), "workspace full");
    EXPECT_EQ(firstLine(s.run("x<-x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x,x")),
              "workspace full");
    EXPECT_EQ(firstLine(s.run("300 300^.2 2#x")), "workspace full");
    EXPECT_EQ(s.run("(^x),(^.x),^.$x"), "1000 1 1000");
}

TEST(StructuralLimits, GeneralResultsWhoseItemsDoNotFitAreWorkspaceFull) {
    Session s(smallHeap(256 * 1024));
    s.run("a<-(!10000;'ab')");
    // Twenty descriptors fit; ten copies of the long item do not.
    EXPECT_EQ(firstLine(s.run("20#a")), "workspace full");
    EXPECT_EQ(firstLine(s.run("a,a,a,a,a,a,a,a,a,a")), "workspace full");
    EXPECT_EQ(firstLine(s.run("20/a")), "workspace full");
    EXPECT_EQ(s.run("^a"), "2");
    EXPECT_EQ(s.run("^^.a"), "10000");
    EXPECT_EQ(s.run("^.$a"), "ab");
}

TEST(StructuralLimits, CountsBeyondThirtyTwoBitsAreWorkspaceFull) {
    Session s(smallHeap(1 << 20));
    EXPECT_EQ(firstLine(s.run("65536 65536#1")), "workspace full");
    EXPECT_EQ(firstLine(s.run("2000000000 2000000000^.2 2#1")), "workspace full");
    EXPECT_EQ(firstLine(s.run("!2000000000")), "workspace full");
    // A zero axis makes the product 0 however large the others are.
    EXPECT_EQ(s.run("#2000000000 0 2000000000#1"), "2000000000 0 2000000000");
}

TEST(StructuralLimits, HighRankResultsFailWithGListFull) {
    Capacities caps;
    caps.gList = 64;
    Session s(caps);
    std::string dims = "2";
    for (int i = 0; i < 5; ++i) dims += " 1";
    // Values that stay: the runs of those that are gone are gathered.
    for (int i = 0; i < 12; ++i) (void)s.run("v" + std::to_string(i) + "<-" + dims + "#7");
    EXPECT_EQ(firstLine(s.run("&." + dims + "#7")), "gList full");
    EXPECT_EQ(s.run("#v0"), "2 1 1 1 1 1");
}

TEST(StructuralGeneral, ItemsKeepTheirValuesThroughCompaction) {
    Session s(smallHeap(96 * 1024));
    s.run("a<-(1 2 3;'abc';2 2#4 5 6 7)");
    // Each round leaves garbage blocks behind, so compaction moves the
    // variable's items while the results are built from them.
    for (int round = 0; round < 200; ++round) {
        s.run("g<-!1000");
        s.run("b<-5#a");
        s.run("c<-_4^.$a");
        s.run("d<-a,(<.a),1");
    }
    ASSERT_GT(s.in.ws.compactions, 0);
    EXPECT_EQ(s.run("b"), "<1 2 3\r\n<abc\r\n<4 5\r\n 6 7\r\n<1 2 3\r\n<abc");
    EXPECT_EQ(s.run("c"), "<\r\n<4 5\r\n 6 7\r\n<abc\r\n<1 2 3");
    EXPECT_EQ(s.run("^d"), "5");
    EXPECT_EQ(s.run("^.3^.d"), "1 2 3");
    EXPECT_EQ(s.run("^.^.3!.d"), "1 2 3");
}

TEST(StructuralReshape, ReplacingItsArgumentKeepsTheBlock) {
    Interpreter in;
    const int slot = kFirstTemp;
    ValueRef y = vec(in, slot, kInteger, {1, 2, 3, 4, 5, 6});
    const std::uint32_t block = in.ws.var(slot).data;
    ValueRef x = vec(in, kFirstTemp + 1, kInteger, {2, 2});
    ASSERT_EQ(reshape(in, vocabulary::code::kReshape, slot, x, y).code, 0);
    auto r = read(in, varRef(slot));
    EXPECT_EQ(in.ws.var(slot).data, block);
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{2, 2}));
    EXPECT_EQ(r.v, (std::vector<double>{1, 2, 3, 4}));
}

TEST(StructuralReshape, ReplacingItsArgumentWithMoreElementsCycles) {
    Interpreter in;
    const int slot = kFirstTemp;
    ValueRef y = vec(in, slot, kInteger, {1, 2, 3});
    ValueRef x = vec(in, kFirstTemp + 1, kInteger, {2, 4});
    ASSERT_EQ(reshape(in, vocabulary::code::kReshape, slot, x, y).code, 0);
    EXPECT_EQ(read(in, varRef(slot)).v, (std::vector<double>{1, 2, 3, 1, 2, 3, 1, 2}));
}

TEST(StructuralCatenate, ResultIntoTheRightArgumentsSlotReadsTheOldBlock) {
    Interpreter in;
    const int slot = kFirstTemp;
    ValueRef y = vec(in, slot, kFloat, {1.5, 2.5});
    ValueRef x = vec(in, kFirstTemp + 1, kInteger, {7, 8, 9});
    ASSERT_EQ(catenate(in, vocabulary::code::kCatenate, slot, x, y).code, 0);
    auto r = read(in, varRef(slot));
    EXPECT_EQ(r.type, kFloat);
    EXPECT_EQ(r.v, (std::vector<double>{7, 8, 9, 1.5, 2.5}));
}

TEST(StructuralAxes, CompressAndExpandTakeTheAxisForms) {
    Interpreter in;
    // A 2 by 3 by 2 value; axis 1 has three items.
    ValueRef y = wox::testing::put(in, kFirstTemp, kInteger, {2, 3, 2}, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12});
    ValueRef mask = vec(in, kFirstTemp + 1, kBoolean, {1, 0, 1});
    ASSERT_EQ(compress(in, vocabulary::code::kCompressAxisBase + 1, kFirstTemp + 2, mask, y).code, 0);
    auto r = read(in, varRef(kFirstTemp + 2));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{2, 2, 2}));
    EXPECT_EQ(r.v, (std::vector<double>{1, 2, 5, 6, 7, 8, 11, 12}));
    EXPECT_EQ(compress(in, vocabulary::code::kCompressAxisBase + 3, kFirstTemp + 3, mask, y).code, kAxisError);

    ValueRef spread = vec(in, kFirstTemp + 4, kBoolean, {0, 1, 1, 0, 1});
    ASSERT_EQ(expand(in, vocabulary::code::kExpandAxisBase + 1, kFirstTemp + 5, spread, y).code, 0);
    r = read(in, varRef(kFirstTemp + 5));
    EXPECT_EQ(r.dims, (std::vector<std::int32_t>{2, 5, 2}));
    EXPECT_EQ(r.v, (std::vector<double>{0, 0, 1, 2, 3, 4, 0, 0, 5, 6, 0, 0, 7, 8, 9, 10, 0, 0, 11, 12}));
    EXPECT_EQ(expand(in, vocabulary::code::kExpandAxisBase + 2, kFirstTemp + 6, spread, y).code, kLengthError);
}

// A value of two item descriptors (a dictionary or table) in temporary slot
// `slot`; the items are descriptors without blocks.
ValueRef pair(Interpreter& in, int slot, std::int32_t type, ValueDescriptor a, ValueDescriptor b) {
    EXPECT_EQ(in.ws.allocTemp(slot, type, 2).code, 0);
    ValueDescriptor& d = in.ws.var(slot);
    d.type = type;
    d.rank = 1;
    d.count = 2;
    d.shape0 = type == kDictionary ? 1 : 2;
    auto* items = in.ws.elems<ValueDescriptor>(d);
    items[0] = a;
    items[1] = b;
    return varRef(slot);
}

// An item descriptor that only states its type and length.
ValueDescriptor header(std::int32_t type, std::int32_t count, std::int32_t shape0) {
    ValueDescriptor d;
    d.type = type;
    d.rank = 1;
    d.count = count;
    d.shape0 = shape0;
    return d;
}

TEST(StructuralCount, DictionariesCountTheirKeysAndTablesTheirRows) {
    Interpreter in;
    // Three keys; a table of two columns and five rows, whose column list
    // keeps the row count.
    ValueRef dict = pair(in, kFirstTemp, kDictionary, header(kSymbol, 3, 3), header(kInteger, 3, 3));
    ASSERT_EQ(countOf(in, vocabulary::code::kCount, kFirstTemp + 2, dict).code, 0);
    EXPECT_EQ(read(in, varRef(kFirstTemp + 2)).v, (std::vector<double>{3}));
    ValueRef table = pair(in, kFirstTemp + 1, kTable, header(kSymbol, 2, 2), header(kGeneral, 2, 5));
    ASSERT_EQ(countOf(in, vocabulary::code::kCount, kFirstTemp + 3, table).code, 0);
    EXPECT_EQ(read(in, varRef(kFirstTemp + 3)).v, (std::vector<double>{5}));
}

}  // namespace
}  // namespace wox::primitives
