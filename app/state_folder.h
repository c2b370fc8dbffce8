#pragma once
// The folder where wox keeps what outlives a run on the terminal: readline's
// history and the text of a function edit that was refused and kept.
// $XDG_STATE_HOME/wox, or ~/.local/state/wox.
#include <string>

namespace wox::app {

// The folder's path, made with every folder above it that is missing
// (mode 0700, as for a user's state). Empty, with the reason in `problem`,
// when it cannot be made.
std::string stateFolder(std::string* problem);

}  // namespace wox::app
