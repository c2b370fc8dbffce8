#pragma once
// Whether a program can be run by its name, for tests that use one when it
// is installed and skip otherwise.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <string>

namespace wox::testing {

inline bool onPath(const std::string& program) {
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':'))
        if (!dir.empty() && access((std::filesystem::path(dir) / program).c_str(), X_OK) == 0) return true;
    return false;
}

}  // namespace wox::testing
