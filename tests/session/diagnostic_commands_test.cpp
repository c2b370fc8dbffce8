// The diagnostic commands on disk and in message boxes: the exact bytes
// []FM, OPEN, ST and MF write, what IF translates, what S, ASK and PT show
// in their boxes, and that a missing folder or file never writes elsewhere.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "session/session.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

struct DiagnosticFixture : ::testing::Test {
    Interpreter in;
    TextTranscript transcript;
    Session session{in, transcript};
    fs::path dir;
    std::vector<std::string> boxes;
    fs::path before = fs::current_path();
    DiagnosticFixture() {
        char name[] = "/tmp/wox-diag-test-XXXXXX";
        dir = mkdtemp(name);
        session.setWorkspaceFolder(dir.string() + "/");
        // Relative paths of []FM are taken from the working folder.
        fs::current_path(dir);
        session.setMessageBox([this](std::string_view text) { boxes.emplace_back(text); });
        session.start();
    }
    ~DiagnosticFixture() override {
        std::error_code ec;
        fs::current_path(before, ec);
        fs::remove_all(dir, ec);
    }
    std::string file(const fs::path& name) {
        std::ifstream f(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
    void put(const fs::path& name, const std::string& text) {
        fs::create_directories((dir / name).parent_path());
        std::ofstream(dir / name, std::ios::binary) << text;
    }
    // Types a line and returns what it wrote, "\r\n" shown as "\n".
    std::string type(const std::string& line) {
        std::size_t from = transcript.wholeText().size() + line.size();
        session.submit(line);
        std::string text = transcript.wholeText();
        std::string out = text.substr(from, text.size() - from - 8);  // the prompt after it
        std::string shown;
        for (char c : out)
            if (c != '\r') shown += c;
        return shown;
    }
};

TEST_F(DiagnosticFixture, FormattedFileHoldsRowsAndPlanesWithoutAFinalLineEnd) {
    EXPECT_EQ(type("'./m.txt' []FM 2 2#1 10 100 5"), "\n0");
    EXPECT_EQ(file("m.txt"), "  1 10\n100  5");
    EXPECT_EQ(type("'./m.txt' []FM 2 2 2#!8"), "\n0");
    EXPECT_EQ(file("m.txt"), "1 2\n3 4\n\n5 6\n7 8") << "an old longer file is replaced whole";
    EXPECT_EQ(type("'./c.txt' []FM 2 2 1 3#'abcdefghijkl'"), "\n0");
    EXPECT_EQ(file("c.txt"), "abc\n\ndef\n\nghi\n\njkl");
    EXPECT_EQ(type("'./s.txt' []FM 'x'"), "\n0");
    EXPECT_EQ(file("s.txt"), "x");
    EXPECT_EQ(type("'./v.txt' []FM 1.5 _2"), "\n0");
    EXPECT_EQ(file("v.txt"), "1.5 _2");
    EXPECT_EQ(type("'./e.txt' []FM !0"), "\n0");
    EXPECT_TRUE(fs::exists(dir / "e.txt"));
    EXPECT_EQ(file("e.txt"), "");
    // A backslash separates folders too; a path from the root is taken as it is.
    EXPECT_EQ(type("'.\\b.txt' []FM 7"), "\n0");
    EXPECT_EQ(file("b.txt"), "7");
    EXPECT_EQ(type("'" + (dir / "abs.txt").string() + "' []FM 8"), "\n0");
    EXPECT_EQ(file("abs.txt"), "8");
}

TEST_F(DiagnosticFixture, FormattedFileTakesARelativePathFromTheWorkingFolder) {
    fs::create_directories(dir / "elsewhere");
    fs::current_path(dir / "elsewhere");
    EXPECT_EQ(type("'./w.txt' []FM 5"), "\n0");
    EXPECT_EQ(file("elsewhere/w.txt"), "5");
    EXPECT_FALSE(fs::exists(dir / "w.txt")) << "not the workspace folder";
    EXPECT_EQ(type("'../up.txt' []FM 6"), "\n0");
    EXPECT_EQ(file("up.txt"), "6");
}

TEST_F(DiagnosticFixture, FormattedFileThatCannotBeWrittenKeepsTheOldFile) {
    put("ro.txt", "old");
    chmod((dir / "ro.txt").c_str(), 0444);
    EXPECT_EQ(type("'./ro.txt' []FM 1 2 3"), "\n1") << "nothing was written";
    EXPECT_EQ(file("ro.txt"), "old");
    fs::create_directories(dir / "sub");
    EXPECT_EQ(type("'./sub' []FM 1"), "\n1") << "a folder is no file to replace";
    EXPECT_EQ(type("'/proc/version' []FM 2 2#'ab'"), "\n1");
    EXPECT_TRUE(fs::is_directory(dir / "sub"));
    EXPECT_EQ(type("'./nosuch/x.txt' []FM 1"), "\n1");
    EXPECT_EQ(type("'x.txt' []FM 1"), "\n1");
    EXPECT_EQ(type("'./g.txt' []FM (1;2)"), "\ndomain error\n      './g.txt' []FM (1;2)\n                ^");
    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir)) left.push_back(e.path().filename().string());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (std::vector<std::string>{"ro.txt", "sub"})) << "no file, no temporary file is left";
}

