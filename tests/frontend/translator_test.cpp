// Line translation: the structure of translated lines, the codes the
// scanner folds, literals, names, branch lines and labels, and every way a
// line can fail, including full tables.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "engine/interpreter.h"
#include "frontend/line_dump.h"
#include "frontend/name_table.h"
#include "frontend/translator.h"

namespace wox::frontend {
namespace {

using testing::chainText;

// The translated line as text, or "E<code>@<position>".
std::string tr(Interpreter& in, std::string_view line, int owner = -1) {
    TranslatedLine t;
    Rc rc = translateLine(in.frontEnd(), line, owner, 1, &t);
    if (rc.failed()) return "E" + std::to_string(rc.code) + "@" + std::to_string(t.errorPos);
    return chainText(in, t.first);
}

// The single function code of a line "x <fn> y" or "<fn> y".
int code(Interpreter& in, std::string_view line) {
    TranslatedLine t;
    if (Rc rc = translateLine(in.frontEnd(), line, -1, 0, &t); rc.failed()) return -1000 - rc.code;
    for (int k = t.first; k >= 0; k = in.front.nodes[k].next) {
        const ParseNode& n = in.front.nodes[k];
        if (n.kind != kCallNode) continue;
        const FunctionEntry& e = in.front.entries[n.operand];
        return e.left >= 0 ? e.dyadic : e.monadic;
    }
    return -1;
}

// Constant of a one-literal line.
const ValueDescriptor& literal(Interpreter& in, std::string_view line) {
    TranslatedLine t;
    EXPECT_TRUE(translateLine(in.frontEnd(), line, -1, 0, &t).ok()) << line;
    EXPECT_EQ(in.front.nodes[t.first].kind, kConstNode) << line;
    return in.ws.consts[in.front.nodes[t.first].operand];
}

void setIndexOrigin(Interpreter& in, int io) { setInlineInt(in.ws.vars[kIoSlot], io); }

TEST(TranslatorStructure, ChainsRunRightToLeftWithLeftOperands) {
    Interpreter in;
    EXPECT_EQ(tr(in, "1+2*3"), "3 P49(2) P45(1)");
    EXPECT_EQ(tr(in, "x<-+/1 2 3"), "1 2 3 P145 Z18");
    EXPECT_EQ(tr(in, "a<-b[1]+2"), "2 P45(V20 X[1]) Z19");
    EXPECT_EQ(tr(in, "a<-b<-5"), "5 Z20 Z19");
    EXPECT_EQ(tr(in, "(1+2)*3"), "3 P49(G{2 P45(1)})");
    EXPECT_EQ(tr(in, "(x)"), "V18");  // a group of one value is that value
    EXPECT_EQ(tr(in, "((x[1]))+1"), "1 P45(V18 X[1])");
    EXPECT_EQ(tr(in, "(1;'ab';x+1)"), "L{1;'ab';1 P45(V18)}");
    EXPECT_EQ(tr(in, "x[;1]"), "V18 X[;1]");
    EXPECT_EQ(tr(in, "x[1][2]"), "V18 X[1] X[2]");
    EXPECT_EQ(tr(in, "(a;b)<-3"), "3 M(Z19;Z20)");
    EXPECT_EQ(tr(in, "(a)<-3"), "3 Z19");
    EXPECT_EQ(tr(in, "x[1;2]<-3"), "3 Z18[1;2]");
    EXPECT_EQ(tr(in, "a+x[2]<-3"), "3 Z18[2] P45(V19)");
    EXPECT_EQ(tr(in, "[]<-3"), "3 Z2");
    EXPECT_EQ(tr(in, "[) <- 'a'"), "'a' Z3");
    EXPECT_EQ(tr(in, "#\" x"), "V18 P752~P28");
    EXPECT_EQ(tr(in, "x ,\" y"), "V21 P752~P31(V18)");
    EXPECT_EQ(tr(in, "t.col"), "`col P754(V22)");
    EXPECT_EQ(tr(in, "()"), "()");
    EXPECT_EQ(tr(in, "[]IO"), "V1");
    EXPECT_EQ(tr(in, "[]RL"), "V15367");
    EXPECT_EQ(tr(in, "[]TS"), "P610");
    EXPECT_EQ(tr(in, "'a' []FM x"), "V18 P651('a')");
    EXPECT_EQ(tr(in, "key d"), "V23 D0");
    EXPECT_EQ(tr(in, "x do 'q'"), "'q' D7(V18)");
    EXPECT_EQ(tr(in, ""), "");
    EXPECT_EQ(tr(in, "   // a comment"), "");
    EXPECT_EQ(tr(in, "x//c"), "V18");
}

TEST(TranslatorStructure, FirstAndLastAndPositions) {
    Interpreter in;
    TranslatedLine t;
    ASSERT_TRUE(translateLine(in.frontEnd(), "  z <- 12 + 'a'", -1, 0, &t).ok());
    const auto& nodes = in.front.nodes;
    EXPECT_EQ(nodes[t.first].kind, kConstNode);
    EXPECT_EQ(nodes[t.first].pos, 12);
    int plus = nodes[t.first].next;
    EXPECT_EQ(nodes[plus].kind, kCallNode);
    EXPECT_EQ(nodes[plus].pos, 10);  // the caret of a failing + stands under it
    EXPECT_EQ(nodes[in.front.entries[nodes[plus].operand].left].pos, 7);
    EXPECT_EQ(nodes[nodes[plus].next].pos, 2);
    EXPECT_EQ(t.last, nodes[plus].next);
    EXPECT_EQ(nodes[t.last].kind, kAssignNode);
    EXPECT_EQ(nodes[t.last].next, -1);
    // Folded functions start at their first glyph; groups and lists at "(".
    ASSERT_TRUE(translateLine(in.frontEnd(), "x +:* (1;2)", -1, 0, &t).ok());
    EXPECT_EQ(nodes[t.first].pos, 6);
    EXPECT_EQ(nodes[nodes[t.first].next].pos, 2);
}

TEST(TranslatorCodes, OperatorsFoldIntoOneCode) {
    Interpreter in;
    EXPECT_EQ(code(in, "+/x"), 145);
    EXPECT_EQ(code(in, "+\\x"), 245);
    EXPECT_EQ(code(in, "+/.x"), 345);
    EXPECT_EQ(code(in, "+\\.x"), 445);
    EXPECT_EQ(code(in, "^/x"), 113);
    EXPECT_EQ(code(in, "=\\x"), 221);
    EXPECT_EQ(code(in, "</x"), 116);
    EXPECT_EQ(code(in, ",/x"), 131);
    EXPECT_EQ(code(in, "x +:* y"), 4549);
    EXPECT_EQ(code(in, "x ^:= y"), 1321);
    EXPECT_EQ(code(in, "x +:? y"), 4509);
    EXPECT_EQ(code(in, "x .:* y"), 549);
    EXPECT_EQ(code(in, "x .:= y"), 521);
    EXPECT_EQ(code(in, "x<.y"), 11);
    EXPECT_EQ(code(in, "<.y"), 702);
    EXPECT_EQ(code(in, "x<y"), 16);
    EXPECT_EQ(code(in, "<y"), 24);
    EXPECT_EQ(code(in, "x,.y"), 66);
    EXPECT_EQ(code(in, ",.y"), 707);
    EXPECT_EQ(code(in, "x~y"), 755);
    EXPECT_EQ(code(in, "~y"), 25);
    EXPECT_EQ(code(in, "x+y"), 45);
    EXPECT_EQ(code(in, "+y"), 44);
    // "< =" is two tokens: less, with unique on its right.
    EXPECT_EQ(tr(in, "x< =y"), "V19 P704 P16(V18)");
    EXPECT_EQ(tr(in, "x<=y"), "V19 P17(V18)");
    // A ":" that starts no inner product is a primitive of its own.
    EXPECT_EQ(tr(in, "x+:y"), "V19 P703 P45(V18)");
    EXPECT_EQ(tr(in, "+:*y"), "V19 P48 P703 P44");
    EXPECT_EQ(code(in, "?/x"), -1016);
    EXPECT_EQ(code(in, ",./x"), -1016);
    EXPECT_EQ(code(in, "&x"), -1017);
    EXPECT_EQ(code(in, "/x"), -1017);
    EXPECT_EQ(code(in, ".:* y"), -1017);
    EXPECT_EQ(code(in, "x .:, y"), -1020);
    EXPECT_EQ(code(in, "x .:a y"), -1020);
}

TEST(TranslatorCodes, AxisBrackets) {
    Interpreter in;
    setIndexOrigin(in, 0);
    EXPECT_EQ(code(in, "x,[0.5]y"), 83);
    EXPECT_EQ(code(in, "x,[_0.5]y"), 82);
    EXPECT_EQ(code(in, "x,[-0.5]y"), 82);
    EXPECT_EQ(code(in, "x,[_1]y"), -1028);
    EXPECT_EQ(code(in, "x,[7]y"), -1027);
    EXPECT_EQ(code(in, "x,[2]y"), 68);
    EXPECT_EQ(code(in, "x/[0]y"), 6);
    EXPECT_EQ(code(in, "x\\[1]y"), 77);
    EXPECT_EQ(code(in, "x/[1.5]y"), -1027);
    EXPECT_EQ(code(in, ",[1]y"), -1016);
    EXPECT_EQ(code(in, "x,[a]y"), -1027);
    EXPECT_EQ(code(in, "x,[1 2]y"), -1027);
    EXPECT_EQ(code(in, "x,[1j2]y"), -1027);
    EXPECT_EQ(code(in, "x,[1 y"), -1029);
    EXPECT_EQ(code(in, "x,["), -1029);
    setIndexOrigin(in, 1);
    EXPECT_EQ(code(in, "$[1]x"), 38);
    EXPECT_EQ(code(in, "$[3]x"), 90);
    EXPECT_EQ(code(in, "x $[2] y"), 94);
    EXPECT_EQ(code(in, "x,[0]y"), -1028);
    setIndexOrigin(in, 5);
    EXPECT_EQ(code(in, "x,[1]y"), -1024);
    // An axis reads the innermost binding of []IO.
    int local = 0;
    ASSERT_TRUE(newLocalName(in.front, "[]IO", kVariableName, 15000, &local).ok());
    in.scope.bindings[++in.scope.top] = {local, 15000};
    in.ws.vars[15000] = in.ws.vars[kIoSlot];
    setInlineInt(in.ws.vars[15000], 0);
    EXPECT_EQ(code(in, "x,[0]y"), 66);
}

TEST(TranslatorLiterals, Numbers) {
    Interpreter in;
    const ValueDescriptor& a = literal(in, "3e_2");
    EXPECT_EQ(a.type, kFloat);
    EXPECT_DOUBLE_EQ(inlineFloat(a), 0.03);
    const ValueDescriptor& b = literal(in, "_5");
    EXPECT_EQ(b.type, kInteger);
    EXPECT_EQ(inlineInt(b), -5);
    EXPECT_EQ(tr(in, "1e "), "E16@1");
    EXPECT_EQ(tr(in, "1ex"), "E16@1");
    EXPECT_EQ(tr(in, "1e_"), "E16@1");
    const ValueDescriptor& c = literal(in, "1 2j3");
    EXPECT_EQ(c.type, kComplex);
    EXPECT_EQ(c.rank, 1);
    EXPECT_EQ(c.count, 2);
    EXPECT_EQ(tr(in, "1 2j3"), "1j0 2j3");
    const ValueDescriptor& d = literal(in, "0n 1 2");
    EXPECT_EQ(d.type, kInteger);
    EXPECT_EQ(in.ws.elems<std::int32_t>(d)[0], kIntNull);
    const ValueDescriptor& e = literal(in, "_0w");
    EXPECT_EQ(e.type, kFloat);
    EXPECT_TRUE(std::isinf(inlineFloat(e)) && inlineFloat(e) < 0);
    EXPECT_EQ(inlineInt(literal(in, "0n")), kIntNull);  // narrowed like any literal
    EXPECT_TRUE(std::isnan(in.ws.elems<double>(literal(in, "0n 0.5"))[0]));
    EXPECT_EQ(literal(in, "1 0 1").type, kInteger);
    EXPECT_EQ(literal(in, "2.0 4.0").type, kInteger);
    EXPECT_EQ(literal(in, "2.5").type, kFloat);
    EXPECT_EQ(literal(in, "3e9").type, kFloat);
    EXPECT_EQ(literal(in, "1j0 2j0").type, kInteger);
    const ValueDescriptor& f = literal(in, "1j2");
    EXPECT_EQ(f.type, kComplex);
    EXPECT_EQ(f.rank, 0);
    EXPECT_EQ(f.blockSize, 16);
    EXPECT_EQ(tr(in, "1e400 _1e400 1e-400 .5 1."), "inf -inf 0 0.5 1");
    EXPECT_EQ(tr(in, "1.2.3"), "E16@3");
    EXPECT_EQ(tr(in, "1_2"), "E16@1");
    EXPECT_EQ(tr(in, "1e2.5"), "E4@3");
    EXPECT_EQ(tr(in, "1jx"), "E1@1");
    EXPECT_EQ(tr(in, "1 2.:* 3"), "3 P549(1 2)");
    EXPECT_EQ(tr(in, "1 2 _.3"), "3 P55(1 2)");
}

TEST(TranslatorLiterals, PresetConstantsAndNewSlots) {
    Interpreter in;
    int before = in.ws.lastConstant;
    TranslatedLine t;
    for (auto [text, slot] : {std::pair{"0", 0}, {"1", 1}, {"2", 3}, {"1.0", 1}, {"_0", 0}}) {
        ASSERT_TRUE(translateLine(in.frontEnd(), text, -1, 0, &t).ok());
        EXPECT_EQ(in.front.nodes[t.first].operand, slot) << text;
    }
    EXPECT_EQ(in.ws.lastConstant, before);
    ASSERT_TRUE(translateLine(in.frontEnd(), "3", -1, 0, &t).ok());
    EXPECT_EQ(in.front.nodes[t.first].operand, before + 1);
    EXPECT_EQ(in.ws.consts[before + 1].type, kInteger);
    EXPECT_EQ(inlineInt(in.ws.consts[before + 1]), 3);
    // Clearing the line tables keeps the preset slots.
    releaseLineTables(in.front, in.ws);
    EXPECT_EQ(in.ws.lastConstant, kPresetConstants - 1);
    EXPECT_EQ(inlineInt(in.ws.consts[1]), 1);
    EXPECT_EQ(inlineInt(in.ws.consts[3]), 2);
}

TEST(TranslatorLiterals, StringsAndSymbols) {
    Interpreter in;
    const ValueDescriptor& one = literal(in, "'a'");
    EXPECT_EQ(one.type, kChar);
    EXPECT_EQ(one.rank, 0);
    EXPECT_EQ(one.blockSize, 0);
    const ValueDescriptor& quote = literal(in, "'it''s'");
    EXPECT_EQ(quote.count, 4);
    EXPECT_EQ(std::string(in.ws.elems<char>(quote), 4), "it's");
    EXPECT_EQ(in.ws.elems<char>(quote)[4], 0);
    const ValueDescriptor& lone = literal(in, "''''");
    EXPECT_EQ(lone.rank, 0);
    EXPECT_EQ(inlineInt(lone) & 0xff, '\'');
    const ValueDescriptor& empty = literal(in, "''");
    EXPECT_EQ(empty.type, kInteger);
    EXPECT_EQ(empty.rank, 1);
    EXPECT_EQ(empty.count, 0);
    EXPECT_EQ(tr(in, "'abc"), "E8@0");
    EXPECT_EQ(tr(in, "'a\x01b'"), "E16@2");  // a tab or a byte from 128 on is text; a control byte is not
    EXPECT_EQ(tr(in, "x 'a'"), "E14@2");

    const ValueDescriptor& s = literal(in, "`abc");
    EXPECT_EQ(s.type, kSymbol);
    EXPECT_EQ(s.rank, 0);
    std::int32_t abc = inlineInt(s);
    EXPECT_EQ(in.symbols.name(abc), "abc");
    EXPECT_EQ(tr(in, "`x`abc `y"), "`x `abc `y");
    EXPECT_EQ(in.ws.elems<std::int32_t>(literal(in, "`x`abc"))[1], abc);
    EXPECT_EQ(inlineInt(literal(in, "`")), 0);  // the empty symbol
    EXPECT_EQ(tr(in, "`" + std::string(128, 'a')), "E16@0");
    EXPECT_EQ(tr(in, "`" + std::string(127, 'a')), "`" + std::string(127, 'a'));
}

TEST(TranslatorNames, SessionNamesAndKinds) {
    Interpreter in;
    EXPECT_EQ(tr(in, "abc"), "V18");  // a name read first becomes a global at once
    EXPECT_EQ(findGlobal(in.front, "abc"), kBuiltinNames);
    EXPECT_EQ(tr(in, "abc<-1"), "1 Z18");
    int f = 0;
    ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "f", &f).ok());
    in.functions.records[kFirstUserFunction].valence = 1;
    ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "g", &f).ok());  // niladic: a value
    EXPECT_EQ(tr(in, "f 3"), "3 D100");
    EXPECT_EQ(tr(in, "2 f 3"), "3 D100(2)");
    EXPECT_EQ(tr(in, "f<-3"), "E10@0");
    EXPECT_EQ(tr(in, "(g;abc)<-3"), "E10@1");
    EXPECT_EQ(tr(in, "(abc+1;abc)<-3"), "E16@5");
    EXPECT_EQ(tr(in, "key<-1"), "E10@0");
    EXPECT_EQ(tr(in, "[]TS<-1"), "E10@0");
    EXPECT_EQ(tr(in, "g+1"), "1 P45(D101)");
    EXPECT_EQ(tr(in, "1 g"), "E14@2");
    // A binding of an active call hides the global name.
    int local = 0;
    ASSERT_TRUE(newLocalName(in.front, "abc", kVariableName, 15300, &local).ok());
    in.scope.bindings[++in.scope.top] = {-1, -1};
    in.scope.bindings[++in.scope.top] = {local, 15300};
    EXPECT_EQ(tr(in, "abc"), "V15300");
}

