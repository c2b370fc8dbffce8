// Every command and system function that writes a file fails as usual when
// its file lies outside the fence, and leaves nothing there; with the fence
// lifted the same lines write their files.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "session/session.h"
#include "values/file_confinement.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

struct ConfinedSession : ::testing::Test {
    fs::path top;
    fs::path outside;
    ConfinedSession() {
        char name[] = "/tmp/wox-confined-test-XXXXXX";
        top = mkdtemp(name);
        outside = top / "ws";
        fs::create_directories(top / "fenced");
        fs::create_directories(outside / "diag" / "loadf");
    }
    ~ConfinedSession() override {
        (void)values::confineFileEffects("");
        std::error_code ec;
        fs::remove_all(top, ec);
    }
    int filesOutside() const {
        int n = 0;
        for (const auto& e : fs::recursive_directory_iterator(outside)) n += e.is_regular_file();
        return n;
    }
    // The writing lines, run in a fresh session whose workspace folder is
    // `outside`; gives the transcript.
    std::string writeEverything() {
        Interpreter in;
        TextTranscript transcript;
        Session session{in, transcript};
        session.setWorkspaceFolder(outside.string() + "/");
        session.start();
        for (const std::string& line : std::vector<std::string>
             {"m<-2 2#'abcd'", ")WSID keep", ")SAVE", ")SAVE '" + outside.string() + "/other.wox'", ")OUT keep m",
              ")CPP rows m", ")OPEN", ")ST named", "'" + outside.string() + "/m.txt' []FM m", "[]OF<-'book'",
              "0 []OP 'xls'", "'Data' []XW 2 2#1 2 3 4", "1 []OP 'xls'"})
            session.submit(line);
        return transcript.wholeText();
    }
};

TEST_F(ConfinedSession, WritesOutsideTheFenceAreRefusedAndLeaveNothing) {
    ASSERT_TRUE(values::confineFileEffects((top / "fenced").string()));
    std::string text = writeEverything();
    EXPECT_EQ(filesOutside(), 0) << text;
    EXPECT_NE(text.find("cannot write into " + outside.string()), std::string::npos) << text;
    EXPECT_NE(text.find("\r\ncheck path"), std::string::npos) << text;

    ASSERT_TRUE(values::confineFileEffects(""));
    text = writeEverything();
    for (const char* file : {"keep.wox", "other.wox", "keep.vsf", "rows.cpp", "m.txt", "book.xlsx",
                             "diag/loadf/open.txt", "diag/loadf/named.log"})
        EXPECT_TRUE(fs::exists(outside / file)) << file << text;
}

}  // namespace
}  // namespace wox::session
