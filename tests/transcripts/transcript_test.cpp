// Runs every session transcript of this folder (*.wt) in a fresh interpreter,
// then once more through the built `wox` program in batch mode.
//
// A transcript file is exactly what `wox` writes in batch mode. The input
// lines are not kept apart: after each step the session ends with a prompt,
// and the rest of that line in the file is the next line to type. Output
// lines that happen to start with six blanks (an error report's copy of the
// line) are therefore never mistaken for input. The in-process run finds the
// input lines this way, and `wox` is then given all of them at once; it must
// exit with 1 when any line failed in process, else with 0.
#include <gtest/gtest.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "session/session.h"
#include "session/standard_library.h"
#include "session/terminal_text.h"
#include "session/transcript.h"

#ifndef WOX_BINARY
#error "WOX_BINARY must name the wox program the transcripts are checked with"
#endif

extern char** environ;

namespace wox::session {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    bool passed = false;
    std::string actual;  // the transcript as far as it was run
    std::string problem;
    // The run ended at the first difference, so the file's tail was not reached.
    bool stoppedEarly = false;
    // The lines typed, exactly as the file has them.
    std::vector<std::string> inputs;
    // Batch wox's exit status for these lines: 1 when any of them failed.
    int status = 0;
    // What each input line wrote in the file: from the end of its echo up
    // to the next prompt.
    std::vector<std::string> outputs;
};

// The prompt that ends every step of a batch transcript.
constexpr std::string_view kBatchPrompt = "\n      ";

// File times (of SAVE and LOAD) differ from run to run; both sides show
// them as this one.
constexpr std::string_view kFileTime = "2000.01.01 00:00:00 (gmt 0)";

bool digitsAt(const std::string& s, std::size_t at, std::size_t n) {
    if (at + n > s.size()) return false;
    for (std::size_t i = 0; i < n; ++i)
        if (!std::isdigit(static_cast<unsigned char>(s[at + i]))) return false;
    return true;
}

// Replaces every "yyyy.mm.dd hh:mm:ss (gmt±h)" from `from` on by kFileTime.
void normaliseFileTimes(std::string& s, std::size_t from = 0) {
    for (std::size_t at = from; at + 24 < s.size(); ++at) {
        bool stamp = digitsAt(s, at, 4) && s[at + 4] == '.' && digitsAt(s, at + 5, 2) && s[at + 7] == '.' &&
                     digitsAt(s, at + 8, 2) && s[at + 10] == ' ' && digitsAt(s, at + 11, 2) && s[at + 13] == ':' &&
                     digitsAt(s, at + 14, 2) && s[at + 16] == ':' && digitsAt(s, at + 17, 2) &&
                     s.compare(at + 19, 5, " (gmt") == 0;
        if (!stamp) continue;
        std::size_t end = at + 25;
        while (end < s.size() && std::isdigit(static_cast<unsigned char>(s[end]))) ++end;
        if (end >= s.size() || s[end] != ')') continue;
        s.replace(at, end + 1 - at, kFileTime);
        at += kFileTime.size() - 1;
    }
}

// Each run has a workspace folder of its own; both sides show it as the
// folder the program takes by default.
constexpr std::string_view kShownFolder = "~/wox/ws/";

void normaliseFolder(std::string& s, const std::string& folder, std::size_t from = 0) {
    for (std::size_t at = s.find(folder, from); at != std::string::npos; at = s.find(folder, at + kShownFolder.size()))
        s.replace(at, folder.size(), kShownFolder);
}

// A fresh home for one run: the configuration and the workspace folder
// that `wox` would make there.
fs::path freshHome();
std::string workspaceFolderOf(const fs::path& home) { return (home / "wox" / "ws").string() + "/"; }

