#pragma once
// A fence around the process's file effects. While a folder is set, every
// file the program writes, removes or renames, and every folder it makes,
// must lie inside it; anything else is refused before it happens and fails
// as the command would on a folder it may not write. The fuzz harnesses set
// it, so that input such as ")SAVE '/etc/x.wox'" cannot touch the machine;
// without it (the programs never set it) every path is allowed.
//
// The fence belongs to the process, like its working folder, not to one
// interpreter: it is set once, before any other thread starts.
#include <string>

namespace wox::values {

// Confines file effects to `folder` (which must exist); an empty text lifts
// the fence. False when the folder cannot be resolved (nothing is changed).
bool confineFileEffects(const std::string& folder);

// Whether `path` (absolute, or relative to the working folder) may be
// written, removed, renamed or made. Symbolic links in the existing part of
// the path are followed, and ".." is resolved, before the check.
bool fileEffectAllowed(const std::string& path);

}  // namespace wox::values
