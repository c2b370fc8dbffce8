// Index of, membership and unique on 1,000,000 integers, each beside the
// same work done with std::unordered_map / std::unordered_set in the same
// run. Narrow ranges (values below 2,000,000, and 0 to 99,999 for unique)
// take the direct-address tables; "Wide" runs draw from the whole 32-bit
// range, so the hash table does the work. Results go to the stack of
// temporaries, reset before every call as a new line resets it.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "bench_workspace.h"
#include "engine/interpreter.h"
#include "primitives/search.h"
#include "vocabulary/vocabulary.h"

namespace {

using wox::Interpreter;
namespace code = wox::vocabulary::code;

constexpr int kCount = 1'000'000;
constexpr int kResult = 4;
constexpr int kX = 20, kY = 21, kWideX = 22, kWideY = 23, kSmall = 24, kFloatX = 25, kFloatY = 26;
constexpr int kIo = wox::kIoSlot;

struct Data {
    Interpreter in;
    std::vector<std::int32_t> out = std::vector<std::int32_t>(kCount, 1);

    Data() {
        std::mt19937_64 rng(42);
        std::uniform_int_distribution<std::int32_t> narrow(0, 1'999'999);
        std::uniform_int_distribution<std::int32_t> wide(INT32_MIN + 1, INT32_MAX);
        std::uniform_int_distribution<std::int32_t> small(0, 99'999);
        for (int s : {kX, kY, kWideX, kWideY, kSmall}) makeVector(s, wox::kInteger);
        for (int s : {kFloatX, kFloatY}) makeVector(s, wox::kFloat);
        for (int i = 0; i < kCount; ++i) {
            ints(kX)[i] = narrow(rng);
            ints(kY)[i] = narrow(rng);
            ints(kWideX)[i] = wide(rng);
            ints(kWideY)[i] = wide(rng);
            ints(kSmall)[i] = small(rng);
            floats(kFloatX)[i] = narrow(rng) / 4.0;
            floats(kFloatY)[i] = narrow(rng) / 4.0;
        }
        wox::bench::integerScalar(in, kIo, 1);
    }

    void makeVector(int slot, std::int32_t type) { wox::bench::ownedVector(in, slot, type, kCount); }
    std::int32_t* ints(int slot) { return in.ws.elems<std::int32_t>(in.ws.var(slot)); }
    double* floats(int slot) { return in.ws.elems<double>(in.ws.var(slot)); }
};

Data& data() {
    static Data d;
    return d;
}

template <class Call>
void runWox(benchmark::State& state, Call call) {
    wox::bench::runWox(state, data().in, kCount, call);
}

template <class Loop>
void runPlain(benchmark::State& state, Loop loop) {
    wox::bench::runPlain(state, kCount, [&] { loop(data()); });
}

// Index of with std::unordered_map: first occurrences of x, then look-ups.
template <class T>
void plainIndexOf(const T* x, const T* y, std::int32_t* out) {
    std::unordered_map<T, std::int32_t> first;
    first.reserve(kCount);
    for (std::int32_t i = 0; i < kCount; ++i) first.emplace(x[i], i);
    for (std::int32_t j = 0; j < kCount; ++j) {
        auto it = first.find(y[j]);
        out[j] = 1 + (it == first.end() ? kCount : it->second);
    }
}

void BM_WoxIndexOf(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::indexOf(in, kResult, -kX, -kY, -kIo); });
}
void BM_PlainIndexOf(benchmark::State& state) {
    runPlain(state, [](Data& d) { plainIndexOf(d.ints(kX), d.ints(kY), d.out.data()); });
}
void BM_WoxIndexOfWide(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::indexOf(in, kResult, -kWideX, -kWideY, -kIo); });
}
void BM_PlainIndexOfWide(benchmark::State& state) {
    runPlain(state, [](Data& d) { plainIndexOf(d.ints(kWideX), d.ints(kWideY), d.out.data()); });
}
void BM_WoxIndexOfFloat(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::indexOf(in, kResult, -kFloatX, -kFloatY, -kIo); });
}
void BM_PlainIndexOfFloat(benchmark::State& state) {
    runPlain(state, [](Data& d) { plainIndexOf(d.floats(kFloatX), d.floats(kFloatY), d.out.data()); });
}

template <class T>
void plainMembership(const T* x, const T* y, std::int32_t* out) {
    std::unordered_set<T> present(y, y + kCount);
    for (std::int32_t i = 0; i < kCount; ++i) out[i] = present.count(x[i]) ? 1 : 0;
}

void BM_WoxMembership(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::membership(in, code::kMembership, kResult, -kX, -kY); });
}
void BM_PlainMembership(benchmark::State& state) {
    runPlain(state, [](Data& d) { plainMembership(d.ints(kX), d.ints(kY), d.out.data()); });
}
void BM_WoxMembershipWide(benchmark::State& state) {
    runWox(state, [](Interpreter& in) {
        return wox::primitives::membership(in, code::kMembership, kResult, -kWideX, -kWideY);
    });
}
void BM_PlainMembershipWide(benchmark::State& state) {
    runPlain(state, [](Data& d) { plainMembership(d.ints(kWideX), d.ints(kWideY), d.out.data()); });
}

void BM_WoxUnique(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::unique(in, code::kUnique, kResult, -kSmall); });
}
void BM_PlainUnique(benchmark::State& state) {
    runPlain(state, [](Data& d) {
        const std::int32_t* y = d.ints(kSmall);
        std::unordered_set<std::int32_t> seen;
        seen.reserve(100'000);
        std::int64_t k = 0;
        for (std::int32_t i = 0; i < kCount; ++i)
            if (seen.insert(y[i]).second) d.out[k++] = y[i];
        benchmark::DoNotOptimize(k);
    });
}
void BM_WoxUniqueWide(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::unique(in, code::kUnique, kResult, -kWideX); });
}

}  // namespace

BENCHMARK(BM_WoxIndexOf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainIndexOf)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxIndexOfWide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainIndexOfWide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxIndexOfFloat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainIndexOfFloat)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxMembership)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMembership)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxMembershipWide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainMembershipWide)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxUnique)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainUnique)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxUniqueWide)->Unit(benchmark::kMillisecond);
