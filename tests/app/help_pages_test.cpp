// The help pages made at build time list exactly what the program's tables
// hold: one table row per primitive with its meanings, one per system
// command with its arguments and description.
#include <gtest/gtest.h>

#include <cctype>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "session/command_table.h"
#include "vocabulary/vocabulary.h"

namespace wox {
namespace {

std::string pageText(const std::string& name) {
    std::ifstream in(std::string(WOX_HELP_DIR) + "/" + name, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// The text of an HTML fragment: tags dropped, entities read.
std::string plain(std::string_view html) {
    std::string out;
    for (std::size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            i = html.find('>', i);
            if (i == std::string_view::npos) break;
            continue;
        }
        if (html[i] == '&') {
            std::size_t end = html.find(';', i);
            std::string_view entity = html.substr(i, end - i + 1);
            out += entity == "&lt;" ? '<' : entity == "&gt;" ? '>' : entity == "&amp;" ? '&' : '"';
            i = end;
            continue;
        }
        out += html[i];
    }
    return out;
}

// The data rows of the page's table, each the plain text of its cells.
std::vector<std::vector<std::string>> tableRows(const std::string& page) {
    std::vector<std::vector<std::string>> rows;
    for (std::size_t at = page.find("<tr>"); at != std::string::npos; at = page.find("<tr>", at + 1)) {
        std::string_view row(page.data() + at, page.find("</tr>", at) - at);
        std::vector<std::string> cells;
        for (std::size_t c = row.find("<td>"); c != std::string_view::npos; c = row.find("<td>", c + 1))
            cells.push_back(plain(row.substr(c + 4, row.find("</td>", c) - c - 4)));
        if (!cells.empty()) rows.push_back(cells);
    }
    return rows;
}

TEST(HelpPages, ThePrimitivesPageHasOneRowPerPrimitive) {
    const std::string page = pageText("primitives.html");
    ASSERT_NE(page.find("<title>Primitive functions</title>"), std::string::npos);
    std::vector<std::vector<std::string>> expected;
    for (const vocabulary::Primitive& p : vocabulary::kPrimitives)
        expected.push_back({std::string(p.text), std::string(p.monadicMeaning), std::string(p.dyadicMeaning)});
    EXPECT_EQ(tableRows(page), expected);
    for (const vocabulary::SystemFunction& f : vocabulary::kSystemFunctions) {
        std::string written("<code>");
        written += f.name;
        written += "</code>";
        EXPECT_NE(page.find(written), std::string::npos) << f.name;
    }
    EXPECT_EQ(page.find("@SYSTEM_FUNCTIONS@"), std::string::npos);
}

TEST(HelpPages, TheSystemCommandsPageHasOneRowPerCommand) {
    const std::string page = pageText("system-commands.html");
    ASSERT_NE(page.find("<title>System commands</title>"), std::string::npos);
    std::vector<std::vector<std::string>> expected;
    for (const session::CommandWord& c : session::kCommandWords) {
        std::string written(1, ')');
        for (char ch : c.word) written += static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
        if (!c.arguments.empty()) {
            written += ' ';
            written += c.arguments;
        }
        expected.push_back({written, std::string(c.description)});
    }
    EXPECT_EQ(tableRows(page), expected);
    EXPECT_EQ(expected[0][0], ")wsid [name]");
    EXPECT_EQ(page.find("@ROWS@"), std::string::npos);
}

}  // namespace
}  // namespace wox
