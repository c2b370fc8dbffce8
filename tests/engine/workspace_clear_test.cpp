// Clearing the workspace and its report.
#include <gtest/gtest.h>

#include "engine/execute_line.h"
#include "engine/recording_link.h"
#include "engine/workspace_clear.h"

namespace wox::engine {
namespace {

TEST(WorkspaceReport, ClearWorkspaceShowsEmptyCountersAndFullHeap) {
    Interpreter in;
    ASSERT_EQ(clearWorkspace(in).code, 0);
    std::string r = workspaceReport(in);
    EXPECT_NE(r.find("lstvxend=15364"), std::string::npos) << r;
    // The heap holds one block: []AV's 256 characters and their 0 byte.
    EXPECT_NE(r.find("r15=629145320"), std::string::npos) << r;
    EXPECT_NE(r.find("lstvx= 16384, lstgx= 2048, lstfndx= 32768, nxtglx= 163840, lstndx= 65536\r\n"),
              std::string::npos)
        << r;
    EXPECT_NE(r.find("gc_time=    0\r\n\r\n---the end of )index--version--0.1--"), std::string::npos) << r;
    EXPECT_EQ(r.find('\n', 0), r.find("\r\n") + 1) << "every line ends in CR LF";
}

TEST(WorkspaceClear, ClearingForgetsVariablesAndRestoresSystemValues) {
    Interpreter in;
    std::string out;
    testing::RecordingLink link(in, [&](std::string_view s) { out += s; });
    ASSERT_EQ(executeLine(in, "abc<-1 2 3"), 0);
    ASSERT_EQ(executeLine(in, "[]IO<-0"), 0);
    ASSERT_EQ(clearWorkspace(in).code, 0);
    out.clear();
    EXPECT_EQ(executeLine(in, "abc"), -1);
    EXPECT_NE(out.find("value error"), std::string::npos);
    out.clear();
    ASSERT_EQ(executeLine(in, "[]IO"), 0);
    EXPECT_EQ(out, "\r\n1");
    out.clear();
    ASSERT_EQ(executeLine(in, "[]RL"), 0);
    EXPECT_EQ(out, "\r\n16807");
}

TEST(WorkspaceClear, ClearingStartsTheRandomGeneratorAgain) {
    Interpreter a, b;
    std::string outA, outB;
    testing::RecordingLink linkA(a, [&](std::string_view s) { outA += s; });
    testing::RecordingLink linkB(b, [&](std::string_view s) { outB += s; });
    ASSERT_EQ(clearWorkspace(a).code, 0);
    ASSERT_EQ(clearWorkspace(b).code, 0);
    ASSERT_EQ(executeLine(a, "?.1000 1000 1000"), 0);
    std::string first = outA;
    ASSERT_EQ(executeLine(a, "5?.1000"), 0);
    // Side by side, each interpreter draws from its own generator.
    ASSERT_EQ(executeLine(b, "?.1000 1000 1000"), 0);
    EXPECT_EQ(outB, first);
    ASSERT_EQ(clearWorkspace(a).code, 0);
    outA.clear();
    ASSERT_EQ(executeLine(a, "?.1000 1000 1000"), 0);
    EXPECT_EQ(outA, first);
}

}  // namespace
}  // namespace wox::engine
