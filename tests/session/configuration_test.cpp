// The configuration file: written at the first start with the version
// marker and the default folders, rewritten when the marker differs, read
// as it stands otherwise; the workspace folder is made when missing.
#include "session/configuration.h"

#include <gtest/gtest.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "session/file_names.h"

namespace wox::session {
namespace {

namespace fs = std::filesystem;

class ConfigurationFiles : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/wox-config-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        home_ = pattern;
    }
    void TearDown() override { fs::remove_all(home_); }
    fs::path home_;
};

TEST_F(ConfigurationFiles, TheFirstStartWritesTheDefaultsAndMakesTheWorkspaceFolder) {
    ConfigurationPlaces places = configurationPlaces(home_.string(), "");
    EXPECT_EQ(places.file, home_ / ".config" / "wox" / "wox.conf");
    Configuration c;
    std::string problem;
    ASSERT_TRUE(loadConfiguration(places, c, &problem)) << problem;
    EXPECT_EQ(c.version, kVersionMarker);
    EXPECT_EQ(c.workspacePath, (home_ / "wox" / "ws").string() + "/");
    EXPECT_TRUE(fs::is_directory(c.workspacePath));
    EXPECT_TRUE(fs::exists(places.file));

    // A folder the user chose is kept; another version's file is replaced.
    {
        std::ofstream f(places.file);
        f << "[Wox]\nWOXVersion=" << kVersionMarker << "\nBinaryPath=/opt/wox\nWorkspacePath=" << (home_ / "mine").string()
          << "\n";
    }
    ASSERT_TRUE(loadConfiguration(places, c, &problem));
    EXPECT_EQ(c.workspacePath, (home_ / "mine").string() + "/");
    EXPECT_EQ(c.binaryPath, "/opt/wox/");
    EXPECT_TRUE(fs::is_directory(home_ / "mine"));
    {
        std::ofstream f(places.file);
        f << "[Wox]\nWOXVersion=Version [ 0.1 win32 ]\nBinaryPath=/opt/wox/\nWorkspacePath=/elsewhere/\n";
    }
    ASSERT_TRUE(loadConfiguration(places, c, &problem));
    EXPECT_EQ(c.workspacePath, places.defaultWorkspacePath);
    EXPECT_EQ(c.binaryPath, places.defaultBinaryPath);
    EXPECT_EQ(parseConfiguration(configurationText(c)).workspacePath, c.workspacePath);
}

TEST_F(ConfigurationFiles, XdgConfigHomeHoldsTheFile) {
    ConfigurationPlaces places = configurationPlaces(home_.string(), (home_ / "cfg").string());
    EXPECT_EQ(places.file, home_ / "cfg" / "wox" / "wox.conf");
}

// One version everywhere: the marker a new release rewrites the file by and
// the line `wox --version` and the banner show are the project's.
TEST(ConfigurationVersion, TheMarkerAndTheVersionLineNameTheProjectsVersion) {
    EXPECT_EQ(kVersionMarker, "Version [ " WOX_VERSION_TEXT " win32/64 ]");
    EXPECT_EQ(kVersionLine, "WOX version " WOX_VERSION_TEXT);
    EXPECT_NE(std::string_view(WOX_VERSION_TEXT), "");
}

TEST(FileTimeText, ShowsTheLocalTimeAndTheOffsetInWholeHours) {
    char pattern[] = "/tmp/wox-time-test-XXXXXX";
    int fd = mkstemp(pattern);
    ASSERT_GE(fd, 0);
    close(fd);
    struct timespec times[2] = {{0, 0}, {86400 + 3600, 0}};  // 1970-01-02 01:00 UTC
    ASSERT_EQ(utimensat(AT_FDCWD, pattern, times, 0), 0);
    const char* was = getenv("TZ");
    std::string saved = was ? was : "";
    setenv("TZ", "UTC-2", 1);
    tzset();
    EXPECT_EQ(fileTimeText(pattern), "1970.01.02 03:00:00 (gmt+2)");
    setenv("TZ", "UTC+5", 1);
    tzset();
    EXPECT_EQ(fileTimeText(pattern), "1970.01.01 20:00:00 (gmt-5)");
    setenv("TZ", "UTC", 1);
    tzset();
    EXPECT_EQ(fileTimeText(pattern), "1970.01.02 01:00:00 (gmt 0)");
    if (was) setenv("TZ", saved.c_str(), 1);
    else unsetenv("TZ");
    tzset();
    unlink(pattern);
}

TEST_F(ConfigurationFiles, ASavedFolderIsReadBackAndAFailedSaveSaysWhy) {
    ConfigurationPlaces places = configurationPlaces(home_.string(), "");
    Configuration c;
    std::string problem;
    ASSERT_TRUE(loadConfiguration(places, c, &problem)) << problem;
    c.workspacePath = (home_ / "chosen").string() + "/";
    ASSERT_TRUE(saveConfiguration(places, c, &problem)) << problem;
    Configuration again;
    ASSERT_TRUE(loadConfiguration(places, again, &problem)) << problem;
    EXPECT_EQ(again.workspacePath, c.workspacePath);
    EXPECT_EQ(again.version, kVersionMarker);
    EXPECT_FALSE(fs::exists(places.file.string() + ".new"));

    // Where the configuration folder would be stands a file.
    std::ofstream(home_ / "blocked") << "x";
    ConfigurationPlaces blocked = configurationPlaces(home_.string(), (home_ / "blocked").string());
    problem.clear();
    EXPECT_FALSE(saveConfiguration(blocked, c, &problem));
    EXPECT_NE(problem.find("cannot make"), std::string::npos) << problem;
}

}  // namespace
}  // namespace wox::session
