// What CPP leaves on disk: one line per row without its trailing blanks,
// nothing for a blank row, and no file at all for a value it refuses.
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

TEST_F(ExportFixture, CsvAcceptsOnlyDictionariesAndTablesAndWritesNothing) {
    session.submit("d<-1");
    const frontend::NameEntry& e = in.front.globals[static_cast<std::size_t>(frontend::findGlobal(in.front, "d"))];
    ValueDescriptor& d = in.ws.vars[static_cast<std::size_t>(e.slot)];
    const ValueDescriptor kept = d;
    // Only the type is looked at, so a descriptor of the type stands in for
    // a whole dictionary or table.
    for (std::int32_t type : {kDictionary, kTable}) {
        d.type = type;
        EXPECT_EQ(session.dispatchCommand("CSV out d"), 0);
    }
    d = kept;
    EXPECT_EQ(session.dispatchCommand("CSV out d"), 1);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
}

}  // namespace
}  // namespace wox::session
