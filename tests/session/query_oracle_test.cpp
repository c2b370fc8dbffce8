// SQLite as the oracle of the query language: query_oracle.py makes a few
// small random tables (their column names hold the statement words, ID,
// BYTES, FROMAGE, MINT, WHEREAS ...) and, with a fixed seed, random SELECT
// and EXEC statements over them with SQLite's answers; each statement runs
// through `do` here and must give the same rows. Rows of groups may come in
// any order; other rows come in table order. Skipped where python3 or its
// sqlite3 module is missing.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "on_path.h"
#include "session/session.h"
#include "session/standard_library.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

constexpr int kSeed = 20261208;
constexpr int kStatements = 1200;
// query_oracle.py's exit status when Python has no sqlite3 module.
constexpr int kNoSqlite = 77;

std::vector<std::string> split(const std::string& text, const std::string& by) {
    std::vector<std::string> parts;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(by, from)) != std::string::npos; from = at + by.size())
        parts.push_back(text.substr(from, at - from));
    parts.push_back(text.substr(from));
    return parts;
}

// The words of a text, joined by single blanks.
std::string words(const std::string& text) {
    std::istringstream in(text);
    std::string word, out;
    while (in >> word) out += (out.empty() ? "" : " ") + word;
    return out;
}

// What a statement should give, as the script wrote it.
struct Statement {
    std::string text;
    std::string kind;  // rows, groups or values
    std::string names;
    std::vector<std::string> rows;
};

// What `do` showed, in the script's form: a table's column names and its
// rows (a keyed table's bars dropped), or a vector's values one to a row.
struct Shown {
    std::string names;
    std::vector<std::string> rows;
};

Shown readShown(const std::vector<std::string>& lines, bool vector) {
    Shown s;
    if (vector) {
        for (std::string value : split(words(lines.empty() ? "" : lines[0]), " "))
            if (!value.empty()) s.rows.push_back(value[0] == '`' ? value.substr(1) : value);
        return s;
    }
    std::vector<std::string> plain;
    for (std::string line : lines) {
        std::replace(line.begin(), line.end(), '|', ' ');
        plain.push_back(words(line));
    }
    if (!plain.empty()) s.names = plain[0];
    // The second line is the rule under the names.
    for (std::size_t i = 2; i < plain.size(); ++i) s.rows.push_back(plain[i]);
    return s;
}

struct QueryOracleFixture : ::testing::Test {
    Interpreter in;
    TextTranscript transcript;
    Session session{in, transcript};
    fs::path dir;
    void SetUp() override {
        if (!testing::onPath("python3")) GTEST_SKIP() << "python3 is not installed";
        char name[] = "/tmp/wox-query-oracle-XXXXXX";
        dir = mkdtemp(name);
        std::string problem;
        ASSERT_TRUE(installStandardLibrary(dir.string() + "/", &problem)) << problem;
        session.setWorkspaceFolder(dir.string() + "/");
        session.start();
    }
    void TearDown() override {
        std::error_code ec;
        if (!dir.empty()) fs::remove_all(dir, ec);
    }
    // Types a line and returns the lines it wrote.
    std::vector<std::string> run(const std::string& line) {
        const std::size_t from = transcript.wholeText().size() + line.size();
        session.submit(line);
        const std::string text = transcript.wholeText();
        const std::string wrote = text.substr(from, text.size() - from - 8);  // the prompt after it
        std::vector<std::string> lines = split(wrote, "\r\n");
        if (!lines.empty() && lines.front().empty()) lines.erase(lines.begin());
        return lines;
    }
};

std::string quoted(const std::string& statement) {
    std::string line = "do '";
    for (char c : statement) line += c == '\'' ? std::string("''") : std::string(1, c);
    return line + "'";
}

TEST_F(QueryOracleFixture, RandomStatementsGiveSqliteRows) {
    const std::string command = "python3 '" WOX_SOURCE_DIR "/tests/session/query_oracle.py' " +
                                std::to_string(kSeed) + " " + std::to_string(kStatements);
    FILE* pipe = popen(command.c_str(), "r");
    ASSERT_NE(pipe, nullptr);
    std::string script;
    char buffer[4096];
    for (std::size_t n; (n = fread(buffer, 1, sizeof buffer, pipe)) > 0;) script.append(buffer, n);
    const int status = pclose(pipe);
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoSqlite) GTEST_SKIP() << "python3 has no sqlite3 module";
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << command;

    std::vector<Statement> statements;
    for (const std::string& line : split(script, "\n")) {
        const std::vector<std::string> f = split(line, "\t");
        if (f[0] == "L") {
            ASSERT_EQ(f.size(), 2u) << line;
            ASSERT_EQ(run(f[1]), std::vector<std::string>{}) << f[1];
        } else if (f[0] == "Q") {
            ASSERT_EQ(f.size(), 5u) << line;
            Statement s{f[1], f[2], f[3], {}};
            if (!f[4].empty()) s.rows = split(f[4], "|");
            statements.push_back(s);
        }
    }
    ASSERT_EQ(statements.size(), static_cast<std::size_t>(kStatements));

    int failures = 0;
    for (const Statement& s : statements) {
        std::vector<std::string> lines = run(quoted(s.text));
        const std::string word = s.text.substr(0, s.text.find(' '));
        const bool succeeded = !lines.empty() && lines.back() == word + " successful.";
        Shown shown;
        if (succeeded) {
            lines.pop_back();
            shown = readShown(lines, s.kind == "values");
        }
        std::vector<std::string> expected = s.rows;
        if (s.kind == "groups") {
            std::sort(expected.begin(), expected.end());
            std::sort(shown.rows.begin(), shown.rows.end());
        }
        const bool same = succeeded && shown.names == s.names && shown.rows == expected;
        if (!same && ++failures <= 10) {
            std::string got;
            for (const std::string& l : lines) got += l + "\n";
            ADD_FAILURE() << s.text << "\nexpected " << s.names << " / " << ::testing::PrintToString(s.rows)
                          << "\ngot\n" << got;
        }
    }
    EXPECT_EQ(failures, 0) << "of " << statements.size() << " statements";
    // Nothing failed, so nothing of the library's is left on the stacks.
    EXPECT_EQ(run(")si"), std::vector<std::string>{});
}

}  // namespace
}  // namespace wox::session
