#include "engine/execute_line.h"

#include <string>

#include "display/value_display.h"
#include "engine/error_report.h"
#include "engine/evaluator.h"
#include "engine/function_call.h"
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/translator.h"
#include "values/messages.h"

namespace wox::engine {

int executeLine(Interpreter& in, std::string_view text) {
    in.errors.lineStartMs = processClockMs();
    in.errorWord = 0;
    in.errors.resetForLine();
    in.displayState.reset();
    frontend::releaseLineTables(in.front, in.ws);
    frontend::releaseLocalNames(in.front, in.scope);

    frontend::TranslatedLine line;
    if (Rc rc = frontend::translateLine(in.frontEnd(), text, -1, 0, &line); rc.failed()) {
        in.errors.position = line.errorPos;
        in.errors.positionDepth = in.errors.depth;
        (void)in.fail(rc.code);
        reportError(in, text);
        return -1;
    }
    in.ws.stackTop = 0;
    // Before a session line no temporary is in use.
    if (in.ws.dimRunsGatherDue()) (void)in.ws.gatherDimRuns(kFirstTemp - 1);
    in.errorWord = 0;
    for (auto& f : in.functions.records) f.translated = 0;
    if (line.first < 0) return 0;

    // The line's own level on the call-trace stack. It stays only when calls
    // it made are left suspended; with the stack full there is none, and a
    // call fails with "stack full" anyway.
    ErrorState& es = in.errors;
    const std::size_t framesBefore = in.frames.size();
    const bool leveled = es.depth + 1 < static_cast<int>(es.callTrace.size());
    if (leveled) es.callTrace[static_cast<std::size_t>(++es.depth)] = CallTraceEntry{kSessionLevel, 0};
    const int level = es.depth;
    auto done = [&](int result) {
        if (leveled && in.frames.size() == framesBefore) es.depth = level - 1;
        return result;
    };

    EvalContext cx;
    cx.ioSlot = currentIoSlot(in);
    ValueRef result = kNoValue;
    if (evaluate(in, cx, line.first, &result).failed() || in.errorWord) {
        reportError(in, text);
        if (in.unattended && es.stateIndicatorFull) leaveAllSuspended(in);
        return done(-1);
    }
    if (showsValue(in, line.last, result)) {
        if (Rc rc = display::displayValue(in, in.displayState, result); rc.failed()) {
            (void)in.fail(rc.code);
            reportError(in, text);
            return done(-1);
        }
    }
    return done(0);
}

}  // namespace wox::engine
