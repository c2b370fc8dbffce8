// Owned-block allocation and compaction of the value heap.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/interpreter.h"
#include "values/value_copy.h"

namespace {

using wox::Interpreter;
using wox::ValueDescriptor;
using namespace wox::values;

// 1,000,000 replacements of small owned blocks spread over 1,000 variables:
// every block comes from the heap by moving an offset, compaction included.
void BM_ReplaceSmallOwnedBlocks(benchmark::State& state) {
    Interpreter in;
    Workspace& ws = in.ws;
    for (auto _ : state) {
        ws.freshBlock = true;
        for (int i = 0; i < 1'000'000; ++i) {
            int slot = 20 + i % 1000;
            if (ws.allocOwned(slot, wox::kInteger, 2 + i % 3).failed()) state.SkipWithError("full");
            ws.var(slot).type = wox::kInteger;
            ws.var(slot).rank = 1;
            ws.var(slot).count = 2 + i % 3;
            ws.releasePending();
        }
        ws.freshBlock = false;
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
    state.counters["compactions"] = static_cast<double>(ws.compactions);
}
BENCHMARK(BM_ReplaceSmallOwnedBlocks)->Unit(benchmark::kMillisecond);

// The pattern of a loop that assigns a small nested value on every step,
// t<-(i;'abc';1 2 3): four owned blocks replaced per step. Compaction is
// what keeps it in a bounded heap; its cost per step is what this measures,
// against the bare copy into fresh blocks in the same run below.
void makeTriple(Workspace& ws, int tmp) {
    ws.stackTop = 0;
    (void)ws.allocTemp(tmp, wox::kGeneral, 3);
    std::uint32_t block = ws.var(tmp).data;
    ValueDescriptor& g = ws.var(tmp);
    g.type = wox::kGeneral;
    g.rank = 1;
    g.count = 3;
    g.shape0 = 3;
    const std::int32_t counts[3] = {1, 3, 3};
    const std::int32_t types[3] = {wox::kInteger, wox::kChar, wox::kInteger};
    for (int i = 0; i < 3; ++i) {
        ValueDescriptor d;
        d.type = types[i];
        d.rank = i == 0 ? 0 : 1;
        d.count = counts[i];
        d.shape0 = i == 0 ? 7 : 3;
        if (i > 0) {
            (void)ws.allocTemp(5, types[i], 3);
            d.data = ws.var(5).data;
            d.blockSize = ws.var(5).blockSize;
        }
        *reinterpret_cast<ValueDescriptor*>(ws.base() + block + 32u * static_cast<std::uint32_t>(i)) = d;
    }
}

void BM_AssignNestedInLoop(benchmark::State& state) {
    Interpreter in;
    Workspace& ws = in.ws;
    makeTriple(ws, 4);
    for (auto _ : state) {
        for (int i = 0; i < 1'000'000; ++i) {
            if (assignValue(ws, 20, wox::varRef(4)).failed()) state.SkipWithError("full");
            ws.releasePending();
        }
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
    state.counters["compactions"] = static_cast<double>(ws.compactions);
    state.counters["ownedMiB"] = static_cast<double>(ws.region.size() - ws.heapTop) / (1 << 20);
}
BENCHMARK(BM_AssignNestedInLoop)->Unit(benchmark::kMillisecond);

// The floor: the same four blocks copied into memory that is never
// reclaimed, a plain loop of memcpy into a buffer used round-robin.
void BM_CopyNestedIntoRing(benchmark::State& state) {
    std::vector<char> ring(16 << 20);
    const char src[160] = {1};
    for (auto _ : state) {
        std::size_t at = 0;
        for (int i = 0; i < 1'000'000; ++i) {
            if (at + 160 > ring.size()) at = 0;
            std::memcpy(ring.data() + at, src, 96 + 16);
            std::memcpy(ring.data() + at + 112, src, 24);
            at += 160;
            benchmark::ClobberMemory();
        }
    }
    state.SetItemsProcessed(state.iterations() * 1'000'000);
}
BENCHMARK(BM_CopyNestedIntoRing)->Unit(benchmark::kMillisecond);

constexpr int kLive = 1'000'000;

// A nested value with 1,000,000 items, each owning a 16-byte block, with a
// freed block of the same size below every item block: compaction must move
// every live block and rewrite every owner.
void buildFragmentedHeap(Interpreter& in) {
    Workspace& ws = in.ws;
    ws.clear();
    ValueDescriptor& g = ws.var(20);
    (void)ws.allocOwned(20, wox::kGeneral, kLive);
    g.type = wox::kGeneral;
    g.rank = 1;
    g.count = kLive;
    g.shape0 = kLive;
    for (int i = 0; i < kLive; ++i) {
        std::uint32_t itemAt = ws.var(20).data + 32u * static_cast<std::uint32_t>(i);
        std::uint32_t start = ws.takeOwned(kOwnerItem | itemAt, 16, false);
        auto* item = reinterpret_cast<ValueDescriptor*>(ws.base() + itemAt);
        item->type = wox::kInteger;
        item->rank = 1;
        item->count = 4;
        item->blockSize = 16;
        item->data = start;
        std::memset(ws.base() + start, i & 0xff, 16);
        std::uint32_t hole = ws.takeOwned(kOwnerDetached, 16, false);
        reinterpret_cast<Trailer*>(ws.base() + hole + 16)->inUse = 0;
    }
}

void BM_CompactMillionLiveBlocks(benchmark::State& state) {
    Interpreter in;
    for (auto _ : state) {
        state.PauseTiming();
        buildFragmentedHeap(in);
        state.ResumeTiming();
        in.ws.compact();
    }
}
BENCHMARK(BM_CompactMillionLiveBlocks)->Unit(benchmark::kMillisecond);

// The same live bytes moved by one memmove: the floor for any compaction.
void BM_MemmoveSameLiveBytes(benchmark::State& state) {
    Interpreter in;
    buildFragmentedHeap(in);
    std::size_t live = 32ull * kLive + kTrailerBytes + 2ull * (16 + kTrailerBytes) * kLive / 2;
    char* base = in.ws.base();
    std::size_t from = in.ws.heapTop, to = in.ws.heapTop + 16 * kLive;
    for (auto _ : state) {
        std::memmove(base + to, base + from, live);
        benchmark::DoNotOptimize(base);
        benchmark::ClobberMemory();
    }
    state.counters["bytes"] = static_cast<double>(live);
}
BENCHMARK(BM_MemmoveSameLiveBytes)->Unit(benchmark::kMillisecond);

}  // namespace
