// CSV files of 1,000,000 rows and five columns (integers, floats, symbols,
// dates, date-times): writing the table with []CSVW and reading it back
// with []CSVR, each as a session line.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/execute_line.h"
#include "engine/interpreter.h"

namespace {

using wox::Interpreter;

void run(Interpreter& in, std::string_view line) {
    if (wox::engine::executeLine(in, line) != 0) std::abort();
}

struct CsvFolder {
    std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("wox-csv-bench-" + std::to_string(::getpid()));
    CsvFolder() { std::filesystem::create_directories(dir); }
    ~CsvFolder() { std::filesystem::remove_all(dir); }
};

void makeTable(Interpreter& in, const CsvFolder& folder) {
    in.workspaceFolder = folder.dir.string() + "/";
    run(in, "a<-?.1000000#1000000");
    run(in, "t<-([]i:a;f:a%7;s:1000000#`buy`sell`hold;d:2000.01.01+_.a%100;dt:2024.01.01T00:00:00.000+a)");
    run(in, "a<-0");
}

void BM_WriteCsvMillionRows(benchmark::State& state) {
    CsvFolder folder;
    Interpreter in;
    makeTable(in, folder);
    for (auto _ : state) run(in, "z<-t []CSVW 'million'");
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(folder.dir / "million.csv"));
}
BENCHMARK(BM_WriteCsvMillionRows)->Unit(benchmark::kMillisecond);

void BM_ReadCsvMillionRows(benchmark::State& state) {
    CsvFolder folder;
    Interpreter in;
    makeTable(in, folder);
    run(in, "z<-t []CSVW 'million'");
    run(in, "t<-0");
    for (auto _ : state) run(in, "r<-[]CSVR 'million'");
}
BENCHMARK(BM_ReadCsvMillionRows)->Unit(benchmark::kMillisecond);

}  // namespace
