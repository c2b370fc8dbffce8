// Matrix divide: a 500 by 500 system with one right-hand side, the inverse
// of a 500 by 500 matrix, and a 1000 by 500 least-squares problem, through
// the primitives; beside them the bare LAPACK solve of the same system on
// data already in column order, which is the floor the primitive stands on.
#include <benchmark/benchmark.h>

#include <cstring>
#include <random>
#include <vector>

#include "bench_workspace.h"
#include "engine/interpreter.h"
#include "primitives/matrix_divide.h"
#include "vocabulary/vocabulary.h"

extern "C" void dgesv_(const int* n, const int* nrhs, double* a, const int* lda, int* ipiv, double* b,
                       const int* ldb, int* info);

namespace {

using wox::Interpreter;

constexpr int kN = 500;
constexpr int kResult = 4;
constexpr int kSquare = 20, kTall = 21, kRhs = 22, kTallRhs = 23;

struct Data {
    Interpreter in;
    std::vector<double> square, rhs;  // row order, as the workspace holds them

    Data() {
        std::mt19937 rng(11);
        std::uniform_real_distribution<double> u(-1, 1);
        auto fill = [&](int slot, std::vector<std::int32_t> dims) {
            auto* p = reinterpret_cast<double*>(wox::bench::ownedArray(in, slot, wox::kFloat, dims));
            std::int64_t n = 1;
            for (std::int32_t d : dims) n *= d;
            for (std::int64_t i = 0; i < n; ++i) p[i] = u(rng);
            return std::vector<double>(p, p + n);
        };
        square = fill(kSquare, {kN, kN});
        rhs = fill(kRhs, {kN});
        fill(kTall, {2 * kN, kN});
        fill(kTallRhs, {2 * kN});
    }
};

Data& data() {
    static Data d;
    return d;
}

void BM_Solve500(benchmark::State& state) {
    wox::bench::runWox(state, data().in, 0, [](Interpreter& in) {
        return wox::primitives::matrixDivide(in, wox::vocabulary::code::kMatrixDivide, kResult, wox::varRef(kRhs),
                                             wox::varRef(kSquare));
    });
}
BENCHMARK(BM_Solve500)->Unit(benchmark::kMillisecond);

void BM_Invert500(benchmark::State& state) {
    wox::bench::runWox(state, data().in, 0, [](Interpreter& in) {
        return wox::primitives::matrixInverse(in, wox::vocabulary::code::kMatrixInverse, kResult,
                                              wox::varRef(kSquare));
    });
}
BENCHMARK(BM_Invert500)->Unit(benchmark::kMillisecond);

void BM_LeastSquares1000x500(benchmark::State& state) {
    wox::bench::runWox(state, data().in, 0, [](Interpreter& in) {
        return wox::primitives::matrixDivide(in, wox::vocabulary::code::kMatrixDivide, kResult,
                                             wox::varRef(kTallRhs), wox::varRef(kTall));
    });
}
BENCHMARK(BM_LeastSquares1000x500)->Unit(benchmark::kMillisecond);

// dgesv alone: the copies it works on are made outside the timing.
void BM_LapackSolve500(benchmark::State& state) {
    const Data& d = data();
    std::vector<double> a0(static_cast<std::size_t>(kN) * kN);
    for (int i = 0; i < kN; ++i)
        for (int j = 0; j < kN; ++j) a0[i + static_cast<std::size_t>(j) * kN] = d.square[static_cast<std::size_t>(i) * kN + j];
    std::vector<double> a(a0.size()), b(kN);
    std::vector<int> pivots(kN);
    const int n = kN, one = 1;
    for (auto _ : state) {
        state.PauseTiming();
        std::memcpy(a.data(), a0.data(), a0.size() * sizeof(double));
        std::memcpy(b.data(), d.rhs.data(), kN * sizeof(double));
        state.ResumeTiming();
        int info = 0;
        dgesv_(&n, &one, a.data(), &n, pivots.data(), b.data(), &n, &info);
        benchmark::DoNotOptimize(b.data());
    }
}
BENCHMARK(BM_LapackSolve500)->Unit(benchmark::kMillisecond);

}  // namespace
