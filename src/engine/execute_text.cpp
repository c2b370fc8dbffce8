#include "engine/execute_text.h"

#include <string>

#include "engine/function_call.h"
#include "frontend/front_tables.h"
#include "frontend/source_text.h"
#include "frontend/translator.h"
#include "values/messages.h"
#include "values/value_copy.h"

namespace wox::engine {

namespace {

Rc argumentText(Interpreter& in, ValueRef arg, std::string* text) {
    const ValueDescriptor& d = in.ws.at(arg);
    if (d.unset()) return kValueError;
    if ((d.type != kChar && d.type != kSymbol) || d.rank > 1) return kDomainError;
    if (d.type == kSymbol) {
        if (d.count != 1) return kRankError;
        *text = std::string(in.symbols.name(*in.ws.elems<std::int32_t>(d)));
        return kOk;
    }
    if (d.count > 0) text->assign(in.ws.elems<char>(d), static_cast<std::size_t>(d.count));
    return kOk;
}

bool sameMark(const frontend::LineMark& a, const frontend::LineMark& b) {
    return a.lastNode == b.lastNode && a.lastEntry == b.lastEntry && a.lastConstant == b.lastConstant &&
           a.lastBranch == b.lastBranch && a.lastListWord == b.lastListWord;
}

// A text run in a loop would otherwise fill the tables within a few thousand
// runs, so what its translation made goes back once it has run. Anything
// made while it ran (a function body translated on its first call) lies
// above it and stays in use for the rest of the session line; then the
// text's own part stays too, since the tables are given back from the top.
void releaseIfUnused(Interpreter& in, const frontend::LineMark& before, const frontend::LineMark& translated) {
    if (sameMark(frontend::markLine(in.front, in.ws), translated)) frontend::releaseToMark(in.front, in.ws, before);
}

}  // namespace

Rc executeText(Interpreter& in, EvalContext& cx, ValueRef arg, int result, ValueRef* out) {
    std::string text;
    WOX_TRY(argumentText(in, arg, &text));
    std::string_view line = frontend::text::withoutComment(text);
    while (line.ends_with('\n') || line.ends_with('\r')) line.remove_suffix(1);
    if (line.find_first_not_of(" \t") == std::string_view::npos) {
        // No value: any later use of the result is a value error.
        in.ws.var(result) = ValueDescriptor{};
        in.ws.var(result).rank = -1;
        *out = varRef(result);
        return kOk;
    }
    std::string copy(line);  // the argument's block may move while we run
    bool outerPositionFree = in.errors.positionDepth < 0;
    bool wasExecuting = in.executingText;
    in.executingText = true;
    frontend::TranslatedLine tl;
    const frontend::LineMark before = frontend::markLine(in.front, in.ws);
    // Names resolve as in a session line, through the active calls' bindings.
    Rc rc = frontend::translateLine(in.frontEnd(), copy, -1, 0, &tl);
    const frontend::LineMark translated = frontend::markLine(in.front, in.ws);
    ValueRef r = kNoValue;
    if (rc.ok() && tl.first >= 0) {
        EvalContext child = cx;
        child.stackMark = in.ws.stackTop;
        child.temp = followingTemp(cx.temp);
        rc = evaluate(in, child, tl.first, &r);
    }
    in.executingText = wasExecuting;
    if (rc.failed()) {
        // The caret belongs under "!." in the caller's line, not in this text.
        if (outerPositionFree) in.errors.positionDepth = -1;
        return rc;
    }
    if (r == kNoValue) {
        in.ws.var(result) = ValueDescriptor{};
        in.ws.var(result).rank = -1;
        *out = varRef(result);
    } else if (r < 0 && -r >= kFirstGlobalSlot && -r < kSecondSeriesTemp) {
        *out = r;
    } else {
        WOX_TRY(values::copyToTemp(in.ws, result, r));
        *out = varRef(result);
    }
    releaseIfUnused(in, before, translated);
    return kOk;
}

Rc executeScriptStatement(Interpreter& in, int lineTemp, std::string_view text) {
    const std::uint32_t mark = in.ws.stackTop;
    const std::size_t calls = in.frames.size();
    const int depth = in.errors.depth;
    const frontend::LineMark before = frontend::markLine(in.front, in.ws);
    const frontend::ScopeStack noBindings(0);
    frontend::TranslatedLine tl;
    Rc rc = frontend::translateLine({in, in.front, in.functions, in.symbols, noBindings}, text, -1, 0, &tl);
    const frontend::LineMark translated = frontend::markLine(in.front, in.ws);
    if (rc.ok() && tl.first >= 0) {
        EvalContext cx;
        cx.stackMark = mark;
        cx.temp = lineTemp;
        cx.ioSlot = kIoSlot;
        ValueRef r = kNoValue;
        rc = evaluate(in, cx, tl.first, &r);
        if (rc.ok() && in.errorWord != 0) rc = Rc(in.errorWord);
    }
    in.ws.stackTop = mark;
    if (rc.failed()) {
        leaveCallsAbove(in, calls);
        in.errors.depth = depth;
        in.errorWord = 0;
        in.errors.trace = ErrorTrace{};
        in.errors.position = 0;
        in.errors.positionDepth = -1;
        return rc;
    }
    releaseIfUnused(in, before, translated);
    return kOk;
}

}  // namespace wox::engine
