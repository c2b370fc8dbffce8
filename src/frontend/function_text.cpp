#include "frontend/function_text.h"

#include "frontend/source_text.h"
#include "values/messages.h"

namespace wox::frontend {
namespace {

// Lines from files and editors may keep their line end.
std::string_view withoutLineEnd(std::string_view s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.remove_suffix(1);
    return s;
}

}  // namespace

std::vector<TaggedLine> sourceLines(std::span<const std::string> lines) {
    std::vector<TaggedLine> out;
    out.reserve(lines.size());
    for (const std::string& l : lines) out.push_back({l, -1});
    return out;
}

std::vector<TaggedLine> makeStatements(std::span<const TaggedLine> source) {
    std::vector<TaggedLine> out;
    if (source.empty()) return out;
    auto clean = [](const TaggedLine& l) {
        return text::withoutComment(withoutLineEnd(l.text));
    };
    out.push_back({std::string(text::trimBlanks(clean(source[0]))), 0});
    for (std::size_t i = 1; i < source.size(); ++i) {
        for (std::string_view s : text::splitStatements(clean(source[i]), false))
            out.push_back({std::string(s), static_cast<int>(i)});
    }
    return out;
}

Rc makeFunctionText(std::span<const std::string> lines, FunctionText& out, FunctionHeader& header) {
    if (lines.empty()) return kFunctionWithoutLines;
    FunctionText f;
    f.source = sourceLines(lines);
    f.statements = makeStatements(f.source);
    WOX_TRY(parseHeader(f.statements.front().text, header));
    f.name = header.name;
    out = std::move(f);
    return kOk;
}

Rc makeExecutable(FunctionText& f, int firstNameNumber, ControlRewrite& rewrite) {
    f.executable.clear();
    if (f.statements.empty()) return kFunctionWithoutLines;
    std::span<const TaggedLine> body(f.statements.begin() + 1, f.statements.end());
    WOX_TRY(rewriteControl(body, firstNameNumber, rewrite));
    f.executable.reserve(rewrite.lines.size() + 1);
    f.executable.push_back(f.statements.front());
    for (TaggedLine& l : rewrite.lines) f.executable.push_back(std::move(l));
    rewrite.lines.clear();
    return kOk;
}

Rc makeExecutable(FunctionText& f, const RandomSource& random, ControlRewrite& rewrite) {
    return makeExecutable(f, firstNameNumber(random), rewrite);
}

}  // namespace wox::frontend
