// Workspace memory: blocks, reuse, pending release, compaction of plain and
// nested values, heap exhaustion and gList limits.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/interpreter.h"
#include "engine/recording_link.h"
#include "values/shape.h"
#include "values/value_copy.h"

namespace wox::values {
namespace {

// Makes slot hold an Integer vector with the given elements (owned block).
void setInts(Workspace& ws, int slot, const std::vector<int>& v) {
    ASSERT_EQ(ws.allocOwned(slot, kInteger, static_cast<int>(v.size())).code, 0);
    ValueDescriptor& d = ws.var(slot);
    d.type = kInteger;
    d.rank = 1;
    d.count = static_cast<int>(v.size());
    d.shape0 = d.count;
    if (v.size() == 1) setInlineInt(d, v[0]);
    else if (!v.empty()) std::memcpy(ws.base() + d.data, v.data(), 4 * v.size());
    ws.releasePending();
}

std::vector<int> ints(Workspace& ws, const ValueDescriptor& d) {
    const int* e = ws.elems<int>(d);
    return std::vector<int>(e, e + d.count);
}

// Builds in temporary slot tmp a General vector whose item i is an Integer
// vector of length i+2 filled with base+i.
void makeNestedTemp(Workspace& ws, int tmp, int items, int base) {
    ASSERT_EQ(ws.allocTemp(tmp, kGeneral, items).code, 0);
    ValueDescriptor& g = ws.var(tmp);
    g.type = kGeneral;
    g.rank = 1;
    g.count = items;
    g.shape0 = items;
    for (int i = 0; i < items; ++i) {
        int n = i + 2;
        std::uint32_t at = ws.stackTop;
        ws.stackTop += static_cast<std::uint32_t>(padded(4 * n));
        for (int k = 0; k < n; ++k) reinterpret_cast<int*>(ws.base() + at)[k] = base + i;
        auto* item = reinterpret_cast<ValueDescriptor*>(ws.base() + ws.var(tmp).data) + i;
        item->type = kInteger;
        item->rank = 1;
        item->count = n;
        item->shape0 = n;
        item->blockSize = 4 * n;
        item->data = at;
    }
}

void expectNested(Workspace& ws, const ValueDescriptor& g, int items, int base) {
    ASSERT_EQ(g.type, kGeneral);
    ASSERT_EQ(g.count, items);
    const auto* it = ws.elems<ValueDescriptor>(g);
    for (int i = 0; i < items; ++i) {
        ASSERT_EQ(it[i].count, i + 2);
        const int* e = ws.elems<int>(it[i]);
        for (int k = 0; k < i + 2; ++k) ASSERT_EQ(e[k], base + i) << "item " << i;
        // The item's block trailer names this very descriptor.
        Trailer* t = ws.trailerOf(it[i]);
        EXPECT_EQ(t->owner, kOwnerItem | static_cast<std::uint32_t>(reinterpret_cast<const char*>(&it[i]) - ws.base()));
        EXPECT_EQ(t->inUse, 1);
    }
}

TEST(WorkspaceBlocks, CharBlockEndsWithZeroByteAndComplexScalarOwnsSixteen) {
    Interpreter in;
    Workspace& ws = in.ws;
    ASSERT_EQ(ws.allocOwned(20, kChar, 5).code, 0);
    EXPECT_EQ(ws.var(20).blockSize, 6);
    EXPECT_EQ(ws.base()[ws.var(20).data + 5], 0);
    ASSERT_EQ(ws.allocOwned(21, kComplex, 1).code, 0);
    EXPECT_EQ(ws.var(21).blockSize, 16);
    EXPECT_EQ(elementSize(kChar, 0), 0);
    EXPECT_EQ(elementSize(kEnumeration, 3), 20);
    EXPECT_TRUE(isInline(kChar, 1, 1));
    EXPECT_FALSE(isInline(kComplex, 0, 1));
    EXPECT_FALSE(isInline(kInteger, 2, 1));
}

TEST(WorkspaceBlocks, ReassignmentReusesABlockThatFitsAndReplacesOneThatDoesNot) {
    Interpreter in;
    Workspace& ws = in.ws;
    setInts(ws, 20, {1, 2, 3, 4});
    std::uint32_t first = ws.var(20).data, top = ws.heapTop;
    setInts(ws, 20, {7, 8});
    EXPECT_EQ(ws.var(20).data, first);
    EXPECT_EQ(ws.heapTop, top);
    setInts(ws, 20, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_NE(ws.var(20).data, first);
    EXPECT_LT(ws.heapTop, top);
    EXPECT_EQ(ws.trailerOf(ValueDescriptor{kInteger, 1, 4, 0, 16, 4, 0, first})->inUse, 0);
    // The fresh-block flag forces a new block even when the old one fits.
    std::uint32_t before = ws.var(20).data;
    ws.freshBlock = true;
    setInts(ws, 20, {1});
    ws.freshBlock = false;
    EXPECT_NE(ws.var(20).data, before);
}

TEST(WorkspaceBlocks, ReplacedBlockStaysReadableUntilPendingRelease) {
    Interpreter in;
    Workspace& ws = in.ws;
    setInts(ws, 20, {5, 6});
    ValueDescriptor old = ws.var(20);
    ASSERT_EQ(ws.allocOwned(20, kInteger, 100).code, 0);
    EXPECT_TRUE(ws.hasPending());
    EXPECT_EQ(ws.elems<int>(old)[1], 6);
    ws.elems<int>(ws.var(20))[99] = 77;
    // A compaction while the old block waits must neither lose it nor let it
    // overwrite the slot's new data word.
    ws.compact();
    EXPECT_EQ(ws.elems<int>(ws.var(20))[99], 77);
    ws.releasePending();
    ws.compact();
    EXPECT_EQ(ws.var(20).blockSize, 400);
    EXPECT_EQ(ws.var(20).data, ws.heapTop);
    EXPECT_EQ(ws.heapTop, ws.region.size() - 400 - kTrailerBytes);
    EXPECT_EQ(ws.elems<int>(ws.var(20))[99], 77);
}

TEST(WorkspaceCompaction, ManyReassignmentsCompactAndEveryVariableKeepsItsValue) {
    Capacities caps;
    caps.heapBytes = 64 * 1024;
    Interpreter in(caps);
    Workspace& ws = in.ws;
    for (int round = 0; round < 400; ++round) {
        for (int s = 20; s < 30; ++s) {
            std::vector<int> v(static_cast<std::size_t>(round % 7 + (s - 20) + 1), round * 100 + s);
            ws.freshBlock = true;
            setInts(ws, s, v);
            ws.freshBlock = false;
        }
    }
    EXPECT_GT(ws.compactions, 0);
    for (int s = 20; s < 30; ++s) {
        std::vector<int> v(static_cast<std::size_t>(399 % 7 + (s - 20) + 1), 399 * 100 + s);
        EXPECT_EQ(ints(ws, ws.var(s)), v) << "slot " << s;
    }
}

TEST(WorkspaceCompaction, NestedValuesSurviveRepeatedCompaction) {
    Capacities caps;
    caps.heapBytes = 256 * 1024;
    Interpreter in(caps);
    Workspace& ws = in.ws;
    for (int round = 0; round < 200; ++round) {
        ws.stackTop = 0;
        int slot = 20 + round % 5;
        makeNestedTemp(ws, 4, 3 + round % 4, round);
        ASSERT_EQ(assignValue(ws, slot, varRef(4)).code, 0);
        ws.releasePending();
        // Interleave plain blocks so nested blocks move relative to others.
        setInts(ws, 40 + round % 3, std::vector<int>(static_cast<std::size_t>(round % 11 + 1), round));
        if (round % 17 == 0) ws.compact();
    }
    ws.compact();
    ws.compact();
    for (int k = 0; k < 5; ++k) {
        int round = 195 + k;
        expectNested(ws, ws.var(20 + round % 5), 3 + round % 4, round);
    }
    EXPECT_GT(ws.compactions, 2);
}

TEST(WorkspaceCompaction, NestedValueInsideNestedValueKeepsItsOwners) {
    Interpreter in;
    Workspace& ws = in.ws;
    makeNestedTemp(ws, 4, 3, 10);
    // An outer General whose single item is the nested value of slot 4.
    ASSERT_EQ(ws.allocTemp(5, kGeneral, 2).code, 0);
    ValueDescriptor& outer = ws.var(5);
    outer.type = kGeneral;
    outer.rank = 1;
    outer.count = 2;
    ASSERT_EQ(copyIntoTempItem(ws, ws.var(5).data, varRef(4)).code, 0);
    ASSERT_EQ(copyIntoTempItem(ws, ws.var(5).data + 32, varRef(4)).code, 0);
    setInts(ws, 30, {1, 2, 3});
    ASSERT_EQ(assignValue(ws, 20, varRef(5)).code, 0);
    ws.releasePending();
    ws.freshBlock = true;
    setInts(ws, 30, {4});  // frees a block below nothing: forces movement on compaction
    ws.freshBlock = false;
    for (int i = 0; i < 3; ++i) {
        setInts(ws, 31, std::vector<int>(static_cast<std::size_t>(50 + i), i));
        ws.compact();
    }
    const auto* items = ws.elems<ValueDescriptor>(ws.var(20));
    expectNested(ws, items[0], 3, 10);
    expectNested(ws, items[1], 3, 10);
}

TEST(WorkspaceCompaction, NestingDeeperThanTheStackCopiesCompactsAndFrees) {
    // a<-(a;1) in a loop builds values nested this deep; no walk may recurse.
    Capacities caps;
    caps.heapBytes = 64 << 20;
    Interpreter in(caps);
    Workspace& ws = in.ws;
    constexpr int kDepth = 200'000;
    ASSERT_EQ(ws.allocTemp(4, kGeneral, 1).code, 0);
    ValueDescriptor& top = ws.var(4);
    top.type = kGeneral;
    top.rank = 0;
    top.count = 1;
    std::uint32_t at = top.data;
    for (int level = 1; level < kDepth; ++level) {
        std::uint32_t block = ws.stackTop;
        ws.stackTop += 32;
        auto* d = reinterpret_cast<ValueDescriptor*>(ws.base() + at);
        *d = ValueDescriptor{kGeneral, 0, 0, 0, 32, 1, 0, block};
        at = block;
    }
    auto* leaf = reinterpret_cast<ValueDescriptor*>(ws.base() + at);
    *leaf = ValueDescriptor{};
    leaf->type = kInteger;
    leaf->count = 1;
    setInlineInt(*leaf, 7);
    setInts(ws, 21, {1, 2, 3, 4, 5, 6});
    ASSERT_EQ(assignValue(ws, 20, varRef(4)).code, 0);
    ws.stackTop = 0;
    ws.freshBlock = true;
    setInts(ws, 21, {1});  // frees a block above the nest, so compaction moves it all
    ws.freshBlock = false;
    ws.compact();
    const ValueDescriptor* d = &ws.var(20);
    for (int level = 1; level < kDepth; ++level) d = ws.elems<ValueDescriptor>(*d);
    EXPECT_EQ(inlineInt(*ws.elems<ValueDescriptor>(*d)), 7);
    setInts(ws, 20, {0});  // the whole nest is released
    ws.compact();
    // Only the one-element blocks of slots 20 and 21 remain.
    EXPECT_EQ(ws.heapTop, ws.region.size() - 2 * (8 + kTrailerBytes)) << "every block of the nest was freed";
}

TEST(WorkspaceLimits, HeapShrunkStepByStepFailsCleanlyWithWorkspaceFull) {
    // Sweep the heap size across the point where a nested assignment fits:
    // every failure is error 6 and leaves the old value intact.
    bool sawFailure = false, sawSuccess = false;
    for (std::uint32_t bytes = 4096; bytes >= 256; bytes -= 64) {
        Capacities caps;
        caps.heapBytes = bytes;
        Interpreter in(caps);
        Workspace& ws = in.ws;
        setInts(ws, 20, {42});
        ValueDescriptor before = ws.var(20);
        makeNestedTemp(ws, 4, 4, 7);
        Rc rc = assignValue(ws, 20, varRef(4));
        if (rc.failed()) {
            sawFailure = true;
            EXPECT_EQ(rc.code, 6);
            EXPECT_EQ(ws.var(20).type, before.type);
            EXPECT_EQ(ints(ws, ws.var(20)), std::vector<int>{42});
            EXPECT_LE(ws.stackTop, ws.heapTop);
        } else {
            sawSuccess = true;
            ws.releasePending();
            expectNested(ws, ws.var(20), 4, 7);
        }
    }
    EXPECT_TRUE(sawFailure);
    EXPECT_TRUE(sawSuccess);
}

TEST(WorkspaceLimits, TemporaryBeyondFreeSpaceIsWorkspaceFull) {
    Capacities caps;
    caps.heapBytes = 1024;
    Interpreter in(caps);
    std::string seen;
    testing::RecordingLink link(in);
    link.onDiagnostic = [&](std::string_view s) { seen = s; };
    EXPECT_EQ(in.ws.allocTemp(4, kFloat, 1000).code, 6);
    EXPECT_EQ(seen, "inctp,r = 1000, vx=4");
    EXPECT_EQ(in.ws.stackTop, 0u);
    EXPECT_EQ(in.ws.allocOwned(20, kFloat, 1000).code, 6);
    EXPECT_EQ(seen, "dectp,r = 1000, vx=20");
}

TEST(WorkspaceLimits, GListFullIsErrorNine) {
    Capacities caps;
    caps.gList = 10;
    Interpreter in(caps);
    Workspace& ws = in.ws;
    ValueDescriptor d;
    const std::int32_t dims[4] = {2, 3, 4, 5};
    ASSERT_EQ(setDimensions(ws, d, dims, 4).code, 0);
    EXPECT_EQ(ws.gList[d.shape1], 3);
    EXPECT_EQ(ws.gList[d.shape1 + 1], 4);
    EXPECT_EQ(ws.gList[d.shape1 + 2], 5);
    EXPECT_EQ(ws.gList[d.shape1 + 3], -1);
    ValueDescriptor e;
    ASSERT_EQ(copyShape(ws, e, d).code, 0);
    EXPECT_NE(e.shape1, d.shape1);  // runs are never shared
    EXPECT_EQ(dimension(ws, e, 3), 5);
    ValueDescriptor f;
    EXPECT_EQ(copyShape(ws, f, d).code, 9);
    EXPECT_EQ(ws.gListFill, 8);
}

TEST(WorkspaceShape, RankThreeDimensionRun) {
    Interpreter in;
    ValueDescriptor d;
    const std::int32_t dims[3] = {2, 3, 4};
    ASSERT_EQ(setDimensions(in.ws, d, dims, 3).code, 0);
    EXPECT_EQ(d.shape0, 2);
    EXPECT_EQ(in.ws.gList[d.shape1], 3);
    EXPECT_EQ(in.ws.gList[d.shape1 + 1], 4);
    EXPECT_EQ(in.ws.gList[d.shape1 + 2], -1);
}

TEST(WorkspaceClear, ClearingEmptiesHeapAndKeepsPresetConstants) {
    Interpreter in;
    Workspace& ws = in.ws;
    setInts(ws, 20, {1, 2, 3});
    ws.stackTop = 64;
    ws.clear();
    EXPECT_EQ(ws.heapTop, 629145600u);
    EXPECT_EQ(ws.stackTop, 0u);
    EXPECT_EQ(ws.lowestLocalSlot, 15364);
    EXPECT_TRUE(ws.var(20).unset());
    EXPECT_EQ(inlineInt(ws.cst(0)), 0);
    EXPECT_EQ(inlineInt(ws.cst(1)), 1);
    EXPECT_EQ(inlineInt(ws.cst(3)), 2);
    // The heap reads as zeros again without having been written.
    EXPECT_EQ(ws.base()[ws.region.size() - 20], 0);
}

}  // namespace
}  // namespace wox::values
