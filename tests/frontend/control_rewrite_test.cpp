#include "frontend/control_rewrite.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "values/messages.h"
#include "frontend/function_text.h"
#include "frontend/line_machine.h"

namespace wox::frontend {
namespace {

using Lines = std::vector<std::string>;
using testing::LineMachine;
using testing::Vec;

// A monadic function with the given body, rewritten with name numbers from `first`.
FunctionText rewritten(const Lines& body, int first = 5, ControlRewrite* details = nullptr) {
    Lines lines{"z<-f x"};
    lines.insert(lines.end(), body.begin(), body.end());
    FunctionText f;
    FunctionHeader h;
    EXPECT_TRUE(makeFunctionText(lines, f, h).ok());
    ControlRewrite rw;
    Rc rc = makeExecutable(f, first, rw);
    EXPECT_EQ(rc.code, 0) << "rewriting failed at tag " << rw.errorTag;
    if (details) *details = rw;
    return f;
}

Lines bodyTexts(const FunctionText& f) {
    Lines out;
    for (std::size_t i = 1; i < f.executable.size(); ++i) out.push_back(f.executable[i].text);
    return out;
}

Lines rewrite(const Lines& body, int first = 5) { return bodyTexts(rewritten(body, first)); }

// Runs the rewritten body with the given variables and returns the machine.
LineMachine run(const Lines& body, std::map<std::string, Vec> vars, long io = 1) {
    LineMachine m;
    m.vars = std::move(vars);
    m.io = io;
    EXPECT_TRUE(m.run(rewritten(body).executable)) << "the lines loop for ever";
    return m;
}

// The tag of the failing statement, after checking the failure is "defn error".
int failingTag(const Lines& body) {
    Lines lines{"z<-f x"};
    lines.insert(lines.end(), body.begin(), body.end());
    FunctionText f;
    FunctionHeader h;
    EXPECT_TRUE(makeFunctionText(lines, f, h).ok());
    ControlRewrite rw;
    EXPECT_EQ(makeExecutable(f, 5, rw).code, kDefinitionError) << body.front();
    EXPECT_TRUE(f.executable.empty());
    EXPECT_TRUE(rw.lines.empty());
    return rw.errorTag;
}

TEST(ControlRewrite, TemplatesProduceTheirExactLines) {
    EXPECT_EQ(rewrite({"if (x>0) y<-1"}), (Lines{"->(~x>0)/L1", "y<-1", "L1:"}));
    EXPECT_EQ(rewrite({"if (x>0) {y<-1} else {y<-2}"}),
              (Lines{"->(~x>0)/L1", "y<-1", "->L2", "L1:", "y<-2", "L2:"}));
    EXPECT_EQ(rewrite({"while (i<3) {i<-i+1}"}),
              (Lines{"L1:->(~i<3)/L2", "i<-i+1", "->L1", "L2:"}));
    EXPECT_EQ(rewrite({"for (i: 1; 5) {s<-s,i}"}),
              (Lines{"i<-(1)-1", "L1:->((5)<i<-i+1)/L2", "s<-s,i", "->L1", "L2:"}));
    EXPECT_EQ(rewrite({"for (i: a+1; n; 2) s<-s,i"}),
              (Lines{"i<-(a+1)-2", "L1:->((n)<i<-i+2)/L2", "s<-s,i", "->L1", "L2:"}));
    // A negative literal step counts down; any other step is kept, and its
    // direction taken, when the loop starts.
    EXPECT_EQ(rewrite({"for (i: 3; 1; _1) s<-s,i"}),
              (Lines{"i<-(3)-_1", "L1:->((1)>i<-i+_1)/L2", "s<-s,i", "->L1", "L2:"}));
    EXPECT_EQ(rewrite({"for (i: 1; 0.5; 1e_1) s<-s,i"}),
              (Lines{"i<-(1)-1e_1", "L1:->((0.5)<i<-i+1e_1)/L2", "s<-s,i", "->L1", "L2:"}));
    for (const char* step : {"k", "0", "_0", "0n", "1 2", "-1", "(1)"}) {
        EXPECT_EQ(rewrite({std::string("for (i: a; b; ") + step + ") s<-s,i"}),
                  (Lines{std::string("idx_s5<-") + step, "idx_d5<-1 0=~(1+*idx_s5)%2", "i<-(a)-idx_s5",
                         "L1:->(idx_d5/(i<idx_e5),(idx_e5<-b)<i<-i+idx_s5)/L2", "s<-s,i", "->L1", "L2:"}))
            << step;
    }
    EXPECT_EQ(rewrite({"for (v: 3 1 4) {s<-s,v}"}),
              (Lines{"idx_v5<-3 1 4", "->(0<##idx_v5)/L3", "idx_v5<-,idx_v5", "L3:idx_l5<-#idx_v5",
                     "idx_i5<-_1", "L1:->(idx_l5<=idx_i5<-idx_i5+1)/L2", "v<-idx_v5[idx_i5+[]IO]",
                     "s<-s,v", "->L1", "L2:"}));
    EXPECT_EQ(rewrite({"case (x) {(1 2) r<-10; (3) r<-20; else r<-30}"}),
              (Lines{"CS5<-x", "->(~CS5?(1 2))/L2", "r<-10", "->L1", "L2:->(~CS5?(3))/L3",
                     "r<-20", "->L1", "L3:", "r<-30", "L1:"}));
    EXPECT_EQ(rewrite({"case (x) {(1) r<-1; (2) r<-2}"}),
              (Lines{"CS5<-x", "->(~CS5?(1))/L2", "r<-1", "->L1", "L2:->(~CS5?(2))/L3", "r<-2",
                     "L3:", "L1:"}));
    EXPECT_EQ(rewrite({"while (1) {break; continue}"}),
              (Lines{"L1:->(~1)/L2", "->L2", "->L1", "->L1", "L2:"}));
}

TEST(ControlRewrite, GeneratedNamesCountFromTheRandomStartPerLoopOrCase) {
    ControlRewrite rw;
    FunctionText f = rewritten({"while (a) b", "for (v: l) c", "case (x) {(1) d}", "for (w: m) e"}, 7, &rw);
    Lines t = bodyTexts(f);
    EXPECT_EQ(t[4], "idx_v8<-l");
    EXPECT_EQ(t[14], "CS9<-x");
    EXPECT_EQ(t[19], "idx_v10<-m");
    EXPECT_EQ(rw.generatedNames,
              (Lines{"idx_v8", "idx_l8", "idx_i8", "CS9", "idx_v10", "idx_l10", "idx_i10"}));

    // Labels start afresh with every function; the name start comes from the source.
    EXPECT_EQ(rewrite({"if (a) b"}, 30).front(), "->(~a)/L1");
    EXPECT_EQ(firstNameNumber([] { return 0u; }), 1);
    EXPECT_EQ(firstNameNumber([] { return 29u; }), 30);
    EXPECT_EQ(firstNameNumber([] { return 30u; }), 1);
    EXPECT_EQ(firstNameNumber([] { return 0xFFFFFFFFu; }), int(0xFFFFFFFFu % 30) + 1);
}

TEST(ControlRewrite, BlocksSpanStatementsAndLines) {
    Lines whileLines{"L1:->(~i<3)/L2", "i<-i+1", "->L1", "L2:"};
    EXPECT_EQ(rewrite({"while (i<3) {", "i<-i+1", "}"}), whileLines);
    EXPECT_EQ(rewrite({"while (i<3)", "{", "  i<-i+1", "}"}), whileLines);
    EXPECT_EQ(rewrite({"if (x)", "{", "a<-1", "}", "else", "{", "a<-2", "}"}),
              (Lines{"->(~x)/L1", "a<-1", "->L2", "L1:", "a<-2", "L2:"}));
    // A single statement body may stand on the next line.
    EXPECT_EQ(rewrite({"if (x)", "y<-1"}), (Lines{"->(~x)/L1", "y<-1", "L1:"}));
    // A statement after a block on the same line comes after the block.
    EXPECT_EQ(rewrite({"if (a) {b<-1} c<-2"}), (Lines{"->(~a)/L1", "b<-1", "L1:", "c<-2"}));
    EXPECT_EQ(rewrite({"{a<-1; b<-2} c"}), (Lines{"a<-1", "b<-2", "c"}));
    // A one-statement body ends at the brace of the enclosing block.
    EXPECT_EQ(rewrite({"while (i<3) {if (i=1) break}"}),
              (Lines{"L1:->(~i<3)/L2", "->(~i=1)/L3", "->L2", "L3:", "->L1", "L2:"}));
    // Statements without control words pass through untouched.
    EXPECT_EQ(rewrite({"a<-1", "->L9", "L9: b<-'{;}'"}), (Lines{"a<-1", "->L9", "L9: b<-'{;}'"}));
}

TEST(ControlRewrite, ElseChainsAndLabelsInFront) {
    EXPECT_EQ(rewrite({"if (x=1) r<-10 else if (x=2) r<-20 else r<-30"}),
              (Lines{"->(~x=1)/L1", "r<-10", "->L2", "L1:", "->(~x=2)/L3", "r<-20", "->L4", "L3:",
                     "r<-30", "L4:", "L2:"}));
    // else belongs to the nearest if.
    EXPECT_EQ(rewrite({"if (a) if (b) c else d"}),
              (Lines{"->(~a)/L1", "->(~b)/L2", "c", "->L3", "L2:", "d", "L3:", "L1:"}));
    EXPECT_EQ(rewrite({"top: while (i<3) i<-i+1"}),
              (Lines{"top:", "L1:->(~i<3)/L2", "i<-i+1", "->L1", "L2:"}));
    // Quotes hide parentheses, braces and the word else.
    EXPECT_EQ(rewrite({"if (s='(') {t<-'} else {'}"}), (Lines{"->(~s='(')/L1", "t<-'} else {'", "L1:"}));
    // Names that merely contain a control word are ordinary names.
    EXPECT_EQ(rewrite({"iffy<-1", "elsewhere<-2", "if (a) x<-elsewhere+`else"}),
              (Lines{"iffy<-1", "elsewhere<-2", "->(~a)/L1", "x<-elsewhere+`else", "L1:"}));
}

TEST(ControlRewrite, LinesCarryTheTagOfTheirSourceLine) {
    FunctionText f = rewritten({"while (i<3) {", "i<-i+1; j<-j+1", "}", "k<-0"});
    std::vector<int> tags;
    for (const TaggedLine& l : f.executable) tags.push_back(l.tag);
    // header, L1:..., i<-i+1, j<-j+1, ->L1, L2:, k<-0
    EXPECT_EQ(tags, (std::vector<int>{0, 1, 2, 2, 3, 3, 4}));
}

TEST(ControlRewrite, MalformedStatementsAreDefinitionErrors) {
    for (const char* bad : {"break", "continue", "if (x) {break}", "if x>0 {y}", "while x",
                            "if (x>0", "if (x) {y", "}", "a<-1 }", "x<-{1}", "else y", "y else z",
                            "for (1i: 1; 5) a", "for (i 1; 5) a", "for (i: 1;; 5) a",
                            "for (i: 1; 2; 3; 4) a", "for (if: 1; 2) a", "for (i_: 1; 2) a",
                            "case (x) {else a; (1) b}", "case (x) (1) a", "case (x) {1 a}",
                            "case (x) {(1) a", "if (x)", "if ()", "if (a{b) c", "while (1) {break x}",
                            "if (x) {}}", "case (x)", "if (a) ( {b}"}) {
        failingTag({bad});
    }
    // The failing statement is named by its source line.
    EXPECT_EQ(failingTag({"a<-1", "b<-2", "break"}), 3);
    EXPECT_EQ(failingTag({"while (1) {", "a", "}", "continue"}), 4);
}

TEST(ControlRewrite, DeepNestingIsRefusedNotACrash) {
    std::string deep;
    for (int i = 0; i < 5000; ++i) deep += "if (1) ";
    deep += "a";
    failingTag({deep});
    std::string braces(5000, '{');
    failingTag({braces + "a" + std::string(5000, '}')});
    // Ordinary nesting is fine.
    std::string fine;
    for (int i = 0; i < 50; ++i) fine += "if (1) ";
    EXPECT_EQ(rewrite({fine + "a"}).size(), 101u);
}

// ---- What the rewritten lines do ------------------------------------------

TEST(ControlRewriteRun, IfElseAndWhile) {
    Lines ifElse{"if (x>0) {y<-1} else {y<-2}"};
    EXPECT_EQ(run(ifElse, {{"x", {5}}}).vars["y"], Vec{1});
    EXPECT_EQ(run(ifElse, {{"x", {-5}}}).vars["y"], Vec{2});
    EXPECT_EQ(run({"i<-0", "while (i<3) {i<-i+1}"}, {}).vars["i"], Vec{3});
    EXPECT_EQ(run({"i<-5", "while (i<3) {i<-i+1}"}, {}).vars["i"], Vec{5});
}

TEST(ControlRewriteRun, RangeLoops) {
    EXPECT_EQ(run({"for (i: 1; 5) {s<-s,i}"}, {{"s", {}}}).vars["s"], (Vec{1, 2, 3, 4, 5}));
    EXPECT_EQ(run({"for (i: 1; 5; 2) {s<-s,i}"}, {{"s", {}}}).vars["s"], (Vec{1, 3, 5}));
    LineMachine none = run({"for (i: 5; 1) {s<-s,i}", "after<-1"}, {{"s", {}}});
    EXPECT_EQ(none.vars["s"], Vec{});
    EXPECT_EQ(none.vars["after"], Vec{1});
    // Counting down runs while i >= end, so a loop from its end runs once.
    EXPECT_EQ(run({"for (i: 3; 1; _1) {s<-s,i}"}, {{"s", {}}}).vars["s"], (Vec{3, 2, 1}));
    EXPECT_EQ(run({"for (i: 5; 1; _2) {s<-s,i}"}, {{"s", {}}}).vars["s"], (Vec{5, 3, 1}));
    EXPECT_EQ(run({"for (i: 1; 1; _1) {s<-s,i}"}, {{"s", {}}}).vars["s"], (Vec{1}));
    EXPECT_EQ(run({"for (i: 1; 3; _1) {s<-s,i}"}, {{"s", {}}}).vars["s"], (Vec{}));
}

TEST(ControlRewriteRun, ListLoopsVisitEveryElementOnceInEitherOrigin) {
    Lines loop{"for (v: list) {s<-s,v}", "after<-1"};
    for (long io : {0L, 1L}) {
        LineMachine m = run(loop, {{"s", {}}, {"list", {3, 1, 4}}}, io);
        EXPECT_EQ(m.vars["s"], (Vec{3, 1, 4})) << "[]IO " << io;
        EXPECT_EQ(m.vars["after"], Vec{1});
        // An empty list runs the body no time and goes on after the loop.
        LineMachine empty = run(loop, {{"s", {}}, {"list", {}}}, io);
        EXPECT_EQ(empty.vars["s"], Vec{});
        EXPECT_EQ(empty.vars["after"], Vec{1}) << "[]IO " << io;
    }
    // continue steps to the next element rather than repeating this one.
    EXPECT_EQ(run({"for (v: 1 2 3 4) {if (v=2) continue; s<-s,v}"}, {{"s", {}}}).vars["s"],
              (Vec{1, 3, 4}));
    // Nested list loops keep their own lists and indices.
    EXPECT_EQ(run({"for (a: 1 2) for (b: 10 20) s<-s,a+b"}, {{"s", {}}}).vars["s"],
              (Vec{11, 21, 12, 22}));
}

TEST(ControlRewriteRun, BreakAndContinueActOnTheInnermostLoop) {
    Lines whileBody{"i<-0", "while (i<10) {i<-i+1; if (i=3) continue; if (i=5) break; s<-s,i}"};
    LineMachine w = run(whileBody, {{"s", {}}});
    EXPECT_EQ(w.vars["s"], (Vec{1, 2, 4}));
    EXPECT_EQ(w.vars["i"], Vec{5});

    Lines nested{"for (i: 1; 3) {", "  for (j: 1; 3) {", "    if (j=2) break", "    s<-s,j+10*i",
                 "  }", "  t<-t,i", "}"};
    LineMachine n = run(nested, {{"s", {}}, {"t", {}}});
    EXPECT_EQ(n.vars["s"], (Vec{11, 21, 31}));
    EXPECT_EQ(n.vars["t"], (Vec{1, 2, 3}));

    Lines skip{"for (i: 1; 2) {for (j: 1; 3) {if (j=2) continue; s<-s,j+10*i}; if (i=1) continue; t<-i}"};
    LineMachine k = run(skip, {{"s", {}}, {"t", {0}}});
    EXPECT_EQ(k.vars["s"], (Vec{11, 13, 21, 23}));
    EXPECT_EQ(k.vars["t"], Vec{2});
}

TEST(ControlRewriteRun, CaseRunsTheFirstMatchingAlternativeElseTheFallback) {
    Lines sel{"case (x) {", "(1 2) r<-10", "(2 3) r<-20", "else r<-30", "}", "after<-1"};
    EXPECT_EQ(run(sel, {{"x", {1}}}).vars["r"], Vec{10});
    EXPECT_EQ(run(sel, {{"x", {2}}}).vars["r"], Vec{10});
    EXPECT_EQ(run(sel, {{"x", {3}}}).vars["r"], Vec{20});
    LineMachine other = run(sel, {{"x", {9}}});
    EXPECT_EQ(other.vars["r"], Vec{30});
    EXPECT_EQ(other.vars["after"], Vec{1});

    Lines noElse{"r<-0", "case (x) {(1) {r<-1}; (2) {r<-2}}"};
    EXPECT_EQ(run(noElse, {{"x", {2}}}).vars["r"], Vec{2});
    EXPECT_EQ(run(noElse, {{"x", {7}}}).vars["r"], Vec{0});

    // break inside a case leaves the loop around it.
    Lines inLoop{"for (i: 1; 9) {case (i) {(4) break; else s<-s,i}}"};
    EXPECT_EQ(run(inLoop, {{"s", {}}}).vars["s"], (Vec{1, 2, 3}));
}

}  // namespace
}  // namespace wox::frontend
