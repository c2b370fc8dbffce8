#include "engine/execute_line.h"

#include <string>

#include "display/value_display.h"
#include "engine/error_report.h"
#include "engine/evaluator.h"
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
        in.errors.positionDepth = 0;
        (void)in.fail(rc.code);
        reportError(in, text);
        return -1;
    }
    in.ws.stackTop = 0;
    in.errorWord = 0;
    for (auto& f : in.functions.records) f.translated = 0;
    if (line.first < 0) return 0;

    EvalContext cx;
    cx.ioSlot = currentIoSlot(in);
    ValueRef result = kNoValue;
    if (evaluate(in, cx, line.first, &result).failed() || in.errorWord) {
        reportError(in, text);
        return -1;
    }
    if (showsValue(in, line.last, result)) {
        if (Rc rc = display::displayValue(in, in.displayState, result); rc.failed()) {
            (void)in.fail(rc.code);
            reportError(in, text);
            return -1;
        }
    }
    return 0;
}

}  // namespace wox::engine
