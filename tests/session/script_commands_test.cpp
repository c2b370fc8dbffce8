// Script files on disk: what OUT writes, byte for byte, and what the reader
// makes of files that OUT never writes: hand-made blocks, definitions in
// braces, and broken files, which stop with their message and line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "frontend/name_table.h"
#include "session/function_requests.h"
#include "session/session.h"
#include "session/standard_library.h"
#include "values/keyed_value.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

struct ScriptFixture : ::testing::Test {
    Interpreter in;
    TextTranscript transcript;
    Session session{in, transcript};
    fs::path dir;
    std::size_t mark = 0;
    ScriptFixture() {
        char name[] = "/tmp/wox-script-test-XXXXXX";
        dir = mkdtemp(name);
        session.setWorkspaceFolder(dir.string() + "/");
        session.start();
    }
    ~ScriptFixture() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string file(const std::string& name) {
        std::ifstream f(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    void put(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    // Types a command and returns what it wrote.
    std::string command(const std::string& line, int* result = nullptr) {
        std::size_t from = transcript.wholeText().size() + 1 + line.size();
        session.submit(")" + line);
        if (result) *result = session.lastCommandResult();
        std::string text = transcript.wholeText();
        return text.substr(from, text.size() - from - 8);  // the prompt after it
    }
    bool endsWith(std::string_view output) {
        std::string text = transcript.wholeText();
        return text.substr(0, text.size() - 8).ends_with(output);
    }
    std::string source(std::string_view name) {
        std::string s;
        for (const std::string& l : functionSource(in, name)) s += l + "|";
        return s;
    }
    bool defined(std::string_view name) {
        session.submit(std::string("0=##") + std::string(name));  // any value shows 1 or 0
        return !session.lastLineFailed();
    }
};

TEST_F(ScriptFixture, OutWritesBlocksByteForByte) {
    session.submit("f<-_1.5 2.25");
    session.submit("t<-'a''b'");
    session.submit("b<-(2 2#1 0 1 1)=1");
    session.submit("c<-0.5j_2 1j0");
    session.submit("r<-2 1 3#!6");
    session.submit("s<-`x`");
    session.submit("{inc: x+1}");
    int result = 0;
    command("OUT all", &result);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(file("all.vsf"),
              "\n&f E 1 2\n_1.5 2.25 \n&\n"
              "\n&t C 1 3\n'a''b'\n&\n"
              "\n&b B 2 2 2\n1 0 1 1 \n&\n"
              "\n&c Q 1 2\n0.5j_2 1j0 \n&\n"
              "\n&r I 3 2 1 3\n1 2 3 4 5 6 \n&\n"
              "\n&s S 1 2\n`x ` \n&\n"
              "@.z<-inc x\nz<-x+1\n@.\n\n");
    // Only the names given, the file's own name among them.
    command("OUT t inc", &result);
    ASSERT_EQ(result, 0);
    EXPECT_EQ(file("t.vsf"), "\n&t C 1 3\n'a''b'\n&\n@.z<-inc x\nz<-x+1\n@.\n\n");
    session.submit(")clear");
    command("FLOAD all", &result);
    ASSERT_EQ(result, 0);
    session.submit("(s~`x`),(c~0.5j_2 1j0),(b~(2 2#1 0 1 1)=1),(inc 1),r~2 1 3#!6");
    EXPECT_TRUE(endsWith("\r\n1 1 1 2 1")) << transcript.wholeText();
}

// Neither a symbol that is no name nor a line end in a text can stand in a
// statement: OUT stops with the reason and writes no file rather than one
// that loses them. The language makes neither, so they are put in place.
TEST_F(ScriptFixture, ATableNoStatementCanCarryIsRefused) {
    session.submit("t<-([]s:`x`y;c:2 2#'abcd')");
    const ValueDescriptor& t = in.ws.vars[static_cast<std::size_t>(
        in.front.globals[static_cast<std::size_t>(frontend::findGlobal(in.front, "t"))].slot)];
    const ValueDescriptor* cols = tableColumns(in.ws, t);
    std::int32_t odd = 0;
    ASSERT_FALSE(in.symbols.intern("a b", &odd).failed());
    std::int32_t* symbols = const_cast<std::int32_t*>(in.ws.elems<std::int32_t>(cols[0]));
    const std::int32_t kept = symbols[1];
    symbols[1] = odd;
    int result = 0;
    std::string out = command("OUT odd", &result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(out.starts_with("\r\nunexpected error while saving\r\nt: the symbol `a b")) << out;
    EXPECT_FALSE(fs::exists(dir / "odd.vsf"));

    symbols[1] = kept;
    const_cast<char*>(in.ws.elems<char>(cols[1]))[2] = '\n';
    out = command("OUT odd", &result);
    EXPECT_EQ(result, 1);
    EXPECT_NE(out.find("line end"), std::string::npos) << out;
    EXPECT_FALSE(fs::exists(dir / "odd.vsf"));
}

TEST_F(ScriptFixture, AFailedWriteKeepsTheOldFile) {
    put("kept.vsf", "old");
    chmod((dir / "kept.vsf").c_str(), 0444);
    session.submit("v<-1");
    int result = 0;
    std::string out = command("OUT kept", &result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(out.starts_with("\r\nunexpected error while saving\r\n")) << out;
    EXPECT_EQ(file("kept.vsf"), "old");
}

TEST_F(ScriptFixture, BadBlocksStopWithTheirMessageAndLine) {
    struct Case {
        const char* script;
        const char* report;
    };
    const Case cases[] = {
        {"&v I 1 3\n1 2\n&\n", "get variable error\r\n[*ln1] [&v I 1 3]"},
        {"&v X 0\n1\n&\n", "get variable error\r\n[*ln1] [&v X 0]"},
        {"&v I 0\n1 \n", "get variable error\r\n[*ln1] [&v I 0]"},
        {"&v B 1 2\n1 2\n&\n", "get variable error\r\n[*ln1] [&v B 1 2]"},
        {"&v C 1 3\n'ab\n&\n", "get variable error\r\n[*ln1] [&v C 1 3]"},
        {"&v E 1 1\n1.5.2\n&\n", "get variable error\r\n[*ln1] [&v E 1 1]"},
        {"&v E 1 1\n1e\n&\n", "get variable error\r\n[*ln1] [&v E 1 1]"},
        {"&v I 1 1\n2147483648\n&\n", "get variable error\r\n[*ln1] [&v I 1 1]"},
        {"&v L 1 2000000000\n&\n", "get variable error\r\n[*ln1] [&v L 1 2000000000]"},
        {"&v D 1 2\n2000.01.02 12:00\n&\n", "get variable error\r\n[*ln1] [&v D 1 2]"},
        // A complex value written with no data line, as older files have it.
        {"&q Q 0\n&\n", "get variable error\r\n[*ln1] [&q Q 0]"},
        {"&v L 1 2\n<I 0\n1\n&\n", "get variable error\r\n[*ln1] [&v L 1 2]"},
        {"&v L 1 1\nI 0\n1\n&\n", "get variable error\r\n[*ln1] [&v L 1 1]"},
        {"{ok: 1}\n&ok I 0\n1\n&\n", "get variable error\r\n[*ln2] [&ok I 0]"},  // ok is a function
        {"@.z<-f x\nz<-x\n", "get function error\r\n[*ln1] [@.z<-f x]"},
        {"@.z<-1f x\n@.\n", "get function error\r\n[*ln1] [@.z<-1f x]"},
        {"{f: x+1\n x\n", "get function error\r\n[*ln1] [{f: x+1]"},
        {"{f x+1}\n", "get function error\r\n[*ln1] [{f x+1}]"},
        {"{f: (x+1}\n", "get function error\r\n[*ln1] [{f: (x+1}]"},
        {"{f: x+1} 2\n", "get function error\r\n[*ln1] [{f: x+1} 2]"},
    };
    // The blocks are read before anything else: a script with a bad one is
    // refused before any of its lines runs, and FLOAD leaves the workspace
    // and its name as they were.
    session.submit("kept<-5");
    command("WSID mine");
    for (const Case& c : cases) {
        put("bad.vsf", std::string("before<-1\n") + c.script + "after<-1\n");
        for (const char* read : {"FLOAD bad", "FCOPY bad"}) {
            int result = 0;
            std::string out = command(read, &result);
            EXPECT_EQ(result, 1) << read << c.script;
            EXPECT_EQ(out, "\r\n" + std::string(c.report)) << read << c.script;
            EXPECT_TRUE(defined("kept")) << read << c.script;
            EXPECT_FALSE(defined("before")) << read << c.script;
            EXPECT_FALSE(defined("after")) << read << c.script;
            EXPECT_FALSE(defined("v")) << read << c.script;
            EXPECT_FALSE(defined("ok")) << read << c.script;
        }
    }
    EXPECT_EQ(session.workspaceName(), "mine");

    // A block that fails only because of what the script ran stops it
    // there, after the lines before it ran; the report names the line.
    put("lib.vsf", "{ok: 1}\n");
    put("late.vsf", "before<-1\n)fcopy lib\n&ok I 0\n1\n&\nafter<-1\n");
    int result = 0;
    std::string out = command("FLOAD late", &result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(out.starts_with("\r\n      before<-1\r\n      )fcopy lib\r\nsaved ")) << out;
    EXPECT_TRUE(out.ends_with("\r\nget variable error\r\n[*ln2] [&ok I 0]")) << out;
    EXPECT_TRUE(defined("before"));
    EXPECT_FALSE(defined("after"));

    // Nor does the check refuse what a command in the script makes sound:
    // after a CLEAR a function's name may name a variable.
    put("reuse.vsf", "{ok: 1}\n)clear\n&ok I 0\n7\n&\n");
    command("FLOAD reuse", &result);
    EXPECT_EQ(result, 0) << transcript.wholeText();
    session.submit("ok+1");
    EXPECT_TRUE(endsWith("\r\n8")) << transcript.wholeText();
}

// OUT writes only what a script reads back: a value nested deeper than a
// script holds is refused with its name before any file is touched, and a
// script holding one, as earlier programs wrote them, is refused before
// FLOAD resets the workspace.
TEST_F(ScriptFixture, NestingDeeperThanAScriptHoldsIsRefusedOnBothSides) {
    std::string encloses;
    for (int k = 0; k < 64; ++k) encloses += "<.";
    session.submit("deep<-" + encloses + "1 2");
    int result = 0;
    command("OUT deep", &result);
    ASSERT_EQ(result, 0);
    const std::string written = file("deep.vsf");
    session.submit("deeper<-<.deep");
    std::string out = command("OUT deep", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out,
              "\r\nunexpected error while saving\r\n"
              "deeper: it is nested more than 64 levels deep, deeper than a script reads back");
    EXPECT_EQ(file("deep.vsf"), written);

    std::string old = "&d L 0\n";
    for (int depth = 1; depth <= 65; ++depth) old += std::string(static_cast<std::size_t>(depth), '<') + (depth < 65 ? "L 0\n" : "I 0\n1\n");
    put("old.vsf", old + "&\n");
    out = command("FLOAD old", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out, "\r\nget variable error\r\n[*ln0] [&d L 0]");
    EXPECT_TRUE(defined("deeper"));

    command("FLOAD deep", &result);
    ASSERT_EQ(result, 0);
    session.submit("deep~" + encloses + "1 2");
    EXPECT_TRUE(endsWith("\r\n1")) << transcript.wholeText();
}

TEST_F(ScriptFixture, HandMadeBlocksReadAsWritten) {
    // Exponent signs "-", "_" and "+"; data continued over lines; a block
    // name after blanks; values replace what the names held.
    put("hand.vsf",
        "v<-'old'\n"
        "&  v E 1 3\n1e-3 1E_3 \\\n 2.5e+2\n&\n"
        "&t C 1 4\n'ab'\\\n'c'''\n&\n"
        "&e S 1 0\n\n&\n"
        "&n L 0\n<I 1 2\n_1 2\n&\n");
    int result = 0;
    command("FLOAD hand", &result);
    ASSERT_EQ(result, 0) << transcript.wholeText();
    session.submit("(v~0.001 0.001 250),(t~'abc'''),(0=^e),(n~<._1 2),#n");
    EXPECT_TRUE(endsWith("\r\n1 1 1 1")) << transcript.wholeText();
}

TEST_F(ScriptFixture, StatementsAndCommandsInAScript) {
    // A failing statement is reported and the script goes on; comments go,
    // but not inside quotes; any line end will do.
    put("run.vsf", "x<-1+'a'\r\ns<-'a//b' // note\r\n// only a comment\rn<-3\n");
    int result = 0;
    std::string out = command("FCOPY run", &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(out.starts_with("\r\n      x<-1+'a'\r\ndomain error\r\n      x<-1+'a'\r\n")) << out;
    EXPECT_NE(out.find("\r\n      s<-'a//b'\r\n      n<-3\r\nsaved "), std::string::npos) << out;
    session.submit("s");
    EXPECT_TRUE(endsWith("\r\na//b"));

    // A failing system command stops the script.
    put("cmd.vsf", ")nonsense\nlater<-1\n");
    out = command("FCOPY cmd", &result);
    EXPECT_EQ(result, 1);
    EXPECT_EQ(out, "\r\n      )nonsense\r\nincorrect command\r\n[*ln0] [)nonsense]");
    EXPECT_FALSE(defined("later"));

    // A script that reads itself ends.
    put("self.vsf", ")fcopy self\n");
    out = command("FCOPY self", &result);
    EXPECT_EQ(result, 1);
    EXPECT_NE(out.find("\r\nscripts nested too deeply"), std::string::npos) << out;
}

TEST_F(ScriptFixture, DefinitionsInBracesGetTheirHeaderFromTheNamesTheyUse) {
    put("defs.vsf",
        "{one: x*2}\n"
        "{two: k<-x+y\n k*2}\n"
        "{ly: y+1}\n"
        "{nil: 42}\n"
        "{zz: z<-x\n z<-z+1\n}\n"
        "{io: []IO<-0; !x}\n"
        "{sg: if (x<0) {\n z<-_1\n } else {z<-1}\n}\n"
        "{uses: one x}\n");
    int result = 0;
    command("FLOAD defs", &result);
    ASSERT_EQ(result, 0) << transcript.wholeText();
    EXPECT_EQ(source("one"), "z<-one x|z<-x*2|");
    EXPECT_EQ(source("two"), "z<-y two x;k|k<-x+y|z<-k*2|");
    EXPECT_EQ(source("ly"), "z<-ly y|z<-y+1|");
    EXPECT_EQ(source("nil"), "z<-nil|z<-42|");
    EXPECT_EQ(source("zz"), "z<-zz x|z<-x|z<-z+1|");
    EXPECT_EQ(source("io"), "z<-io x;[]IO|[]IO<-0|z<-!x|");
    EXPECT_EQ(source("uses"), "z<-uses x|z<-one x|");
    session.submit("(sg _3),(3 two 4),io 3");
    EXPECT_TRUE(endsWith("\r\n_1 14 0 1 2")) << transcript.wholeText();
}

TEST_F(ScriptFixture, LineTimingIsLoweredOnlyByAReadThatSucceeds) {
    put("bad.vsf", "&v I 0\n&\n");
    put("good.vsf", "v<-1\n");
    int result = 0;
    command("P bad", &result);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(in.errors.lineTiming);
    command("FLOAD good", &result);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(in.errors.lineTiming);
    command("P good", &result);
    EXPECT_EQ(result, 0);
    EXPECT_FALSE(in.errors.lineTiming);
}

TEST_F(ScriptFixture, TheStandardLibraryIsWrittenOnlyWhereItIsMissing) {
    std::string problem;
    ASSERT_TRUE(installStandardLibrary(dir.string() + "/", &problem)) << problem;
    EXPECT_EQ(file("standard.vsf"), std::string(standardLibraryText()));
    put("standard.vsf", "{mine: 1}\n");
    ASSERT_TRUE(installStandardLibrary(dir.string() + "/", &problem)) << problem;
    EXPECT_EQ(file("standard.vsf"), "{mine: 1}\n");
    EXPECT_FALSE(installStandardLibrary(dir.string() + "/missing/", &problem));
    EXPECT_FALSE(problem.empty());
}

}  // namespace
}  // namespace wox::session
