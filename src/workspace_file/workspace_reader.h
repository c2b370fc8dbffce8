#pragma once
// Reading a workspace file: the format is recognised by its first bytes
// (the text header of versions 3 and 4, or "MyWoX" of version 2), every
// counter is checked before its block is read, and everything read is
// checked before the workspace uses it: names, functions (rebuilt from their
// text), values and the heap blocks they own. The whole file is read and
// checked before the workspace is replaced: a file that fails leaves it
// exactly as it was.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "engine/interpreter.h"

namespace wox::workspace_file {

struct LoadResult {
    bool loaded = false;
    // The text to write into the session (after "\r\n") when not loaded;
    // the workspace is then untouched.
    std::string_view message;
};

LoadResult readWorkspace(Interpreter& in, std::span<const unsigned char> bytes);

// Reads the file at `path`; a file that cannot be opened is "the file is
// not found" for the caller, reported here as not loaded with no message.
LoadResult loadWorkspaceFile(Interpreter& in, const std::string& path);

}  // namespace wox::workspace_file
