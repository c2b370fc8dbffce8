#pragma once
// "@.name" in the terminal: the function's source goes to the user's editor
// in a temporary file, and what is saved there redefines the function. A
// name that is no function yet starts from a header ("z<-name x"). Text the
// interpreter refuses is never simply dropped: the user edits it again,
// keeps it in a file of the state folder, or discards it.
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "engine/interpreter.h"

namespace wox::app {

// The editor command: $VISUAL, else $EDITOR, else the system's default.
std::string editorCommand();

// How the function editor talks with the user between runs of the editor.
struct EditorDialog {
    // Shows a line of the session.
    std::function<void(std::string_view)> say;
    // The answer to a question; nothing when no one can answer (no
    // terminal, end of input), and then the refused text is kept.
    std::function<std::optional<std::string>(const std::string& question)> ask;
};

// Edits function `name`, or makes it when it is no function yet.
void editFunction(Interpreter& in, std::string_view name, const EditorDialog& dialog);

}  // namespace wox::app
