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
    f.origins.clear();
    if (f.statements.empty()) return kFunctionWithoutLines;
    std::span<const TaggedLine> body(f.statements.begin() + 1, f.statements.end());
    WOX_TRY(rewriteControl(body, firstNameNumber, rewrite));
    f.executable.reserve(rewrite.lines.size() + 1);
    f.executable.push_back(f.statements.front());
    for (TaggedLine& l : rewrite.lines) f.executable.push_back(std::move(l));
    rewrite.lines.clear();
    f.origins.reserve(f.executable.size());
    f.origins.emplace_back();  // the header
    for (LineOrigin& o : rewrite.origins) f.origins.push_back(std::move(o));
    rewrite.origins.clear();
    return kOk;
}

ShownLine shownLine(const FunctionText& f, int line, int column) {
    const auto n = static_cast<std::size_t>(line);
    if (line < 0 || n >= f.executable.size()) return {};
    ShownLine own{f.executable[n].text, column};
    if (n >= f.origins.size()) return own;
    const LineOrigin& o = f.origins[n];
    if (o.statement < 0 || static_cast<std::size_t>(o.statement) >= f.statements.size()) return own;
    ShownLine shown{f.statements[static_cast<std::size_t>(o.statement)].text, o.column};
    for (const LineOrigin::Piece& p : o.pieces)
        if (column >= p.lineColumn && column < p.lineColumn + p.length) shown.column = p.statementColumn + column - p.lineColumn;
    return shown;
}

Rc makeExecutable(FunctionText& f, const RandomSource& random, ControlRewrite& rewrite) {
    return makeExecutable(f, firstNameNumber(random), rewrite);
}

}  // namespace wox::frontend
