// Every primitive, axis form and system function on a value of every type,
// monadic and dyadic: each call answers with a value or with the error that
// says what is wrong with its arguments, never with "prim. func not yet
// implemented".
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "line_session.h"
#include "values/messages.h"
#include "vocabulary/vocabulary.h"

namespace wox::engine {
namespace {

using testing::LineSession;
using vocabulary::Family;

// A value of each type (scalars and vectors of the simple ones), by name.
constexpr const char* kSamples[] = {
    "bs<-1",          "bv<-1 0 1",       "is<-2",           "iv<-1 2 3",   "fs<-2.5",
    "fv<-1.5 2.5 3.5", "cs<-'a'",        "cv<-'abc'",       "cm<-2 3#'abcdef'",
    "zv<-1j2 3j4 5j6", "ss<-`b",         "sv<-`a`b`c",      "gv<-(1;'ab';`c)", "ds<-2000.01.02",
    "dv<-2000.01.01 2000.01.02 2000.01.03", "dom<-`x`y", "ev<-`dom:`x`y`x", "dc<-`a`b`c:1 2 3",
    "tb<-([]a:1 2 3;b:4 5 6)", "kt<-([k:1 2 3] v:4 5 6)", "im<-2 3#!6",
};

std::vector<std::string> names() {
    std::vector<std::string> out;
    for (std::string_view s : kSamples) out.emplace_back(s.substr(0, s.find('<')));
    return out;
}

bool callable(Family f) { return f != Family::None && f != Family::Structure; }

TEST(EveryPrimitive, NoCallAnswersNotImplemented) {
    LineSession s;
    for (const char* line : kSamples) ASSERT_EQ(s.run(line), "") << line;
    const std::string notImplemented(messageText(kNotImplemented));
    std::vector<std::string> left;
    int tried = 0;
    auto tryLine = [&](const std::string& line) {
        ++tried;
        const std::string out = s.run(line);
        if (out.substr(0, out.find("\r\n")) == notImplemented) left.push_back(line);
        s.run("[]IO<-1");
    };
    const std::vector<std::string> values = names();
    for (const vocabulary::Primitive& p : vocabulary::kPrimitives) {
        const std::string f(p.text);
        if (f == "[]" || f == "<-" || f == "->") continue;
        if (callable(p.monadicFamily))
            for (const std::string& y : values) tryLine(f + " " + y);
        if (callable(p.dyadicFamily))
            for (const std::string& x : values)
                for (const std::string& y : values) tryLine(x + " " + f + " " + y);
    }
    // The axis forms, and the system functions that touch no file (the
    // spreadsheet link's calls write workbooks).
    for (const char* f : {",", "/", "\\", "$"})
        for (const char* k : {"[1]", "[2]", "[0.5]"})
            for (const std::string& x : values)
                for (const std::string& y : values) tryLine(x + " " + f + k + " " + y);
    for (const char* k : {"[1]", "[2]", "[3]"})
        for (const std::string& y : values) tryLine(std::string("$") + k + " " + y);
    for (const vocabulary::SystemFunction& f : vocabulary::kSystemFunctions) {
        if (f.family == Family::SpreadsheetLink) continue;
        const std::string name(f.name);
        if (f.valence == 0) tryLine(name);
        if (f.valence == 1)
            for (const std::string& y : values) tryLine(name + " " + y);
        if (f.valence == 2)
            for (const std::string& x : values)
                for (const std::string& y : values) tryLine(x + " " + name + " " + y);
    }
    EXPECT_GT(tried, 25'000);
    std::string all;
    for (const std::string& l : left) all += "\n  " + l;
    EXPECT_TRUE(left.empty()) << left.size() << " calls answer " << notImplemented << ":" << all;
}

}  // namespace
}  // namespace wox::engine
