// Call and loop overhead of defined functions, per executed line.
#include <benchmark/benchmark.h>

#include <string>
#include <string_view>

#include "engine/execute_line.h"
#include "frontend/function_store.h"
#include "session/function_requests.h"

namespace {

using wox::Interpreter;

void define(Interpreter& in, const std::vector<std::string>& lines) {
    int slot = 0;
    if (wox::frontend::defineFunction(in.frontEnd(), lines, &slot).failed()) std::abort();
}

// while (i<x) {i<-i+1}: two lines per step (the test and the increment)
// plus the branch back.
// A direct definition, as a user types it: {name: ...}.
void defineDirect(Interpreter& in, std::string_view text) {
    std::string reply;
    if (wox::session::defineDirect(in, text, reply).failed()) std::abort();
}

void BM_WhileLoopMillionSteps(benchmark::State& state) {
    Interpreter in;
    define(in, {"z<-count x;i", "i<-0", "L1:->(~i<x)/L2", "i<-i+1", "->L1", "L2:z<-i"});
    for (auto _ : state) {
        if (wox::engine::executeLine(in, "r<-count 1000000") != 0) state.SkipWithError("failed");
    }
    double lines = 3.0 * 1'000'000;
    state.counters["ns_per_line"] =
        benchmark::Counter(lines * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_WhileLoopMillionSteps)->Unit(benchmark::kMillisecond);

// 100,000 calls of a one-line function from a loop in another function.
void BM_HundredThousandCalls(benchmark::State& state) {
    Interpreter in;
    define(in, {"z<-inc x", "z<-x+1"});
    define(in, {"z<-calls n;i", "i<-0", "L1:->(~i<n)/L2", "i<-inc i", "->L1", "L2:z<-i"});
    for (auto _ : state) {
        if (wox::engine::executeLine(in, "r<-calls 100000") != 0) state.SkipWithError("failed");
    }
    // Three lines of the loop and one of the called function per call.
    double lines = 4.0 * 100'000;
    state.counters["ns_per_line"] =
        benchmark::Counter(lines * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_HundredThousandCalls)->Unit(benchmark::kMillisecond);

// The loop written with while, as a user writes it.
void BM_DirectWhileLoopMillionSteps(benchmark::State& state) {
    Interpreter in;
    defineDirect(in, "loop: i<-0; while (i<x) {i<-i+1}; i}");
    for (auto _ : state) {
        if (wox::engine::executeLine(in, "r<-loop 1000000") != 0) state.SkipWithError("failed");
    }
    double lines = 3.0 * 1'000'000;
    state.counters["ns_per_line"] =
        benchmark::Counter(lines * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DirectWhileLoopMillionSteps)->Unit(benchmark::kMillisecond);

// 100,000 calls of {inc: x+1} from a while loop.
void BM_DirectHundredThousandCalls(benchmark::State& state) {
    Interpreter in;
    defineDirect(in, "inc: x+1}");
    defineDirect(in, "calls: i<-0; while (i<x) {i<-inc i}; i}");
    for (auto _ : state) {
        if (wox::engine::executeLine(in, "r<-calls 100000") != 0) state.SkipWithError("failed");
    }
    state.counters["ns_per_call"] =
        benchmark::Counter(100'000.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DirectHundredThousandCalls)->Unit(benchmark::kMillisecond);

// A vector built by catenation in a loop, v<-v,i: each step copies what
// the vector holds so far, so the step's cost grows with it.
void BM_CatenateLoopTenThousand(benchmark::State& state) {
    Interpreter in;
    defineDirect(in, "grow: v<-0/0; i<-0; while (i<x) {v<-v,i; i<-i+1}; v}");
    for (auto _ : state) {
        if (wox::engine::executeLine(in, "r<-grow 10000") != 0) state.SkipWithError("failed");
    }
    state.counters["ns_per_step"] =
        benchmark::Counter(10'000.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_CatenateLoopTenThousand)->Unit(benchmark::kMillisecond);

// Recursion: fib 20 makes 21,891 calls, each with a test and one or two
// further calls.
void BM_RecursiveFib20(benchmark::State& state) {
    Interpreter in;
    defineDirect(in, "fib: if (x<2) {z<-x} else {z<-(fib x-1)+fib x-2}}");
    for (auto _ : state) {
        if (wox::engine::executeLine(in, "r<-fib 20") != 0) state.SkipWithError("failed");
    }
    state.counters["ns_per_call"] =
        benchmark::Counter(21'891.0 * static_cast<double>(state.iterations()),
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_RecursiveFib20)->Unit(benchmark::kMillisecond);

}  // namespace
