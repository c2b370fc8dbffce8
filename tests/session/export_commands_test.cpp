// What CPP and CSV leave on disk: for CPP one line per row without its
// trailing blanks, nothing for a blank row; CSV files of tables; no file at
// all for a value either refuses.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "frontend/name_table.h"
#include "session/session.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

struct ExportFixture : ::testing::Test {
    Interpreter in;
    TextTranscript transcript;
    Session session{in, transcript};
    fs::path dir;
    ExportFixture() {
        char name[] = "/tmp/wox-export-test-XXXXXX";
        dir = mkdtemp(name);
        session.setWorkspaceFolder(dir.string() + "/");
    }
    ~ExportFixture() override {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::string file(const std::string& name) {
        std::ifstream f(dir / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(f), {});
    }
};

TEST_F(ExportFixture, CppWritesTheRowsOfACharacterMatrix) {
    session.submit("m<-4 4#'ab  ','    ','    ',' c d'");
    EXPECT_EQ(session.dispatchCommand("CPP out m"), 0);
    // The all-blank middle rows write nothing: two lines for four rows.
    EXPECT_EQ(file("out.cpp"), "ab\n c d\n");
    // A second export replaces the file.
    session.submit("m<-1 3#'xyz'");
    EXPECT_EQ(session.dispatchCommand("CPP   out   m"), 0);
    EXPECT_EQ(file("out.cpp"), "xyz\n");
    session.submit("m<-0 3#'a'");
    EXPECT_EQ(session.dispatchCommand("CPP out m"), 0);
    EXPECT_EQ(file("out.cpp"), "");
}

// A file that cannot be replaced keeps its old rows, and no scratch file is
// left beside it.
TEST_F(ExportFixture, CppThatCannotReplaceKeepsTheOldFile) {
    session.submit("m<-1 3#'old'");
    ASSERT_EQ(session.dispatchCommand("CPP out m"), 0);
    fs::permissions(dir / "out.cpp", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    session.submit("m<-2 3#'new'");
    EXPECT_EQ(session.dispatchCommand("CPP out m"), 1);
    EXPECT_NE(transcript.wholeText().find("\r\ncheck path"), std::string::npos);
    EXPECT_EQ(file("out.cpp"), "old\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
}

TEST_F(ExportFixture, RefusedValuesMakeNoFile) {
    session.submit("n<-2 2#1 2 3 4");
    session.submit("v<-'abc'");
    EXPECT_EQ(session.dispatchCommand("CPP num n"), 1);
    EXPECT_EQ(session.dispatchCommand("CPP vec v"), 1);
    EXPECT_EQ(session.dispatchCommand("CPP none nothere"), 1);
    EXPECT_EQ(session.dispatchCommand("CSV num n"), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
    EXPECT_NE(transcript.wholeText().find("\r\ncpp not valid"), std::string::npos);
    EXPECT_NE(transcript.wholeText().find("\r\nvar not found"), std::string::npos);
}

// CSV writes tables, keyed tables (key columns first) and dictionaries;
// anything else leaves no file.
TEST_F(ExportFixture, CsvWritesTablesAndDictionariesOnly) {
    session.submit("t<-([]a:1 2;s:`x`y;n:('p, q';'r'))");
    EXPECT_EQ(session.dispatchCommand("CSV out t"), 0);
    EXPECT_EQ(file("out.csv"), "a,s,n\n1,x,\"p, q\"\n2,y,r\n");
    session.submit("k<-([id:1 2] v:2.5 0n)");
    EXPECT_EQ(session.dispatchCommand("CSV keyed k"), 0);
    EXPECT_EQ(file("keyed.csv"), "id,v\n1,2.5\n2,\n");
    session.submit("d<-`a`b:3 4");
    EXPECT_EQ(session.dispatchCommand("CSV dict d"), 0);
    EXPECT_EQ(file("dict.csv"), "key,value\na,3\nb,4\n");
    session.submit("d<-1");
    EXPECT_EQ(session.dispatchCommand("CSV scalar d"), 1);
    EXPECT_FALSE(fs::exists(dir / "scalar.csv"));
    // A file that cannot be replaced keeps its rows; no scratch file stays.
    fs::permissions(dir / "out.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    session.submit("t<-([]a:,9)");
    EXPECT_EQ(session.dispatchCommand("CSV out t"), 1);
    EXPECT_EQ(file("out.csv"), "a,s,n\n1,x,\"p, q\"\n2,y,r\n");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 3);
}

}  // namespace
}  // namespace wox::session
