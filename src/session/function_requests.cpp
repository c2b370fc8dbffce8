#include "session/function_requests.h"

#include "engine/do_statement.h"
#include "frontend/builtin_names.h"
#include "frontend/direct_definition.h"
#include "frontend/function_header.h"
#include "frontend/function_listing.h"
#include "frontend/function_store.h"
#include "frontend/name_table.h"
#include "frontend/source_text.h"

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

std::vector<std::string> newFunctionSource(const Interpreter& in, std::string_view name) {
    if (!frontend::text::isValidName(name)) return {};
    const int g = frontend::findGlobal(in.front, name);
    if (g >= 0) {
        const frontend::NameEntry& e = in.front.globals[static_cast<std::size_t>(g)];
        if (e.kind != frontend::kVariableName || !in.ws.vars[static_cast<std::size_t>(e.slot)].unset()) return {};
    }
    std::string header = frontend::directHeader(name, true, false);
    // "x", "y" and "z" cannot name a function of that header.
    frontend::FunctionHeader h;
    if (frontend::parseHeader(header, h).failed()) return {};
    return {std::move(header)};
}

bool defineEdited(Interpreter& in, const std::vector<std::string>& lines, std::string_view newName) {
    if (lines.empty()) return false;
    frontend::FunctionHeader h;
    if (frontend::parseHeader(lines[0], h).failed()) return false;
    if (!isDefinedFunction(in, h.name) && h.name != newName) return false;
    int slot = 0;
    return frontend::defineFunction(in.frontEnd(), lines, &slot).ok();
}

}  // namespace wox::session
