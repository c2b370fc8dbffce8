#include "session/completion.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "frontend/builtin_names.h"
#include "frontend/name_table.h"
#include "vocabulary/char_class.h"
#include "vocabulary/vocabulary.h"
#include "session/command_table.h"

namespace wox::session {

namespace {

bool startsWithUpper(std::string_view word, std::string_view prefix) {
    if (prefix.size() > word.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(prefix[i])) != word[i]) return false;
    return true;
}

// Whether `at` lies inside a quoted string of the line.
bool insideString(std::string_view line, std::size_t at) {
    char open = 0;
    for (std::size_t i = 0; i < at; ++i) {
        if (open) {
            if (line[i] == open) open = 0;  // a doubled quote closes and opens again
        } else if (line[i] == '\'' || line[i] == '"') {
            open = line[i];
        } else if (line[i] == '/' && i + 1 < at && line[i + 1] == '/') {
            return true;  // a comment: nothing to complete
        }
    }
    return open != 0;
}

void finish(std::vector<std::string>& words) {
    std::sort(words.begin(), words.end());
    words.erase(std::unique(words.begin(), words.end()), words.end());
}

}  // namespace

Completion complete(const Interpreter& in, std::string_view before) {
    Completion c;
    std::size_t lead = before.find_first_not_of(" \t");
    if (lead != std::string_view::npos && before[lead] == ')') {
        std::string_view word = before.substr(lead + 1);
        if (word.find_first_of(" \t") != std::string_view::npos) return c;  // an argument
        c.start = lead + 1;
        for (const CommandWord& w : kCommandWords)
            if (startsWithUpper(w.word, word)) c.candidates.emplace_back(w.word);
        finish(c.candidates);
        return c;
    }
    std::size_t k = before.size();
    while (k > 0 && vocabulary::isNameChar(before[k - 1])) --k;
    bool system = k >= 2 && before.substr(k - 2, 2) == "[]";
    c.start = system ? k - 2 : k;
    std::string_view prefix = before.substr(c.start);
    if (prefix.empty() || (!system && !vocabulary::isLetter(prefix[0]))) return c;
    if (insideString(before, c.start)) return c;

    auto offer = [&](std::string_view name) {
        if (name.starts_with(prefix)) c.candidates.emplace_back(name);
    };
    if (system) {
        for (const frontend::BuiltinName& b : frontend::kBuiltins)
            if (b.name.starts_with("[]")) offer(b.name);
        for (const vocabulary::SystemFunction& f : vocabulary::kSystemFunctions) offer(f.name);
        finish(c.candidates);
        return c;
    }
    const frontend::FrontTables& ft = in.front;
    for (int g = 0; g <= ft.lastGlobal; ++g) {
        const frontend::NameEntry& e = ft.globals[static_cast<std::size_t>(g)];
        bool named = e.kind == frontend::kFunctionName ||
                     (e.kind == frontend::kVariableName && !in.ws.vars[static_cast<std::size_t>(e.slot)].unset());
        if (named) offer(frontend::fullName(ft, e));
    }
    // The locals a suspended call left visible to session lines.
    for (int p = 0; p <= in.scope.top; ++p) {
        const frontend::ScopeBinding& b = in.scope.at(p);
        if (b.name < 0 || b.slot <= 0) continue;
        const frontend::NameEntry& e = ft.locals[static_cast<std::size_t>(b.name)];
        if (e.kind == frontend::kVariableName && !in.ws.vars[static_cast<std::size_t>(b.slot)].unset())
            offer(frontend::fullName(ft, e));
    }
    finish(c.candidates);
    return c;
}

}  // namespace wox::session