// The process's working folder, changed for a scope.
class WorkingFolder {
public:
    explicit WorkingFolder(const fs::path& to) : before_(fs::current_path()) { fs::current_path(to); }
    ~WorkingFolder() {
        std::error_code ignored;
        fs::current_path(before_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

private:
    fs::path before_;
};

Outcome runTranscript(const std::string& expected) {
    Interpreter in;
    in.unattended = true;  // as in batch wox
    TextTranscript transcript;
    Session session(in, transcript);
    const fs::path home = freshHome();
    const std::string folder = workspaceFolderOf(home);
    fs::create_directories(folder);
    // Relative paths are taken from the working folder: the run's home, as
    // for the batch run.
    WorkingFolder working(home);
    // As the wox program finds its folder: with the standard library.
    std::string problem;
    if (!installStandardLibrary(folder, &problem)) {
        Outcome failed;
        failed.problem = problem;
        return failed;
    }
    session.setWorkspaceFolder(folder);
    TerminalText stream(TerminalText::Mode::Batch);
    Outcome out;
    session.setSink([&](Piece piece, std::string_view text) { stream.put(piece, text, out.actual); });
    session.start();
    std::size_t checked = 0;
    std::size_t echoEnd = std::string::npos;
    for (;;) {
        stream.finish(out.actual);
        normaliseFileTimes(out.actual, checked);
        normaliseFolder(out.actual, folder, checked);
        if (expected.compare(checked, out.actual.size() - checked, out.actual, checked) != 0) {
            out.problem = "the output differs";
            out.stoppedEarly = true;
            return out;
        }
        checked = out.actual.size();
        if (echoEnd != std::string::npos)
            out.outputs.push_back(expected.substr(echoEnd, checked - kBatchPrompt.size() - echoEnd));
        std::string_view rest = std::string_view(expected).substr(checked);
        if (rest == "\n") {
            out.actual += '\n';
            out.passed = true;
            out.status = session.anyLineFailed() ? 1 : 0;
            return out;
        }
        std::size_t nl = rest.find('\n');
        if (nl == std::string_view::npos) {
            out.problem = rest.empty() ? "the file ends before the session's last prompt"
                                       : "the file's last line has no line break";
            out.stoppedEarly = true;
            return out;
        }
        std::string_view input = rest.substr(0, nl);
        out.inputs.emplace_back(input);
        echoEnd = checked + input.size();
        if (input.ends_with('\r')) input.remove_suffix(1);  // as batch input reads it
        session.submit(input);
    }
}

std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t at = 0;
    while (at <= text.size()) {
        std::size_t nl = text.find('\n', at);
        if (nl == std::string::npos) {
            if (at < text.size()) lines.push_back(text.substr(at));
            break;
        }
        lines.push_back(text.substr(at, nl - at));
        at = nl + 1;
    }
    return lines;
}

// Control characters shown escaped, trailing blanks as middle dots.
std::string shown(const std::string& line) {
    std::string s;
    for (unsigned char c : line) {
        if (c == '\t') {
            s += "\\t";
        } else if (c < 0x20 || c == 0x7f) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            s += hex;
        } else {
            s += static_cast<char>(c);
        }
    }
    std::size_t keep = s.find_last_not_of(' ') + 1;  // npos + 1 is 0
    std::size_t blanks = s.size() - keep;
    s.resize(keep);
    for (std::size_t k = 0; k < blanks; ++k) s += "\u00b7";
    return s;
}

// A unified diff with line numbers and three lines of context.
std::string unifiedDiff(const std::vector<std::string>& a, const std::vector<std::string>& b) {
    const std::size_t n = a.size(), m = b.size();
    if (n * m > 25'000'000) return "(too long to diff)\n";
    std::vector<std::vector<int>> lcs(n + 1, std::vector<int>(m + 1, 0));
    for (std::size_t i = n; i-- > 0;)
        for (std::size_t j = m; j-- > 0;)
            lcs[i][j] = a[i] == b[j] ? lcs[i + 1][j + 1] + 1 : std::max(lcs[i + 1][j], lcs[i][j + 1]);
    struct Op {
        char kind;
        std::size_t ai, bi;
    };
    std::vector<Op> ops;
    std::size_t i = 0, j = 0;
    while (i < n || j < m) {
        if (i < n && j < m && a[i] == b[j]) {
            ops.push_back({' ', i++, j++});
        } else if (i < n && (j == m || lcs[i + 1][j] >= lcs[i][j + 1])) {
            ops.push_back({'-', i++, j});
        } else {
            ops.push_back({'+', i, j++});
        }
    }
    std::vector<std::size_t> changes;
    for (std::size_t t = 0; t < ops.size(); ++t)
        if (ops[t].kind != ' ') changes.push_back(t);
    std::ostringstream out;
    const std::size_t context = 3;
    for (std::size_t c = 0; c < changes.size();) {
        // One hunk holds the changes that lie within twice the context.
        std::size_t last = c;
        while (last + 1 < changes.size() && changes[last + 1] - changes[last] <= 2 * context) ++last;
        std::size_t begin = changes[c] >= context ? changes[c] - context : 0;
        std::size_t end = std::min(ops.size(), changes[last] + context + 1);
        std::size_t aCount = 0, bCount = 0;
        for (std::size_t t = begin; t < end; ++t) {
            if (ops[t].kind != '+') ++aCount;
            if (ops[t].kind != '-') ++bCount;
        }
        out << "@@ -" << ops[begin].ai + 1 << ',' << aCount << " +" << ops[begin].bi + 1 << ',' << bCount
            << " @@\n";
        for (std::size_t t = begin; t < end; ++t) {
            const std::string& line = ops[t].kind == '+' ? b[ops[t].bi] : a[ops[t].ai];
            out << ops[t].kind << shown(line) << '\n';
        }
        c = last + 1;
    }
    return out.str();
}

