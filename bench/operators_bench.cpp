// The operators, each beside a plain C++ loop doing the same work on the
// same data in the same run: +/ of the 10,000,000-element interval (alone,
// and with the interval in one line), +\ of 1,000,000 integers and the
// comparison scan <\ of them, the outer product .:* of two 2,000-element
// vectors and +:* of two 500 by 500 Float matrices. Results go to the stack of
// temporaries, reset before every call as a new line would reset it; the
// plain loops write into buffers touched beforehand.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "bench_workspace.h"
#include "engine/execute_line.h"
#include "engine/interpreter.h"
#include "primitives/operators.h"
#include "vocabulary/vocabulary.h"
#include "values/shape.h"

namespace {

using wox::Interpreter;
namespace code = wox::vocabulary::code;

constexpr int kInterval = 10'000'000;
constexpr int kScanCount = 1'000'000;
constexpr int kOuterCount = 2'000;
constexpr int kSide = 500;
constexpr int kResult = 4;
constexpr int kIota = 20, kScanArg = 21, kOuterA = 22, kOuterB = 23, kMatA = 24, kMatB = 25;

struct Data {
    Interpreter in;
    std::vector<std::int32_t> scanOut = std::vector<std::int32_t>(kScanCount, 1);
    std::vector<std::int32_t> outerOut = std::vector<std::int32_t>(kOuterCount * kOuterCount, 1);
    std::vector<double> matOut = std::vector<double>(kSide * kSide, 1.0);

    Data() {
        std::mt19937_64 rng(42);
        std::uniform_int_distribution<std::int32_t> whole(-1000, 1000);
        std::uniform_real_distribution<double> real(-1.0, 1.0);
        std::int32_t* iota = make(kIota, wox::kInteger, {kInterval});
        for (int i = 0; i < kInterval; ++i) iota[i] = i;
        std::int32_t* s = make(kScanArg, wox::kInteger, {kScanCount});
        for (int i = 0; i < kScanCount; ++i) s[i] = whole(rng);
        for (int slot : {kOuterA, kOuterB}) {
            std::int32_t* v = make(slot, wox::kInteger, {kOuterCount});
            for (int i = 0; i < kOuterCount; ++i) v[i] = whole(rng);
        }
        for (int slot : {kMatA, kMatB}) {
            auto* m = reinterpret_cast<double*>(make(slot, wox::kFloat, {kSide, kSide}));
            for (int i = 0; i < kSide * kSide; ++i) m[i] = real(rng);
        }
    }

    std::int32_t* make(int slot, std::int32_t type, const std::vector<std::int32_t>& dims) {
        return reinterpret_cast<std::int32_t*>(wox::bench::ownedArray(in, slot, type, dims));
    }
    template <class T>
    const T* elems(int slot) { return in.ws.elems<T>(in.ws.var(slot)); }
};

Data& data() {
    static Data d;
    return d;
}

template <class Call>
void runWox(benchmark::State& state, Call call) {
    wox::bench::runWox(state, data().in, 0, call);
}

void BM_WoxPlusReduceInterval(benchmark::State& state) {
    runWox(state, [](Interpreter& in) {
        return wox::primitives::reduce(in, code::kReduceBase + code::kPlus, kResult, wox::varRef(kIota));
    });
}
void BM_PlainPlusReduceInterval(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const std::int32_t* x = d.elems<std::int32_t>(kIota);
        std::int64_t s = 0;
        for (int i = 0; i < kInterval; ++i) s += x[i];
        benchmark::DoNotOptimize(s);
    }
}

// The interval and its sum as one line through the evaluator, as a user
// types it (target: 2.5 ms for both), beside a plain loop that writes the
// same 10,000,000 integers into a buffer and adds them up.
void BM_WoxSumOfIntervalLine(benchmark::State& state) {
    Interpreter in;
    for (auto _ : state) {
        if (wox::engine::executeLine(in, "r<-+/!10000000") != 0) state.SkipWithError("failed");
    }
}
void BM_PlainSumOfInterval(benchmark::State& state) {
    std::vector<std::int32_t> buffer(kInterval, 1);
    for (auto _ : state) {
        std::int32_t* x = buffer.data();
        for (int i = 0; i < kInterval; ++i) x[i] = i + 1;
        benchmark::ClobberMemory();
        std::int64_t s = 0;
        for (int i = 0; i < kInterval; ++i) s += x[i];
        benchmark::DoNotOptimize(s);
    }
}

