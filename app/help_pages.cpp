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
#include <sstream>
#include <string>
#include <string_view>

#include "session/command_table.h"
#include "vocabulary/vocabulary.h"

namespace {

std::string escaped(std::string_view text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '&': out += "&amp;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

std::string code(std::string_view text) { return "<code>" + escaped(text) + "</code>"; }

std::string cell(std::string_view html) { return "<td>" + std::string(html) + "</td>"; }

std::string primitiveRows() {
    std::string rows;
    for (const wox::vocabulary::Primitive& p : wox::vocabulary::kPrimitives)
        rows += "<tr>" + cell(code(p.text)) + cell(escaped(p.monadicMeaning)) + cell(escaped(p.dyadicMeaning)) +
                "</tr>\n";
    return rows;
}

std::string systemFunctionNames() {
    std::string names;
    for (const wox::vocabulary::SystemFunction& f : wox::vocabulary::kSystemFunctions)
        names += (names.empty() ? "" : ", ") + code(f.name);
    return names + ".";
}

std::string commandRows() {
    std::string rows;
    for (const wox::session::CommandWord& c : wox::session::kCommandWords) {
        std::string written = ")";
        for (char ch : c.word) written += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (!c.arguments.empty()) written += " " + std::string(c.arguments);
        rows += "<tr>" + cell(code(written)) + cell(escaped(c.description)) + "</tr>\n";
    }
    return rows;
}

// Replaces the line that is exactly `marker` by `text`; false when the
// template has no such line.
bool replaceLine(std::string& page, std::string_view marker, const std::string& text) {
    std::string line = "\n" + std::string(marker) + "\n";
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
                 replaceLine(page, "@SYSTEM_FUNCTIONS@", systemFunctionNames() + "\n");
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
