// The wox program in scripts and pipes: quiet mode, the exit status, and a
// driver that talks to a running wox line by line and waits for each answer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#ifndef WOX_BINARY
#error "WOX_BINARY must name the wox program under test"
#endif

extern char** environ;

namespace wox::app {
namespace {

// A child wox joined to us by two pipes.
class Child {
public:
    explicit Child(std::vector<std::string> args) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        args.insert(args.begin(), WOX_BINARY);
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toChild_ = in[1];
        fromChild_ = out[0];
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child() {
        closeInput();
        if (fromChild_ >= 0) ::close(fromChild_);
        if (pid_ > 0 && !reaped_) {
            ::kill(pid_, SIGKILL);
            (void)wait();
        }
    }

    bool started() const { return pid_ > 0; }
    void send(const std::string& text) { ASSERT_EQ(::write(toChild_, text.data(), text.size()), static_cast<ssize_t>(text.size())); }
    void closeInput() {
        if (toChild_ >= 0) ::close(toChild_);
        toChild_ = -1;
    }
    // Reads until what was read ends with `end`, or the time is up; returns
    // everything read so far.
    std::string readUntil(const std::string& end, int timeoutMs = 5000) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (!got_.ends_with(end)) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{fromChild_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char buf[4096];
            ssize_t n = ::read(fromChild_, buf, sizeof buf);
            if (n <= 0) break;
            got_.append(buf, static_cast<std::size_t>(n));
        }
        std::string all;
        all.swap(got_);
        return all;
    }
    // The exit status, -1 when it did not exit normally.
    int wait() {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0)
            if (errno != EINTR) return -1;
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool reaped_ = false;
    std::string got_;
};

struct Finished {
    std::string output;
    int status = -1;
};

Finished runWith(const std::vector<std::string>& args, const std::string& input) {
    Child c(args);
    Finished r;
    if (!c.started()) return r;
    c.send(input);
    c.closeInput();
    r.output = c.readUntil("\x04never", 10000);  // up to the end of output
    r.status = c.wait();
    return r;
}

const std::string kBanner = "WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n\n      ";

TEST(WoxInPipes, TheBannerAndEveryAnswerArriveBeforeTheNextLineIsRead) {
    Child c({});
    ASSERT_TRUE(c.started());
    // Nothing has been sent: the banner must come anyway.
    EXPECT_EQ(c.readUntil(kBanner), kBanner);
    c.send("2+3\n");
    EXPECT_EQ(c.readUntil("\n      "), "2+3\n5\n      ");
    c.send("x<-10\n");
    EXPECT_EQ(c.readUntil("\n      "), "x<-10\n      ");
    c.send("x+'a'\n");
    EXPECT_EQ(c.readUntil("^\n      "), "x+'a'\ndomain error\n      x+'a'\n       ^\n      ");
    c.closeInput();
    EXPECT_EQ(c.readUntil("\x04never", 5000), "\n");
    EXPECT_EQ(c.wait(), 1);
}

TEST(WoxInPipes, AnAnswerDoesNotWaitForTheNextLineToFinish) {
    Child c({"-q"});
    ASSERT_TRUE(c.started());
    c.send("{spin: i<-0; while (i<x) {i<-i+1}; i}\n");
    std::string listing = c.readUntil("--------------------\n");
    ASSERT_TRUE(listing.starts_with("--------spin--------\n")) << listing;
    // Both lines at once: the first answer must come on its own, while the
    // second line, a loop of a second or so, still runs.
    c.send("2+3\nspin 1000000\n");
    EXPECT_EQ(c.readUntil("5\n", 20000), "5\n");
    EXPECT_EQ(c.readUntil("1000000\n", 60000), "1000000\n");
    c.closeInput();
    EXPECT_EQ(c.wait(), 0);
}

TEST(WoxInPipes, QuietAnswersLineByLine) {
    Child c({"-q"});
    ASSERT_TRUE(c.started());
    c.send("2+3\n");
    EXPECT_EQ(c.readUntil("\n"), "5\n");
    c.send("y<-4\n");
    c.send("y*y\n");
    EXPECT_EQ(c.readUntil("\n"), "16\n");
    c.closeInput();
    EXPECT_EQ(c.readUntil("\x04never", 5000), "");
    EXPECT_EQ(c.wait(), 0);
}

TEST(QuietMode, OnlyResultsAndErrorReports) {
    Finished r = runWith({"-q"}, "2+3\n");
    EXPECT_EQ(r.output, "5\n");
    EXPECT_EQ(r.status, 0);
    r = runWith({"--quiet"}, "a<-1 2 3\n\n// a comment\na*2\n1+'a'\na\n");
    EXPECT_EQ(r.output, "2 4 6\ndomain error\n      1+'a'\n       ^\n1 2 3\n");
    EXPECT_EQ(r.status, 1);
    r = runWith({"-q"}, "");
    EXPECT_EQ(r.output, "");
    EXPECT_EQ(r.status, 0);
}

TEST(ExitStatus, OneWhenAnyLineFailedAndTheTranscriptUnchanged) {
    Finished ok = runWith({}, "2+3\n");
    EXPECT_EQ(ok.output, kBanner + "2+3\n5\n      \n");
    EXPECT_EQ(ok.status, 0);
    Finished failed = runWith({}, "1+'a'\n2+3\n");
    EXPECT_EQ(failed.output, kBanner + "1+'a'\ndomain error\n      1+'a'\n       ^\n      2+3\n5\n      \n");
    EXPECT_EQ(failed.status, 1) << "a failure early on is not forgotten";
    EXPECT_EQ(runWith({}, ")nosuch\n").status, 1);
    EXPECT_EQ(runWith({}, "{f: x+1}\nf 2\n").status, 0);
    EXPECT_EQ(runWith({}, "{f: x+'a'}\nf 2\n").status, 1) << "an error inside a function";
}

TEST(CommandLine, HelpNamesQuietModeAndTheExitStatus) {
    Finished help = runWith({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("-q, --quiet"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("exit status"), std::string::npos) << help.output;
    EXPECT_EQ(runWith({"-x"}, "").status, 2);
}

}  // namespace
}  // namespace wox::app
