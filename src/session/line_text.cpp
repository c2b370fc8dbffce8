#include "session/line_text.h"

#include "frontend/direct_definition.h"

namespace wox::session {

std::string_view stripComment(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        char c = line[i];
        // A doubled quote inside a quoted text toggles twice and stays quoted.
        if (c == '\'') {
            quoted = !quoted;
        } else if (!quoted && c == '/' && i + 1 < line.size() && line[i + 1] == '/') {
            return line.substr(0, i);
        }
    }
    if (line.ends_with("\r\n")) line.remove_suffix(2);
    return line;
}

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

std::string_view skipLeadingBlanks(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && isBlank(text[i])) ++i;
    return text.substr(i);
}

std::string_view trimBlanks(std::string_view text) {
    text = skipLeadingBlanks(text);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    return text;
}

ClassifiedLine classifyLine(std::string_view line) {
    std::string_view text = skipLeadingBlanks(stripComment(line));
    if (text.empty()) return {LineKind::Empty, {}};
    if (text.starts_with("@.")) return {LineKind::OpenEditor, text.substr(2)};
    if (frontend::braceRequest(text) != frontend::BraceRequest::None) return {LineKind::Braces, text};
    if (text.starts_with(")")) return {LineKind::SystemCommand, text.substr(1)};
    if (text.starts_with("->")) return {LineKind::LeaveSuspended, text.substr(2)};
    return {LineKind::Expression, text};
}

}  // namespace wox::session
