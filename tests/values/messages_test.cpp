#include "values/messages.h"

#include <gtest/gtest.h>

namespace wox {
namespace {

TEST(Messages, TextsAreVerbatimIncludingOddSpellingsAndBlanks) {
    EXPECT_EQ(messageText(kDomainError), "domain error");
    EXPECT_EQ(messageText(kSyntaxError), "syntax error");
    EXPECT_EQ(messageText(kOuterProductNotDyadic), "only dyadic fn can be in outerprod. ");
    EXPECT_EQ(messageText(kValenceMismatch), " func. valence not fit");
    EXPECT_EQ(messageText(kRightBracketExpected), "right bracjet exoected");
    EXPECT_EQ(messageText(kAxisSpecification), "axis specification wrong, may due to []IO=1.");
    EXPECT_EQ(messageText(kNotImplemented), "prim. func not yet implemented");
    EXPECT_EQ(messageText(kTableFull), "one table is full");
    EXPECT_EQ(messageText(kNoExcelDriver), "no excel driver");
    EXPECT_EQ(messageText(kMismatch), "missmatch");
    EXPECT_EQ(messageText(kNoSameColumnName), "no same column name");
}

TEST(Messages, NumbersWithoutTextAnswerEmpty) {
    for (int n : {0, -1, 39, 40, 41, 48, 70, 79, 86, int(kCharacterBranch), 149, 162, 199, 207, 100000})
        EXPECT_TRUE(messageText(n).empty()) << n;
}

TEST(Messages, TheSpreadsheetLinkAndFormatFileNumbersHaveText) {
    for (int n : {int(kFormatFilePath), 156, 157, 158, 159, 160, 161})
        EXPECT_FALSE(messageText(n).empty()) << n;
}

TEST(Messages, EveryNamedNumberBetweenOneAndFortySevenHasText) {
    for (int n = 1; n <= 47; ++n) {
        bool gap = n >= 39 && n <= 41;
        EXPECT_EQ(messageText(n).empty(), gap) << n;
    }
}

}  // namespace
}  // namespace wox
