// Date arithmetic on 1,000,000-element date vectors, each beside the same
// function on Integer vectors in the same run: a date moved by days, the
// difference of two dates, and a comparison with one date.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>

#include "bench_workspace.h"
#include "engine/interpreter.h"
#include "primitives/scalar.h"
#include "types/temporal.h"
#include "vocabulary/vocabulary.h"

namespace {

using wox::Interpreter;

constexpr int kCount = 1'000'000;
using wox::vocabulary::code::kLess;
using wox::vocabulary::code::kMinus;
using wox::vocabulary::code::kPlus;
constexpr int kResult = 4;
constexpr int kDateA = 20, kDateB = 21, kIntA = 22, kIntB = 23, kOne = 24, kOneDate = 25;

struct Data {
    Interpreter in;

    Data() {
        std::mt19937_64 rng(42);
        // Days of the years 1900 to 2100, the range real data lives in.
        std::uniform_int_distribution<std::int64_t> day(-36'524, 36'889);
        wox::bench::ownedVector(in, kDateA, wox::kTemporal, kCount);
        wox::bench::ownedVector(in, kDateB, wox::kTemporal, kCount);
        wox::bench::ownedVector(in, kIntA, wox::kInteger, kCount);
        wox::bench::ownedVector(in, kIntB, wox::kInteger, kCount);
        auto* da = wox::bench::elements<std::int64_t>(in, kDateA);
        auto* db = wox::bench::elements<std::int64_t>(in, kDateB);
        auto* ia = wox::bench::elements<std::int32_t>(in, kIntA);
        auto* ib = wox::bench::elements<std::int32_t>(in, kIntB);
        for (int i = 0; i < kCount; ++i) {
            const std::int64_t a = day(rng), b = day(rng);
            da[i] = wox::types::temporalWord(wox::types::kDateKind, a);
            db[i] = wox::types::temporalWord(wox::types::kDateKind, b);
            ia[i] = static_cast<std::int32_t>(a);
            ib[i] = static_cast<std::int32_t>(b);
        }
        wox::bench::integerScalar(in, kOne, 1);
        wox::ValueDescriptor& one = in.ws.var(kOneDate);
        one = wox::ValueDescriptor{};
        one.type = wox::kTemporal;
        one.count = 1;
        wox::setInlineWord(one, wox::types::temporalWord(wox::types::kDateKind, 5000));
    }
};

Data& data() {
    static Data d;
    return d;
}

template <class Call>
void runWox(benchmark::State& state, Call call) {
    wox::bench::runWox(state, data().in, kCount, call);
}

void BM_DatePlusOne(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kPlus, kResult, -kDateA, -kOne); });
}
void BM_IntegerPlusOne(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kPlus, kResult, -kIntA, -kOne); });
}
void BM_DateMinusDate(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kMinus, kResult, -kDateA, -kDateB); });
}
void BM_IntegerMinusInteger(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::scalarDyadic(in, kMinus, kResult, -kIntA, -kIntB); });
}
void BM_DateLessDate(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::comparison(in, kLess, kResult, -kDateA, -kOneDate); });
}
void BM_IntegerLessInteger(benchmark::State& state) {
    runWox(state, [](Interpreter& in) { return wox::primitives::comparison(in, kLess, kResult, -kIntA, -kOne); });
}

#define PAIR(date, integer)                                                   \
    BENCHMARK(BM_##date)->Unit(benchmark::kMicrosecond)->UseRealTime(); \
    BENCHMARK(BM_##integer)->Unit(benchmark::kMicrosecond)->UseRealTime()

PAIR(DatePlusOne, IntegerPlusOne);
PAIR(DateMinusDate, IntegerMinusInteger);
PAIR(DateLessDate, IntegerLessInteger);

}  // namespace