TEST_F(DiagnosticFixture, TranscriptsAreSavedAsBatchModeShowsThem) {
    type("1+2");
    EXPECT_EQ(type(")st first"), "\nsave failed") << "the transcript folder is missing";
    EXPECT_EQ(session.lastCommandResult(), 1);
    EXPECT_EQ(type(")open"), "");
    EXPECT_EQ(session.lastCommandResult(), 1);
    fs::create_directories(dir / "diag/loadf");
    EXPECT_EQ(type(")st first"), "");
    const std::string banner = "WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n";
    const std::string before = banner + "      1+2\n3\n      )st first\nsave failed\n      )open\n      )st first";
    EXPECT_EQ(file("diag/loadf/first.log"), before);
    EXPECT_EQ(type(")OPEN"), "");
    EXPECT_EQ(file("diag/loadf/open.txt"), before + "\n      )OPEN");
    EXPECT_EQ(type(")st ../away"), "\nsave failed");
    EXPECT_EQ(type(")st"), "\nsave failed");
    EXPECT_FALSE(fs::exists(dir / "diag/away.log"));
}

TEST_F(DiagnosticFixture, MergeTakesTheMarkedLinesAndTheResultListing) {
    EXPECT_EQ(type(")mf"), "\nsave failed") << "no result folder";
    put("diag/cando/dolist.txt", "1: t1.vsf\r\n2: gone.vsf\nno colon\n3:  t2.vsf  \n");
    put("diag/cando/t1.vsf", "a<-1\n//& sums\n1+1\n2+2\n3+3\n");
    put("diag/cando/t2.vsf", "no mark here\n");
    put("diag/cando_list/t1.txt", "2\n4\n");
    put("diag/cando_list/result_res.txt", "old");
    EXPECT_EQ(type(")mf"), "\nmixfile is finished");
    EXPECT_EQ(file("diag/cando_list/result_res.txt"), "//& sums\n1+1\n2+2\n2\n4\n\n\n");
}

TEST_F(DiagnosticFixture, TranslationShowsTheRewrittenScript) {
    EXPECT_EQ(type(")if anything"), "");
    EXPECT_EQ(boxes, (std::vector<std::string>{"dsd"}));
    put("diag/loadf/testbox/det.vsf", "// counts\nwhile (i<3) {i<-i+1}\nz<-i\n");
    EXPECT_EQ(type(")if"), "\nL1:->(~i<3)/L2\ni<-i+1\n->L1\nL2:\nz<-i\n");
    put("diag/loadf/testbox/det.vsf", "else z<-1\n");
    EXPECT_EQ(type(")IF"), "\nstruct error");
}

TEST_F(DiagnosticFixture, StackEntryAndNameReports) {
    type("{f: a<-2 3#!6; b<-'q'; c<-x; 1+'a'}");
    type("f 2.5");
    boxes.clear();
    // The suspended call binds x, z, a, b, c after its boundary mark.
    EXPECT_EQ(type(")s a"), "\na\nrank = 2, lgth = 6");
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].substr(0, 6), "val = ");
    const std::string index = boxes[0].substr(6);
    EXPECT_EQ(type(")s " + index), "\na\nrank = 2, lgth = 6");
    EXPECT_EQ(type(")s 9999"), "");
    EXPECT_EQ(session.lastCommandResult(), 1);
    EXPECT_EQ(type(")s nothing"), "");
    EXPECT_EQ(type(")s"), "");
    boxes.clear();
    EXPECT_EQ(type(")ask a"), "");
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find(", type=1, dim=2 , lgth=6\r\ndim0=2, dim1=3\r\n\r\n 1 2 3\r\n 4 5 6"), std::string::npos)
        << boxes[0];
    EXPECT_EQ(type(")ask b"), "");
    EXPECT_TRUE(boxes.back().ends_with(", type=3, dim=0 , lgth=1\r\n q")) << boxes.back();
    EXPECT_EQ(type(")ask c"), "");
    EXPECT_TRUE(boxes.back().ends_with(", type=2, dim=0 , lgth=1\r\n 2.500000000000000")) << boxes.back();
    EXPECT_EQ(boxes.size(), 3u);
    // Names that are not the call's own are looked up among the globals,
    // the newest entry included.
    EXPECT_EQ(type(")ask f"), "\nf, gname=13, val=F, tag=100");
    EXPECT_EQ(type(")ask []IO"), "\n[]IO, gname=0, val=V, tag=1");
    EXPECT_EQ(type(")ask nothing"), "");
    EXPECT_EQ(boxes.size(), 3u);
}

TEST_F(DiagnosticFixture, ComplexSelfTestShowsTheCleanedImaginaryPartOfEToIPi) {
    EXPECT_EQ(type(")pt"), "");
    ASSERT_EQ(boxes.size(), 1u);
    // sin(pi) in doubles is about 1.2e-16, which the library's clean-up
    // makes 0.
    EXPECT_EQ(boxes[0], "0.00000000000000000");
}

}  // namespace
}  // namespace wox::session
