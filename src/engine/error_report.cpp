#include "engine/error_report.h"

#include "engine/messages.h"
#include "frontend/name_table.h"

namespace wox::engine {

namespace {

// Tabs take the prompt's width, so the caret stays under its character.
void appendExpanded(std::string& out, std::string_view text) {
    for (char c : text) {
        if (c == '\t') out += "      ";
        else out += c;
    }
}

}  // namespace

std::string errorReport(const Interpreter& in, std::string_view line) {
    std::string out = "\r\n";
    out += messageText(in.errorWord);
    out += "\r\n      ";
    appendExpanded(out, line);
    out += "\r\n      ";
    int pos = in.errors.position;
    int limit = static_cast<int>(line.size()) - 1;
    if (pos > limit) pos = limit;
    if (pos < 0) pos = 0;
    // Columns before the caret count tabs at their expanded width.
    for (int i = 0; i < pos; ++i) out += line[static_cast<std::size_t>(i)] == '\t' ? "      " : " ";
    out += '^';
    return out;
}

void reportError(Interpreter& in, std::string_view line) { in.write(errorReport(in, line)); }

int currentIoSlot(const Interpreter& in) {
    int s = frontend::findInScope(in.front, "[]IO");
    return s >= 0 ? in.front.scope[static_cast<std::size_t>(s)].slot : kIoSlot;
}

}  // namespace wox::engine
