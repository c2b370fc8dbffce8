#pragma once
// The system commands: every command word, in the order the dispatcher
// compares them, with its arguments and what it does. Tab completion offers
// the same words; the help page of system commands is made from this table.
#include <array>
#include <optional>
#include <string_view>

namespace wox::session {

enum class Command {
    Wsid, Off, Fns, Vars, Lib, Clear, If, Si, Sic, Su, Mf, Gc, Index, Trace,
    Save, Load, Fload, Fcopy, P, S, Out, Cpp, Csv, Ask, Open, St, Pt,
};

struct CommandWord {
    std::string_view word;
    Command command;
    std::string_view arguments;    // as the help pages write them; "" for none
    std::string_view description;  // what the help pages say it does
};

inline constexpr std::array<CommandWord, 27> kCommandWords = {{
    {"WSID", Command::Wsid, "[name]",
     "shows or sets the workspace name"},
    {"OFF", Command::Off, "",
     "ends the program"},
    {"FNS", Command::Fns, "[prefix]",
     "lists the defined functions, or those whose names begin with the prefix"},
    {"VARS", Command::Vars, "[prefix]",
     "lists the variables, or those whose names begin with the prefix"},
    {"LIB", Command::Lib, "[words]",
     "lists the workspaces, scripts and text files of the workspace folder, or those whose names hold one of the words"},
    {"CLEAR", Command::Clear, "",
     "clears the workspace"},
    {"IF", Command::If, "",
     "shows how the control structures of the test script diag/loadf/testbox/det.vsf are translated"},
    {"SI", Command::Si, "",
     "shows the suspended functions, the most recent first"},
    {"SIC", Command::Sic, "",
     "leaves every suspended function"},
    {"SU", Command::Su, "",
     "runs the test scripts listed in diag/etest/dolist.txt and reports those that fail"},
    {"MF", Command::Mf, "",
     "merges the marked lines of the sources listed in diag/cando/dolist.txt"},
    {"GC", Command::Gc, "",
     "compacts the workspace"},
    {"INDEX", Command::Index, "",
     "shows how full each table of the workspace is"},
    {"TRACE", Command::Trace, "[n]",
     "shows the last lines, up to n, that the failing function ran"},
    {"SAVE", Command::Save, "[name]",
     "saves the workspace"},
    {"LOAD", Command::Load, "name",
     "loads a workspace"},
    {"FLOAD", Command::Fload, "name",
     "clears the workspace and reads the script name.vsf"},
    {"FCOPY", Command::Fcopy, "name",
     "reads the script name.vsf into the workspace"},
    {"P", Command::P, "name",
     "reads the script name.vsf, timing its lines"},
    {"S", Command::S, "n | name",
     "shows a name of the scope stack, by position or by name, with its position and slot"},
    {"OUT", Command::Out, "name [names]",
     "writes the workspace, or only the named objects, into the script name.vsf"},
    {"CPP", Command::Cpp, "file m",
     "writes the character matrix m into file.cpp, one line per row"},
    {"CSV", Command::Csv, "file v",
     "writes the table, keyed table or dictionary v into file.csv (RFC 4180, a header line)"},
    {"ASK", Command::Ask, "name",
     "shows the name's entry in the name table, or a local's value"},
    {"OPEN", Command::Open, "",
     "saves the session transcript as diag/loadf/open.txt"},
    {"ST", Command::St, "name",
     "saves the session transcript as diag/loadf/name.log"},
    {"PT", Command::Pt, "",
     "shows the imaginary part of e to the power i pi, a check of the complex functions"},
}};

// The command of an upper-cased word; abbreviations are not commands.
constexpr std::optional<Command> findCommand(std::string_view upperWord) {
    for (const CommandWord& c : kCommandWords)
        if (c.word == upperWord) return c.command;
    return std::nullopt;
}

}  // namespace wox::session
