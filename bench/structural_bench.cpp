// The structural functions on 10,000,000-element vectors, each beside a plain
// C++ loop doing the same work on the same data in the same run: reshape,
// catenate, compress by a Boolean mask, and the interval !n. Results go to
// the stack of temporaries, reset before every call as a new line resets
// it; the plain loops write into a buffer touched beforehand.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "bench_workspace.h"
#include "engine/interpreter.h"
#include "primitives/compress.h"
#include "primitives/structural.h"
#include "vocabulary/vocabulary.h"

namespace {

using wox::Interpreter;
namespace code = wox::vocabulary::code;

constexpr int kCount = 10'000'000;
constexpr int kResult = 4;
constexpr int kInts = 20, kMask = 21, kShape = 22, kLength = 23, kIo = wox::kIoSlot;

struct Data {
    Interpreter in;
    std::vector<std::int32_t> out = std::vector<std::int32_t>(2 * kCount, 1);
    std::vector<std::int32_t> mask;

    Data() {
        std::mt19937_64 rng(42);
        std::uniform_int_distribution<std::int32_t> whole(-30000, 30000);
        std::bernoulli_distribution half(0.5);
        makeVector(kInts, wox::kInteger, kCount);
        makeVector(kMask, wox::kBoolean, kCount);
        std::int32_t* a = ints(kInts);
        std::int32_t* m = ints(kMask);
        for (int i = 0; i < kCount; ++i) {
            a[i] = whole(rng);
            m[i] = half(rng);
        }
        mask.assign(m, m + kCount);
        // 1000 by 10000, and the length 10,000,000 for the interval.
        makeVector(kShape, wox::kInteger, 2);
        ints(kShape)[0] = 1000;
        ints(kShape)[1] = kCount / 1000;
        wox::bench::integerScalar(in, kLength, kCount);
        wox::bench::integerScalar(in, kIo, 1);
    }

    void makeVector(int slot, std::int32_t type, int n) { wox::bench::ownedVector(in, slot, type, n); }
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

template <class Loop>
void runPlain(benchmark::State& state, Loop loop) {
    wox::bench::runPlain(state, kCount, [&] { loop(data()); });
}

void BM_WoxReshape(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::reshape(in, code::kReshape, kResult, -kShape, -kInts); });
}
void BM_PlainReshape(benchmark::State& state) {
    runPlain(state, [](Data& d) { std::memcpy(d.out.data(), d.ints(kInts), sizeof(std::int32_t) * kCount); });
}

void BM_WoxCatenate(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::catenate(in, code::kCatenate, kResult, -kInts, -kInts); });
}
void BM_PlainCatenate(benchmark::State& state) {
    runPlain(state, [](Data& d) {
        const std::int32_t* a = d.ints(kInts);
        std::memcpy(d.out.data(), a, sizeof(std::int32_t) * kCount);
        std::memcpy(d.out.data() + kCount, a, sizeof(std::int32_t) * kCount);
    });
}

void BM_WoxCompressMask(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::compress(in, code::kCompress, kResult, -kMask, -kInts); });
}
void BM_PlainCompressMask(benchmark::State& state) {
    runPlain(state, [](Data& d) {
        const std::int32_t* a = d.ints(kInts);
        const std::int32_t* m = d.mask.data();
        std::int32_t* out = d.out.data();
        std::int64_t k = 0;
        for (int i = 0; i < kCount; ++i)
            if (m[i]) out[k++] = a[i];
        benchmark::DoNotOptimize(k);
    });
}

void BM_WoxInterval(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::interval(in, kResult, -kLength, -kIo); });
}
void BM_PlainInterval(benchmark::State& state) {
    runPlain(state, [](Data& d) {
        std::int32_t* out = d.out.data();
        for (int i = 0; i < kCount; ++i) out[i] = 1 + i;
    });
}

}  // namespace

#define WOX_PAIR(name)                                                      \
    BENCHMARK(BM_Wox##name)->Unit(benchmark::kMillisecond)->UseRealTime(); \
    BENCHMARK(BM_Plain##name)->Unit(benchmark::kMillisecond)->UseRealTime()

WOX_PAIR(Reshape);
WOX_PAIR(Catenate);
WOX_PAIR(CompressMask);
WOX_PAIR(Interval);
