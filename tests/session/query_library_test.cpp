// How the query library is loaded by the first `do`: quietly, from inside the
// running line, only once it has run without error, and never at the cost of
// the line that asked for it. The libraries here are small ones of the tests'
// own, so the mechanism is tested apart from the statements.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>

#include "engine/do_statement.h"
#include "frontend/builtin_names.h"
#include "frontend/function_header.h"
#include "frontend/function_store.h"
#include "frontend/name_table.h"
#include "session/query_library.h"
#include "session/session.h"
#include "session/standard_library.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

// What the interpreter needs of a query library: it copies the standard
// library in, sets the origin and defines do, which answers SELECT and
// branches to a message otherwise; select fails inside the library.
constexpr std::string_view kLibrary =
    ")fcopy standard\n"
    "[]IO<-0\n"
    "@.z<-do s;[]IO\n"
    "[]IO<-0\n"
    "->('SELECT'~6^.s)/L1\n"
    "->'no proper sql function specified.'\n"
    "L1:z<-'SELECT successful.'\n"
    "@.\n"
    "@.z<-t select x\n"
    "z<-x[0 1 2]\n"
    "@.\n";

const std::string kLibraryMissingReport =
    "\r\nlibrary missing (please check library files: standardn.vsf and newfns.vsf)";

struct QueryFixture : ::testing::Test {
    Interpreter in;
    TextTranscript transcript;
    Session session{in, transcript};
    fs::path dir;
    QueryFixture() {
        char name[] = "/tmp/wox-query-test-XXXXXX";
        dir = mkdtemp(name);
        std::string problem;
        EXPECT_TRUE(installStandardLibrary(dir.string() + "/", &problem)) << problem;
        session.setWorkspaceFolder(dir.string() + "/");
        session.setQueryLibraryText(std::string(kLibrary));
        session.start();
    }
    ~QueryFixture() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    // Types a line and returns what it wrote.
    std::string run(const std::string& line) {
        std::size_t from = transcript.wholeText().size() + line.size();
        session.submit(line);
        std::string text = transcript.wholeText();
        return text.substr(from, text.size() - from - 8);  // the prompt after it
    }
    bool hasGlobal(std::string_view name) { return frontend::findGlobal(in.front, name) >= 0; }
};

TEST_F(QueryFixture, AMissingStandardLibraryIs205UntilItIsThere) {
    fs::remove(dir / "standard.vsf");
    const std::string report = kLibraryMissingReport + "\r\n      do 'SELECT'\r\n      ^";
    EXPECT_EQ(run("do 'SELECT'"), report);
    EXPECT_FALSE(in.queryLibraryLoaded);
    EXPECT_EQ(run("do 'SELECT'"), report);
    std::string problem;
    ASSERT_TRUE(installStandardLibrary(dir.string() + "/", &problem)) << problem;
    EXPECT_EQ(run("do 'SELECT'"), "\r\nSELECT successful.");
    EXPECT_TRUE(in.queryLibraryLoaded);
}

// Settled: the library counts as loaded only once its script ran without
// error. What a failed load defined goes again, so its do cannot hide the
// keyword and the next do tries again; nothing of the failure is shown but
// the line's own report.
TEST_F(QueryFixture, AFailedLoadLeavesNoNamesAndIsTriedAgain) {
    session.setQueryLibraryText(")fcopy standard\n@.z<-do s\nz<-'mine'\n@.\nv<-1\n1+'a'\nw<-2\n");
    run("u<-5");
    run("{split: x}");
    const std::string report = kLibraryMissingReport + "\r\n      do 'x'\r\n      ^";
    EXPECT_EQ(run("do 'x'"), report);
    EXPECT_EQ(frontend::findFunction(in.front, "do"), frontend::kDoFunction);
    EXPECT_FALSE(hasGlobal("v") || hasGlobal("w") || hasGlobal("trim"));
    EXPECT_TRUE(hasGlobal("u") && hasGlobal("split"));
    EXPECT_EQ(run("do 'x'"), report);
    EXPECT_EQ(run("u"), "\r\n5");

    session.setQueryLibraryText(std::string(kLibrary));
    EXPECT_EQ(run("do 'x'"), "\r\nno proper sql function specified.");
    EXPECT_TRUE(hasGlobal("trim"));
}

