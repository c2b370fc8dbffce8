#include "session/standard_library.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "values/file_replacement.h"

namespace wox::session {

bool installStandardLibrary(const std::string& folder, std::string* problem) {
    const std::string path = folder + std::string(kStandardLibraryFile);
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found) return true;
    values::FileReplacement file;
    if (!file.open(path, ".wox-standard-", problem)) return false;
    std::string_view text = standardLibraryText();
    while (!text.empty()) {
        ssize_t n = ::write(file.fd(), text.data(), text.size());
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *problem = "cannot write " + path + ": " + std::strerror(errno);
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(n));
    }
    return file.commit(problem);
}

}  // namespace wox::session
