#pragma once
// The documents of the Help menu, each a file in the program's data folder
// (the configuration's BinaryPath), opened with the desktop's own viewer.
#include <array>
#include <string_view>

namespace wox::gui {

struct HelpDocument {
    std::string_view title;  // the menu item
    std::string_view file;   // in the data folder
};

inline constexpr std::array<HelpDocument, 8> kHelpDocuments{{
    {"&Getting Started", "getting-started.html"},
    {"The &Session Window", "session-window.html"},
    {"&Function Editor", "function-editor.html"},
    {"S&ystem Commands", "system-commands.html"},
    {"&Primitive Functions", "primitives.html"},
    {"&Workspaces and Scripts", "workspaces.html"},
    {"&Dates and Times", "dates-and-times.html"},
    {"&Keyboard", "keyboard.html"},
}};

}  // namespace wox::gui