TEST(TranslatorNames, FunctionBodies) {
    Interpreter in;
    int entry = 0;
    ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "h", &entry).ok());
    ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "other", &entry).ok());
    in.functions.records[101].valence = 1;
    FunctionRecord& r = in.functions.records[100];
    int e = 0;
    ASSERT_TRUE(newLocalName(in.front, "z", kVariableName, 0, &e).ok());
    r.headerFirst = e;
    ASSERT_TRUE(newLocalName(in.front, "x", kVariableName, 0, &e).ok());
    ASSERT_TRUE(newLocalName(in.front, "[]IO", kVariableName, 0, &e).ok());
    r.headerLast = e;
    ASSERT_TRUE(newLocalName(in.front, "L7", kLabelName, 7, &e).ok());
    r.freeFirst = r.freeLast = e;

    TranslatedLine t;
    ASSERT_TRUE(translateLine(in.frontEnd(), "z<-other x+q", 100, 1, &t).ok());
    EXPECT_EQ(in.front.nodes[t.last].local, r.headerFirst);
    EXPECT_EQ(in.front.nodes[t.first].local, e + 1);  // q: a new free name
    EXPECT_EQ(r.freeLast, e + 1);
    EXPECT_EQ(in.front.locals[e + 1].kind, kVariableName);
    EXPECT_EQ(tr(in, "q+L7", 100), "7 P45(V0)");
    EXPECT_EQ(r.freeLast, e + 1);  // q is entered once
    ASSERT_TRUE(translateLine(in.frontEnd(), "[]IO<-0", 100, 1, &t).ok());
    EXPECT_EQ(chainText(in, t.first), "0 Z0");
    EXPECT_EQ(in.front.nodes[t.last].local, r.headerFirst + 2);
    EXPECT_EQ(tr(in, "[]RL", 100), "V0");  // a free name, bound by scope at each call
    EXPECT_EQ(in.front.locals[r.freeLast].kind, kVariableName);
    EXPECT_EQ(tr(in, "L7<-1", 100), "E16@0");
    EXPECT_EQ(findGlobal(in.front, "q"), -1);  // free names are not globals
}

