// Grade of 1,000,000 random integers (the whole 32-bit range, and a small
// range that is counted) and floats, through the primitive and through the
// numeric library, beside std::stable_sort of the positions by their keys
// in the same run.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdint>
#include <numeric>
#include <random>
#include <vector>

#include "bench_workspace.h"
#include "engine/interpreter.h"
#include "numeric/sorting.h"
#include "primitives/grade.h"
#include "vocabulary/vocabulary.h"

namespace {

using wox::Interpreter;

constexpr int kCount = 1'000'000;
constexpr int kResult = 4;
constexpr int kWide = 20, kNarrow = 21, kFloats = 22;

struct Data {
    Interpreter in;
    std::vector<std::int32_t> out = std::vector<std::int32_t>(kCount, 0);

    Data() {
        std::mt19937 rng(7);
        std::uniform_int_distribution<std::int32_t> wide(INT32_MIN + 1, INT32_MAX);
        std::uniform_int_distribution<std::int32_t> narrow(0, 999);
        std::uniform_real_distribution<double> real(-1e6, 1e6);
        make(kWide, wox::kInteger);
        make(kNarrow, wox::kInteger);
        make(kFloats, wox::kFloat);
        for (int i = 0; i < kCount; ++i) {
            ints(kWide)[i] = wide(rng);
            ints(kNarrow)[i] = narrow(rng);
            in.ws.elems<double>(in.ws.var(kFloats))[i] = real(rng);
        }
    }
    void make(int slot, std::int32_t type) { wox::bench::ownedVector(in, slot, type, kCount); }
    std::int32_t* ints(int slot) { return in.ws.elems<std::int32_t>(in.ws.var(slot)); }
};

Data& data() {
    static Data d;
    return d;
}

void gradePrimitive(benchmark::State& state, int slot) {
    wox::bench::runWox(state, data().in, kCount, [slot](Interpreter& in) {
        return wox::primitives::grade(in, wox::vocabulary::code::kGradeUp, kResult, wox::varRef(slot),
                                      wox::varRef(wox::kIoSlot));
    });
}

void BM_GradeUpIntegers(benchmark::State& state) { gradePrimitive(state, kWide); }
BENCHMARK(BM_GradeUpIntegers)->Unit(benchmark::kMillisecond);

void BM_GradeUpSmallIntegers(benchmark::State& state) { gradePrimitive(state, kNarrow); }
BENCHMARK(BM_GradeUpSmallIntegers)->Unit(benchmark::kMillisecond);

void BM_GradeUpFloats(benchmark::State& state) { gradePrimitive(state, kFloats); }
BENCHMARK(BM_GradeUpFloats)->Unit(benchmark::kMillisecond);

void BM_NumericGradeIntegers(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        if (wox::numeric::gradeVector(d.ints(kWide), wox::kInteger, d.out.data(), 1, kCount,
                                      wox::numeric::Direction::Up)
                .failed())
            state.SkipWithError("grade failed");
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_NumericGradeIntegers)->Unit(benchmark::kMillisecond);

// The plain C++ way: positions ordered by std::stable_sort on their keys.
void BM_StdStableSortIntegers(benchmark::State& state) {
    Data& d = data();
    const std::int32_t* v = d.ints(kWide);
    for (auto _ : state) {
        std::iota(d.out.begin(), d.out.end(), 0);
        std::stable_sort(d.out.begin(), d.out.end(), [v](std::int32_t a, std::int32_t b) { return v[a] < v[b]; });
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}
BENCHMARK(BM_StdStableSortIntegers)->Unit(benchmark::kMillisecond);

}  // namespace
