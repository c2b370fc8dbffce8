#include "frontend/function_header.h"

#include <gtest/gtest.h>

#include "values/messages.h"

namespace wox::frontend {
namespace {

using Names = std::vector<std::string>;

FunctionHeader parsed(std::string_view text) {
    FunctionHeader h;
    Rc rc = parseHeader(text, h);
    EXPECT_EQ(rc.code, 0) << '"' << text << '"';
    return h;
}

int errorOf(std::string_view text) {
    FunctionHeader h;
    return parseHeader(text, h).code;
}

TEST(FunctionHeader, EveryFormWithAndWithoutResult) {
    FunctionHeader h = parsed("f");
    EXPECT_EQ(h.name, "f");
    EXPECT_EQ(h.valence, 0);
    EXPECT_TRUE(h.result.empty() && h.left.empty() && h.right.empty() && h.locals.empty());

    h = parsed("z<-f");
    EXPECT_EQ(h.result, "z");
    EXPECT_EQ(h.valence, 0);

    h = parsed("f x");
    EXPECT_EQ(h.valence, 1);
    EXPECT_EQ(h.right, Names{"x"});
    EXPECT_FALSE(h.rightIsList);

    h = parsed("r<-f x");
    EXPECT_EQ(h.result, "r");
    EXPECT_EQ(h.right, Names{"x"});

    h = parsed("y f x");
    EXPECT_EQ(h.valence, 2);
    EXPECT_EQ(h.left, Names{"y"});
    EXPECT_EQ(h.name, "f");
    EXPECT_EQ(h.right, Names{"x"});

    h = parsed("z<-y f x");
    EXPECT_EQ(h.result, "z");
    EXPECT_EQ(h.valence, 2);
}

TEST(FunctionHeader, ListsLocalsAndSpacing) {
    FunctionHeader h = parsed("res<-(a;b) Fn_2 (c;d1;e_e);loc;[]IO");
    EXPECT_EQ(h.result, "res");
    EXPECT_EQ(h.left, (Names{"a", "b"}));
    EXPECT_TRUE(h.leftIsList);
    EXPECT_EQ(h.name, "Fn_2");
    EXPECT_EQ(h.right, (Names{"c", "d1", "e_e"}));
    EXPECT_TRUE(h.rightIsList);
    EXPECT_EQ(h.locals, (Names{"loc", "[]IO"}));
    EXPECT_EQ(h.valence, 2);

    h = parsed("  z \t<-  y   f\tx ; a ;  b  ");
    EXPECT_EQ(h.result, "z");
    EXPECT_EQ(h.left, Names{"y"});
    EXPECT_EQ(h.right, Names{"x"});
    EXPECT_EQ(h.locals, (Names{"a", "b"}));

    h = parsed("f( a ; b )");  // a list needs no blank before it
    EXPECT_EQ(h.right, (Names{"a", "b"}));
    h = parsed("f (a)");
    EXPECT_EQ(h.right, Names{"a"});
    EXPECT_TRUE(h.rightIsList);
    h = parsed("f;a;b");
    EXPECT_EQ(h.valence, 0);
    EXPECT_EQ(h.locals, (Names{"a", "b"}));
}

TEST(FunctionHeader, MissingNamesAreError8) {
    for (const char* t : {"", "   ", "z<-", "z<- ", "1f x", "z<-2 f", "f x;", "f x;;a", "f x;1",
                          "f (a;)", "f ()", "f (;a)", "f x;[]", "f x;[]1", "_f", "<-f",
                          "z<-[]IO x"}) {
        EXPECT_EQ(errorOf(t), kNameMustStartWithLetter) << '"' << t << '"';
    }
}

TEST(FunctionHeader, CharactersOutOfPlaceAreError23) {
    for (const char* t : {"f x y z", "(a;b)", "y (f) x", "f x<-y", "f x $", "f_ x", "f x_",
                          "z<-f x;a_", "f x;a b", "f (a;b", "f (a b)", "(a;b)<-f x", "z<-r<-f x",
                          "f 1", "f x)", "f [] x"}) {
        EXPECT_EQ(errorOf(t), kDefinitionError) << '"' << t << '"';
    }
}

TEST(FunctionHeader, ReservedWordsAndRepeatedNamesAreError23) {
    for (const char* t : {"if x", "z<-f while", "z<-f x;case", "for<-f x", "else f x",
                          "y f y", "z<-f z", "z<-f x;x", "f f", "z<-f x;a;a", "(a;a) f x",
                          "z<-f x;[]IO;[]IO"}) {
        EXPECT_EQ(errorOf(t), kDefinitionError) << '"' << t << '"';
    }
    // Names that only contain a reserved word are fine.
    EXPECT_EQ(parsed("z<-iff x;forx;cases").locals, (Names{"forx", "cases"}));
}

TEST(FunctionHeader, FailureLeavesTheOutputEmpty) {
    FunctionHeader h = parsed("z<-y f x;a");
    EXPECT_TRUE(parseHeader("z<-y f x;", h).failed());
    EXPECT_TRUE(h.name.empty());
    EXPECT_TRUE(h.locals.empty());
    EXPECT_EQ(h.valence, 0);
}

}  // namespace
}  // namespace wox::frontend
