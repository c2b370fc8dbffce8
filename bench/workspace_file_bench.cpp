// Saving and loading a workspace that holds 100 MB of values, beside copying
// the same bytes from file to file as cp does (read and write in large
// blocks), with and without flushing them to the disk. Saving flushes: the
// target is within twice the flushed copy.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "bench_workspace.h"
#include "engine/workspace_clear.h"
#include "workspace_file/workspace_reader.h"
#include "workspace_file/workspace_writer.h"

namespace {

using namespace wox;
namespace fs = std::filesystem;

constexpr int kVariables = 10;
constexpr std::int32_t kFloatsEach = 1'250'000;  // 10 MB each

struct Place {
    fs::path dir;
    Place() {
        char pattern[] = "/tmp/wox-bench-XXXXXX";
        if (!mkdtemp(pattern)) std::abort();
        dir = pattern;
    }
    ~Place() { fs::remove_all(dir); }
};

Place& place() {
    static Place p;
    return p;
}

Interpreter& fullWorkspace() {
    static Interpreter* in = [] {
        auto* i = new Interpreter;
        if (engine::clearWorkspace(*i).failed()) std::abort();
        for (int v = 0; v < kVariables; ++v) {
            int slot = kFirstGlobalSlot + v;
            i->ws.lastGlobalSlot = slot;
            double* p = reinterpret_cast<double*>(bench::ownedVector(*i, slot, kFloat, kFloatsEach));
            for (std::int32_t k = 0; k < kFloatsEach; ++k) p[k] = k * 0.5 + v;
        }
        return i;
    }();
    return *in;
}

const std::string& savedPath() {
    static std::string path = [] {
        std::string p = (place().dir / "big.wox").string();
        std::string problem;
        if (!workspace_file::saveWorkspaceFile(fullWorkspace(), p, &problem)) std::abort();
        return p;
    }();
    return path;
}

void BM_SaveWorkspace100MB(benchmark::State& state) {
    Interpreter& in = fullWorkspace();
    std::string path = (place().dir / "save.wox").string();
    for (auto _ : state) {
        std::string problem;
        if (!workspace_file::saveWorkspaceFile(in, path, &problem)) state.SkipWithError(problem.c_str());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_SaveWorkspace100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadWorkspace100MB(benchmark::State& state) {
    const std::string& path = savedPath();
    Interpreter in;
    for (auto _ : state) {
        if (!workspace_file::loadWorkspaceFile(in, path).loaded) state.SkipWithError("not loaded");
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(path)));
}
BENCHMARK(BM_LoadWorkspace100MB)->Unit(benchmark::kMillisecond)->UseRealTime();

// What cp does: large reads and writes through one buffer.
void BM_CopyFileLikeCp100MB(benchmark::State& state) {
    const std::string& from = savedPath();
    std::string to = (place().dir / "copy.wox").string();
    std::vector<char> buffer(std::size_t{1} << 17);
    const bool flush = state.range(0) != 0;
    for (auto _ : state) {
        int in = open(from.c_str(), O_RDONLY);
        int out = open(to.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ssize_t n;
        while ((n = read(in, buffer.data(), buffer.size())) > 0)
            if (write(out, buffer.data(), static_cast<std::size_t>(n)) != n) state.SkipWithError("write");
        if (flush) (void)fsync(out);
        close(in);
        close(out);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(fs::file_size(from)));
}
BENCHMARK(BM_CopyFileLikeCp100MB)->Arg(0)->Arg(1)->ArgName("fsync")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