TEST(TranslatorLines, BranchesAndLabels) {
    Interpreter in;
    int entry = 0;
    ASSERT_TRUE(newGlobalFunction(in.frontEnd(), "f", &entry).ok());
    TranslatedLine t;
    ASSERT_TRUE(translateLine(in.frontEnd(), "L1: x<-1", 100, 3, &t).ok());
    EXPECT_EQ(t.labelStart, 0);
    EXPECT_EQ(t.labelEnd, 2);
    EXPECT_FALSE(t.branch);
    ASSERT_TRUE(translateLine(in.frontEnd(), "  ->0  // done", 100, 4, &t).ok());
    EXPECT_TRUE(t.branch);
    EXPECT_EQ(in.front.branches[t.branchEntry].falseTarget, kBranchLine);
    EXPECT_EQ(in.front.branches[t.branchEntry].line, 4);
    EXPECT_EQ(in.front.branches[t.branchEntry].owner, 100);
    EXPECT_EQ(chainText(in, t.first), "0");
    ASSERT_TRUE(translateLine(in.frontEnd(), "Lt:->(~x)/Le", 100, 5, &t).ok());
    EXPECT_TRUE(t.branch);
    EXPECT_EQ(t.labelEnd, 2);
    EXPECT_EQ(tr(in, "->'no'", 100), "'no'");
    EXPECT_EQ(tr(in, "->3", 100), "3");
    EXPECT_EQ(tr(in, "->_1", 100), "-1");
    EXPECT_EQ(tr(in, "->0 1", 100), "E44@4");
    EXPECT_EQ(tr(in, "->'no' 1", 100), "E44@7");
    EXPECT_EQ(tr(in, "->", 100), "E44@0");
    EXPECT_EQ(tr(in, "-> +1", 100), "E44@3");
    EXPECT_EQ(tr(in, "->(x", 100), "E45@2");
    EXPECT_EQ(tr(in, "x ->3", 100), "E16@2");
    // Labels belong to function lines; in a session line "a:b" is a dictionary.
    EXPECT_EQ(tr(in, "a:b"), "V19 P753(V18)");
}

