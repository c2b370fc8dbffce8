#pragma once
// Replacing a file so that no failure ever loses it: the new content goes
// into a temporary file in the same folder, which is flushed to the disk
// and then renamed over the old file, and the rename is flushed with the
// folder. Until commit() succeeds the old file is as it was; a replacement
// that is not committed removes its temporary file.
#include <string>
#include <string_view>

namespace wox::values {

class FileReplacement {
public:
    FileReplacement() = default;
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    // Refuses a read-only file (rename() would replace it, but the user
    // asked it be kept), then makes the temporary file, named after
    // `tempPrefix`, with the permissions a new file gets. False with the
    // reason in *problem.
    bool open(const std::string& path, const char* tempPrefix, std::string* problem);

    // The temporary file: its descriptor (open until commit) and its name.
    int fd() const { return fd_; }
    const std::string& tempPath() const { return temp_; }

    // Writes all of `text` into the temporary file.
    bool write(std::string_view text, std::string* problem);

    // Flushes the temporary file to the disk and renames it over the file.
    bool commit(std::string* problem);

private:
    std::string path_;
    std::string folder_;
    std::string temp_;
    int fd_ = -1;
    bool committed_ = false;
};

// Removes the temporary files that replacements of processes no longer
// running left in `folder` (killed before they could clean up), and those of
// earlier programs untouched for an hour. Never a file a running process may
// still be writing.
void removeStaleTemporaries(const std::string& folder);

// Replaces the file at `path` by `text` in one go (open, write, commit).
bool replaceFile(const std::string& path, std::string_view text, const char* tempPrefix, std::string* problem);

}  // namespace wox::values
