// What Tab completes: names of the workspace, system names and system
// commands, each at the right place of the line, and nothing elsewhere.
#include "session/completion.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/execute_line.h"
#include "engine/function_call.h"
#include "frontend/function_store.h"

namespace wox::session {
namespace {

using Words = std::vector<std::string>;

struct Completing : ::testing::Test {
    Interpreter in;
    void run(const std::string& line) { (void)engine::executeLine(in, line); }
    void define(const std::vector<std::string>& lines) {
        int slot = 0;
        ASSERT_EQ(frontend::defineFunction(in.frontEnd(), lines, &slot).code, 0);
    }
};

TEST_F(Completing, NamesOfVariablesWithValuesAndOfFunctions) {
    run("total<-1");
    run("totem<-2");
    run("tiny<-3");
    run("1+tomorrow");  // a name without a value is entered, but offers nothing
    define({"z<-tofu x", "z<-x"});
    Completion c = complete(in, "x<-1+to");
    EXPECT_EQ(c.start, 5u);
    EXPECT_EQ(c.candidates, (Words{"tofu", "total", "totem"}));
    EXPECT_EQ(complete(in, "tot").candidates, (Words{"total", "totem"}));
    EXPECT_EQ(complete(in, "tiny").candidates, (Words{"tiny"}));
    EXPECT_TRUE(complete(in, "q").candidates.empty());
    // Keyword functions are names like any other.
    EXPECT_EQ(complete(in, "ke").candidates, (Words{"key", "keys"}));
    EXPECT_EQ(complete(in, "2 do").candidates, (Words{"do"}));
}

TEST_F(Completing, LongNamesCompleteWhole) {
    run("averylongname_of_a_variable<-5");
    Completion c = complete(in, "1+averyl");
    EXPECT_EQ(c.start, 2u);
    EXPECT_EQ(c.candidates, (Words{"averylongname_of_a_variable"}));
}

TEST_F(Completing, SystemNames) {
    Completion c = complete(in, "a<-[]X");
    EXPECT_EQ(c.start, 3u);
    EXPECT_EQ(c.candidates, (Words{"[]XC", "[]XD", "[]XN", "[]XR", "[]XW", "[]XXR", "[]XXW"}));
    EXPECT_EQ(complete(in, "[]R").candidates, (Words{"[]RL"})) << "a variable and a function of one name, once";
    EXPECT_EQ(complete(in, "[]IO").candidates, (Words{"[]IO"}));
    EXPECT_EQ(complete(in, "[]N").candidates, (Words{"[]NC"}));
    EXPECT_EQ(complete(in, "[]C").candidates, (Words{"[]CR", "[]CSVR", "[]CSVW"}));
    EXPECT_EQ(complete(in, "[]").candidates.size(), 21u);
}

TEST_F(Completing, SystemCommandsOnlyAtTheStartOfALine) {
    Completion c = complete(in, "  )lo");
    EXPECT_EQ(c.start, 3u);
    EXPECT_EQ(c.candidates, (Words{"LOAD"}));
    EXPECT_EQ(complete(in, ")F").candidates, (Words{"FCOPY", "FLOAD", "FNS"}));
    EXPECT_EQ(complete(in, ")").candidates.size(), 27u);
    EXPECT_TRUE(complete(in, ")LOAD fi").candidates.empty()) << "an argument is not a command";
}

TEST_F(Completing, NothingToCompleteIsNothing) {
    run("total<-1");
    EXPECT_TRUE(complete(in, "").candidates.empty());
    EXPECT_TRUE(complete(in, "1+").candidates.empty());
    EXPECT_TRUE(complete(in, "1+2").candidates.empty()) << "a number";
    EXPECT_TRUE(complete(in, "x<-'to").candidates.empty()) << "inside a string";
    EXPECT_TRUE(complete(in, "1 // to").candidates.empty()) << "inside a comment";
    EXPECT_EQ(complete(in, "'a''b'+to").candidates, (Words{"total"})) << "after a closed string";
    EXPECT_TRUE(complete(in, "1+zzz").candidates.empty());
}

TEST_F(Completing, LocalsOfASuspendedCall) {
    define({"z<-stops x;localval", "localval<-x", "z<-x+'a'"});
    run("stops 4");
    ASSERT_FALSE(in.frames.empty());
    EXPECT_EQ(complete(in, "local").candidates, (Words{"localval"}));
    engine::leaveSuspended(in);
    EXPECT_TRUE(complete(in, "local").candidates.empty());
}

}  // namespace
}  // namespace wox::session
