// Tables: rows of a 1,000,000-row table chosen by a comparison on one
// column, and the first of them displayed, as a session runs them.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <string_view>

#include "engine/execute_line.h"
#include "engine/interpreter.h"
#include "engine/recording_link.h"
#include "values/keyed_value.h"

namespace {

using wox::Interpreter;

void run(Interpreter& in, std::string_view line) {
    if (wox::engine::executeLine(in, line) != 0) std::abort();
}

// A table of a million rows: an Integer column of values 1 to 1000, a Float
// column and a Symbol column.
void makeTable(Interpreter& in) {
    run(in, "a<-?.1000000#1000");
    run(in, "t<-([]a:a;b:a*0.5;c:1000000#`x`yy`zzz)");
    run(in, "a<-0");
}

void BM_SelectRowsAndDisplayFirst(benchmark::State& state) {
    Interpreter in;
    std::string shown;
    wox::testing::RecordingLink link(in, [&shown](std::string_view text) { shown.append(text); });
    makeTable(in);
    for (auto _ : state) {
        shown.clear();
        run(in, "r<-t[?t[;`a]<100;]");
        run(in, "r[!10;]");
        benchmark::DoNotOptimize(shown.data());
    }
    // a, t and r took the first three global slots, in that order.
    state.counters["rows_selected"] =
        static_cast<double>(wox::tableRows(in.ws, in.ws.var(wox::kFirstGlobalSlot + 2)));
}
BENCHMARK(BM_SelectRowsAndDisplayFirst)->Unit(benchmark::kMillisecond);

// The selection alone, without the display.
void BM_SelectRows(benchmark::State& state) {
    Interpreter in;
    makeTable(in);
    for (auto _ : state) run(in, "r<-t[?t[;`a]<100;]");
}
BENCHMARK(BM_SelectRows)->Unit(benchmark::kMillisecond);

}  // namespace
