#include "vocabulary/primitive_table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "values/messages.h"

namespace wox::vocabulary {
namespace {


TokenMatch at(std::string_view text, std::size_t pos, bool leftValue) {
    return matchToken(text, pos, leftValue);
}

void expectToken(std::string_view text, bool leftValue, int token, int length) {
    TokenMatch m = matchToken(text, 0, leftValue);
    EXPECT_EQ(m.token, token) << '"' << text << "\" leftValue=" << leftValue;
    EXPECT_EQ(m.length, length) << '"' << text << "\" leftValue=" << leftValue;
}

TEST(MatchToken, LongestFormWins) {
    expectToken("<-3", true, 0, 2);
    expectToken("<.5", true, 12, 2);
    expectToken("<=y", true, 18, 2);
    expectToken("<y", true, 17, 1);
    expectToken("->L", false, 1, 2);
    expectToken("-y", false, 37, 1);
    expectToken("~.y", true, 40, 2);
    expectToken("~=y", true, 21, 2);
    expectToken("~y", false, 26, 1);
    expectToken("~y", true, 71, 1);
    expectToken("||y", true, 59, 2);
    expectToken("|.y", true, 45, 2);
    expectToken("|y", true, 44, 1);
    expectToken("[)<-x", false, 53, 2);
    expectToken("[]IO", false, 54, 2);
    expectToken("[i]", true, 2, 1);
    expectToken(";b", true, 3, 1);
    expectToken(",.y", false, 67, 2);
    expectToken(",.y", true, 47, 2);
}

TEST(MatchToken, SeparatedCharactersAreSeparateTokens) {
    // x< =y : less applied to the unique of y
    std::string_view line = "x< =y";
    EXPECT_EQ(at(line, 1, true).token, 17);
    EXPECT_EQ(at(line, 1, true).length, 1);
    EXPECT_EQ(at(line, 3, false).token, 58);
    EXPECT_EQ(at(line, 3, false).length, 1);
}

TEST(MatchToken, ReadingDependsOnLeftValue) {
    struct Case { const char* text; int without; int with; };
    for (Case c : {Case{"^.", 63, 4}, Case{"!.", 23, 5}, Case{"?", 66, 10}, Case{">.", 68, 11},
                   Case{"<.", 56, 12}, Case{"^", 61, 14}, Case{"<", 25, 17}, Case{">", 24, 20},
                   Case{"=", 58, 22}, Case{":", 62, 69}, Case{"||", 60, 59}, Case{"+", 36, 36}}) {
        EXPECT_EQ(at(c.text, 0, false).token, c.without) << c.text;
        EXPECT_EQ(at(c.text, 0, true).token, c.with) << c.text;
    }
}

TEST(MatchToken, UnderscoreDotAndNonPrimitives) {
    expectToken("_5", false, -1, 0);
    expectToken("_abc", false, -1, 0);
    expectToken("_.y", true, 41, 2);
    expectToken(".name", true, 70, 1);
    expectToken(".name", false, -1, 0);
    expectToken(".:*", true, -1, 0);
    expectToken(".5", true, -1, 0);
    expectToken("a", true, -1, 0);
    expectToken("'x'", false, -1, 0);
    expectToken("", false, -1, 0);
    expectToken("\"", true, 65, 1);
    EXPECT_EQ(at("ab", 5, true).token, -1);
    EXPECT_EQ(at("x.", 1, true).token, -1);  // nothing after the dot
}

TEST(FunctionCodes, BaseMonadicAndDyadic) {
    EXPECT_EQ(baseCode(0), 0);
    EXPECT_EQ(baseCode(2), 1);
    EXPECT_EQ(baseCode(27), 26);
    EXPECT_EQ(baseCode(28), 28);
    EXPECT_EQ(baseCode(47), 66);
    EXPECT_EQ(baseCode(57), 701);
    EXPECT_EQ(baseCode(72), 711);
    for (int t : {-1, 1, 48, 52, 53, 54, 55, 64, 73, 1000}) EXPECT_EQ(baseCode(t), -1) << t;

    EXPECT_EQ(dyadicCode(12), 11);    // encode
    EXPECT_EQ(monadicCode(56), 702);  // enclose
    EXPECT_EQ(dyadicCode(27), 27);    // deal
    EXPECT_EQ(monadicCode(27), 26);   // roll
    EXPECT_EQ(dyadicCode(36), 45);
    EXPECT_EQ(dyadicCode(46), 65);
    EXPECT_EQ(dyadicCode(47), 66);  // ",." keeps its code
    EXPECT_EQ(dyadicCode(71), 755);
    EXPECT_EQ(dyadicCode(59), 751);
}

TEST(FunctionCodes, VocabularyRowsAgree) {
    auto table = primitiveTable();
    ASSERT_GT(table.size(), 40u);
    std::set<std::string_view> texts;
    for (const Primitive& p : table) {
        EXPECT_TRUE(texts.insert(p.text).second) << p.text;
        // Every form is found again by its own text, in both readings.
        for (bool left : {false, true}) {
            int expected = left ? p.tokenLeft : p.token;
            std::string probe(p.text);
            if (p.text == ".") probe += "x";
            EXPECT_EQ(at(probe, 0, left).token, expected) << p.text << " left=" << left;
            if (expected >= 0) {
                EXPECT_EQ(primitiveOfToken(expected), &p);
            }
        }
        EXPECT_EQ(findPrimitive(p.text), &p);
        // A code that dispatches reaches the family its row names, and
        // that family has a routine.
        if (p.monadicCode > 2) {
            EXPECT_EQ(monadicFamily(p.monadicCode), p.monadicFamily) << p.text;
            EXPECT_EQ(familyError(p.monadicFamily), 0) << p.text;
        }
        if (p.dyadicCode > 2 && p.dyadicCode != 41) {
            EXPECT_EQ(dyadicFamily(p.dyadicCode), p.dyadicFamily) << p.text;
            EXPECT_EQ(familyError(p.dyadicFamily), 0) << p.text;
        }
        // A use without a code has no family.
        if (p.monadicCode < 0) {
            EXPECT_EQ(p.monadicFamily, Family::None) << p.text;
        }
        if (p.dyadicCode < 0) {
            EXPECT_EQ(p.dyadicFamily, Family::None) << p.text;
        }
    }
    EXPECT_EQ(findPrimitive("!="), nullptr);
}

TEST(FunctionCodes, DyadicOnlyFormsNeedALeftArgument) {
    for (const char* text : {"&", "<=", ">=", "~=", "/", "/.", "\\", "\\."})
        EXPECT_TRUE(needsLeftArgument(at(text, 0, false).token)) << text;
    for (const char* text : {"+", "<", "^", "=", "?", ",", "~", ":", "\""})
        EXPECT_FALSE(needsLeftArgument(at(text, 0, false).token)) << text;
    EXPECT_FALSE(needsLeftArgument(-1));
}

// The code, or the negated message number.
int reduce(std::string_view glyph, bool leftValue, bool slash, bool dot) {
    int code = -1;
    Rc rc = reduceScanCode(at(glyph, 0, leftValue).token, slash, dot, code);
    return rc.ok() ? code : -rc.code;
}

TEST(OperatorFolding, ReduceAndScan) {
    EXPECT_EQ(reduce("+", false, true, false), 145);
    EXPECT_EQ(reduce("+", false, false, false), 245);
    EXPECT_EQ(reduce("^", false, true, false), 113);
    EXPECT_EQ(reduce("^", true, true, false), 113);
    EXPECT_EQ(reduce("=", false, true, false), 121);
    EXPECT_EQ(reduce("=", false, false, false), 221);
    EXPECT_EQ(reduce("<", false, true, false), 116);
    EXPECT_EQ(reduce(">", false, false, true), 419);
    EXPECT_EQ(reduce(",", false, true, false), 131);
    EXPECT_EQ(reduce("&", false, true, true), 312);
    EXPECT_EQ(reduce("#.", false, true, false), 143);
    EXPECT_EQ(reduce("?", false, true, false), -kSyntaxError);
    EXPECT_EQ(reduce("<.", false, true, false), -kSyntaxError);
    EXPECT_EQ(reduce(",.", false, false, false), -kSyntaxError);
    EXPECT_EQ(reduce("\"", false, true, false), -kSyntaxError);
    EXPECT_EQ(reduce("<-", false, true, false), -kSyntaxError);
    EXPECT_EQ(reduce("[", true, true, false), -kSyntaxError);
    int code = 7;
    EXPECT_EQ(reduceScanCode(-1, true, false, code).code, kSyntaxError);
    EXPECT_EQ(code, 7);  // untouched on failure
}

TEST(OperatorFolding, OuterProduct) {
    int code = 0;
    ASSERT_TRUE(outerProductCode(at("*", 0, false).token, code).ok());
    EXPECT_EQ(code, 549);
    // The glyphs with two readings give the same code in either.
    for (const char* g : {"<", ">", "^", "=", "&", "~=", "@"}) {
        int without = 0, with = 0;
        ASSERT_TRUE(outerProductCode(at(g, 0, false).token, without).ok()) << g;
        ASSERT_TRUE(outerProductCode(at(g, 0, true).token, with).ok()) << g;
        EXPECT_EQ(without, with) << g;
    }
    EXPECT_TRUE(outerProductCode(at("<", 0, true).token, code).ok());
    EXPECT_EQ(code, 516);
    for (const char* g : {",", "#", "?", "?.", "~", "<.", "!", "\"", "+."})
        EXPECT_EQ(outerProductCode(at(g, 0, true).token, code).code, kOuterProductNotDyadic) << g;
}

TEST(OperatorFolding, InnerProduct) {
    auto inner = [](const char* f, const char* g) {
        return innerProductCode(at(f, 0, true).token, at(g, 0, false).token);
    };
    EXPECT_EQ(inner("+", "*"), 4549);
    EXPECT_EQ(inner("^", "="), 1321);
    EXPECT_EQ(inner("&", "^"), 1213);
    EXPECT_EQ(inner("+", "?"), 4509);  // membership only on the right
    EXPECT_EQ(inner("?", "+"), -1);
    EXPECT_FALSE(innerLeftOk(at("?", 0, true).token));
    EXPECT_TRUE(innerRightOk(at("?", 0, false).token));
    EXPECT_FALSE(innerRightOk(at(",", 0, false).token));
    EXPECT_EQ(inner("+", ","), -1);
    EXPECT_EQ(innerProductCode(-1, 36), -1);
    // Every inner product dispatches to the inner-product routine.
    for (const Primitive& f : primitiveTable())
        for (const Primitive& g : primitiveTable()) {
            int c = innerProductCode(f.tokenLeft, g.tokenLeft);
            if (c >= 0) {
                EXPECT_EQ(dyadicFamily(c), Family::InnerProduct) << f.text << ':' << g.text;
            }
        }
}

// The code, or the negated message number.
int axis(const char* glyph, bool leftValue, double k, int io) {
    int code = -1;
    Rc rc = axisCode(at(glyph, 0, leftValue).token, leftValue, k, io, code);
    return rc.ok() ? code : -rc.code;
}

TEST(OperatorFolding, AxisCodes) {
    EXPECT_EQ(axis(",", true, 0.5, 0), 83);
    EXPECT_EQ(axis(",", true, -0.5, 0), 82);
    EXPECT_EQ(axis(",", true, 5.5, 0), 88);
    EXPECT_EQ(axis(",", true, -1, 0), -kAxisSpecification);
    EXPECT_EQ(axis(",", true, 7, 0), -kAxisRestriction);
    EXPECT_EQ(axis(",", true, 6, 0), -kAxisRestriction);
    EXPECT_EQ(axis(",", true, 1e300, 0), -kAxisRestriction);
    EXPECT_EQ(axis("$", false, 1, 1), 38);
    EXPECT_EQ(axis("$", false, 3, 1), 90);
    EXPECT_EQ(axis("$", true, 2, 1), 94);
    EXPECT_EQ(axis("$", true, 1, 1), 39);
    EXPECT_EQ(axis("/", true, 0, 0), 6);
    EXPECT_EQ(axis("/", true, 5, 0), 76);
    EXPECT_EQ(axis("\\", true, 0, 0), 8);
    EXPECT_EQ(axis("\\", true, 1, 0), 77);
    EXPECT_EQ(axis(",", true, 0, 0), 66);
    EXPECT_EQ(axis(",", true, 6, 1), 71);
    // Axis brackets on monadic forms other than reverse.
    EXPECT_EQ(axis("/", false, 0, 0), -kSyntaxError);
    EXPECT_EQ(axis(",", false, 0.5, 0), -kSyntaxError);
    // Numbers that are no axis.
    EXPECT_EQ(axis("/", true, 0.5, 0), -kAxisRestriction);
    EXPECT_EQ(axis("$", true, 6, 0), -kAxisRestriction);
    EXPECT_EQ(axis("$", false, -2, 0), -kAxisSpecification);
    EXPECT_EQ(axis("/", true, 0, 1), -kAxisSpecification);
    EXPECT_EQ(axis(",", true, std::nan(""), 0), -kAxisRestriction);
    EXPECT_EQ(axis(",", true, -HUGE_VAL, 0), -kAxisSpecification);
    EXPECT_EQ(axis(",", true, HUGE_VAL, 0), -kAxisRestriction);
    EXPECT_EQ(axis(",", true, 1, 2), -kIndexOriginError);
    EXPECT_EQ(axis("+", true, 1, 0), -kSyntaxError);
    // Every code an axis can give has a routine or the not-implemented answer.
    for (const char* g : {"/", "\\", ",", "$"})
        for (int io : {0, 1})
            for (double k = -2; k <= 8; k += 0.25) {
                int c = axis(g, true, k, io);
                if (c >= 0) {
                    EXPECT_LT(c, 99);
                    Family f = dyadicFamily(c);
                    bool open = c >= 72 && c <= 81;  // compress/expand on an inner axis
                    EXPECT_TRUE(open || familyError(f) == 0) << g << " k=" << k << " io=" << io;
                }
            }
}

TEST(Dispatch, FamiliesByCode) {
    EXPECT_EQ(monadicFamily(145), Family::Reduce);
    EXPECT_EQ(monadicFamily(245), Family::Scan);
    EXPECT_EQ(monadicFamily(312), Family::Reduce);
    EXPECT_EQ(monadicFamily(44), Family::ScalarMonadic);
    EXPECT_EQ(monadicFamily(45), Family::NotImplemented);
    EXPECT_EQ(monadicFamily(25), Family::Logical);
    EXPECT_EQ(monadicFamily(38), Family::Reverse);
    EXPECT_EQ(monadicFamily(89), Family::Reverse);
    EXPECT_EQ(monadicFamily(88), Family::NotImplemented);
    EXPECT_EQ(monadicFamily(93), Family::Reverse);
    EXPECT_EQ(monadicFamily(610), Family::NiladicSystemFunction);
    EXPECT_EQ(monadicFamily(603), Family::SpreadsheetLink);
    EXPECT_EQ(monadicFamily(605), Family::SystemFunction);
    EXPECT_EQ(monadicFamily(701), Family::NotImplemented);
    EXPECT_EQ(monadicFamily(752), Family::Each);
    EXPECT_EQ(monadicFamily(-5), Family::NotImplemented);
    EXPECT_EQ(monadicFamily(4549), Family::NotImplemented);

    EXPECT_EQ(dyadicFamily(13), Family::Logical);
    EXPECT_EQ(dyadicFamily(20), Family::Comparison);
    EXPECT_EQ(dyadicFamily(65), Family::ScalarDyadic);
    EXPECT_EQ(dyadicFamily(66), Family::Catenate);
    EXPECT_EQ(dyadicFamily(41), Family::FormatBySpecification);
    EXPECT_EQ(dyadicFamily(75), Family::Compress);
    EXPECT_EQ(dyadicFamily(80), Family::Expand);
    EXPECT_EQ(dyadicFamily(83), Family::Laminate);
    EXPECT_EQ(dyadicFamily(94), Family::Rotate);
    EXPECT_EQ(dyadicFamily(549), Family::OuterProduct);
    EXPECT_EQ(dyadicFamily(651), Family::DyadicSystemFunction);
    EXPECT_EQ(dyadicFamily(655), Family::SpreadsheetLink);
    EXPECT_EQ(dyadicFamily(752), Family::Each);
    EXPECT_EQ(dyadicFamily(754), Family::Member);
    EXPECT_EQ(dyadicFamily(760), Family::Invalid);
    EXPECT_EQ(dyadicFamily(1321), Family::InnerProduct);

    EXPECT_EQ(familyError(monadicFamily(701)), kNotImplemented);
    EXPECT_EQ(familyError(dyadicFamily(799)), kDomainError);
    EXPECT_EQ(familyError(dyadicFamily(653)), kNoExcelDriver);
    EXPECT_EQ(familyError(Family::Reduce), 0);
}

TEST(Dispatch, EveryMonadicReadingReachesARoutine) {
    // Every code a token can produce reaches a routine, apart from the
    // monadic-only placeholders 701 and 711 and the dyadic "+.".
    for (int t = 0; t < 80; ++t) {
        int m = monadicCode(t);
        if (m > 2 && m != 701 && m != 711 && primitiveOfToken(t) != nullptr &&
            !needsLeftArgument(t) && primitiveOfToken(t)->token == t) {
            EXPECT_EQ(familyError(monadicFamily(m)), 0) << "token " << t;
        }
    }
    int code = 0;
    ASSERT_TRUE(reduceScanCode(36, true, false, code).ok());
    EXPECT_EQ(monadicFamily(code), Family::Reduce);
    EXPECT_EQ(dyadicFamily(dyadicCode(at("<.", 0, true).token)), Family::Encode);
    EXPECT_EQ(monadicFamily(monadicCode(at("<.", 0, false).token)), Family::Enclose);
}

}  // namespace
}  // namespace wox::vocabulary
