// The scalar families on 10,000,000-element vectors, each beside a plain C++
// loop doing the same work on the same data in the same run. Results go to
// the stack of temporaries, which is reset before every call as a new line
// would reset it; the plain loops write into a buffer touched beforehand.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "bench_workspace.h"
#include "engine/interpreter.h"
#include "primitives/scalar.h"
#include "vocabulary/vocabulary.h"

namespace {

using wox::Interpreter;
using wox::ValueRef;

constexpr int kCount = 10'000'000;
using wox::vocabulary::code::kEqual;
using wox::vocabulary::code::kPlus;
using wox::vocabulary::code::kTimes;
constexpr int kResult = 4;
constexpr int kFloatA = 20, kFloatB = 21, kIntA = 22, kIntB = 23, kOne = 24;

struct Data {
    Interpreter in;
    std::vector<double> floatOut = std::vector<double>(kCount, 1.0);
    std::vector<std::int32_t> intOut = std::vector<std::int32_t>(kCount, 1);

    Data() {
        std::mt19937_64 rng(42);
        std::uniform_real_distribution<double> real(-1000.0, 1000.0);
        std::uniform_int_distribution<std::int32_t> whole(-30000, 30000);
        makeVector(kFloatA, wox::kFloat);
        makeVector(kFloatB, wox::kFloat);
        makeVector(kIntA, wox::kInteger);
        makeVector(kIntB, wox::kInteger);
        double* fa = floats(kFloatA);
        double* fb = floats(kFloatB);
        std::int32_t* ia = ints(kIntA);
        std::int32_t* ib = ints(kIntB);
        for (int i = 0; i < kCount; ++i) {
            fa[i] = real(rng);
            // Every third pair equal within tolerance, the rest apart.
            fb[i] = i % 3 == 0 ? fa[i] * (1 + 1e-15) : real(rng);
            ia[i] = whole(rng);
            ib[i] = whole(rng);
        }
        wox::bench::integerScalar(in, kOne, 1);
    }

    void makeVector(int slot, std::int32_t type) { wox::bench::ownedVector(in, slot, type, kCount); }
    double* floats(int slot) { return in.ws.elems<double>(in.ws.var(slot)); }
    std::int32_t* ints(int slot) { return in.ws.elems<std::int32_t>(in.ws.var(slot)); }
};

Data& data() {
    static Data d;
    return d;
}

template <class Call>
void runWox(benchmark::State& state, Call call) {
    wox::bench::runWox(state, data().in, kCount, call);
}

void BM_WoxFloatPlus(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kPlus, kResult, -kFloatA, -kFloatB); });
}
void BM_PlainFloatPlus(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const double* a = d.floats(kFloatA);
        const double* b = d.floats(kFloatB);
        double* out = d.floatOut.data();
        for (int i = 0; i < kCount; ++i) out[i] = a[i] + b[i];
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_WoxFloatTimes(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kTimes, kResult, -kFloatA, -kFloatB); });
}
void BM_PlainFloatTimes(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const double* a = d.floats(kFloatA);
        const double* b = d.floats(kFloatB);
        double* out = d.floatOut.data();
        for (int i = 0; i < kCount; ++i) out[i] = a[i] * b[i];
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_WoxIntegerPlus(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kPlus, kResult, -kIntA, -kIntB); });
}
void BM_PlainIntegerPlus(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const std::int32_t* a = d.ints(kIntA);
        const std::int32_t* b = d.ints(kIntB);
        std::int32_t* out = d.intOut.data();
        for (int i = 0; i < kCount; ++i) out[i] = a[i] + b[i];
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_WoxIntegerTimes(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kTimes, kResult, -kIntA, -kIntB); });
}
void BM_PlainIntegerTimes(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const std::int32_t* a = d.ints(kIntA);
        const std::int32_t* b = d.ints(kIntB);
        std::int32_t* out = d.intOut.data();
        for (int i = 0; i < kCount; ++i) out[i] = a[i] * b[i];
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_WoxFloatPlusScalar(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kPlus, kResult, -kFloatA, -kOne); });
}
void BM_PlainFloatPlusScalar(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const double* a = d.floats(kFloatA);
        double* out = d.floatOut.data();
        for (int i = 0; i < kCount; ++i) out[i] = a[i] + 1.0;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_WoxIntegerPlusScalar(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kPlus, kResult, -kIntA, -kOne); });
}
void BM_PlainIntegerPlusScalar(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const std::int32_t* a = d.ints(kIntA);
        std::int32_t* out = d.intOut.data();
        for (int i = 0; i < kCount; ++i) out[i] = a[i] + 1;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

void BM_WoxFloatEqual(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::comparison(in, kEqual, kResult, -kFloatA, -kFloatB); });
}
// The same tolerant test written plainly (no null or infinity care).
void BM_PlainFloatEqual(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const double* a = d.floats(kFloatA);
        const double* b = d.floats(kFloatB);
        std::int32_t* out = d.intOut.data();
        for (int i = 0; i < kCount; ++i)
            out[i] = std::fabs(a[i] - b[i]) <= 1e-13 * std::fmax(std::fabs(a[i]), std::fabs(b[i]));
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kCount);
}

#define PAIR(name)                                                         \
    BENCHMARK(BM_Wox##name)->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK(BM_Plain##name)->Unit(benchmark::kMillisecond)->UseRealTime()

PAIR(FloatPlus);
PAIR(FloatTimes);
PAIR(IntegerPlus);
PAIR(IntegerTimes);
PAIR(FloatPlusScalar);
PAIR(IntegerPlusScalar);
PAIR(FloatEqual);

}  // namespace
