#include "engine/execute_line.h"

#include <chrono>
#include <string>

#include "display/value_display.h"
#include "engine/error_report.h"
#include "engine/evaluator.h"
#include "engine/messages.h"
#include "frontend/front_tables.h"
#include "frontend/function_store.h"
#include "frontend/translator.h"

namespace wox::engine {

namespace {

constexpr int kAssignCode = 0;
constexpr int kExecuteCode = 22;

std::int64_t nowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// Whether the line's leftmost operation leaves its value undisplayed: an
// assignment, a call of a function without a result, or an execute.
bool quietLine(const Interpreter& in, int last, ValueRef result) {
    if (result == kNoValue) return true;
    const frontend::ParseNode& n = in.front.nodes[static_cast<std::size_t>(last)];
    if (n.kind == frontend::kAssignNode || n.kind == frontend::kMultiAssignNode) return true;
    if (n.kind == frontend::kCallNode) {
        const frontend::FunctionEntry& e = in.front.entries[static_cast<std::size_t>(n.operand)];
        if (e.kind == frontend::kPrimitiveFn && e.monadic == kExecuteCode && e.left < 0 && !in.displayAll)
            return true;
    }
    (void)kAssignCode;
    return false;
}

}  // namespace

int executeLine(Interpreter& in, std::string_view text) {
    in.errors.lineStartMs = nowMs();
    in.errorWord = 0;
    in.errors.resetForLine();
    in.displayState.reset();
    frontend::releaseLineTables(in);
    frontend::releaseLocalNames(in);

    frontend::TranslatedLine line;
    if (Rc rc = frontend::translateLine(in, text, -1, 0, &line); rc.failed()) {
        in.errors.position = line.errorPos;
        in.errors.positionDepth = 0;
        (void)in.fail(rc.code);
        reportError(in, text);
        return -1;
    }
    in.ws.stackTop = 0;
    in.errorWord = 0;
    for (auto& f : in.front.functions) f.translated = 0;
    if (line.first < 0) return 0;

    EvalContext cx;
    cx.ioSlot = currentIoSlot(in);
    ValueRef result = kNoValue;
    if (evaluate(in, cx, line.first, &result).failed() || in.errorWord) {
        reportError(in, text);
        return -1;
    }
    if (!quietLine(in, line.last, result)) {
        if (Rc rc = display::displayValue(in, result); rc.failed()) {
            (void)in.fail(rc.code);
            reportError(in, text);
            return -1;
        }
    }
    return 0;
}

}  // namespace wox::engine
