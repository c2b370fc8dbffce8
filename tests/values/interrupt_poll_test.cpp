// The long loops of the primitives (scans that reduce every prefix, grades,
// deal) stop with "interrupt" when the user has asked to stop, clear the
// request, and leave the workspace as it was.
#include "values/interrupt_poll.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/line_session.h"

namespace wox::values {
namespace {

TEST(InterruptPoll, ReadsTheFlagOnlyAfterEnoughSteps) {
    std::atomic<bool> flag{true};
    InterruptPoll poll(&flag);
    EXPECT_FALSE(poll.stop(100));
    EXPECT_TRUE(poll.stop(5000));
    EXPECT_FALSE(flag.load());  // cleared once seen
    int ran = 0;
    flag = true;
    EXPECT_FALSE(poll.forEach(10000, [&](std::int64_t) { ++ran; }));
    EXPECT_LT(ran, 10000);
    InterruptPoll never;
    EXPECT_FALSE(never.stop(1 << 20));
}

struct Session : testing::LineSession {
    // The first line of what a line writes, with the request raised first.
    std::string interrupted(std::string_view line) {
        in.interruptRequested = true;
        std::string s = run(line);
        EXPECT_FALSE(in.interruptRequested.load()) << line;
        return s.substr(0, s.find("\r\n"));
    }
};

TEST(InterruptPoll, LongPrimitivesStopOnRequest) {
    Session s;
    s.run("[]IO<-0");
    s.run("f<-0.5+!3000");
    s.run("v<-!100000");
    s.run("c<-100000#'wox'");
    s.run("w<-(!100000)%7");
    s.run("m<-20000 3#!60000");
    s.run("r<-42");
    // Minus over Floats reduces every prefix anew.
    for (const char* line : {"r<--\\f", "r<-<v", "r<->c", "r<-<w", "r<->m", "r<-5000?.5000"})
        EXPECT_EQ(s.interrupted(line), "interrupt") << line;
    EXPECT_EQ(s.run("r"), "42");
    // Without a request they run to the end.
    EXPECT_EQ(s.run("(>m)~19999-!20000"), "1");
    EXPECT_EQ(s.run("(<v)~v"), "1");
    // A deal that was stopped leaves the generator as it was.
    Session fresh;
    fresh.run("[]IO<-0");
    EXPECT_EQ(s.run("5?.1000"), fresh.run("5?.1000"));
}

}  // namespace
}  // namespace wox::values