TEST(TranslatorErrors, MalformedLines) {
    Interpreter in;
    EXPECT_EQ(tr(in, "1 x"), "E14@2");
    EXPECT_EQ(tr(in, "x 1"), "E14@2");
    EXPECT_EQ(tr(in, "x (1)"), "E19@2");
    EXPECT_EQ(tr(in, "(1"), "E21@0");
    EXPECT_EQ(tr(in, "x[1"), "E21@1");
    EXPECT_EQ(tr(in, "1)"), "E21@1");
    EXPECT_EQ(tr(in, "(1]"), "E21@2");
    EXPECT_EQ(tr(in, "1;2"), "E16@1");
    EXPECT_EQ(tr(in, "(1;;2)"), "E16@3");
    EXPECT_EQ(tr(in, "(1;)"), "E16@3");
    EXPECT_EQ(tr(in, "x<-"), "E16@0");
    EXPECT_EQ(tr(in, "1+"), "E16@1");
    EXPECT_EQ(tr(in, "(1+)"), "E16@2");
    EXPECT_EQ(tr(in, "1<-2"), "E16@1");
    EXPECT_EQ(tr(in, "x[1][2]<-3"), "E16@0");
    EXPECT_EQ(tr(in, "[1]"), "E16@0");
    EXPECT_EQ(tr(in, "[]"), "E11@0");
    EXPECT_EQ(tr(in, "[) 1"), "E11@0");
    EXPECT_EQ(tr(in, "[]FOO"), "E46@0");
    EXPECT_EQ(tr(in, "x\t+1"), "E16@1");
    EXPECT_EQ(tr(in, "{x}"), "E16@0");
    EXPECT_EQ(tr(in, "_x"), "E16@0");
    EXPECT_EQ(tr(in, ". x"), "E16@0");
    EXPECT_EQ(tr(in, "x\"y"), "E16@1");
    EXPECT_EQ(tr(in, "+\"\"y"), "E16@2");
    EXPECT_EQ(tr(in, "1\""), "E16@1");
    in.errorWord = 0;
    EXPECT_EQ(tr(in, std::string("x\0y", 3)), "E16@1");
    EXPECT_EQ(in.errorWord, 16);  // the first error of the line stays in the error word
}

