#include "session/standard_library.h"

#include <filesystem>

#include "values/file_replacement.h"

namespace wox::session {

bool installStandardLibrary(const std::string& folder, std::string* problem) {
    const std::string path = folder + std::string(kStandardLibraryFile);
    std::error_code ec;
    if (std::filesystem::symlink_status(path, ec).type() != std::filesystem::file_type::not_found) return true;
    return values::replaceFile(path, standardLibraryText(), ".wox-standard-", problem);
}

}  // namespace wox::session
