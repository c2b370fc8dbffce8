#include "session/session.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "session/function_requests.h"
#include "session/line_reader.h"
#include "session/terminal_text.h"
#include "values/capacities.h"

namespace wox::session {
namespace {

const std::string kBanner = "WOX version " WOX_VERSION_TEXT "\r\n      CLEAR WS\r\n\r\n      ";

struct SessionFixture : ::testing::Test {
    Interpreter in;
    TextTranscript transcript;
    Session session{in, transcript};
    std::string text() const { return transcript.wholeText(); }
};

TEST_F(SessionFixture, BannerAndPromptsFollowTheTranscriptConventions) {
    session.start();
    EXPECT_EQ(text(), kBanner);

    Interpreter other;
    TextTranscript t2;
    Session loaded(other, t2);
    loaded.start("budget");
    EXPECT_EQ(t2.wholeText(), "WOX version " WOX_VERSION_TEXT "\r\n      budget ws loaded\r\n\r\n      ");

    // Blank lines and comment-only lines just give a new prompt; output from
    // the interpreter lands at the caret, below the input line.
    session.submit("   ");
    session.submit("// nothing to run");
    in.write("\r\nfrom the engine");
    EXPECT_EQ(text(), kBanner + "   \r\n      // nothing to run\r\n      \r\nfrom the engine");
}

TEST_F(SessionFixture, RequestsWithoutAnAnswerReportTheirMessages) {
    session.start();
    session.submit(")sav");
    EXPECT_EQ(session.lastCommandResult(), 71);
    session.submit("@.");
    session.submit("@. nosuchfn");
    session.submit("{f");
    session.submit("{nosuchfn}");
    session.submit("{f: x+(1}");
    session.submit("->");
    session.submit("->3");
    EXPECT_EQ(session.lastCommandResult(), 0);
    EXPECT_EQ(text(), kBanner +
                          ")sav\r\nincorrect command\r\n"
                          "      @.\r\ndefn error\r\n"
                          "      @. nosuchfn\r\ndefn error\r\n"
                          "      {f\r\ndefn error\r\n"
                          "      {nosuchfn}\r\ndefn error\r\n"
                          "      {f: x+(1}\r\ndefn error\r\n"
                          "      ->\r\n"
                          "      ->3\r\n"
                          "      ");
}

// The terminal's editor also makes new functions; the desktop's opens only
// defined ones.
TEST_F(SessionFixture, AnEditorThatMakesFunctionsOpensOnANewName) {
    session.start();
    std::vector<std::string> opened;
    session.setEditorOpener([&](std::string_view name) { opened.emplace_back(name); });
    session.submit("@.newf");
    EXPECT_TRUE(opened.empty());
    session.setEditorOpener([&](std::string_view name) { opened.emplace_back(name); }, true);
    session.submit("{f: x+1}");
    session.submit("v<-1");
    for (const char* line : {"@.f", "@.newf", "@. v", "@.x", "@.1a", "@.a b", "@.if"}) session.submit(line);
    EXPECT_EQ(opened, (std::vector<std::string>{"f", "newf"}));
    std::size_t refused = 0;
    for (std::size_t at = text().find("\r\ndefn error"); at != std::string::npos; at = text().find("\r\ndefn error", at + 1))
        ++refused;
    EXPECT_EQ(refused, 6u) << "the first @.newf and every name that cannot be a function: " << text();

    EXPECT_EQ(newFunctionSource(in, "newf"), std::vector<std::string>{"z<-newf x"});
    EXPECT_TRUE(newFunctionSource(in, "f").empty());
    EXPECT_TRUE(newFunctionSource(in, "v").empty());
    // A new function is made only under the name it was opened for.
    EXPECT_FALSE(defineEdited(in, {"z<-newf x", "z<-x*2"}));
    EXPECT_FALSE(defineEdited(in, {"z<-other x", "z<-x*2"}, "newf"));
    EXPECT_TRUE(defineEdited(in, {"z<-newf x", "z<-x*2"}, "newf"));
    EXPECT_TRUE(isDefinedFunction(in, "newf"));
    EXPECT_FALSE(isDefinedFunction(in, "other"));
}

TEST_F(SessionFixture, OverlongLinesAreRefusedWithoutRunning) {
    session.start();
    std::string longest(static_cast<std::size_t>(kLineBuffer), 'a');
    longest[0] = ')';
    session.submit("   " + longest);  // leading blanks do not count
    EXPECT_EQ(transcript.readLine(transcript.lineCount() - 2), "incorrect command");
    std::string tooLong = longest + "a";
    session.submit(tooLong);
    EXPECT_EQ(transcript.readLine(transcript.lineCount() - 2),
              "line too long: a line holds at most " + std::to_string(kLineBuffer) + " characters");
    EXPECT_EQ(transcript.readLine(transcript.lineCount() - 1), "      ");
    // Any bytes at all reach the line handling intact.
    std::string bytes{"\0\x01\xff\x7f'\"", 6};
    int inputLine = transcript.lineCount() - 1;
    session.submit(bytes);
    EXPECT_EQ(transcript.readLine(inputLine), "      " + bytes);
    EXPECT_EQ(transcript.readLine(transcript.lineCount() - 1), "      ");
}

TEST_F(SessionFixture, InterruptRequestIsClearedAroundEveryLine) {
    session.start();
    in.interruptRequested = true;  // a Ctrl-C at the prompt
    session.submit("1+2");
    EXPECT_FALSE(in.interruptRequested.load());
}

TEST_F(SessionFixture, AnInterruptedCallIsSuspendedAtTheLineItsReportNames) {
    session.start();
    // Two jumps that only each other's line polls can stop: the interrupt
    // is always taken as a line is entered.
    ASSERT_TRUE(defineEdited(in, {"spin", "L1:->L2", "L2:->L1"}, "spin"));
    // The function and line number that follow `from` in the transcript.
    auto calledLine = [&](const std::string& from) {
        std::string all = text();
        std::size_t at = all.rfind(from);
        if (at == std::string::npos) return all;
        at += from.size();
        return all.substr(at, all.find(']', at) + 1 - at);
    };
    for (int round = 0; round < 4; ++round) {
        std::thread stopper([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(5 + 3 * round));
            in.interruptRequested = true;
        });
        session.submit("spin");
        stopper.join();
        const std::string reported = calledLine("interrupt\r\n");
        ASSERT_TRUE(reported.starts_with("spin[")) << text();
        session.submit(")si");
        EXPECT_EQ(calledLine(")si\r\n"), reported) << text();
        session.submit(")sic");
    }
}

TEST_F(SessionFixture, ChangedEarlierLinesRunAgainInOrderAndAreRestored) {
    session.start();       // lines 0-3
    session.submit(")a");  // 3 input, 4 message, 5 prompt
    session.submit(")b");  // 5, 6, 7
    ASSERT_EQ(transcript.readLine(5), "      )b");
    session.editLine(5, "      )d");
    session.editLine(3, "      )c");
    session.editLine(5, "      )dd");  // the first keystroke's text is what is kept
    session.editLine(0, "banner edits are not recorded");
    EXPECT_EQ(session.editedLines().count(), 2);
    transcript.caretToEnd();
    transcript.append("   )e   ");  // pending on the input line
    transcript.select(0, 0);         // Enter works wherever the caret is
    session.enter();
    EXPECT_EQ(text(),
              "banner edits are not recorded\r\n      CLEAR WS\r\n\r\n"
              "      )a\r\nincorrect command\r\n"
              "      )b\r\nincorrect command\r\n"
              "      )c\r\nincorrect command\r\n"
              "      )dd\r\nincorrect command\r\n"
              "      )e\r\nincorrect command\r\n"
              "      ");
    EXPECT_TRUE(session.editedLines().empty());

    // With a blank input line only the changed line runs; an output line
    // runs as it stands, without a prompt.
    session.editLine(4, "\t)f");
    session.enter();
    EXPECT_EQ(transcript.readLine(4), "incorrect command");
    EXPECT_EQ(transcript.readLine(13), "\t)f");
    EXPECT_EQ(transcript.readLine(14), "incorrect command");
    EXPECT_EQ(transcript.readLine(15), "      ");
    EXPECT_EQ(transcript.lineCount(), 16);
}

TEST_F(SessionFixture, MoreChangedLinesThanTheTableHoldsAreReported) {
    session.start();
    for (int i = 0; i <= EditedLines::kCapacity; ++i) session.submit("// " + std::to_string(i));
    int first = 3;
    for (int i = 0; i <= EditedLines::kCapacity; ++i) session.editLine(first + i, "      )x");
    EXPECT_TRUE(session.editedLines().overflowed());
    session.enter();
    std::string all = text();
    std::size_t runs = 0;
    for (std::size_t at = all.find("incorrect command"); at != std::string::npos;
         at = all.find("incorrect command", at + 1))
        ++runs;
    EXPECT_EQ(runs, static_cast<std::size_t>(EditedLines::kCapacity));
    EXPECT_NE(all.find("more than 100 earlier lines were changed: only the first 100 ran again\r\n      "),
              std::string::npos);
    EXPECT_TRUE(all.ends_with("\r\n      "));
}

// What a stream front end writes for a sequence of session pieces.
std::string streamed(TerminalText::Mode mode, const std::vector<std::pair<Piece, std::string>>& pieces) {
    TerminalText text(mode);
    std::string out;
    for (const auto& [piece, s] : pieces) text.put(piece, s, out);
    text.finish(out);
    return out;
}

TEST(TerminalText, BatchWritesTheTranscriptAndTheTerminalLeavesOutWhatReadlineShowed) {
    const std::vector<std::pair<Piece, std::string>> run = {
        {Piece::Output, "WOX version 0.2\r\n      CLEAR WS\r\n"},
        {Piece::Prompt, "\r\n      "},
        {Piece::Echo, "1+2"},
        {Piece::Output, "\r\n3\r"},  // a "\r\n" split between two writes
        {Piece::Output, "\n4"},
        {Piece::Prompt, "\r\n      "},
        {Piece::Echo, "x<-1"},
        {Piece::Prompt, "\r\n      "},
        {Piece::Echo, "'a\rb'"},
        {Piece::Output, "\r\na\rb"},
        {Piece::Prompt, "\r\n      "},
    };
    EXPECT_EQ(streamed(TerminalText::Mode::Batch, run),
              "WOX version 0.2\n      CLEAR WS\n\n      1+2\n3\n4\n      x<-1\n      'a\rb'\na\rb\n      ");
    EXPECT_EQ(streamed(TerminalText::Mode::Interactive, run),
              "WOX version 0.2\n      CLEAR WS\n\n3\n4\na\rb\n");
}

TEST(TerminalText, QuietWritesOnlyWhatLinesProduceOneBreakAfterEach) {
    const std::vector<std::pair<Piece, std::string>> run = {
        {Piece::Output, "WOX version 0.2\r\n      CLEAR WS\r\n"},
        {Piece::Prompt, "\r\n      "},
        {Piece::Echo, "1+2"},
        {Piece::Output, "\r\n3\r"},
        {Piece::Output, "\n4"},
        {Piece::Prompt, "\r\n      "},
        {Piece::Echo, "x<-1"},  // nothing to show, no empty line either
        {Piece::Prompt, "\r\n      "},
        {Piece::Echo, "0/1"},   // an empty result shows as an empty line
        {Piece::Output, "\r\n"},
        {Piece::Prompt, "\r\n      "},
        {Piece::Echo, "1+'a'"},
        {Piece::Output, "\r\ndomain error\r\n      1+'a'\r\n       ^"},
        {Piece::Prompt, "\r\n      "},
    };
    std::string out = streamed(TerminalText::Mode::Quiet, run);
    EXPECT_EQ(out, "3\n4\n\ndomain error\n      1+'a'\n       ^\n");
    TerminalText quiet(TerminalText::Mode::Quiet);
    std::string tail;
    quiet.close(tail);
    EXPECT_EQ(tail, "");
    TerminalText batch(TerminalText::Mode::Batch);
    batch.close(tail);
    EXPECT_EQ(tail, "\n");
}

TEST_F(SessionFixture, FailedLinesAreCountedForTheExitStatus) {
    session.start();
    EXPECT_FALSE(session.anyLineFailed());
    session.submit("1+2");
    session.submit("x<-3");
    session.submit("");
    EXPECT_FALSE(session.lastLineFailed());
    EXPECT_FALSE(session.anyLineFailed());
    session.submit("1+'a'");
    EXPECT_TRUE(session.lastLineFailed());
    session.submit("2+2");
    EXPECT_FALSE(session.lastLineFailed());
    EXPECT_TRUE(session.anyLineFailed()) << "one failed line fails the run";

    Interpreter other;
    TextTranscript t2;
    Session s2(other, t2);
    s2.start();
    s2.submit(")nosuchcommand");
    EXPECT_TRUE(s2.lastLineFailed());

    Interpreter third;
    TextTranscript t3;
    Session s3(third, t3);
    s3.start();
    s3.submit("{broken");
    EXPECT_TRUE(s3.anyLineFailed());
    Interpreter fourth;
    TextTranscript t4;
    Session s4(fourth, t4);
    s4.start();
    s4.submit(std::string(kLineBuffer + 1, '1'));
    EXPECT_TRUE(s4.anyLineFailed()) << "a line too long to run";
}

TEST(LineReader, SplitsAnyBytesAndCutsOverlongLines) {
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    std::string input("one\r\n\ntwo\0three\n", 16);
    input.append(100, 'x');
    input += "\nlast\r";
    ASSERT_EQ(write(fds[1], input.data(), input.size()), static_cast<ssize_t>(input.size()));
    close(fds[1]);
    LineReader reader(fds[0], 50);
    std::string line;
    std::vector<std::string> lines;
    std::vector<bool> cuts;
    while (reader.next(line)) {
        lines.push_back(line);
        cuts.push_back(reader.cut());
    }
    close(fds[0]);
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[2], std::string("two\0three", 9));
    EXPECT_EQ(lines[3], std::string(50, 'x'));
    EXPECT_TRUE(cuts[3]);
    EXPECT_EQ(lines[4], "last");
    EXPECT_FALSE(cuts[4]);
    EXPECT_EQ(reader.error(), 0);
}

}  // namespace
}  // namespace wox::session
