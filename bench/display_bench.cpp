// Display of large values against the cost of printing the same numbers with
// std::to_chars into one buffer.
#include <benchmark/benchmark.h>

#include <charconv>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "display/character_form.h"
#include "display/number_text.h"
#include "display/value_display.h"
#include "engine/interpreter.h"
#include "engine/recording_link.h"
#include "values/shape.h"

namespace {

constexpr int kFloats = 1'000'000;

std::vector<double> sampleFloats() {
    std::mt19937_64 gen(1);
    std::uniform_real_distribution<double> dist(-100000.0, 100000.0);
    std::vector<double> v(kFloats);
    for (double& x : v) x = dist(gen);
    return v;
}

// A Float vector in global variable slot 18.
struct FloatWorkspace {
    wox::Interpreter in;
    wox::ValueRef ref = wox::varRef(wox::kFirstGlobalSlot);
    explicit FloatWorkspace(const std::vector<double>& v) {
        const int slot = wox::kFirstGlobalSlot;
        if (in.ws.allocOwned(slot, wox::kFloat, static_cast<std::int64_t>(v.size())).failed()) std::abort();
        wox::ValueDescriptor& d = in.ws.var(slot);
        d.type = wox::kFloat;
        d.rank = 1;
        d.count = static_cast<std::int32_t>(v.size());
        d.shape0 = d.count;
        std::memcpy(in.ws.base() + d.data, v.data(), v.size() * sizeof(double));
    }
};

// Displays value `ref` into a string once per iteration.
void displayEach(benchmark::State& state, wox::Interpreter& in, wox::ValueRef ref, std::int64_t items) {
    std::string out;
    for (auto _ : state) {
        out.clear();
        in.displayState.reset();
        if (wox::display::appendDisplay(in, in.displayState, ref, false, out).failed()) state.SkipWithError("display failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["bytes"] = static_cast<double>(out.size());
    state.SetItemsProcessed(state.iterations() * items);
}

// Formats value `ref` into a temporary once per iteration.
void formatEach(benchmark::State& state, wox::Interpreter& in, wox::ValueRef ref, std::int64_t items) {
    const std::uint32_t stack = in.ws.stackTop;
    for (auto _ : state) {
        in.ws.stackTop = stack;
        if (wox::display::formatMonadic(in, wox::kFirstTemp, ref).failed()) state.SkipWithError("format failed");
    }
    state.SetItemsProcessed(state.iterations() * items);
}

void BM_DisplayFloatVector(benchmark::State& state) {
    FloatWorkspace w(sampleFloats());
    displayEach(state, w.in, w.ref, kFloats);
}
BENCHMARK(BM_DisplayFloatVector)->Unit(benchmark::kMillisecond);

// The same display through the session's output operation.
void BM_DisplayFloatVectorToSession(benchmark::State& state) {
    FloatWorkspace w(sampleFloats());
    std::size_t written = 0;
    wox::testing::RecordingLink link(w.in, [&](std::string_view t) { written += t.size(); });
    for (auto _ : state) {
        w.in.displayState.reset();
        if (wox::display::displayValue(w.in, w.in.displayState, w.ref).failed()) state.SkipWithError("display failed");
    }
    benchmark::DoNotOptimize(written);
    state.SetItemsProcessed(state.iterations() * kFloats);
}
BENCHMARK(BM_DisplayFloatVectorToSession)->Unit(benchmark::kMillisecond);

void BM_FormatFloatVector(benchmark::State& state) {
    FloatWorkspace w(sampleFloats());
    formatEach(state, w.in, w.ref, kFloats);
}
BENCHMARK(BM_FormatFloatVector)->Unit(benchmark::kMillisecond);

// An Integer matrix in global variable slot 18: display and the format
// function measure its columns, then fill every cell.
struct IntegerMatrixWorkspace {
    static constexpr std::int32_t kRows = 1000;
    static constexpr std::int32_t kCols = 1000;
    wox::Interpreter in;
    wox::ValueRef ref = wox::varRef(wox::kFirstGlobalSlot);
    IntegerMatrixWorkspace() {
        const int slot = wox::kFirstGlobalSlot;
        const std::int64_t n = std::int64_t{kRows} * kCols;
        if (in.ws.allocOwned(slot, wox::kInteger, n).failed()) std::abort();
        wox::ValueDescriptor& d = in.ws.var(slot);
        d.type = wox::kInteger;
        d.count = static_cast<std::int32_t>(n);
        auto* p = in.ws.elems<std::int32_t>(d);
        std::mt19937 gen(1);
        std::uniform_int_distribution<std::int32_t> dist(-100000, 100000);
        for (std::int64_t i = 0; i < n; ++i) p[i] = dist(gen);
        const std::int32_t dims[] = {kRows, kCols};
        if (wox::values::setDimensions(in.ws, d, dims, 2).failed()) std::abort();
    }
};

void BM_DisplayIntegerMatrix(benchmark::State& state) {
    IntegerMatrixWorkspace w;
    displayEach(state, w.in, w.ref, std::int64_t{IntegerMatrixWorkspace::kRows} * IntegerMatrixWorkspace::kCols);
}
BENCHMARK(BM_DisplayIntegerMatrix)->Unit(benchmark::kMillisecond);

void BM_FormatIntegerMatrix(benchmark::State& state) {
    IntegerMatrixWorkspace w;
    formatEach(state, w.in, w.ref, std::int64_t{IntegerMatrixWorkspace::kRows} * IntegerMatrixWorkspace::kCols);
}
BENCHMARK(BM_FormatIntegerMatrix)->Unit(benchmark::kMillisecond);

// Baselines: the shortest round-trip text, and ten significant digits.
void BM_ToCharsShortest(benchmark::State& state) {
    const std::vector<double> v = sampleFloats();
    std::string out;
    for (auto _ : state) {
        out.clear();
        char buf[32];
        for (double x : v) {
            char* end = std::to_chars(buf, buf + sizeof buf, x).ptr;
            out.append(buf, static_cast<std::size_t>(end - buf));
            out.push_back(' ');
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFloats);
}
BENCHMARK(BM_ToCharsShortest)->Unit(benchmark::kMillisecond);

void BM_ToCharsTenDigits(benchmark::State& state) {
    const std::vector<double> v = sampleFloats();
    std::string out;
    for (auto _ : state) {
        out.clear();
        char buf[32];
        for (double x : v) {
            char* end = std::to_chars(buf, buf + sizeof buf, x, std::chars_format::general, 10).ptr;
            out.append(buf, static_cast<std::size_t>(end - buf));
            out.push_back(' ');
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFloats);
}
BENCHMARK(BM_ToCharsTenDigits)->Unit(benchmark::kMillisecond);

// Number text alone over the same numbers.
void BM_FloatText(benchmark::State& state) {
    const std::vector<double> v = sampleFloats();
    std::string out;
    for (auto _ : state) {
        out.clear();
        char buf[wox::display::kNumberTextMax];
        for (double x : v) {
            out.append(buf, static_cast<std::size_t>(wox::display::floatText(buf, x)));
            out.push_back(' ');
        }
        benchmark::DoNotOptimize(out.data());
    }
    state.SetItemsProcessed(state.iterations() * kFloats);
}
BENCHMARK(BM_FloatText)->Unit(benchmark::kMillisecond);

}  // namespace
