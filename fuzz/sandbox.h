#pragma once
// Every fuzz target runs inside a private folder: HOME and the XDG folders
// point into it, the working folder is its "ws/" folder (the workspace
// folder of the sessions), and the file fence is set on it, so that no
// input can write, remove or rename a file anywhere else however it names
// it. The folder is removed when the fuzzer ends normally; after a crash it
// stays, with what the input left there.
//
// Including this header is entering the sandbox: it defines the target's
// LLVMFuzzerInitialize, which makes the folder before the first input.
//
// Relative paths given to the fuzzer (corpus, artifacts) would be taken
// inside the folder; scripts/fuzz.sh and .ci/run pass absolute ones.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "values/file_confinement.h"

namespace wox::fuzz {

namespace sandbox_detail {

inline std::string& root() {
    static std::string folder;
    return folder;
}

inline void removeRoot() {
    std::error_code ec;
    std::filesystem::remove_all(root(), ec);
}

}  // namespace sandbox_detail

// Makes the folder on the first call; gives the workspace folder, ending
// with "/".
inline const std::string& sandbox() {
    static const std::string workspace = [] {
        char name[] = "/tmp/wox-fuzz-XXXXXX";
        if (!mkdtemp(name)) std::abort();
        std::string& root = sandbox_detail::root();
        root = name;
        std::string ws = root + "/ws/";
        std::error_code ec;
        std::filesystem::create_directories(ws, ec);
        std::filesystem::create_directories(root + "/.config", ec);
        if (ec) std::abort();
        setenv("HOME", root.c_str(), 1);
        setenv("XDG_CONFIG_HOME", (root + "/.config").c_str(), 1);
        setenv("XDG_STATE_HOME", (root + "/.local/state").c_str(), 1);
        setenv("TMPDIR", root.c_str(), 1);
        if (chdir(ws.c_str()) != 0 || !values::confineFileEffects(root)) std::abort();
        std::atexit(sandbox_detail::removeRoot);
        return ws;
    }();
    return workspace;
}

}  // namespace wox::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    (void)wox::fuzz::sandbox();
    return 0;
}
