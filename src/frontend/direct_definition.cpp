#include "frontend/direct_definition.h"

#include <algorithm>

#include "frontend/function_header.h"
#include "frontend/source_text.h"
#include "values/messages.h"

namespace wox::frontend {
namespace {

using namespace text;

constexpr bool isLineEnd(char c) { return c == '\n' || c == '\r'; }

// Whether parentheses, brackets and braces nest properly outside quotes, and
// no quote is left open.
bool balanced(std::string_view s) {
    std::string open;
    for (std::size_t i = 0; i < s.size();) {
        char c = s[i];
        if (c == '\'') {
            bool closed;
            std::size_t end = skipQuoted(s, i, &closed);
            if (!closed) return false;
            i = end;
            continue;
        }
        if (c == '(' || c == '[' || c == '{') {
            open.push_back(c);
        } else if (c == ')' || c == ']' || c == '}') {
            char want = c == ')' ? '(' : c == ']' ? '[' : '{';
            if (open.empty() || open.back() != want) return false;
            open.pop_back();
        }
        ++i;
    }
    return open.empty();
}

// The statements of a body: cut at ";" and line ends at depth 0; inside
// braces a line end becomes ";" so that every statement stays one line.
std::vector<std::string> splitBody(std::string_view body) {
    std::vector<std::string> out;
    std::string current;
    auto finish = [&] {
        std::string_view t = trimBlanks(current);
        if (!t.empty()) out.emplace_back(t);
        current.clear();
    };
    int depth = 0;
    for (std::size_t i = 0; i < body.size();) {
        char c = body[i];
        if (c == '\'') {
            std::size_t end = skipQuoted(body, i);
            current.append(body.substr(i, end - i));
            i = end;
            continue;
        }
        if (c == '(' || c == '[' || c == '{') ++depth;
        if ((c == ')' || c == ']' || c == '}') && depth > 0) --depth;
        if (depth == 0 && (c == ';' || isLineEnd(c))) {
            finish();
        } else if (isLineEnd(c)) {
            if (c == '\n' || i + 1 >= body.size() || body[i + 1] != '\n') current += ';';
        } else {
            current += c;
        }
        ++i;
    }
    finish();
    return out;
}

// The name at the start of a statement when it is a label ("name:").
std::string_view labelAt(std::string_view s) {
    if (s.empty() || !isLetter(s.front())) return {};
    std::size_t end = nameEnd(s, 0);
    std::size_t p = end;
    while (p < s.size() && isBlank(s[p])) ++p;
    if (p >= s.size() || s[p] != ':') return {};
    std::string_view name = s.substr(0, end);
    return isControlWord(name) ? std::string_view{} : name;
}

struct NameUse {
    std::vector<std::string> names;   // in order of first use, each once
    std::vector<std::string> labels;  // names that label a statement
    bool systemIo = false;            // a statement starts with []IO
};

void addOnce(std::vector<std::string>& list, std::string_view name) {
    if (std::find(list.begin(), list.end(), name) == list.end()) list.emplace_back(name);
}

// Collects the names of one statement the way the scanner reads them:
// quoted text, symbols, numbers, member names after "." and system names
// are not names of the function.
void collectNames(std::string_view s, NameUse& use) {
    bool start = true;  // at the start of a (sub)statement
    for (std::size_t i = 0; i < s.size();) {
        char c = s[i];
        if (isBlank(c)) {
            ++i;
        } else if (c == '\'') {
            i = skipQuoted(s, i);
            start = false;
        } else if (c == ';' || c == '{' || c == '}') {
            ++i;
            start = true;
        } else if (c == '`') {
            while (++i < s.size() && (isNameChar(s[i]) || s[i] == '`' || s[i] == '.')) {}
            start = false;
        } else if (isDigit(c)) {
            while (++i < s.size() && (isNameChar(s[i]) || s[i] == '.')) {}
            start = false;
        } else if (c == '[' && i + 1 < s.size() && s[i + 1] == ']') {
            std::size_t end = i + 2;
            while (end < s.size() && isLetter(s[end])) ++end;
            if (start && s.substr(i, end - i) == "[]IO") use.systemIo = true;
            i = end;
            start = false;
        } else if (c == '.' && i > 0 && i + 1 < s.size() && isLetter(s[i + 1]) &&
                   (isNameChar(s[i - 1]) || s[i - 1] == ')' || s[i - 1] == ']')) {
            i = nameEnd(s, i + 1);  // member of a dictionary or table
            start = false;
        } else if (isLetter(c)) {
            std::size_t end = nameEnd(s, i);
            std::string_view name = s.substr(i, end - i);
            if (start && !labelAt(s.substr(i)).empty()) {
                addOnce(use.labels, name);
                i = s.find(':', end) + 1;
                continue;  // the statement proper starts after the label
            }
            if (name.back() == '_') name.remove_suffix(1);  // "_" is the sign that follows
            if (!isControlWord(name)) addOnce(use.names, name);
            i = end;
            start = false;
        } else {
            ++i;
            start = false;
        }
    }
}

// Where the statement proper starts: after its label, if it has one.
std::size_t afterLabel(std::string_view s) {
    if (labelAt(s).empty()) return 0;
    std::size_t p = s.find(':') + 1;
    while (p < s.size() && isBlank(s[p])) ++p;
    return p;
}

// The last statement with "z<-" in front, unless that would break it: a
// control structure, a block or a branch keeps no value.
std::string withResult(std::string_view s) {
    std::size_t p = afterLabel(s);
    std::string_view rest = s.substr(p);
    bool keepsNoValue = rest.empty() || rest.starts_with("->") || rest.starts_with("{") ||
                        (isLetter(rest.front()) && isControlWord(rest.substr(0, nameEnd(rest, 0))));
    if (keepsNoValue) return std::string(s);
    return std::string(s.substr(0, p)) + "z<-" + std::string(rest);
}

}  // namespace

std::string directHeader(std::string_view name, bool usesX, bool usesY) {
    std::string header = "z<-";
    if (usesX && usesY) header += "y ";
    header += name;
    if (usesX) {
        header += " x";
    } else if (usesY) {
        header += " y";
    }
    return header;
}

Rc buildDirectDefinition(std::string_view name, std::string_view body,
                         const IsFunctionName& isFunctionName, DirectDefinition& out) {
    out = DirectDefinition{};
    name = trimBlanks(name);
    if (!isValidName(name) || isReservedWord(name) || !balanced(body))
        return kDefinitionError;
    std::vector<std::string> statements = splitBody(body);
    if (statements.empty()) return kDefinitionError;

    NameUse use;
    for (const std::string& s : statements) collectNames(s, use);
    auto uses = [&](std::string_view n) {
        return std::find(use.names.begin(), use.names.end(), n) != use.names.end();
    };
    bool x = uses("x"), y = uses("y"), z = uses("z");

    std::string header = directHeader(name, x, y);
    for (const std::string& n : use.names) {
        if (n == "x" || n == "y" || n == "z" || n == name) continue;
        if (std::find(use.labels.begin(), use.labels.end(), n) != use.labels.end()) continue;
        if (isFunctionName && isFunctionName(n)) continue;
        header += ';';
        header += n;
    }
    if (use.systemIo) header += ";[]IO";

    // The header must read back as one; anything odd in the names shows here.
    FunctionHeader check;
    if (parseHeader(header, check).failed()) return kDefinitionError;

    std::string& last = statements.back();
    if (!z) last = withResult(last);

    out.name = std::string(name);
    out.lines.reserve(statements.size() + 1);
    out.lines.push_back(std::move(header));
    for (std::string& s : statements) out.lines.push_back(std::move(s));
    return kOk;
}

bool startsDirectDefinition(std::string_view text) {
    return !labelAt(trimBlanks(text)).empty();
}

BraceRequest braceRequest(std::string_view line) {
    std::string_view t = trimBlanks(line);
    if (!t.starts_with('{')) return BraceRequest::None;
    return startsDirectDefinition(t.substr(1)) ? BraceRequest::Definition : BraceRequest::Listing;
}

Rc parseDirectDefinition(std::string_view text, const IsFunctionName& isFunctionName,
                         DirectDefinition& out) {
    out = DirectDefinition{};
    std::string_view t = trimBlanks(text);
    if (t.empty() || t.back() != '}' || labelAt(t).empty()) return kDefinitionError;
    std::size_t end = nameEnd(t, 0);
    std::size_t colon = t.find(':', end);
    std::string_view body = t.substr(colon + 1, t.size() - colon - 2);
    return buildDirectDefinition(t.substr(0, end), body, isFunctionName, out);
}

}  // namespace wox::frontend