std::string report(const std::string& name, const std::string& expected, const Outcome& outcome,
                   std::string_view actualLabel = "actual") {
    std::vector<std::string> want = splitLines(expected);
    std::vector<std::string> got = splitLines(outcome.actual);
    // A run that stopped at the first difference is compared only as far as
    // it reached, plus a little.
    std::size_t more = 0;
    if (outcome.stoppedEarly && want.size() > got.size() + 3) {
        more = want.size() - (got.size() + 3);
        want.resize(got.size() + 3);
    }
    std::ostringstream out;
    out << name << ": " << outcome.problem << "\n--- expected " << name << "\n+++ " << actualLabel << "\n"
        << unifiedDiff(want, got);
    if (more > 0) out << "(the run stopped here; " << more << " further lines of the file were not reached)\n";
    // Split into lines, a missing last line break would not show at all.
    if (!outcome.stoppedEarly && expected.ends_with('\n') != outcome.actual.ends_with('\n'))
        out << "\\ the " << (expected.ends_with('\n') ? "actual output" : "expected text")
            << " has no line break at its end\n";
    return out.str();
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const fs::path kFolder = fs::path(__FILE__).parent_path();

std::vector<fs::path> transcriptFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(kFolder))
        if (entry.is_regular_file() && entry.path().extension() == ".wt") files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

// The variables that lead to the user's own files, each pointed into a
// private temporary folder for this process and every program it starts.
class PrivateHome : public ::testing::Environment {
public:
    static const fs::path& dir() { return dir_; }
    static std::vector<std::pair<std::string, fs::path>> variables() {
        return {{"HOME", dir_}, {"XDG_CONFIG_HOME", dir_ / "config"}, {"XDG_STATE_HOME", dir_ / "state"}};
    }

    void SetUp() override {
        char pattern[] = "/tmp/wox-transcripts-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr) << "cannot make a private home: " << std::strerror(errno);
        dir_ = pattern;
        for (const auto& [name, path] : variables()) {
            fs::create_directories(path);
            setenv(name.c_str(), path.c_str(), 1);
        }
    }
    void TearDown() override {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
        dir_.clear();
    }

private:
    static inline fs::path dir_;
};

fs::path freshHome() {
    static int runs = 0;
    fs::path home = PrivateHome::dir() / ("run" + std::to_string(++runs));
    // Every workspace folder starts with the diagnostic commands' folder
    // (diag/ beside the transcripts); LIB lists no folder.
    const fs::path folder = workspaceFolderOf(home);
    fs::create_directories(folder);
    fs::copy(kFolder / "diag", folder / "diag", fs::copy_options::recursive);
    return home;
}
[[maybe_unused]] ::testing::Environment* const privateHome =
    ::testing::AddGlobalTestEnvironment(new PrivateHome);

// This process's environment with the private home put in, built apart from
// `environ` so a child never sees the user's folders even if our own
// variables were changed since.
std::vector<std::string> childEnvironment(const fs::path& home = {}) {
    std::vector<std::string> env;
    auto replaced = PrivateHome::variables();
    if (!home.empty()) replaced = {{"HOME", home}, {"XDG_CONFIG_HOME", home / "config"}, {"XDG_STATE_HOME", home / "state"}};
    for (char** e = environ; *e; ++e) {
        std::string_view entry = *e;
        bool ours = std::any_of(replaced.begin(), replaced.end(),
                                [&](const auto& v) { return entry.starts_with(v.first + "="); });
        if (!ours) env.emplace_back(entry);
    }
    for (const auto& [name, path] : replaced) env.push_back(name + "=" + path.string());
    return env;
}

