#include "session/transcript.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

namespace wox::session {
namespace {

TEST(TextTranscript, LinesSplitAtBreaksAndKeepTheLastLineOpen) {
    TextTranscript t;
    EXPECT_EQ(t.lineCount(), 1);
    EXPECT_EQ(t.readLine(0), "");
    t.append("first\r\nsecond\nthird\r");
    EXPECT_EQ(t.lineCount(), 3);
    EXPECT_EQ(t.readLine(0), "first");
    EXPECT_EQ(t.readLine(1), "second");
    EXPECT_EQ(t.readLine(2), "third\r");  // a lone "\r" is no break
    t.append("\n");                       // completes the "\r\n" across appends
    EXPECT_EQ(t.readLine(2), "third");
    EXPECT_EQ(t.lineCount(), 4);
    EXPECT_EQ(t.lineStart(1), 7u);
    EXPECT_EQ(t.lineLength(1), 6u);
    EXPECT_EQ(t.readLine(9), "");
    EXPECT_EQ(t.readLine(-1), "");
    EXPECT_EQ(t.wholeText(), "first\r\nsecond\nthird\r\n");
}

TEST(TextTranscript, AppendReplacesTheSelection) {
    TextTranscript t;
    t.append("a\r\nbb\r\n      input");
    t.selectLine(1);
    t.append("changed");
    EXPECT_EQ(t.wholeText(), "a\r\nchanged\r\n      input");
    EXPECT_EQ(t.caretLine(), 1);
    t.selectInputLine();
    t.append("x\r\ny");  // a replacement may bring new lines
    EXPECT_EQ(t.lineCount(), 4);
    EXPECT_EQ(t.readLine(2), "x");
    EXPECT_EQ(t.readLine(3), "y");
    t.select(0, 1);
    t.append("");
    EXPECT_EQ(t.readLine(0), "");
    EXPECT_EQ(t.lineCount(), 4);
    t.select(0, 2);  // removing a break joins two lines
    t.append("");
    EXPECT_EQ(t.readLine(0), "changed");
    EXPECT_EQ(t.lineCount(), 3);
    t.caretToEnd();
    EXPECT_EQ(t.selectionStart(), t.wholeText().size());
}

TEST(TextTranscript, RetentionDropsOldLinesButKeepsNumbering) {
    TextTranscript t(100);
    for (int i = 0; i < 50; ++i) t.append("line " + std::to_string(i) + "\r\n");
    t.append("      ");
    EXPECT_EQ(t.lineCount(), 51);
    EXPECT_LE(t.wholeText().size(), 200u);
    EXPECT_EQ(t.readLine(49), "line 49");
    EXPECT_EQ(t.readLine(50), "      ");
    EXPECT_EQ(t.readLine(0), "");  // forgotten
    EXPECT_EQ(t.lineStart(49), t.lineStart(50) - 9);
    EXPECT_EQ(t.caretLine(), 50);
    // One line longer than the whole allowance stays whole.
    t.append(std::string(1000, 'x'));
    EXPECT_EQ(t.lineLength(50), 1006u);
}

TEST(TextTranscript, ABillionLinesLaterNumberingStartsAgainWithoutOverflow) {
    TextTranscript t(100);
    t.countForgottenLines(TextTranscript::kRenumberAt - 3);
    EXPECT_EQ(t.lineCount(), TextTranscript::kRenumberAt - 2);
    // Enough lines to be forgotten past the limit, and on towards 2^31.
    for (int i = 0; i < 200; ++i) {
        t.append("line " + std::to_string(i) + "\r\n");
        ASSERT_GT(t.lineCount(), 0);
        ASSERT_EQ(t.readLine(t.lineCount() - 2), "line " + std::to_string(i));
    }
    EXPECT_LT(t.lineCount(), 400) << "numbering started again";
    t.append("      input");
    EXPECT_EQ(t.readLine(t.lineCount() - 1), "      input");
    EXPECT_EQ(t.caretLine(), t.lineCount() - 1);

    // Right below 2^31 as well.
    TextTranscript edge(100);
    edge.countForgottenLines(std::numeric_limits<int>::max() - 1000);
    for (int i = 0; i < 2000; ++i) edge.append("some line\r\n");
    EXPECT_GT(edge.lineCount(), 0);
    EXPECT_EQ(edge.readLine(edge.lineCount() - 2), "some line");
}

}  // namespace
}  // namespace wox::session