void BM_WoxPlusScan(benchmark::State& state) {
    runWox(state, [](Interpreter& in) {
        return wox::primitives::scan(in, code::kScanBase + code::kPlus, kResult, wox::varRef(kScanArg));
    });
}
void BM_PlainPlusScan(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const std::int32_t* x = d.elems<std::int32_t>(kScanArg);
        std::int32_t* out = d.scanOut.data();
        std::int32_t s = 0;
        for (int i = 0; i < kScanCount; ++i) out[i] = s += x[i];
        benchmark::ClobberMemory();
    }
}

// A comparison scan in one pass; before, each prefix was folded anew.
void BM_WoxLessScan(benchmark::State& state) {
    runWox(state, [](Interpreter& in) {
        return wox::primitives::scan(in, code::kScanBase + code::kLess, kResult, wox::varRef(kScanArg));
    });
}
void BM_PlainLessScan(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const std::int32_t* x = d.elems<std::int32_t>(kScanArg);
        std::int32_t* out = d.scanOut.data();
        out[0] = x[0];
        std::int32_t to0 = 0, to1 = 1;
        for (int i = 1; i < kScanCount; ++i) {
            out[i] = x[i - 1] < x[i] ? to1 : to0;
            const std::int32_t at0 = x[i - 1] < 0 ? to1 : to0, at1 = x[i - 1] < 1 ? to1 : to0;
            to0 = at0;
            to1 = at1;
        }
        benchmark::ClobberMemory();
    }
}

void BM_WoxOuterTimes(benchmark::State& state) {
    runWox(state, [](Interpreter& in) {
        return wox::primitives::outerProduct(in, code::kOuterProductBase + code::kTimes, kResult, wox::varRef(kOuterA),
                                             wox::varRef(kOuterB));
    });
}
void BM_PlainOuterTimes(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const std::int32_t* a = d.elems<std::int32_t>(kOuterA);
        const std::int32_t* b = d.elems<std::int32_t>(kOuterB);
        std::int32_t* out = d.outerOut.data();
        for (int i = 0; i < kOuterCount; ++i)
            for (int j = 0; j < kOuterCount; ++j) out[i * kOuterCount + j] = a[i] * b[j];
        benchmark::ClobberMemory();
    }
}

void BM_WoxPlusTimesMatrices(benchmark::State& state) {
    runWox(state, [](Interpreter& in) {
        return wox::primitives::innerProduct(in, code::kInnerProductScale * code::kPlus + code::kTimes, kResult,
                                             wox::varRef(kMatA), wox::varRef(kMatB));
    });
}
void BM_PlainPlusTimesMatrices(benchmark::State& state) {
    Data& d = data();
    for (auto _ : state) {
        const double* a = d.elems<double>(kMatA);
        const double* b = d.elems<double>(kMatB);
        double* out = d.matOut.data();
        for (int r = 0; r < kSide; ++r) {
            double* acc = out + r * kSide;
            for (int j = 0; j < kSide; ++j) acc[j] = 0;
            for (int i = 0; i < kSide; ++i) {
                double x = a[r * kSide + i];
                for (int j = 0; j < kSide; ++j) acc[j] += x * b[i * kSide + j];
            }
        }
        benchmark::ClobberMemory();
    }
}

}  // namespace

BENCHMARK(BM_WoxPlusReduceInterval)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPlusReduceInterval)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxSumOfIntervalLine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainSumOfInterval)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxPlusScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPlusScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxLessScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainLessScan)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxOuterTimes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainOuterTimes)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WoxPlusTimesMatrices)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainPlusTimesMatrices)->Unit(benchmark::kMillisecond);