// A library that asks for itself while it loads, or runs a command that
// would change the workspace under the running line, does not load.
TEST_F(QueryFixture, ALibraryThatReloadsOrClearsDoesNotLoad) {
    run("u<-5");
    for (const char* library : {"x<-do 'again'\n", ")clear\n", ")fload standard\n", ")sic\n"}) {
        session.setQueryLibraryText(library);
        EXPECT_EQ(run("do 'x'"), kLibraryMissingReport + "\r\n      do 'x'\r\n      ^") << library;
        EXPECT_EQ(run("u"), "\r\n5") << library;
    }
}

// The library must not replace the text of a function whose call is in
// progress: the load fails instead, and succeeds once the call is left.
TEST_F(QueryFixture, ARunningFunctionIsNeverRedefined) {
    run("{select: do x}");
    EXPECT_EQ(run("select 'SELECT'"), kLibraryMissingReport + "\r\nselect[1]  z<-do x\r\n              ^");
    run(")sic");
    EXPECT_EQ(run("do 'SELECT'"), "\r\nSELECT successful.");
    EXPECT_EQ(run("{select}"), "\r\n`select is a reserved function.");
}

// A script the library copies in is read as the library is: its first
// failing statement stops the load, which leaves none of its names.
TEST_F(QueryFixture, AScriptTheLibraryCopiesIsReadAsTheLibraryIs) {
    std::ofstream(dir / "part.vsf") << "v<-1\n1+'a'\nw<-2\n";
    session.setQueryLibraryText(")fcopy part\n" + std::string(kLibrary));
    EXPECT_EQ(run("do 'SELECT'"), kLibraryMissingReport + "\r\n      do 'SELECT'\r\n      ^");
    EXPECT_FALSE(hasGlobal("v") || hasGlobal("w"));
    std::ofstream(dir / "part.vsf") << "v<-1\nw<-2\n";
    EXPECT_EQ(run("do 'SELECT'"), "\r\nSELECT successful.");
    EXPECT_TRUE(hasGlobal("v") && hasGlobal("w"));
}

// The first do can come in the middle of a line: the library's statements
// and the values of its variable blocks are built above the line's
// temporaries, so the values the line made before stay intact.
TEST_F(QueryFixture, TheLoadKeepsClearOfTheRunningLine) {
    std::string library(kLibrary);
    library += "&v I 1 3\n1 2 3 \n&\n&n L 1 2\n<I 1 2\n1 2 \n<C 1 2\n'ab'\n&\nw<-10 20,30\n1 2 3\n";
    session.setQueryLibraryText(library);
    EXPECT_EQ(run("(^n),v,w,(#do 'SELECT'),10+!3"), "\r\n2 1 2 3 10 20 30 18 11 12 13");
    run(")clear");
    run("{f: y,(#do x),10+!3}");
    EXPECT_EQ(run("7 f 'SELECT'"), "\r\n7 18 11 12 13");
}

// A workspace saved with the library keeps it loaded: its functions stay
// reserved after the workspace is loaded again, as they were when saved.
TEST_F(QueryFixture, ASavedLibraryIsReservedWhenLoadedAgain) {
    std::string library(kLibrary);
    for (std::string_view name : frontend::kReservedFunctionNames)
        if (name != "do" && name != "select") library += "@.z<-" + std::string(name) + " x\nz<-x\n@.\n";
    session.setQueryLibraryText(library);
    run("{mine: x}");
    EXPECT_EQ(run("do 'SELECT'"), "\r\nSELECT successful.");
    run(")save lib");
    run(")clear");
    EXPECT_EQ(run("{split: x}"), "\r\n--------split--------\r\n[0]   z<-split x\r\n[1]   z<-x\r\n--------------------");
    run(")load lib");
    EXPECT_TRUE(in.queryLibraryLoaded);
    EXPECT_EQ(run("{split}"), "\r\n`split is a reserved function.");
    EXPECT_EQ(run(")fns"), "\r\nalphabet  alphanum  index  last  lower  mine  replacac  sym\r\ntrim      triml     trimr");
    EXPECT_EQ(run("do 'x'"), "\r\nno proper sql function specified.");
}

