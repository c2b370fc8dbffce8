#include "state_folder.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace wox::app {
namespace {

// Like mkdir -p: false with the reason at the first folder that cannot be
// made or is not a folder.
bool makeFolders(const std::string& path, std::string* problem) {
    for (std::size_t end = path.find('/', 1);; end = path.find('/', end + 1)) {
        const std::string folder = path.substr(0, end);
        if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) {
            *problem = "cannot make " + folder + ": " + std::strerror(errno);
            return false;
        }
        struct stat st {};
        if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
            *problem = folder + " is not a folder";
            return false;
        }
        if (end == std::string::npos) return true;
    }
}

}  // namespace

std::string stateFolder(std::string* problem) {
    std::string base;
    // A relative XDG_STATE_HOME is ignored, as the base directory rules ask.
    if (const char* state = std::getenv("XDG_STATE_HOME"); state && *state == '/') {
        base = state;
    } else if (const char* home = std::getenv("HOME"); home && *home == '/') {
        base = std::string(home) + "/.local/state";
    } else {
        *problem = "neither XDG_STATE_HOME nor HOME names a folder";
        return {};
    }
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    std::string folder = base == "/" ? "/wox" : base + "/wox";
    if (!makeFolders(folder, problem)) return {};
    return folder;
}

}  // namespace wox::app
