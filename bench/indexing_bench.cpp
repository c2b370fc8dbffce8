// Indexing and indexed assignment against plain C++ loops doing the same
// gathers and scatters over std::vector: a million positions in one call,
// and a million calls with one position each (the per-call overhead that a
// loop in a defined function pays).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "engine/interpreter.h"
#include "primitives/indexing.h"

namespace {

using wox::Interpreter;
using wox::ValueRef;

constexpr int kN = 1'000'000;
constexpr int kX = wox::kFirstGlobalSlot, kI = kX + 1, kV = kX + 2, kOne = kX + 3;
constexpr int kResult = wox::kFirstTemp, kScratch = wox::kFirstTemp + 1;

std::vector<std::int32_t> positions() {
    std::mt19937 gen(7);
    std::uniform_int_distribution<std::int32_t> dist(0, kN - 1);
    std::vector<std::int32_t> v(kN);
    for (auto& p : v) p = dist(gen);
    return v;
}

void putInts(Interpreter& in, int slot, const std::vector<std::int32_t>& v) {
    if (in.ws.allocOwned(slot, wox::kInteger, static_cast<std::int64_t>(v.size())).failed()) std::abort();
    wox::ValueDescriptor& d = in.ws.var(slot);
    d.type = wox::kInteger;
    d.rank = 1;
    d.count = static_cast<std::int32_t>(v.size());
    d.shape0 = d.count;
    std::memcpy(in.ws.base() + d.data, v.data(), v.size() * 4);
}

void putScalar(Interpreter& in, int slot, std::int32_t v) {
    wox::ValueDescriptor& d = in.ws.var(slot);
    d = wox::ValueDescriptor{};
    d.type = wox::kInteger;
    d.count = 1;
    wox::setInlineInt(d, v);
}

struct Vectors {
    Interpreter in;
    std::vector<std::int32_t> x, i;
    Vectors() : i(positions()) {
        x.resize(kN);
        for (int k = 0; k < kN; ++k) x[static_cast<std::size_t>(k)] = k * 3;
        putInts(in, kX, x);
        putInts(in, kI, i);
    }
};

void BM_IndexMillionPositions(benchmark::State& state) {
    Vectors w;
    const ValueRef ix[] = {wox::varRef(kI)};
    for (auto _ : state) {
        w.in.ws.stackTop = 0;
        if (wox::primitives::index(w.in, kResult, wox::varRef(kX), ix, 0).failed()) state.SkipWithError("failed");
        benchmark::DoNotOptimize(w.in.ws.base());
    }
    state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_IndexMillionPositions)->Unit(benchmark::kMillisecond);

void BM_GatherLoop(benchmark::State& state) {
    Vectors w;
    std::vector<std::int32_t> out(kN);
    for (auto _ : state) {
        for (int k = 0; k < kN; ++k) {
            const std::int32_t p = w.i[static_cast<std::size_t>(k)];
            if (static_cast<std::uint32_t>(p) >= static_cast<std::uint32_t>(kN)) std::abort();
            out[static_cast<std::size_t>(k)] = w.x[static_cast<std::size_t>(p)];
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_GatherLoop)->Unit(benchmark::kMillisecond);

void BM_IndexedAssignMillionPositions(benchmark::State& state) {
    Vectors w;
    putInts(w.in, kV, w.x);
    const ValueRef ix[] = {wox::varRef(kI)};
    for (auto _ : state) {
        w.in.ws.stackTop = 0;
        if (wox::primitives::indexedAssign(w.in, kX, kScratch, wox::varRef(kV), ix, 0).failed())
            state.SkipWithError("failed");
        benchmark::DoNotOptimize(w.in.ws.base());
    }
    state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_IndexedAssignMillionPositions)->Unit(benchmark::kMillisecond);

void BM_ScatterLoop(benchmark::State& state) {
    Vectors w;
    std::vector<std::int32_t> v = w.x;
    for (auto _ : state) {
        for (int k = 0; k < kN; ++k) {
            const std::int32_t p = w.i[static_cast<std::size_t>(k)];
            if (static_cast<std::uint32_t>(p) >= static_cast<std::uint32_t>(kN)) std::abort();
            w.x[static_cast<std::size_t>(p)] = v[static_cast<std::size_t>(k)];
        }
        benchmark::DoNotOptimize(w.x.data());
    }
    state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_ScatterLoop)->Unit(benchmark::kMillisecond);

// One position per call, as x[i] in a loop does. The positions run in
// order, so the figure is the cost of a call rather than of a cache miss.
void BM_IndexOnePositionPerCall(benchmark::State& state) {
    Vectors w;
    const ValueRef ix[] = {wox::varRef(kOne)};
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (int k = 0; k < kN; ++k) {
            w.in.ws.stackTop = 0;
            putScalar(w.in, kOne, k);
            if (wox::primitives::index(w.in, kResult, wox::varRef(kX), ix, 0).failed()) state.SkipWithError("failed");
            sum += w.in.ws.var(kResult).shape0;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_IndexOnePositionPerCall)->Unit(benchmark::kMillisecond);

void BM_IndexedAssignOnePositionPerCall(benchmark::State& state) {
    Vectors w;
    const ValueRef ix[] = {wox::varRef(kOne)};
    putScalar(w.in, kV, 5);
    for (auto _ : state) {
        for (int k = 0; k < kN; ++k) {
            putScalar(w.in, kOne, k);
            if (wox::primitives::indexedAssign(w.in, kX, kScratch, wox::varRef(kV), ix, 0).failed())
                state.SkipWithError("failed");
        }
        benchmark::DoNotOptimize(w.in.ws.base());
    }
    state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_IndexedAssignOnePositionPerCall)->Unit(benchmark::kMillisecond);

// The same million reads and writes of single elements in a plain loop.
void BM_OneElementLoop(benchmark::State& state) {
    Vectors w;
    for (auto _ : state) {
        std::int64_t sum = 0;
        for (int k = 0; k < kN; ++k) {
            if (static_cast<std::uint32_t>(k) >= w.x.size()) std::abort();
            sum += w.x[static_cast<std::size_t>(k)];
            benchmark::DoNotOptimize(sum);
        }
    }
    state.SetItemsProcessed(state.iterations() * kN);
}
BENCHMARK(BM_OneElementLoop)->Unit(benchmark::kMillisecond);

}  // namespace
