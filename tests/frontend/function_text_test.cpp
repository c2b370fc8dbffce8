#include "frontend/function_text.h"

#include <gtest/gtest.h>

#include "values/messages.h"
#include "frontend/function_listing.h"

namespace wox::frontend {
namespace {

using Lines = std::vector<std::string>;

std::vector<TaggedLine> statementsOf(const Lines& lines) {
    return makeStatements(sourceLines(lines));
}

TEST(FunctionText, StatementsDropCommentsAndEmptyLinesAndSplitBodyLines) {
    Lines src{"z<-f x;a;b  // the header is never split",
              "a<-1; b<-2   // two statements",
              "",
              "   // only a comment",
              "c<-'a;b//c'; d<-x[1;2]; e<-(1;2)",
              "  ;; ",
              "s<-'it''s'//gone",
              "L1: ->L1\r\n"};
    std::vector<TaggedLine> st = statementsOf(src);
    std::vector<TaggedLine> want{{"z<-f x;a;b", 0}, {"a<-1", 1},          {"b<-2", 1},
                                 {"c<-'a;b//c'", 4}, {"d<-x[1;2]", 4},    {"e<-(1;2)", 4},
                                 {"s<-'it''s'", 6},  {"L1: ->L1", 7}};
    EXPECT_EQ(st, want);
}

TEST(FunctionText, TheHeaderEntryStaysEvenWhenEmpty) {
    std::vector<TaggedLine> st = statementsOf({"// nothing", "a"});
    ASSERT_EQ(st.size(), 2u);
    EXPECT_EQ(st[0], (TaggedLine{"", 0}));
    EXPECT_TRUE(statementsOf({}).empty());
    // Braces do not protect a ";": blocks may span statements.
    EXPECT_EQ(statementsOf({"h", "if (a) {b; c}"}).size(), 3u);
    // An unterminated quote hides the rest of its line.
    EXPECT_EQ(statementsOf({"h", "a<-'x;y // z"})[1].text, "a<-'x;y // z");
    // A stray closer does not stop later splitting.
    EXPECT_EQ(statementsOf({"h", "a) ; b"}).size(), 3u);
}

TEST(FunctionText, MakeFunctionTextNamesTheFunctionFromItsHeader) {
    FunctionText f;
    FunctionHeader h;
    ASSERT_TRUE(makeFunctionText(Lines{"z<-y plus x // adds", "z<-y+x"}, f, h).ok());
    EXPECT_EQ(f.name, "plus");
    EXPECT_EQ(h.valence, 2);
    EXPECT_EQ(f.source, (std::vector<TaggedLine>{{"z<-y plus x // adds", -1}, {"z<-y+x", -1}}));
    EXPECT_EQ(f.statements.size(), 2u);
    EXPECT_TRUE(f.executable.empty());

    FunctionText untouched = f;
    EXPECT_EQ(makeFunctionText(Lines{}, f, h).code, kFunctionWithoutLines);
    EXPECT_EQ(makeFunctionText(Lines{"// no header", "a"}, f, h).code, kNameMustStartWithLetter);
    EXPECT_EQ(makeFunctionText(Lines{"z<-f x y z"}, f, h).code, kDefinitionError);
    EXPECT_EQ(f, untouched);
}

TEST(FunctionText, ExecutableIsTheHeaderAndTheRewrittenBody) {
    FunctionText f;
    FunctionHeader h;
    ASSERT_TRUE(makeFunctionText(Lines{"z<-f x", "z<-0; for (v: x) {", "z<-z+v}"}, f, h).ok());
    ControlRewrite rw;
    ASSERT_TRUE(makeExecutable(f, [] { return 41u; }, rw).ok());  // 41 % 30 + 1 = 12
    std::vector<TaggedLine> want{{"z<-f x", 0},
                                 {"z<-0", 1},
                                 {"idx_v12<-x", 1},
                                 {"->(0<##idx_v12)/L3", 1},
                                 {"idx_v12<-,idx_v12", 1},
                                 {"L3:idx_l12<-#idx_v12", 1},
                                 {"idx_i12<-_1", 1},
                                 {"L1:->(idx_l12<=idx_i12<-idx_i12+1)/L2", 1},
                                 {"v<-idx_v12[idx_i12+[]IO]", 1},
                                 {"z<-z+v", 2},
                                 {"->L1", 2},
                                 {"L2:", 2}};
    EXPECT_EQ(f.executable, want);
    EXPECT_EQ(rw.generatedNames, (Lines{"idx_v12", "idx_l12", "idx_i12"}));

    // Lines the for wrote are shown as the statement the user wrote: a
    // column in copied text moves with it, any other to what the line stands
    // for (here the list); the body's own lines are shown as they are.
    ASSERT_EQ(f.origins.size(), f.executable.size());
    EXPECT_EQ(shownLine(f, 2, 9).text, "for (v: x) {");
    EXPECT_EQ(shownLine(f, 2, 9).column, 8);  // the x of idx_v12<-x
    EXPECT_EQ(shownLine(f, 5, 2).column, 8);
    EXPECT_EQ(shownLine(f, 8, 2).column, 5);  // v<-idx_v12[...] stands for v
    EXPECT_EQ(shownLine(f, 9, 4).text, "z<-z+v");
    EXPECT_EQ(shownLine(f, 9, 4).column, 4);
    EXPECT_EQ(shownLine(f, 1, 3).text, "z<-0");
    EXPECT_EQ(shownLine(f, 99, 3).text, "");

    // Remaking list 3 replaces it; a failure leaves it empty.
    f.statements.push_back({"break", 3});
    EXPECT_EQ(makeExecutable(f, 1, rw).code, kDefinitionError);
    EXPECT_TRUE(f.executable.empty());
    EXPECT_EQ(rw.errorTag, 3);
    FunctionText none;
    EXPECT_EQ(makeExecutable(none, 1, rw).code, kFunctionWithoutLines);
}

TEST(FunctionListing, TitleNumberedLinesAndClosingRow) {
    std::vector<TaggedLine> lines{{"z<-sq x", 0}, {"z<-x*x", 1}};
    EXPECT_EQ(functionListing("sq", lines),
              "---------sq---------\r\n"
              "[0]   z<-sq x\r\n"
              "[1]   z<-x*x\r\n"
              "--------------------");
    FunctionText f{"sq", {}, {}, lines, {}};
    EXPECT_EQ(functionListing(f), functionListing("sq", lines));
    EXPECT_EQ(functionListing("f", {}), "----------f----------\r\n--------------------");
}

TEST(FunctionListing, NumbersAlignInTheWidestNumber) {
    std::vector<TaggedLine> lines(12, TaggedLine{"a", 1});
    std::string l = functionListing("g", lines);
    EXPECT_NE(l.find("\r\n[ 0]  a\r\n[ 1]  a\r\n"), std::string::npos);
    EXPECT_NE(l.find("\r\n[11]  a\r\n---"), std::string::npos);

    lines.resize(1000, TaggedLine{"a", 1});
    l = functionListing("g", lines);
    EXPECT_NE(l.find("\r\n[  0] a\r\n"), std::string::npos);
    EXPECT_NE(l.find("\r\n[999] a\r\n"), std::string::npos);
    lines.resize(1001, TaggedLine{"a", 1});
    l = functionListing("g", lines);
    EXPECT_NE(l.find("\r\n[   7] a\r\n"), std::string::npos);
    EXPECT_NE(l.find("\r\n[1000] a\r\n"), std::string::npos);
}

TEST(FunctionListing, TitleDashesShrinkWithLongNames) {
    auto title = [](std::size_t n) {
        std::string l = functionListing(std::string(n, 'n'), {});
        return l.substr(0, l.find('\r'));
    };
    EXPECT_EQ(title(3), std::string(9, '-') + "nnn" + std::string(9, '-'));
    EXPECT_EQ(title(19), "-" + std::string(19, 'n') + "-");
    EXPECT_EQ(title(20), std::string(20, 'n'));
    EXPECT_EQ(title(45), std::string(45, 'n'));
}

TEST(FunctionListing, ReservedFunctionLine) {
    EXPECT_EQ(reservedFunctionLine("do"), "`do is a reserved function.");
}

}  // namespace
}  // namespace wox::frontend
