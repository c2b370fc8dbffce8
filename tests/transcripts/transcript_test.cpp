// Runs every session transcript of this folder (*.wt) in a fresh interpreter.
//
// A transcript file is exactly what `wox` writes in batch mode. The input
// lines are not kept apart: after each step the session ends with a prompt,
// and the rest of that line in the file is the next line to type. Output
// lines that happen to start with six blanks (an error report's copy of the
// line) are therefore never mistaken for input.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "engine/interpreter.h"
#include "session/session.h"
#include "session/terminal_text.h"
#include "session/transcript.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

struct Outcome {
    bool passed = false;
    std::string actual;  // the transcript as far as it was run
    std::string problem;
};

Outcome runTranscript(const std::string& expected) {
    Interpreter in;
    TextTranscript transcript;
    Session session(in, transcript);
    TerminalText stream(TerminalText::Mode::Batch);
    Outcome out;
    session.setSink([&](Piece piece, std::string_view text) { stream.put(piece, text, out.actual); });
    session.start();
    std::size_t checked = 0;
    for (;;) {
        stream.finish(out.actual);
        if (expected.compare(checked, out.actual.size() - checked, out.actual, checked) != 0) {
            out.problem = "the output differs";
            return out;
        }
        checked = out.actual.size();
        std::string_view rest = std::string_view(expected).substr(checked);
        if (rest == "\n") {
            out.actual += '\n';
            out.passed = true;
            return out;
        }
        std::size_t nl = rest.find('\n');
        if (nl == std::string_view::npos) {
            out.problem = rest.empty() ? "the file ends before the session's last prompt"
                                       : "the file's last line has no line break";
            return out;
        }
        std::string_view input = rest.substr(0, nl);
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

std::string report(const std::string& name, const std::string& expected, const Outcome& outcome) {
    std::vector<std::string> want = splitLines(expected);
    std::vector<std::string> got = splitLines(outcome.actual);
    // The run stops at the first difference: compare only as much of the
    // file as the run reached, plus a little.
    std::size_t more = 0;
    if (want.size() > got.size() + 3) {
        more = want.size() - (got.size() + 3);
        want.resize(got.size() + 3);
    }
    std::ostringstream out;
    out << name << ": " << outcome.problem << "\n--- expected " << name << "\n+++ actual\n"
        << unifiedDiff(want, got);
    if (more > 0) out << "(the run stopped here; " << more << " further lines of the file were not reached)\n";
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

// Keeps every run away from the user's own files.
class PrivateHome : public ::testing::Environment {
public:
    void SetUp() override {
        char pattern[] = "/tmp/wox-transcripts-XXXXXX";
        if (!mkdtemp(pattern)) return;
        dir_ = pattern;
        fs::create_directories(dir_ / "config");
        setenv("HOME", dir_.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (dir_ / "config").c_str(), 1);
    }
    void TearDown() override {
        std::error_code ignored;
        if (!dir_.empty()) fs::remove_all(dir_, ignored);
    }

private:
    fs::path dir_;
};
[[maybe_unused]] ::testing::Environment* const privateHome =
    ::testing::AddGlobalTestEnvironment(new PrivateHome);

class TranscriptFile : public ::testing::TestWithParam<fs::path> {};

TEST_P(TranscriptFile, RunsAsWritten) {
    const fs::path& path = GetParam();
    std::string expected = readFile(path);
    Outcome outcome = runTranscript(expected);
    if (!outcome.passed) ADD_FAILURE() << report(path.filename().string(), expected, outcome);
}

INSTANTIATE_TEST_SUITE_P(Transcripts, TranscriptFile, ::testing::ValuesIn(transcriptFiles()),
                         [](const ::testing::TestParamInfo<fs::path>& info) {
                             std::string name = info.param.stem().string();
                             for (char& c : name)
                                 if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                             return name;
                         });
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(TranscriptFile);

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

}  // namespace
}  // namespace wox::session
