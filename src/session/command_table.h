#pragma once
// The system commands: every command word, in the order the dispatcher
// compares them. Tab completion offers the same words.
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
};

inline constexpr std::array<CommandWord, 27> kCommandWords = {{
    {"WSID", Command::Wsid},   {"OFF", Command::Off},     {"FNS", Command::Fns},     {"VARS", Command::Vars},
    {"LIB", Command::Lib},     {"CLEAR", Command::Clear}, {"IF", Command::If},       {"SI", Command::Si},
    {"SIC", Command::Sic},     {"SU", Command::Su},       {"MF", Command::Mf},       {"GC", Command::Gc},
    {"INDEX", Command::Index}, {"TRACE", Command::Trace}, {"SAVE", Command::Save},   {"LOAD", Command::Load},
    {"FLOAD", Command::Fload}, {"FCOPY", Command::Fcopy}, {"P", Command::P},         {"S", Command::S},
    {"OUT", Command::Out},     {"CPP", Command::Cpp},     {"CSV", Command::Csv},     {"ASK", Command::Ask},
    {"OPEN", Command::Open},   {"ST", Command::St},       {"PT", Command::Pt},
}};

// The command of an upper-cased word; abbreviations are not commands.
constexpr std::optional<Command> findCommand(std::string_view upperWord) {
    for (const CommandWord& c : kCommandWords)
        if (c.word == upperWord) return c.command;
    return std::nullopt;
}

}  // namespace wox::session
