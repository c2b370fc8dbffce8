#include "frontend/direct_definition.h"

#include <gtest/gtest.h>

#include "values/messages.h"
#include "frontend/function_listing.h"
#include "frontend/function_text.h"
#include "frontend/line_machine.h"

namespace wox::frontend {
namespace {

using Lines = std::vector<std::string>;

bool knownFunction(std::string_view n) { return n == "sq" || n == "do" || n == "key"; }

Lines defined(std::string_view text) {
    DirectDefinition d;
    Rc rc = parseDirectDefinition(text, knownFunction, d);
    EXPECT_EQ(rc.code, 0) << text;
    return d.lines;
}

TEST(DirectDefinition, ArgumentsFollowTheUseOfXAndY) {
    EXPECT_EQ(defined("f: x+1}"), (Lines{"z<-f x", "z<-x+1"}));
    EXPECT_EQ(defined("g: y*x}"), (Lines{"z<-y g x", "z<-y*x"}));
    EXPECT_EQ(defined("h: y}"), (Lines{"z<-h y", "z<-y"}));
    EXPECT_EQ(defined("n: 42}"), (Lines{"z<-n", "z<-42"}));
    EXPECT_EQ(defined("k: a<-x; a*2}"), (Lines{"z<-k x;a", "a<-x", "z<-a*2"}));
    EXPECT_EQ(defined("m: z<-x}"), (Lines{"z<-m x", "z<-x"}));
    EXPECT_EQ(defined("p: z<-x; q<-z+1; q}"), (Lines{"z<-p x;q", "z<-x", "q<-z+1", "q"}));
    EXPECT_EQ(defined(" f2 : x+1 } \t"), (Lines{"z<-f2 x", "z<-x+1"}));
    EXPECT_EQ(defined("e: a<-1;; ;x}"), (Lines{"z<-e x;a", "a<-1", "z<-x"}));
}

TEST(DirectDefinition, LocalsAreTheOtherNamesInOrderOfUse) {
    // Function names (the caller's say), control words, labels and the
    // function's own name are not locals; each local is listed once.
    EXPECT_EQ(defined("q: b<-sq x+k; do b,k,key}"), (Lines{"z<-q x;b;k", "b<-sq x+k", "z<-do b,k,key"}));
    EXPECT_EQ(defined("fact: if (x<=1) {z<-1} else {z<-x*fact x-1}}"),
              (Lines{"z<-fact x", "if (x<=1) {z<-1} else {z<-x*fact x-1}"}));
    EXPECT_EQ(defined("c: s<-0; for (i: 1; x) {s<-s+i; if (s>9) break}; s}"),
              (Lines{"z<-c x;s;i", "s<-0", "for (i: 1; x) {s<-s+i; if (s>9) break}", "z<-s"}));
    EXPECT_EQ(defined("lp: top: x<-x-1; ->(x>0)/top; x}"),
              (Lines{"z<-lp x", "top: x<-x-1", "->(x>0)/top", "z<-x"}));
    // Quoted text, symbols, numbers, members and system names are not names.
    EXPECT_EQ(defined("t: 'abc d'; `sym`s2; 1e5 2j3 0n _7; d.col; x+[]TS}"),
              (Lines{"z<-t x;d", "'abc d'", "`sym`s2", "1e5 2j3 0n _7", "d.col", "z<-x+[]TS"}));
}

TEST(DirectDefinition, StatementsStartingWithSystemIoMakeItLocal) {
    EXPECT_EQ(defined("io: a<-x; []IO<-0; a[0]}"), (Lines{"z<-io x;a;[]IO", "a<-x", "[]IO<-0", "z<-a[0]"}));
    EXPECT_EQ(defined("o: if (x) {[]IO<-0}; 1}"), (Lines{"z<-o x;[]IO", "if (x) {[]IO<-0}", "z<-1"}));
    EXPECT_EQ(defined("r: y+[]IO}"), (Lines{"z<-r y", "z<-y+[]IO"}));
}

TEST(DirectDefinition, LastStatementTakesTheResultUnlessThatWouldBreakIt) {
    EXPECT_EQ(defined("w: while (x>0) x<-x-1}"), (Lines{"z<-w x", "while (x>0) x<-x-1"}));
    EXPECT_EQ(defined("b: ->0}"), (Lines{"z<-b", "->0"}));
    EXPECT_EQ(defined("blk: {x}}"), (Lines{"z<-blk x", "{x}"}));
    EXPECT_EQ(defined("lb: a<-x; done: a}"), (Lines{"z<-lb x;a", "a<-x", "done: z<-a"}));
    EXPECT_EQ(defined("lw: top: while (x>0) x<-x-1}"), (Lines{"z<-lw x", "top: while (x>0) x<-x-1"}));
    EXPECT_EQ(defined("le: a<-x; done:}"), (Lines{"z<-le x;a", "a<-x", "done:"}));
}

TEST(DirectDefinition, MalformedTextIsDefinitionError) {
    for (const char* bad : {"f: x+1", "f x+1}", ": x}", "1f: x}", "f_: x}", "if: x}", "f: (x+1}",
                            "f: x[1}", "f: x)+1}", "f: (x]}", "f: if (x) {1}", "f: 'abc}", "f: }",
                            "f:  ;  }", "x: x+1}", "z: 1}", "", "}", "f: x} y"}) {
        DirectDefinition d{"stale", {"stale"}};
        EXPECT_EQ(parseDirectDefinition(bad, knownFunction, d).code, kDefinitionError) << bad;
        EXPECT_TRUE(d.name.empty() && d.lines.empty()) << bad;
    }
    EXPECT_TRUE(startsDirectDefinition(" f : x}"));
    EXPECT_FALSE(startsDirectDefinition("f}"));
    EXPECT_FALSE(startsDirectDefinition("if: x}"));
    // Without a callback no name counts as a function.
    DirectDefinition d;
    ASSERT_TRUE(parseDirectDefinition("f: sq x}", nullptr, d).ok());
    EXPECT_EQ(d.lines.front(), "z<-f x;sq");
}

TEST(DirectDefinition, BodiesOverSeveralLinesKeepEachStatementOnOneLine) {
    DirectDefinition d;
    ASSERT_TRUE(buildDirectDefinition("acc", "a<-x\nif (a>0) {\n  b<-1\r\n} else {b<-2}\r\na+b", knownFunction, d).ok());
    EXPECT_EQ(d.name, "acc");
    EXPECT_EQ(d.lines, (Lines{"z<-acc x;a;b", "a<-x", "if (a>0) {;  b<-1;} else {b<-2}", "z<-a+b"}));

    // The lines define a function whose rewritten body runs as written.
    FunctionText f;
    FunctionHeader h;
    ASSERT_TRUE(makeFunctionText(d.lines, f, h).ok());
    EXPECT_EQ(h.locals, (Lines{"a", "b"}));
    ControlRewrite rw;
    ASSERT_TRUE(makeExecutable(f, 1, rw).ok());
    for (long x : {5L, -5L}) {
        testing::LineMachine m;
        m.vars["x"] = {x};
        ASSERT_TRUE(m.run(f.executable));
        EXPECT_EQ(m.vars["z"], testing::Vec{x + (x > 0 ? 1 : 2)});
    }
}

TEST(DirectDefinition, ReplyListingOfTheDefinedFunction) {
    DirectDefinition d;
    ASSERT_TRUE(parseDirectDefinition("f: x+1}", knownFunction, d).ok());
    FunctionText f;
    FunctionHeader h;
    ASSERT_TRUE(makeFunctionText(d.lines, f, h).ok());
    ControlRewrite rw;
    ASSERT_TRUE(makeExecutable(f, 1, rw).ok());
    EXPECT_EQ(functionListing(f),
              "----------f----------\r\n[0]   z<-f x\r\n[1]   z<-x+1\r\n--------------------");
}

TEST(DirectDefinition, BraceRequestTellsDefinitionFromListing) {
    EXPECT_EQ(braceRequest("{f: x+1}"), BraceRequest::Definition);
    EXPECT_EQ(braceRequest(" \t{ sum2 :x+y}"), BraceRequest::Definition);
    EXPECT_EQ(braceRequest("{f}"), BraceRequest::Listing);
    EXPECT_EQ(braceRequest("{f"), BraceRequest::Listing);
    // A control word is no function name, so "{if: ...}" defines nothing.
    EXPECT_EQ(braceRequest("{if: x}"), BraceRequest::Listing);
    EXPECT_EQ(braceRequest("{1f: x}"), BraceRequest::Listing);
    EXPECT_EQ(braceRequest("f: x}"), BraceRequest::None);
    EXPECT_EQ(braceRequest("x<-{f: 1}"), BraceRequest::None);
    EXPECT_EQ(braceRequest(""), BraceRequest::None);
}

}  // namespace
}  // namespace wox::frontend
