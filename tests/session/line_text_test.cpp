#include "session/line_text.h"

#include <gtest/gtest.h>

namespace wox::session {
namespace {

TEST(LineText, CommentsEndOutsideQuotesOnly) {
    EXPECT_EQ(stripComment("1+2 // sum"), "1+2 ");
    EXPECT_EQ(stripComment("//all comment"), "");
    EXPECT_EQ(stripComment("'a//b' // c"), "'a//b' ");
    EXPECT_EQ(stripComment("'it''s // here' // c"), "'it''s // here' ");
    EXPECT_EQ(stripComment("'unclosed // still text"), "'unclosed // still text");
    EXPECT_EQ(stripComment("a/b/c"), "a/b/c");
    EXPECT_EQ(stripComment("x<-1\r\n"), "x<-1");
    EXPECT_EQ(stripComment("x/"), "x/");
}

TEST(LineText, ClassifiesByFirstCharactersAfterBlanks) {
    struct Case {
        const char* line;
        LineKind kind;
        const char* text;
    };
    const Case cases[] = {
        {"", LineKind::Empty, ""},
        {" \t  ", LineKind::Empty, ""},
        {"      // just a note", LineKind::Empty, ""},
        {"      )clear", LineKind::SystemCommand, "clear"},
        {"\t)LOAD  ws ", LineKind::SystemCommand, "LOAD  ws "},
        {"  @. f ", LineKind::OpenEditor, " f "},
        {"{f}", LineKind::Braces, "{f}"},
        {"  {f: x+1} // def", LineKind::Braces, "{f: x+1} "},
        {"->3", LineKind::LeaveSuspended, "3"},
        {"   ->", LineKind::LeaveSuspended, ""},
        {"      1+2", LineKind::Expression, "1+2"},
        {"x<-'//' // c", LineKind::Expression, "x<-'//' "},
        {"-3", LineKind::Expression, "-3"},
        {"@x", LineKind::Expression, "@x"},
        {"a)b", LineKind::Expression, "a)b"},
    };
    for (const Case& c : cases) {
        ClassifiedLine got = classifyLine(c.line);
        EXPECT_EQ(got.kind, c.kind) << c.line;
        EXPECT_EQ(got.text, c.text) << c.line;
    }
    EXPECT_EQ(trimBlanks(" \t a b \t"), "a b");
}

}  // namespace
}  // namespace wox::session