TEST(TranslatorErrors, NestingIsBounded) {
    Interpreter in;
    std::string deep(999, '(');
    deep += "1" + std::string(999, ')');
    EXPECT_EQ(tr(in, deep), "1");
    std::string deeper(1000, '(');
    deeper += "1" + std::string(1000, ')');
    EXPECT_EQ(tr(in, deeper), "E5@999");
}

// A table that fills gives its message, and the failing line leaves the
// tables as they were, so the next line translates normally.
TEST(TranslatorErrors, FullTablesLeaveNoPartialWork) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    caps.parseNodes = 12;
    caps.functionEntries = 6;
    caps.constants = 26;
    caps.gList = 6;
    Interpreter in(caps);
    TranslatedLine t;
    auto same = [&](int nodes, int entries, int consts, int lists) {
        EXPECT_EQ(in.front.lastNode, nodes);
        EXPECT_EQ(in.front.lastEntry, entries);
        EXPECT_EQ(in.ws.lastConstant, consts);
        EXPECT_EQ(in.front.lastListWord, lists);
    };
    ASSERT_TRUE(translateLine(in.frontEnd(), "3+4", -1, 0, &t).ok());
    int n0 = in.front.lastNode, e0 = in.front.lastEntry, c0 = in.ws.lastConstant, l0 = in.front.lastListWord;
    EXPECT_EQ(translateLine(in.frontEnd(), "1+1+1+1+1+1+1+1+1", -1, 0, &t).code, 84);  // nodes
    same(n0, e0, c0, l0);
    EXPECT_EQ(translateLine(in.frontEnd(), "-+-+-+-+1", -1, 0, &t).code, 84);  // function entries
    same(n0, e0, c0, l0);
    EXPECT_EQ(translateLine(in.frontEnd(), "5 (6) 7", -1, 0, &t).code, 19);
    same(n0, e0, c0, l0);
    EXPECT_EQ(translateLine(in.frontEnd(), "(5;6;7;8;9)", -1, 0, &t).code, 84);  // constants
    same(n0, e0, c0, l0);
    EXPECT_EQ(translateLine(in.frontEnd(), "(1;1;1;1;1;1;1)", -1, 0, &t).code, 9);  // argument lists
    same(n0, e0, c0, l0);
    std::string big = "1";
    for (int i = 0; i < 200000; ++i) big += " 1";
    EXPECT_EQ(translateLine(in.frontEnd(), big, -1, 0, &t).code, 6);  // the heap, for the block of a literal
    same(n0, e0, c0, l0);
    ASSERT_TRUE(translateLine(in.frontEnd(), "(1;2)", -1, 0, &t).ok());
    EXPECT_EQ(chainText(in, t.first), "L{1;2}");
    releaseLineTables(in.front, in.ws);
    same(-1, -1, kPresetConstants - 1, -1);
}

