#include "session/function_requests.h"

#include "engine/do_statement.h"
#include "frontend/builtin_names.h"
#include "frontend/direct_definition.h"
#include "frontend/function_header.h"
#include "frontend/function_listing.h"
#include "frontend/function_store.h"

namespace wox::session {

bool isDefinedFunction(const Interpreter& in, std::string_view name) {
    return frontend::definedFunction(in.functions, frontend::findFunction(in.front, name)) != nullptr;
}

bool listFunction(const Interpreter& in, std::string_view name, std::string& text) {
    int slot = frontend::findFunction(in.front, name);
    if ((slot >= 0 && slot < frontend::kKeywordFunctions) || engine::isLibraryFunction(in, slot)) {
        text = frontend::reservedFunctionLine(name);
        return true;
    }
    const frontend::DefinedFunction* df = frontend::definedFunction(in.functions, slot);
    if (!df) return false;
    text = frontend::functionListing(df->text);
    return true;
}

Rc defineDirect(Interpreter& in, std::string_view text, std::string& reply) {
    frontend::DirectDefinition dd;
    auto isFunction = [&](std::string_view n) { return frontend::findFunction(in.front, n) >= 0; };
    WOX_TRY(frontend::parseDirectDefinition(text, isFunction, dd));
    int slot = 0;
    WOX_TRY(frontend::defineFunction(in.frontEnd(), dd.lines, &slot));
    reply = frontend::functionListing(frontend::definedFunction(in.functions, slot)->text);
    return kOk;
}

std::vector<std::string> functionSource(const Interpreter& in, std::string_view name) {
    std::vector<std::string> lines;
    if (const frontend::DefinedFunction* df = frontend::definedFunction(in.functions, frontend::findFunction(in.front, name)))
        for (const auto& l : df->text.source) lines.push_back(l.text);
    return lines;
}

bool defineEdited(Interpreter& in, const std::vector<std::string>& lines) {
    if (lines.empty()) return false;
    frontend::FunctionHeader h;
    if (frontend::parseHeader(lines[0], h).failed() || !isDefinedFunction(in, h.name)) return false;
    int slot = 0;
    return frontend::defineFunction(in.frontEnd(), lines, &slot).ok();
}

}  // namespace wox::session
