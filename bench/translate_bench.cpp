// Line translation speed: a script of 1,000 typical lines (assignments,
// arithmetic, reductions, indexing, lists, strings, symbols, products, axis
// forms, long names), translated as session lines are: the line tables are
// given back before each line.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "frontend/builtin_names.h"
#include "frontend/front_tables.h"
#include "frontend/translator.h"

namespace {

using namespace wox;

std::vector<std::string> typicalScript() {
    static constexpr std::array<const char*, 20> kTemplates = {
        "x%d<-1 2 3 4 5",
        "total%d<-+/prices%d*quantities%d",
        "m%d<-3 4#!12",
        "r%d<-(a%d+b%d)%%2",
        "names%d<-`apple`banana`cherry",
        "s%d<-'hello, world'",
        "z%d<-x%d[2;3]+y%d[1]",
        "(a%d;b%d)<-(1;'two')",
        "avg%d<-(+/v%d)%%^v%d",
        "t%d<-x%d .:* y%d",
        "ip%d<-a%d +:* b%d",
        "c%d<-m%d,[1]n%d",
        "q%d<-$[1]m%d",
        "w%d<-'abc','def'",
        "x%d[1]<-42",
        "v%d<-1.5 2.25 _3e2 0n 4j1",
        "longvariablename%d<-longvariablename%d+1",
        "k%d<-(i%d>0)^i%d<=10",
        "p%d<-<v%d",
        "e%d<-#\" items%d  // sizes of every item",
    };
    std::vector<std::string> lines;
    char buf[160];
    for (int i = 0; i < 1000; ++i) {
        int n = i % 40;
        std::snprintf(buf, sizeof buf, kTemplates[static_cast<std::size_t>(i) % kTemplates.size()], n, n, n);
        lines.emplace_back(buf);
    }
    return lines;
}

void BM_TranslateTypicalScript(benchmark::State& state) {
    Interpreter in;
    (void)frontend::enterSystemValues(in.ws);
    const std::vector<std::string> lines = typicalScript();
    frontend::TranslatedLine t;
    // One warm-up pass enters the names, as a script's first run would.
    for (const std::string& l : lines) {
        frontend::releaseLineTables(in.front, in.ws);
        if (frontend::translateLine(in.frontEnd(), l, -1, 0, &t).failed()) {
            state.SkipWithError(("translation failed: " + l).c_str());
            return;
        }
    }
    for (auto _ : state) {
        for (const std::string& l : lines) {
            frontend::releaseLineTables(in.front, in.ws);
            benchmark::DoNotOptimize(frontend::translateLine(in.frontEnd(), l, -1, 0, &t).code);
        }
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}
BENCHMARK(BM_TranslateTypicalScript)->Unit(benchmark::kMicrosecond);

// The same script into one set of tables without giving anything back, as
// the lines of a large function body are translated.
void BM_TranslateWithoutRelease(benchmark::State& state) {
    Interpreter in;
    const std::vector<std::string> lines = typicalScript();
    frontend::TranslatedLine t;
    for (auto _ : state) {
        frontend::releaseLineTables(in.front, in.ws);
        for (const std::string& l : lines) benchmark::DoNotOptimize(frontend::translateLine(in.frontEnd(), l, -1, 0, &t).code);
    }
    state.SetItemsProcessed(state.iterations() * static_cast<std::int64_t>(lines.size()));
}
BENCHMARK(BM_TranslateWithoutRelease)->Unit(benchmark::kMicrosecond);

}  // namespace
