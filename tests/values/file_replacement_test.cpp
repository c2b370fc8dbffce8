// Temporary files left by replacements that never finished: those of
// processes that are gone are taken away, never one a running process may
// still be writing, nor any other file.
#include "values/file_replacement.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>

namespace wox::values {
namespace {

namespace fs = std::filesystem;

class StaleTemporaries : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/wox-stale-test-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir_ = pattern;
    }
    void TearDown() override { fs::remove_all(dir_); }
    void touch(const std::string& name, std::time_t age = 0) {
        std::ofstream(dir_ / name) << "x";
        if (age) {
            const auto when = fs::file_time_type::clock::now() - std::chrono::seconds(age);
            fs::last_write_time(dir_ / name, when);
        }
    }
    bool present(const std::string& name) const { return fs::exists(dir_ / name); }
    // The id of a process that has ended.
    static pid_t endedProcess() {
        pid_t pid = fork();
        if (pid == 0) _exit(0);
        waitpid(pid, nullptr, 0);
        return pid;
    }
    fs::path dir_;
};

TEST_F(StaleTemporaries, OnlyFilesOfEndedProcessesAndOldUnnamedOnesGo) {
    const std::string ended = std::to_string(endedProcess());
    const std::string self = std::to_string(getpid());
    const std::string living = std::to_string(getppid());
    touch(".wox-save-" + ended + "-AbC123");
    touch(".wox-out-" + ended + "-zzzzzz");
    touch(".wox-save-" + self + "-AbC123");
    touch(".wox-save-" + living + "-AbC123");
    touch(".wox-save-Old123", 2 * 60 * 60);
    touch(".wox-save-New123");
    touch("keep.wox");
    touch(".wox-save-" + ended + "-toolongname");
    touch(".woxsave-" + ended + "-AbC123");
    removeStaleTemporaries(dir_.string());
    EXPECT_FALSE(present(".wox-save-" + ended + "-AbC123"));
    EXPECT_FALSE(present(".wox-out-" + ended + "-zzzzzz"));
    EXPECT_FALSE(present(".wox-save-Old123"));
    EXPECT_TRUE(present(".wox-save-" + self + "-AbC123"));
    EXPECT_TRUE(present(".wox-save-" + living + "-AbC123"));
    EXPECT_TRUE(present(".wox-save-New123"));
    EXPECT_TRUE(present("keep.wox"));
    EXPECT_TRUE(present(".wox-save-" + ended + "-toolongname"));
    EXPECT_TRUE(present(".woxsave-" + ended + "-AbC123"));
}

TEST_F(StaleTemporaries, AReplacementNamesItsFileWithItsProcessAndTidiesTheFolder) {
    const std::string ended = std::to_string(endedProcess());
    touch(".wox-save-" + ended + "-AbC123");
    const std::string path = (dir_ / "ws.wox").string();
    std::string problem;
    FileReplacement file;
    ASSERT_TRUE(file.open(path, ".wox-save-", &problem)) << problem;
    EXPECT_TRUE(fs::path(file.tempPath()).filename().string().starts_with(".wox-save-" + std::to_string(getpid()) + "-"));
    EXPECT_FALSE(present(".wox-save-" + ended + "-AbC123"));
    ASSERT_TRUE(file.write("new", &problem)) << problem;
    ASSERT_TRUE(file.commit(&problem)) << problem;
    int files = 0;
    for (const auto& e : fs::directory_iterator(dir_)) files += e.is_regular_file();
    EXPECT_EQ(files, 1);
}

}  // namespace
}  // namespace wox::values
