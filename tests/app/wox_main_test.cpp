// The wox program in scripts and pipes: quiet mode, the exit status, and a
// driver that talks to a running wox line by line and waits for each answer.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#ifndef WOX_BINARY
#error "WOX_BINARY must name the wox program under test"
#endif

extern char** environ;

namespace wox::app {
namespace {

namespace fs = std::filesystem;

// A child wox joined to us by two pipes.
class Child {
public:
    // `withErrors`: standard error comes through the same pipe.
    explicit Child(std::vector<std::string> args, bool withErrors = false) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        if (withErrors) posix_spawn_file_actions_adddup2(&actions, out[1], STDERR_FILENO);
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

Finished runWith(const std::vector<std::string>& args, const std::string& input, bool withErrors = false) {
    Child c(args, withErrors);
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

// Nobody can resume a suspended call of a program: once failures have
// filled the state indicator, the line that finds it full clears it, and
// the lines after it run.
TEST(QuietMode, AFullStateIndicatorDoesNotStopTheRestOfTheProgram) {
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    const std::string file = std::string(home) + "/deep.vsf";
    std::ofstream(file) << "{sq: x*x}\n{deep: deep x}\ndeep 1\nsq 3\n";
    std::string input = "{bad: x+'a'}\n";
    for (int i = 0; i < 130; ++i) input += "bad 1\n";
    input += "sq 4\n";
    Finished r = runWith({"-q", file}, input);
    const std::string cleared = "the state indicator was full: it is cleared, as )SIC clears it\n";
    EXPECT_NE(r.output.find("stack full\ndeep[1]  z<-deep x\n            ^\n" + cleared + "9\n"), std::string::npos)
        << r.output.substr(0, 400);
    EXPECT_NE(r.output.find("stack full\n      bad 1\n      ^\n" + cleared + "domain error\n"), std::string::npos);
    EXPECT_TRUE(r.output.ends_with("domain error\nbad[1]  z<-x+'a'\n            ^\n16\n")) << r.output.substr(0, 400);
    EXPECT_EQ(r.status, 1);
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

// wox on a terminal of its own (a pseudo-terminal we hold the other end of).
// `env` entries ("NAME=value") are put in the environment it inherits.
class OnTerminal {
public:
    explicit OnTerminal(const std::vector<std::string>& extraEnv = {}) {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
        if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0) return;
        const char* name = ptsname(master_);
        if (!name) return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            posix_spawn_file_actions_addopen(&actions, fd, name, O_RDWR, 0);
        posix_spawnattr_t attr;
        posix_spawnattr_init(&attr);
        posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETSID);
        std::vector<std::string> env;
        std::vector<std::string> replaced = extraEnv;
        replaced.emplace_back("TERM=dumb");
        for (char** e = environ; *e; ++e) {
            std::string_view entry = *e;
            bool ours = false;
            for (const std::string& r : replaced) ours = ours || entry.starts_with(r.substr(0, r.find('=') + 1));
            if (!ours) env.emplace_back(entry);
        }
        env.insert(env.end(), replaced.begin(), replaced.end());
        std::vector<char*> envp;
        for (std::string& e : env) envp.push_back(e.data());
        envp.push_back(nullptr);
        std::string program = WOX_BINARY;
        char* argv[] = {program.data(), nullptr};
        if (posix_spawn(&pid_, argv[0], &actions, &attr, argv, envp.data()) != 0) pid_ = -1;
        posix_spawnattr_destroy(&attr);
        posix_spawn_file_actions_destroy(&actions);
    }
    OnTerminal(const OnTerminal&) = delete;
    OnTerminal& operator=(const OnTerminal&) = delete;
    ~OnTerminal() {
        if (pid_ > 0) {
            ::kill(pid_, SIGKILL);
            int status = 0;
            waitpid(pid_, &status, 0);
        }
        if (master_ >= 0) ::close(master_);
    }
    bool started() const { return pid_ > 0; }
    // The exit status once wox has ended (-1 when it did not exit normally).
    int wait() {
        int status = 0;
        while (waitpid(pid_, &status, 0) < 0)
            if (errno != EINTR) return -1;
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    void type(const std::string& keys) { ASSERT_EQ(::write(master_, keys.data(), keys.size()), static_cast<ssize_t>(keys.size())); }
    // Everything up to the first prompt, the banner's line breaks aside.
    std::string readBanner() {
        std::string banner = readUntil("CLEAR WS");
        return banner + readUntil("\r\n      ");
    }
    // What the terminal shows up to and with `end` (or until the time is
    // up); what came after it is kept for the next read.
    std::string readUntil(const std::string& end, int timeoutMs = 5000) {
        std::string got;
        got.swap(after_);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
        while (got.find(end) == std::string::npos) {
            auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) break;
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, static_cast<int>(left.count())) <= 0) continue;
            char buf[4096];
            ssize_t n = ::read(master_, buf, sizeof buf);
            if (n <= 0) break;
            got.append(buf, static_cast<std::size_t>(n));
        }
        if (std::size_t at = got.find(end); at != std::string::npos) {
            after_ = got.substr(at + end.size());
            got.resize(at + end.size());
        }
        return got;
    }

private:
    int master_ = -1;
    pid_t pid_ = -1;
    std::string after_;
};

TEST(TabInTheTerminal, CompletesNamesAndCommandsAndIsNeverInserted) {
    OnTerminal t;
    ASSERT_TRUE(t.started());
    ASSERT_NE(t.readUntil("CLEAR WS").find("CLEAR WS"), std::string::npos);
    // Each line is typed only once readline shows its prompt, so what the
    // terminal shows is readline's, not the terminal's own echo.
    const std::string prompt = "\r\n      ";
    t.readUntil(prompt);
    t.type("totalsum<-41\r");
    t.readUntil(prompt);
    t.type("tot\t+1\r");
    std::string total = t.readUntil("42" + prompt);
    EXPECT_NE(total.find("totalsum+1"), std::string::npos) << total;
    t.type("[]I\t\r");
    std::string io = t.readUntil("\n1" + prompt);
    EXPECT_NE(io.find("[]IO"), std::string::npos) << io;
    // Nothing to complete after "1+": the Tab must not end up in the line.
    t.type("1+\t2\r");
    std::string sum = t.readUntil("3" + prompt);
    std::string shown;
    for (char ch : sum)
        if (ch != '\a') shown.push_back(ch);  // the bell is all Tab may add
    EXPECT_NE(shown.find("1+2\r\n3"), std::string::npos) << sum;
    EXPECT_EQ(sum.find('\t'), std::string::npos) << sum;
    t.type(")CLE\t\r");
    std::string command = t.readUntil("incorrect command");
    EXPECT_NE(command.find(")CLEAR"), std::string::npos) << command;
}

TEST(CommandLine, HelpNamesQuietModeAndTheExitStatus) {
    Finished help = runWith({"--help"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("-q, --quiet"), std::string::npos) << help.output;
    EXPECT_NE(help.output.find("exit status"), std::string::npos) << help.output;
    EXPECT_EQ(runWith({"-x"}, "").status, 2);
}

TEST(CommandLine, HelpListsEveryOptionAndVersionIsTheBannersFirstLine) {
    Finished help = runWith({"-h"}, "");
    EXPECT_EQ(help.status, 0);
    EXPECT_EQ(runWith({"--help"}, "").output, help.output);
    for (const char* option : {"-q, --quiet", "-h, --help", "-v, --version", "WORKSPACE.wox", "SCRIPT.vsf", "wox.conf"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option << " in\n" << help.output;

    const std::string line = "WOX version " WOX_VERSION_TEXT "\n";
    for (const char* option : {"-v", "--version"}) {
        Finished version = runWith({option}, "");
        EXPECT_EQ(version.status, 0) << option;
        EXPECT_EQ(version.output, line) << option;
    }
    EXPECT_TRUE(runWith({}, "").output.starts_with(line));
}

// A wrong command line is refused before anything starts: one line on
// standard error, nothing on standard output, status 2.
TEST(CommandLine, AWrongCommandLineIsOneLineAndStatusTwo) {
    const struct {
        std::vector<std::string> args;
        std::string said;
    } cases[] = {
        {{"--frob"}, "wox: unknown option '--frob'; try 'wox --help'\n"},
        {{"-"}, "wox: unknown option '-'; try 'wox --help'\n"},
        {{"-qv"}, "wox: unknown option '-qv'; try 'wox --help'\n"},
        {{"-q", "prog.vsf", "--frob"}, "wox: unknown option '--frob'; try 'wox --help'\n"},
        {{"a.wox", "b.vsf"}, "wox: one file at most, not 'a.wox' and 'b.vsf'; try 'wox --help'\n"},
    };
    for (const auto& c : cases) {
        Finished both = runWith(c.args, "1+1\n", true);
        EXPECT_EQ(both.status, 2) << c.said;
        EXPECT_EQ(both.output, c.said);
        Finished out = runWith(c.args, "1+1\n");
        EXPECT_EQ(out.output, "") << c.said;
    }
}

// The configuration is written at the first start (tests run with a home
// of their own); a workspace saved there is loaded by naming its file.
TEST(CommandLine, AWorkspaceFileNamedIsLoadedBeforeTheBanner) {
    Finished save = runWith({"-q"}, "a<-42\n[]LX<-'a<-0'\n)save startws\n");
    ASSERT_EQ(save.status, 0) << save.output;
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    const std::string file = std::string(home) + "/wox/ws/startws.wox";
    Finished r = runWith({file}, "a\n)wsid\n");
    EXPECT_EQ(r.output, "WOX version " WOX_VERSION_TEXT "\n      startws ws loaded\n\n      a\n42\n      )wsid\nstartws\n      \n");
    EXPECT_EQ(r.status, 0);
    Finished missing = runWith({file + ".gone"}, "");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "");
    Finished off = runWith({"-q"}, "1\n)off\n2\n");
    EXPECT_EQ(off.output, "1\n");
    EXPECT_EQ(off.status, 0);
}

// A script named on the command line is read as FLOAD reads it, between the
// banner and the first prompt; with -q and no input it runs as a program.
TEST(CommandLine, AScriptFileNamedRunsBeforeTheFirstLine) {
    const char* home = std::getenv("HOME");
    ASSERT_NE(home, nullptr);
    const std::string file = std::string(home) + "/prog.vsf";
    std::ofstream(file) << "// squares\n{sq: x*x}\nr<-sq !4\nr\n1+'a'\n'done'\n";
    Finished program = runWith({"-q", file}, "");
    EXPECT_EQ(program.output, "1 4 9 16\ndomain error\n      1+'a'\n       ^\ndone\n");
    EXPECT_EQ(program.status, 1);

    Finished batch = runWith({file}, "sq 3\n");
    const std::string banner = "WOX version " WOX_VERSION_TEXT "\n      CLEAR WS\n";
    ASSERT_TRUE(batch.output.starts_with(banner + "\n      r<-sq !4\n      r\n1 4 9 16\n      1+'a'\ndomain error\n"))
        << batch.output;
    EXPECT_NE(batch.output.find("\n      'done'\ndone\nsaved "), std::string::npos) << batch.output;
    EXPECT_TRUE(batch.output.ends_with("\n      sq 3\n9\n      \n")) << batch.output;

    // A broken block is reported even before any line ran.
    std::ofstream(file) << "&v I 1 2\n1\n&\n";
    Finished broken = runWith({"-q", file}, "");
    EXPECT_EQ(broken.output, "get variable error\n[*ln0] [&v I 1 2]\n");
    EXPECT_EQ(broken.status, 1);

    Finished missing = runWith({"-q", file + ".gone.vsf"}, "");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "");
}


// A folder of its own under the tests' private home.
fs::path freshFolder(const std::string& stem) {
    const char* home = std::getenv("HOME");
    std::string pattern = std::string(home ? home : "/tmp") + "/" + stem + "-XXXXXX";
    if (!mkdtemp(pattern.data())) return {};
    return pattern;
}

const std::string kTerminalPrompt = "\r\n      ";

TEST(ExitStatus, OneWhenAnyLineFailedHoweverTheSessionEnds) {
    EXPECT_EQ(runWith({"-q"}, "1+'a'\n)off\n").status, 1) << ")off after a failed line";
    EXPECT_EQ(runWith({"-q"}, "1+'a'\n)OFF\n").status, 1);
    EXPECT_EQ(runWith({"-q"}, "1+1\n)off\n").status, 0);

    // OFF in a script read at start ends the session: no input line runs.
    const fs::path folder = freshFolder("off-script");
    ASSERT_FALSE(folder.empty());
    const std::string script = (folder / "stop.vsf").string();
    std::ofstream(script) << "1+'a'\n)off\n";
    Finished stopped = runWith({"-q", script}, "3+3\n");
    EXPECT_EQ(stopped.output, "domain error\n      1+'a'\n       ^\n");
    EXPECT_EQ(stopped.status, 1);
    std::ofstream(script) << "2+2\n)off\n";
    Finished clean = runWith({"-q", script}, "3+3\n");
    EXPECT_EQ(clean.output, "4\n");
    EXPECT_EQ(clean.status, 0);

    // On a terminal, leaving with Ctrl-D.
    for (bool fail : {true, false}) {
        OnTerminal t;
        ASSERT_TRUE(t.started());
        t.readBanner();
        t.type(fail ? "1+'a'\r" : "1+1\r");
        t.readUntil(fail ? "^" + kTerminalPrompt : "2" + kTerminalPrompt);
        t.type("\x04");
        EXPECT_EQ(t.wait(), fail ? 1 : 0);
    }
}

TEST(HistoryInTheTerminal, KeptUnderAStateFolderMadeWithItsParents) {
    const fs::path folder = freshFolder("history");
    ASSERT_FALSE(folder.empty());
    const fs::path state = folder / "missing" / "parents" / "state";
    {
        OnTerminal t({"XDG_STATE_HOME=" + state.string()});
        ASSERT_TRUE(t.started());
        std::string start = t.readBanner();
        EXPECT_EQ(start.find("history"), std::string::npos) << start;
        t.type("40+2\r");
        t.readUntil("42" + kTerminalPrompt);
        t.type("\x04");
        EXPECT_EQ(t.wait(), 0);
    }
    std::ifstream history(state / "wox" / "history");
    std::string text((std::istreambuf_iterator<char>(history)), std::istreambuf_iterator<char>());
    EXPECT_NE(text.find("40+2\n"), std::string::npos) << text;
    struct stat own {};
    ASSERT_EQ(::stat((state / "wox").c_str(), &own), 0);
    EXPECT_EQ(own.st_mode & 0777, 0700u);

    // A file where a folder should be: said once, and the session goes on.
    std::ofstream(folder / "plain") << "not a folder\n";
    OnTerminal t({"XDG_STATE_HOME=" + (folder / "plain" / "state").string()});
    ASSERT_TRUE(t.started());
    std::string start = t.readBanner();
    EXPECT_NE(start.find("history of lines is not kept: " + (folder / "plain").string() + " is not a folder"),
              std::string::npos)
        << start;
    t.type("40+2\r");
    std::string answer = t.readUntil("42" + kTerminalPrompt);
    EXPECT_EQ(answer.find("history"), std::string::npos) << answer;
}

// The terminal function editor driven through an editor program: each edit
// runs the step the test has written last.
class EditorSession {
public:
    EditorSession() : folder_(freshFolder("editor")), terminal_(environment()) {}

    bool started() { return !folder_.empty() && terminal_.started(); }
    fs::path stateFolder() const { return folder_ / "state" / "wox"; }
    fs::path folder() const { return folder_; }
    void step(const std::string& commands) { std::ofstream(folder_ / "step.sh") << commands << "\n"; }
    // Types a line and returns what the terminal showed until `end`.
    std::string line(const std::string& text, const std::string& end = kTerminalPrompt) {
        terminal_.type(text);
        return terminal_.readUntil(end);
    }
    std::string start() { return terminal_.readBanner(); }
    // The files refused text was kept in.
    std::vector<fs::path> kept() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(stateFolder()))
            if (entry.path().filename() != "history") files.push_back(entry.path());
        return files;
    }
    int leave() {
        terminal_.type("\x04");
        return terminal_.wait();
    }

private:
    std::vector<std::string> environment() {
        if (folder_.empty()) return {};
        const fs::path editor = folder_ / "editor.sh";
        std::ofstream(editor) << "#!/bin/sh\nexec sh '" << (folder_ / "step.sh").string() << "' \"$1\"\n";
        fs::permissions(editor, fs::perms::owner_all);
        return {"VISUAL=" + editor.string(), "XDG_STATE_HOME=" + (folder_ / "state").string()};
    }

