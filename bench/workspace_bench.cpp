// Owned-block allocation and compaction of the value heap.
#include <benchmark/benchmark.h>

#include <cstring>
#include <vector>

#include "engine/interpreter.h"

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
    state.counters["compactions"] = ws.compactions;
}
BENCHMARK(BM_ReplaceSmallOwnedBlocks)->Unit(benchmark::kMillisecond);

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
