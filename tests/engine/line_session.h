#pragma once
// An interpreter driven by session lines, with what they write collected:
// for tests that run lines through the whole engine.
#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "engine/evaluator.h"
#include "engine/execute_line.h"
#include "engine/interpreter.h"
#include "engine/recording_link.h"
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/translator.h"

namespace wox::testing {

struct LineSession {
    Interpreter in;
    std::string out;
    RecordingLink link{in, [this](std::string_view s) { out += s; }};

    explicit LineSession(const Capacities& caps = {}) : in(caps) {}
    LineSession(const LineSession&) = delete;
    LineSession& operator=(const LineSession&) = delete;

    void define(const std::vector<std::string>& lines) {
        int slot = 0;
        ASSERT_EQ(frontend::defineFunction(in.frontEnd(), lines, &slot).code, 0) << lines[0];
    }
    // Runs a line and returns what it wrote, without the leading line break.
    std::string run(std::string_view line) {
        out.clear();
        (void)engine::executeLine(in, line);
        return out.size() >= 2 && out.compare(0, 2, "\r\n") == 0 ? out.substr(2) : out;
    }
    // Translates and evaluates a line without displaying its value.
    Rc eval(const std::string& text, ValueRef* result) {
        in.errorWord = 0;
        in.errors.resetForLine();
        frontend::releaseLineTables(in.front, in.ws);
        frontend::TranslatedLine line;
        WOX_TRY(frontend::translateLine(in.frontEnd(), text, -1, 0, &line));
        in.ws.stackTop = 0;
        engine::EvalContext cx;
        return engine::evaluate(in, cx, line.first, result);
    }
};

}  // namespace wox::testing