// A failed statement leaves the library's calls at once, whatever called
// do: they would pile up, one statement's worth at a time, until every
// line was "stack full". A user's function that called do stays suspended,
// and a library function the user called is a call like any other.
TEST_F(QueryFixture, AFailedStatementLeavesNoLibraryCallSuspended) {
    session.setQueryLibraryText(
        ")fcopy standard\n@.z<-do s;[]IO\n[]IO<-0\n->('SELECT'~6^.s)/L1\n->'no proper sql function specified.'\n"
        "L1:z<-s select 1\n@.\n@.z<-t select x\nz<-x[0 1 2]\n@.\n");
    for (int i = 0; i < 300; ++i) {
        ASSERT_EQ(run(i % 2 ? "do 'SELECT'" : "do 'x'"),
                  i % 2 ? "\r\nerror in `do statement" : "\r\nno proper sql function specified.")
            << i;
        ASSERT_TRUE(in.frames.empty()) << i;
        ASSERT_EQ(in.errors.depth, -1) << i;
    }
    EXPECT_EQ(in.scope.top, -1);
    EXPECT_EQ(in.ws.lowestLocalSlot, kLocalRegionEnd);
    run("{g: 1+do x}");
    EXPECT_EQ(run("g 'SELECT'"), "\r\nerror in `do statement");
    ASSERT_EQ(in.frames.size(), 1u);
    EXPECT_EQ(in.errors.depth, 1);
    EXPECT_EQ(run(")si"), "\r\ng[1] z<-1+do x\r\n*");
    run("->");
    EXPECT_EQ(in.errors.depth, -1);
    EXPECT_EQ(run("'ab' select 0"), "\r\nerror in `do statement");
    EXPECT_EQ(in.frames.size(), 1u);
    run("->");
    EXPECT_TRUE(in.frames.empty());
}

// No statement text, however malformed, breaks the interpreter: pieces of
// statements, quotes, comments, line ends and bytes of every value, long
// and short, go through do; each line ends in a result or a report, and
// the session goes on as before.
TEST_F(QueryFixture, MalformedStatementsNeverBreakTheSession) {
    const std::string_view pieces[] = {
        "SELECT", "CREATE", "TABLE ", "FROM", " WHERE ", "BY", "<-", "->", "(", ")", "[", "]", "'", "''", "//",
        "{", "}", "@.", "[]IO", "`", ";", ":", ",", "=", " ", "\n", "\r", "SELECT a,b FROM t WHERE c>2", "!.",
    };
    std::mt19937 random(20261208);
    auto pick = [&](std::size_t n) { return static_cast<std::size_t>(random() % n); };
    for (int round = 0; round < 1500; ++round) {
        std::string statement;
        const std::size_t parts = pick(12);
        for (std::size_t p = 0; p < parts; ++p) {
            if (pick(4) == 0) statement += static_cast<char>(pick(256));
            else statement += pieces[pick(std::size(pieces))];
        }
        if (round % 250 == 0) statement.append(5000 + pick(5000), "'(SELECT"[pick(8)]);
        // The statement goes in as a value, so it may hold any byte.
        run("s<-" + std::to_string(statement.size()) + "#' '");
        if (!statement.empty()) {
            ValueDescriptor& d = in.ws.vars[static_cast<std::size_t>(
                in.front.globals[static_cast<std::size_t>(frontend::findGlobal(in.front, "s"))].slot)];
            std::copy(statement.begin(), statement.end(), in.ws.elems<char>(d));
        }
        const std::string out = run(round % 3 == 0 ? "1+#do s" : "do s");
        ASSERT_FALSE(out.empty()) << round;
        run(")sic");
        ASSERT_EQ(in.errors.depth, -1) << round;
        ASSERT_TRUE(in.frames.empty()) << round;
    }
    EXPECT_TRUE(in.queryLibraryLoaded);
    EXPECT_EQ(run("do 'SELECT'"), "\r\nSELECT successful.");
    EXPECT_EQ(run("2+3"), "\r\n5");
    EXPECT_EQ(run(")fns d"), "");
}

// The reserved names are exactly the functions the carried library
// defines, so none of its functions shows in listings and every one of
// them must be present for a saved workspace to hold the library.
TEST(QueryLibraryNames, TheReservedNamesAreTheFunctionsOfTheLibrary) {
    std::set<std::string> defined;
    std::istringstream script{std::string(queryLibraryText())};
    for (std::string line; std::getline(script, line);) {
        if (!line.starts_with("@.") || line.size() == 2) continue;
        frontend::FunctionHeader header;
        ASSERT_TRUE(frontend::parseHeader(std::string_view(line).substr(2), header).ok()) << line;
        EXPECT_TRUE(defined.insert(header.name).second) << header.name << " is defined twice";
    }
    const std::set<std::string> reserved(frontend::kReservedFunctionNames.begin(),
                                         frontend::kReservedFunctionNames.end());
    EXPECT_EQ(reserved, defined);
}

}  // namespace
}  // namespace wox::session
