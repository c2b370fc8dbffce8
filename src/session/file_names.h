#pragma once
// How a command's file name becomes a path: a plain workspace name lives in
// the workspace folder; a name in single quotes is a full path. Either way
// the workspace name (the file name up to its first ".") must be a valid
// name of at most 16 characters.
#include <string>
#include <string_view>

namespace wox::session {

inline constexpr std::size_t kMaxWorkspaceName = 16;

struct ResolvedFile {
    int message = 0;            // 0, or 73, 75, 76, 77
    std::string path;
    std::string workspaceName;  // the file name up to its first "."
};

// `folder` ends with "/". "\" in a quoted path is taken as "/".
ResolvedFile resolveFileName(std::string_view name, std::string_view extension, bool mustExist,
                             std::string_view folder);

// A name of the language: a letter, then letters, digits and "_", not
// ending in "_".
bool isValidName(std::string_view name);

// The file name after the last "/" up to its first ".".
std::string workspaceNameOf(std::string_view path);

// A file's last-modification time in local time, "%Y.%m.%d %H:%M:%S",
// then " (gmt+h)", " (gmt-h)" or " (gmt 0)" with the whole hours of the
// local offset from UTC. Empty when the file cannot be read.
std::string fileTimeText(const std::string& path);

// The whole content of a file; false when it cannot be read.
bool readWholeFile(const std::string& path, std::string* text);

}  // namespace wox::session