    fs::path folder_;
    OnTerminal terminal_;
};

const std::string kQuestion = "e, k or d? ";
const std::string kRenameHeader = "sed -i 's/^z<-f x/z<-g x/' \"$1\"";

TEST(TerminalFunctionEditor, RefusedTextIsKeptEditedAgainOrDiscardedNeverLostUnasked) {
    EditorSession wox;
    ASSERT_TRUE(wox.started());
    wox.start();
    wox.line("{f: x+1}\r");

    // A renamed header is refused; the text goes to a file of the state
    // folder, which is named.
    wox.step(kRenameHeader);
    std::string refused = wox.line("@.f\r", kQuestion);
    EXPECT_NE(refused.find("defn error: the function is unchanged\r\n"), std::string::npos) << refused;
    const std::string offer = "e to edit again, k to keep the text in ";
    const std::size_t named = refused.find(offer + wox.stateFolder().string() + "/f-");
    const std::size_t end = refused.find(", d to discard\r\n", named);
    ASSERT_NE(end, std::string::npos) << refused;
    const std::string file = refused.substr(named + offer.size(), end - named - offer.size());
    std::string keep = wox.line("k\r");
    EXPECT_NE(keep.find("the text is kept in " + file + kTerminalPrompt), std::string::npos) << keep;
    std::ifstream kept(file);
    std::string text((std::istreambuf_iterator<char>(kept)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "z<-g x\nz<-x+1\n");
    EXPECT_NE(wox.line("f 1\r").find("\r\n2\r\n"), std::string::npos) << "the function is unchanged";

    // Discarded: nothing more is kept. An answer that is none of the three
    // asks again.
    wox.step(kRenameHeader);
    wox.line("@.f\r", kQuestion);
    EXPECT_NE(wox.line("x\r", kQuestion).find(kQuestion), std::string::npos);
    wox.line("d\r");
    EXPECT_EQ(wox.kept().size(), 1u);

    // No answer (Ctrl-D at the question) keeps the text.
    wox.step(kRenameHeader);
    wox.line("@.f\r", kQuestion);
    EXPECT_NE(wox.line("\x04").find("the text is kept in " + wox.stateFolder().string()), std::string::npos);
    EXPECT_EQ(wox.kept().size(), 2u);

    // An open brace is refused; edited again, the text is taken, and the
    // file named for keeping it is gone.
    wox.step("printf 'if (x) {\\n' >> \"$1\"");
    wox.line("@.f\r", kQuestion);
    wox.step("sed -i 's/^if (x) {$/z<-z*10/' \"$1\"");
    std::string again = wox.line("e\r");
    EXPECT_EQ(again.find("defn error"), std::string::npos) << again;
    EXPECT_NE(wox.line("f 1\r").find("\r\n20\r\n"), std::string::npos);
    EXPECT_EQ(wox.kept().size(), 2u);
    EXPECT_EQ(wox.leave(), 0);
}

TEST(TerminalFunctionEditor, ANewNameStartsFromAHeader) {
    EditorSession wox;
    ASSERT_TRUE(wox.started());
    wox.start();
    const fs::path header = wox.folder() / "header";
    wox.step("cp \"$1\" '" + header.string() + "'; printf 'z<-x*2\\n' >> \"$1\"");
    std::string made = wox.line("@.dbl\r");
    EXPECT_EQ(made.find("defn error"), std::string::npos) << made;
    std::ifstream given(header);
    std::string text((std::istreambuf_iterator<char>(given)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text, "z<-dbl x\n");
    EXPECT_NE(wox.line("dbl 21\r").find("\r\n42\r\n"), std::string::npos);

    // Nor a variable nor a word that cannot name a function gets an editor.
    fs::remove(header);
    wox.line("v<-1\r");
    EXPECT_NE(wox.line("@.v\r").find("\r\ndefn error\r\n"), std::string::npos);
    EXPECT_NE(wox.line("@.x\r").find("\r\ndefn error\r\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(header)) << "no editor ran";
}

}  // namespace
}  // namespace wox::app
