// Makes the help pages that are tables of the program's own vocabulary: the
// primitives with their meanings and the system commands with what they do.
// Each page is its template with the line "@ROWS@" replaced by the table's
// rows (and, on the primitives' page, "@SYSTEM_FUNCTIONS@" by their names),
// so the pages list exactly what the program knows.
//
//   wox_help_pages primitives|system-commands TEMPLATE OUTPUT
#include <cctype>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <sstream>
#include <string>
#include <string_view>

#include "session/command_table.h"
#include "vocabulary/vocabulary.h"

namespace {

// Appends `text` with the characters HTML gives a meaning escaped.
void appendEscaped(std::string& out, std::string_view text) {
    for (char c : text) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
}

void appendCode(std::string& out, std::string_view text) {
    out += "<code>";
    appendEscaped(out, text);
    out += "</code>";
}

// One table row: the written form as code, then each text in a cell.
void appendRow(std::string& out, std::string_view written, std::initializer_list<std::string_view> texts) {
    out += "<tr><td>";
    appendCode(out, written);
    out += "</td>";
    for (std::string_view text : texts) {
        out += "<td>";
        appendEscaped(out, text);
        out += "</td>";
    }
    out += "</tr>\n";
}

std::string primitiveRows() {
    std::string rows;
    for (const wox::vocabulary::Primitive& p : wox::vocabulary::kPrimitives)
        appendRow(rows, p.text, {p.monadicMeaning, p.dyadicMeaning});
    return rows;
}

std::string systemFunctionNames() {
    std::string names;
    for (const wox::vocabulary::SystemFunction& f : wox::vocabulary::kSystemFunctions) {
        if (!names.empty()) names += ", ";
        appendCode(names, f.name);
    }
    names += ".\n";
    return names;
}

std::string commandRows() {
    std::string rows;
    for (const wox::session::CommandWord& c : wox::session::kCommandWords) {
        std::string written(1, ')');
        for (char ch : c.word) written += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (!c.arguments.empty()) {
            written += ' ';
            written += c.arguments;
        }
        appendRow(rows, written, {c.description});
    }
    return rows;
}

// Replaces the line that is exactly `marker` by `text`; false when the
// template has no such line.
bool replaceLine(std::string& page, std::string_view marker, const std::string& text) {
    std::string line(1, '\n');
    line += marker;
    line += '\n';
    std::size_t at = page.find(line);
    if (at == std::string::npos) return false;
    page.replace(at + 1, line.size() - 1, text);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s primitives|system-commands TEMPLATE OUTPUT\n", argv[0]);
        return 2;
    }
    const std::string_view kind = argv[1];
    std::ifstream in(argv[2], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[2]);
        return 1;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string page = text.str();
    bool filled = false;
    if (kind == "primitives")
        filled = replaceLine(page, "@ROWS@", primitiveRows()) &&
                 replaceLine(page, "@SYSTEM_FUNCTIONS@", systemFunctionNames());
    else if (kind == "system-commands")
        filled = replaceLine(page, "@ROWS@", commandRows());
    if (!filled) {
        std::fprintf(stderr, "%s: %s is no template of the %s page\n", argv[0], argv[2], argv[1]);
        return 1;
    }
    std::ofstream out(argv[3], std::ios::binary);
    out << page;
    out.close();
    if (!out) {
        std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[3]);
        return 1;
    }
    return 0;
}
