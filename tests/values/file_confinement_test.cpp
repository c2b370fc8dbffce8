// The file fence: which paths it lets through, however they are spelled,
// and that a replacement outside it fails before anything is made.
#include "values/file_confinement.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "values/file_replacement.h"

namespace wox::values {
namespace {

namespace fs = std::filesystem;

struct FenceFixture : ::testing::Test {
    fs::path top;
    std::string inside;  // the fenced folder, without a final "/"
    FenceFixture() {
        char name[] = "/tmp/wox-fence-test-XXXXXX";
        top = mkdtemp(name);
        inside = (top / "in").string();
        fs::create_directories(inside);
        fs::create_directories(top / "in-not");
        EXPECT_TRUE(confineFileEffects(inside));
    }
    ~FenceFixture() override {
        (void)confineFileEffects("");
        std::error_code ec;
        fs::remove_all(top, ec);
    }
};

TEST_F(FenceFixture, LetsThroughOnlyPathsInsideTheFolder) {
    EXPECT_TRUE(fileEffectAllowed(inside + "/a.wox"));
    EXPECT_TRUE(fileEffectAllowed(inside + "/new/folder/a.wox"));
    EXPECT_TRUE(fileEffectAllowed(inside));
    EXPECT_TRUE(fileEffectAllowed(inside + "/"));
    EXPECT_TRUE(fileEffectAllowed(inside + "/x/../a.wox"));
    EXPECT_FALSE(fileEffectAllowed("/etc/passwd"));
    EXPECT_FALSE(fileEffectAllowed(top.string() + "/a.wox"));
    // A folder whose name only begins like the fenced one is outside.
    EXPECT_FALSE(fileEffectAllowed(top.string() + "/in-not/a.wox"));
    EXPECT_FALSE(fileEffectAllowed(inside + "/../a.wox"));
    EXPECT_FALSE(fileEffectAllowed(inside + "/nosuch/../../a.wox"));
    EXPECT_FALSE(fileEffectAllowed(""));
    // A link inside that leads out is followed.
    fs::create_directory_symlink(top, inside + "/out");
    EXPECT_FALSE(fileEffectAllowed(inside + "/out/a.wox"));
    fs::create_symlink(top / "target.txt", inside + "/file-link");
    EXPECT_FALSE(fileEffectAllowed(inside + "/file-link"));
    fs::create_symlink(inside + "/file-link", inside + "/link-to-link");
    EXPECT_FALSE(fileEffectAllowed(inside + "/link-to-link"));
    fs::create_symlink("new.txt", inside + "/near-link");
    EXPECT_TRUE(fileEffectAllowed(inside + "/near-link"));
}

TEST_F(FenceFixture, RelativePathsAreTakenFromTheWorkingFolder) {
    fs::path before = fs::current_path();
    fs::current_path(inside);
    EXPECT_TRUE(fileEffectAllowed("a.wox"));
    EXPECT_FALSE(fileEffectAllowed("../a.wox"));
    fs::current_path(before);
    EXPECT_FALSE(fileEffectAllowed("a.wox"));
}

TEST_F(FenceFixture, AReplacementOutsideFailsAndMakesNothing) {
    std::string problem;
    EXPECT_FALSE(replaceFile(top.string() + "/a.txt", "text", ".t-", &problem));
    EXPECT_NE(problem.find("cannot write into"), std::string::npos);
    EXPECT_EQ(std::distance(fs::directory_iterator(top), fs::directory_iterator()), 2);
    EXPECT_TRUE(replaceFile(inside + "/a.txt", "text", ".t-", &problem));
    EXPECT_TRUE(fs::exists(inside + "/a.txt"));
}

TEST(FileFence, WithoutAFenceEveryPathIsAllowed) {
    EXPECT_TRUE(fileEffectAllowed("/etc/passwd"));
    EXPECT_TRUE(fileEffectAllowed("a.wox"));
    EXPECT_FALSE(confineFileEffects("/nosuch/folder/at/all"));
    EXPECT_TRUE(fileEffectAllowed("/etc/passwd"));
}

}  // namespace
}  // namespace wox::values
