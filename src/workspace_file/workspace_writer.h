#pragma once
// Writing a workspace file (format version 4): the text header, then every
// table in one fixed order, the used part of the heap as one block, the
// value descriptors with their data offsets, and the defined functions.
#include <string>
#include <string_view>

#include "engine/interpreter.h"
#include "values/rc.h"
#include "workspace_file/archive.h"

namespace wox::workspace_file {

// Writes the whole workspace; `path` goes into the header. Fails with 9
// when gList is so full that its counter cannot be stored. Write errors
// are left in the archive.
Rc writeWorkspace(const Interpreter& in, OutputArchive& out, std::string_view path);

// Saves into `path` without ever losing the file that was there: the
// workspace goes to a new file in the same folder, which is flushed to the
// disk and then renamed over the old one. A missing folder, a read-only
// file, a full disk: false with the reason in *problem, and the old file
// is as it was.
bool saveWorkspaceFile(const Interpreter& in, const std::string& path, std::string* problem);

}  // namespace wox::workspace_file
