#include "engine/dispatch.h"

#include <gtest/gtest.h>

#include <string>

#include "line_session.h"
#include "vocabulary/primitive_table.h"

namespace wox::engine {
namespace {

using testing::LineSession;

// The first line a statement writes: its value or its error message.
std::string firstLine(LineSession& s, std::string_view line) {
    std::string out = s.run(line);
    return out.substr(0, out.find("\r\n"));
}

// Which types a primitive takes is the routine's to say, and its message
// is the one the user sees.
TEST(DispatchTypes, EachRoutineAnswersForTheTypesItTakes) {
    LineSession s;
    EXPECT_EQ(firstLine(s, "2000.01.01 + 1"), "2000.01.02");  // temporal + number
    EXPECT_EQ(firstLine(s, "'a'+1"), "domain error");
    EXPECT_EQ(firstLine(s, "2000.01.01 * 2"), "error time format");
    EXPECT_EQ(firstLine(s, "|.1j1"), "domain error");  // no complex factorial
    EXPECT_EQ(firstLine(s, "|.5"), "120");

    // Enumerations compare equal but do not order.
    s.run("d<-`a`b`c");
    s.run("e<-`d:`b`a`c");
    EXPECT_EQ(firstLine(s, "e=`d:`a`a`c"), "0 1 1");
    EXPECT_EQ(firstLine(s, "e<`d:`a`a`c"), "domain error");

    // Tables take and drop rows; index of finds a record, never a number.
    s.run("t<-([] a:1 2 3; b:4 5 6)");
    EXPECT_EQ(firstLine(s, "#t"), "2");
    EXPECT_EQ(firstLine(s, "2^.t"), "a b");
    EXPECT_EQ(firstLine(s, "2!.t"), "a b");
    EXPECT_EQ(firstLine(s, "t!1"), "domain error");
    // A dictionary finds the key of a value.
    s.run("k<-`a`b:1 2");
    EXPECT_EQ(firstLine(s, "k!1"), "`a");
}

TEST(DispatchFamilies, EveryCodeReachesItsRoutineOrItsError) {
    LineSession s;
    EXPECT_EQ(firstLine(s, "3 +. 4"), " 4.000");  // format by specification
    // The routines that read the []IO in force get it from dispatch.
    EXPECT_EQ(firstLine(s, "!3"), "1 2 3");
    s.run("[]IO<-0");
    EXPECT_EQ(firstLine(s, "!3"), "0 1 2");
    EXPECT_EQ(firstLine(s, "?0 1 1"), "1 2");
    EXPECT_EQ(firstLine(s, "2 3!3"), "1");

    for (int code = 0; code < 1000; ++code) {
        vocabulary::Family m = vocabulary::monadicFamily(code);
        vocabulary::Family d = vocabulary::dyadicFamily(code);
        // Execute and each run in the evaluator; every other family either
        // has a routine or answers an error of its own.
        if (m != vocabulary::Family::Execute && m != vocabulary::Family::Each) {
            EXPECT_TRUE(hasMonadicRoutine(code) || vocabulary::familyError(m) != 0) << code;
        }
        if (d != vocabulary::Family::Each) {
            EXPECT_TRUE(hasDyadicRoutine(code) || vocabulary::familyError(d) != 0) << code;
        }
    }
    EXPECT_TRUE(hasDyadicRoutine(4549));  // inner product +:*
}

}  // namespace
}  // namespace wox::engine