// An unnamed file that can stand in for a child's standard stream.
class ScratchFile {
public:
    ScratchFile() : file_(std::tmpfile()) {}
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() {
        if (file_) std::fclose(file_);
    }
    bool ok() const { return file_ != nullptr; }
    int fd() const { return fileno(file_); }
    bool write(const std::string& text) {
        return std::fwrite(text.data(), 1, text.size(), file_) == text.size() && std::fflush(file_) == 0 &&
               lseek(fd(), 0, SEEK_SET) == 0;
    }
    std::string readAll() {
        std::string text;
        if (lseek(fd(), 0, SEEK_SET) != 0) return text;
        char buffer[65536];
        for (;;) {
            ssize_t n = ::read(fd(), buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) break;
            text.append(buffer, static_cast<std::size_t>(n));
        }
        return text;
    }

private:
    std::FILE* file_;
};

struct ProgramRun {
    std::string output;
    std::string errors;
    std::string problem;  // empty when the program ran and exited with the expected status
    int status = -1;      // the exit status, -1 when it did not exit
};

// Runs a program with `input` as its standard input and collects what it
// writes. The streams are files, not pipes, so a child that writes much
// before it reads can never block on us.
ProgramRun runProgram(const std::vector<std::string>& argv, const std::string& input, int expectedStatus = 0,
                      const fs::path& home = {}) {
    ProgramRun run;
    ScratchFile in, out, err;
    if (!in.ok() || !out.ok() || !err.ok() || !in.write(input)) {
        run.problem = std::string("cannot make a scratch file: ") + std::strerror(errno);
        return run;
    }
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // A run with a home of its own works in it.
    if (!home.empty()) posix_spawn_file_actions_addchdir_np(&actions, home.c_str());
    posix_spawn_file_actions_adddup2(&actions, in.fd(), STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, out.fd(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.fd(), STDERR_FILENO);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    std::vector<std::string> env = childEnvironment(home);
    std::vector<char*> envp;
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);
    pid_t pid = 0;
    int failed = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        run.problem = "cannot start " + argv[0] + ": " + std::strerror(failed);
        return run;
    }
    int status = 0;
    while (waitpid(pid, &status, 0) < 0) {
        if (errno != EINTR) {
            run.problem = std::string("cannot wait for ") + argv[0] + ": " + std::strerror(errno);
            return run;
        }
    }
    run.output = out.readAll();
    run.errors = err.readAll();
    if (WIFEXITED(status)) run.status = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) {
        run.problem = argv[0] + " was ended by signal " + std::to_string(WTERMSIG(status));
    } else if (run.status != expectedStatus) {
        run.problem = argv[0] + " failed with status " + std::to_string(run.status) + " instead of " +
                      std::to_string(expectedStatus);
    }
    if (!run.problem.empty() && !run.errors.empty()) run.problem += ":\n" + run.errors.substr(0, 2000);
    return run;
}

// Types every input line into one batch run of `program` (the built wox),
// which must write the file byte for byte.
Outcome runBatch(const std::string& expected, const std::vector<std::string>& inputs, int expectedStatus = 0,
                 const std::string& program = WOX_BINARY) {
    std::string typed;
    for (const std::string& line : inputs) typed += line + '\n';
    const fs::path home = freshHome();
    ProgramRun run = runProgram({program}, typed, expectedStatus, home);
    Outcome out;
    out.actual = std::move(run.output);
    normaliseFileTimes(out.actual);
    normaliseFolder(out.actual, workspaceFolderOf(home));
    out.inputs = inputs;
    if (!run.problem.empty()) {
        out.problem = run.problem;
        out.stoppedEarly = true;
    } else if (out.actual != expected) {
        out.problem = "the output of batch wox differs";
    } else {
        out.passed = true;
    }
    return out;
}

class TranscriptFile : public ::testing::TestWithParam<fs::path> {};

TEST_P(TranscriptFile, RunsAsWritten) {
    const fs::path& path = GetParam();
    std::string expected = readFile(path);
    Outcome outcome = runTranscript(expected);
    if (!outcome.passed) {
        ADD_FAILURE() << report(path.filename().string(), expected, outcome);
        return;
    }
    Outcome batch = runBatch(expected, outcome.inputs, outcome.status);
    if (!batch.passed) ADD_FAILURE() << report(path.filename().string(), expected, batch, "actual (batch wox)");
}

