// The start both programs share: a fresh workspace folder gets the standard
// library and a user's own copy is kept; the file named on the command line
// is a workspace loaded before the banner or a script read after it, and one
// that does not open is told as the programs report it.
#include "session/start_up.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "session/file_names.h"
#include "session/standard_library.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

class StartUp : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/wox-start-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
        places_ = configurationPlaces(home_.string(), "");
        std::string problem;
        ASSERT_TRUE(loadStartConfiguration(places_, config_, &problem, [this](std::string_view w) { warned_ += w; }))
            << problem;
    }
    void TearDown() override { fs::remove_all(home_); }
    std::string library() const { return config_.workspacePath + std::string(kStandardLibraryFile); }

    fs::path home_;
    ConfigurationPlaces places_;
    Configuration config_;
    std::string warned_;
};

TEST_F(StartUp, AFreshFolderGetsTheLibraryAndAUsersOwnCopyIsKept) {
    std::string text;
    ASSERT_TRUE(readWholeFile(library(), &text));
    EXPECT_EQ(text, standardLibraryText());
    EXPECT_EQ(warned_, "");
    {
        std::ofstream f(library(), std::ios::trunc);
        f << "// mine\n";
    }
    std::string problem;
    ASSERT_TRUE(loadStartConfiguration(places_, config_, &problem, nullptr)) << problem;
    ASSERT_TRUE(readWholeFile(library(), &text));
    EXPECT_EQ(text, "// mine\n");
}

TEST_F(StartUp, TheFileNamedAtStartIsAWorkspaceOrAScript) {
    EXPECT_TRUE(startFileNamed("run.vsf").script);
    EXPECT_FALSE(startFileNamed("budget.wox").script);
    EXPECT_FALSE(startFileNamed("vsf").script);

    // What does not open, and what the programs say of it.
    Interpreter in;
    std::string reason;
    StartFile absent = startFileNamed(config_.workspacePath + "absent.wox");
    EXPECT_FALSE(openStartFile(in, absent, &reason));
    EXPECT_EQ(startFileProblem(absent, reason), "cannot load " + absent.path + ": the file is not found");
    StartFile unread = startFileNamed(config_.workspacePath + "absent.vsf");
    EXPECT_FALSE(openStartFile(in, unread, &reason));
    EXPECT_EQ(startFileProblem(unread, reason), "cannot read " + unread.path);

    {
        TextTranscript transcript;
        Session session(in, transcript);
        startSession(session, config_, {}, true);
        session.submit("kept<-42");
        session.submit(")save startws");
        session.submit(")out helpers kept");
    }
    // A workspace loads before the first display, which names it.
    {
        Interpreter loaded;
        StartFile file = startFileNamed(config_.workspacePath + "startws.wox");
        ASSERT_TRUE(openStartFile(loaded, file, &reason)) << reason;
        EXPECT_EQ(file.workspaceName, "startws");
        TextTranscript transcript;
        Session session(loaded, transcript);
        startSession(session, config_, file, true);
        EXPECT_EQ(session.workspaceFolder(), config_.workspacePath);
        session.submit("kept");
        EXPECT_EQ(transcript.wholeText(),
                  "WOX version " WOX_VERSION_TEXT "\r\n      startws ws loaded\r\n\r\n      kept\r\n42\r\n      ");
    }
    // A script is read after the banner, in a clear workspace.
    {
        Interpreter read;
        StartFile file = startFileNamed(config_.workspacePath + "helpers.vsf");
        ASSERT_TRUE(openStartFile(read, file, &reason));
        TextTranscript transcript;
        Session session(read, transcript);
        startSession(session, config_, file, false);
        session.submit("kept");
        const std::string text = transcript.wholeText();
        EXPECT_TRUE(text.starts_with("WOX version " WOX_VERSION_TEXT "\r\n      CLEAR WS\r\n")) << text;
        EXPECT_TRUE(text.ends_with("\r\n      kept\r\n42\r\n      ")) << text;
        EXPECT_FALSE(session.anyLineFailed()) << text;
    }
}

}  // namespace
}  // namespace wox::session