TEST(TranslatorErrors, GlobalNamesFill) {
    Capacities caps;
    caps.heapBytes = 1 << 20;
    caps.globalNames = 16;
    Interpreter in(caps);
    EXPECT_EQ(tr(in, "a<-b<-c"), "V20 Z19 Z18");
    EXPECT_EQ(tr(in, "d"), "E84@0");
    EXPECT_EQ(in.front.lastGlobal, 15);
    EXPECT_EQ(tr(in, "a<-b"), "V19 Z18");
}

// Any bytes at all give a translation or a numbered error with the caret
// inside the line; the tables stay within their counters.
TEST(TranslatorErrors, ArbitraryBytes) {
    Capacities caps;
    caps.heapBytes = 1 << 22;
    Interpreter in(caps);
    std::uint32_t seed = 12345;
    auto next = [&] {
        seed = seed * 1103515245u + 12345u;
        return (seed >> 16) & 0x7fff;
    };
    const std::string alphabet = "()[];:'`._0123456789ejnw +-*/\\<>=~^!?$#,&|@\"xyz[]IO<-->{}\t";
    TranslatedLine t;
    for (int i = 0; i < 20000; ++i) {
        std::string line;
        int len = static_cast<int>(next() % 24);
        for (int k = 0; k < len; ++k) {
            line += next() % 8 == 0 ? static_cast<char>(next() & 0xff) : alphabet[next() % alphabet.size()];
        }
        Rc rc = translateLine(in.frontEnd(), line, -1, 0, &t);
        if (rc.failed()) {
            ASSERT_LE(t.errorPos, static_cast<int>(line.size())) << line;
            ASSERT_EQ(t.first, -1);
        } else if (t.first >= 0) {
            ASSERT_LE(t.first, in.front.lastNode);
        }
        if (i % 500 == 0) releaseLineTables(in.front, in.ws);
    }
}

}  // namespace
}  // namespace wox::frontend
