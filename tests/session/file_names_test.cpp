// Resolving a command's file name: plain names in the workspace folder
// (".wox", else ".txt"), quoted full paths, and the messages of each refusal.
#include "session/file_names.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>

#include "values/messages.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

TEST(FileNames, PlainNamesFindWoxThenTxtInTheWorkspaceFolder) {
    char pattern[] = "/tmp/wox-names-test-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    const std::string folder = std::string(pattern) + "/";
    std::ofstream(folder + "both.wox") << "x";
    std::ofstream(folder + "both.txt") << "x";
    std::ofstream(folder + "text.txt") << "x";

    EXPECT_EQ(resolveFileName("both", "wox", true, folder).path, folder + "both.wox");
    ResolvedFile text = resolveFileName("text", "wox", true, folder);
    EXPECT_EQ(text.path, folder + "text.txt");
    EXPECT_EQ(text.workspaceName, "text");
    EXPECT_EQ(resolveFileName("none", "wox", true, folder).message, kFileNotFound);
    EXPECT_EQ(resolveFileName("none", "wox", false, folder).path, folder + "none.wox");

    ResolvedFile quoted = resolveFileName("'" + folder + "both.wox'", "wox", true, folder);
    EXPECT_EQ(quoted.message, 0);
    EXPECT_EQ(quoted.workspaceName, "both");
    EXPECT_EQ(resolveFileName("'" + folder + "new.v1.WOX'", "wox", false, folder).workspaceName, "new");
    EXPECT_EQ(resolveFileName("'" + folder + "gone.wox'", "wox", true, folder).message, kFileNotFound);
    EXPECT_EQ(resolveFileName("'" + folder + "no/such.wox'", "wox", false, folder).message, kFileNotFound);
    EXPECT_EQ(resolveFileName("'" + folder + "both.vsf'", "wox", true, folder).message, kBadFilePath);
    EXPECT_EQ(resolveFileName("'" + folder + "both.wox", "wox", true, folder).message, kBadFilePath);
    EXPECT_EQ(resolveFileName("", "wox", true, folder).message, kFileNameRequired);
    EXPECT_EQ(resolveFileName("abcdefghijklmnopq", "wox", false, folder).message, kWsNameTooLong);
    EXPECT_EQ(resolveFileName("'/x/abcdefghijklmnopq.wox'", "wox", false, folder).message, kWsNameTooLong);
    EXPECT_EQ(resolveFileName("a-b", "wox", false, folder).message, kBadFilePath);
    fs::remove_all(pattern);
}

}  // namespace
}  // namespace wox::session
