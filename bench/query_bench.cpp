// The query library over a table of a million rows, as a session runs its
// statements: the text taken apart, the generated expression evaluated and
// its result displayed. One SELECT chooses rows by a condition, the other
// sums a column by group.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "engine/interpreter.h"
#include "session/session.h"
#include "session/standard_library.h"
#include "session/transcript.h"

namespace {

namespace fs = std::filesystem;

// A session whose workspace folder holds the standard library (which the
// query library copies), with the query library loaded by a first
// statement and a table t of a million rows: g an Integer column of 100
// groups, v an Integer column of values 1 to 1000.
class QuerySession {
public:
    QuerySession() : transcript_(1 << 16), session_(in_, transcript_) {
        folder_ = fs::temp_directory_path() / ("wox-query-bench-" + std::to_string(getpid()));
        fs::create_directories(folder_);
        std::string problem;
        if (!wox::session::installStandardLibrary(folder_.string() + "/", &problem)) fail(problem);
        session_.setWorkspaceFolder(folder_.string() + "/");
        session_.start();
        submit("t<-([]g:?.1000000#100;v:?.1000000#1000)");
        submit("do 'EXEC v FROM t WHERE v<0'");
    }
    ~QuerySession() {
        std::error_code ignored;
        fs::remove_all(folder_, ignored);
    }

    void submit(std::string_view line) {
        session_.submit(line);
        if (session_.lastLineFailed()) fail(std::string(line));
    }

private:
    [[noreturn]] static void fail(const std::string& what) {
        std::fprintf(stderr, "query benchmark set-up failed: %s\n", what.c_str());
        std::abort();
    }

    wox::Interpreter in_;
    wox::session::TextTranscript transcript_;
    wox::session::Session session_;
    fs::path folder_;
};

// One line, run as the session runs it.
void BM_Query(benchmark::State& state, const char* line) {
    QuerySession q;
    for (auto _ : state) q.submit(line);
}
// About 0.2% of the rows (those with v below 3) are chosen and shown.
BENCHMARK_CAPTURE(BM_Query, SelectWhere, "do 'SELECT g, v FROM t WHERE v<3'")->Unit(benchmark::kMillisecond);
// 100 groups, each the sum of about 10,000 values.
BENCHMARK_CAPTURE(BM_Query, SumBy, "do 'SELECT s<-SUM v BY g FROM t'")->Unit(benchmark::kMillisecond);
// The same work through select itself: no statement to take apart, and
// nothing displayed.
BENCHMARK_CAPTURE(BM_Query, SelectCallWhere, "r<-`t select (<.(`<;`v;3);!0;`g`v)")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Query, SelectCallSumBy, "r<-`t select (!0;`g;(,`s):,<.(`+/;`v))")
    ->Unit(benchmark::kMillisecond);

}  // namespace