INSTANTIATE_TEST_SUITE_P(Transcripts, TranscriptFile, ::testing::ValuesIn(transcriptFiles()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TranscriptFile);

// The transcripts also run through the regression runner of the language
// itself, SU. A transcript becomes a test script by its input lines, one
// per script line in order; SU reads scripts without echoing their lines,
// so what the test writes in the suite's saved transcript must be exactly
// what those lines wrote in the transcript file. Only transcripts whose
// lines are statements and system commands qualify: a definition in braces
// typed in the session answers with its name, which the script reader does
// not, and "@." and "->" lines have no meaning in a script.
bool runsAsScript(const std::vector<std::string>& inputs) {
    for (const std::string& line : inputs) {
        std::string_view l = line;
        while (l.starts_with(' ')) l.remove_prefix(1);
        if (l.starts_with('{') || l.starts_with("@.") || l.starts_with("->")) return false;
    }
    return true;
}

TEST(TranscriptSuite, TranscriptsRunAsTestScriptsOfSu) {
    const std::vector<std::string> chosen = {"catenate", "compress", "grade", "set", "search", "structural"};
    const std::string folder = workspaceFolderOf(freshHome());
    const fs::path diag = fs::path(folder) / "diag";
    fs::create_directories(diag / "etest" / "ts03");
    fs::create_directories(diag / "loadf");
    std::string problem;
    ASSERT_TRUE(installStandardLibrary(folder, &problem)) << problem;
    auto put = [&](const fs::path& path, const std::string& text) {
        std::ofstream(path, std::ios::binary) << text;
    };
    const std::string saved = "\nsaved " + std::string(kFileTime);
    std::string list;
    std::string sections;
    int number = 0;
    for (const std::string& name : chosen) {
        Outcome typed = runTranscript(readFile(kFolder / (name + ".wt")));
        ASSERT_TRUE(typed.passed) << name << ": " << typed.problem;
        ASSERT_TRUE(runsAsScript(typed.inputs)) << name << " has lines a script cannot hold";
        std::string script;
        for (const std::string& line : typed.inputs) script += line + "\n";
        put(diag / "etest" / "ts03" / (name + ".vsf"), script);
        list += std::to_string(++number) + ": " + name + ".vsf\n";
        sections += "\n[ " + name + " ]";
        for (const std::string& o : typed.outputs) sections += o;
        sections += saved;
    }
    // A failing system command fails its test, and the script goes on; a
    // test script that is missing fails too. A line without a colon ends
    // the list.
    put(diag / "etest" / "ts03" / "failing.vsf", "1+2\n)load nosuchws\n2+3\n");
    list += "7: failing.vsf\n8: missing.vsf\nthe end\n9: set.vsf\n";
    sections += "\n[ failing ]\n3\nthe file is not found\n5" + saved;
    sections += "\n[ missing ]\nthe file is not found";
    put(diag / "etest" / "dolist.txt", list);

    Interpreter in;
    TextTranscript transcript;
    Session session(in, transcript);
    session.setWorkspaceFolder(folder);
    session.start();
    session.submit(")su");
    EXPECT_EQ(session.lastCommandResult(), 1) << "tests failed";
    const std::string totals = "\n[ 7] failing.vsf\n[ 8] missing.vsf\ntotal:[ 8]:\n right:[ 6]\t wrong[ 2]";
    const std::string expected = "WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      )su" + sections + totals;
    std::string log = readFile(diag / "loadf" / "suite01.log");
    normaliseFileTimes(log);
    if (log != expected) {
        Outcome got;
        got.actual = log;
        got.problem = "the suite's transcript differs";
        ADD_FAILURE() << report("suite01.log", expected, got);
    }
    EXPECT_TRUE(transcript.wholeText().ends_with("\r\nfile suite01.log is saved in dir: " + folder + "diag/loadf/\r\n      "));
}

TEST(TranscriptRunner, StopsAtTheFirstDifferenceWithADiff) {
    const std::string banner = "WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      ";
    EXPECT_TRUE(runTranscript(banner + ")x\nincorrect command\n      \n").passed);
    EXPECT_TRUE(runTranscript(banner + "\n      \n").passed);  // an empty input line

    const std::string wrong = banner + ")x\nwrong answer\n      )y\nsomething\n      \n";
    Outcome outcome = runTranscript(wrong);
    ASSERT_FALSE(outcome.passed);
    std::string text = report("wrong.wt", wrong, outcome);
    EXPECT_NE(text.find("-wrong answer\n-      )y\n-something\n+incorrect command\n"), std::string::npos) << text;
    EXPECT_NE(text.find("@@ -2,"), std::string::npos) << text;
    EXPECT_NE(text.find("\n \u00b7\u00b7\u00b7\u00b7\u00b7\u00b7\n"), std::string::npos) << text;

    EXPECT_FALSE(runTranscript(banner + ")x").passed);
    EXPECT_FALSE(runTranscript(banner).passed);
}

TEST(TranscriptRunner, BatchWoxIsGivenTheLinesFoundInProcess) {
    const std::string banner = "WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      ";
    const std::string file = banner + ")x\nincorrect command\n      \n      )y\nincorrect command\n      \n";
    Outcome outcome = runTranscript(file);
    ASSERT_TRUE(outcome.passed) << outcome.problem;
    EXPECT_EQ(outcome.inputs, (std::vector<std::string>{")x", "", ")y"}));
    EXPECT_EQ(outcome.status, 1) << "an incorrect command is a failed line";
    Outcome batch = runBatch(file, outcome.inputs, outcome.status);
    EXPECT_TRUE(batch.passed) << report("lines.wt", file, batch, "actual (batch wox)");
}

TEST(TranscriptRunner, BatchWoxReportsADifference) {
    const std::string banner = "WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      ";
    const std::string wrong = banner + ")x\nwrong answer\n      )y\nsomething\n      \n";
    Outcome outcome = runBatch(wrong, {")x", ")y"}, 1);
    ASSERT_FALSE(outcome.passed);
    std::string text = report("wrong.wt", wrong, outcome, "actual (batch wox)");
    EXPECT_NE(text.find("+++ actual (batch wox)\n"), std::string::npos) << text;
    // The whole run is compared, the second difference too.
    EXPECT_NE(text.find("-wrong answer\n+incorrect command\n       )y\n-something\n+incorrect command\n"),
              std::string::npos)
        << text;

    // A missing final line break is a difference as well, and is named.
    const std::string unended = banner + ")x\nincorrect command\n      ";
    Outcome extra = runBatch(unended, {")x"}, 1);
    ASSERT_FALSE(extra.passed);
    text = report("unended.wt", unended, extra, "actual (batch wox)");
    EXPECT_NE(text.find("\\ the expected text has no line break at its end\n"), std::string::npos) << text;
}

TEST(TranscriptRunner, BatchRunFailsWhenTheProgramDoes) {
    // The right output is not enough: the program must also succeed.
    const std::string text = "any text\n";
    EXPECT_TRUE(runBatch(text, {"any text"}, 0, "/bin/cat").passed);
    ProgramRun crashed = runProgram({"/bin/sh", "-c", "cat; echo gone >&2; exit 3"}, text);
    EXPECT_EQ(crashed.output, text);
    EXPECT_NE(crashed.problem.find("status 3"), std::string::npos) << crashed.problem;
    EXPECT_EQ(crashed.status, 3);
    // So must its status be the one expected, a failure's too.
    EXPECT_TRUE(runProgram({"/bin/sh", "-c", "cat; exit 1"}, text, 1).problem.empty());
    EXPECT_FALSE(runProgram({"/bin/sh", "-c", "cat"}, text, 1).problem.empty());
    EXPECT_NE(crashed.problem.find("gone"), std::string::npos) << crashed.problem;

    Outcome missing = runBatch(text, {"any text"}, 0, "/nonexistent/wox");
    EXPECT_FALSE(missing.passed);
    EXPECT_NE(missing.problem.find("cannot start /nonexistent/wox"), std::string::npos) << missing.problem;
}

TEST(TranscriptRunner, ProgramsRunInThePrivateHome) {
    ProgramRun run = runProgram({"/usr/bin/env"}, "");
    ASSERT_TRUE(run.problem.empty()) << run.problem;
    ASSERT_FALSE(PrivateHome::dir().empty());
    const std::string env = "\n" + run.output;
    for (const auto& [name, path] : PrivateHome::variables()) {
        const std::string start = "\n" + name + "=";
        std::size_t at = env.find(start);
        ASSERT_NE(at, std::string::npos) << name << " is missing in:" << env;
        EXPECT_EQ(env.find(start + path.string() + "\n"), at) << name << " is not private in:" << env;
        EXPECT_EQ(env.find(start, at + 1), std::string::npos) << name << " twice in:" << env;
    }
}

}  // namespace
}  // namespace wox::session
